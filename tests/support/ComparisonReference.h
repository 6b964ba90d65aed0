#pragma once

#include "compare/ComparisonResult.h"

#include <QString>
#include <QStringDecoder>
#include <QStringList>

#include <cmath>
#include <utility>

// The line and word comparisons written straight from their rules on the decoded text, caring
// for nothing but being plainly right, and the engines' byte results decoded to compare with
// them. Shared by the reference test, the soak and the fuzz harnesses.
//
// A raw text is bytes that need not be valid UTF-8, seen one character per byte, so that the
// references see the very bytes that the engines see.

// A result as the references give it, on the decoded text: ranges in UTF-16 units, the listing
// as a string.
struct Decoded
{
    QList<TextRange> ranges;
    QString listing;

    friend bool operator==(const Decoded &, const Decoded &) = default;
};

// Byte ranges of bytes as UTF-16 ranges: a range starts at the units of the bytes before it. A
// UTF-8 character cut short counts as -1, so that a range that cuts one never maps to the place
// where it should start or end.
inline QList<TextRange> decodedRanges(const QList<TextRange> &ranges, const QByteArray &bytes,
                                      bool raw)
{
    const auto units = [raw](QByteArrayView part) {
        QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
        const qsizetype size = QString(decoder(part)).size();
        return raw ? part.size() : decoder.hasError() ? -1 : size;
    };
    QList<TextRange> decoded;
    for (const TextRange &range : ranges)
        decoded.append(
            {units(bytes.first(range.start)), units(bytes.sliced(range.start, range.length))});
    return decoded;
}

inline QString decodedListing(const QByteArray &listing, bool raw)
{
    return raw ? QString::fromLatin1(listing) : QString::fromUtf8(listing);
}

inline Decoded decodedResult(const ComparisonResult &result, const QByteArray &bytes, bool raw)
{
    return {decodedRanges(result.ranges, bytes, raw), decodedListing(result.listing, raw)};
}

// A line is its text and its range: the line's characters and its line break.
using ReferenceLine = std::pair<QString, TextRange>;

// The text cut at every CR, what follows the last CR included even when empty; an LF at the start
// of a piece after a CR is that line break's and is dropped. A line's range runs to the start of
// the next line, or to the text's end.
inline QList<ReferenceLine> referenceLines(const QString &text)
{
    QList<ReferenceLine> lines;
    if (text.isEmpty())
        return lines;
    qsizetype pieceStart = 0;
    for (const QString &piece : text.split(u'\r')) {
        const bool mended = pieceStart > 0 && piece.startsWith(u'\n');
        const qsizetype start = pieceStart + (mended ? 1 : 0);
        if (!lines.isEmpty())
            lines.last().second.length = start - lines.last().second.start;
        lines.append({piece.mid(mended ? 1 : 0), {start, text.size() - start}});
        pieceStart += piece.size() + 1;
    }
    return lines;
}

// The lines of text that do (present) or do not occur among otherLines: listed, each followed by
// CR LF, and their ranges, where they have any.
inline Decoded referenceLinesAmong(const QString &text, const QStringList &otherLines, bool present)
{
    Decoded result;
    for (const ReferenceLine &line : referenceLines(text)) {
        if (otherLines.contains(line.first) != present)
            continue;
        result.listing += line.first + QStringLiteral("\r\n");
        if (line.second.length > 0)
            result.ranges.append(line.second);
    }
    return result;
}

inline QStringList referenceLineTexts(const QString &text)
{
    QStringList texts;
    for (const ReferenceLine &line : referenceLines(text))
        texts.append(line.first);
    return texts;
}

// The lines of text that do (present) or do not occur among the lines of other.
inline Decoded referenceLinesOf(const QString &text, const QString &other, bool present)
{
    return referenceLinesAmong(text, referenceLineTexts(other), present);
}

// The ranges of the lines of text that a listing lists. Each listed line ends in CR LF, so the
// empty line after the last one was not listed.
inline QList<TextRange> referenceListedRanges(const QString &text, const QString &listing)
{
    QStringList listed = referenceLineTexts(listing);
    if (!listed.isEmpty())
        listed.removeLast();
    return referenceLinesAmong(text, listed, true).ranges;
}

// One pass of the word comparison step by step, the window rounded in floating point.
inline Decoded referencePass(const QString &text, const QString &other)
{
    // An empty text is no line to the examined side, but one empty line to the other.
    const auto split = [](const QString &piece, const QString &separator) {
        return piece.isEmpty() ? QStringList() : piece.split(separator);
    };
    const QStringList otherLines = other.split(QStringLiteral("\r\n"));
    Decoded result;
    qsizetype lineStart = 0;
    qsizetype otherLineStart = 0;
    qsizetype k = 0; // the paired line of other
    for (const QString &line : split(text, QStringLiteral("\r\n"))) {
        const QStringList words = split(line, QStringLiteral(" "));
        const QStringList otherWords = split(otherLines[k], QStringLiteral(" "));
        const auto window = qsizetype(std::nearbyint((words.size() - 1) / 2.0 + 1));
        qsizetype next = 0;
        qsizetype wordStart = lineStart;
        for (const QString &word : words) {
            const qsizetype match = otherWords.indexOf(word, next);
            if (match >= 0 && match < next + window) {
                next = match + 1;
            } else {
                result.listing += QStringLiteral("\r\n") + word;
                result.ranges.append({wordStart, word.size()});
            }
            wordStart += word.size() + 1;
        }
        lineStart += line.size() + 2;
        if (otherLineStart + otherLines[k].size() + 2 < other.size()) {
            otherLineStart += otherLines[k].size() + 2;
            ++k;
        }
    }
    return result;
}
