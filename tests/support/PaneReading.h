#pragma once

#include "pane/TextPane.h"

#include <QColor>
#include <QStringList>

// The red characters of the pane, read back from what it shows and written "start+length",
// space-separated.
inline QString redRanges(const TextPane &pane)
{
    const QColor red(255, 0, 0);
    QStringList ranges;
    for (qsizetype i = 0; i < pane.textLength(); ++i) {
        if (pane.colorAt(i) != red)
            continue;
        const qsizetype start = i;
        while (i + 1 < pane.textLength() && pane.colorAt(i + 1) == red)
            ++i;
        ranges.append(QStringLiteral("%1+%2").arg(start).arg(i + 1 - start));
    }
    return ranges.join(u' ');
}
