#pragma once

#include <QStringView>
#include <vector>

// A set of lines that all lie in one text, which must outlive the set. Open addressing with
// linear probing: the slots hold the lines' positions, so building the set allocates nothing per
// line and copies no characters. The caller hashes each line once and may prefetch its slot
// ahead of the look-up, which hides the memory latency of a table far larger than the caches.
class LineSet
{
public:
    // expectedLines sizes the table so that it does not have to grow.
    LineSet(QStringView text, qsizetype expectedLines);

    static size_t hashOf(QStringView line);

    void prefetch([[maybe_unused]] size_t hash) const
    {
#if defined(__GNUC__) || defined(__clang__)
        __builtin_prefetch(&slots_[hash & mask_]);
#endif
    }
    void insert(qsizetype start, qsizetype length, size_t hash);
    bool contains(QStringView line, size_t hash) const;

private:
    struct Slot
    {
        size_t hash = 0;
        qsizetype start = 0;
        qsizetype length = -1; // -1 marks a free slot
    };

    size_t slotFor(QStringView line, size_t hash) const;
    void grow();

    QStringView text_;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
    qsizetype count_ = 0;
};
