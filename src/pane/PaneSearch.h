#pragma once

#include "compare/TextRange.h"

#include <QByteArrayView>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

// Finds a string in a pane's UTF-8 bytes. A pattern whose characters are all ASCII or have no
// case (digits, Hebrew, Arabic, CJK ...) is found by Boyer-Moore-Horspool over the bytes, folding
// ASCII letters where case does not matter. A case-blind pattern with other letters (é, Ä,
// Cyrillic) compares character by character, folding each with Unicode's simple case folding:
// at the places where the byte search finds its longest run of such characters, or, where that
// run is shorter than three bytes, at every character of the text. A whole-word match has no
// letter, digit, mark or underscore on either side.
class PaneSearch
{
public:
    struct Found
    {
        TextRange range;
        // The search passed the end of the text (the start, backwards) to find it.
        bool wrapped = false;
    };

    // Bytes the byte search goes through between two calls of the pause callback (the walk a
    // tenth of it), so that a caller can keep its window alive through hundreds of megabytes.
    static constexpr qsizetype defaultSlice = 32 << 20;

    PaneSearch(const QString &pattern, bool matchCase, bool wholeWords);

    bool isEmpty() const { return folded_.empty(); }

    // The first match that starts in [begin, end), or the last one backwards; its rest may lie
    // after end.
    std::optional<TextRange> findIn(QByteArrayView text, qsizetype begin, qsizetype end,
                                    bool backwards) const;
    // The first match that starts at or after from, or backwards the last that starts before it,
    // wrapping round at the ends; pause runs between slices of the text.
    std::optional<Found> find(QByteArrayView text, qsizetype from, bool backwards,
                              const std::function<void()> &pause = {},
                              qsizetype slice = defaultSlice) const;

private:
    qsizetype matchEnd(QByteArrayView text, qsizetype start) const;
    bool isWholeWord(QByteArrayView text, qsizetype start, qsizetype end) const;
    // The next place from at before end where the key starts (or, without a key, a character).
    qsizetype nextCandidate(QByteArrayView text, qsizetype at, qsizetype end) const;
    // Where the count characters before position start; -1 before the text's start.
    static qsizetype charactersBefore(QByteArrayView text, qsizetype position, qsizetype count);

    // Case-folded code points of the pattern. The key, folded, that the byte search looks for:
    // the whole pattern where it can, else its longest run of characters without case, which
    // starts after keyFirst_ characters of the pattern; empty where even that is too short.
    std::vector<char32_t> folded_;
    QByteArray bytes_;
    qsizetype keyFirst_ = 0;
    bool byteSearch_ = true;
    bool wholeWords_ = false;
    std::array<unsigned char, 256> fold_{};
    std::array<qsizetype, 256> skip_{};
};
