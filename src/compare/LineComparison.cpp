#include "compare/LineComparison.h"

#include "compare/LineReader.h"
#include "compare/LineSet.h"

namespace {
// Polling the ticker once per chunk of lines keeps its cost out of the inner loops.
constexpr qsizetype linesPerPoll = 2048;

LineSet linesOf(QStringView text)
{
    LineSet set(text);
    LineReader reader(text);
    TextLine line;
    while (reader.next(line))
        set.insert(line.start, line.length);
    return set;
}

TextRange rangeOf(const TextLine &line)
{
    return {line.start, line.length + line.breakLength};
}
} // namespace

std::optional<ComparisonResult> findMissingLines(QStringView source, QStringView other,
                                                 YieldTicker &ticker)
{
    LineSet otherLines(other);
    LineReader otherReader(other);
    TextLine line;
    qsizetype count = 0;
    while (otherReader.next(line)) {
        otherLines.insert(line.start, line.length);
        if (++count % linesPerPoll == 0 && !ticker.poll())
            return std::nullopt;
    }

    ComparisonResult result;
    LineReader sourceReader(source);
    while (sourceReader.next(line)) {
        const QStringView text = source.sliced(line.start, line.length);
        if (!otherLines.contains(text)) {
            result.ranges.append(rangeOf(line));
            result.listing.append(text);
            result.listing.append(u"\r\n");
        }
        if (++count % linesPerPoll == 0 && !ticker.poll())
            return std::nullopt;
    }
    return result;
}

QList<TextRange> rangesOfListedLines(QStringView text, QStringView listing)
{
    QList<TextRange> ranges;
    if (listing.isEmpty())
        return ranges;
    const LineSet listed = linesOf(listing);
    LineReader reader(text);
    TextLine line;
    while (reader.next(line)) {
        if (listed.contains(text.sliced(line.start, line.length)))
            ranges.append(rangeOf(line));
    }
    return ranges;
}
