#pragma once

#include <QString>

// The two source panes as the word method sees them: their texts, and the save-buttons' writer
// that puts a pane's text into a file.
class SourcePanes
{
public:
    virtual ~SourcePanes() = default;

    // Text of the source pane of side 1 or 2, every line break as CR LF.
    virtual QString text(int side) const = 0;
    // Writes the source pane of the side to the file in the save buttons' format. False when the
    // file could not be written; the user has then been told why.
    virtual bool save(int side, const QString &path) = 0;
};
