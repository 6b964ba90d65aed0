#pragma once

#include <QList>
#include <QString>

// A CR LF text with the UTF-8 offset of every UTF-16 index and the pane's rules for indexes
// inside a line break or a surrogate pair, written out the plain way.
struct PaneTextReference
{
    QString text;
    QList<qsizetype> bytes; // at every index (a low surrogate's is after its pair), and at the end

    explicit PaneTextReference(QString raw)
    {
        text = raw.replace(QLatin1String("\r\n"), QLatin1String("\n"))
                   .replace(u'\r', u'\n')
                   .replace(QLatin1String("\n"), QLatin1String("\r\n"));
        // UTF-8 lengths counted, not encoded: the fuzz targets come here for every character, and
        // so many tiny allocations would fill the address sanitizer's quarantine with gigabytes.
        qsizetype offset = 0;
        for (const QChar c : std::as_const(text)) {
            bytes.append(offset);
            offset += c.isLowSurrogate()    ? 0
                      : c.isHighSurrogate() ? 4
                      : c.unicode() < 0x80  ? 1
                      : c.unicode() < 0x800 ? 2
                                            : 3;
        }
        bytes.append(offset);
    }
    bool inside(qsizetype i) const
    {
        return i > 0 && i < text.size() &&
               (text[i].isLowSurrogate() || (text[i] == u'\n' && text[i - 1] == u'\r'));
    }
    qsizetype snap(qsizetype i) const
    {
        i = qBound<qsizetype>(0, i, text.size());
        return inside(i) ? i + 1 : i;
    }
    qsizetype byteOf(qsizetype i) const { return bytes[snap(i)]; }
    qsizetype indexOfByte(qsizetype b) const
    {
        qsizetype i = 0;
        while (i < text.size() && (text[i].isLowSurrogate() || bytes[i] < b))
            ++i;
        return i;
    }
};
