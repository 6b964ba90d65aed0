#pragma once

#include <QString>

class MessageBoxes;
class RichTextPane;

// Writes a pane's text followed by CR LF to the file at path (see saveTextFile), after asking
// "Are you sure you wish to overwrite <path> ?" when the path names an existing file. A file
// that cannot be written gets a warning that names the path and the reason, and an existing
// file stays as it was. Returns whether the file now holds the text: false after a No or a
// failure.
bool SavePaneToFile(const RichTextPane &pane, const QString &path, MessageBoxes &messages);
// The same for a pane's text read beforehand.
bool SavePaneToFile(const QString &paneText, const QString &path, MessageBoxes &messages);
