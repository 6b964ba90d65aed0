#include "ComparisonText.h"
#include "compare/LineComparison.h"

namespace {

// The reference follows the rules literally and cares for nothing but being plainly right.
struct Line
{
    QString text;
    TextRange range; // the line's characters and its line break
};

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
        otherLines.append(line.text);
    ComparisonResult result;
    for (const Line &line : referenceLines(text)) {
        if (otherLines.contains(line.text) != present)
            continue;
        result.listing += line.text + QStringLiteral("\r\n");
        result.ranges.append(line.range);
    }
    return result;
}

ComparisonResult compare(const QString &source, const QString &other)
{
    YieldTicker ticker;
    return findMissingLines(source, other, ticker).value();
}

} // namespace

class TestLineComparison : public QObject
{
    Q_OBJECT

private slots:
    void examples_data()
    {
        addComparisonColumns();
        // clang-format off
        QTest::newRow("same lines, other order")   << "a\r\nb"       << "b\r\na"     << ""            << ""        << ""           << "";
        QTest::newRow("last line has no break")    << "a\r\nb\r\nc"  << "a\r\nc\r\nd" << "b\r\n"      << "3+3"     << "d\r\n"      << "6+1";
        QTest::newRow("case and spaces count")     << "Hi"           << "hi "        << "Hi\r\n"      << "0+2"     << "hi \r\n"    << "0+3";
        QTest::newRow("listed per occurrence")     << "x\r\nx\r\ny"  << "y"          << "x\r\nx\r\n"  << "0+3 3+3" << ""           << "";
        QTest::newRow("not inside a longer line")  << "x\r\nbox"     << "box"        << "x\r\n"       << "0+3"     << ""           << "";
        QTest::newRow("final break on one side")   << "a\r\nb\r\n"   << "a\r\nb"     << ""            << ""        << ""           << "";
        QTest::newRow("empty text has no lines")   << ""             << "x\r\ny"     << ""            << ""        << "x\r\ny\r\n" << "0+3 3+1";
        QTest::newRow("empty line")                << "a\r\n\r\nb"   << "b\r\na"     << "\r\n"        << "3+2"     << ""           << "";
        QTest::newRow("lone CR is a line break")   << "a\rb\r"       << "b\r\na"     << ""            << ""        << ""           << "";
        QTest::newRow("CR before CR LF")           << "a\r\r\nb"     << "b"          << "a\r\n\r\n"   << "0+2 2+2" << ""           << "";
        QTest::newRow("lone LF is no line break")  << "a\nb"         << "a\r\nb"     << "a\nb\r\n"    << "0+3"     << "a\r\nb\r\n" << "0+3 3+1";
        // clang-format on
    }

    void examples() { checkBothDirections(compare); }

    void matchesReference()
    {
        QRandomGenerator random(4711);
        for (int round = 0; round < 5000; ++round) {
            const QStringList pool = randomLines(random, 1 + random.bounded(5), 5);
            const QString source = randomText(random, pool);
            const QString other = randomText(random, pool);
            const QString edited = randomText(random, pool);
            const QByteArray context = visibleText(source) + " against " + visibleText(other);

            const ComparisonResult expected = referenceLinesOf(source, other, false);
            const ComparisonResult actual = compare(source, other);
            QVERIFY2(actual.listing == expected.listing, context);
            QVERIFY2(actual.ranges == expected.ranges, context);
            // A source edited during the comparison is coloured where the listed lines stand now.
            QVERIFY2(rangesOfListedLines(edited, actual.listing) ==
                         referenceLinesOf(edited, actual.listing, true).ranges,
                     context + " edited " + visibleText(edited));
        }
    }
};

QTEST_APPLESS_MAIN(TestLineComparison)
#include "tst_linecomparison.moc"
