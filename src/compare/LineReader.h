#pragma once

#include "compare/Bytes.h"

// One line of a text, as byte indexes into it. breakLength is 2 for CR LF, 1 for a lone CR and 0
// for a last line that has no line break.
struct TextLine
{
    qsizetype start;
    qsizetype length;
    qsizetype breakLength;
};

// Walks the lines of a UTF-8 text cut at CR LF or at a lone CR. Neither byte occurs inside a
// multi-byte character, so the lines are those of the decoded text. An empty text has no lines,
// and a line break at the very end ends the last line rather than starting an empty one.
class LineReader
{
public:
    explicit LineReader(QByteArrayView text) : text_(text) {}

    bool next(TextLine &line)
    {
        const qsizetype size = text_.size();
        if (position_ >= size)
            return false;
        const qsizetype cr = indexOfByte(text_, '\r', position_);
        if (cr < 0) {
            line = {position_, size - position_, 0};
            position_ = size;
            return true;
        }
        const qsizetype breakLength = (cr + 1 < size && text_[cr + 1] == '\n') ? 2 : 1;
        line = {position_, cr - position_, breakLength};
        position_ = cr + breakLength;
        return true;
    }

private:
    QByteArrayView text_;
    qsizetype position_ = 0;
};
