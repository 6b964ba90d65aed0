#pragma once

#include "compare/Bytes.h"

#include <algorithm>

// Words are cut at the space byte, which never occurs inside a multi-byte UTF-8 character.

// memchr even for short words: a loop over the bytes mispredicts its exit at nearly every word's
// end, which costs more than the call.
inline qsizetype nextSpace(QByteArrayView line, qsizetype from)
{
    return indexOfByte(line, ' ', from);
}

// The number of words of a line cut at every single space; an empty line has none.
inline qsizetype wordCount(QByteArrayView line)
{
    if (line.isEmpty())
        return 0;
    return std::count(line.begin(), line.end(), ' ') + 1;
}
