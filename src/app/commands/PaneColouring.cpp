#include "app/commands/PaneColouring.h"

#include "pane/TextPane.h"

void colorRange(TextPane &pane, qsizetype start, qsizetype length, const QColor &colour)
{
    pane.setSelStart(start);
    pane.setSelLength(length);
    pane.setSelColor(colour);
}

void highlightByteRanges(TextPane &pane, const QList<TextRange> &byteRanges)
{
    if (byteRanges.isEmpty())
        return;
    pane.colorByteRanges(byteRanges, red);
    const TextRange &last = byteRanges.back();
    const qsizetype start = pane.indexOfBytePosition(last.start);
    pane.setSelStart(start);
    pane.setSelLength(pane.indexOfBytePosition(last.start + last.length) - start);
}
