#include "ComparisonText.h"
#include "RandomTexts.h"
#include "compare/WordComparison.h"

#include <QTest>
#include <cmath>

namespace {

// The reference follows the steps of the word comparison literally: 1-based positions, the line
// taken from the text by position and length, the window rounded in floating point.
QStringList referenceLines(const QString &text)
{
    return text.isEmpty() ? QStringList() : text.split(QStringLiteral("\r\n"));
}

QStringList referenceWords(const QString &line)
{
    return line.isEmpty() ? QStringList() : line.split(u' ');
}

void referenceMark(const QString &paneText, const QString &otherLine, ComparisonResult &result,
                   qsizetype p, qsizetype len)
{
    const QStringList a = referenceWords(paneText.mid(p - 1, len));
    const QStringList b = referenceWords(otherLine);
    const qsizetype n = a.size();
    const qsizetype m = b.size();
    if (n == 0)
        return;
    const auto w = qsizetype(std::nearbyint((n - 1) / 2.0 + 1));
    qsizetype next = 0;
    qsizetype offset = 0;
    for (qsizetype i = 0; i < n; ++i) {
        bool matched = false;
        for (qsizetype j = 0; j < w && !matched; ++j) {
            if (next + j <= m - 1 && b[next + j] == a[i]) {
                matched = true;
                next = next + j + 1;
            }
        }
        if (!matched) {
            result.listing = result.listing + QStringLiteral("\r\n") + a[i];
            result.ranges.append({p - 1 + offset, a[i].size()});
        }
        offset = offset + a[i].size() + 1;
    }
}

ComparisonResult referencePass(const QString &text, const QString &otherText)
{
    const QStringList lines = referenceLines(text);
    QStringList otherLines = referenceLines(otherText);
    if (otherLines.isEmpty())
        otherLines.append(QString());
    ComparisonResult result;
    qsizetype p = 1;
    qsizetype otherP = 1;
    qsizetype k = 0;
    for (const QString &line : lines) {
        referenceMark(text, otherLines[k], result, p, line.size());
        p = p + line.size() + 2;
        if (otherP + otherLines[k].size() + 2 <= otherText.size()) {
            otherP = otherP + otherLines[k].size() + 2;
            k = k + 1;
        }
    }
    return result;
}

} // namespace

class TestWordComparison : public QObject
{
    Q_OBJECT

private slots:
    void examples_data();
    void examples();
    void matchesReference();
    void longLinesKeepTheWindowRules();
};

void TestWordComparison::examples_data()
{
    addComparisonColumns();

    addComparisonRow("one word replaced", "the quick brown fox", "the quick red fox", "\r\nbrown",
                     "10+5", "\r\nred", "10+3");
    addComparisonRow("window reaches past an inserted word", "a b c d", "x a b c d", "", "",
                     "\r\nx", "0+1");
    addComparisonRow(
        "window too short for four inserted words", "w1 w2 w3 w4 w5 w6 w7 w8",
        "x1 x2 x3 x4 w1 w2 w3 w4 w5 w6 w7 w8", "\r\nw1\r\nw2\r\nw3\r\nw4\r\nw5\r\nw6\r\nw7\r\nw8",
        "0+2 3+2 6+2 9+2 12+2 15+2 18+2 21+2", "\r\nx1\r\nx2\r\nx3\r\nx4", "0+2 3+2 6+2 9+2");
    addComparisonRow("reversed words", "a b c d e f", "f e d c b a", "\r\na\r\nb\r\nd\r\ne\r\nf",
                     "0+1 2+1 6+1 8+1 10+1", "\r\nf\r\ne\r\nc\r\nb\r\na", "0+1 2+1 6+1 8+1 10+1");
    addComparisonRow("leading space", " lead", "lead", "\r\n", "0+0", "\r\nlead", "0+4");
    addComparisonRow("two spaces", "a  b", "a b", "\r\n", "2+0", "", "");
    addComparisonRow("trailing space", "a ", "a", "\r\n", "2+0", "", "");
    addComparisonRow("repeated words", "a b a", "a a b", "\r\na", "4+1", "\r\nb", "4+1");
    addComparisonRow("longer line", "x y z", "x y z w", "", "", "\r\nw", "6+1");
    addComparisonRow("fewer lines on one side", "one two\r\nthree four\r\nfive", "one two\r\nthree",
                     "\r\nfour\r\nfive", "15+4 21+4", "", "");
    addComparisonRow("extra empty line", "p q\r\n\r\nr s", "p q\r\nr s", "", "", "\r\nr\r\ns",
                     "5+1 7+1");
    addComparisonRow("final CR LF is not a line to pair with", "a\r\nb", "a\r\n", "\r\nb", "3+1",
                     "", "");
    addComparisonRow("equal texts", "x y\r\nz", "x y\r\nz", "", "", "", "");
    addComparisonRow("second text empty", "a b\r\nc", "", "\r\na\r\nb\r\nc", "0+1 2+1 5+1", "", "");
    addComparisonRow("first text empty", "", " b", "", "", "\r\n\r\nb", "0+0 1+1");
    addComparisonRow("both texts empty", "", "", "", "", "", "");
    addComparisonRow("lone CR belongs to the word", "a\rb c", "a\rb", "\r\nc", "4+1", "", "");
    const QString longLine = QStringLiteral("filler ").repeated(6000);
    addComparisonRow("positions beyond 16 bits", longLine + "\r\nzz", longLine + "\r\nyy", "\r\nzz",
                     QStringLiteral("%1+2").arg(longLine.size() + 2), "\r\nyy",
                     QStringLiteral("%1+2").arg(longLine.size() + 2));
}

void TestWordComparison::examples()
{
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(QString, listing1);
    QFETCH(QString, ranges1);
    QFETCH(QString, listing2);
    QFETCH(QString, ranges2);

    const ComparisonResult pass1 = compareWords(text1, text2);
    QCOMPARE(pass1.listing, listing1);
    QCOMPARE(rangeText(pass1.ranges), ranges1);
    const ComparisonResult pass2 = compareWords(text2, text1);
    QCOMPARE(pass2.listing, listing2);
    QCOMPARE(rangeText(pass2.ranges), ranges2);
}

void TestWordComparison::matchesReference()
{
    RandomTexts random(1234);
    for (int round = 0; round < 5000; ++round) {
        const QStringList pool = random.pool(1 + random.below(5));
        const int lonePercent = random.chance(80) ? 0 : 20;
        const QString text1 = random.text(pool, lonePercent);
        const QString text2 = random.text(pool, lonePercent);
        const QByteArray context = "text1 " + visibleText(text1) + " text2 " + visibleText(text2);

        const ComparisonResult expected = referencePass(text1, text2);
        const ComparisonResult actual = compareWords(text1, text2);
        QVERIFY2(actual.listing == expected.listing, context);
        QVERIFY2(rangeText(actual.ranges) == rangeText(expected.ranges), context);
    }
}

// Long lines take a lookup instead of a scan through the window. It must find the first equal
// word of the window, reach the window's last word and nothing beyond it, and never look behind
// the word after the last match.
void TestWordComparison::longLinesKeepTheWindowRules()
{
    QStringList otherWords;
    for (int i = 0; i < 200; ++i)
        otherWords.append(QStringLiteral("o%1").arg(i));
    otherWords[60] = otherWords[80] = otherWords[130] = QStringLiteral("t");
    const QString other = otherWords.join(u' ');

    QStringList words(100, QStringLiteral("x")); // 100 words give a window of 50
    words[0] = QStringLiteral("o49");            // last word of the window 0..49
    words[1] = QStringLiteral("o100");           // first word past the window 50..99
    words[2] = QStringLiteral("t");              // the first t, at 60
    words[3] = QStringLiteral("o62");            // reachable only if the t before matched at 60
    words[4] = QStringLiteral("o40");            // behind the last match
    const QString text = words.join(u' ');

    const ComparisonResult result = compareWords(text, other);
    QCOMPARE(result.ranges.size(), 97);
    QCOMPARE(rangeText(result.ranges.mid(0, 2)), QStringLiteral("4+4 15+3"));
    QVERIFY(result.listing.startsWith(QStringLiteral("\r\no100\r\no40\r\nx\r\n")));
    QCOMPARE(result.listing, referencePass(text, other).listing);
}

QTEST_APPLESS_MAIN(TestWordComparison)
#include "tst_wordcomparison.moc"
