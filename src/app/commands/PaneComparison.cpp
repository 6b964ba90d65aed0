#include "app/commands/PaneComparison.h"

#include "app/WaitPointer.h"
#include "app/commands/PaneColouring.h"
#include "compare/LineComparison.h"
#include "compare/WordComparison.h"
#include "pane/TextPane.h"

PaneComparison::PaneComparison(const ComparisonPanes &panes, WindowPointer &pointer,
                               ComparisonYields yields)
    : panes_(panes), pointer_(pointer), yields_(std::move(yields))
{}

void PaneComparison::compareLines()
{
    if (!yields_.withInput())
        return;
    WaitPointer wait(pointer_);
    if (!listMissingLines(panes_.source1, panes_.source2, panes_.result1))
        return;
    listMissingLines(panes_.source2, panes_.source1, panes_.result2);
}

// One direction of the line comparison. False when the window was closed during a yield.
bool PaneComparison::listMissingLines(TextPane &source, TextPane &other, TextPane &result)
{
    // Arrays of their own, not views: the user may edit or reload either pane during a yield,
    // which would move the bytes a view points at. The comparison goes on with the texts as they
    // were read; an unedited pane shares its bytes instead of copying them.
    const QByteArray sourceText = source.utf8Bytes();
    const QByteArray otherText = other.utf8Bytes();
    result.setText(QString());

    bool yielded = false;
    YieldTicker ticker(
        [this, &yielded] {
            yielded = true;
            return yields_.withInput();
        },
        yields_.interval);
    const std::optional<ComparisonResult> missing = findMissingLines(sourceText, otherText, ticker);
    if (!missing)
        return false;

    // The listed lines are those of the text as it was read, but they are coloured where they
    // stand now.
    QList<TextRange> ranges = missing->ranges;
    if (yielded && !ranges.isEmpty()) {
        const QByteArrayView sourceNow = source.utf8Text();
        if (sourceNow != sourceText)
            ranges = rangesOfListedLines(sourceNow, missing->listing);
    }
    if (!highlightByteRanges(source, ranges, yields_.withoutInput))
        return false;
    result.setUtf8Text(missing->listing);
    return true;
}

void PaneComparison::compareWords()
{
    if (!yields_.withInput())
        return;
    WaitPointer wait(pointer_);
    TextPane &source1 = panes_.source1;
    TextPane &source2 = panes_.source2;
    colorWholeText(source1, black);
    colorWholeText(source2, black);
    panes_.result1.setText(QString());
    panes_.result2.setText(QString());
    if (!markUnmatchedWords(source1, source2, panes_.result1))
        return;
    markUnmatchedWords(source2, source1, panes_.result2);
}

// One pass of the word comparison, in steps short enough to keep the window answering; no input
// is taken between them, so the texts stay as they were at the start. False when the window was
// closed during a yield.
bool PaneComparison::markUnmatchedWords(TextPane &examined, TextPane &other, TextPane &result)
{
    const ComparisonResult unmatched = ::compareWords(examined.utf8Text(), other.utf8Text());
    if (!yields_.withoutInput())
        return false;
    if (!highlightByteRanges(examined, unmatched.ranges, yields_.withoutInput) ||
        !yields_.withoutInput())
        return false;
    result.setUtf8Text(unmatched.listing);
    return yields_.withoutInput();
}
