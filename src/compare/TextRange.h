#pragma once

#include <QtGlobal>

// A run of a text as 0-based indexes into it, counted in the text's code units (bytes for the
// UTF-8 texts that the comparisons examine): a range to colour red, found by a comparison.
struct TextRange
{
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const TextRange &, const TextRange &) = default;
};
