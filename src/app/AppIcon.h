#pragma once

#include <QIcon>

// The program's icon, built into the program: the pictures that the package installs in the
// icon theme, so the window looks like its menu entry even when run from the build.
QIcon appIcon();
