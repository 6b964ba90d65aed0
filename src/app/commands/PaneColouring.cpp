#include "app/commands/PaneColouring.h"

#include "pane/TextPane.h"

void colorRange(TextPane &pane, qsizetype start, qsizetype length, const QColor &colour)
{
    pane.setSelStart(start);
    pane.setSelLength(length);
    pane.setSelColor(colour);
}

void highlightRanges(TextPane &pane, const QList<TextRange> &ranges)
{
    if (ranges.isEmpty())
        return;
    pane.colorRanges(ranges, red);
    pane.setSelStart(ranges.back().start);
    pane.setSelLength(ranges.back().length);
}
