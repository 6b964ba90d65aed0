#pragma once

#include <QByteArray>

// Two texts made for measuring, as the panes hold them (UTF-8, CR LF breaks): lineCount lines
// of about 60 characters built from a fixed vocabulary. With the given percentage a line of the
// second text is changed: either one of its words is replaced, or the whole line is replaced by
// another line, as when a user's list gains and loses entries. The same arguments always give
// the same texts.
struct GeneratedTexts
{
    enum class Change { OneWord, WholeLine };

    QByteArray text1;
    QByteArray text2;

    double bytes() const { return double(text1.size() + text2.size()); }
};

GeneratedTexts generateTexts(int lineCount = 100000, int changedPercent = 10,
                             GeneratedTexts::Change change = GeneratedTexts::Change::OneWord);
