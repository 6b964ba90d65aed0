#pragma once

#include "compare/TextRange.h"

#include <QColor>
#include <QList>
#include <functional>

class TextPane;

inline const QColor red{255, 0, 0};
inline const QColor black{0, 0, 0};

// Selects the pane's whole text, then gives the selection the colour.
void colorWholeText(TextPane &pane, const QColor &colour);

// Ranges coloured between two yields, so that the window repaints between big batches.
inline constexpr qsizetype rangesPerSlice = 200000;

// Colours all ranges, given as byte positions into the pane's UTF-8 text, red in slices of
// sliceSize ranges and leaves the selection where colouring them one by one through the
// selection would have left it: on the last range, or unchanged when there is none. betweenSlices,
// when given, runs between two slices and must leave the text as it is; when it returns false the
// colouring stops there, and so does this function, with false.
bool highlightByteRanges(TextPane &pane, const QList<TextRange> &byteRanges,
                         const std::function<bool()> &betweenSlices = {},
                         qsizetype sliceSize = rangesPerSlice);
