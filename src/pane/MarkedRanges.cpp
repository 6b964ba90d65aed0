#include "pane/MarkedRanges.h"

#include <algorithm>

namespace {

qsizetype endOf(const TextRange &range)
{
    return range.start + range.length;
}

// Appends range to sorted ones, joined with the last when they overlap or touch.
void append(std::vector<TextRange> &ranges, TextRange range)
{
    if (range.length <= 0)
        return;
    if (!ranges.empty() && range.start <= endOf(ranges.back())) {
        TextRange &last = ranges.back();
        last.length = std::max(endOf(last), endOf(range)) - last.start;
        return;
    }
    ranges.push_back(range);
}

} // namespace

qsizetype MarkedRanges::firstEndingFrom(qsizetype position) const
{
    return ranges_.countWhere([&](const TextRange &range) { return endOf(range) < position; });
}

qsizetype MarkedRanges::startingUpTo(qsizetype position) const
{
    return ranges_.countWhere([&](const TextRange &range) { return range.start <= position; });
}

void MarkedRanges::clear()
{
    ranges_.assign({});
}

bool MarkedRanges::isEmpty() const
{
    return ranges_.isEmpty();
}

qsizetype MarkedRanges::count() const
{
    return ranges_.size();
}

void MarkedRanges::mark(qsizetype start, qsizetype end)
{
    start = std::max<qsizetype>(start, 0);
    if (end <= start)
        return;
    const qsizetype first = firstEndingFrom(start);
    const qsizetype last = startingUpTo(end);
    if (first < last) {
        start = std::min(start, ranges_[first].start);
        end = std::max(end, endOf(ranges_[last - 1]));
    }
    const TextRange joined{start, end - start};
    ranges_.replace(first, last, {&joined, 1});
}

void MarkedRanges::unmark(qsizetype start, qsizetype end)
{
    if (end <= start)
        return;
    const qsizetype first =
        ranges_.countWhere([&](const TextRange &range) { return endOf(range) <= start; });
    const qsizetype last =
        ranges_.countWhere([&](const TextRange &range) { return range.start < end; });
    if (first >= last)
        return;
    std::vector<TextRange> kept;
    const TextRange head = ranges_[first];
    if (head.start < start)
        kept.push_back({head.start, start - head.start});
    const TextRange tail = ranges_[last - 1];
    if (endOf(tail) > end)
        kept.push_back({end, endOf(tail) - end});
    ranges_.replace(first, last, kept);
}

void MarkedRanges::markSorted(const TextRange *begin, const TextRange *end)
{
    if (begin == end)
        return;
    std::vector<TextRange> sortedCopy;
    if (!std::is_sorted(begin, end,
                        [](const TextRange &a, const TextRange &b) { return a.start < b.start; })) {
        // Not as promised, but still marked right, at the cost of a sort.
        sortedCopy.assign(begin, end);
        std::sort(sortedCopy.begin(), sortedCopy.end(),
                  [](const TextRange &a, const TextRange &b) { return a.start < b.start; });
        begin = sortedCopy.data();
        end = begin + sortedCopy.size();
    }
    // Only the ranges between the first and the last given take part, so that a comparison
    // handing over its ranges in batches, each after the last, costs each batch alone.
    const qsizetype windowStart = std::max<qsizetype>(begin->start, 0);
    qsizetype windowEnd = windowStart;
    for (const TextRange *range = begin; range != end; ++range)
        windowEnd = std::max(windowEnd, endOf(*range));
    const qsizetype first = firstEndingFrom(windowStart);
    const qsizetype last = startingUpTo(windowEnd);
    std::vector<TextRange> merged;
    merged.reserve(size_t(last - first + (end - begin)));
    qsizetype old = first;
    for (const TextRange *added = begin; added != end; ++added) {
        for (; old < last && ranges_[old].start <= added->start; ++old)
            append(merged, ranges_[old]);
        const qsizetype start = std::max<qsizetype>(added->start, 0);
        append(merged, {start, endOf(*added) - start});
    }
    for (; old < last; ++old)
        append(merged, ranges_[old]);
    ranges_.replace(first, last, merged);
}

void MarkedRanges::replaced(qsizetype start, qsizetype end, qsizetype insertedLength)
{
    start = std::max<qsizetype>(start, 0);
    end = std::max(end, start);
    insertedLength = std::max<qsizetype>(insertedLength, 0);
    const qsizetype delta = insertedLength - (end - start);
    const bool red = insertedLength > 0 && contains(start > 0 ? start - 1 : start);

    // The ranges that overlap or touch the replaced bytes: what is left of them before and after
    // the replaced bytes, and the inserted bytes between, joined where they now touch.
    const qsizetype first = firstEndingFrom(start);
    const qsizetype last = startingUpTo(end);
    std::vector<TextRange> window;
    if (first < last && ranges_[first].start < start)
        window.push_back(
            {ranges_[first].start, std::min(endOf(ranges_[first]), start) - ranges_[first].start});
    if (red)
        append(window, {start, insertedLength});
    if (first < last && endOf(ranges_[last - 1]) > end) {
        const TextRange tail = ranges_[last - 1];
        const qsizetype from = std::max(tail.start, end);
        append(window, {from + delta, endOf(tail) - from});
    }
    ranges_.replace(first, last, window);
    ranges_.shift(first + qsizetype(window.size()), delta);
}

bool MarkedRanges::contains(qsizetype position) const
{
    const qsizetype starting = startingUpTo(position);
    return starting > 0 && position < endOf(ranges_[starting - 1]);
}

QList<TextRange> MarkedRanges::within(qsizetype start, qsizetype end) const
{
    QList<TextRange> clipped;
    for (qsizetype i =
             ranges_.countWhere([&](const TextRange &range) { return endOf(range) <= start; });
         i < ranges_.size(); ++i) {
        const TextRange range = ranges_[i];
        const qsizetype from = std::max(range.start, start);
        const qsizetype to = std::min(endOf(range), end);
        if (from >= to)
            break;
        clipped.append({from, to - from});
    }
    return clipped;
}

TextRange MarkedRanges::next(qsizetype position) const
{
    const qsizetype starting = startingUpTo(position);
    return starting < ranges_.size() ? ranges_[starting] : TextRange{};
}

TextRange MarkedRanges::previous(qsizetype position) const
{
    const qsizetype before =
        ranges_.countWhere([&](const TextRange &range) { return range.start < position; });
    return before > 0 ? ranges_[before - 1] : TextRange{};
}
