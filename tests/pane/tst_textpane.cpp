#include "PaneTextReference.h"
#include "pane/TextPane.h"

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

const QColor red(255, 0, 0);

QString randomText(QRandomGenerator &random)
{
    static const QStringList pieces = u"a|\t| |\u00a0|\u00e9|\u20ac|\U0001F600|\r|\n"_s.split(u'|');
    QString text;
    for (int n = random.bounded(1, 30); n > 0; --n)
        text += pieces[random.bounded(int(pieces.size()))];
    return text;
}

int pixelsOf(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

} // namespace

class TestTextPane : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Random texts with non-ASCII, lone breaks and surrogate pairs, set on one pane in turn so
    // that each also checks that new text drops the old colours, coloured through the selection
    // and through byte ranges, empty ones included.
    void textsColourBySelectionAndByte()
    {
        QRandomGenerator random(7);
        TextPane pane;
        for (int round = 0; round < 300; ++round) {
            const QString raw = randomText(random);
            const PaneTextReference ref(raw);
            if (round % 2)
                pane.setUtf8Text(raw.toUtf8());
            else
                pane.setText(raw);
            const qsizetype start = random.bounded(int(ref.text.size()));
            const qsizetype length = random.bounded(int(ref.text.size() - start) + 3);
            const qsizetype s = ref.snap(start);
            qsizetype e = ref.snap(start + length);
            if (round % 2 == 0) { // the selection's length counts from its snapped start
                e = ref.snap(s + length);
                pane.setSelStart(start);
                pane.setSelLength(length);
                QCOMPARE(pane.selStart(), s);
                QCOMPARE(pane.selLength(), e - s);
                pane.setSelColor(red);
            } else { // byte positions are whole characters, but may fall between CR and LF
                const auto byteAt = [&](qsizetype i) {
                    return ref.bytes[qMin(i, ref.text.size())];
                };
                pane.colorByteRanges({{byteAt(start), byteAt(start + length) - byteAt(start)}},
                                     red);
            }
            for (qsizetype i = 0; i < ref.text.size(); ++i)
                QVERIFY2((pane.colorAt(i) == red) == (ref.lead(i) >= s && ref.lead(i) < e),
                         qPrintable(u"round %1 at %2"_s.arg(round).arg(i)));
        }
    }

    // A line too long to be shown whole keeps its hidden end in the text, where it takes colour
    // as any text does.
    void longLineIsKeptWholeAndScrollsToItsWidestPart()
    {
        const QString text =
            u"line \u00e9\r\n"_s.repeated(50000) + QString(3000, u'W') + QString(300000, u'x');
        TextPane pane;
        pane.resize(300, 200);
        pane.setText(text);
        QCOMPARE(pane.text(), text);
        pane.setSelStart(text.size() - 1);
        pane.setSelLength(1);
        pane.setSelColor(red);
        QVERIFY(pane.colorAt(text.size() - 1) == red && pane.colorAt(text.size() - 2) != red);

        // The last line, never drawn, is the widest: its shown part is reachable.
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        const qreal lineWidth = QFontMetricsF(pane.font()).horizontalAdvance(QString(3000, u'W'));
        QVERIFY(pane.horizontalScrollBar()->maximum() + pane.viewport()->width() >= lineWidth);
        pane.horizontalScrollBar()->setValue(pane.horizontalScrollBar()->maximum());
        pane.setText(u"new"_s);
        QCOMPARE(pane.horizontalScrollBar()->value(), 0);
    }

    // Keys do what they do in a plain text box, not what they do in a code editor.
    void keysEditAsInAPlainTextBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Home to the line start")
            << "a\n  b" << QKeySequence(Qt::Key_Home) << "a\r\nx  b";
        QTest::newRow("no line cut, swap or duplicate")
            << "a\nb"
            << QKeySequence(Qt::CTRL | Qt::Key_L, Qt::CTRL | Qt::Key_T, Qt::CTRL | Qt::Key_D)
            << "a\r\nbx";
        QTest::newRow("Shift+Home selects to the line start")
            << "a\n  b" << QKeySequence(Qt::SHIFT | Qt::Key_Home) << "a\r\nx";
    }

    void keysEditAsInAPlainTextBox()
    {
        QFETCH(QString, text);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, expected);
        TextPane pane;
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        pane.setText(text);
        pane.setSelStart(pane.textLength());
        QTest::keySequence(&pane, keys);
        QTest::keyClicks(&pane, u"x"_s);
        QCOMPARE(pane.text(), expected);
    }

    // Typed and pasted line breaks read back as CR LF; undo takes back the user's typing only,
    // and none from before the text was last set or coloured from code.
    void userInputIsTakenReportedAndAccessible()
    {
        TextPane pane;
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QSignalSpy moved(&pane, &TextPane::mouseMoved);
        QTest::mouseMove(pane.viewport(), QPoint(10, 10));
        QTest::mouseMove(pane.viewport(), QPoint(20, 12));
        QCOMPARE(moved.count(), 2);
        QTest::keyClicks(&pane, u"ab"_s);
        QTest::keyClick(&pane, Qt::Key_Return);
        QTest::keyClicks(&pane, u"c"_s);
        QCOMPARE(pane.text(), QStringLiteral("ab\r\nc"));
        QGuiApplication::clipboard()->setText(QStringLiteral("\r\nd\re\nf"));
        pane.paste();
        QCOMPARE(pane.text(), QStringLiteral("ab\r\nc\r\nd\r\ne\r\nf"));
        pane.setText(QStringLiteral("new"));
        QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pane.text(), QStringLiteral("new"));
        QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(&pane, u"x"_s);
        QCOMPARE(pane.text(), QStringLiteral("newx"));
        QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pane.text(), QStringLiteral("new"));
        QTest::keyClicks(&pane, u"y"_s);
        pane.colorByteRanges({{0, 2}}, red);
        QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pane.text(), QStringLiteral("newy"));

        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&pane);
        QVERIFY(accessible && accessible->textInterface());
        QAccessibleTextInterface *text = accessible->textInterface();
        pane.setText(QStringLiteral("\u00e9t\u00e9\nX"));
        QCOMPARE(text->text(0, text->characterCount()), pane.text());
        // UTF-16 offsets, also once the user has typed before them.
        pane.setSelStart(5);
        pane.setSelLength(1);
        int start = -1, end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(QList<int>({start, end, text->cursorPosition()}), QList<int>({5, 6, 6}));
        pane.setSelStart(0);
        QTest::sendKeyEvent(QTest::Click, &pane, Qt::Key_Eacute, u"\u00e9"_s, Qt::NoModifier);
        text->setSelection(0, 6, 7);
        QCOMPARE(QList<qsizetype>({pane.selStart(), pane.selLength()}), QList<qsizetype>({6, 1}));
        QCOMPARE(pane.textLength(), 7);
    }

    // A comparison's selected range shows red until the user gives the pane the focus; hiding
    // the pane keeps text, colour and selection.
    void selectionShowsOnlyWithFocus()
    {
        QWidget window;
        auto *other = new QWidget(&window);
        other->setFocusPolicy(Qt::StrongFocus);
        auto *pane = new TextPane(&window);
        pane->setGeometry(0, 0, 300, 60);
        pane->setFont(QFont(QStringLiteral("Arial"), 20));
        other->setGeometry(0, 80, 10, 10);
        window.resize(320, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        pane->setText(QStringLiteral("MMMMMMMM"));
        pane->colorByteRanges({{0, 8}}, red);
        pane->setSelStart(0);
        pane->setSelLength(8);
        const QColor highlight = pane->palette().color(QPalette::Highlight);
        const auto shows = [&](const QColor &colour) {
            return pixelsOf(pane->grab().toImage(), colour) > 20;
        };

        other->setFocus();
        QVERIFY(shows(red) && !shows(highlight));
        pane->hide();
        pane->show();
        QCOMPARE(pane->text(), QStringLiteral("MMMMMMMM"));
        QVERIFY(pane->selStart() == 0 && pane->selLength() == 8 && pane->colorAt(7) == red);
        pane->setFocus();
        QTRY_VERIFY(pane->hasFocus());
        QVERIFY(shows(highlight) && !shows(red));
        other->setFocus();
        QTRY_VERIFY(!pane->hasFocus());
        QVERIFY(shows(red) && !shows(highlight));
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
        QVERIFY(!pane.setLeftTwips(float(QWIDGETSIZE_MAX) * 2));
        for (const float invalid : {-180.0f, std::numeric_limits<float>::quiet_NaN()})
            QVERIFY(!pane.setWidthTwips(invalid) && !pane.setHeightTwips(invalid));
        QCOMPARE(pane.widthTwips(), 0.0f); // a rejected value leaves the pane as it was
        QCOMPARE(pane.leftTwips(), -300.0f);
    }
};

QTEST_MAIN(TestTextPane)
#include "tst_textpane.moc"
