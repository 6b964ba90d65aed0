#include "ComparisonText.h"
#include "RandomTexts.h"
#include "compare/LineComparison.h"

#include <QTest>
#include <algorithm>
#include <set>

namespace {

// The reference below follows the rules literally and cares for nothing but being plainly right.
struct ReferenceLine
{
    QString text;
    qsizetype start;
    qsizetype span; // the line's characters and its line break
};

QList<ReferenceLine> referenceLines(const QString &text)
{
    QList<ReferenceLine> lines;
    QString current;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r') {
            current += text[i];
            continue;
        }
        const qsizetype end = (i + 1 < text.size() && text[i + 1] == u'\n') ? i + 2 : i + 1;
        lines.append({current, start, end - start});
        current.clear();
        start = end;
        i = end - 1;
    }
    if (start < text.size())
        lines.append({current, start, text.size() - start});
    return lines;
}

struct ReferenceResult
{
    QString listing;
    QList<bool> red;                                      // per character of the source
    std::set<std::pair<qsizetype, qsizetype>> colourings; // every range coloured
};

ReferenceResult referenceMissingLines(const QString &source, const QString &other)
{
    const QList<ReferenceLine> sourceLines = referenceLines(source);
    const QList<ReferenceLine> otherLines = referenceLines(other);
    ReferenceResult result;
    result.red.fill(false, source.size());
    for (const ReferenceLine &line : sourceLines) {
        const bool present =
            std::any_of(otherLines.begin(), otherLines.end(),
                        [&](const ReferenceLine &o) { return o.text == line.text; });
        if (present)
            continue;
        result.listing += line.text + QStringLiteral("\r\n");
        for (const ReferenceLine &occurrence : sourceLines) {
            if (occurrence.text != line.text)
                continue;
            result.colourings.insert({occurrence.start, occurrence.span});
            for (qsizetype c = 0; c < occurrence.span; ++c)
                result.red[occurrence.start + c] = true;
        }
    }
    return result;
}

QString referenceListedLineRanges(const QString &text, const QString &listing)
{
    QStringList listed;
    for (const ReferenceLine &line : referenceLines(listing))
        listed.append(line.text);
    QList<TextRange> ranges;
    for (const ReferenceLine &line : referenceLines(text)) {
        if (listed.contains(line.text))
            ranges.append({line.start, line.span});
    }
    return rangeText(ranges);
}

QList<bool> paint(qsizetype size, const QList<TextRange> &ranges)
{
    QList<bool> red(size, false);
    for (const TextRange &range : ranges) {
        for (qsizetype c = 0; c < range.length; ++c)
            red[range.start + c] = true;
    }
    return red;
}

QString rangeText(const std::set<std::pair<qsizetype, qsizetype>> &colourings)
{
    QList<TextRange> ranges;
    for (const auto &[start, length] : colourings)
        ranges.append({start, length});
    return ::rangeText(ranges);
}

ComparisonResult compare(const QString &source, const QString &other)
{
    YieldTicker ticker;
    std::optional<ComparisonResult> result = findMissingLines(source, other, ticker);
    return result ? *result : ComparisonResult{{}, QStringLiteral("<aborted>")};
}

// Many lines, so that a comparison polls its ticker several times.
QString manyLines(int count, const QString &prefix)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += prefix + QString::number(i) + QStringLiteral("\r\n");
    return text;
}

} // namespace

class TestLineComparison : public QObject
{
    Q_OBJECT

private slots:
    void examples_data();
    void examples();
    void matchesReference();
    void changedTextIsColouredByListing_data();
    void changedTextIsColouredByListing();
    void tickerCanStopTheComparison();
    void yieldingDoesNotChangeTheResult();
};

void TestLineComparison::examples_data()
{
    addComparisonColumns();

    addComparisonRow("equal texts", "a\r\nb", "a\r\nb", "", "", "", "");
    addComparisonRow("same lines, other order", "a\r\nb", "b\r\na", "", "", "", "");
    addComparisonRow("middle line differs, last line has no break", "a\r\nb\r\nc", "a\r\nc\r\nd",
                     "b\r\n", "3+3", "d\r\n", "6+1");
    addComparisonRow("case counts", "Hello", "hello", "Hello\r\n", "0+5", "hello\r\n", "0+5");
    addComparisonRow("trailing space counts", "Hello", "Hello ", "Hello\r\n", "0+5", "Hello \r\n",
                     "0+6");
    addComparisonRow("repeated missing line listed per occurrence", "x\r\nx\r\ny", "y",
                     "x\r\nx\r\n", "0+3 3+3", "", "");
    addComparisonRow("line is not coloured inside a longer line", "x\r\nbox", "box", "x\r\n", "0+3",
                     "", "");
    addComparisonRow("final break on one side only", "a\r\nb\r\n", "a\r\nb", "", "", "", "");
    addComparisonRow("first text empty", "", "x\r\ny", "", "", "x\r\ny\r\n", "0+3 3+1");
    addComparisonRow("lone CR is a line break", "a\rb", "b\r\na", "", "", "", "");
    addComparisonRow("empty line missing", "a\r\n\r\nb", "a\r\nb", "\r\n", "3+2", "", "");
    addComparisonRow("empty line present", "\r\n", "a\r\n\r\n", "", "", "a\r\n", "0+3");
    addComparisonRow("lone CR alone is one empty line", "\r", "", "\r\n", "0+1", "", "");
    addComparisonRow("both sides missing", "q\r\nq", "r", "q\r\nq\r\n", "0+3 3+1", "r\r\n", "0+1");
    addComparisonRow("lone LF is an ordinary character", "a\nb", "a\r\nb", "a\nb\r\n", "0+3",
                     "a\r\nb\r\n", "0+3 3+1");
    addComparisonRow("CR before CR LF", "a\r\r\nb", "b", "a\r\n\r\n", "0+2 2+2", "", "");
}

void TestLineComparison::examples()
{
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(QString, listing1);
    QFETCH(QString, ranges1);
    QFETCH(QString, listing2);
    QFETCH(QString, ranges2);

    const ComparisonResult direction1 = compare(text1, text2);
    QCOMPARE(direction1.listing, listing1);
    QCOMPARE(rangeText(direction1.ranges), ranges1);
    const ComparisonResult direction2 = compare(text2, text1);
    QCOMPARE(direction2.listing, listing2);
    QCOMPARE(rangeText(direction2.ranges), ranges2);
}

void TestLineComparison::matchesReference()
{
    RandomTexts random(4711);
    for (int round = 0; round < 5000; ++round) {
        const QStringList pool = random.pool(1 + random.below(5));
        const int lonePercent = random.chance(70) ? 0 : 30;
        const QString source = random.text(pool, lonePercent);
        const QString other = random.text(pool, lonePercent);

        const ReferenceResult expected = referenceMissingLines(source, other);
        const ComparisonResult actual = compare(source, other);
        const QByteArray context = "source " + visibleText(source) + " other " + visibleText(other);
        QVERIFY2(actual.listing == expected.listing, context);
        QVERIFY2(paint(source.size(), actual.ranges) == expected.red, context);
        QVERIFY2(rangeText(actual.ranges) == rangeText(expected.colourings), context);
        QVERIFY2(rangeText(rangesOfListedLines(source, actual.listing)) == rangeText(actual.ranges),
                 context);

        // An edited source is coloured wherever a listed line now stands as a whole line.
        const QString edited = random.text(pool, lonePercent);
        QVERIFY2(rangeText(rangesOfListedLines(edited, actual.listing)) ==
                     referenceListedLineRanges(edited, actual.listing),
                 context + " edited " + visibleText(edited));
    }
}

void TestLineComparison::changedTextIsColouredByListing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("listing");
    QTest::addColumn<QString>("ranges");

    // clang-format off
    QTest::newRow("line moved and repeated")       << "b\r\nxb\r\nb"   << "b\r\n" << "0+3 7+1";
    QTest::newRow("listed line removed")           << "a\r\nc"         << "b\r\n" << "";
    QTest::newRow("empty listing colours nothing") << "a\r\n\r\n"      << ""      << "";
    QTest::newRow("listed empty line")             << "a\r\n\r\nb\r"   << "\r\n"  << "3+2";
    QTest::newRow("text emptied")                  << ""              << "a\r\n" << "";
    // clang-format on
}

void TestLineComparison::changedTextIsColouredByListing()
{
    QFETCH(QString, text);
    QFETCH(QString, listing);
    QFETCH(QString, ranges);

    QCOMPARE(rangeText(rangesOfListedLines(text, listing)), ranges);
}

void TestLineComparison::tickerCanStopTheComparison()
{
    const QString source = manyLines(20000, QStringLiteral("s"));
    const QString other = manyLines(20000, QStringLiteral("o"));
    int calls = 0;
    YieldTicker ticker([&calls] { return ++calls < 3; }, std::chrono::milliseconds(0));
    QVERIFY(!findMissingLines(source, other, ticker).has_value());
    QCOMPARE(calls, 3);
}

void TestLineComparison::yieldingDoesNotChangeTheResult()
{
    const QString source =
        manyLines(20000, QStringLiteral("s")) + manyLines(300, QStringLiteral("x"));
    const QString other = manyLines(20000, QStringLiteral("s"));
    int calls = 0;
    YieldTicker ticker([&calls] { return ++calls > 0; }, std::chrono::milliseconds(0));
    const std::optional<ComparisonResult> result = findMissingLines(source, other, ticker);
    QVERIFY(result.has_value());
    QVERIFY(calls >= 10);
    QCOMPARE(result->listing, manyLines(300, QStringLiteral("x")));
    QCOMPARE(result->ranges.size(), 300);
    QCOMPARE(result->ranges.front().start, other.size());
}

QTEST_APPLESS_MAIN(TestLineComparison)
#include "tst_linecomparison.moc"
