#pragma once

#include "platform/SkinFramework.h"

#include <QStringList>
#include <functional>

// Records every call in order, as text such as "setKeepFonts(true)", and loads whatever it is
// told to.
class FakeSkinFramework : public SkinFramework
{
public:
    bool loadSkin(const QString &skinFile, const QString &imageFolder) override
    {
        calls.append(QStringLiteral("loadSkin(%1, \"%2\")").arg(skinFile, imageFolder));
        if (onLoad)
            onLoad();
        return loads;
    }
    QString lastError() const override { return loads ? QString() : error; }

    quint32 applyOptions() const override
    {
        calls.append(QStringLiteral("applyOptions() -> %1").arg(options));
        return options;
    }
    void setApplyOptions(quint32 value) override
    {
        calls.append(QStringLiteral("setApplyOptions(%1)").arg(value));
        options = value;
    }
    void setKeepFonts(bool keep) override { calls.append(boolCall("setKeepFonts", keep)); }
    void setKeepSizes(bool keep) override { calls.append(boolCall("setKeepSizes", keep)); }
    void applyWindow(QWidget &window) override
    {
        calls.append(QStringLiteral("applyWindow"));
        appliedTo = &window;
    }

    mutable QStringList calls;
    quint32 options = 0;
    bool loads = true;
    QString error = QStringLiteral("it is broken");
    QWidget *appliedTo = nullptr;
    // Runs while the skin is being loaded, e.g. to look at the window at that moment.
    std::function<void()> onLoad;

private:
    static QString boolCall(const char *member, bool value)
    {
        return QStringLiteral("%1(%2)").arg(QLatin1String(member), value ? QStringLiteral("true")
                                                                         : QStringLiteral("false"));
    }
};
