#include "compare/PaneColouring.h"

#include "pane/RichTextPane.h"

void ColorRange(RichTextPane &pane, qsizetype start, qsizetype length, const QColor &colour)
{
    pane.setSelStart(start);
    pane.setSelLength(length);
    pane.setSelColor(colour);
}

void highlightRanges(RichTextPane &pane, const QList<TextRange> &ranges)
{
    if (ranges.isEmpty())
        return;
    pane.colorRanges(ranges, red);
    pane.setSelStart(ranges.back().start);
    pane.setSelLength(ranges.back().length);
}
