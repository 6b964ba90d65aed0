#pragma once

#include <QStringView>

// One line of a text, as indexes into it. breakLength is 2 for CR LF, 1 for a lone CR and 0 for
// a last line that has no line break.
struct TextLine
{
    qsizetype start;
    qsizetype length;
    qsizetype breakLength;
};

// Walks the lines of a text cut at CR LF or at a lone CR. An empty text has no lines, and a line
// break at the very end ends the last line rather than starting an empty one.
class LineReader
{
public:
    explicit LineReader(QStringView text) : text_(text) {}

    bool next(TextLine &line)
    {
        const qsizetype size = text_.size();
        if (position_ >= size)
            return false;
        const qsizetype cr = text_.indexOf(u'\r', position_);
        if (cr < 0) {
            line = {position_, size - position_, 0};
            position_ = size;
            return true;
        }
        const qsizetype breakLength = (cr + 1 < size && text_[cr + 1] == u'\n') ? 2 : 1;
        line = {position_, cr - position_, breakLength};
        position_ = cr + breakLength;
        return true;
    }

private:
    QStringView text_;
    qsizetype position_ = 0;
};
