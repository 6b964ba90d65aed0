#include "compare/PaneComparison.h"

#include "app/Form1.h"
#include "app/WaitPointer.h"
#include "compare/LineComparison.h"
#include "compare/PaneColouring.h"
#include "compare/WordComparison.h"
#include "pane/RichTextPane.h"

PaneComparison::PaneComparison(Form1 &form)
    : PaneComparison(
          form, [&form] { return form.yieldToEventLoop(); }, YieldTicker::defaultInterval)
{}

PaneComparison::PaneComparison(Form1 &form, YieldTicker::Callback yield,
                               std::chrono::milliseconds interval)
    : form_(form), yield_(std::move(yield)), interval_(interval)
{}

void PaneComparison::runLineComparison()
{
    if (!yield_())
        return;
    WaitPointer wait(form_);
    if (!ListMissingLines(*form_.RichTextBox1, *form_.RichTextBox2, *form_.RichTextBox3))
        return;
    ListMissingLines(*form_.RichTextBox2, *form_.RichTextBox1, *form_.RichTextBox4);
}

// One direction of the line comparison. False when the window was closed during a yield.
bool PaneComparison::ListMissingLines(RichTextPane &source, RichTextPane &other,
                                      RichTextPane &result)
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

void PaneComparison::runWordComparison()
{
    if (!yield_())
        return;
    WaitPointer wait(form_);
    RichTextPane &pane1 = *form_.RichTextBox1;
    RichTextPane &pane2 = *form_.RichTextBox2;
    ColorRange(pane1, 0, pane1.textLength(), black);
    ColorRange(pane2, 0, pane2.textLength(), black);
    const QString text1 = pane1.text();
    const QString text2 = pane2.text();
    form_.RichTextBox3->setText(QString());
    form_.RichTextBox4->setText(QString());

    const ComparisonResult pass1 = compareWords(text1, text2);
    highlightRanges(pane1, pass1.ranges);
    form_.RichTextBox3->setText(pass1.listing);
    const ComparisonResult pass2 = compareWords(text2, text1);
    highlightRanges(pane2, pass2.ranges);
    form_.RichTextBox4->setText(pass2.listing);
}
