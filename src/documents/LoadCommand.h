#pragma once

#include <QStringList>

class Form1;
class RichTextPane;

// The load buttons: the user chooses one or more files in the window's dialog, and the source
// pane receives their text, ending with a line break, in the mode that shows source panes.
// Several files are combined in the dialog's order, each starting on a new line.
void loadTextCommand(Form1 &form, RichTextPane &sourcePane);

// Files dropped on a source pane are loaded as if they had been chosen in its open dialog.
void loadDroppedFiles(Form1 &form, RichTextPane &sourcePane, const QStringList &paths);
