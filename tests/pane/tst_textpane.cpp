#include "PaneTextReference.h"
#include "pane/TextPane.h"

#include <QtTest>
#include <QtWidgets>

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

int pixelsOf(QWidget *widget, const QColor &colour)
{
    const QImage image = widget->grab().toImage();
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y) == colour;
    return count;
}

bool shown(QWidget &widget)
{
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
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
            const qsizetype start = random.bounded(int(ref.text.size()));
            const qsizetype length = random.bounded(int(ref.text.size() - start) + 3);
            const qsizetype s = ref.snap(start);
            // The selection's length counts from its snapped start; byte positions are whole
            // characters, but may fall between CR and LF.
            const qsizetype e = ref.snap(round % 2 ? start + length : s + length);
            if (round % 2) {
                pane.setUtf8Text(raw.toUtf8());
                const qsizetype from = ref.bytes[start];
                pane.colorByteRanges(
                    {{from, ref.bytes[qMin(start + length, ref.text.size())] - from}}, red);
            } else {
                pane.setText(raw);
                pane.setSelStart(start);
                pane.setSelLength(length);
                QCOMPARE(QList<qsizetype>({pane.selStart(), pane.selLength()}),
                         QList<qsizetype>({s, e - s}));
                pane.setSelColor(red);
            }
            for (qsizetype i = 0; i < ref.text.size(); ++i)
                QVERIFY2((pane.colorAt(i) == red) == (ref.lead(i) >= s && ref.lead(i) < e),
                         qPrintable(u"round %1 at %2"_s.arg(round).arg(i)));
        }
    }

    // Keys do what they do in a plain text box, from a caret at an index: the text and the
    // selection after the keys and then the typed text. Right-to-left lines move visually (Left
    // goes forward in Hebrew), a surrogate pair and a CR LF are one step.
    void keysEditAsInAPlainTextBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QList<qsizetype>>("selection"); // start and length afterwards
        const auto row = [](const char *name, const QString &text, int caret, QKeySequence keys,
                            const QString &typed, const QString &expected, qsizetype start,
                            qsizetype length = 0) {
            QTest::newRow(name) << text << caret << keys << typed << expected
                                << QList<qsizetype>{start, length};
        };
        const QString hebrew = u"\u05e9\u05dc\u05d5\u05dd"_s;
        // clang-format off
        row("Home to the line start", u"a\n  b"_s, 6, Qt::Key_Home, u"x"_s, u"a\r\nx  b"_s, 4);
        row("no line cut, swap or duplicate", u"a\nb"_s, 4, QKeySequence(Qt::CTRL | Qt::Key_L, Qt::CTRL | Qt::Key_T, Qt::CTRL | Qt::Key_D), u"x"_s, u"a\r\nbx"_s, 5);
        row("Shift+Home then typing replaces", u"a\n  b"_s, 6, Qt::SHIFT | Qt::Key_Home, u"x"_s, u"a\r\nx"_s, 4);
        row("Shift+End selects", u"ab\r\ncd"_s, 4, Qt::SHIFT | Qt::Key_End, QString(), u"ab\r\ncd"_s, 4, 2);
        row("Backspace takes a surrogate pair", u"a\U0001F600b"_s, 3, Qt::Key_Backspace, QString(), u"ab"_s, 1);
        row("Delete takes a surrogate pair", u"a\U0001F600b"_s, 1, Qt::Key_Delete, QString(), u"ab"_s, 1);
        row("Right steps over a surrogate pair", u"\U0001F600x"_s, 0, Qt::Key_Right, u"|"_s, u"\U0001F600|x"_s, 3);
        row("Shift+Right twice selects a pair and more", u"\U0001F600xy"_s, 0, QKeySequence(Qt::SHIFT | Qt::Key_Right, Qt::SHIFT | Qt::Key_Right), QString(), u"\U0001F600xy"_s, 0, 3);
        row("Backspace at a line start joins the lines", u"ab\r\ncd"_s, 4, Qt::Key_Backspace, QString(), u"abcd"_s, 2);
        row("Delete at a line end joins the lines", u"ab\r\ncd"_s, 2, Qt::Key_Delete, QString(), u"abcd"_s, 2);
        row("Right at a line end goes past the CR LF", u"ab\r\ncd"_s, 2, Qt::Key_Right, u"x"_s, u"ab\r\nxcd"_s, 5);
        row("Enter types CR LF", u"ab"_s, 1, Qt::Key_Return, QString(), u"a\r\nb"_s, 3);
        row("Tab types a tab", u"ab"_s, 1, Qt::Key_Tab, QString(), u"a\tb"_s, 2);
        row("Left in Hebrew goes forward", hebrew, 0, Qt::Key_Left, u"|"_s, hebrew.left(1) + u'|' + hebrew.mid(1), 2);
        row("Right at a Hebrew line's start goes to the line before", u"ab\r\n"_s + hebrew, 4, Qt::Key_Right, u"x"_s, u"abx\r\n"_s + hebrew, 3);
        row("Ctrl+Right by word", u"one two"_s, 0, Qt::CTRL | Qt::Key_Right, u"x"_s, u"one xtwo"_s, 5);
        row("Ctrl+Left by word", u"one two"_s, 7, Qt::CTRL | Qt::Key_Left, u"x"_s, u"one xtwo"_s, 5);
        row("Ctrl+Backspace takes a word", u"one two"_s, 7, Qt::CTRL | Qt::Key_Backspace, QString(), u"one "_s, 4);
        row("Down keeps the column past a short line", u"abcd\nx\nabcd"_s, 3, QKeySequence(QKeyCombination(Qt::Key_Down), QKeyCombination(Qt::Key_Down)), u"|"_s, u"abcd\r\nx\r\nabc|d"_s, 13);
        row("Up from the first line stays on it", u"abcd"_s, 2, Qt::Key_Up, QString(), u"abcd"_s, 2);
        row("Ctrl+Home and Ctrl+Shift+End select all", u"a\nb"_s, 2, QKeySequence(Qt::CTRL | Qt::Key_Home, Qt::CTRL | Qt::SHIFT | Qt::Key_End), QString(), u"a\r\nb"_s, 0, 4);
        row("Ctrl+A then Delete empties", u"a\nb"_s, 1, QKeySequence(Qt::CTRL | Qt::Key_A, QKeyCombination(Qt::Key_Delete)), QString(), QString(), 0);
        row("undo takes back typing", u"new"_s, 3, QKeySequence(QKeyCombination(Qt::Key_X), QKeyCombination(Qt::Key_Y), Qt::CTRL | Qt::Key_Z, QKeyCombination(Qt::Key_Z)), QString(), u"newz"_s, 4);
        row("undo restores the selection typed over", u"abcd"_s, 1, QKeySequence(Qt::SHIFT | Qt::Key_Right, Qt::SHIFT | Qt::Key_Right, QKeyCombination(Qt::Key_X), Qt::CTRL | Qt::Key_Z), QString(), u"abcd"_s, 1, 2);
        row("nothing to undo from before the text was set", u"new"_s, 3, Qt::CTRL | Qt::Key_Z, u"y"_s, u"newy"_s, 4);
        // clang-format on
    }

    void keysEditAsInAPlainTextBox()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QKeySequence, keys);
        QFETCH(QString, typed);
        TextPane pane;
        pane.resize(200, 9 * QFontMetrics(pane.font()).lineSpacing() + 12);
        QVERIFY(shown(pane));
        pane.setText(text);
        pane.setSelStart(caret);
        QTest::keySequence(&pane, keys);
        QTest::keyClicks(&pane, typed);
        QTEST(pane.text(), "expected");
        QTEST(QList<qsizetype>({pane.selStart(), pane.selLength()}), "selection");
    }

    // The mouse selects as in a text box: a click sets the caret where it was drawn, also in a
    // right-to-left run or at a surrogate pair; two clicks take a word, three a line with its
    // break; Shift+click and a drag extend, a drag after two clicks by whole words.
    void mouseSelects_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("press"); // the caret position clicked
        QTest::addColumn<int>("clicks");
        QTest::addColumn<int>("shiftClick"); // -1 for none
        QTest::addColumn<int>("dragTo");     // -1 for none
        QTest::addColumn<QList<qsizetype>>("selection");
        const QString mixed = u"ab \u05d0\u05d1\u05d2 \u05d3\u05d4 cd"_s;
        // clang-format off
        QTest::newRow("click") << u"hello"_s << 2 << 1 << -1 << -1 << QList<qsizetype>{2, 0};
        QTest::newRow("click in Hebrew") << mixed << 4 << 1 << -1 << -1 << QList<qsizetype>{4, 0};
        QTest::newRow("click after a surrogate pair") << u"\U0001F600\U0001F600x"_s << 2 << 1 << -1 << -1 << QList<qsizetype>{2, 0};
        QTest::newRow("double click, word") << u"one two three"_s << 5 << 2 << -1 << -1 << QList<qsizetype>{4, 3};
        QTest::newRow("double click, Hebrew word") << mixed << 4 << 2 << -1 << -1 << QList<qsizetype>{3, 3};
        QTest::newRow("triple click, line") << u"ab\r\ncd\r\nef"_s << 5 << 3 << -1 << -1 << QList<qsizetype>{4, 4};
        QTest::newRow("shift click") << u"hello world"_s << 1 << 1 << 7 << -1 << QList<qsizetype>{1, 6};
        QTest::newRow("shift click into Hebrew") << mixed << 1 << 1 << 5 << -1 << QList<qsizetype>{1, 4};
        QTest::newRow("drag") << u"hello world"_s << 7 << 1 << -1 << 1 << QList<qsizetype>{1, 6};
        QTest::newRow("drag by words") << u"one two three"_s << 1 << 2 << -1 << 9 << QList<qsizetype>{0, 13};
        // clang-format on
    }

    void mouseSelects()
    {
        QFETCH(QString, text);
        QFETCH(int, press);
        QFETCH(int, clicks);
        QFETCH(int, shiftClick);
        QFETCH(int, dragTo);
        TextPane pane;
        pane.resize(400, 100);
        QVERIFY(shown(pane));
        pane.setText(text);
        QAccessibleTextInterface *access =
            QAccessible::queryAccessibleInterface(&pane)->textInterface();
        // Where the caret at index i is drawn: at the leading edge of the character there.
        const auto at = [&](int i) {
            const QRect r = access->characterRect(i);
            const bool rtl = i < text.size() && text[i].direction() == QChar::DirR;
            return pane.viewport()->mapFromGlobal(
                QPoint(rtl ? r.right() - r.width() / 4 : r.left() + r.width() / 4, r.center().y()));
        };
        QWidget *area = pane.viewport();
        // A drag continues the last press: the double click's, for a drag by words.
        QTest::mouseClick(area, Qt::LeftButton, {}, at(press));
        if (dragTo >= 0)
            QTest::mousePress(area, Qt::LeftButton, {}, at(press));
        if (clicks >= 2)
            QTest::mouseDClick(area, Qt::LeftButton, {}, at(press));
        if (clicks == 3)
            QTest::mouseClick(area, Qt::LeftButton, {}, at(press));
        if (shiftClick >= 0)
            QTest::mouseClick(area, Qt::LeftButton, Qt::ShiftModifier, at(shiftClick));
        if (dragTo >= 0) {
            QMouseEvent move(QEvent::MouseMove, at(dragTo), area->mapToGlobal(at(dragTo)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(area, &move);
            QTest::mouseRelease(area, Qt::LeftButton, {}, at(dragTo));
        }
        QTEST(QList<qsizetype>({pane.selStart(), pane.selLength()}), "selection");
    }

    // A line far longer than any screen is drawn and edited whole: End then typing puts the
    // character at the line's end, and red far along the line shows where the caret takes the
    // view.
    void longLineIsDrawnAndEditedWhole()
    {
        // Narrow at first, so that what the start says of the width is wrong further on, and
        // ending a few bytes into a piece of its own, so that the caret's piece is not all that
        // is drawn at its end.
        const QByteArray line =
            QByteArray("il ").repeated(2000) + QByteArray("word ").repeated(80722);
        TextPane pane;
        pane.setFont(QFont(QStringLiteral("Arial"), 12));
        pane.resize(400, 100);
        QVERIFY(shown(pane));
        pane.setUtf8Text(line);
        pane.setFocus();
        QTest::keyClick(&pane, Qt::Key_End);
        QTest::keyClicks(&pane, u"X"_s);
        QCOMPARE(pane.utf8Bytes(), line + 'X');
        // Drawing measures the part of the line on screen.
        QVERIFY(pixelsOf(pane.viewport(), pane.palette().color(QPalette::Text)) > 20);
        const QRect caret = pane.inputMethodQuery(Qt::ImCursorRectangle).toRect();
        QVERIFY(pane.viewport()->geometry().contains(caret.center()));
        pane.colorByteRanges({{366000, 60}}, red);
        QCOMPARE(pixelsOf(pane.viewport(), red), 0);
        pane.selectBytes(366000, 366000);
        QVERIFY(pixelsOf(pane.viewport(), red) > 20);
        // A new text starts at its left edge.
        pane.setText(u"new"_s);
        QCOMPARE(pane.horizontalScrollBar()->value(), 0);
    }

    // An input method's pre-edit shows without entering the text; its commit enters it, as one
    // step for undo. Colouring from code leaves nothing to undo (the keys above check that
    // setting the text does not either). A screen reader sees UTF-16 offsets, also once the
    // user has typed.
    void inputMethodsAndScreenReaders()
    {
        TextPane pane;
        QVERIFY(shown(pane));
        pane.setText(u"ab"_s);
        pane.setSelStart(1);
        QInputMethodEvent preedit(u"zhong"_s, {});
        QCoreApplication::sendEvent(&pane, &preedit);
        QCOMPARE(pane.text(), u"ab"_s);
        QVERIFY(pane.inputMethodQuery(Qt::ImEnabled).toBool());
        QInputMethodEvent commit;
        commit.setCommitString(u"\u4e2d\U00020000"_s);
        QCoreApplication::sendEvent(&pane, &commit);
        QCOMPARE(pane.inputMethodQuery(Qt::ImSurroundingText).toString(), u"a\u4e2d\U00020000b"_s);
        QCOMPARE(QList<qsizetype>(
                     {pane.selStart(), pane.inputMethodQuery(Qt::ImCursorPosition).toInt()}),
                 QList<qsizetype>({4, 4}));
        QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pane.text(), u"ab"_s);
        QTest::keyClick(&pane, Qt::Key_End);
        QTest::keyClicks(&pane, u"y"_s);
        pane.colorByteRanges({{0, 2}}, red);
        QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pane.text(), u"aby"_s);

        QAccessibleTextInterface *text =
            QAccessible::queryAccessibleInterface(&pane)->textInterface();
        pane.setText(u"\u00e9t\u00e9\nX"_s);
        QCOMPARE(text->text(0, text->characterCount()), pane.text());
        pane.setSelStart(5);
        pane.setSelLength(1);
        int start = -1, end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(QList<int>({start, end, text->cursorPosition()}), QList<int>({5, 6, 6}));
        pane.setSelStart(0);
        QTest::sendKeyEvent(QTest::Click, &pane, Qt::Key_Eacute, u"\u00e9"_s, Qt::NoModifier);
        text->setSelection(0, 6, 7);
        QCOMPARE(QList<qsizetype>({pane.selStart(), pane.selLength(), pane.textLength()}),
                 QList<qsizetype>({6, 1, 7}));
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
        const auto shows = [&](const QColor &colour) { return pixelsOf(pane, colour) > 20; };

        other->setFocus();
        QVERIFY(shows(red) && !shows(highlight));
        pane->hide();
        pane->show();
        QVERIFY(pane->text() == u"MMMMMMMM"_s && pane->selStart() == 0 && pane->selLength() == 8 &&
                pane->colorAt(7) == red);
        pane->setFocus();
        QTRY_VERIFY(pane->hasFocus());
        QVERIFY(shows(highlight) && !shows(red));
        other->setFocus();
        QTRY_VERIFY(!pane->hasFocus());
        QVERIFY(shows(red) && !shows(highlight));
    }

    // Kept in twips, shown in whole pixels; a value no pane can take is refused and changes
    // nothing. A pane may start left of its window.
    void geometryIsKeptInTwips()
    {
        QWidget window;
        TextPane pane(&window);
        QVERIFY(pane.setWidthTwips(4270.5f) && pane.setLeftTwips(-300));
        QCOMPARE(pane.width(), int(std::lround(4270.5f * pane.logicalDpiX() / 1440)));
        QVERIFY(!pane.setWidthTwips(-180) && !pane.setLeftTwips(float(QWIDGETSIZE_MAX) * 2) &&
                !pane.setHeightTwips(std::numeric_limits<float>::quiet_NaN()));
        QCOMPARE(QList<float>({pane.leftTwips(), pane.widthTwips()}),
                 QList<float>({-300, 4270.5f}));
    }
};

QTEST_MAIN(TestTextPane)
#include "tst_textpane.moc"
