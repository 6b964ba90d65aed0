#pragma once

#include "platform/MessageBoxes.h"

#include <QList>
#include <QQueue>
#include <functional>

// Records every message box and answers questions from a script instead of blocking.
class FakeMessageBoxes : public MessageBoxes
{
public:
    enum class Kind { Inform, Ask, Warn };
    struct Shown
    {
        Kind kind;
        QString text;
    };

    void inform(const QString &text) override { record(Kind::Inform, text); }
    bool askYesNo(const QString &text) override
    {
        record(Kind::Ask, text);
        return answers.isEmpty() ? true : answers.dequeue();
    }
    void warn(const QString &text) override { record(Kind::Warn, text); }

    QStringList texts() const
    {
        QStringList result;
        for (const Shown &message : shown)
            result.append(message.text);
        return result;
    }

    QList<Shown> shown;
    QQueue<bool> answers;
    // Runs while a box is "open", e.g. to look at the window's pointer at that moment.
    std::function<void(const Shown &)> onShow;

private:
    void record(Kind kind, const QString &text)
    {
        shown.append({kind, text});
        if (onShow)
            onShow(shown.last());
    }
};
