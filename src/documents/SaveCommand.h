#pragma once

class Form1;
class RichTextPane;

// The save buttons: the user names a file in the window's dialog, and whichever of the side's
// two panes is shown is saved there (see SavePaneToFile).
void saveResultsCommand(Form1 &form, RichTextPane &sourcePane, RichTextPane &resultPane);
