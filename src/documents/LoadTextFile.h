#pragma once

#include <QString>

class MessageBoxes;

// The most one load puts into a source pane, in bytes of the files read: a larger text makes
// the pane too slow to use and may not fit in memory.
constexpr qint64 maxLoadBytes = 64 * 1024 * 1024;

// Loads the file at path for a source pane by adding its text to paneText, on a new line when
// paneText holds text that does not end with a line break (an empty file adds nothing). A missing
// file gets "File not found"; one that cannot be loaded (a folder, unreadable, binary, too large) a
// warning that names it and says why. Either way paneText is left as it was.
void LoadTextFile(QString &paneText, const QString &path, MessageBoxes &messages);
