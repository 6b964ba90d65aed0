#include "compare/LineSet.h"

#include "compare/Bytes.h"

#include <QHashFunctions>
#include <algorithm>
#include <bit>

namespace {
// A non-zero seed lets Qt use its hardware-assisted hash where the processor has one.
constexpr size_t hashSeed = 0x9e3779b97f4a7c15u;

qsizetype countCrs(QByteArrayView text)
{
    return sumOfBytes<1>(text, [](unsigned char byte) { return byte == '\r'; });
}

// Every line but the last ends in a CR, so the count of CRs bounds the count of lines. Counting
// them is one quick pass, far cheaper than a table sized by a guess that has to grow. Keeping
// the table at most half full keeps the probe sequences short.
size_t slotCountFor(QByteArrayView text)
{
    const qsizetype lines = countCrs(text) + 1;
    return std::bit_ceil(size_t(2 * std::max<qsizetype>(lines, 8)));
}
} // namespace

LineSet::LineSet(QByteArrayView text)
    : text_(text), slots_(slotCountFor(text)), mask_(slots_.size() - 1)
{
    Q_ASSERT(Slot(text.size()) < startMask);
}

size_t LineSet::hashOf(QByteArrayView line)
{
    return qHash(line, hashSeed);
}

// A slot holds only where a line starts; the line it means runs to the next CR or the text's
// end. It equals line (which has no CR) when the bytes from its start match line and the byte
// after them ends a line.
bool LineSet::holds(Slot slot, QByteArrayView line, size_t hash) const
{
    if ((slot & ~startMask) != tagOf(hash))
        return false;
    const qsizetype start = qsizetype(slot & startMask) - 1;
    const qsizetype end = start + line.size();
    return end <= text_.size() && (end == text_.size() || text_[end] == '\r') &&
           sameBytes(text_.sliced(start, line.size()), line);
}

// The slot that holds the line, or the free slot where it belongs.
size_t LineSet::slotFor(QByteArrayView line, size_t hash) const
{
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
        const Slot slot = slots_[i];
        if (slot == 0 || holds(slot, line, hash))
            return i;
    }
}

void LineSet::insert(qsizetype start, qsizetype length, size_t hash)
{
    Slot &slot = slots_[slotFor(text_.sliced(start, length), hash)];
    if (slot == 0)
        slot = tagOf(hash) | Slot(start + 1);
}

bool LineSet::contains(QByteArrayView line, size_t hash) const
{
    return slots_[slotFor(line, hash)] != 0;
}
