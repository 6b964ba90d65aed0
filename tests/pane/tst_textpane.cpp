#include "pane/TextPane.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

const QColor red(255, 0, 0);

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

    // Keys and the mouse do what they do in a plain text box, from a caret at an index: the text
    // and the selection after the input and then the typed text. The input is a key sequence, or
    // mouse gestures at caret positions: a click, a double or triple click, a Shift+click, or a
    // drag from the last press. Right-to-left lines move visually (Left goes forward in Hebrew),
    // and a click there lands where the caret was drawn; a surrogate pair and a CR LF are one step.
    void inputEditsAsInAPlainTextBox_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QList<qsizetype>>("selection"); // start and length afterwards
        const auto row = [](const char *name, const QString &text, int caret, const QString &input,
                            const QString &typed, const QString &expected, qsizetype start,
                            qsizetype length = 0) {
            QTest::newRow(name) << text << caret << input << typed << expected
                                << QList<qsizetype>{start, length};
        };
        const QString hebrew = u"\u05e9\u05dc\u05d5\u05dd"_s;
        const QString mixed = u"ab \u05d0\u05d1\u05d2 \u05d3\u05d4 cd"_s;
        // clang-format off
        row("Shift+Home then typing replaces", u"a\n  b"_s, 6, u"Shift+Home"_s, u"x"_s, u"a\r\nx"_s, 4);
        row("Backspace takes a surrogate pair", u"a\U0001F600b"_s, 3, u"Backspace"_s, QString(), u"ab"_s, 1);
        row("Delete takes a surrogate pair", u"a\U0001F600b"_s, 1, u"Del"_s, QString(), u"ab"_s, 1);
        row("Shift+Right twice selects a pair and more", u"\U0001F600xy"_s, 0, u"Shift+Right, Shift+Right"_s, QString(), u"\U0001F600xy"_s, 0, 3);
        row("Backspace at a line start joins the lines", u"ab\r\ncd"_s, 4, u"Backspace"_s, QString(), u"abcd"_s, 2);
        row("Delete at a line end joins the lines", u"ab\r\ncd"_s, 2, u"Del"_s, QString(), u"abcd"_s, 2);
        row("Right at a line end goes past the CR LF", u"ab\r\ncd"_s, 2, u"Right"_s, u"x"_s, u"ab\r\nxcd"_s, 5);
        row("Tab types a tab", u"ab"_s, 1, u"Tab"_s, QString(), u"a\tb"_s, 2);
        row("Left in Hebrew goes forward", hebrew, 0, u"Left"_s, u"|"_s, hebrew.left(1) + u'|' + hebrew.mid(1), 2);
        row("Right at a Hebrew line's start goes to the line before", u"ab\r\n"_s + hebrew, 4, u"Right"_s, u"x"_s, u"abx\r\n"_s + hebrew, 3);
        row("Ctrl+Right by word", u"one two"_s, 0, u"Ctrl+Right"_s, u"x"_s, u"one xtwo"_s, 5);
        row("Ctrl+Backspace takes a word", u"one two"_s, 7, u"Ctrl+Backspace"_s, QString(), u"one "_s, 4);
        row("Down keeps the column past a short line", u"abcd\nx\nabcd"_s, 3, u"Down, Down"_s, u"|"_s, u"abcd\r\nx\r\nabc|d"_s, 13);
        row("Up from the first line stays on it", u"abcd"_s, 2, u"Up"_s, QString(), u"abcd"_s, 2);
        row("Ctrl+Home and Ctrl+Shift+End select all", u"a\nb"_s, 2, u"Ctrl+Home, Ctrl+Shift+End"_s, QString(), u"a\r\nb"_s, 0, 4);
        row("undo takes back typing", u"new"_s, 3, u"X, Y, Ctrl+Z, Z"_s, QString(), u"newz"_s, 4);
        row("undo restores the selection typed over", u"abcd"_s, 1, u"Shift+Right, Shift+Right, X, Ctrl+Z"_s, QString(), u"abcd"_s, 1, 2);
        row("nothing to undo from before the text was set", u"new"_s, 3, u"Ctrl+Z"_s, u"y"_s, u"newy"_s, 4);
        row("click in Hebrew", mixed, 0, u"click 4"_s, QString(), mixed, 4);
        row("click after a surrogate pair", u"\U0001F600\U0001F600x"_s, 0, u"click 2"_s, QString(), u"\U0001F600\U0001F600x"_s, 2);
        row("double click, Hebrew word", mixed, 0, u"double 4"_s, QString(), mixed, 3, 3);
        row("triple click, line", u"ab\r\ncd\r\nef"_s, 0, u"triple 5"_s, QString(), u"ab\r\ncd\r\nef"_s, 4, 4);
        row("shift click into Hebrew", mixed, 0, u"click 1 shift 5"_s, QString(), mixed, 1, 4);
        row("drag by words", u"one two three"_s, 0, u"double 1 drag 9"_s, QString(), u"one two three"_s, 0, 13);
        // clang-format on
    }

    void inputEditsAsInAPlainTextBox()
    {
        QFETCH(QString, text);
        QFETCH(int, caret);
        QFETCH(QString, input);
        QFETCH(QString, typed);
        TextPane pane;
        pane.resize(200, 9 * QFontMetrics(pane.font()).lineSpacing() + 12);
        QVERIFY(shown(pane));
        pane.setText(text);
        pane.setSelStart(caret);
        const QStringList gestures = input.split(u' ');
        const bool mouse = QStringList{u"click"_s, u"double"_s, u"triple"_s}.contains(gestures[0]);
        if (!mouse) {
            const QKeySequence keys = QKeySequence::fromString(input);
            QCOMPARE(keys.toString(), input); // every key read
            QTest::keySequence(&pane, keys);
        }
        QAccessibleTextInterface *access =
            QAccessible::queryAccessibleInterface(&pane)->textInterface();
        QWidget *area = pane.viewport();
        // Where the caret at index i is drawn: at the leading edge of the character there.
        const auto at = [&](int i) {
            const QRect r = access->characterRect(i);
            const bool rtl = i < text.size() && text[i].direction() == QChar::DirR;
            return area->mapFromGlobal(
                QPoint(rtl ? r.right() - r.width() / 4 : r.left() + r.width() / 4, r.center().y()));
        };
        for (qsizetype i = 0; mouse && i + 1 < gestures.size(); i += 2) {
            const QString &gesture = gestures[i];
            const QPoint point = at(gestures[i + 1].toInt());
            if (gesture == u"drag"_s) {
                // A drag continues the last press: the double click's, for a drag by words.
                const QPoint from = at(gestures[i - 1].toInt());
                QTest::mousePress(area, Qt::LeftButton, {}, from);
                if (gestures[i - 2] == u"double"_s)
                    QTest::mouseDClick(area, Qt::LeftButton, {}, from);
                QMouseEvent move(QEvent::MouseMove, point, area->mapToGlobal(point), Qt::NoButton,
                                 Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(area, &move);
                QTest::mouseRelease(area, Qt::LeftButton, {}, point);
                continue;
            }
            QTest::mouseClick(area, Qt::LeftButton,
                              gesture == u"shift"_s ? Qt::ShiftModifier : Qt::NoModifier, point);
            if (gesture == u"double"_s || gesture == u"triple"_s)
                QTest::mouseDClick(area, Qt::LeftButton, {}, point);
            if (gesture == u"triple"_s)
                QTest::mouseClick(area, Qt::LeftButton, {}, point);
        }
        QTest::keyClicks(&pane, typed);
        QTEST(pane.text(), "expected");
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
        QAccessibleTextInterface *text =
            QAccessible::queryAccessibleInterface(&pane)->textInterface();
        text->setSelection(0, 4, 5);
        int start = -1, end = -1;
        text->selection(0, &start, &end);
        QCOMPARE(QList<qsizetype>({pane.selStart(), pane.selLength(), start, end,
                                   text->cursorPosition(), text->characterCount()}),
                 QList<qsizetype>({4, 1, 4, 5, 5, 5}));
        QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pane.text(), u"ab"_s);
        QTest::keyClick(&pane, Qt::Key_End);
        QTest::keyClicks(&pane, u"y"_s);
        pane.colorByteRanges({{0, 2}}, red);
        QTest::keyClick(&pane, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(pane.text(), u"aby"_s);
    }

    // A comparison's selected range shows red until the user gives the pane the focus.
    void selectionShowsOnlyWithFocus()
    {
        QWidget window;
        auto *other = new QWidget(&window);
        other->setFocusPolicy(Qt::StrongFocus);
        auto *pane = new TextPane(&window);
        pane->setGeometry(0, 0, 300, 60);
        pane->setFont(QFont(QStringLiteral("Arial"), 20));
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
        pane->setFocus();
        QTRY_VERIFY(pane->hasFocus());
        QVERIFY(shows(highlight) && !shows(red));
        other->setFocus();
        QTRY_VERIFY(!pane->hasFocus());
        QVERIFY(shows(red) && !shows(highlight));
    }
};

QTEST_MAIN(TestTextPane)
#include "tst_textpane.moc"
