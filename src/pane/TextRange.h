#pragma once

#include <QtGlobal>

// A run of characters in a pane's text, as 0-based indexes into the CR LF form of that text.
struct TextRange
{
    qsizetype start = 0;
    qsizetype length = 0;

    friend bool operator==(const TextRange &, const TextRange &) = default;
};
