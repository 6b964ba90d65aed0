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

// Walks the lines of a UTF-8 text: it is cut at every CR, and an LF that follows a CR belongs to
// that line break rather than to the next line. Neither byte occurs inside a multi-byte
// character, so the lines are those of the decoded text. An empty text has no lines; otherwise
// what follows the last CR is a line too, an empty one when the text ends in a line break, so
// that a text ending in a line break and the same text without it differ by that empty line.
class LineReader
{
public:
    explicit LineReader(QByteArrayView text) : text_(text), position_(text.isEmpty() ? 1 : 0) {}

    bool next(TextLine &line)
    {
        const qsizetype size = text_.size();
        // Tested apart from the lines before it, so that finding the next CR needs no test of
        // its own for the text's end.
        if (position_ >= size) {
            if (position_ > size)
                return false;
            line = {size, 0, 0};
            position_ = size + 1;
            return true;
        }
        const qsizetype cr = indexOfByte(text_, '\r', position_);
        if (cr < 0) {
            line = {position_, size - position_, 0};
            position_ = size + 1;
            return true;
        }
        const qsizetype breakLength = (cr + 1 < size && text_[cr + 1] == '\n') ? 2 : 1;
        line = {position_, cr - position_, breakLength};
        position_ = cr + breakLength;
        return true;
    }

private:
    QByteArrayView text_;
    // Where the next line starts; past the text's end once the last line has been read.
    qsizetype position_;
};
