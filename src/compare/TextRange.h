#pragma once

#include <QtGlobal>

// A run of characters of a text, as 0-based indexes into it: a range to colour red, found by a
// comparison.
struct TextRange
{
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const TextRange &, const TextRange &) = default;
};
