#include "PaneReading.h"
#include "TempFiles.h"
#include "TestServices.h"
#include "WindowPanes.h"
#include "app/PaneLayout.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

QList<float> twips(const TextPane *pane)
{
    return {pane->leftTwips(), pane->topTwips(), pane->widthTwips(), pane->heightTwips()};
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Start-up with stored settings, then the options selected in turn, and what start-up or else
    // the last option writes. How a stored text reads is fuzzed; these rows check that the window
    // applies and rewrites what it read. Writes that fail are reported once; the choice still
    // takes effect.
    void choicesAreRestoredStoredAndApplied_data()
    {
        QTest::addColumn<QString>("stored");  // "key=text" separated by ';'
        QTest::addColumn<QString>("options"); // selected in turn
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("wordMethod");
        QTest::addColumn<bool>("highlight");
        QTest::addColumn<bool>("failing");
        // clang-format off
        QTest::newRow("first run")           << ""                            << ""   << "Comparison=1 Option2=True Option1=False" << false << false << false;
        QTest::newRow("empty method text")   << "Comparison="                 << ""   << "Comparison=2 Option2=True Option1=False" << true  << false << false;
        QTest::newRow("any letter case")     << "Option2=fALSE;Option1=true"  << ""   << "Comparison=1 Option2=False Option1=True" << false << true << false;
        // Showing the differences writes Option1=False before Option1 is read.
        QTest::newRow("both modes stored")   << "Option1=True;Option2=True"   << ""   << "Comparison=1 Option2=True Option1=False" << false << false << false;
        // A click on a selected button does nothing; selecting it again runs the handling.
        QTest::newRow("differences again")   << ""                            << "differencesOnlyOption" << "Option2=True Option1=False" << false << false << false;
        QTest::newRow("failing writes")      << ""                            << "highlightOption differencesOnlyOption" << "" << false << false << true;
        // clang-format on
    }

    void choicesAreRestoredStoredAndApplied()
    {
        QFETCH(QString, stored);
        QFETCH(QString, options);
        QFETCH(bool, failing);
        TestServices test;
        test.settings.failWrites = failing;
        for (const QString &entry : stored.split(u';', Qt::SkipEmptyParts))
            test.settings.preset(entry.section(u'=', 0, 0), entry.section(u'=', 1));
        MainWindow window(test.services);
        for (const QString &option : options.split(u' ', Qt::SkipEmptyParts)) {
            test.settings.writes.clear();
            auto *button = window.findChild<QRadioButton *>(option);
            button->isChecked() ? window.select(button) : button->click();
        }
        QStringList written;
        for (const FakeSettingsStore::Write &write : test.settings.writes)
            written.append(write.key + u'=' + write.value);

        QTEST(written.join(u' '), "written");
        QTEST(window.wordProcessorMethodOption->isChecked(), "wordMethod");
        QTEST(!window.compareLinesButton->isEnabled(), "wordMethod");
        QTEST(shownPanes(window) == u"12"_s, "highlight");
        const QString failed =
            u"Your choices cannot be remembered for the next start.\n\ndisk full"_s;
        QCOMPARE(test.messages.texts(), failing ? QStringList(failed) : QStringList());
    }

    // Each command, however it ends, shows the wait pointer at every message box and word
    // processor call on its way and the default pointer, drawn, once it has returned. What it
    // does to the panes and which messages it shows is checked after every action of the soak.
    void commandsEndWithTheDefaultPointer_data()
    {
        QTest::addColumn<QString>("command"); // the button clicked; "processor" for the words one
        QTest::addColumn<QString>("answer");  // the dialog's: a file in a temporary folder
        QTest::addColumn<QString>("failing"); // word processor call
        QTest::addColumn<int>("messages");
        // clang-format off
        QTest::newRow("load")                    << "loadButton1" << "a.txt"      << ""      << 0;
        QTest::newRow("load, missing file")      << "loadButton1" << "gone.txt"   << ""      << 1;
        QTest::newRow("load, cancelled")         << "loadButton1" << ""           << ""      << 0;
        QTest::newRow("save")                    << "saveButton2" << "new.txt"    << ""      << 0;
        QTest::newRow("save over a file")        << "saveButton2" << "a.txt"      << ""      << 1;
        QTest::newRow("save, failing")           << "saveButton2" << "gone/x.txt" << ""      << 1;
        QTest::newRow("compare lines")           << "compareLinesButton" << ""    << ""      << 0;
        QTest::newRow("compare words")           << "compareWordsButton" << ""    << ""      << 0;
        QTest::newRow("word processor")          << "processor" << ""           << ""      << 0;
        QTest::newRow("word processor, failing") << "processor" << ""           << "Merge" << 1;
        // clang-format on
    }

    void commandsEndWithTheDefaultPointer()
    {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(QString, failing);
        const bool processor = command == u"processor"_s;
        TestServices test;
        MainWindow window(test.services);
        window.show();
        window.textPane1->setText(u"one two\r\nthree \u00e4"_s);
        window.textPane2->setText(u"one 2\r\n"_s);
        if (processor)
            window.select(window.wordProcessorMethodOption);
        window.select(window.highlightOption);
        const QTemporaryDir folder;
        QVERIFY(writeFile(folder.filePath(u"a.txt"_s), "a\n"));
        test.dialog.answers.enqueue(answer.isEmpty() ? QString() : folder.filePath(answer));
        test.automation.failingCall = failing;
        QList<PointerCode> pointers;
        QByteArray opened; // text #1 as the word processor opens it
        test.automation.onCall = [&](const QString &call) {
            pointers.append(window.mousePointer());
            if (call.startsWith(u"Open"_s))
                opened = readFile(call.section(u'"', 1, 1));
        };
        test.messages.onShow = [&](const auto &) { pointers.append(window.mousePointer()); };
        window.findChild<QPushButton *>(processor ? u"compareWordsButton"_s : command)->click();

        QCOMPARE(pointers, QList<PointerCode>(pointers.size(), PointerCode::Wait));
        QCOMPARE(window.mousePointer(), PointerCode::Default);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(window.textPane1->viewport()->cursor().shape(), Qt::IBeamCursor);
        QTEST(int(test.messages.shown.size()), "messages");
        // In the system's code page (Windows-1252 on Windows), which holds the pane's text.
        if (processor)
            QCOMPARE(opened, QByteArray(QStringEncoder(QStringConverter::System)(
                                 window.textPane1->text() + u"\r\n"_s)));
    }

    // Also what screen readers say: each pane's name tells the text and the view it holds, and a
    // source pane is labelled by its caption.
    void windowIsBuiltAndPlacedAsDesigned()
    {
        TestServices test;
        MainWindow window(test.services);
        const auto px = [&](float twips) {
            return int(std::lround(twips * window.logicalDpiX() / 1440));
        };
        QCOMPARE(window.size(), QSize(px(9000), px(7425)));
        // The method group lies below the client area.
        QVERIFY(window.methodGroup->y() >= window.height());
        QCOMPARE(window.displayGroup->title(), QStringLiteral("Comparision Options"));
        QStringList names;
        for (TextPane *pane : panesOf(window)) {
            QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(pane);
            names << accessible->text(QAccessible::Name);
            for (const auto &[label, relation] : accessible->relations(QAccessible::Label))
                names.last() += u", labelled by "_s + label->object()->objectName();
        }
        QCOMPARE(names, QStringList({u"Text File #1, labelled by caption1"_s,
                                     u"Text File #2, labelled by caption2"_s,
                                     u"Differences in text #1"_s, u"Differences in text #2"_s}));
    }

    void layoutSharesTheWidth_data()
    {
        QTest::addColumn<float>("outerWidth");
        QTest::addColumn<float>("width");
        QTest::addColumn<float>("left2");
        // clang-format off
        QTest::newRow("worked example") << 9090.0f << 4315.0f << 4535.0f;
        // A negative width is rejected: that step is skipped, the others go on.
        QTest::newRow("too narrow")     << 100.0f  << 4335.0f << 4555.0f;
        // clang-format on
    }

    // Equal widths, a 100-twip gap, and each result pane exactly over its source pane.
    void layoutSharesTheWidth()
    {
        QFETCH(float, outerWidth);
        QFETCH(float, width);
        QFETCH(float, left2);
        TestServices test;
        MainWindow window(test.services);
        placePanes(outerWidth, *window.textPane1, *window.textPane2, *window.resultPane1,
                   *window.resultPane2);
        QCOMPARE(twips(window.textPane1), QList<float>({120, 360, width, 4335}));
        QCOMPARE(twips(window.textPane2), QList<float>({left2, 360, width, 4335}));
        QCOMPARE(twips(window.resultPane1), twips(window.textPane1));
        QCOMPARE(twips(window.resultPane2), twips(window.textPane2));
    }

    // Away from the panes the navigation keys act on the visible pane of the side whose pane had
    // the focus last, side #1 before any, and hand it the focus.
    void navigationKeysReachTheLastSide()
    {
        TestServices test;
        MainWindow window(test.services);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        window.resultPane1->setText(u"x\ny\n"_s);
        window.resultPane2->setText(u"a\nb\nc\n"_s);
        const auto caretLine = [](const TextPane *pane) {
            return pane->store().lineOfPosition(pane->caretPosition());
        };
        window.loadButton1->setFocus();
        QTest::keyClick(window.loadButton1, Qt::Key_F8);
        QCOMPARE(caretLine(window.resultPane1), 1);
        QCOMPARE(QApplication::focusWidget(), window.resultPane1);

        window.resultPane2->setFocus();
        window.saveButton1->setFocus();
        QTest::keyClick(window.saveButton1, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(caretLine(window.resultPane2), 1);
        QCOMPARE(caretLine(window.resultPane1), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
