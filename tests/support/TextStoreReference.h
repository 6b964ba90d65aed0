#pragma once

#include "PaneTextReference.h"
#include "pane/MarkedRanges.h"
#include "pane/TextStore.h"

#include <QByteArray>
#include <algorithm>
#include <vector>

// Plain references for the text store and the red ranges, shared by their tests and fuzz
// targets: each check returns what differs first, or nothing.

// The store against the CR LF bytes it should hold: the bytes, both sizes, the lines (a line
// outside the text stands for the first or the last), and every index and byte position mapped
// as PaneTextReference maps them. bytes() moves the store's gap to the end, so it is read only
// when asked: otherwise the next edit finds the gap where the last one left it.
inline QByteArray textStoreMismatch(const TextStore &store, const QByteArray &model,
                                    bool readBytes = true)
{
    const auto at = [](const char *what, qsizetype where, qsizetype got,
                       qsizetype expected) -> QByteArray {
        return QByteArray(what) + '(' + QByteArray::number(where) + ") is " +
               QByteArray::number(got) + ", not " + QByteArray::number(expected);
    };
    if (store.size() != model.size())
        return at("size", 0, store.size(), model.size());
    if (store.slice(0, store.size()) != model)
        return "slice() of the whole text is " + store.slice(0, store.size()).toPercentEncoding();

    const PaneTextReference ref(QString::fromUtf8(model));
    if (store.utf16Size() != ref.text.size())
        return at("utf16Size", 0, store.utf16Size(), ref.text.size());
    for (qsizetype i = -1; i <= ref.text.size() + 1; ++i)
        if (store.positionOfIndex(i) != ref.byteOf(i))
            return at("positionOfIndex", i, store.positionOfIndex(i), ref.byteOf(i));
    QList<qsizetype> starts{0};
    for (qsizetype lf = model.indexOf("\r\n"); lf >= 0; lf = model.indexOf("\r\n", lf + 2))
        starts.append(lf + 2);
    // ref.indexOfByte() and the line resumed where the last byte position left them, as neither
    // falls when the byte position rises.
    qsizetype index = 0, lineOf = 0;
    for (qsizetype b = -1; b <= model.size() + 1; ++b) {
        while (index < ref.text.size() &&
               (ref.text[index].isLowSurrogate() || ref.bytes[index] < b))
            ++index;
        while (lineOf + 1 < starts.size() && starts[lineOf + 1] <= b)
            ++lineOf;
        if (store.indexOfPosition(b) != index)
            return at("indexOfPosition", b, store.indexOfPosition(b), index);
        if (store.lineOfPosition(b) != lineOf)
            return at("lineOfPosition", b, store.lineOfPosition(b), lineOf);
    }
    if (store.lineCount() != starts.size())
        return at("lineCount", 0, store.lineCount(), starts.size());
    for (qsizetype line = -1; line <= starts.size(); ++line) {
        const qsizetype in = std::clamp<qsizetype>(line, 0, starts.size() - 1);
        const qsizetype end = in + 1 < starts.size() ? starts[in + 1] - 2 : model.size();
        if (store.lineStart(line) != starts[in])
            return at("lineStart", line, store.lineStart(line), starts[in]);
        if (store.lineEnd(line) != end ||
            store.text(starts[in], end) !=
                QString::fromUtf8(model.sliced(starts[in], end - starts[in])))
            return at("lineEnd (or the text up to it)", line, store.lineEnd(line), end);
    }
    if (readBytes && store.bytes() != model)
        return "bytes() are " + store.bytes().toByteArray().toPercentEncoding();
    return {};
}

// The red bytes of a text one flag each, with the rules MarkedRanges keeps in ranges.
struct MarkedBytesReference
{
    std::vector<bool> red;

    void mark(qsizetype start, qsizetype end, bool marked = true)
    {
        for (qsizetype i = std::max<qsizetype>(start, 0); i < end && i < qsizetype(red.size()); ++i)
            red[size_t(i)] = marked;
    }
    // What was typed takes the colour of the byte before it, at the start of the text that of
    // the first byte replaced or after.
    void replaced(qsizetype start, qsizetype end, qsizetype insertedLength)
    {
        const bool marked = at(start > 0 ? start - 1 : start);
        red.erase(red.begin() + start, red.begin() + end);
        red.insert(red.begin() + start, size_t(insertedLength), marked);
    }
    bool at(qsizetype i) const { return i >= 0 && i < qsizetype(red.size()) && red[size_t(i)]; }
};

// The ranges against the flags: the same runs (joined where they touch), contains(), within()
// the whole text and a window clipped, and next() and previous() from every position.
inline QByteArray markedRangesMismatch(const MarkedRanges &ranges,
                                       const MarkedBytesReference &model)
{
    const auto size = qsizetype(model.red.size());
    QList<TextRange> runs;
    for (qsizetype i = 0; i < size; ++i) {
        if (model.at(i) && model.at(i - 1))
            ++runs.last().length;
        else if (model.at(i))
            runs.append({i, 1});
    }
    const auto show = [](const QList<TextRange> &list) {
        QByteArray shown;
        for (const TextRange &r : list)
            shown += '[' + QByteArray::number(r.start) + ',' +
                     QByteArray::number(r.start + r.length) + ')';
        return shown;
    };
    for (const auto &[start, end] :
         {std::pair{qsizetype(-1), size + 1}, std::pair{size / 3, size - size / 3}}) {
        QList<TextRange> clipped;
        for (const TextRange &r : runs) {
            const qsizetype from = std::max(r.start, start);
            const qsizetype to = std::min(r.start + r.length, end);
            if (from < to)
                clipped.append({from, to - from});
        }
        if (ranges.within(start, end) != clipped)
            return "within(" + QByteArray::number(start) + ", " + QByteArray::number(end) +
                   ") is " + show(ranges.within(start, end)) + ", not " + show(clipped);
    }
    if (ranges.count() != runs.size() || ranges.isEmpty() != runs.isEmpty())
        return "count() is " + QByteArray::number(ranges.count()) + " for " + show(runs);
    qsizetype run = 0; // the runs that start at or before p
    for (qsizetype p = -1; p <= size + 1; ++p) {
        while (run < runs.size() && runs[run].start <= p)
            ++run;
        const qsizetype before = run - (run > 0 && runs[run - 1].start == p ? 2 : 1);
        if (ranges.contains(p) != model.at(p))
            return "contains(" + QByteArray::number(p) + ')';
        if (ranges.next(p) != (run < runs.size() ? runs[run] : TextRange{}) ||
            ranges.previous(p) != (before >= 0 ? runs[before] : TextRange{}))
            return "next() or previous() from " + QByteArray::number(p) + " in " + show(runs);
    }
    return {};
}
