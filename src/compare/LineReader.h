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
    explicit LineReader(QStringView text) : m_text(text) {}

    bool next(TextLine &line)
    {
        const qsizetype size = m_text.size();
        if (m_position >= size)
            return false;
        const qsizetype cr = m_text.indexOf(u'\r', m_position);
        if (cr < 0) {
            line = {m_position, size - m_position, 0};
            m_position = size;
            return true;
        }
        const qsizetype breakLength = (cr + 1 < size && m_text[cr + 1] == u'\n') ? 2 : 1;
        line = {m_position, cr - m_position, breakLength};
        m_position = cr + breakLength;
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_position = 0;
};
