#pragma once

#include <QString>

// True when `path` names an ordinary file that a listing of its folder shows: not a folder or
// a device, and not hidden. Hidden means a name starting with a dot, a hidden flag of the
// platform, or a line with the file's name in the ".hidden" file of its folder, which the
// desktop file managers honour. Only the file's own name and flags count; a hidden folder on
// the way does not hide the files in it.
bool ordinaryFileExists(const QString &path);
