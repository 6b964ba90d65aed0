#pragma once

#include "compare/ComparisonResult.h"

#include <QByteArrayView>

// One pass of the word comparison, on UTF-8 texts: every line of examined (cut at CR LF) is
// compared with its paired line of other, the line with the same index or, past the end of other,
// other's last line (an empty line after a final CR LF does not count). An empty other text counts
// as one empty line, so that every word of examined is marked. Each unmatched word gets a byte
// range (the word's bytes, possibly none) and is listed preceded by CR LF.
ComparisonResult compareWords(QByteArrayView examined, QByteArrayView other);
