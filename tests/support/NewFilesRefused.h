#pragma once

#include <QString>

#include <cerrno>

// Makes every attempt to create a file in the folder fail with the error, as in a folder where
// the user may not create files (EACCES) or one made immutable (EPERM), while its existing files
// open as before. Neither the permission bits nor the immutable flag can show this to every test:
// the first does not bind root, the second needs root. Works by standing in for the C
// library's open64(), which Qt's file engine opens every file with; NewFilesRefused.cpp must be
// among the test's sources. An empty folder refuses nothing.
void refuseNewFilesIn(const QString &folder, int error = EACCES);
