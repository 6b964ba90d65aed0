#include "compare/WordLine.h"

#include "compare/Words.h"

#include <algorithm>

namespace {
// Up to this many candidates a plain scan beats a binary search.
constexpr qsizetype scanLimit = 32;
} // namespace

void WordLine::assign(QStringView line)
{
    m_words.clear();
    m_byWord.clear();
    if (line.isEmpty())
        return;
    qsizetype from = 0;
    for (qsizetype space; (space = nextSpace(line, from)) >= 0; from = space + 1)
        m_words.push_back(line.sliced(from, space - from));
    m_words.push_back(line.sliced(from));
}

qsizetype WordLine::find(QStringView word, qsizetype from, qsizetype window)
{
    const qsizetype candidates = std::min(window, qsizetype(m_words.size()) - from);
    if (candidates <= 0)
        return -1;
    if (candidates <= scanLimit) {
        for (qsizetype i = from; i < from + candidates; ++i) {
            if (m_words[i] == word)
                return i;
        }
        return -1;
    }
    if (m_byWord.empty())
        buildIndex();
    const auto byText = [this](qsizetype index, QStringView text) { return m_words[index] < text; };
    const auto textBefore = [this](QStringView text, qsizetype index) {
        return text < m_words[index];
    };
    const auto first = std::lower_bound(m_byWord.begin(), m_byWord.end(), word, byText);
    const auto last = std::upper_bound(first, m_byWord.end(), word, textBefore);
    const auto found = std::lower_bound(first, last, from);
    return (found != last && *found < from + candidates) ? *found : -1;
}

void WordLine::buildIndex()
{
    m_byWord.resize(m_words.size());
    for (qsizetype i = 0; i < qsizetype(m_byWord.size()); ++i)
        m_byWord[i] = i;
    std::stable_sort(m_byWord.begin(), m_byWord.end(),
                     [this](qsizetype a, qsizetype b) { return m_words[a] < m_words[b]; });
}
