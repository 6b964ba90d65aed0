#include "compare/LineComparison.h"

#include "compare/LineReader.h"
#include "compare/LineSet.h"

#include <array>

namespace {
// Lines are hashed and their slots prefetched a batch at a time before any of them is looked up.
constexpr qsizetype batchSize = 16;
// Polling the ticker once per chunk of lines keeps its cost out of the inner loops.
constexpr qsizetype linesPerPoll = 128 * batchSize;

struct HashedLine
{
    TextLine line;
    size_t hash;
};

// Calls visit(line, hash) for every line of text in order; stops early and returns false when
// the ticker (if any) asks to.
template <typename Visit>
bool forEachLine(QByteArrayView text, const LineSet &set, YieldTicker *ticker, Visit visit)
{
    LineReader reader(text);
    std::array<HashedLine, batchSize> batch;
    for (qsizetype done = 0;; done += batchSize) {
        qsizetype count = 0;
        for (; count < batchSize && reader.next(batch[count].line); ++count) {
            const TextLine &line = batch[count].line;
            batch[count].hash = LineSet::hashOf(text.sliced(line.start, line.length));
            set.prefetch(batch[count].hash);
        }
        for (qsizetype i = 0; i < count; ++i)
            visit(batch[i].line, batch[i].hash);
        if (count < batchSize)
            return true;
        if (ticker && (done + batchSize) % linesPerPoll == 0 && !ticker->poll())
            return false;
    }
}

// A line's range covers the line and its line break. The empty line after a text's last line
// break has neither: there is nothing to colour, and the selection stays where it was.
void appendRangeOf(const TextLine &line, QList<TextRange> &ranges)
{
    if (line.length + line.breakLength > 0)
        ranges.append({line.start, line.length + line.breakLength});
}
} // namespace

std::optional<ComparisonResult> findMissingLines(QByteArrayView source, QByteArrayView other,
                                                 YieldTicker &ticker)
{
    LineSet otherLines(other);
    const auto insert = [&](const TextLine &line, size_t hash) {
        otherLines.insert(line.start, line.length, hash);
    };
    if (!forEachLine(other, otherLines, &ticker, insert))
        return std::nullopt;

    ComparisonResult result;
    const auto check = [&](const TextLine &line, size_t hash) {
        const QByteArrayView text = source.sliced(line.start, line.length);
        if (otherLines.contains(text, hash))
            return;
        appendRangeOf(line, result.ranges);
        result.listing.append(text);
        result.listing.append("\r\n", 2);
    };
    if (!forEachLine(source, otherLines, &ticker, check))
        return std::nullopt;
    return result;
}

QList<TextRange> rangesOfListedLines(QByteArrayView text, QByteArrayView listing)
{
    QList<TextRange> ranges;
    if (listing.isEmpty())
        return ranges;
    LineSet listed(listing);
    // Every listed line ends in a line break, so the empty line after the last one was not listed.
    forEachLine(listing, listed, nullptr, [&](const TextLine &line, size_t hash) {
        if (line.start < listing.size())
            listed.insert(line.start, line.length, hash);
    });
    forEachLine(text, listed, nullptr, [&](const TextLine &line, size_t hash) {
        if (listed.contains(text.sliced(line.start, line.length), hash))
            appendRangeOf(line, ranges);
    });
    return ranges;
}
