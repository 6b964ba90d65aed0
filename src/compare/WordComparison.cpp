#include "compare/WordComparison.h"

#include "compare/Bytes.h"
#include "compare/WordLine.h"
#include "compare/Words.h"

namespace {
// Length of the line that starts at from, up to the next CR LF or the end of the text. A CR
// that is not followed by LF belongs to the line.
qsizetype crlfLineLength(QByteArrayView text, qsizetype from)
{
    const qsizetype size = text.size();
    for (qsizetype i = from;;) {
        const qsizetype cr = indexOfByte(text, '\r', i);
        if (cr < 0)
            return size - from;
        if (cr + 1 < size && text[cr + 1] == '\n')
            return cr - from;
        i = cr + 1;
    }
}

// (n - 1) / 2 + 1 rounded to the nearest integer, a tie going to the even neighbour. The value is
// whole for odd n and lies halfway between n / 2 and n / 2 + 1 for even n.
qsizetype windowFor(qsizetype wordCount)
{
    if (wordCount % 2 == 1)
        return (wordCount + 1) / 2;
    const qsizetype lower = wordCount / 2;
    return lower % 2 == 0 ? lower : lower + 1;
}
// Marks the unmatched words of line, which starts at index lineStart of the examined text,
// against otherLine. The look-ahead window is computed from the word count of line.
void markUnmatchedWords(QByteArrayView line, qsizetype lineStart, WordLine &otherLine,
                        ComparisonResult &result)
{
    if (line.isEmpty())
        return;
    const qsizetype window = windowFor(wordCount(line));
    qsizetype next = 0; // the first word of the other line that can still be matched
    for (qsizetype offset = 0;;) {
        const qsizetype space = nextSpace(line, offset);
        const qsizetype end = space < 0 ? line.size() : space;
        const QByteArrayView word = line.sliced(offset, end - offset);
        const qsizetype match = otherLine.find(word, next, window);
        if (match >= 0) {
            next = match + 1;
        } else {
            result.listing.append("\r\n", 2);
            result.listing.append(word);
            result.ranges.append({lineStart + offset, word.size()});
        }
        if (space < 0)
            return;
        offset = end + 1;
    }
}

} // namespace

ComparisonResult compareWords(QByteArrayView examined, QByteArrayView other)
{
    ComparisonResult result;
    if (examined.isEmpty())
        return result;

    qsizetype otherStart = 0;
    qsizetype otherLength = crlfLineLength(other, 0);
    // Cut into words only when a line differs from it: every word of an equal line matches the
    // word at its own index, so most lines of similar texts need no look-up at all.
    WordLine otherLine;
    bool otherLineCut = false;

    for (qsizetype start = 0;;) {
        const qsizetype length = crlfLineLength(examined, start);
        const QByteArrayView line = examined.sliced(start, length);
        const QByteArrayView paired = other.sliced(otherStart, otherLength);
        if (!sameBytes(line, paired)) {
            if (!otherLineCut)
                otherLine.assign(paired);
            otherLineCut = true;
            markUnmatchedWords(line, start, otherLine, result);
        }
        if (start + length == examined.size())
            return result;
        start += length + 2;
        // Move to the other text's next line only while something follows the CR LF that ends
        // the current one.
        if (otherStart + otherLength + 2 < other.size()) {
            otherStart += otherLength + 2;
            otherLength = crlfLineLength(other, otherStart);
            otherLineCut = false;
        }
    }
}
