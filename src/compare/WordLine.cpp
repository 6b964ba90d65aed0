#include "compare/WordLine.h"

#include "compare/Bytes.h"
#include "compare/Words.h"

#include <algorithm>

namespace {
// Up to this many candidates a plain scan beats a binary search.
constexpr qsizetype scanLimit = 32;
} // namespace

void WordLine::assign(QByteArrayView line)
{
    words_.clear();
    byWord_.clear();
    if (line.isEmpty())
        return;
    qsizetype from = 0;
    for (qsizetype space; (space = nextSpace(line, from)) >= 0; from = space + 1)
        words_.push_back(line.sliced(from, space - from));
    words_.push_back(line.sliced(from));
}

qsizetype WordLine::find(QByteArrayView word, qsizetype from, qsizetype window)
{
    const qsizetype candidates = std::min(window, qsizetype(words_.size()) - from);
    if (candidates <= 0)
        return -1;
    if (candidates <= scanLimit) {
        for (qsizetype i = from; i < from + candidates; ++i) {
            if (sameBytes(words_[i], word))
                return i;
        }
        return -1;
    }
    if (byWord_.empty())
        buildIndex();
    const auto byText = [this](qsizetype index, QByteArrayView text) {
        return words_[index] < text;
    };
    const auto textBefore = [this](QByteArrayView text, qsizetype index) {
        return text < words_[index];
    };
    const auto first = std::lower_bound(byWord_.begin(), byWord_.end(), word, byText);
    const auto last = std::upper_bound(first, byWord_.end(), word, textBefore);
    const auto found = std::lower_bound(first, last, from);
    return (found != last && *found < from + candidates) ? *found : -1;
}

void WordLine::buildIndex()
{
    byWord_.resize(words_.size());
    for (qsizetype i = 0; i < qsizetype(byWord_.size()); ++i)
        byWord_[i] = i;
    std::stable_sort(byWord_.begin(), byWord_.end(),
                     [this](qsizetype a, qsizetype b) { return words_[a] < words_[b]; });
}
