#pragma once

#include <QString>
#include <QStringList>
#include <random>

// Random texts over a tiny alphabet, so that equal lines and equal words are frequent: empty
// lines and words, repeated lines, leading, trailing and double spaces, CR LF and lone CR
// breaks, now and then a lone LF or a tab inside a line.
class RandomTexts
{
public:
    explicit RandomTexts(unsigned seed) : m_rng(seed) {}

    int below(int bound) { return int(m_rng() % unsigned(bound)); }
    bool chance(int percent) { return below(100) < percent; }

    QString word()
    {
        static const QStringList words{{}, "a", "b", "ab", "ba", "a\tb"};
        QString w = words[below(chance(3) ? words.size() : words.size() - 1)];
        if (chance(2))
            w += u'\n';
        return w;
    }

    // Most lines have a handful of words. A few have many words from a larger vocabulary, which
    // gives wide look-ahead windows whose edges decide whether a word is matched.
    QString line()
    {
        QStringList words;
        if (!chance(5)) {
            for (int count = below(6); count > 0; --count)
                words.append(word());
            return words.join(u' ');
        }
        const int vocabulary = 1 + below(120);
        for (int count = 40 + below(100); count > 0; --count)
            words.append(QString::number(below(vocabulary)));
        return words.join(u' ');
    }

    QStringList pool(int size)
    {
        QStringList lines;
        for (int i = 0; i < size; ++i)
            lines.append(line());
        return lines;
    }

    // Lines taken mostly from the pool, so that the two texts of a pair share lines.
    QString text(const QStringList &pool, int lonePercent)
    {
        QString result;
        const int count = chance(10) ? 0 : 1 + below(8);
        for (int i = 0; i < count; ++i) {
            result += chance(75) ? pool[below(pool.size())] : line();
            if (i + 1 < count || chance(50))
                result += chance(lonePercent) ? QStringLiteral("\r") : QStringLiteral("\r\n");
        }
        return result;
    }

private:
    std::mt19937 m_rng;
};
