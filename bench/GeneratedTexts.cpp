#include "GeneratedTexts.h"

#include <QStringList>
#include <random>

namespace {
// The engine's own generator and plain modulo: std::*_distribution may differ between standard
// libraries, the numbers of mt19937_64 may not.
class Numbers
{
public:
    int below(int bound) { return int(m_engine() % std::uint64_t(bound)); }

private:
    std::mt19937_64 m_engine{20240607};
};

QStringList vocabulary(Numbers &numbers)
{
    QStringList words;
    for (int i = 0; i < 5000; ++i) {
        QString word;
        for (int length = 2 + numbers.below(9); length > 0; --length)
            word += QChar(u'a' + numbers.below(26));
        words.append(word);
    }
    return words;
}
} // namespace

GeneratedTexts generateTexts(int lineCount, int changedPercent)
{
    Numbers numbers;
    const QStringList words = vocabulary(numbers);
    GeneratedTexts texts;
    texts.text1.reserve(qsizetype(lineCount) * 64);
    texts.text2.reserve(qsizetype(lineCount) * 64);
    QStringList line;
    for (int i = 0; i < lineCount; ++i) {
        line.clear();
        for (qsizetype length = 0; length < 55; length += line.back().size() + 1)
            line.append(words[numbers.below(words.size())]);
        texts.text1 += line.join(u' ') + QStringLiteral("\r\n");
        if (numbers.below(100) < changedPercent)
            line[numbers.below(line.size())] = words[numbers.below(words.size())];
        texts.text2 += line.join(u' ') + QStringLiteral("\r\n");
    }
    return texts;
}
