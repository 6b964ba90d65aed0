#pragma once

#include <QByteArrayView>
#include <cstddef>
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

// The sum of weight(byte) over the bytes of text, each weight from 0 to maxWeight. Summed a
// block at a time into byte-wide lanes, which the compiler turns into vector compares and adds:
// many times faster than a 64-bit sum, which widens every step. A block is small enough that no
// lane passes 255.
template <int maxWeight, typename Weight> qsizetype sumOfBytes(QByteArrayView text, Weight weight)
{
    constexpr qsizetype lanes = 16;
    constexpr qsizetype block = 255 / maxWeight * lanes;
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    qsizetype rest = text.size();
    qsizetype sum = 0;
    for (; rest >= block; rest -= block, bytes += block) {
        unsigned char lane[lanes] = {};
        for (qsizetype i = 0; i < block; i += lanes) {
            for (qsizetype j = 0; j < lanes; ++j)
                lane[j] += weight(bytes[i + j]);
        }
        for (const unsigned char n : lane)
            sum += n;
    }
    for (; rest > 0; --rest)
        sum += weight(*bytes++);
    return sum;
}
