#include "PaneReading.h"
#include "TempFiles.h"
#include "TestServices.h"
#include "app/MainWindow.h"
#include "pane/TextPane.h"

#include <QDir>
#include <QPushButton>
#include <QStringEncoder>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWordProcessorCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wordMethodRunsUnderTheWaitPointerAndLeavesThePanes_data();
    void wordMethodRunsUnderTheWaitPointerAndLeavesThePanes();
};

void TestWordProcessorCommand::wordMethodRunsUnderTheWaitPointerAndLeavesThePanes_data()
{
    // How the method answers a running word processor and each failing call,
    // tst_wordprocessormethod checks; here the window's part around it.
    QTest::addColumn<QString>("failingCall");
    QTest::newRow("runs") << "";
    QTest::newRow("Merge fails") << "Merge";
}

void TestWordProcessorCommand::wordMethodRunsUnderTheWaitPointerAndLeavesThePanes()
{
    QFETCH(QString, failingCall);
    TestServices services;
    MainWindow window(services.services);
    window.select(window.wordProcessorMethodOption);
    window.select(window.highlightOption);
    window.textPane1->setText(QStringLiteral("one two\r\nthree ä"));
    window.textPane2->setText(QStringLiteral("one 2\r\n"));
    window.resultPane1->setText(QStringLiteral("an earlier result"));
    window.textPane1->colorByteRanges({{0, 1}}, Qt::red);
    // Text, colours and visibility of each pane.
    const auto paneStates = [&window] {
        QStringList states;
        for (TextPane *pane :
             {window.textPane1, window.textPane2, window.resultPane1, window.resultPane2})
            states << pane->text() + u' ' + redRanges(*pane) +
                          (pane->isHidden() ? u" hidden"_s : QString());
        return states;
    };
    const QStringList before = paneStates();
    services.automation.failingCall = failingCall;
    // The pointer at every call and message box, and text #1 as the word processor opens it.
    QList<PointerCode> pointers;
    QByteArray firstFile;
    services.automation.onCall = [&](const QString &call) {
        pointers.append(window.mousePointer());
        if (call.startsWith(u"Open"_s))
            firstFile = readFile(call.section(u'"', 1, 1));
    };
    services.messages.onShow = [&](auto &) { pointers.append(window.mousePointer()); };

    window.compareWordsButton->click();

    QVERIFY(!pointers.isEmpty());
    QCOMPARE(pointers, QList<PointerCode>(pointers.size(), PointerCode::Wait));
    QCOMPARE(window.mousePointer(), PointerCode::Default);
    QCOMPARE(services.messages.shown.size(), int(!failingCall.isEmpty()));
    // In the system's code page, which holds every character of this text.
    QCOMPARE(firstFile, QByteArray(QStringEncoder(QStringConverter::System)(
                            window.textPane1->text() + u"\r\n"_s)));
    QCOMPARE(paneStates(), before);
    QVERIFY(QDir(services.programFolder.path()).isEmpty());
}

QTEST_MAIN(TestWordProcessorCommand)
#include "tst_wordprocessorcommand.moc"
