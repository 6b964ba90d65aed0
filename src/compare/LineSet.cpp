#include "compare/LineSet.h"

#include <QHashFunctions>

namespace {
// A non-zero seed lets Qt use its hardware-assisted string hash where the processor has one.
constexpr size_t hashSeed = 0x9e3779b97f4a7c15u;
constexpr size_t initialSlots = 64;
} // namespace

size_t LineSet::hashOf(QStringView line)
{
    return qHash(line, hashSeed);
}

// The slot that holds the line, or the free slot where it belongs.
size_t LineSet::slotFor(QStringView line, size_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot &slot = m_slots[i];
        if (slot.length < 0 ||
            (slot.hash == hash && m_text.sliced(slot.start, slot.length) == line))
            return i;
    }
}

void LineSet::insert(qsizetype start, qsizetype length)
{
    // Keeping the table at most half full keeps the probe sequences short.
    if (2 * (m_count + 1) > qsizetype(m_slots.size()))
        grow();
    const QStringView line = m_text.sliced(start, length);
    const size_t hash = hashOf(line);
    Slot &slot = m_slots[slotFor(line, hash)];
    if (slot.length >= 0)
        return;
    slot = {hash, start, length};
    ++m_count;
}

bool LineSet::contains(QStringView line) const
{
    if (m_count == 0)
        return false;
    return m_slots[slotFor(line, hashOf(line))].length >= 0;
}

void LineSet::grow()
{
    std::vector<Slot> old(m_slots.empty() ? initialSlots : 2 * m_slots.size());
    old.swap(m_slots);
    const size_t mask = m_slots.size() - 1;
    for (const Slot &slot : old) {
        if (slot.length < 0)
            continue;
        size_t i = slot.hash & mask;
        while (m_slots[i].length >= 0)
            i = (i + 1) & mask;
        m_slots[i] = slot;
    }
}
