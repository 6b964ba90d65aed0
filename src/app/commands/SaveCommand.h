#pragma once

#include "app/commands/FileCommandServices.h"

#include <QString>

class TextPane;

// A save button: the user names a file in the window's dialog, and whichever of the side's two
// panes is shown is saved there (see savePaneText).
class SaveCommand
{
public:
    SaveCommand(const TextPane &sourcePane, const TextPane &resultPane,
                const FileCommandServices &services);

    void run();

private:
    const TextPane &sourcePane_;
    const TextPane &resultPane_;
    FileCommandServices services_;
};

// Writes a pane's text followed by CR LF to the file at path (see writeTextFile), after asking
// "Are you sure you wish to overwrite <path> ?" when the path names an existing file. A file
// that cannot be written gets a warning that names the path and the reason, and adds that an
// existing file stays as it was, unless it was being written in place. Returns whether the file
// now holds the text: false after a No or a failure.
bool savePaneText(const TextPane &pane, const QString &path, MessageBoxes &messages);
