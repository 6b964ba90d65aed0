#include "pane/PaneSearch.h"

#include <QChar>
#include <QList>
#include <algorithm>

namespace {

constexpr char32_t replacement = 0xfffd;

unsigned char asciiLower(unsigned char byte)
{
    return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte;
}

bool hasCase(char32_t c)
{
    return c >= 0x80 &&
           (QChar::toCaseFolded(c) != c || QChar::toUpper(c) != c || QChar::toLower(c) != c);
}

char32_t folded(char32_t c)
{
    return c < 0x80 ? asciiLower(static_cast<unsigned char>(c)) : QChar::toCaseFolded(c);
}

bool isWordCharacter(char32_t c)
{
    return QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'_';
}

// The character whose bytes start at position, and their number; a stray byte counts as one
// character of its own.
char32_t decodeAt(QByteArrayView text, qsizetype position, int &length)
{
    const auto lead = static_cast<unsigned char>(text[position]);
    length = 1;
    if (lead < 0x80)
        return lead;
    if (lead < 0xc0)
        return replacement;
    const int size = lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
    if (position + size > text.size())
        return replacement;
    char32_t c = lead & (0x7f >> size);
    for (int i = 1; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(text[position + i]);
        if ((byte & 0xc0) != 0x80)
            return replacement;
        c = (c << 6) | (byte & 0x3f);
    }
    length = size;
    return c;
}

char32_t decodeBefore(QByteArrayView text, qsizetype position)
{
    qsizetype start = position - 1;
    while (start > 0 && position - start < 4 &&
           (static_cast<unsigned char>(text[start]) & 0xc0) == 0x80)
        --start;
    int length = 0;
    const char32_t c = decodeAt(text, start, length);
    return start + length == position ? c : replacement;
}

} // namespace

PaneSearch::PaneSearch(const QString &pattern, bool matchCase, bool wholeWords)
    : wholeWords_(wholeWords)
{
    for (int byte = 0; byte < 256; ++byte)
        fold_[byte] = matchCase ? byte : asciiLower(static_cast<unsigned char>(byte));
    // The key is the longest run of characters that the byte search can find: all of them when
    // case matters or none has case.
    qsizetype runFirst = 0;
    QByteArray run;
    for (const char32_t c : pattern.toUcs4()) {
        folded_.push_back(matchCase ? c : folded(c));
        if (!matchCase && hasCase(c)) {
            byteSearch_ = false;
            runFirst = qsizetype(folded_.size());
            run.clear();
            continue;
        }
        for (const char byte : QString::fromUcs4(&c, 1).toUtf8())
            run.append(char(fold_[static_cast<unsigned char>(byte)]));
        if (run.size() > bytes_.size()) {
            bytes_ = run;
            keyFirst_ = runFirst;
        }
    }
    // A key of a byte or two would stop the search at nearly every character.
    if (!byteSearch_ && bytes_.size() < 3)
        bytes_.clear();

    // Horspool's shift for each byte, taken over the folded byte so that both cases of a letter
    // shift alike.
    const qsizetype m = bytes_.size();
    std::array<qsizetype, 256> foldedSkip;
    foldedSkip.fill(m);
    for (qsizetype i = 0; i + 1 < m; ++i)
        foldedSkip[static_cast<unsigned char>(bytes_[i])] = m - 1 - i;
    for (int byte = 0; byte < 256; ++byte)
        skip_[byte] = foldedSkip[fold_[byte]];
}

qsizetype PaneSearch::nextCandidate(QByteArrayView text, qsizetype at, qsizetype end) const
{
    const auto *t = reinterpret_cast<const unsigned char *>(text.data());
    if (bytes_.isEmpty()) {
        while (at < end && at < text.size() && (t[at] & 0xc0) == 0x80)
            ++at;
        return at < end && at < text.size() ? at : -1;
    }
    const qsizetype m = bytes_.size();
    const auto *p = reinterpret_cast<const unsigned char *>(bytes_.constData());
    const qsizetype last = std::min(end - 1, text.size() - m);
    for (qsizetype position = at; position <= last; position += skip_[t[position + m - 1]]) {
        for (qsizetype j = m - 1; fold_[t[position + j]] == p[j]; --j) {
            if (j == 0)
                return position;
        }
    }
    return -1;
}

qsizetype PaneSearch::charactersBefore(QByteArrayView text, qsizetype position, qsizetype count)
{
    for (; count > 0; --count) {
        if (position == 0)
            return -1;
        const qsizetype after = position;
        --position;
        while (position > 0 && after - position < 4 &&
               (static_cast<unsigned char>(text[position]) & 0xc0) == 0x80)
            --position;
    }
    return position;
}

qsizetype PaneSearch::matchEnd(QByteArrayView text, qsizetype start) const
{
    if (byteSearch_)
        return start + bytes_.size();
    qsizetype position = start;
    for (const char32_t c : folded_) {
        if (position >= text.size())
            return -1;
        int length = 0;
        if (folded(decodeAt(text, position, length)) != c)
            return -1;
        position += length;
    }
    return position;
}

bool PaneSearch::isWholeWord(QByteArrayView text, qsizetype start, qsizetype end) const
{
    // Only an edge of the pattern that is part of a word needs a boundary.
    const bool startsWord = isWordCharacter(folded_.front());
    const bool endsWord = isWordCharacter(folded_.back());
    int length = 0;
    return (!startsWord || start == 0 || !isWordCharacter(decodeBefore(text, start))) &&
           (!endsWord || end == text.size() || !isWordCharacter(decodeAt(text, end, length)));
}

std::optional<TextRange> PaneSearch::findIn(QByteArrayView text, qsizetype begin, qsizetype end,
                                            bool backwards) const
{
    std::optional<TextRange> last;
    if (isEmpty())
        return last;
    // A key found a little after end may belong to a match that starts before it.
    const qsizetype reach = 4 * keyFirst_;
    for (qsizetype at = std::max<qsizetype>(begin, 0);; ++at) {
        at = nextCandidate(text, at, end + reach);
        if (at < 0)
            return last;
        const qsizetype start = charactersBefore(text, at, keyFirst_);
        if (start < begin || start >= end)
            continue;
        const qsizetype matched = matchEnd(text, start);
        if (matched < 0 || (wholeWords_ && !isWholeWord(text, start, matched)))
            continue;
        last = TextRange{start, matched - start};
        if (!backwards)
            return last;
    }
}

std::optional<PaneSearch::Found> PaneSearch::find(QByteArrayView text, qsizetype from,
                                                  bool backwards,
                                                  const std::function<void()> &pause,
                                                  qsizetype slice) const
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    // Comparing at every character is about ten times slower than the byte search, so it
    // pauses after as many times fewer bytes.
    slice = std::max<qsizetype>(bytes_.isEmpty() ? slice / 10 : slice, 1);
    bool first = true;
    const auto pauseBetween = [&] {
        if (!first && pause)
            pause();
        first = false;
    };
    const auto forwardOver = [&](qsizetype begin, qsizetype end) -> std::optional<TextRange> {
        for (qsizetype at = begin; at < end; at += slice) {
            pauseBetween();
            if (const auto found = findIn(text, at, std::min(end, at + slice), false))
                return found;
        }
        return std::nullopt;
    };
    const auto backwardOver = [&](qsizetype begin, qsizetype end) -> std::optional<TextRange> {
        for (qsizetype at = end; at > begin; at -= slice) {
            pauseBetween();
            if (const auto found = findIn(text, std::max(begin, at - slice), at, true))
                return found;
        }
        return std::nullopt;
    };
    const auto ahead = backwards ? backwardOver(0, from) : forwardOver(from, text.size());
    if (ahead)
        return Found{*ahead, false};
    const auto round = backwards ? backwardOver(from, text.size()) : forwardOver(0, from);
    if (round)
        return Found{*round, true};
    return std::nullopt;
}
