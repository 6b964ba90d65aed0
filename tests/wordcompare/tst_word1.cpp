#include "FakeMessageBoxes.h"
#include "FakeSourcePanes.h"
#include "FakeWordAutomation.h"
#include "wordcompare/Word1.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using Calls = QStringList;

namespace {

const QString question = QStringLiteral("Word may be open. It is recommended that you close Word "
                                        "first.\r\n\r\nWould you like to proceed anyway?");
const QString closeCall = QStringLiteral("Close(missing, missing, missing)");
// Neither all nor none, so that putting the old level back is told apart from a constant.
const std::int32_t alertsBefore = -2;
const QString alertsBack = QStringLiteral("setDisplayAlerts(int32 -2)");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

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
    QVERIFY(tempRoot_.isValid());
    qputenv("TMPDIR", tempRoot_.path().toLocal8Bit());
    QCOMPARE(QDir::tempPath(), QDir(tempRoot_.path()).canonicalPath());
    // The user's own files, named like the scratch files, where those once went.
    for (const QString name : {"1.txt", "2.txt"}) {
        QFile file(tempRoot_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("own " + name.toLatin1());
    }
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
    QTest::addColumn<QString>("warning");

    const QString word = QStringLiteral("Microsoft Word");
    const QString notStarted = QStringLiteral("The word processor could not be started.");
    const QString failed = QStringLiteral("The comparison in the word processor failed.");
    const QString app = QStringLiteral("release Application");
    const QString doc = QStringLiteral("release Document");
    const QString text = QStringLiteral("first line\r\n\r\nsecond ä line  \r\n");
    // clang-format off
    QTest::newRow("not running") << "" << "" << text << " " << "" << -1 << Calls{} << "";
    QTest::newRow("running, Yes") << word << "Yes" << "a" << "b" << "" << -1 << Calls{} << "";
    QTest::newRow("running, No") << word << "No" << "a" << "b" << "" << 0 << Calls{} << "";
    QTest::newRow("other case") << "microsoft word" << "" << "a" << "b" << "" << -1 << Calls{} << "";
    QTest::newRow("other product") << "Word Viewer" << "" << "a" << "b" << "" << -1 << Calls{} << "";
    QTest::newRow("name unreadable") << word << "" << "a" << "b" << "name" << -1 << Calls{} << "";
    QTest::newRow("first empty") << "" << "" << "" << "b" << "" << 0 << Calls{} << "";
    QTest::newRow("second empty") << "" << "" << "a" << "" << "" << 0 << Calls{} << "";
    QTest::newRow("running, Yes, first empty") << word << "Yes" << "" << "b" << "" << 0 << Calls{} << "";
    QTest::newRow("1.txt unwritable") << "" << "" << "a" << "b" << "1.txt" << 0 << Calls{} << "";
    QTest::newRow("2.txt unwritable") << "" << "" << "a" << "b" << "2.txt" << 0 << Calls{} << "";
    QTest::newRow("createObject") << "" << "" << "a" << "b" << "createObject" << 1 << Calls{} << notStarted;
    QTest::newRow("documents") << "" << "" << "a" << "b" << "documents" << 2 << Calls{app} << failed;
    QTest::newRow("Open") << "" << "" << "a" << "b" << "Open" << 3 << Calls{"release Documents", app} << failed;
    QTest::newRow("read alerts") << "" << "" << "a" << "b" << "displayAlerts" << 5 << Calls{closeCall, doc, app} << failed;
    QTest::newRow("alerts off") << "" << "" << "a" << "b" << "setDisplayAlerts(int32 0)" << 6 << Calls{closeCall, alertsBack, doc, app} << failed;
    QTest::newRow("Merge") << "" << "" << "a" << "b" << "Merge" << 7 << Calls{closeCall, alertsBack, doc, app} << failed;
    QTest::newRow("Close") << "" << "" << "a" << "b" << "Close" << 8 << Calls{alertsBack, doc, app} << failed;
    QTest::newRow("alerts back") << "" << "" << "a" << "b" << alertsBack << 9 << Calls{doc, app} << failed;
    QTest::newRow("Visible") << "" << "" << "a" << "b" << "setVisible" << 10 << Calls{doc, app} << failed;
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
    QFETCH(QString, warning);
    FakeWordAutomation automation;
    FakeMessageBoxes messages;
    FakeSourcePanes panes(text1, text2);
    automation.runningName = instance;
    automation.alertsLevel = alertsBefore;
    automation.failingCall = panes.failingName = failing;
    messages.answers.enqueue(answer == "Yes");
    // The scratch folder as the word processor finds it when it merges.
    QStringList atMerge;
    automation.onCall = [&](const QString &call) {
        const QDir scratch = QFileInfo(panes.savedPaths.value(0)).dir();
        if (call.startsWith("Merge"))
            for (const QString &name : scratch.entryList(QDir::Files | QDir::Hidden))
                atMerge << name + ": " + contents(scratch.filePath(name));
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
        expectedShown << "ask: " + question;
    if (!warning.isEmpty())
        expectedShown << "warn: " + warning + "\n\nscripted failure of " + failing;
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
    QCOMPARE(contents(root.filePath("1.txt")), QByteArray("own 1.txt"));
    QCOMPARE(contents(root.filePath("2.txt")), QByteArray("own 2.txt"));
}

QTEST_GUILESS_MAIN(TestWord1)
#include "tst_word1.moc"
