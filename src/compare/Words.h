#pragma once

#include <QByteArrayView>
#include <algorithm>

// Words are cut at the space byte, which never occurs inside a multi-byte UTF-8 character.

// Words are short, so a plain loop finds the next space sooner than a vectorised search, whose
// set-up costs more than the few bytes it skips.
inline qsizetype nextSpace(QByteArrayView line, qsizetype from)
{
    for (qsizetype i = from; i < line.size(); ++i) {
        if (line[i] == ' ')
            return i;
    }
    return -1;
}

// The number of words of a line cut at every single space; an empty line has none.
inline qsizetype wordCount(QByteArrayView line)
{
    if (line.isEmpty())
        return 0;
    return std::count(line.begin(), line.end(), ' ') + 1;
}
