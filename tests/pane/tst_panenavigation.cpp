#include "pane/FindDialog.h"
#include "pane/PaneNavigation.h"
#include "pane/TextPane.h"
#include "platform/LineNumberDialog.h"

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

// n and N step forwards with F8 and Alt+Down, p and P backwards with Shift+F8 and Alt+Up, m and M
// with the context menu's entries; anything else is typed.
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
    } else if (key == u'n' || key == u'p') {
        QTest::keyClick(&pane, Qt::Key_F8, key == u'p' ? Qt::ShiftModifier : Qt::NoModifier);
    } else if (key == u'N' || key == u'P') {
        QTest::keyClick(&pane, key == u'N' ? Qt::Key_Down : Qt::Key_Up, Qt::AltModifier);
    } else {
        QTest::keyClicks(&pane, QString(key));
    }
}

// Answers the go-to-line dialog from a script and records the current and the last line it
// was offered, each time it was asked.
struct FakeLineNumberDialog : LineNumberDialog
{
    std::optional<qsizetype> askLine(QWidget *, qsizetype current, qsizetype lastLine) override
    {
        offered << current << lastLine;
        return answer;
    }

    std::optional<qsizetype> answer;
    QList<qsizetype> offered;
};

} // namespace

class TestPaneNavigation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // After each step key, "line|notice": where the caret is (at the line's start, or "+" so
    // many bytes into it) and what the pane said. Typing moves the red ranges with the text, and
    // what is typed at a red range's start stays black.
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
        QTest::newRow("source, last waits, wraps")    << false << 10 << Lines{2, 5} << 0 << u"nNnn"_s << QStringList{u"2|"_s, u"5|"_s, u"5"_s + last, u"2"_s + wrappedFirst};
        QTest::newRow("source, a key between")        << false << 10 << Lines{2, 5} << 5 << u"npn"_s << QStringList{u"5"_s + last, u"2|"_s, u"5|"_s};
        QTest::newRow("source, backwards wraps")      << false << 10 << Lines{2, 5} << 3 << u"pPP"_s << QStringList{u"2|"_s, u"2"_s + first, u"5"_s + wrappedLast};
        QTest::newRow("source, first line red")       << false << 4 << Lines{0, 3} << 0 << u"npp"_s << QStringList{u"3|"_s, u"0|"_s, u"0"_s + first};
        QTest::newRow("source, context menu")         << false << 6 << Lines{4} << 0 << u"mM"_s << QStringList{u"4|"_s, u"4"_s + first};
        QTest::newRow("source, after typing")         << false << 8 << Lines{3, 6} << 0 << u"ab\r\rnxyznp"_s << QStringList{u"5|"_s, u"8|"_s, u"5+3|"_s};
        QTest::newRow("listing, every line")          << true << 3 << Lines{} << 0 << u"nnnn"_s << QStringList{u"1|"_s, u"2|"_s, u"2"_s + last, u"0"_s + wrappedFirst};
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
        QStringList done;
        for (const QChar key : keys) {
            press(pane, key);
            if (!u"nNpPmM"_s.contains(key))
                continue;
            const qsizetype line = pane.store().lineOfPosition(pane.caretPosition());
            const qsizetype column = pane.caretPosition() - pane.store().lineStart(line);
            done.append(QString::number(line) + (column ? u"+%1"_s.arg(column) : QString()) + u'|' +
                        pane.navigation().notice());
            QCOMPARE(pane.selLength(), 0);
        }
        QCOMPARE(done, steps);
    }

    // The dialog's settings and the keys pressed in the pane (f F3, b Shift+F3); after each the
    // start of the pattern selected (-1 for none) and the notice, which the dialog shows too.
    void find_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<bool>("wholeWords");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("steps");
        // clang-format off
        QTest::newRow("case, whole words, wrapping")    << u"two"_s << true << true << u"fff"_s << QStringList{u"4|"_s, u"17|"_s, u"4|Passed the end: found from the start"_s};
        QTest::newRow("backwards wraps")                << u"TWO"_s << false << true << u"bb"_s << QStringList{u"17|Passed the start: found from the end"_s, u"4|"_s};
        QTest::newRow("not found")                      << u"three"_s << false << false << u"fb"_s << QStringList{u"-1|Not found"_s, u"-1|Not found"_s};
        // clang-format on
    }

    void find()
    {
        QFETCH(QString, pattern);
        QFETCH(bool, matchCase);
        QFETCH(bool, wholeWords);
        QFETCH(QString, keys);
        TextPane pane;
        pane.setText(u"Two two\r\ntwofold two"_s);
        QTest::keyClick(&pane, Qt::Key_F, Qt::ControlModifier);
        FindDialog *dialog = pane.navigation().findDialog();
        QVERIFY(dialog && dialog->isVisible());
        dialog->setPattern(pattern);
        dialog->setMatchCase(matchCase);
        dialog->setWholeWords(wholeWords);
        QStringList done;
        for (const QChar key : keys) {
            QTest::keyClick(&pane, Qt::Key_F3, key == u'b' ? Qt::ShiftModifier : Qt::NoModifier);
            QCOMPARE(dialog->status(), pane.navigation().notice());
            done.append(u"%1|%2"_s.arg(pane.selLength() == pattern.size() ? pane.selStart() : -1)
                            .arg(pane.navigation().notice()));
        }
        QTEST(done, "steps");
    }

    // The dialog offers the caret's line and the last, numbered from 1; fill() leaves an empty
    // line after the last break, 12 lines in all.
    void goToLine_data()
    {
        QTest::addColumn<std::optional<qsizetype>>("answer");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("notice");
        using Line = std::optional<qsizetype>;
        // clang-format off
        QTest::newRow("last")                << Line(12) << 11 << QString();
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
        TextPane pane;
        fill(pane, 11, {});
        pane.showRange(pane.store().lineStart(7) + 2, pane.store().lineStart(7) + 2, 0);
        FakeLineNumberDialog dialog;
        dialog.answer = answer;
        pane.navigation().setLineNumberDialog(&dialog);
        QTest::keyClick(&pane, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(dialog.offered, QList<qsizetype>({8, 12}));
        QCOMPARE(pane.caretPosition(), pane.store().lineStart(line) + (answer ? 0 : 2));
        QTEST(pane.navigation().notice(), "notice");
    }
};

QTEST_MAIN(TestPaneNavigation)
#include "tst_panenavigation.moc"
