#include "app/commands/PaneColouring.h"

#include "pane/TextPane.h"

#include <algorithm>

void colorWholeText(TextPane &pane, const QColor &colour)
{
    pane.selectBytes(0, pane.utf8Text().size());
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
    pane.selectBytes(last.start, last.start + last.length);
    return true;
}
