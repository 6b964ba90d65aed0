#include "pane/TextPane.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

namespace {

const QColor red(Qt::red);

// A line break is one separator in the document, coloured when the range covers its CR.
bool expectedRed(const QString &text, qsizetype start, qsizetype length, qsizetype i)
{
    const qsizetype k = text[i] == u'\n' ? i - 1 : i;
    return k >= start && k < start + length;
}

} // namespace

class TestTextPane : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Random texts check the CR LF read-back and that indexes into it colour exactly their range.
    void assignedTextsReadBackAndColourByIndex()
    {
        QRandomGenerator random(7);
        for (int round = 0; round < 400; ++round) {
            QString text;
            for (int n = random.bounded(1, 30); n > 0; --n)
                text += QStringLiteral("a\t \u00a0\r\n")[random.bounded(6)];
            TextPane pane;
            pane.setText(text);
            // CR LF, a lone CR and a lone LF are each one line break; nothing else changes.
            text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
            QCOMPARE(pane.text(), text.replace(u'\n', QLatin1String("\r\n")));
            QCOMPARE(pane.textLength(), text.size());
            const qsizetype start = random.bounded(int(text.size()));
            // Up to past the end, which is clamped; the empty range colours nothing.
            const qsizetype length = random.bounded(int(text.size() - start) + 3);
            if (text[start] == u'\n')
                continue; // the comparisons never start a range on the LF of a line break
            if (round % 2 == 0) {
                pane.setSelStart(start);
                pane.setSelLength(length);
                QCOMPARE(pane.selStart(), start);
                // A selection that stops between CR and LF takes the whole line break.
                const qsizetype end = qMin(start + length, text.size());
                QCOMPARE(pane.selLength(), end - start + (end < text.size() && text[end] == u'\n'));
                pane.setSelColor(red);
            } else {
                pane.colorRanges({{start, length}}, red);
            }
            for (qsizetype i = 0; i < text.size(); ++i)
                QVERIFY2((pane.colorAt(i) == red) == expectedRed(text, start, length, i),
                         qPrintable(QStringLiteral("%1+%2 at %3").arg(start).arg(length).arg(i)));
        }
    }

    void largeTextIsColouredByIndexAndNewTextDropsColours()
    {
        const QString text = QStringLiteral("line\r\n").repeated(50000);
        TextPane pane;
        pane.setText(text);
        QList<TextRange> ranges;
        for (qsizetype start = 0; start < text.size(); start += 997 * 6)
            ranges.append({start, 6});
        pane.colorRanges(ranges, red);
        for (const TextRange &range : ranges)
            QVERIFY(pane.colorAt(range.start + 5) == red && pane.colorAt(range.start + 6) != red);
        pane.setText(text);
        QVERIFY(pane.colorAt(ranges.last().start) != red);
    }

    void userInputIsTakenAndReported()
    {
        TextPane pane;
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QSignalSpy moved(&pane, &TextPane::mouseMoved);
        QTest::mouseMove(pane.viewport(), QPoint(10, 10));
        QCOMPARE(moved.count(), 1);
        // Typed and pasted line breaks read back as CR LF.
        QTest::keyClicks(&pane, QStringLiteral("ab"));
        QTest::keyClick(&pane, Qt::Key_Return);
        QTest::keyClicks(&pane, QStringLiteral("c"));
        QCOMPARE(pane.text(), QStringLiteral("ab\r\nc"));
        pane.insertPlainText(QStringLiteral("\r\nd\re\nf"));
        QCOMPARE(pane.text(), QStringLiteral("ab\r\nc\r\nd\r\ne\r\nf"));
    }

    void geometryIsKeptInTwipsAndRejectsInvalidValues()
    {
        QWidget window;
        TextPane pane(&window);
        QVERIFY(pane.setWidthTwips(4270.5f));
        QCOMPARE(pane.widthTwips(), 4270.5f);
        QCOMPARE(pane.width(), int(std::lround(4270.5f * pane.logicalDpiX() / 1440)));
        QVERIFY(pane.setWidthTwips(0));
        QVERIFY(pane.setLeftTwips(-300)); // a pane may start left of its window
        QVERIFY(!pane.setTopTwips(std::numeric_limits<float>::quiet_NaN()));
        for (const float invalid : {-180.0f, std::numeric_limits<float>::quiet_NaN()})
            QVERIFY(!pane.setWidthTwips(invalid) && !pane.setHeightTwips(invalid));
        QCOMPARE(pane.widthTwips(), 0.0f); // a rejected value leaves the pane as it was
    }
};

QTEST_MAIN(TestTextPane)
#include "tst_textpane.moc"
