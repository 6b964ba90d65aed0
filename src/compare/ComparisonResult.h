#pragma once

#include "compare/TextRange.h"

#include <QByteArray>
#include <QList>

// What one direction of a comparison produces: the byte ranges of the examined text to colour
// red and the text of that side's result pane, in UTF-8 like the texts compared.
struct ComparisonResult
{
    QList<TextRange> ranges;
    QByteArray listing;
};
