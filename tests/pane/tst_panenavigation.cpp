#include "FakeLineNumberDialog.h"
#include "pane/FindDialog.h"
#include "pane/PaneNavigation.h"
#include "pane/TextPane.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

const QColor red(255, 0, 0);

// Lines "line 0", "line 1" ... and, for a source pane, the given lines red.
void fill(TextPane &pane, int lines, const QList<int> &redLines)
{
    QStringList text;
    for (int line = 0; line < lines; ++line)
        text.append(u"line %1"_s.arg(line));
    pane.setText(text.join(u"\r\n"_s) + u"\r\n"_s);
    for (const int line : redLines) {
        const qsizetype start = pane.store().lineStart(line);
        pane.colorByteRanges({{start, pane.store().lineEnd(line) - start}}, red);
    }
}

qsizetype caretLine(const TextPane &pane)
{
    return pane.store().lineOfPosition(pane.caretPosition());
}

// n and N step forwards with F8 and Alt+Down, p and P backwards with Shift+F8 and Alt+Up, m and M
// with the context menu's entries.
void press(TextPane &pane, QChar key)
{
    if (key == u'm' || key == u'M') {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                pane.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&pane, &event);
        const std::unique_ptr<QMenu> menu(pane.findChild<QMenu *>());
        const QString name = key == u'm' ? u"Next Difference"_s : u"Previous Difference"_s;
        for (QAction *action : menu->actions())
            if (action->text() == name && action->isEnabled())
                action->trigger();
    } else if (key == u'n')
        QTest::keyClick(&pane, Qt::Key_F8);
    else if (key == u'N')
        QTest::keyClick(&pane, Qt::Key_Down, Qt::AltModifier);
    else if (key == u'p')
        QTest::keyClick(&pane, Qt::Key_F8, Qt::ShiftModifier);
    else
        QTest::keyClick(&pane, Qt::Key_Up, Qt::AltModifier);
}

} // namespace

class TestPaneNavigation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Each step is "line|notice": where the caret is after the press (at the line's start) and
    // what the pane said.
    void stepDifferences_data()
    {
        QTest::addColumn<bool>("listing");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QList<int>>("redLines");
        QTest::addColumn<int>("startLine");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("steps");

        const QString last = u"|Last difference: press again for the first"_s;
        const QString first = u"|First difference: press again for the last"_s;
        const QString none = u"|No differences"_s,
                      wrappedFirst = u"|Wrapped to the first difference"_s,
                      wrappedLast = u"|Wrapped to the last difference"_s;
        using Lines = QList<int>;
        // clang-format off
        QTest::newRow("source, first and next")       << false << 10 << Lines{2, 5, 9} << 0 << u"nN"_s << QStringList{u"2|"_s, u"5|"_s};
        QTest::newRow("source, last waits, wraps")    << false << 10 << Lines{2, 5} << 0 << u"nnnn"_s << QStringList{u"2|"_s, u"5|"_s, u"5"_s + last, u"2"_s + wrappedFirst};
        QTest::newRow("source, a key between")        << false << 10 << Lines{2, 5} << 5 << u"npn"_s << QStringList{u"5"_s + last, u"2|"_s, u"5|"_s};
        QTest::newRow("source, backwards wraps")      << false << 10 << Lines{2, 5} << 3 << u"pPP"_s << QStringList{u"2|"_s, u"2"_s + first, u"5"_s + wrappedLast};
        QTest::newRow("source, first line red")       << false << 4 << Lines{0, 3} << 0 << u"npp"_s << QStringList{u"3|"_s, u"0|"_s, u"0"_s + first};
        QTest::newRow("source, none")                 << false << 10 << Lines{} << 4 << u"np"_s << QStringList{u"4"_s + none, u"4"_s + none};
        QTest::newRow("source, context menu")         << false << 6 << Lines{4} << 0 << u"mM"_s << QStringList{u"4|"_s, u"4"_s + first};
        QTest::newRow("listing, every line")          << true << 3 << Lines{} << 0 << u"nnnn"_s << QStringList{u"1|"_s, u"2|"_s, u"2"_s + last, u"0"_s + wrappedFirst};
        QTest::newRow("listing, backwards from top")  << true << 3 << Lines{} << 0 << u"ppp"_s << QStringList{u"0"_s + first, u"2"_s + wrappedLast, u"1|"_s};
        QTest::newRow("listing, empty")               << true << 0 << Lines{} << 0 << u"n"_s << QStringList{u"0"_s + none};
        // clang-format on
    }

    void stepDifferences()
    {
        QFETCH(bool, listing);
        QFETCH(int, lines);
        QFETCH(QList<int>, redLines);
        QFETCH(int, startLine);
        QFETCH(QString, keys);
        QFETCH(QStringList, steps);

        TextPane pane;
        pane.navigation().setListing(listing);
        if (lines > 0)
            fill(pane, lines, redLines);
        pane.showRange(pane.store().lineStart(startLine), pane.store().lineStart(startLine), 0);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            press(pane, keys[i]);
            const QStringList expected = steps[i].split(u'|');
            QCOMPARE(caretLine(pane), expected[0].toInt());
            QCOMPARE(pane.caretPosition(), pane.store().lineStart(caretLine(pane)));
            QCOMPARE(pane.selLength(), 0);
            QCOMPARE(pane.navigation().notice(), expected[1]);
        }
    }

    // Typing moves the red ranges with the text, and the next step finds them where they are.
    void stepAfterTyping()
    {
        TextPane pane;
        fill(pane, 8, {3, 6});
        QTest::keyClicks(&pane, u"ab"_s);
        QTest::keyClick(&pane, Qt::Key_Return);
        QTest::keyClick(&pane, Qt::Key_Return);
        press(pane, u'n');
        QCOMPARE(caretLine(pane), 5);
        QCOMPARE(pane.store().text(pane.caretPosition(), pane.store().lineEnd(5)), u"line 3"_s);
        // What is typed at a red range's start stays black, so the range starts after it.
        QTest::keyClicks(&pane, u"xyz"_s);
        press(pane, u'n');
        QCOMPARE(caretLine(pane), 8);
        press(pane, u'p');
        QCOMPARE(pane.caretPosition(), pane.store().lineStart(5) + 3);
    }

    // The target shows with lines of context above it; one already in view with them stays
    // where it is.
    void stepScrollsWithContext()
    {
        TextPane pane;
        pane.resize(300, 300);
        fill(pane, 1000, {100, 105, 500, 990});
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        const int above = PaneNavigation::contextLines;
        const int last = pane.verticalScrollBar()->maximum();
        QVERIFY(last < 990 - above);
        for (const auto &[key, line, top] :
             {std::tuple{u'n', 100, 100 - above}, std::tuple{u'n', 105, 100 - above},
              std::tuple{u'n', 500, 500 - above}, std::tuple{u'n', 990, last},
              std::tuple{u'p', 500, 500 - above}, std::tuple{u'p', 105, 105 - above}}) {
            press(pane, key);
            QCOMPARE(caretLine(pane), line);
            QCOMPARE(pane.verticalScrollBar()->value(), top);
        }
    }

    // Each row: the text, where the selection starts, the dialog's settings, the keys pressed
    // in the pane (f F3, b Shift+F3), and after each the selected text's start and the notice.
    void find_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("steps");

        const QString text = u"Two two\r\ntwofold two"_s;
        // clang-format off
        QTest::newRow("forwards, case-blind, wrapping") << text << u"two"_s << false << false << u"ffff"_s << QStringList{u"0|"_s, u"4|"_s, u"9|"_s, u"17|"_s};
        QTest::newRow("case, whole words, wrapping")    << text << u"two"_s << true << true << u"fff"_s << QStringList{u"4|"_s, u"17|"_s, u"4|Passed the end: found from the start"_s};
        QTest::newRow("backwards wraps")                << text << u"TWO"_s << false << true << u"bb"_s << QStringList{u"17|Passed the start: found from the end"_s, u"4|"_s};
        QTest::newRow("not found")                      << text << u"three"_s << false << false << u"fb"_s << QStringList{u"-1|Not found"_s, u"-1|Not found"_s};
        // clang-format on
    }

    void find()
    {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWords);
        QFETCH(QString, keys);
        QFETCH(QStringList, steps);

        TextPane pane;
        pane.setText(text);
        QTest::keyClick(&pane, Qt::Key_F, Qt::ControlModifier);
        FindDialog *dialog = pane.navigation().findDialog();
        QVERIFY(dialog && dialog->isVisible());
        dialog->setPattern(pattern);
        dialog->setMatchCase(matchCase);
        dialog->setWholeWords(wholeWords);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            QTest::keyClick(&pane, Qt::Key_F3,
                            keys[i] == u'b' ? Qt::ShiftModifier : Qt::NoModifier);
            const QStringList expected = steps[i].split(u'|');
            const int start = expected[0].toInt();
            if (start >= 0) {
                QCOMPARE(pane.selStart(), start);
                QCOMPARE(pane.selLength(), pattern.size());
                QCOMPARE(text.mid(start, pattern.size()).compare(pattern, Qt::CaseInsensitive), 0);
            }
            QCOMPARE(pane.navigation().notice(), expected[1]);
            QCOMPARE(dialog->status(), expected[1]);
        }
        QTest::keyClick(&pane, Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
    }

    // The dialog takes a short one-line selection as its text, and Enter in it finds the next.
    void findTakesSelection()
    {
        TextPane pane;
        pane.setText(u"alpha beta\r\nbeta"_s);
        pane.setSelStart(6);
        pane.setSelLength(4);
        QTest::keyClick(&pane, Qt::Key_F, Qt::ControlModifier);
        FindDialog *dialog = pane.navigation().findDialog();
        QCOMPARE(dialog->pattern(), u"beta"_s);
        QTest::keyClick(dialog, Qt::Key_Return);
        QCOMPARE(pane.selStart(), 12);
        QTest::keyClick(dialog, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(pane.selStart(), 6);
        // A selection over a line break stays out of the dialog.
        pane.setSelStart(0);
        pane.setSelLength(13);
        QTest::keyClick(&pane, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(dialog->pattern(), u"beta"_s);
    }

    void goToLine_data()
    {
        QTest::addColumn<std::optional<qsizetype>>("answer");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("notice");

        // fill() leaves an empty line after the last break: 12 lines in all.
        using Line = std::optional<qsizetype>;
        // clang-format off
        QTest::newRow("first")               << Line(1) << 0 << QString();
        QTest::newRow("last")                << Line(12) << 11 << QString();
        QTest::newRow("one before the last") << Line(11) << 10 << QString();
        QTest::newRow("past the end")        << Line(13) << 11 << u"Line 12 is the last"_s;
        QTest::newRow("far past the end")    << Line(1'000'000'000'000) << 11 << u"Line 12 is the last"_s;
        QTest::newRow("zero")                << Line(0) << 0 << u"Line 1 is the first"_s;
        QTest::newRow("cancelled")           << Line() << 7 << QString();
        // clang-format on
    }

    void goToLine()
    {
        QFETCH(std::optional<qsizetype>, answer);
        QFETCH(int, line);
        QFETCH(QString, notice);

        TextPane pane;
        fill(pane, 11, {});
        pane.showRange(pane.store().lineStart(7) + 2, pane.store().lineStart(7) + 2, 0);
        FakeLineNumberDialog dialog;
        dialog.answer = answer;
        pane.navigation().setLineNumberDialog(&dialog);
        QTest::keyClick(&pane, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(dialog.asked, 1);
        QCOMPARE(dialog.offeredCurrent, 8);
        QCOMPARE(dialog.offeredLast, 12);
        QCOMPARE(caretLine(pane), line);
        if (answer)
            QCOMPARE(pane.caretPosition(), pane.store().lineStart(line));
        QCOMPARE(pane.navigation().notice(), notice);
    }
};

QTEST_MAIN(TestPaneNavigation)
#include "tst_panenavigation.moc"
