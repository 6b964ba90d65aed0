#pragma once

#include <QByteArrayView>
#include <cstring>

// The index of the first byte c in text at or after from, or -1. Straight to memchr, which
// skips whole vector registers at a time, without the general search that QByteArrayView's
// indexOf sets up for every call.
inline qsizetype indexOfByte(QByteArrayView text, char c, qsizetype from)
{
    if (from >= text.size())
        return -1;
    const void *found = std::memchr(text.data() + from, c, size_t(text.size() - from));
    return found ? static_cast<const char *>(found) - text.data() : -1;
}

// Equality inlined where it is decided millions of times, mostly on the length alone;
// QByteArrayView's own operator calls into the library every time. memcmp never sees the null
// pointer that an empty view may hold.
inline bool sameBytes(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() &&
           (a.isEmpty() || std::memcmp(a.data(), b.data(), size_t(a.size())) == 0);
}
