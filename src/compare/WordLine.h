#pragma once

#include <QStringView>
#include <vector>

// The words of the line that examined lines are compared with: the line cut at every single
// space, so that two spaces in a row, a leading or a trailing space give empty words. An empty
// line has no words.
class WordLine
{
public:
    void assign(QStringView line);

    // The index of the first word equal to word among the window words from index from on, or -1.
    qsizetype find(QStringView word, qsizetype from, qsizetype window);

private:
    void buildIndex();

    std::vector<QStringView> words_;
    // Word indexes sorted by word and, for equal words, by index. Built only when a line is
    // long enough for a scan through the window to cost more than a lookup.
    std::vector<qsizetype> byWord_;
};
