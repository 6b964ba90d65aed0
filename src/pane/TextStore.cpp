#include "pane/TextStore.h"

#include "pane/StepList.h"
#include "pane/Utf8Text.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <variant>

namespace {

// The text is cut into blocks of about this many bytes, each with its first byte and its first
// UTF-16 index, so that a mapping searches the blocks and then counts along one of them. Small
// enough to count in a fraction of a microsecond, large enough that the index costs 0.4% of the
// text. An edit re-cuts a block that grows past twice the size. Fuzzing builds cut tiny blocks,
// so that short inputs split, join and cross many of them.
#ifdef PARVENEX_TINY_TEXT_BLOCKS
constexpr qsizetype blockBytes = 64;
#else
constexpr qsizetype blockBytes = 4096;
#endif
constexpr qsizetype largestBlock = 2 * blockBytes;

// Line starts take 32 bits while the text fits, half of what 64 bits cost on ten million lines.
constexpr qsizetype narrowLimit = std::numeric_limits<quint32>::max();

bool isContinuation(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xc0) == 0x80;
}

// Room made at the gap when it is full: a share of the text, so that the copies stay rare while
// typing or pasting, yet little memory when the text is large.
qsizetype spareBytes(qsizetype textSize)
{
    return std::clamp<qsizetype>(textSize / 64, 4096, 16 * 1024 * 1024);
}

template <typename Position> using LineStarts = StepList<Position>;

} // namespace

class TextStore::Private
{
public:
    // The text before the gap, the gap, and the text after it.
    QByteArray buffer;
    qsizetype gapStart = 0;
    qsizetype gapLength = 0;

    std::variant<LineStarts<quint32>, LineStarts<qint64>> lines;
    // The first byte and the first UTF-16 index of every block; never empty.
    StepList<qint64> blockStarts;
    StepList<qint64> blockIndexes;
    qsizetype units = 0;

    qsizetype size() const { return buffer.size() - gapLength; }

    char at(qsizetype position) const
    {
        return buffer.constData()[position < gapStart ? position : position + gapLength];
    }

    // Calls f on the bytes from start to end in at most two contiguous pieces.
    template <typename F> void forEachPiece(qsizetype start, qsizetype end, F f) const
    {
        const char *data = buffer.constData();
        if (start < gapStart)
            f(QByteArrayView(data + start, std::min(end, gapStart) - start));
        if (end > gapStart) {
            const qsizetype from = std::max(start, gapStart);
            f(QByteArrayView(data + from + gapLength, end - from));
        }
    }

    qsizetype unitsBetween(qsizetype start, qsizetype end) const
    {
        qsizetype sum = 0;
        forEachPiece(start, end, [&](QByteArrayView piece) { sum += Utf8Text::utf16Units(piece); });
        return sum;
    }

    // position, or the start of the next character when position falls inside one.
    qsizetype characterStart(qsizetype position) const
    {
        const qsizetype end = size();
        while (position < end && isContinuation(at(position)))
            ++position;
        return position;
    }

    template <typename F> auto withLines(F f) const
    {
        return std::visit([&](const auto &starts) { return f(starts); }, lines);
    }

    qsizetype lineCount() const
    {
        return withLines([](const auto &starts) { return starts.size(); });
    }

    qsizetype lineStart(qsizetype line) const
    {
        return withLines([&](const auto &starts) { return qsizetype(starts[line]); });
    }

    // The number of lines that start at or before position.
    qsizetype linesUpTo(qsizetype position) const
    {
        return withLines([&](const auto &starts) {
            return starts.countWhere([&](auto start) { return qsizetype(start) <= position; });
        });
    }

    qsizetype blockCount() const { return blockStarts.size(); }
    qsizetype blockEnd(qsizetype block) const
    {
        return block + 1 < blockCount() ? blockStarts[block + 1] : size();
    }
    qsizetype blockEndIndex(qsizetype block) const
    {
        return block + 1 < blockCount() ? blockIndexes[block + 1] : units;
    }
    // The block that holds a byte position, the last one for the end of the text.
    qsizetype blockOfPosition(qsizetype position) const
    {
        return blockStarts.countWhere([&](qint64 start) { return start <= position; }) - 1;
    }

    void setText(QByteArray text);
    void moveGap(qsizetype to);
    void makeRoom(qsizetype length);
    void replaceBytes(qsizetype start, qsizetype end, QByteArrayView text);
    void replaceLines(qsizetype start, qsizetype end, QByteArrayView text);
    void replaceBlocks(qsizetype start, qsizetype end, qsizetype insertedLength,
                       qsizetype unitDelta);
};

namespace {

// The next place to cut a block at or after the ideal one, on the start of a character.
qsizetype blockCut(QByteArrayView text, qsizetype from)
{
    qsizetype cut = std::min(from + blockBytes, text.size());
    for (int i = 0; i < 3 && cut < text.size() && isContinuation(text[cut]); ++i)
        ++cut;
    return cut;
}

// Lines and blocks of a whole text in one pass, a block at a time while it is in the cache.
template <typename Position>
void indexText(QByteArrayView text, std::vector<Position> &lineStarts,
               std::vector<qint64> &blockStarts, std::vector<qint64> &blockIndexes,
               qsizetype &units)
{
    const char *data = text.data();
    lineStarts.assign(1, 0);
    blockStarts.reserve(size_t(text.size() / blockBytes + 1));
    blockIndexes.reserve(blockStarts.capacity());
    units = 0;
    qsizetype start = 0;
    do {
        const qsizetype cut = blockCut(text, start);
        blockStarts.push_back(start);
        blockIndexes.push_back(units);
        units += Utf8Text::utf16Units(text.sliced(start, cut - start));
        for (const char *lf = data + start; lf < data + cut; ++lf) {
            lf = static_cast<const char *>(std::memchr(lf, '\n', size_t(data + cut - lf)));
            if (!lf)
                break;
            if (lf > data && lf[-1] == '\r') {
                if (lineStarts.size() == lineStarts.capacity()) {
                    // Grown to what the lines so far foretell for the whole text, not doubled:
                    // ten million line starts are 40 MB.
                    const auto foretold = qsizetype(double(lineStarts.size()) *
                                                    double(text.size()) / double(cut) * 1.02);
                    lineStarts.reserve(
                        size_t(std::max(foretold, qsizetype(lineStarts.size()) + 1024)));
                }
                lineStarts.push_back(Position(lf + 1 - data));
            }
        }
        start = cut;
    } while (start < text.size());
    if (lineStarts.capacity() - lineStarts.size() > lineStarts.size() / 16 + 1024)
        lineStarts.shrink_to_fit();
}

} // namespace

void TextStore::Private::setText(QByteArray text)
{
    buffer = std::move(text);
    gapStart = buffer.size();
    gapLength = 0;
    std::vector<qint64> starts;
    std::vector<qint64> indexes;
    if (buffer.size() <= narrowLimit) {
        std::vector<quint32> lineStarts;
        indexText(buffer, lineStarts, starts, indexes, units);
        LineStarts<quint32> narrow;
        narrow.assign(std::move(lineStarts));
        lines = std::move(narrow);
    } else {
        std::vector<qint64> lineStarts;
        indexText(buffer, lineStarts, starts, indexes, units);
        LineStarts<qint64> wide;
        wide.assign(std::move(lineStarts));
        lines = std::move(wide);
    }
    blockStarts.assign(std::move(starts));
    blockIndexes.assign(std::move(indexes));
}

void TextStore::Private::moveGap(qsizetype to)
{
    if (to == gapStart)
        return;
    if (gapLength > 0) {
        char *data = buffer.data();
        if (to < gapStart)
            std::memmove(data + to + gapLength, data + to, size_t(gapStart - to));
        else
            std::memmove(data + gapStart, data + gapStart + gapLength, size_t(to - gapStart));
    }
    gapStart = to;
}

// Makes the gap hold at least length bytes.
void TextStore::Private::makeRoom(qsizetype length)
{
    if (gapLength >= length)
        return;
    const qsizetype grown = length + spareBytes(size() + length);
    const qsizetype tail = buffer.size() - gapStart - gapLength;
    if (buffer.isDetached()) {
        // Grown in place where the allocator can (a large block is remapped, not copied); only
        // the text after the gap moves.
        const qsizetype oldSize = buffer.size();
        buffer.resize(oldSize + grown - gapLength);
        char *data = buffer.data();
        std::memmove(data + buffer.size() - tail, data + oldSize - tail, size_t(tail));
    } else {
        // Still shared with the text that was set: copied once, around the new gap.
        QByteArray copy(buffer.size() + grown - gapLength, Qt::Uninitialized);
        const char *from = buffer.constData();
        std::memcpy(copy.data(), from, size_t(gapStart));
        std::memcpy(copy.data() + copy.size() - tail, from + buffer.size() - tail, size_t(tail));
        buffer = std::move(copy);
    }
    gapLength = grown;
}

void TextStore::Private::replaceBytes(qsizetype start, qsizetype end, QByteArrayView text)
{
    moveGap(start);
    gapLength += end - start;
    if (text.isEmpty())
        return;
    makeRoom(text.size());
    std::memcpy(buffer.data() + gapStart, text.data(), size_t(text.size()));
    gapStart += text.size();
    gapLength -= text.size();
}

// Called with the new bytes in place. A line starts after every LF that follows a CR: the
// starts that the old bytes from start to end decided go, and those that the new ones decide
// (one byte either side included) come in.
void TextStore::Private::replaceLines(qsizetype start, qsizetype end, QByteArrayView text)
{
    const qsizetype delta = text.size() - (end - start);
    const qsizetype first = linesUpTo(start);
    const qsizetype last = linesUpTo(end + 1);

    std::vector<qint64> added;
    const qsizetype newEnd = start + text.size();
    const auto addBreakAt = [&](qsizetype lf) {
        if (lf > 0 && at(lf - 1) == '\r')
            added.push_back(lf + 1);
    };
    for (qsizetype from = 0;; ++from) {
        from = text.indexOf('\n', from);
        if (from < 0)
            break;
        addBreakAt(start + from);
    }
    if (newEnd < size() && at(newEnd) == '\n')
        addBreakAt(newEnd);

    if (std::holds_alternative<LineStarts<quint32>>(lines) && size() > narrowLimit) {
        // The text outgrew 32-bit positions (with the old ones still in place).
        LineStarts<qint64> wide;
        auto narrow = std::get<LineStarts<quint32>>(lines).take();
        wide.assign(std::vector<qint64>(narrow.begin(), narrow.end()));
        lines = std::move(wide);
    }
    std::visit(
        [&](auto &starts) {
            using Position = std::decay_t<decltype(starts[0])>;
            const std::vector<Position> positions(added.begin(), added.end());
            starts.replace(first, last, positions);
            starts.shift(first + qsizetype(positions.size()), delta);
        },
        lines);
}

// Called with the new bytes in place. The blocks that the edit touches become one block, or,
// when that would be too long, are cut afresh; the later ones move.
void TextStore::Private::replaceBlocks(qsizetype start, qsizetype end, qsizetype insertedLength,
                                       qsizetype unitDelta)
{
    const qsizetype delta = insertedLength - (end - start);
    const qsizetype first = blockStarts.countWhere([&](qint64 s) { return s <= start; }) - 1;
    const qsizetype last =
        end > start ? blockStarts.countWhere([&](qint64 s) { return s < end; }) : first + 1;
    const qsizetype regionStart = blockStarts[first];
    const qsizetype regionEnd = (last < blockCount() ? blockStarts[last] : size() - delta) + delta;
    const qsizetype regionIndex = blockIndexes[first];

    std::vector<qint64> starts;
    std::vector<qint64> indexes;
    if (regionEnd - regionStart <= largestBlock) {
        if (regionEnd > regionStart || last - first == blockCount()) {
            starts.push_back(regionStart);
            indexes.push_back(regionIndex);
        }
    } else {
        qsizetype index = regionIndex;
        for (qsizetype from = regionStart; from < regionEnd;) {
            qsizetype cut = std::min(from + blockBytes, regionEnd);
            for (int i = 0; i < 3 && cut < regionEnd && isContinuation(at(cut)); ++i)
                ++cut;
            starts.push_back(from);
            indexes.push_back(index);
            index += unitsBetween(from, cut);
            from = cut;
        }
    }
    blockStarts.replace(first, last, starts);
    blockIndexes.replace(first, last, indexes);
    const qsizetype next = first + qsizetype(starts.size());
    blockStarts.shift(next, delta);
    blockIndexes.shift(next, unitDelta);
}

TextStore::TextStore() : d(new Private)
{
    d->setText({});
}

TextStore::~TextStore()
{
    delete d;
}

void TextStore::setText(QByteArray crlfUtf8)
{
    d->setText(std::move(crlfUtf8));
}

QByteArrayView TextStore::bytes() const
{
    d->moveGap(d->size());
    return QByteArrayView(d->buffer.constData(), d->size());
}

QByteArray TextStore::sharedBytes() const
{
    // Every write to the buffer goes through QByteArray::data(), which detaches a shared one.
    if (d->gapLength == 0)
        return d->buffer;
    return bytes().toByteArray();
}

qsizetype TextStore::size() const
{
    return d->size();
}

qsizetype TextStore::utf16Size() const
{
    return d->units;
}

qsizetype TextStore::lineCount() const
{
    return d->lineCount();
}

qsizetype TextStore::lineStart(qsizetype line) const
{
    return d->lineStart(std::clamp<qsizetype>(line, 0, d->lineCount() - 1));
}

qsizetype TextStore::lineEnd(qsizetype line) const
{
    line = std::clamp<qsizetype>(line, 0, d->lineCount() - 1);
    return line + 1 < d->lineCount() ? d->lineStart(line + 1) - 2 : d->size();
}

qsizetype TextStore::lineOfPosition(qsizetype position) const
{
    return std::max<qsizetype>(d->linesUpTo(position), 1) - 1;
}

QByteArray TextStore::slice(qsizetype start, qsizetype end) const
{
    start = std::clamp<qsizetype>(start, 0, d->size());
    end = std::clamp<qsizetype>(end, start, d->size());
    QByteArray bytes;
    bytes.reserve(end - start);
    d->forEachPiece(start, end, [&](QByteArrayView piece) { bytes += piece; });
    return bytes;
}

QString TextStore::text(qsizetype start, qsizetype end) const
{
    start = std::clamp<qsizetype>(start, 0, d->size());
    end = std::clamp<qsizetype>(end, start, d->size());
    if (end <= d->gapStart || start >= d->gapStart) {
        const qsizetype offset = start < d->gapStart ? 0 : d->gapLength;
        return QString::fromUtf8(d->buffer.constData() + start + offset, end - start);
    }
    return QString::fromUtf8(slice(start, end));
}

qsizetype TextStore::positionOfIndex(qsizetype index) const
{
    if (index <= 0)
        return 0;
    if (index >= d->units)
        return d->size();
    const qsizetype block =
        d->blockIndexes.countWhere([&](qint64 start) { return start <= index; }) - 1;
    const qsizetype blockStart = d->blockStarts[block];
    const qsizetype blockEnd = d->blockEnd(block);
    qsizetype units = d->blockIndexes[block];
    qsizetype position;
    if (d->blockEndIndex(block) - units == blockEnd - blockStart) {
        // One byte per index: ASCII.
        position = blockStart + (index - units);
    } else {
        position = blockStart;
        // Whole pieces while they end before the index, then a character at a time; an index
        // inside a surrogate pair stands for the position after the pair.
        for (const qsizetype piece : {1024, 64}) {
            while (position + piece <= blockEnd) {
                const qsizetype pieceUnits = d->unitsBetween(position, position + piece);
                if (units + pieceUnits >= index)
                    break;
                units += pieceUnits;
                position += piece;
            }
        }
        position = d->characterStart(position);
        while (units < index && position < d->size()) {
            units += Utf8Text::codeUnits(d->at(position));
            position = d->characterStart(position + 1);
        }
    }
    // Between the CR and the LF of a line break: after it.
    if (position > 0 && position < d->size() && d->at(position - 1) == '\r' &&
        d->at(position) == '\n')
        ++position;
    return position;
}

qsizetype TextStore::indexOfPosition(qsizetype position) const
{
    // Up to the end of the character that position falls in.
    position = d->characterStart(std::clamp<qsizetype>(position, 0, d->size()));
    if (position >= d->size())
        return d->units;
    const qsizetype block = d->blockOfPosition(position);
    const qsizetype blockStart = d->blockStarts[block];
    const qsizetype blockEnd = d->blockEnd(block);
    const qsizetype index = d->blockIndexes[block];
    const qsizetype endIndex = d->blockEndIndex(block);
    if (endIndex - index == blockEnd - blockStart)
        return index + (position - blockStart);
    // Counted from the nearer end of the block.
    if (position - blockStart <= blockEnd - position)
        return index + d->unitsBetween(blockStart, position);
    return endIndex - d->unitsBetween(position, blockEnd);
}

void TextStore::replace(qsizetype start, qsizetype end, QByteArrayView crlfUtf8)
{
    start = std::clamp<qsizetype>(start, 0, d->size());
    end = std::clamp<qsizetype>(end, start, d->size());
    if (start == end && crlfUtf8.isEmpty())
        return;
    const qsizetype unitDelta = Utf8Text::utf16Units(crlfUtf8) - d->unitsBetween(start, end);
    d->replaceBytes(start, end, crlfUtf8);
    d->replaceLines(start, end, crlfUtf8);
    d->replaceBlocks(start, end, crlfUtf8.size(), unitDelta);
    d->units += unitDelta;
}
