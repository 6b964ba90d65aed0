#pragma once

#include <QString>

// True when a modification time can be read for `path`: any file or folder, hidden ones
// included. Every failure counts as false.
bool fileExists(const QString &path);
