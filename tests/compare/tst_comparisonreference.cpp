#include "ComparisonReference.h"
#include "compare/LineComparison.h"
#include "compare/LineReader.h"
#include "compare/LineSet.h"
#include "compare/WordComparison.h"

#include <QtTest>

using namespace Qt::StringLiterals;

// The fast engines, which work on bytes, against the references (ComparisonReference.h) on
// thousands of random UTF-8 texts; the fuzz targets add bytes that are no UTF-8 and the
// colouring of a source edited since its listing.
namespace {

// A text with its line breaks made visible, for failure messages.
QByteArray visibleText(QString text)
{
    text.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n"));
    return '"' + text.toUtf8() + '"';
}

// Characters of one, two, three and four bytes in UTF-8, the last one two UTF-16 units.
const QStringList letters{u"a"_s, u"\u00e9"_s, u"\u20ac"_s, u"\U0001F600"_s};

// Lines of up to maxWords words. Short lines take their words from a tiny vocabulary, where the
// empty word gives leading, trailing and double spaces, a CR inside a line cuts it for the line
// comparison only, and a CR ending one line meets an LF starting the next; long lines take
// numbered words, so that the word comparison's wide look-ahead windows find their matches near
// and far, and far into the line.
QStringList randomLines(QRandomGenerator &random, int count, int maxWords)
{
    const QStringList vocabulary = letters + QStringList{QString(), u"ab"_s, u"\r"_s, u"\n"_s};
    QStringList lines;
    while (lines.size() < count) {
        QStringList words;
        for (int n = random.bounded(maxWords + 1); n > 0; --n) {
            const int number = random.bounded(maxWords);
            words.append(maxWords > 5 ? QString::number(number) + letters[number % 4]
                                      : vocabulary[random.bounded(int(vocabulary.size()))]);
        }
        lines.append(words.join(u' '));
    }
    return lines;
}

// A text of lines drawn from pool, so that two texts drawn from one pool share many lines. Lines
// end in CR LF, a lone CR or, merging two lines into one, nothing.
QString randomText(QRandomGenerator &random, const QStringList &pool)
{
    QString text;
    for (int n = random.bounded(8); n > 0; --n)
        text += pool[random.bounded(int(pool.size()))] +
                QStringList{u"\r\n"_s, u"\r\n"_s, u"\r\n"_s, u"\r"_s, QString()}[random.bounded(5)];
    return text;
}

} // namespace

class TestComparisonReference : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void enginesMatchReferences()
    {
        QRandomGenerator random(4711);
        for (int round = 0; round < 5000; ++round) {
            const int maxWords = random.bounded(10) == 0 ? 150 : 5;
            const QStringList pool = randomLines(random, 1 + random.bounded(5), maxWords);
            const QString text1 = randomText(random, pool), text2 = randomText(random, pool);
            const QByteArray bytes1 = text1.toUtf8(), bytes2 = text2.toUtf8();
            const QByteArray context = visibleText(text1) + " against " + visibleText(text2);
            YieldTicker ticker;
            QVERIFY2(decodedResult(findMissingLines(bytes1, bytes2, ticker).value(), bytes1,
                                   false) == referenceLinesOf(text1, text2, false),
                     QByteArray("lines " + context));
            QVERIFY2(decodedResult(compareWords(bytes1, bytes2), bytes1, false) ==
                         referencePass(text1, text2),
                     QByteArray("words " + context));
        }
    }

    // Lines that share a hash are told apart by their bytes alone. The set keeps where a line
    // starts, not its length, so a kept line must match a looked-up line up to a line break.
    void linesSharingAHash_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArrayList>("present");
        QTest::addColumn<QByteArrayList>("absent");
        QTest::newRow("prefixes") << "ab\r\nabc\r\n"_ba << QByteArrayList{"ab", "abc", ""}
                                  << QByteArrayList{"a", "abcd", "b"};
        QTest::newRow("lone CR, empty and last line")
            << "a\rb\r\n\r\nbc"_ba << QByteArrayList{"a", "b", "", "bc"}
            << QByteArrayList{"ab", "bcd", "c", "\n"};
        QTest::newRow("no break at the end") << "x"_ba << QByteArrayList{"x"} << QByteArrayList{""};
        QTest::newRow("empty text") << QByteArray() << QByteArrayList{} << QByteArrayList{"", "a"};
    }

    void linesSharingAHash()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArrayList, present);
        QFETCH(QByteArrayList, absent);
        // One hash for all: the top bits kept in a slot are equal, and the probe sequence starts
        // in the table's last slot and wraps around.
        const size_t hash = ~size_t(0);
        LineSet set(text);
        LineReader reader(text);
        for (TextLine line; reader.next(line);)
            set.insert(line.start, line.length, hash);
        for (const QByteArray &line : present)
            QVERIFY2(set.contains(line, hash), line);
        for (const QByteArray &line : absent)
            QVERIFY2(!set.contains(line, hash), line);
    }
};

QTEST_APPLESS_MAIN(TestComparisonReference)
#include "tst_comparisonreference.moc"
