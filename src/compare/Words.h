#pragma once

#include <QStringView>

// Words are short, so a plain loop finds the next space sooner than a vectorised search, whose
// set-up costs more than the few characters it skips.
inline qsizetype nextSpace(QStringView line, qsizetype from)
{
    for (qsizetype i = from; i < line.size(); ++i) {
        if (line[i] == u' ')
            return i;
    }
    return -1;
}

// The number of words of a line cut at every single space; an empty line has none.
inline qsizetype wordCount(QStringView line)
{
    if (line.isEmpty())
        return 0;
    qsizetype spaces = 0;
    for (const QChar c : line)
        spaces += c == u' ';
    return spaces + 1;
}
