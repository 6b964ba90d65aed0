#include "compare/LineSet.h"

#include <QHashFunctions>
#include <bit>

namespace {
// A non-zero seed lets Qt use its hardware-assisted string hash where the processor has one.
constexpr size_t hashSeed = 0x9e3779b97f4a7c15u;

// Keeping the table at most half full keeps the probe sequences short.
size_t slotCountFor(qsizetype lines)
{
    return std::bit_ceil(size_t(2 * std::max<qsizetype>(lines, 8)));
}
} // namespace

LineSet::LineSet(QStringView text, qsizetype expectedLines)
    : text_(text), slots_(slotCountFor(expectedLines)), mask_(slots_.size() - 1)
{}

size_t LineSet::hashOf(QStringView line)
{
    return qHash(line, hashSeed);
}

// The slot that holds the line, or the free slot where it belongs.
size_t LineSet::slotFor(QStringView line, size_t hash) const
{
    for (size_t i = hash & mask_;; i = (i + 1) & mask_) {
        const Slot &slot = slots_[i];
        if (slot.length < 0 || (slot.hash == hash && text_.sliced(slot.start, slot.length) == line))
            return i;
    }
}

void LineSet::insert(qsizetype start, qsizetype length, size_t hash)
{
    if (2 * (count_ + 1) > qsizetype(slots_.size()))
        grow();
    Slot &slot = slots_[slotFor(text_.sliced(start, length), hash)];
    if (slot.length >= 0)
        return;
    slot = {hash, start, length};
    ++count_;
}

bool LineSet::contains(QStringView line, size_t hash) const
{
    return slots_[slotFor(line, hash)].length >= 0;
}

void LineSet::grow()
{
    std::vector<Slot> old(2 * slots_.size());
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot &slot : old) {
        if (slot.length < 0)
            continue;
        size_t i = slot.hash & mask_;
        while (slots_[i].length >= 0)
            i = (i + 1) & mask_;
        slots_[i] = slot;
    }
}
