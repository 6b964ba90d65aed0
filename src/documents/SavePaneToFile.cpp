#include "documents/SavePaneToFile.h"

#include "documents/FileExists.h"
#include "documents/SaveTextFile.h"
#include "pane/RichTextPane.h"
#include "platform/MessageBoxes.h"

bool SavePaneToFile(const RichTextPane &pane, const QString &path, MessageBoxes &messages)
{
    return SavePaneToFile(pane.text(), path, messages);
}

bool SavePaneToFile(const QString &paneText, const QString &path, MessageBoxes &messages)
{
    if (FileExists(path) &&
        !messages.askYesNo(QStringLiteral("Are you sure you wish to overwrite ") + path +
                           QStringLiteral(" ?")))
        return false;
    QString error;
    if (saveTextFile(paneText + QStringLiteral("\r\n"), path, &error))
        return true;
    messages.warn(QStringLiteral("The file \"%1\" could not be saved (%2).\n\nA file that was "
                                 "there before is unchanged.")
                      .arg(path, error));
    return false;
}
