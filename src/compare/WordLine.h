#pragma once

#include <QByteArrayView>
#include <vector>

// The words of the line that examined lines are compared with: the line cut at every single
// space, so that two spaces in a row, a leading or a trailing space give empty words. An empty
// line has no words.
class WordLine
{
public:
    void assign(QByteArrayView line);

    // The index of the first word equal to word among the window words from index from on, or -1.
    qsizetype find(QByteArrayView word, qsizetype from, qsizetype window);

private:
    void buildIndex();

    std::vector<QByteArrayView> words_;
    // Word indexes sorted by word (byte-wise) and, for equal words, by index. Built only when a
    // line is long enough for a scan through the window to cost more than a lookup.
    std::vector<qsizetype> byWord_;
};
