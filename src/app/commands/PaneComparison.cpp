#include "app/commands/PaneComparison.h"

#include "app/WaitPointer.h"
#include "app/commands/PaneColouring.h"
#include "compare/LineComparison.h"
#include "compare/WordComparison.h"
#include "pane/TextPane.h"

PaneComparison::PaneComparison(const ComparisonPanes &panes, WindowPointer &pointer,
                               YieldTicker::Callback yield, std::chrono::milliseconds interval)
    : panes_(panes), pointer_(pointer), yield_(std::move(yield)), interval_(interval)
{}

void PaneComparison::compareLines()
{
    if (!yield_())
        return;
    WaitPointer wait(pointer_);
    if (!listMissingLines(panes_.source1, panes_.source2, panes_.result1))
        return;
    listMissingLines(panes_.source2, panes_.source1, panes_.result2);
}

// One direction of the line comparison. False when the window was closed during a yield.
bool PaneComparison::listMissingLines(TextPane &source, TextPane &other, TextPane &result)
{
    const QString sourceText = source.text();
    const QString otherText = other.text();
    result.setText(QString());

    bool yielded = false;
    YieldTicker ticker(
        [this, &yielded] {
            yielded = true;
            return yield_();
        },
        interval_);
    const std::optional<ComparisonResult> missing = findMissingLines(sourceText, otherText, ticker);
    if (!missing)
        return false;

    // The user may have edited or reloaded the source pane during a yield. The listed lines are
    // those of the text as it was read, but they are coloured where they stand now.
    QList<TextRange> ranges = missing->ranges;
    if (yielded && !ranges.isEmpty()) {
        const QString sourceNow = source.text();
        if (sourceNow != sourceText)
            ranges = rangesOfListedLines(sourceNow, missing->listing);
    }
    highlightRanges(source, ranges);
    result.setText(missing->listing);
    return true;
}

void PaneComparison::compareWords()
{
    if (!yield_())
        return;
    WaitPointer wait(pointer_);
    TextPane &pane1 = panes_.source1;
    TextPane &pane2 = panes_.source2;
    colorRange(pane1, 0, pane1.textLength(), black);
    colorRange(pane2, 0, pane2.textLength(), black);
    const QString text1 = pane1.text();
    const QString text2 = pane2.text();
    panes_.result1.setText(QString());
    panes_.result2.setText(QString());

    const ComparisonResult pass1 = ::compareWords(text1, text2);
    highlightRanges(pane1, pass1.ranges);
    panes_.result1.setText(pass1.listing);
    const ComparisonResult pass2 = ::compareWords(text2, text1);
    highlightRanges(pane2, pass2.ranges);
    panes_.result2.setText(pass2.listing);
}
