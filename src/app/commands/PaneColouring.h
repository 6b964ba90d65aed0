#pragma once

#include "compare/TextRange.h"

#include <QColor>
#include <QList>

class TextPane;

inline const QColor red{255, 0, 0};
inline const QColor black{0, 0, 0};

// Sets the pane's selection start, then its length, then the selection's colour.
void colorRange(TextPane &pane, qsizetype start, qsizetype length, const QColor &colour);

// Colours all ranges, given as byte positions into the pane's UTF-8 text, red in one batch and
// leaves the selection where colouring them one by one with colorRange would have left it: on
// the last range, or unchanged when there is none.
void highlightByteRanges(TextPane &pane, const QList<TextRange> &byteRanges);
