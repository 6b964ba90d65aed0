#pragma once

#include "compare/ComparisonResult.h"

#include <QStringView>

class WordLine;

// One pass of the word comparison: every line of examined (cut at CR LF) is compared with its
// paired line of other, the line with the same index or, past the end of other, other's last
// line (an empty line after a final CR LF does not count). An empty other text counts as one
// empty line, so that every word of examined is marked. Each unmatched word gets a range (the
// word's characters, possibly none) and is listed preceded by CR LF.
ComparisonResult compareWords(QStringView examined, QStringView other);

// Marks the unmatched words of line, which starts at index lineStart of the examined text,
// against otherLine. The look-ahead window is computed from the word count of line.
void MarkUnmatchedWords(QStringView line, qsizetype lineStart, WordLine &otherLine,
                        ComparisonResult &result);
