#pragma once

#include "compare/TextRange.h"

#include <QList>
#include <QString>

// What one direction of a comparison produces: the ranges of the examined text to colour red
// and the text of that side's result pane.
struct ComparisonResult
{
    QList<TextRange> ranges;
    QString listing;
};
