#pragma once

#include <QString>

// Makes every attempt to create a file in the folder fail with "Permission denied", as in a
// folder where the user may not create files, while its existing files open as before. The
// permission bits cannot show this to tests that run as root. Works by standing in for the C
// library's open64(), which Qt's file engine opens every file with; NewFilesRefused.cpp must be
// among the test's sources. An empty folder refuses nothing.
void refuseNewFilesIn(const QString &folder);
