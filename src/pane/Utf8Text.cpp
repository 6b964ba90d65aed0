#include "pane/Utf8Text.h"

#include "compare/Bytes.h"

#include <algorithm>
#include <cstring>

namespace {

const char *find(const char *from, const char *end, char byte)
{
    const void *found = std::memchr(from, byte, size_t(end - from));
    return found ? static_cast<const char *>(found) : end;
}

// Calls onBreak(offset, length) for each line break in order, length 2 for CR LF and 1 for a
// lone CR or LF. memchr keeps the scan of a text with one kind of break at memory speed.
template <typename OnBreak> void forEachBreak(const QByteArray &text, OnBreak onBreak)
{
    const char *begin = text.constData();
    const char *end = begin + text.size();
    const char *cr = find(begin, end, '\r');
    const char *lf = find(begin, end, '\n');
    while (cr != end || lf != end) {
        if (lf < cr) {
            onBreak(lf - begin, 1);
            lf = find(lf + 1, end, '\n');
            continue;
        }
        const bool crLf = lf != end && lf == cr + 1;
        onBreak(cr - begin, crLf ? 2 : 1);
        if (crLf)
            lf = find(lf + 1, end, '\n');
        cr = find(cr + 1, end, '\r');
    }
}

} // namespace

namespace Utf8Text {

qsizetype utf16Units(QByteArrayView text)
{
    // codeUnits() without its branches, so that the sum runs on vector registers.
    return sumOfBytes<2>(
        text, [](unsigned char byte) { return ((byte & 0xc0) != 0x80) + (byte >= 0xf0); });
}

CrLfText toCrLf(QByteArray text)
{
    CrLfText result;
    qsizetype loneBreaks = 0;
    qsizetype line = 0;
    qsizetype lineStart = 0;
    qsizetype longest = -1;
    const auto measure = [&](qsizetype lineEnd) {
        if (lineEnd - lineStart > longest) {
            longest = lineEnd - lineStart;
            result.longestLine = line;
            result.longestLength = longest;
        }
    };
    bool lastBreakIsFinalCr = false;
    forEachBreak(text, [&](qsizetype offset, int length) {
        measure(offset);
        loneBreaks += length == 1;
        lastBreakIsFinalCr = length == 1 && offset == text.size() - 1 && text.at(offset) == '\r';
        ++line;
        lineStart = offset + length;
    });
    measure(text.size());
    if (loneBreaks == 0) {
        result.bytes = std::move(text);
        return result;
    }
    // A loaded text ends in a lone CR, which the LF after it mends without copying the text.
    if (loneBreaks == 1 && lastBreakIsFinalCr) {
        text += '\n';
        result.bytes = std::move(text);
        return result;
    }

    result.bytes.resize(text.size() + loneBreaks);
    char *out = result.bytes.data();
    qsizetype copied = 0;
    forEachBreak(text, [&](qsizetype offset, int length) {
        out = std::copy(text.constData() + copied, text.constData() + offset, out);
        *out++ = '\r';
        *out++ = '\n';
        copied = offset + length;
    });
    std::copy(text.constData() + copied, text.constData() + text.size(), out);
    return result;
}

} // namespace Utf8Text
