#pragma once

#include "platform/WordAutomation.h"

#include <QString>
#include <QStringList>
#include <functional>

// A word processor that records every call, with its arguments exactly as passed, and every
// release of an object, in one log; a scripted call fails instead.
//
// Log entries read like `Document.Merge("/tmp/x/2.txt", int32 2, true, int32 2, false)`:
// a string by reference is written &"...", an omitted argument as `missing`.
class FakeWordAutomation : public AutomationRegistry
{
public:
    // Script.
    bool running = false;                                   // an active instance is registered
    QString runningName = QStringLiteral("Microsoft Word"); // what it reports as its name
    std::int32_t alertsLevel = WordConstants::wdAlertsAll;
    QString failingCall; // every call whose log entry starts so fails, e.g. "Document.Merge"
    // Runs at every call before it is carried out, e.g. to look at files or the pointer.
    std::function<void(const QString &call)> onCall;

    // Record.
    QStringList log;

    static QString describe(const AutomationArgument &argument)
    {
        const QString text = QString::fromStdU16String(argument.text);
        switch (argument.kind) {
        case AutomationArgument::Kind::Missing:
            return QStringLiteral("missing");
        case AutomationArgument::Kind::String:
            return '"' + text + '"';
        case AutomationArgument::Kind::StringByReference:
            return "&\"" + text + '"';
        case AutomationArgument::Kind::Int32:
            return QStringLiteral("int32 %1").arg(argument.number);
        case AutomationArgument::Kind::Boolean:
            return argument.flag ? QStringLiteral("true") : QStringLiteral("false");
        }
        return {};
    }

    template <std::size_t n>
    static QString describe(const QString &member,
                            const std::array<AutomationArgument, n> &arguments)
    {
        QStringList parts;
        for (const AutomationArgument &argument : arguments)
            parts.append(describe(argument));
        return member + '(' + parts.join(QStringLiteral(", ")) + ')';
    }

    void call(const QString &entry)
    {
        log.append(entry);
        if (onCall)
            onCall(entry);
        if (!failingCall.isEmpty() && entry.startsWith(failingCall))
            throw AutomationError("scripted failure of " + failingCall.toStdString());
    }

    std::unique_ptr<WordApplication> getActiveObject(const std::u16string &className) override;
    std::unique_ptr<WordApplication> createObject(const std::u16string &className) override;
    std::u16string wordProcessorName() const override { return u"Microsoft Word"; }
};

class FakeWordDocument : public WordDocument
{
public:
    explicit FakeWordDocument(FakeWordAutomation &fake) : fake_(fake) {}
    ~FakeWordDocument() override { fake_.log.append(QStringLiteral("release Document")); }

    void Merge(const std::array<AutomationArgument, 5> &arguments) override
    {
        fake_.call(FakeWordAutomation::describe(QStringLiteral("Document.Merge"), arguments));
    }
    void Close(const std::array<AutomationArgument, 3> &arguments) override
    {
        fake_.call(FakeWordAutomation::describe(QStringLiteral("Document.Close"), arguments));
    }

private:
    FakeWordAutomation &fake_;
};

class FakeWordDocuments : public WordDocuments
{
public:
    explicit FakeWordDocuments(FakeWordAutomation &fake) : fake_(fake) {}
    ~FakeWordDocuments() override { fake_.log.append(QStringLiteral("release Documents")); }

    std::unique_ptr<WordDocument> Open(const std::array<AutomationArgument, 16> &arguments) override
    {
        fake_.call(FakeWordAutomation::describe(QStringLiteral("Documents.Open"), arguments));
        return std::make_unique<FakeWordDocument>(fake_);
    }

private:
    FakeWordAutomation &fake_;
};

class FakeWordApplication : public WordApplication
{
public:
    FakeWordApplication(FakeWordAutomation &fake, QString name) : fake_(fake), name_(name) {}
    ~FakeWordApplication() override { fake_.log.append(QStringLiteral("release Application")); }

    std::unique_ptr<WordDocuments> documents() override
    {
        fake_.call(QStringLiteral("Application.documents()"));
        return std::make_unique<FakeWordDocuments>(fake_);
    }
    std::int32_t displayAlerts() override
    {
        fake_.call(QStringLiteral("Application.displayAlerts()"));
        return fake_.alertsLevel;
    }
    void setDisplayAlerts(std::int32_t level) override
    {
        fake_.call(QStringLiteral("Application.setDisplayAlerts(int32 %1)").arg(level));
        fake_.alertsLevel = level;
    }
    void setVisible(bool visible) override
    {
        fake_.call(QStringLiteral("Application.setVisible(%1)")
                       .arg(visible ? QStringLiteral("true") : QStringLiteral("false")));
    }
    std::u16string name() override
    {
        fake_.call(QStringLiteral("Application.name()"));
        return name_.toStdU16String();
    }

private:
    FakeWordAutomation &fake_;
    QString name_;
};

inline std::unique_ptr<WordApplication>
FakeWordAutomation::getActiveObject(const std::u16string &className)
{
    call(QStringLiteral("getActiveObject(\"%1\")").arg(QString::fromStdU16String(className)));
    if (!running)
        throw AutomationError("no instance registered");
    return std::make_unique<FakeWordApplication>(*this, runningName);
}

inline std::unique_ptr<WordApplication>
FakeWordAutomation::createObject(const std::u16string &className)
{
    call(QStringLiteral("createObject(\"%1\")").arg(QString::fromStdU16String(className)));
    running = true;
    return std::make_unique<FakeWordApplication>(*this, QStringLiteral("Microsoft Word"));
}
