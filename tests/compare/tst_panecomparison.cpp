#include "ComparisonText.h"
#include "TestServices.h"
#include "app/Form1.h"
#include "compare/PaneColouring.h"
#include "compare/PaneComparison.h"
#include "pane/RichTextPane.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

// The red characters of the pane, read back from it and written as ranges.
QString redRanges(const RichTextPane &pane)
{
    QList<TextRange> ranges;
    for (qsizetype i = 0; i < pane.textLength(); ++i) {
        if (pane.colorAt(i) != red)
            continue;
        if (ranges.isEmpty() || ranges.back().start + ranges.back().length < i)
            ranges.append({i, 0});
        ++ranges.back().length;
    }
    return rangeText(ranges);
}

// Long enough for the line comparison to yield several times in each direction when it yields
// after every chunk of work: 1 before starting, 2 and 3 while reading text #2, 4 and 5 while
// looking up text #1's lines, 6 to 9 for the second direction.
const QString longText1 = QStringLiteral("k\r\n").repeated(5000) + QStringLiteral("only1");
const QString longText2 = QStringLiteral("k\r\n").repeated(5000) + QStringLiteral("only2");

struct Window
{
    TestServices test;
    Form1 form{test.services};

    Window(const QString &text1, const QString &text2)
    {
        form.show();
        form.RichTextBox1->setText(text1);
        form.RichTextBox2->setText(text2);
        form.RichTextBox3->setText(QStringLiteral("old 3"));
        form.RichTextBox4->setText(QStringLiteral("old 4"));
    }

    // A run whose every yield first calls act with the yield's number, counting from 1.
    PaneComparison comparison(std::function<void(int)> act)
    {
        return PaneComparison(
            form,
            [this, act, count = 0]() mutable {
                act(++count);
                return form.yieldToEventLoop();
            },
            std::chrono::milliseconds(0));
    }
};

} // namespace

class TestPaneComparison : public QObject
{
    Q_OBJECT

private slots:
    void startButtonsColourAndList_data()
    {
        QTest::addColumn<bool>("words");
        addComparisonColumns();
        // Each run starts with the first character of both texts red: the line comparison leaves
        // it, the word comparison first turns everything black.
        // clang-format off
        QTest::newRow("lines: one missing on each side") << false << "a\r\nb\r\nc" << "a\r\nc\r\nd" << "b\r\n" << "0+1 3+3" << "d\r\n" << "0+1 6+1";
        QTest::newRow("lines: repeated, not in a longer") << false << "x\r\nbox\r\nx" << "box" << "x\r\nx\r\n" << "0+3 8+1" << "" << "0+1";
        QTest::newRow("lines: second text empty")       << false << "x\r\n\r\ny" << "" << "x\r\n\r\ny\r\n" << "0+6" << "" << "";
        QTest::newRow("words: one replaced")            << true << "the quick brown fox" << "the quick red fox" << "\r\nbrown" << "10+5" << "\r\nred" << "10+3";
        QTest::newRow("words: empty word colours nothing") << true << "a  b" << "a b" << "\r\n" << "" << "" << "";
        QTest::newRow("words: second text empty")       << true << "a b\r\nc" << "" << "\r\na\r\nb\r\nc" << "0+1 2+1 5+1" << "" << "";
        // clang-format on
    }

    void startButtonsColourAndList()
    {
        QFETCH(bool, words);
        QFETCH(QString, text1);
        QFETCH(QString, text2);
        Window window(text1, text2);
        Form1 &form = window.form;
        ColorRange(*form.RichTextBox1, 0, 1, red);
        ColorRange(*form.RichTextBox2, 0, 1, red);

        (words ? form.PushButton6 : form.PushButton1)->click();

        QTEST(form.RichTextBox3->text(), "listing1");
        QTEST(redRanges(*form.RichTextBox1), "ranges1");
        QTEST(form.RichTextBox4->text(), "listing2");
        QTEST(redRanges(*form.RichTextBox2), "ranges2");
        QCOMPARE(form.mousePointer(), Form1::defaultPointer);
    }

    void startClickDuringARunIsIgnored()
    {
        Window window(QStringLiteral("same\r\nx"), QStringLiteral("same"));
        Form1 &form = window.form;
        ColorRange(*form.RichTextBox1, 0, 2, red);
        // Both start buttons are clicked while the run yields before its start: either nested run
        // would fill the result pane there and then.
        QString resultDuringRun;
        QTimer::singleShot(0, &form, [&] {
            form.PushButton1->click();
            form.PushButton6->click();
            resultDuringRun = form.RichTextBox3->text();
        });
        form.PushButton1->click();

        QCOMPARE(resultDuringRun, QStringLiteral("old 3"));
        QCOMPARE(redRanges(*form.RichTextBox1), QStringLiteral("0+2 6+1"));
        QCOMPARE(form.RichTextBox3->text(), QStringLiteral("x\r\n"));
        // The selection stays on the last range coloured.
        QCOMPARE(form.RichTextBox1->selStart(), 6);
        QCOMPARE(form.RichTextBox1->selLength(), 1);

        // Once the run is over, the buttons work again.
        form.PushButton6->click();
        QCOMPARE(form.RichTextBox3->text(), QStringLiteral("\r\nx"));
    }

    void closingDuringARunStopsIt_data()
    {
        QTest::addColumn<bool>("words");
        QTest::addColumn<int>("closeAtYield");
        QTest::addColumn<QString>("ranges1");
        QTest::addColumn<QString>("listing1");
        QTest::addColumn<QString>("listing2");

        const QString onlyRange = QStringLiteral("%1+5").arg(longText1.size() - 5);
        // clang-format off
        QTest::newRow("lines, before the start")         << false << 1 << ""        << "old 3"     << "old 4";
        QTest::newRow("lines, while reading text #2")    << false << 2 << ""        << ""          << "old 4";
        QTest::newRow("lines, while looking up text #1") << false << 5 << ""        << ""          << "old 4";
        QTest::newRow("lines, in the second direction")  << false << 7 << onlyRange << "only1\r\n" << "";
        QTest::newRow("words, before the start")         << true  << 1 << ""        << "old 3"     << "old 4";
        // clang-format on
    }

    void closingDuringARunStopsIt()
    {
        QFETCH(bool, words);
        QFETCH(int, closeAtYield);
        Window window(longText1, longText2);
        Form1 &form = window.form;
        int yields = 0;
        PaneComparison comparison = window.comparison([&](int yield) {
            yields = yield;
            if (yield == closeAtYield)
                form.close();
        });

        words ? comparison.runWordComparison() : comparison.runLineComparison();

        QCOMPARE(yields, closeAtYield);
        QTEST(redRanges(*form.RichTextBox1), "ranges1");
        QCOMPARE(redRanges(*form.RichTextBox2), QString());
        QTEST(form.RichTextBox3->text(), "listing1");
        QTEST(form.RichTextBox4->text(), "listing2");
        QCOMPARE(form.mousePointer(), Form1::defaultPointer);
    }

    // During the yields of a run the user edits a source pane and switches the display mode.
    void userActsDuringARun()
    {
        Window window(longText1, longText2);
        Form1 &form = window.form;
        int pointerDuringRun = -1;
        window
            .comparison([&](int yield) {
                if (yield == 3)
                    form.RichTextBox1->setText(QStringLiteral("only1\r\nnew\r\nonly1"));
                if (yield == 4) {
                    pointerDuringRun = form.mousePointer();
                    form.Option1->click();
                }
            })
            .runLineComparison();

        QCOMPARE(pointerDuringRun, Form1::waitPointer);
        QCOMPARE(form.mousePointer(), Form1::defaultPointer);
        QVERIFY(!form.RichTextBox1->isHidden() && form.RichTextBox3->isHidden());
        QCOMPARE(window.test.settings.stored("Option1"), QStringLiteral("True"));
        // Listed as read at the start, coloured where the listed line stands in the edited text.
        QCOMPARE(form.RichTextBox3->text(), QStringLiteral("only1\r\n"));
        QCOMPARE(redRanges(*form.RichTextBox1), QStringLiteral("0+7 12+5"));
        // The second direction reads both panes afresh.
        QCOMPARE(form.RichTextBox4->text(), longText2 + QStringLiteral("\r\n"));
        QCOMPARE(redRanges(*form.RichTextBox2), QStringLiteral("0+%1").arg(longText2.size()));
    }
};

QTEST_MAIN(TestPaneComparison)
#include "tst_panecomparison.moc"
