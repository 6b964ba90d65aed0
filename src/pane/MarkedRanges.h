#pragma once

#include "compare/TextRange.h"
#include "pane/StepList.h"

#include <QList>

// A range moves by its start.
template <> struct StepShift<TextRange>
{
    static TextRange apply(TextRange range, qint64 delta)
    {
        return {range.start + delta, range.length};
    }
};

// The red parts of a pane: sorted, disjoint, non-empty byte ranges (touching ones are joined),
// with no storage per character. Colouring adds or removes ranges; an edit of the text shifts
// the ranges after it, and what is typed inside a red range is red too, as a text box gives new
// text the colour at the caret.
class MarkedRanges
{
public:
    void clear();
    bool isEmpty() const;
    // Marks, or unmarks, the bytes from start to end.
    void mark(qsizetype start, qsizetype end);
    void unmark(qsizetype start, qsizetype end);
    // Many sorted ranges at once, as a comparison finds them: linear in the ranges, not
    // logarithmic per range.
    void markSorted(const TextRange *begin, const TextRange *end);
    // The bytes from start to end were replaced by insertedLength bytes.
    void replaced(qsizetype start, qsizetype end, qsizetype insertedLength);

    bool contains(qsizetype position) const;
    // The ranges that overlap the bytes from start to end, clipped to them, in order: a binary
    // search, then only the ranges in the window.
    QList<TextRange> within(qsizetype start, qsizetype end) const;
    // The first range that starts after position, and the last that starts before it (for
    // stepping from difference to difference); an empty range where there is none.
    TextRange next(qsizetype position) const;
    TextRange previous(qsizetype position) const;
    qsizetype count() const;

private:
    // The first range that ends at or after position, touching ones included.
    qsizetype firstEndingFrom(qsizetype position) const;
    // The number of ranges that start at or before position.
    qsizetype startingUpTo(qsizetype position) const;
    // Replaces the ranges from first to last with ranges, joining those that touch.
    void replaceJoined(qsizetype first, qsizetype last, std::vector<TextRange> ranges);

    // Sorted by start, and so by end; the shift after an edit kept as one step.
    StepList<TextRange> ranges_;
};
