#pragma once

#include <QByteArrayView>
#include <vector>

// The set of the lines of one UTF-8 text, which must outlive the set. Open addressing with
// linear probing: each slot packs a line's position with a few bits of its hash into 8 bytes, so
// building the set allocates nothing per line and copies no bytes, and the table of a text of a
// million lines stays small enough to cost few page faults. The caller hashes each line once and
// may prefetch its slot ahead of the look-up, which hides the memory latency of a table far
// larger than the caches.
class LineSet
{
public:
    // Sized for as many lines as the text can have, so that the table never grows.
    explicit LineSet(QByteArrayView text);

    static size_t hashOf(QByteArrayView line);

    void prefetch([[maybe_unused]] size_t hash) const
    {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&slots_[hash & mask_]);
#endif
    }
    // Adds a line of the text: it starts at start and ends in a line break or the text's end.
    void insert(qsizetype start, qsizetype length, size_t hash);
    // Whether the set holds a line equal to line, which contains no CR.
    bool contains(QByteArrayView line, size_t hash) const;

private:
    // The line's start + 1 in the low bits and the top bits of its hash above them; 0 marks a
    // free slot. 48 bits index any byte a process can address, and 16 bits of hash spare nearly
    // all comparisons with lines that merely share the probe sequence.
    using Slot = quint64;
    static constexpr int startBits = 48;
    static constexpr Slot startMask = (Slot(1) << startBits) - 1;

    static Slot tagOf(size_t hash)
    {
        return Slot(hash) >> startBits << startBits;
    }
    bool holds(Slot slot, QByteArrayView line, size_t hash) const;
    size_t slotFor(QByteArrayView line, size_t hash) const;

    QByteArrayView text_;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
};
