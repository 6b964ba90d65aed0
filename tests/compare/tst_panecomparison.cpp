#include "ComparisonText.h"
#include "TestServices.h"
#include "app/Form1.h"
#include "compare/PaneColouring.h"
#include "compare/PaneComparison.h"
#include "pane/RichTextPane.h"

#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

// The characters of the pane's text that are red, written as ranges.
QString redRanges(const RichTextPane &pane)
{
    QList<TextRange> ranges;
    const qsizetype length = pane.textLength();
    for (qsizetype i = 0; i < length; ++i) {
        if (pane.colorAt(i) != red)
            continue;
        if (!ranges.isEmpty() && ranges.back().start + ranges.back().length == i)
            ++ranges.back().length;
        else
            ranges.append({i, 1});
    }
    return rangeText(ranges);
}

QString numberedLines(const QString &prefix, int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines.append(prefix + QString::number(i));
    return lines.join(QStringLiteral("\r\n"));
}

// Texts long enough for the line comparison to yield several times in each direction when it
// yields after every chunk of work: 1 before starting, 2 and 3 while reading text #2, 4 and 5
// while looking up text #1's lines, 6 to 9 for the second direction.
const QString longText1 = numberedLines(QStringLiteral("k"), 5000) + QStringLiteral("\r\nonly1");
const QString longText2 = numberedLines(QStringLiteral("k"), 5000) + QStringLiteral("\r\nonly2");

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
    void linesAreColouredAndListed_data();
    void linesAreColouredAndListed();
    void lineComparisonKeepsEarlierRed();
    void wordsAreColouredAndListed_data();
    void wordsAreColouredAndListed();
    void wordMethodRunsNoWordComparison();
    void startClickDuringARunIsIgnored();
    void closingDuringALineComparisonStopsIt_data();
    void closingDuringALineComparisonStopsIt();
    void closingBeforeAWordComparisonStopsIt();
    void editedSourceIsColouredAsItIsNow();
    void displayModeCanChangeDuringARun();
};

void TestPaneComparison::linesAreColouredAndListed_data()
{
    addComparisonColumns();

    addComparisonRow("equal texts", "a\r\nb", "a\r\nb", "", "", "", "");
    addComparisonRow("same lines, other order", "a\r\nb", "b\r\na", "", "", "", "");
    addComparisonRow("a line missing on each side", "a\r\nb\r\nc", "a\r\nc\r\nd", "b\r\n", "3+3",
                     "d\r\n", "6+1");
    addComparisonRow("repeated line, last line without break", "x\r\nbox\r\nx", "box", "x\r\nx\r\n",
                     "0+3 8+1", "", "");
    addComparisonRow("second text empty", "x\r\n\r\ny", "", "x\r\n\r\ny\r\n", "0+6", "", "");
}

void TestPaneComparison::linesAreColouredAndListed()
{
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    Window window(text1, text2);
    Form1 &form = window.form;

    form.PushButton1->click();

    QTEST(form.RichTextBox3->text(), "listing1");
    QTEST(redRanges(*form.RichTextBox1), "ranges1");
    QTEST(form.RichTextBox4->text(), "listing2");
    QTEST(redRanges(*form.RichTextBox2), "ranges2");
    QCOMPARE(form.mousePointer(), Form1::defaultPointer);
}

void TestPaneComparison::lineComparisonKeepsEarlierRed()
{
    Window window(QStringLiteral("same\r\nx\r\nyz"), QStringLiteral("same\r\nyz"));
    Form1 &form = window.form;
    ColorRange(*form.RichTextBox1, 0, 2, red);
    ColorRange(*form.RichTextBox1, 9, 1, red);

    form.PushButton1->click();

    QCOMPARE(redRanges(*form.RichTextBox1), QStringLiteral("0+2 6+4"));
    QCOMPARE(form.RichTextBox3->text(), QStringLiteral("x\r\n"));
    // The selection stays on the last range coloured.
    QCOMPARE(form.RichTextBox1->selStart(), 6);
    QCOMPARE(form.RichTextBox1->selLength(), 3);
}

void TestPaneComparison::wordsAreColouredAndListed_data()
{
    addComparisonColumns();

    addComparisonRow("one word replaced", "the quick brown fox", "the quick red fox", "\r\nbrown",
                     "10+5", "\r\nred", "10+3");
    addComparisonRow("fewer lines on one side", "one two\r\nthree four\r\nfive", "one two\r\nthree",
                     "\r\nfour\r\nfive", "15+4 21+4", "", "");
    addComparisonRow("empty word is listed, colours nothing", "a  b", "a b", "\r\n", "", "", "");
    addComparisonRow("second text empty", "a b\r\nc", "", "\r\na\r\nb\r\nc", "0+1 2+1 5+1", "", "");
    addComparisonRow("equal texts", "x y\r\nz", "x y\r\nz", "", "", "", "");
}

void TestPaneComparison::wordsAreColouredAndListed()
{
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    Window window(text1, text2);
    Form1 &form = window.form;
    // Red from an earlier run is reset to black first.
    form.RichTextBox1->colorRanges({{0, text1.size()}}, red);
    form.RichTextBox2->colorRanges({{0, text2.size()}}, red);

    form.PushButton6->click();

    QTEST(form.RichTextBox3->text(), "listing1");
    QTEST(redRanges(*form.RichTextBox1), "ranges1");
    QTEST(form.RichTextBox4->text(), "listing2");
    QTEST(redRanges(*form.RichTextBox2), "ranges2");
    for (RichTextPane *pane : {form.RichTextBox1, form.RichTextBox2}) {
        for (qsizetype i = 0; i < pane->textLength(); ++i)
            QVERIFY(pane->colorAt(i) == red || pane->colorAt(i) == black);
    }
    QCOMPARE(form.mousePointer(), Form1::defaultPointer);
}

void TestPaneComparison::wordMethodRunsNoWordComparison()
{
    Window window(QStringLiteral("a b"), QStringLiteral("a c"));
    Form1 &form = window.form;
    form.Option4->click();
    ColorRange(*form.RichTextBox1, 0, 1, red);

    form.PushButton6->click();

    QCOMPARE(redRanges(*form.RichTextBox1), QStringLiteral("0+1"));
    QCOMPARE(redRanges(*form.RichTextBox2), QString());
    QCOMPARE(form.RichTextBox3->text(), QStringLiteral("old 3"));
    QCOMPARE(form.RichTextBox4->text(), QStringLiteral("old 4"));
}

void TestPaneComparison::startClickDuringARunIsIgnored()
{
    Window window(QStringLiteral("same\r\nx"), QStringLiteral("same"));
    Form1 &form = window.form;
    QSignalSpy resultChanges(form.RichTextBox4, &QPlainTextEdit::textChanged);
    form.PushButton1->click();
    const qsizetype changesOfOneRun = resultChanges.size();
    resultChanges.clear();
    ColorRange(*form.RichTextBox1, 0, 2, red);

    // Both start buttons are clicked while the run yields before its start.
    int nestedClicks = 0;
    QTimer::singleShot(0, &form, [&] {
        form.PushButton1->click();
        form.PushButton6->click();
        ++nestedClicks;
    });
    form.PushButton1->click();

    QCOMPARE(nestedClicks, 1);
    // A nested line comparison would have filled the result pane once more, a nested word
    // comparison would have turned the red of "sa" black.
    QCOMPARE(resultChanges.size(), changesOfOneRun);
    QCOMPARE(redRanges(*form.RichTextBox1), QStringLiteral("0+2 6+1"));
    QCOMPARE(form.RichTextBox3->text(), QStringLiteral("x\r\n"));

    // Once the run is over, the buttons work again.
    form.PushButton6->click();
    QCOMPARE(redRanges(*form.RichTextBox1), QStringLiteral("6+1"));
    QCOMPARE(form.RichTextBox3->text(), QStringLiteral("\r\nx"));
}

void TestPaneComparison::closingDuringALineComparisonStopsIt_data()
{
    QTest::addColumn<int>("closeAtYield");
    QTest::addColumn<QString>("ranges1");
    QTest::addColumn<QString>("listing1");
    QTest::addColumn<QString>("listing2");

    const QString onlyRange = QStringLiteral("%1+5").arg(longText1.size() - 5);
    // clang-format off
    QTest::newRow("before the start")         << 1 << ""        << "old 3"     << "old 4";
    QTest::newRow("while reading text #2")    << 2 << ""        << ""          << "old 4";
    QTest::newRow("while looking up text #1") << 5 << ""        << ""          << "old 4";
    QTest::newRow("in the second direction")  << 7 << onlyRange << "only1\r\n" << "";
    // clang-format on
}

void TestPaneComparison::closingDuringALineComparisonStopsIt()
{
    QFETCH(int, closeAtYield);
    Window window(longText1, longText2);
    Form1 &form = window.form;
    int yields = 0;

    window
        .comparison([&](int yield) {
            yields = yield;
            if (yield == closeAtYield)
                form.close();
        })
        .runLineComparison();

    QCOMPARE(yields, closeAtYield);
    QTEST(redRanges(*form.RichTextBox1), "ranges1");
    QCOMPARE(redRanges(*form.RichTextBox2), QString());
    QTEST(form.RichTextBox3->text(), "listing1");
    QTEST(form.RichTextBox4->text(), "listing2");
    QCOMPARE(form.mousePointer(), Form1::defaultPointer);
}

void TestPaneComparison::closingBeforeAWordComparisonStopsIt()
{
    Window window(QStringLiteral("a b"), QStringLiteral("a c"));
    Form1 &form = window.form;
    ColorRange(*form.RichTextBox1, 0, 1, red);

    window.comparison([&](int) { form.close(); }).runWordComparison();

    QCOMPARE(redRanges(*form.RichTextBox1), QStringLiteral("0+1"));
    QCOMPARE(form.RichTextBox3->text(), QStringLiteral("old 3"));
    QCOMPARE(form.RichTextBox4->text(), QStringLiteral("old 4"));
}

void TestPaneComparison::editedSourceIsColouredAsItIsNow()
{
    Window window(longText1, longText2);
    Form1 &form = window.form;
    const QString edited = QStringLiteral("only1\r\nnew\r\nk7\r\nonly1");

    window
        .comparison([&](int yield) {
            if (yield == 3)
                form.RichTextBox1->setText(edited);
        })
        .runLineComparison();

    // Listed as read at the start, coloured where the listed line stands in the edited text.
    QCOMPARE(form.RichTextBox3->text(), QStringLiteral("only1\r\n"));
    QCOMPARE(redRanges(*form.RichTextBox1), QStringLiteral("0+7 16+5"));
    // The second direction reads both panes afresh.
    const qsizetype k7 = longText2.indexOf(QStringLiteral("\r\nk7\r\n")) + 2;
    QCOMPARE(form.RichTextBox4->text(),
             longText2.left(k7) + longText2.sliced(k7 + 4) + QStringLiteral("\r\n"));
}

void TestPaneComparison::displayModeCanChangeDuringARun()
{
    Window window(longText1, longText2);
    Form1 &form = window.form;
    form.Option2->click();
    int pointerDuringRun = -1;

    window
        .comparison([&](int yield) {
            if (yield == 4) {
                pointerDuringRun = form.mousePointer();
                form.Option1->click();
            }
        })
        .runLineComparison();

    QCOMPARE(pointerDuringRun, Form1::waitPointer);
    QCOMPARE(form.mousePointer(), Form1::defaultPointer);
    QVERIFY(!form.RichTextBox1->isHidden());
    QVERIFY(form.RichTextBox3->isHidden());
    QCOMPARE(window.test.settings.stored("Option1"), QStringLiteral("True"));
    QCOMPARE(form.RichTextBox3->text(), QStringLiteral("only1\r\n"));
    QCOMPARE(form.RichTextBox4->text(), QStringLiteral("only2\r\n"));
    QCOMPARE(redRanges(*form.RichTextBox2), QStringLiteral("%1+5").arg(longText2.size() - 5));
}

QTEST_MAIN(TestPaneComparison)
#include "tst_panecomparison.moc"
