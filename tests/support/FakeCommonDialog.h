#pragma once

#include "platform/CommonDialog.h"

#include <QList>
#include <QQueue>
#include <functional>

// Records every dialog shown, with the properties it was shown with, and answers from a script
// instead of blocking: each answer becomes the file name, an empty one (or none left) being a
// cancel.
class FakeCommonDialog : public CommonDialog
{
public:
    enum class Kind { Open, Save };
    struct Shown
    {
        Kind kind;
        QString fileName;
        QString dialogTitle;
        QString filter;
        int flags;
    };

    QList<Shown> shown;
    QQueue<QString> answers;
    // Runs while the dialog is "open", e.g. to look at the window's pointer at that moment.
    std::function<void(const Shown &)> onShow;

protected:
    QString chooseToOpen() override { return choose(Kind::Open); }
    QString chooseToSave() override { return choose(Kind::Save); }

private:
    QString choose(Kind kind)
    {
        shown.append({kind, fileName(), dialogTitle(), filter(), flags()});
        if (onShow)
            onShow(shown.last());
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
};
