#pragma once

#include <QStringView>
#include <vector>

// A set of lines that all lie in one text, which must outlive the set. Open addressing with
// linear probing: the slots hold the lines' positions, so building the set allocates nothing per
// line and copies no characters.
class LineSet
{
public:
    explicit LineSet(QStringView text) : m_text(text) {}

    void insert(qsizetype start, qsizetype length);
    bool contains(QStringView line) const;

private:
    struct Slot
    {
        size_t hash = 0;
        qsizetype start = 0;
        qsizetype length = -1; // -1 marks a free slot
    };

    static size_t hashOf(QStringView line);
    size_t slotFor(QStringView line, size_t hash) const;
    void grow();

    QStringView m_text;
    std::vector<Slot> m_slots;
    qsizetype m_count = 0;
};
