// What a screen reader learns of the window through Qt's accessibility interfaces: which pane is
// which, the label of each source pane, the red runs of a text, and what a comparison found.

#include "TempFiles.h"
#include "TestServices.h"
#include "app/MainWindow.h"
#include "pane/TextPane.h"

#include <QAccessible>
#include <QLabel>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QAccessibleTextInterface *textOf(TextPane *pane)
{
    return QAccessible::queryAccessibleInterface(pane)->textInterface();
}

// The attribute runs of a pane as a screen reader walks them, "start-end colour" each, checked
// on the way against what the pane draws: each run one colour, as colorAt says, and a neighbour
// of another colour.
QStringList runsOf(TextPane *pane)
{
    QAccessibleTextInterface *text = textOf(pane);
    QStringList runs;
    QString previous;
    for (int offset = 0; offset < text->characterCount();) {
        int start = -1;
        int end = -1;
        const QString colour = text->attributes(offset, &start, &end);
        const bool red = colour == u"color:rgb(255,0,0);"_s;
        for (int i = start; i < end; ++i)
            if ((pane->colorAt(i) == QColor(255, 0, 0)) != red)
                return {
                    u"run %1-%2 is not drawn %3 at %4"_s.arg(start).arg(end).arg(colour).arg(i)};
        if (start != offset || end <= offset || colour == previous)
            return {
                u"run %1-%2 (%3) after offset %4"_s.arg(start).arg(end).arg(colour).arg(offset)};
        runs << u"%1-%2 %3"_s.arg(start).arg(end).arg(red ? u"red"_s : u"plain"_s);
        previous = colour;
        offset = end;
    }
    return runs;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void panesSayWhichTextTheyHold()
    {
        TestServices services;
        MainWindow window(services.services);
        const QList<std::pair<TextPane *, QLabel *>> panes{{window.textPane1, window.caption1},
                                                           {window.textPane2, window.caption2},
                                                           {window.resultPane1, nullptr},
                                                           {window.resultPane2, nullptr}};
        QStringList names;
        for (const auto &[pane, caption] : panes) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(pane);
            names << accessible->text(QAccessible::Name);
            QVERIFY(!accessible->text(QAccessible::Description).isEmpty());
            const auto labels = accessible->relations(QAccessible::Label);
            QCOMPARE(labels.size(), caption ? 1 : 0);
            if (caption)
                QCOMPARE(labels[0].first->object(), caption);
        }
        QCOMPARE(names, QStringList({u"Text File #1"_s, u"Text File #2"_s,
                                     u"Differences in text #1"_s, u"Differences in text #2"_s}));
    }

    // Red runs where red is drawn, after either comparison and after a load, and one sentence
    // for the listener when a comparison ends: what the window's description then says.
    void redRunsAndWhatWasFound_data()
    {
        QTest::addColumn<QString>("text1");
        QTest::addColumn<QString>("text2");
        QTest::addColumn<QString>("steps"); // buttons and loads, in turn
        QTest::addColumn<QStringList>("runs1");
        QTest::addColumn<QStringList>("runs2");
        QTest::addColumn<QStringList>("announced");
        const QString lines = u"lines"_s;
        // clang-format off
        QTest::newRow("words") << u"alpha beta gamma"_s << u"alpha delta gamma"_s << u"words"_s
            << QStringList{u"0-6 plain"_s, u"6-10 red"_s, u"10-16 plain"_s}
            << QStringList{u"0-6 plain"_s, u"6-11 red"_s, u"11-17 plain"_s}
            << QStringList{u"1 word of text #1 and 1 word of text #2 differ."_s};
        QTest::newRow("lines, right-to-left and a surrogate pair")
            << u"same\r\nשלום 😀\r\nsame"_s << u"same\r\nother\r\nmore\r\nsame"_s << lines
            << QStringList{u"0-6 plain"_s, u"6-15 red"_s, u"15-19 plain"_s}
            << QStringList{u"0-6 plain"_s, u"6-19 red"_s, u"19-23 plain"_s}
            << QStringList{u"1 line of text #1 and 2 lines of text #2 are missing from the other text."_s};
        QTest::newRow("equal") << u"a b\r\nc"_s << u"a b\r\nc"_s << u"lines words"_s
            << QStringList{u"0-6 plain"_s} << QStringList{u"0-6 plain"_s}
            << QStringList{u"No line is missing from the other text."_s, u"No word differs."_s};
        QTest::newRow("a load after a comparison") << u"x"_s << u"y"_s << u"lines load"_s
            << QStringList{u"0-3 plain"_s} << QStringList{u"0-1 red"_s}
            << QStringList{u"1 line of text #1 and 1 line of text #2 are missing from the other text."_s};
        // clang-format on
    }

    void redRunsAndWhatWasFound()
    {
        QFETCH(QString, text1);
        QFETCH(QString, text2);
        QFETCH(QString, steps);
        QFETCH(QStringList, runs1);
        QFETCH(QStringList, runs2);
        QFETCH(QStringList, announced);
        TestServices services;
        MainWindow window(services.services);
        window.show();
        window.textPane1->setText(text1);
        window.textPane2->setText(text2);
        QStringList heard;
        for (const QString &step : steps.split(u' ')) {
            if (step == u"load"_s) {
                const QString file = services.programFolder.filePath(u"loaded.txt"_s);
                QVERIFY(writeFile(file, "x"));
                window.loadFiles(Side::One, {file});
            } else {
                QTest::mouseClick(step == u"lines"_s ? window.compareLinesButton
                                                     : window.compareWordsButton,
                                  Qt::LeftButton);
                heard << QAccessible::queryAccessibleInterface(&window)->text(
                    QAccessible::Description);
            }
        }
        QCOMPARE(runsOf(window.textPane1), runs1);
        QCOMPARE(runsOf(window.textPane2), runs2);
        QCOMPARE(heard, announced);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
