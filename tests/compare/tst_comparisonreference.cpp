#include "compare/LineComparison.h"
#include "compare/WordComparison.h"

#include <QRandomGenerator>
#include <QTest>

#include <cmath>

using namespace Qt::StringLiterals;

// The fast engines against small references written straight from the rules, on thousands of
// random texts.
namespace {

// A text with its line breaks made visible, for failure messages.
QByteArray visibleText(QString text)
{
    text.replace(u'\r', QLatin1String("\\r")).replace(u'\n', QLatin1String("\\n"));
    return '"' + text.toUtf8() + '"';
}

// Lines of up to maxWords words. Short lines take their words from a tiny vocabulary, where the
// empty word gives leading, trailing and double spaces; long lines take numbered words, so that
// the word comparison's wide look-ahead windows find their matches near and far.
QStringList randomLines(QRandomGenerator &random, int count, int maxWords)
{
    QStringList lines;
    while (lines.size() < count) {
        QStringList words;
        for (int n = random.bounded(maxWords + 1); n > 0; --n)
            words.append(maxWords > 5 ? QString::number(random.bounded(maxWords))
                                      : QStringList{QString(), u"a"_s, u"b"_s, u"ab"_s,
                                                    u"a\nb"_s}[random.bounded(5)]);
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

// The line reference follows the rules literally and cares for nothing but being plainly right.
// A line is its text and its range: the line's characters and its line break.
using Line = std::pair<QString, TextRange>;

QList<Line> referenceLines(const QString &text)
{
    QList<Line> lines;
    for (qsizetype start = 0, end; start < text.size(); start = end) {
        qsizetype cr = text.indexOf(u'\r', start);
        if (cr < 0)
            cr = text.size();
        end = text.mid(cr, 2) == QLatin1String("\r\n") ? cr + 2 : qMin(cr + 1, text.size());
        lines.append({text.sliced(start, cr - start), {start, end - start}});
    }
    return lines;
}

// The lines of text that do (present) or do not occur among the lines of other: listed, each
// followed by CR LF, and their ranges.
ComparisonResult referenceLinesOf(const QString &text, const QString &other, bool present)
{
    QStringList otherLines;
    for (const Line &line : referenceLines(other))
        otherLines.append(line.first);
    ComparisonResult result;
    for (const Line &line : referenceLines(text)) {
        if (otherLines.contains(line.first) != present)
            continue;
        result.listing += line.first + QStringLiteral("\r\n");
        result.ranges.append(line.second);
    }
    return result;
}

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
            const QString text1 = randomText(random, pool);
            const QString text2 = randomText(random, pool);
            const QString edited = randomText(random, pool);
            const QByteArray context = visibleText(text1) + " against " + visibleText(text2);

            YieldTicker ticker;
            const ComparisonResult lines = findMissingLines(text1, text2, ticker).value();
            const ComparisonResult expectedLines = referenceLinesOf(text1, text2, false);
            QVERIFY2(lines.listing == expectedLines.listing, QByteArray("lines " + context));
            QVERIFY2(lines.ranges == expectedLines.ranges, QByteArray("lines " + context));
            // A source edited during the comparison is coloured where the listed lines stand now.
            QVERIFY2(rangesOfListedLines(edited, lines.listing) ==
                         referenceLinesOf(edited, lines.listing, true).ranges,
                     QByteArray(context + " edited " + visibleText(edited)));

            const ComparisonResult words = compareWords(text1, text2);
            const ComparisonResult expectedWords = referencePass(text1, text2);
            QVERIFY2(words.listing == expectedWords.listing, QByteArray("words " + context));
            QVERIFY2(words.ranges == expectedWords.ranges, QByteArray("words " + context));
        }
    }
};

QTEST_APPLESS_MAIN(TestComparisonReference)
#include "tst_comparisonreference.moc"
