#include "GeneratedTexts.h"

#include <QByteArrayList>
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

QByteArrayList vocabulary(Numbers &numbers)
{
    QByteArrayList words;
    for (int i = 0; i < 5000; ++i) {
        QByteArray word;
        for (int length = 2 + numbers.below(9); length > 0; --length)
            word += char('a' + numbers.below(26));
        words.append(word);
    }
    return words;
}

void fillLine(QByteArrayList &line, const QByteArrayList &words, Numbers &numbers)
{
    line.clear();
    for (qsizetype length = 0; length < 55; length += line.back().size() + 1)
        line.append(words[numbers.below(int(words.size()))]);
}
} // namespace

GeneratedTexts generateTexts(int lineCount, int changedPercent, GeneratedTexts::Change change)
{
    Numbers numbers;
    const QByteArrayList words = vocabulary(numbers);
    GeneratedTexts texts;
    texts.text1.reserve(qsizetype(lineCount) * 64);
    texts.text2.reserve(qsizetype(lineCount) * 64);
    QByteArrayList line;
    for (int i = 0; i < lineCount; ++i) {
        fillLine(line, words, numbers);
        texts.text1 += line.join(' ') + "\r\n";
        if (numbers.below(100) < changedPercent) {
            if (change == GeneratedTexts::Change::OneWord)
                line[numbers.below(int(line.size()))] = words[numbers.below(int(words.size()))];
            else
                fillLine(line, words, numbers);
        }
        texts.text2 += line.join(' ') + "\r\n";
    }
    return texts;
}
