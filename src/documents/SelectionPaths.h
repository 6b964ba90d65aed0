#pragma once

#include <QString>
#include <QStringList>

// The paths that a file dialog's selection string names, in its order. One path stays exactly
// as it is. Several are the directory joined with each name by the platform's separator; with
// collapseDoubledSeparators, each joined path then has every two consecutive separators
// replaced by one, left to right (so three in a row become two).
QStringList selectionPaths(const QString &selection, bool collapseDoubledSeparators);
