#pragma once

#include "compare/ComparisonResult.h"

#include <QRandomGenerator>
#include <QStringList>
#include <QTest>

// Ranges written "start+length", space-separated, so that tables stay readable.
inline QString rangeText(const QList<TextRange> &ranges)
{
    QStringList parts;
    for (const TextRange &range : ranges)
        parts.append(QStringLiteral("%1+%2").arg(range.start).arg(range.length));
    return parts.join(u' ');
}

// A text with its line breaks made visible, for failure messages.
inline QByteArray visibleText(QString text)
{
    return '"' +
           text.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n")).toUtf8() +
           '"';
}

// The columns of a comparison table: the two texts, then for each direction the result pane's
// text and the ranges coloured red in the examined text.
inline void addComparisonColumns()
{
    for (const char *column : {"text1", "text2", "listing1", "ranges1", "listing2", "ranges2"})
        QTest::addColumn<QString>(column);
}

// Runs a row of that table in both directions.
template <typename Compare> void checkBothDirections(Compare compare)
{
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    const ComparisonResult one = compare(text1, text2);
    const ComparisonResult two = compare(text2, text1);
    QTEST(one.listing, "listing1");
    QTEST(rangeText(one.ranges), "ranges1");
    QTEST(two.listing, "listing2");
    QTEST(rangeText(two.ranges), "ranges2");
}

// Lines of up to maxWords words. Short lines take their words from a tiny vocabulary, where the
// empty word gives leading, trailing and double spaces; long lines take numbered words, so that
// the word comparison's wide look-ahead windows find their matches near and far.
inline QStringList randomLines(QRandomGenerator &random, int count, int maxWords)
{
    QStringList lines;
    while (lines.size() < count) {
        QStringList words;
        for (int n = random.bounded(maxWords + 1); n > 0; --n)
            words.append(maxWords > 5 ? QString::number(random.bounded(maxWords))
                                      : QStringList{"", "a", "b", "ab", "a\nb"}[random.bounded(5)]);
        lines.append(words.join(u' '));
    }
    return lines;
}

// A text of lines drawn from pool, so that two texts drawn from one pool share many lines. Lines
// end in CR LF, a lone CR or, merging two lines into one, nothing.
inline QString randomText(QRandomGenerator &random, const QStringList &pool)
{
    QString text;
    for (int n = random.bounded(8); n > 0; --n)
        text += pool[random.bounded(int(pool.size()))] +
                QStringList{"\r\n", "\r\n", "\r\n", "\r", ""}[random.bounded(5)];
    return text;
}
