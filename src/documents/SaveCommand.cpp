#include "documents/SaveCommand.h"

#include "app/Form1.h"
#include "app/WaitPointer.h"
#include "documents/FileDialogFlags.h"
#include "documents/SavePaneToFile.h"
#include "pane/RichTextPane.h"
#include "platform/MessageBoxes.h"

void saveResultsCommand(Form1 &form, RichTextPane &sourcePane, RichTextPane &resultPane)
{
    CommonDialog &dialog = form.services().CommonDialog1;
    // The name is kept: the dialog opens with the file last loaded or saved.
    dialog.setFlags(fileDialogFlags);
    dialog.setDialogTitle(QStringLiteral("Save List"));
    dialog.setFilter(QStringLiteral("Text Files(*.txt)|*.txt|All Files (*.*)|*.*|"));
    dialog.showSave();
    const QString path = dialog.fileName();
    if (path.isEmpty())
        return;

    WaitPointer wait(form);
    MessageBoxes &messages = form.services().messages;
    // A pane's own visibility flag, which holds while the window is minimised or not yet shown.
    if (!sourcePane.isHidden())
        SavePaneToFile(sourcePane, path, messages);
    else if (!resultPane.isHidden())
        SavePaneToFile(resultPane, path, messages);
    else
        messages.inform(QStringLiteral("savertb problem"));
}
