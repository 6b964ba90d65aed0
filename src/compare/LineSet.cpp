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
    : m_text(text), m_slots(slotCountFor(expectedLines)), m_mask(m_slots.size() - 1)
{}

size_t LineSet::hashOf(QStringView line)
{
    return qHash(line, hashSeed);
}

// The slot that holds the line, or the free slot where it belongs.
size_t LineSet::slotFor(QStringView line, size_t hash) const
{
    for (size_t i = hash & m_mask;; i = (i + 1) & m_mask) {
        const Slot &slot = m_slots[i];
        if (slot.length < 0 ||
            (slot.hash == hash && m_text.sliced(slot.start, slot.length) == line))
            return i;
    }
}

void LineSet::insert(qsizetype start, qsizetype length, size_t hash)
{
    if (2 * (m_count + 1) > qsizetype(m_slots.size()))
        grow();
    Slot &slot = m_slots[slotFor(m_text.sliced(start, length), hash)];
    if (slot.length >= 0)
        return;
    slot = {hash, start, length};
    ++m_count;
}

bool LineSet::contains(QStringView line, size_t hash) const
{
    return m_slots[slotFor(line, hash)].length >= 0;
}

void LineSet::grow()
{
    std::vector<Slot> old(2 * m_slots.size());
    old.swap(m_slots);
    m_mask = m_slots.size() - 1;
    for (const Slot &slot : old) {
        if (slot.length < 0)
            continue;
        size_t i = slot.hash & m_mask;
        while (m_slots[i].length >= 0)
            i = (i + 1) & m_mask;
        m_slots[i] = slot;
    }
}
