#include "app/commands/SaveCommand.h"

#include "app/WaitPointer.h"
#include "app/commands/FileDialogFlags.h"
#include "documents/WriteTextFile.h"
#include "pane/TextPane.h"
#include "platform/FileDialog.h"
#include "platform/FileExists.h"
#include "platform/MessageBoxes.h"

#include <QDir>

SaveCommand::SaveCommand(const TextPane &sourcePane, const TextPane &resultPane,
                         const FileCommandServices &services)
    : sourcePane_(sourcePane), resultPane_(resultPane), services_(services)
{}

void SaveCommand::run()
{
    FileDialog &dialog = services_.dialog;
    // The choice is kept: the dialog opens with the file last loaded or saved.
    dialog.setFlags(fileDialogFlags);
    dialog.setDialogTitle(QStringLiteral("Save List"));
    dialog.setFilter(QStringLiteral("Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"));
    dialog.showSave();
    const QString path = dialog.chosenPath();
    if (path.isEmpty())
        return;

    WaitPointer wait(services_.pointer);
    MessageBoxes &messages = services_.messages;
    // A pane's own visibility flag, which holds while the window is minimised or not yet shown.
    if (!sourcePane_.isHidden())
        savePaneText(sourcePane_, path, messages);
    else if (!resultPane_.isHidden())
        savePaneText(resultPane_, path, messages);
    else
        // The message users know, kept as it is.
        messages.inform(QStringLiteral("savertb problem"));
}

bool savePaneText(const TextPane &pane, const QString &path, MessageBoxes &messages)
{
    if (fileExists(path) &&
        !messages.askYesNo(QStringLiteral("Are you sure you wish to overwrite ") +
                           QDir::toNativeSeparators(path) + QStringLiteral(" ?")))
        return false;
    const QByteArrayView text = pane.utf8Text();
    QByteArray file;
    file.reserve(text.size() + 2);
    file.append(text).append("\r\n");
    const TextFileWrite written = writeTextFile(file, path);
    if (written.failure.isEmpty())
        return true;
    QString message = QStringLiteral("The file \"%1\" could not be saved (%2).")
                          .arg(QDir::toNativeSeparators(path), written.failure);
    // A file written in place may hold part of the text now.
    if (!written.inPlace)
        message += QStringLiteral("\n\nA file that was there before is unchanged.");
    messages.warn(message);
    return false;
}
