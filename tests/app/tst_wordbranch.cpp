#include "TempFiles.h"
#include "TestServices.h"
#include "app/Form1.h"
#include "pane/RichTextPane.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>

class TestWordBranch : public QObject
{
    Q_OBJECT

private slots:
    void wordMethodRunsUnderTheWaitPointerAndLeavesThePanes_data();
    void wordMethodRunsUnderTheWaitPointerAndLeavesThePanes();
};

void TestWordBranch::wordMethodRunsUnderTheWaitPointerAndLeavesThePanes_data()
{
    QTest::addColumn<bool>("running"); // and the user declines to go on
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("failingCall");
    // clang-format off
    QTest::newRow("not running") << false << "one 2\r\n" << "";
    QTest::newRow("running, No") << true << "one 2\r\n" << "";
    QTest::newRow("empty pane") << false << "" << "";
    QTest::newRow("Merge fails") << false << "one 2\r\n" << "Merge";
    // clang-format on
}

void TestWordBranch::wordMethodRunsUnderTheWaitPointerAndLeavesThePanes()
{
    QFETCH(bool, running);
    QFETCH(QString, text2);
    QFETCH(QString, failingCall);
    const bool started = !running && !text2.isEmpty();
    TestServices services;
    Form1 form(services.services);
    form.select(form.Option4);
    form.select(form.Option1);
    form.RichTextBox1->setText(QStringLiteral("one two\r\nthree ä"));
    form.RichTextBox2->setText(text2);
    form.RichTextBox3->setText(QStringLiteral("an earlier result"));
    form.RichTextBox1->colorRanges({{0, 1}}, Qt::red);
    // Text, colours and visibility of each pane.
    const auto paneStates = [&form] {
        QStringList states;
        for (RichTextPane *pane :
             {form.RichTextBox1, form.RichTextBox2, form.RichTextBox3, form.RichTextBox4})
            states << pane->document()->toHtml() + (pane->isHidden() ? " hidden" : "");
        return states;
    };
    const QStringList before = paneStates();
    services.wordAutomation.runningName = running ? "Microsoft Word" : "";
    services.wordAutomation.failingCall = failingCall;
    services.messages.answers.enqueue(false);
    // The pointer at every call and message box, and text #1 as the word processor opens it.
    QList<int> pointers;
    QByteArray firstFile;
    services.wordAutomation.onCall = [&](const QString &call) {
        pointers.append(form.mousePointer());
        if (call.startsWith("Open"))
            firstFile = readFile(call.section('"', 1, 1));
    };
    services.messages.onShow = [&](auto &) { pointers.append(form.mousePointer()); };

    form.PushButton6->click();

    QVERIFY(!pointers.isEmpty());
    QCOMPARE(pointers, QList<int>(pointers.size(), Form1::waitPointer));
    QCOMPARE(form.mousePointer(), Form1::defaultPointer);
    QCOMPARE(services.wordAutomation.log.contains("createObject(\"Word.Application\")"), started);
    // The question when a word processor runs, a warning when a call fails.
    QCOMPARE(services.messages.shown.size(), int(running) + int(!failingCall.isEmpty()));
    QCOMPARE(firstFile, started ? (form.RichTextBox1->text() + "\r\n").toUtf8() : QByteArray());
    QCOMPARE(paneStates(), before);
    QVERIFY(QDir(services.programFolder.path()).isEmpty());
}

QTEST_MAIN(TestWordBranch)
#include "tst_wordbranch.moc"
