#include "PaneReading.h"
#include "TempFiles.h"
#include "TestServices.h"
#include "app/MainWindow.h"
#include "pane/TextPane.h"

#include <QDir>
#include <QPushButton>
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
    QTest::addColumn<bool>("running"); // and the user declines to go on
    QTest::addColumn<QString>("failingCall");
    QTest::newRow("not running") << false << "";
    QTest::newRow("running, No") << true << "";
    QTest::newRow("Merge fails") << false << "Merge";
}

void TestWordProcessorCommand::wordMethodRunsUnderTheWaitPointerAndLeavesThePanes()
{
    QFETCH(bool, running);
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
    services.automation.runningName = running ? u"Microsoft Word"_s : QString();
    services.automation.failingCall = failingCall;
    services.messages.answers.enqueue(false);
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
    QCOMPARE(services.automation.log.contains(u"createObject(\"Word.Application\")"_s), !running);
    // The question when a word processor runs, a warning when a call fails.
    QCOMPARE(services.messages.shown.size(), int(running) + int(!failingCall.isEmpty()));
    QCOMPARE(firstFile,
             !running ? QString(window.textPane1->text() + u"\r\n"_s).toUtf8() : QByteArray());
    QCOMPARE(paneStates(), before);
    QVERIFY(QDir(services.programFolder.path()).isEmpty());
}

QTEST_MAIN(TestWordProcessorCommand)
#include "tst_wordprocessorcommand.moc"
