#pragma once

#include "compare/ComparisonResult.h"
#include "compare/YieldTicker.h"

#include <QByteArrayView>
#include <optional>

// One direction of the line comparison, on UTF-8 texts. Both texts are cut into lines as
// LineReader cuts them, so a text that ends in a line break ends in an empty line.
// A line of source is missing when no exactly equal line occurs anywhere in other. Every missing
// line is listed, once per occurrence and in source order, each followed by CR LF; every
// occurrence gets a byte range that covers the line and its line break (none for the empty line
// at the end, which has neither). Returns nothing when the
// ticker's callback asks to stop.
std::optional<ComparisonResult> findMissingLines(QByteArrayView source, QByteArrayView other,
                                                 YieldTicker &ticker);

// The ranges of every whole line of text that equals one of the lines of listing (a listing as
// findMissingLines produces it). Used to colour a text that has changed since it was compared.
QList<TextRange> rangesOfListedLines(QByteArrayView text, QByteArrayView listing);
