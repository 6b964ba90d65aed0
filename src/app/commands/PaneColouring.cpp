#include "app/commands/PaneColouring.h"

#include "pane/TextPane.h"

#include <algorithm>

void colorRange(TextPane &pane, qsizetype start, qsizetype length, const QColor &colour)
{
    pane.setSelStart(start);
    pane.setSelLength(length);
    pane.setSelColor(colour);
}

bool highlightByteRanges(TextPane &pane, const QList<TextRange> &byteRanges,
                         const std::function<bool()> &betweenSlices, qsizetype sliceSize)
{
    if (byteRanges.isEmpty())
        return true;
    for (qsizetype done = 0; done < byteRanges.size(); done += sliceSize) {
        if (done > 0 && betweenSlices && !betweenSlices())
            return false;
        const TextRange *slice = byteRanges.constData() + done;
        pane.colorByteRanges(slice, slice + std::min(sliceSize, byteRanges.size() - done), red);
    }
    const TextRange &last = byteRanges.back();
    const qsizetype start = pane.indexOfBytePosition(last.start);
    pane.setSelStart(start);
    pane.setSelLength(pane.indexOfBytePosition(last.start + last.length) - start);
    return true;
}
