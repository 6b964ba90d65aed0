#include "ComparisonText.h"
#include "compare/WordComparison.h"

#include <cmath>

namespace {

QStringList split(const QString &text, const QString &separator)
{
    return text.isEmpty() ? QStringList() : text.split(separator);
}

// The reference follows the steps of the word comparison plainly, the window rounded in
// floating point, and cares for nothing but being plainly right.
ComparisonResult referencePass(const QString &text, const QString &other)
{
    QStringList otherLines = split(other, QStringLiteral("\r\n"));
    if (otherLines.isEmpty())
        otherLines.append(QString());
    ComparisonResult result;
    qsizetype lineStart = 0;
    qsizetype otherLineStart = 0;
    qsizetype k = 0; // the paired line of other
    for (const QString &line : split(text, QStringLiteral("\r\n"))) {
        const QStringList words = split(line, QStringLiteral(" "));
        const QStringList otherWords = split(otherLines[k], QStringLiteral(" "));
        const auto window = qsizetype(std::nearbyint((words.size() - 1) / 2.0 + 1));
        qsizetype next = 0;
        qsizetype wordStart = lineStart;
        for (const QString &word : words) {
            const qsizetype match = otherWords.indexOf(word, next);
            if (match >= 0 && match < next + window) {
                next = match + 1;
            } else {
                result.listing += QStringLiteral("\r\n") + word;
                result.ranges.append({wordStart, word.size()});
            }
            wordStart += word.size() + 1;
        }
        lineStart += line.size() + 2;
        if (otherLineStart + otherLines[k].size() + 2 < other.size()) {
            otherLineStart += otherLines[k].size() + 2;
            ++k;
        }
    }
    return result;
}

} // namespace

class TestWordComparison : public QObject
{
    Q_OBJECT

private slots:
    void examples_data()
    {
        addComparisonColumns();
        // clang-format off
        QTest::newRow("one word replaced")  << "the quick brown fox" << "the quick red fox" << "\r\nbrown" << "10+5" << "\r\nred" << "10+3";
        // 8 words: the window is 4.5 rounded to 4, one too short to reach w1.
        QTest::newRow("window ties to even") << "w1 w2 w3 w4 w5 w6 w7 w8" << "x1 x2 x3 x4 w1 w2 w3 w4 w5 w6 w7 w8"
            << "\r\nw1\r\nw2\r\nw3\r\nw4\r\nw5\r\nw6\r\nw7\r\nw8" << "0+2 3+2 6+2 9+2 12+2 15+2 18+2 21+2"
            << "\r\nx1\r\nx2\r\nx3\r\nx4" << "0+2 3+2 6+2 9+2";
        QTest::newRow("reversed words")     << "a b c d e f" << "f e d c b a" << "\r\na\r\nb\r\nd\r\ne\r\nf" << "0+1 2+1 6+1 8+1 10+1" << "\r\nf\r\ne\r\nc\r\nb\r\na" << "0+1 2+1 6+1 8+1 10+1";
        QTest::newRow("empty words")        << " a  b" << "a b" << "\r\n\r\n" << "0+0 3+0" << "" << "";
        QTest::newRow("last line pairs on") << "one two\r\nthree four\r\nfive" << "one two\r\nthree" << "\r\nfour\r\nfive" << "15+4 21+4" << "" << "";
        QTest::newRow("lines pair by index") << "p q\r\n\r\nr s" << "p q\r\nr s" << "" << "" << "\r\nr\r\ns" << "5+1 7+1";
        QTest::newRow("final CR LF pairs no line") << "a\r\nb" << "a\r\n" << "\r\nb" << "3+1" << "" << "";
        QTest::newRow("one text empty")     << "a b\r\nc" << "" << "\r\na\r\nb\r\nc" << "0+1 2+1 5+1" << "" << "";
        QTest::newRow("lone CR is in a word") << "a\rb c" << "a\rb" << "\r\nc" << "4+1" << "" << "";
        // clang-format on
        const QString longLine = QStringLiteral("filler ").repeated(6000);
        const QString beyond16Bits = QStringLiteral("%1+2").arg(longLine.size() + 2);
        QTest::newRow("positions beyond 16 bits")
            << longLine + "\r\nzz" << longLine + "\r\nyy"
            << "\r\nzz" << beyond16Bits << "\r\nyy" << beyond16Bits;
    }

    void examples() { checkBothDirections(compareWords); }

    void matchesReference()
    {
        QRandomGenerator random(1234);
        for (int round = 0; round < 5000; ++round) {
            const int maxWords = random.bounded(10) == 0 ? 150 : 5;
            const QStringList pool = randomLines(random, 1 + random.bounded(5), maxWords);
            const QString text1 = randomText(random, pool);
            const QString text2 = randomText(random, pool);
            const ComparisonResult expected = referencePass(text1, text2);
            const ComparisonResult actual = compareWords(text1, text2);
            const QByteArray context = visibleText(text1) + " against " + visibleText(text2);
            QVERIFY2(actual.listing == expected.listing, context);
            QVERIFY2(actual.ranges == expected.ranges, context);
        }
    }
};

QTEST_APPLESS_MAIN(TestWordComparison)
#include "tst_wordcomparison.moc"
