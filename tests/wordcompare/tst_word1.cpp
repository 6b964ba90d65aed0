#include "FakeMessageBoxes.h"
#include "FakeSourcePanes.h"
#include "FakeWordAutomation.h"
#include "TempFiles.h"
#include "wordcompare/Word1.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Calls = QStringList;

namespace {

const QString closeCall = QStringLiteral("Close(missing, missing, missing)");
// The fake's alerts level, neither all nor none.
const QString alertsBack = QStringLiteral("setDisplayAlerts(int32 -2)");

// The word processor's part of a successful click, two calls a line.
Calls fullRun(const QString &first, const QString &second)
{
    // clang-format off
    return {"createObject(\"Word.Application\")", "documents()",
            "Open(&\"" + first + '"' + QString(", missing").repeated(15) + ')', "release Documents",
            "displayAlerts()", "setDisplayAlerts(int32 0)",
            "Merge(\"" + second + "\", int32 2, true, int32 2, false)", closeCall,
            alertsBack, "setVisible(true)",
            "release Document", "release Application"};
    // clang-format on
}

} // namespace

class TestWord1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void compareSourcePanes_data();
    void compareSourcePanes();

private:
    QTemporaryDir tempRoot_;
};

void TestWord1::initTestCase()
{
    qputenv("TMPDIR", tempRoot_.path().toLocal8Bit());
    QCOMPARE(QDir::tempPath(), QDir(tempRoot_.path()).canonicalPath());
    // The user's own files, named like the scratch files, where those once went.
    QVERIFY(writeFile(tempRoot_.filePath("1.txt"), "own 1") &&
            writeFile(tempRoot_.filePath("2.txt"), "own 2"));
}

void TestWord1::compareSourcePanes_data()
{
    QTest::addColumn<QString>("instance"); // the running word processor's name, "" for none
    QTest::addColumn<QString>("answer");   // to the question, "" when it is not asked
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");
    QTest::addColumn<QString>("failing"); // a call, or a scratch file that cannot be written
    QTest::addColumn<int>("calls");       // how far the word processor's run gets; -1 to its end
    QTest::addColumn<Calls>("tidying");   // the calls after the failed one

    const QString word = QStringLiteral("Microsoft Word");
    const QString app = QStringLiteral("release Application");
    const QString doc = QStringLiteral("release Document");
    const QString text = QStringLiteral("first line\r\n\r\nsecond ä line  \r\n");
    // clang-format off
    QTest::newRow("not running") << "" << "" << text << " " << "" << -1 << Calls{};
    QTest::newRow("running, Yes") << word << "Yes" << "a" << "b" << "" << -1 << Calls{};
    QTest::newRow("running, No") << word << "No" << "a" << "b" << "" << 0 << Calls{};
    QTest::newRow("other product") << "Word Viewer" << "" << "a" << "b" << "" << -1 << Calls{};
    QTest::newRow("name unreadable") << word << "" << "a" << "b" << "name" << -1 << Calls{};
    QTest::newRow("second empty") << "" << "" << "a" << "" << "" << 0 << Calls{};
    QTest::newRow("running, Yes, first empty") << word << "Yes" << "" << "b" << "" << 0 << Calls{};
    QTest::newRow("1.txt unwritable") << "" << "" << "a" << "b" << "1.txt" << 0 << Calls{};
    QTest::newRow("2.txt unwritable") << "" << "" << "a" << "b" << "2.txt" << 0 << Calls{};
    QTest::newRow("createObject") << "" << "" << "a" << "b" << "createObject" << 1 << Calls{};
    QTest::newRow("documents") << "" << "" << "a" << "b" << "documents" << 2 << Calls{app};
    QTest::newRow("Open") << "" << "" << "a" << "b" << "Open" << 3 << Calls{"release Documents", app};
    QTest::newRow("read alerts") << "" << "" << "a" << "b" << "displayAlerts" << 5 << Calls{closeCall, doc, app};
    QTest::newRow("Merge") << "" << "" << "a" << "b" << "Merge" << 7 << Calls{closeCall, alertsBack, doc, app};
    QTest::newRow("Close") << "" << "" << "a" << "b" << "Close" << 8 << Calls{alertsBack, doc, app};
    QTest::newRow("alerts back") << "" << "" << "a" << "b" << alertsBack << 9 << Calls{doc, app};
    QTest::newRow("Visible") << "" << "" << "a" << "b" << "setVisible" << 10 << Calls{doc, app};
    // clang-format on
}

void TestWord1::compareSourcePanes()
{
    QFETCH(QString, instance);
    QFETCH(QString, answer);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    QFETCH(QString, failing);
    QFETCH(int, calls);
    QFETCH(Calls, tidying);
    FakeWordAutomation automation;
    FakeMessageBoxes messages;
    FakeSourcePanes panes(text1, text2);
    automation.runningName = instance;
    automation.failingCall = panes.failingName = failing;
    messages.answers.enqueue(answer == "Yes");
    // The scratch folder as the word processor finds it when it merges.
    QStringList atMerge;
    automation.onCall = [&](const QString &call) {
        const QDir scratch = QFileInfo(panes.savedPaths.value(0)).dir();
        if (call.startsWith("Merge"))
            for (const QString &name : scratch.entryList(QDir::Files | QDir::Hidden))
                atMerge << name + ": " + readFile(scratch.filePath(name));
    };

    Word1(automation, messages).compareSourcePanes(panes);

    Calls expected{"getActiveObject(\"Word.Application\")"};
    if (!instance.isEmpty())
        expected += Calls{"name()", "release Application"};
    const Calls run = fullRun(panes.savedPaths.value(0), panes.savedPaths.value(1)).mid(0, calls);
    QCOMPARE(automation.log, expected + run + tidying);

    QStringList shown, expectedShown;
    for (const FakeMessageBoxes::Shown &message : messages.shown)
        shown << QStringList{"inform", "ask", "warn"}[int(message.kind)] + ": " + message.text;
    if (!answer.isEmpty())
        expectedShown << "ask: Word may be open. It is recommended that you close Word first."
                         "\r\n\r\nWould you like to proceed anyway?";
    if (calls > 0 && !failing.isEmpty())
        expectedShown << QString("warn: The %1.\n\nscripted failure of " + failing)
                             .arg(calls == 1 ? "word processor could not be started"
                                             : "comparison in the word processor failed");
    QCOMPARE(shown, expectedShown);

    // Both texts travel in a folder of the program's own, which is gone afterwards, and the
    // user's files stay as they were.
    const QStringList scratchFiles{"1.txt: " + text1 + "\r\n", "2.txt: " + text2 + "\r\n"};
    QCOMPARE(atMerge, run.size() > 6 ? scratchFiles : QStringList()); // 7th call: Merge
    for (const QString &path : panes.savedPaths)
        QCOMPARE(QFileInfo(QFileInfo(path).path()).path(), QDir::tempPath());
    const QDir root(tempRoot_.path());
    QCOMPARE(root.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList({"1.txt", "2.txt"}));
    QCOMPARE(readFile(root.filePath("1.txt")) + readFile(root.filePath("2.txt")), "own 1own 2");
}

QTEST_GUILESS_MAIN(TestWord1)
#include "tst_word1.moc"
