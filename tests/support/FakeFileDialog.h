#pragma once

#include "platform/FileDialog.h"

#include <QList>
#include <QQueue>
#include <QStringList>

// Records every dialog shown and answers from a script instead of blocking: each answer becomes
// the dialog's choice, an empty one (or none left) being a cancel.
class FakeFileDialog : public FileDialog
{
public:
    // For each dialog: "open" or "save", then the file name, title, filter and flags (in hex)
    // it was shown with.
    QList<QStringList> shown;
    QQueue<QString> answers;

protected:
    QString chooseToOpen() override { return choose(QStringLiteral("open")); }
    QString chooseToSave() override { return choose(QStringLiteral("save")); }

private:
    QString choose(const QString &kind)
    {
        shown.append({kind, fileName(), dialogTitle(), filter(), QString::number(flags(), 16)});
        return answers.isEmpty() ? QString() : answers.dequeue();
    }
};
