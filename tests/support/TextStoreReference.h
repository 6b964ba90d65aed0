#pragma once

#include "PaneTextReference.h"
#include "pane/MarkedRanges.h"
#include "pane/TextStore.h"

#include <QByteArray>
#include <cstdlib>
#include <vector>

// Plain references for the text store and the red ranges, shared by their tests and fuzz
// targets: each check returns what differs first, or nothing.

// The store against the CR LF bytes it should hold: the bytes, both sizes, the lines, and every
// index and byte position mapped as PaneTextReference maps them. bytes() moves the store's gap
// to the end, so it is read only when asked: otherwise the next edit finds the gap where the
// last one left it. Given a place near which the text was edited, a long text has its mappings
// checked there and at every 127th index and byte position only, as each mapping may count
// along one of the store's blocks.
inline QByteArray textStoreMismatch(const TextStore &store, const QByteArray &model,
                                    bool readBytes = true, qsizetype near = -1)
{
    const auto checked = [&](qsizetype at) {
        return near < 0 || model.size() <= 1024 || std::abs(at - near) <= 128 || at % 127 == 0;
    };
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
    for (qsizetype i = -1; i <= ref.text.size() + 1; ++i) {
        if (checked(i) && store.positionOfIndex(i) != ref.byteOf(i))
            return at("positionOfIndex", i, store.positionOfIndex(i), ref.byteOf(i));
    }
    // ref.indexOfByte() resumed where the last byte position left it: the same scan, as the
    // index it finds never falls when the byte position rises.
    qsizetype index = 0;
    for (qsizetype b = -1; b <= model.size() + 1; ++b) {
        while (index < ref.text.size() &&
               (ref.text[index].isLowSurrogate() || ref.bytes[index] < b))
            ++index;
        if (checked(b) && store.indexOfPosition(b) != index)
            return at("indexOfPosition", b, store.indexOfPosition(b), index);
    }

    QList<qsizetype> starts{0};
    for (qsizetype lf = model.indexOf("\r\n"); lf >= 0; lf = model.indexOf("\r\n", lf + 2))
        starts.append(lf + 2);
    if (store.lineCount() != starts.size())
        return at("lineCount", 0, store.lineCount(), starts.size());
    for (qsizetype line = 0; line < starts.size(); ++line) {
        const qsizetype end = line + 1 < starts.size() ? starts[line + 1] - 2 : model.size();
        if (store.lineStart(line) != starts[line])
            return at("lineStart", line, store.lineStart(line), starts[line]);
        if (store.lineEnd(line) != end)
            return at("lineEnd", line, store.lineEnd(line), end);
        if (store.text(starts[line], end) !=
            QString::fromUtf8(model.sliced(starts[line], end - starts[line])))
            return "text() of line " + QByteArray::number(line);
    }
    qsizetype line = 0;
    for (qsizetype b = -1; b <= model.size() + 1; ++b) {
        while (line + 1 < starts.size() && starts[line + 1] <= b)
            ++line;
        if (store.lineOfPosition(b) != line)
            return at("lineOfPosition", b, store.lineOfPosition(b), line);
    }

    if (!readBytes)
        return {};
    const QByteArrayView bytes = store.bytes();
    if (bytes != model)
        return "bytes() are " + bytes.toByteArray().toPercentEncoding();
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
        const qsizetype from = start > 0 ? start - 1 : start;
        const bool marked = from < qsizetype(red.size()) && red[size_t(from)];
        red.erase(red.begin() + start, red.begin() + end);
        red.insert(red.begin() + start, size_t(insertedLength), marked);
    }
    bool at(qsizetype i) const { return i >= 0 && i < qsizetype(red.size()) && red[size_t(i)]; }
};

// The ranges against the flags: the same runs (joined where they touch), contains(), within()
// a window, and next() and previous() from every position.
inline QByteArray markedRangesMismatch(const MarkedRanges &ranges,
                                       const MarkedBytesReference &model)
{
    const auto size = qsizetype(model.red.size());
    QList<TextRange> runs;
    for (qsizetype i = 0; i < size; ++i) {
        if (!model.at(i))
            continue;
        if (!runs.isEmpty() && runs.last().start + runs.last().length == i)
            ++runs.last().length;
        else
            runs.append({i, 1});
    }
    const auto show = [](const QList<TextRange> &list) {
        QByteArray shown;
        for (const TextRange &r : list)
            shown += '[' + QByteArray::number(r.start) + ',' +
                     QByteArray::number(r.start + r.length) + ')';
        return shown;
    };
    const QList<TextRange> all = ranges.within(-1, size + 1);
    if (all != runs || ranges.count() != runs.size() || ranges.isEmpty() != runs.isEmpty())
        return "the ranges are " + show(all) + ", not " + show(runs);
    for (qsizetype i = -1; i <= size + 1; ++i) {
        if (ranges.contains(i) != model.at(i))
            return "contains(" + QByteArray::number(i) + ')';
    }
    TextRange before;
    qsizetype run = 0;
    for (qsizetype p = -1; p <= size + 1; ++p) {
        while (run < runs.size() && runs[run].start <= p)
            before = runs[run++];
        const TextRange after = run < runs.size() ? runs[run] : TextRange{};
        const TextRange previous = before.length > 0 && before.start == p
                                       ? (run >= 2 ? runs[run - 2] : TextRange{})
                                       : before;
        if (ranges.next(p) != after)
            return "next(" + QByteArray::number(p) + ") in " + show(runs);
        if (ranges.previous(p) != previous)
            return "previous(" + QByteArray::number(p) + ") in " + show(runs);
    }
    // A window in the middle, clipped.
    const qsizetype start = size / 3;
    const qsizetype end = size - size / 3;
    QList<TextRange> clipped;
    for (const TextRange &r : runs) {
        const qsizetype from = std::max(r.start, start);
        const qsizetype to = std::min(r.start + r.length, end);
        if (from < to)
            clipped.append({from, to - from});
    }
    if (ranges.within(start, end) != clipped)
        return "within(" + QByteArray::number(start) + ", " + QByteArray::number(end) + ") is " +
               show(ranges.within(start, end));
    return {};
}
