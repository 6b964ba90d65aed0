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
// the ranges after it, and what is typed takes the colour of the character before the caret, as
// a text box gives it: typed inside a red range or right at its end it is red, right before one
// it is not.
class MarkedRanges
{
public:
    void clear();
    bool isEmpty() const;
    // Marks, or unmarks, the bytes from start to end.
    void mark(qsizetype start, qsizetype end);
    void unmark(qsizetype start, qsizetype end);
    // Many ranges sorted by start at once, as a comparison finds them (overlapping or touching
    // ones are joined): linear in the ranges given and the marked ranges among them, not
    // logarithmic per range.
    void markSorted(const TextRange *begin, const TextRange *end);
    // The bytes from start to end were replaced by insertedLength bytes: the replaced bytes'
    // colour goes, the later ranges move, and the inserted bytes are red when the byte before
    // start is (at the start of the text, when the first byte replaced, or else the byte after,
    // is), joined with the ranges they touch. Ranges that a deletion brings together join.
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

    // Sorted by start, and so by end; the shift after an edit kept as one step.
    StepList<TextRange> ranges_;
};
