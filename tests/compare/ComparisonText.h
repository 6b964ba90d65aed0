#pragma once

#include "pane/TextRange.h"

#include <QList>
#include <QString>
#include <QStringList>

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
