#include "TestServices.h"
#include "app/Form1.h"
#include "pane/RichTextPane.h"

#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QColor red(255, 0, 0);

struct PaneState
{
    QString text;
    QColor firstColour;
    bool hidden;
    friend bool operator==(const PaneState &, const PaneState &) = default;
};

QList<PaneState> paneStates(const Form1 &form)
{
    QList<PaneState> states;
    for (RichTextPane *pane :
         {form.RichTextBox1, form.RichTextBox2, form.RichTextBox3, form.RichTextBox4})
        states.append(
            {pane->text(), pane->text().isEmpty() ? QColor() : pane->colorAt(0), pane->isHidden()});
    return states;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class TestWordBranch : public QObject
{
    Q_OBJECT

private slots:
    void wordMethodRunsUnderTheWaitPointerAndLeavesThePanes_data();
    void wordMethodRunsUnderTheWaitPointerAndLeavesThePanes();
    void standardMethodLeavesTheWordProcessorAlone();
};

void TestWordBranch::wordMethodRunsUnderTheWaitPointerAndLeavesThePanes_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("failingCall");
    QTest::addColumn<bool>("started");
    QTest::addColumn<int>("warnings");

    const QString one = QStringLiteral("one two\r\nthree ä");
    const QString other = QStringLiteral("one 2\r\n");
    QTest::newRow("not running") << false << true << one << other << "" << true << 0;
    QTest::newRow("running, Yes") << true << true << one << other << "" << true << 0;
    QTest::newRow("running, No") << true << false << one << other << "" << false << 0;
    QTest::newRow("empty pane") << false << true << one << ""
                                << "" << false << 0;
    QTest::newRow("running, Yes, empty pane") << true << true << "" << other << "" << false << 0;
    QTest::newRow("only line breaks") << false << true << "\r\n"
                                      << " "
                                      << "" << true << 0;
    QTest::newRow("cannot start") << false << true << one << other << "createObject" << true << 1;
    QTest::newRow("Merge fails") << false << true << one << other << "Document.Merge" << true << 1;
}

void TestWordBranch::wordMethodRunsUnderTheWaitPointerAndLeavesThePanes()
{
    QFETCH(bool, running);
    QFETCH(bool, answer);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(QString, failingCall);
    QFETCH(bool, started);
    QFETCH(int, warnings);

    TestServices services;
    Form1 form(services.services);
    form.select(form.Option4);
    form.select(form.Option1);
    form.RichTextBox1->setText(text1);
    form.RichTextBox2->setText(text2);
    form.RichTextBox3->setText(QStringLiteral("result one"));
    form.RichTextBox4->setText(QStringLiteral("result two"));
    form.RichTextBox1->colorRanges({{0, 1}}, red);
    form.RichTextBox4->colorRanges({{0, 3}}, red);
    const QList<PaneState> before = paneStates(form);

    FakeWordAutomation &automation = services.wordAutomation;
    automation.running = running;
    automation.failingCall = failingCall;
    services.messages.answers.enqueue(answer);
    QList<int> pointers;
    QByteArray firstScratchFile;
    automation.onCall = [&](const QString &call) {
        pointers.append(form.mousePointer());
        if (call.startsWith(QStringLiteral("Documents.Open")))
            firstScratchFile = contents(call.section('"', 1, 1));
    };
    services.messages.onShow = [&](const FakeMessageBoxes::Shown &) {
        pointers.append(form.mousePointer());
    };

    form.PushButton6->click();

    QCOMPARE(form.mousePointer(), Form1::defaultPointer);
    QVERIFY(!pointers.isEmpty());
    QCOMPARE(pointers, QList<int>(pointers.size(), Form1::waitPointer));
    QCOMPARE(automation.log.contains(QStringLiteral("createObject(\"Word.Application\")")),
             started);
    QCOMPARE(services.messages.shown.count(), int(running) + warnings);
    if (started && failingCall != QStringLiteral("createObject"))
        QCOMPARE(firstScratchFile, (form.RichTextBox1->text() + "\r\n").toUtf8());
    QCOMPARE(paneStates(form), before);
    QCOMPARE(QDir(services.programFolder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
}

void TestWordBranch::standardMethodLeavesTheWordProcessorAlone()
{
    TestServices services;
    Form1 form(services.services);
    form.select(form.Option3);
    form.RichTextBox1->setText(QStringLiteral("a"));
    form.RichTextBox2->setText(QStringLiteral("b"));

    form.PushButton6->click();

    QVERIFY(services.wordAutomation.log.isEmpty());
}

QTEST_MAIN(TestWordBranch)
#include "tst_wordbranch.moc"
