#include "PaneReading.h"
#include "TempFiles.h"
#include "TestServices.h"
#include "app/MainWindow.h"
#include "app/commands/PaneColouring.h"
#include "app/commands/PaneComparison.h"
#include "pane/TextPane.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// Long enough for the line comparison to yield several times in each direction when it yields
// after every chunk of work: 1 before starting, 2 and 3 while reading text #2, 4 and 5 while
// looking up text #1's lines, 6 to 9 for the second direction.
const QString longText1 = QStringLiteral("k\r\n").repeated(5000) + QStringLiteral("only1");
const QString longText2 = QStringLiteral("k\r\n").repeated(5000) + QStringLiteral("only2");

// The red runs that a screen reader learns of, walking the pane's text attributes, written as
// redRanges() writes them; each run must start where the last one ended, in the other colour.
QString accessibleRedRanges(TextPane &pane)
{
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(&pane)->textInterface();
    QStringList runs;
    QString previous;
    for (int offset = 0, start = -1, end = -1; offset < text->characterCount(); offset = end) {
        const QString colour = text->attributes(offset, &start, &end);
        if (start != offset || end <= offset || colour == previous)
            return u"run %1-%2 after offset %3"_s.arg(start).arg(end).arg(offset);
        if (colour == u"color:rgb(255,0,0);"_s)
            runs << u"%1+%2"_s.arg(start).arg(end - start);
        previous = colour;
    }
    return runs.join(u' ');
}

struct Fixture
{
    TestServices test;
    MainWindow window{test.services};

    Fixture(const QString &text1, const QString &text2)
    {
        window.show();
        window.textPane1->setText(text1);
        window.textPane2->setText(text2);
        window.resultPane1->setText(QStringLiteral("old 3"));
        window.resultPane2->setText(QStringLiteral("old 4"));
    }
};

} // namespace

class TestPaneComparison : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startButtonsColourAndList_data()
    {
        QTest::addColumn<bool>("words");
        // The texts, each direction's listing and red ranges, and what a screen reader is told.
        for (const char *column :
             {"text1", "text2", "listing1", "ranges1", "listing2", "ranges2", "announced"})
            QTest::addColumn<QString>(column);
        // The fuzz targets check what the comparisons find; these rows, that it reaches the panes.
        // The first characters start red: the line comparison leaves them, the word one does not.
        const QString longLine = QStringLiteral("filler ").repeated(6000);
        const QString beyond16Bits = QStringLiteral("%1+2").arg(longLine.size() + 2);
        const QString lines = u" are missing from the other text."_s;
        // clang-format off
        QTest::newRow("lines: right-to-left, pairs") << false << "é\r\nש😀x\r\nz" << "z\r\né" << "ש😀x\r\n" << "0+1 3+6" << "" << "0+1" << u"1 line of text #1 and 0 lines of text #2"_s + lines;
        // The empty line after a final line break is listed, with nothing to colour.
        QTest::newRow("lines: break at the end")     << false << "a\r\nb\r\n" << "b\r\nc" << "a\r\n\r\n" << "0+3" << "c\r\n" << "0+1 3+1" << u"2 lines of text #1 and 1 line of text #2"_s + lines;
        QTest::newRow("lines: equal")                << false << "a b\r\nc" << "a b\r\nc" << "" << "0+1" << "" << "0+1" << u"No line is missing from the other text."_s;
        QTest::newRow("words: beyond ASCII")         << true << "a 😀 é€" << "é€ a b😀" << "\r\n😀\r\né€" << "2+2 5+2" << "\r\né€\r\nb😀" << "0+2 5+3" << "2 words of text #1 and 2 words of text #2 differ.";
        QTest::newRow("words: equal")                << true << "a b\r\nc" << "a b\r\nc" << "" << "" << "" << "" << "No word differs.";
        QTest::newRow("words: beyond 16 bits")       << true << longLine + u"\r\nzz"_s << longLine + u"\r\nyy"_s << "\r\nzz" << beyond16Bits << "\r\nyy" << beyond16Bits << "1 word of text #1 and 1 word of text #2 differ.";
        // clang-format on
    }

    void startButtonsColourAndList()
    {
        QFETCH(bool, words);
        QFETCH(QString, text1);
        QFETCH(QString, text2);
        Fixture fixture(text1, text2);
        MainWindow &window = fixture.window;
        for (TextPane *pane : {window.textPane1, window.textPane2}) {
            pane->setSelLength(1);
            pane->setSelColor(red);
        }
        (words ? window.compareWordsButton : window.compareLinesButton)->click();
        QTEST(window.resultPane1->text(), "listing1");
        QTEST(redRanges(*window.textPane1), "ranges1");
        QTEST(window.resultPane2->text(), "listing2");
        QTEST(redRanges(*window.textPane2), "ranges2");
        QTEST(QAccessible::queryAccessibleInterface(&window)->text(QAccessible::Description),
              "announced");
        QCOMPARE(accessibleRedRanges(*window.textPane1), redRanges(*window.textPane1));
        QCOMPARE(accessibleRedRanges(*window.textPane2), redRanges(*window.textPane2));
    }

    // During the yields of a run the user closes the window at a chosen yield or, in the row that
    // never closes, loads text #1, which switches the display mode.
    void userActsDuringARun_data()
    {
        QTest::addColumn<bool>("words");
        QTest::addColumn<int>("closeAtYield");
        for (const char *column : {"ranges1", "listing1", "ranges2", "listing2"})
            QTest::addColumn<QString>(column);

        const QString onlyRange = QStringLiteral("%1+5").arg(longText1.size() - 5);
        const QString all2 = QStringLiteral("0+%1").arg(longText2.size());
        // clang-format off
        QTest::newRow("close while looking up text #1") << false << 5 << ""        << ""          << "" << "old 4";
        QTest::newRow("close in the second direction")  << false << 7 << onlyRange << "only1\r\n" << "" << "";
        QTest::newRow("close before the word start")    << true  << 1 << ""        << "old 3"     << "" << "old 4";
        // The word comparison's steps: text #1 compared, coloured, listed, then text #2.
        QTest::newRow("close after colouring text #1")  << true  << 3 << onlyRange << ""          << "" << "";
        // Listed as read at the start, coloured where the listed line stands in the loaded text;
        // the second direction reads both panes afresh.
        QTest::newRow("load during the run")            << false << 0 << "0+7 12+7" << "only1\r\n" << all2 << longText2 + u"\r\n"_s;
        // clang-format on
    }

    void userActsDuringARun()
    {
        QFETCH(bool, words);
        QFETCH(int, closeAtYield);
        Fixture fixture(longText1, longText2);
        MainWindow &window = fixture.window;
        const QTemporaryDir folder;
        const QString loaded = folder.filePath(u"loaded.txt"_s);
        QVERIFY(writeFile(loaded, "only1\r\nnew\r\nonly1"));
        fixture.test.dialog.answers.enqueue(loaded);
        int yields = 0;
        std::optional<PointerCode> pointerDuringRun;
        // Every yield first acts, with the yield's number counting from 1.
        const auto yield = [&] {
            const int yield = ++yields;
            if (yield == closeAtYield)
                window.close();
            if (closeAtYield == 0 && yield == 3)
                window.loadButton1->click();
            // The load has ended, the run has not: the wait pointer stays.
            if (closeAtYield == 0 && yield == 4)
                pointerDuringRun = window.mousePointer();
            return window.yieldToEventLoop();
        };
        PaneComparison comparison(
            {*window.textPane1, *window.textPane2, *window.resultPane1, *window.resultPane2},
            window, {yield, yield, std::chrono::milliseconds(0)});
        words ? comparison.compareWords() : comparison.compareLines();

        if (closeAtYield > 0) {
            QCOMPARE(yields, closeAtYield);
        } else {
            QVERIFY(pointerDuringRun == PointerCode::Wait && window.resultPane1->isHidden());
            // The selection stays on the last range coloured.
            QCOMPARE(
                QList<qsizetype>({window.textPane1->selStart(), window.textPane1->selLength()}),
                QList<qsizetype>({12, 7}));
        }
        QTEST(redRanges(*window.textPane1), "ranges1");
        QTEST(redRanges(*window.textPane2), "ranges2");
        QTEST(window.resultPane1->text(), "listing1");
        QTEST(window.resultPane2->text(), "listing2");
        QCOMPARE(window.mousePointer(), PointerCode::Default);
    }
};

QTEST_MAIN(TestPaneComparison)
#include "tst_panecomparison.moc"
