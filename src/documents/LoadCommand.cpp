#include "documents/LoadCommand.h"

#include "app/Form1.h"
#include "app/WaitPointer.h"
#include "documents/FileDialogFlags.h"
#include "documents/LoadTextFile.h"
#include "documents/SelectionPaths.h"
#include "pane/RichTextPane.h"
#include "platform/CommonDialog.h"

namespace {

void prepareOpenDialog(CommonDialog &dialog)
{
    dialog.setFileName(QString());
    dialog.setFlags(fileDialogFlags);
    dialog.setDialogTitle(QStringLiteral("Load List(s) - Hold Ctrl to select multiple list files"));
    dialog.setFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
}

void loadSelection(Form1 &form, RichTextPane &pane, const QString &selection)
{
    if (selection.isEmpty())
        return;
    WaitPointer wait(form);
    // Only the first side's paths are tidied; the second side's go to the file system as
    // joined.
    const QStringList paths = selectionPaths(selection, &pane == form.RichTextBox1);
    pane.setText(QString());
    QString text;
    for (const QString &path : paths)
        LoadTextFile(text, path, form.services().messages);
    // The final carriage return ends the last line, so the comparisons see it as a whole line.
    pane.setText(text + QLatin1Char('\r'));
    form.select(form.Option1);
}

} // namespace

void loadTextCommand(Form1 &form, RichTextPane &sourcePane)
{
    CommonDialog &dialog = form.services().CommonDialog1;
    prepareOpenDialog(dialog);
    dialog.showOpen();
    loadSelection(form, sourcePane, dialog.fileName());
}

void loadDroppedFiles(Form1 &form, RichTextPane &sourcePane, const QStringList &paths)
{
    CommonDialog &dialog = form.services().CommonDialog1;
    prepareOpenDialog(dialog);
    dialog.setFileName(CommonDialog::selectionString(paths));
    loadSelection(form, sourcePane, dialog.fileName());
}
