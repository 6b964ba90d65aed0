#pragma once

#include "pane/TextRange.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTest>

// Helpers that make comparison results readable in tables and failure messages.

// Ranges written as "start+length" separated by spaces, so that tables stay readable and a
// failed comparison shows both sides.
inline QString rangeText(const QList<TextRange> &ranges)
{
    QStringList parts;
    for (const TextRange &range : ranges)
        parts.append(QStringLiteral("%1+%2").arg(range.start).arg(range.length));
    return parts.join(u' ');
}

// A text with its line breaks made visible, for failure messages.
inline QByteArray visibleText(const QString &text)
{
    QString shown = text;
    shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    return '"' + shown.toUtf8() + '"';
}

// The columns shared by the tables of both comparisons: the two texts, and for each direction
// the result pane's text and the ranges coloured red in the source.
inline void addComparisonColumns()
{
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("listing1");
    QTest::addColumn<QString>("ranges1");
    QTest::addColumn<QString>("listing2");
    QTest::addColumn<QString>("ranges2");
}

inline void addComparisonRow(const char *name, const QString &text1, const QString &text2,
                             const QString &listing1, const QString &ranges1,
                             const QString &listing2, const QString &ranges2)
{
    QTest::newRow(name) << text1 << text2 << listing1 << ranges1 << listing2 << ranges2;
}
