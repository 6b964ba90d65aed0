#pragma once

#include "pane/Side.h"

#include <QString>

// The two source texts as the word-processor method sees them: their texts, and the writer
// that puts a side's text into a file as the save buttons do.
class SourceTexts
{
public:
    virtual ~SourceTexts() = default;

    // Text of the side's source pane, every line break as CR LF.
    virtual QString text(Side side) const = 0;
    // Writes the side's source text to the file in the save buttons' format. False when the
    // file could not be written; the user has then been told why.
    virtual bool save(Side side, const QString &path) = 0;
};
