#pragma once

#include <QString>

// Two texts made for measuring: lineCount lines of about 60 characters built from a fixed
// vocabulary, CR LF breaks, and every line of the second text changed (one word replaced) with
// the given percentage. The same arguments always give the same texts.
struct GeneratedTexts
{
    QString text1;
    QString text2;

    // Size of both texts as files, which hold one byte per character.
    double bytes() const { return double(text1.size() + text2.size()); }
};

GeneratedTexts generateTexts(int lineCount = 100000, int changedPercent = 10);
