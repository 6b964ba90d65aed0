#include "app/commands/PaneComparison.h"

#include "app/WaitPointer.h"
#include "app/commands/PaneColouring.h"
#include "compare/LineComparison.h"
#include "compare/WordComparison.h"
#include "pane/TextPane.h"

namespace {
// The panes index their text in UTF-16 units, the comparisons give byte ranges into its UTF-8
// form: each range, in ascending order, is mapped by decoding the bytes before it and in it.
QList<TextRange> utf16Ranges(const QByteArray &utf8, const QList<TextRange> &ranges)
{
    QList<TextRange> mapped;
    qsizetype bytes = 0;
    qsizetype units = 0;
    for (const TextRange &range : ranges) {
        units += QString::fromUtf8(utf8.sliced(bytes, range.start - bytes)).size();
        const qsizetype length = QString::fromUtf8(utf8.sliced(range.start, range.length)).size();
        mapped.append({units, length});
        units += length;
        bytes = range.start + range.length;
    }
    return mapped;
}
} // namespace

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
    const QByteArray sourceText = source.text().toUtf8();
    const QByteArray otherText = other.text().toUtf8();
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
    QList<TextRange> ranges = utf16Ranges(sourceText, missing->ranges);
    if (yielded && !ranges.isEmpty()) {
        const QByteArray sourceNow = source.text().toUtf8();
        if (sourceNow != sourceText)
            ranges = utf16Ranges(sourceNow, rangesOfListedLines(sourceNow, missing->listing));
    }
    highlightRanges(source, ranges);
    result.setText(QString::fromUtf8(missing->listing));
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
    const QByteArray text1 = pane1.text().toUtf8();
    const QByteArray text2 = pane2.text().toUtf8();
    panes_.result1.setText(QString());
    panes_.result2.setText(QString());

    const ComparisonResult pass1 = ::compareWords(text1, text2);
    highlightRanges(pane1, utf16Ranges(text1, pass1.ranges));
    panes_.result1.setText(QString::fromUtf8(pass1.listing));
    const ComparisonResult pass2 = ::compareWords(text2, text1);
    highlightRanges(pane2, utf16Ranges(text2, pass2.ranges));
    panes_.result2.setText(QString::fromUtf8(pass2.listing));
}
