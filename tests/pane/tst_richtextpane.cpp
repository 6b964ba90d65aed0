#include "pane/RichTextPane.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

class TestRichTextPane : public QObject
{
    Q_OBJECT

private slots:
    void assignedLineBreaksReadBackAsCrLf_data();
    void assignedLineBreaksReadBackAsCrLf();
    void colouringFollowsCrLfIndexes_data();
    void colouringFollowsCrLfIndexes();
    void randomRangesColourExactlyTheirCharacters();
    void selectionRoundTripsThroughCrLfIndexes();
    void emptySelectionColoursNothing();
    void batchColouringOnALargeText();
    void settingTextDropsEarlierColours();
    void typedAndPastedLineBreaksReadBackAsCrLf();
    void geometryIsKeptInTwipsAndRejectsInvalidValues_data();
    void geometryIsKeptInTwipsAndRejectsInvalidValues();
    void mouseMovesAreReported();
};

void TestRichTextPane::assignedLineBreaksReadBackAsCrLf_data()
{
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("one line") << "abc"
                              << "abc";
    QTest::newRow("crlf") << "a\r\nb"
                          << "a\r\nb";
    QTest::newRow("lone lf") << "a\nb"
                             << "a\r\nb";
    QTest::newRow("lone cr") << "a\rb"
                             << "a\r\nb";
    QTest::newRow("final break") << "a\r\n"
                                 << "a\r\n";
    QTest::newRow("cr then crlf") << "a\r\r\nb"
                                  << "a\r\n\r\nb";
    QTest::newRow("lf then cr") << "a\n\rb"
                                << "a\r\n\r\nb";
    QTest::newRow("only breaks") << "\r\n\n\r"
                                 << "\r\n\r\n\r\n";
    QTest::newRow("no-break space and tab kept")
        << QString("a\u00a0b\tc") << QString("a\u00a0b\tc");
    QTest::newRow("leading and trailing spaces") << "  x  \r\n "
                                                 << "  x  \r\n ";
}

void TestRichTextPane::assignedLineBreaksReadBackAsCrLf()
{
    QFETCH(QString, assigned);
    QFETCH(QString, expected);
    RichTextPane pane;
    pane.setText(assigned);
    QCOMPARE(pane.text(), expected);
    QCOMPARE(pane.textLength(), expected.size());
}

void TestRichTextPane::colouringFollowsCrLfIndexes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("second line with its break") << "ab\r\ncd\r\nef" << 4 << 4;
    QTest::newRow("lf, line, cr") << "ab\r\ncd\r\nef" << 3 << 4;
    QTest::newRow("last line") << "ab\r\ncd\r\nef" << 8 << 2;
    QTest::newRow("empty line's break") << "a\r\n\r\nb" << 3 << 2;
    QTest::newRow("whole text") << "x\r\ny" << 0 << 4;
    QTest::newRow("past the end is clamped") << "abc" << 1 << 50;
}

// Reference: a line break is one separator in the document, coloured when the range covers its CR.
static bool expectedRed(const QString &text, qsizetype start, qsizetype length, qsizetype i)
{
    const auto inRange = [&](qsizetype k) { return k >= start && k < start + length; };
    if (text[i] == '\n')
        return inRange(i - 1);
    return inRange(i);
}

void TestRichTextPane::colouringFollowsCrLfIndexes()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    RichTextPane pane;
    pane.setText(text);
    pane.setSelStart(start);
    pane.setSelLength(length);
    pane.setSelColor(Qt::red);
    for (qsizetype i = 0; i < text.size(); ++i)
        QCOMPARE(pane.colorAt(i) == QColor(Qt::red), expectedRed(text, start, length, i));
}

void TestRichTextPane::randomRangesColourExactlyTheirCharacters()
{
    QRandomGenerator random(7);
    const QString alphabet = QStringLiteral("ab \r\n");
    for (int round = 0; round < 300; ++round) {
        QString text;
        const int size = random.bounded(1, 30);
        for (int i = 0; i < size; ++i)
            text += alphabet[random.bounded(alphabet.size())];
        RichTextPane pane;
        pane.setText(text);
        const QString crLfText = pane.text();
        const qsizetype start = random.bounded(int(crLfText.size()));
        // Ranges as the comparisons make them never start on the LF of a line break.
        if (crLfText[start] == '\n')
            continue;
        const qsizetype length = random.bounded(int(crLfText.size() - start) + 1);
        pane.colorRanges({{start, length}}, Qt::red);
        for (qsizetype i = 0; i < crLfText.size(); ++i) {
            if ((pane.colorAt(i) == QColor(Qt::red)) != expectedRed(crLfText, start, length, i))
                QFAIL(qPrintable(QStringLiteral("text %1, range %2+%3, index %4")
                                     .arg(QString(crLfText).replace("\r", "CR").replace("\n", "LF"))
                                     .arg(start)
                                     .arg(length)
                                     .arg(i)));
        }
    }
}

void TestRichTextPane::selectionRoundTripsThroughCrLfIndexes()
{
    RichTextPane pane;
    pane.setText("one\r\n\r\nthree\r\nfour");
    const QString text = pane.text();
    for (qsizetype start = 0; start <= text.size(); ++start) {
        if (start < text.size() && text[start] == '\n')
            continue;
        for (qsizetype length : {0, 1, 3}) {
            pane.setSelStart(start);
            pane.setSelLength(length);
            QCOMPARE(pane.selStart(), start);
            const qsizetype end = qMin(start + length, text.size());
            // A selection that stops between CR and LF takes the whole line break.
            const qsizetype expectedEnd = end < text.size() && text[end] == '\n' ? end + 1 : end;
            QCOMPARE(pane.selLength(), expectedEnd - start);
        }
    }
}

void TestRichTextPane::emptySelectionColoursNothing()
{
    RichTextPane pane;
    pane.setText("abc");
    pane.setSelStart(1);
    pane.setSelLength(0);
    pane.setSelColor(Qt::red);
    pane.colorRanges({{2, 0}}, Qt::red);
    for (qsizetype i = 0; i < 3; ++i)
        QVERIFY(pane.colorAt(i) != QColor(Qt::red));
}

void TestRichTextPane::batchColouringOnALargeText()
{
    QStringList lines;
    for (int i = 0; i < 50000; ++i)
        lines << QStringLiteral("line %1").arg(i);
    RichTextPane pane;
    pane.setText(lines.join("\r\n"));
    const QString text = pane.text();
    QList<TextRange> ranges;
    QList<qsizetype> starts;
    for (int i = 0; i < 50000; i += 997) {
        const qsizetype start = text.indexOf(QStringLiteral("line %1\r").arg(i));
        QVERIFY(start >= 0);
        ranges.append({start, lines[i].size()});
        starts.append(start);
    }
    pane.colorRanges(ranges, Qt::red);
    for (qsizetype start : starts) {
        QCOMPARE(pane.colorAt(start), QColor(Qt::red));
        QVERIFY(pane.colorAt(start - 1) != QColor(Qt::red));
    }
    QCOMPARE(pane.colorAt(text.size() - 1) == QColor(Qt::red), false);
}

void TestRichTextPane::settingTextDropsEarlierColours()
{
    RichTextPane pane;
    pane.setText("red\r\nline");
    pane.colorRanges({{0, 9}}, Qt::red);
    pane.setText(pane.text() + "\r");
    for (qsizetype i = 0; i < pane.textLength(); ++i)
        QVERIFY(pane.colorAt(i) != QColor(Qt::red));
}

void TestRichTextPane::typedAndPastedLineBreaksReadBackAsCrLf()
{
    RichTextPane pane;
    pane.show();
    QTest::keyClicks(&pane, "ab");
    QTest::keyClick(&pane, Qt::Key_Return);
    QTest::keyClicks(&pane, "c");
    QCOMPARE(pane.text(), QStringLiteral("ab\r\nc"));

    QMimeData pasted;
    pasted.setText("\r\nd\re\nf");
    pane.insertPlainText(pasted.text());
    QCOMPARE(pane.text(), QStringLiteral("ab\r\nc\r\nd\r\ne\r\nf"));
}

void TestRichTextPane::geometryIsKeptInTwipsAndRejectsInvalidValues_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("whole") << 4315.0f << true;
    QTest::newRow("fractional") << 4270.5f << true;
    QTest::newRow("zero") << 0.0f << true;
    QTest::newRow("negative") << -180.0f << false;
    QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << false;
    QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << false;
}

void TestRichTextPane::geometryIsKeptInTwipsAndRejectsInvalidValues()
{
    QFETCH(float, width);
    QFETCH(bool, accepted);
    QWidget window;
    RichTextPane pane(&window);
    QVERIFY(pane.setWidthTwips(1500));
    QCOMPARE(pane.setWidthTwips(width), accepted);
    const float kept = accepted ? width : 1500.0f;
    QCOMPARE(pane.widthTwips(), kept);
    const float twipsPerPixel = 1440.0f / float(pane.logicalDpiX());
    QCOMPARE(pane.width(), int(std::lround(kept / twipsPerPixel)));
    QCOMPARE(pane.setLeftTwips(-300), true);
    QCOMPARE(pane.setTopTwips(std::numeric_limits<float>::quiet_NaN()), false);
}

void TestRichTextPane::mouseMovesAreReported()
{
    RichTextPane pane;
    pane.resize(200, 100);
    pane.show();
    QSignalSpy moved(&pane, &RichTextPane::mouseMoved);
    const QPointF at(10, 10);
    QMouseEvent move(QEvent::MouseMove, at, pane.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(pane.viewport(), &move);
    QCOMPARE(moved.count(), 1);
}

QTEST_MAIN(TestRichTextPane)
#include "tst_richtextpane.moc"
