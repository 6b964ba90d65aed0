#include "FakeMessageBoxes.h"
#include "FakeSourcePanes.h"
#include "FakeWordAutomation.h"
#include "wordcompare/Word1.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString question = QStringLiteral("Word may be open. It is recommended that you close Word "
                                        "first.\r\n\r\nWould you like to proceed anyway?");

QString openCall(const QString &path)
{
    QStringList arguments{"&\"" + path + '"'};
    for (int i = 0; i < 15; ++i)
        arguments.append(QStringLiteral("missing"));
    return "Documents.Open(" + arguments.join(QStringLiteral(", ")) + ')';
}

QString mergeCall(const QString &path)
{
    return "Document.Merge(\"" + path + "\", int32 2, true, int32 2, false)";
}

const QString closeCall = QStringLiteral("Document.Close(missing, missing, missing)");

QStringList fullRun(const QString &first, const QString &second, std::int32_t alerts)
{
    return {QStringLiteral("createObject(\"Word.Application\")"),
            QStringLiteral("Application.documents()"),
            openCall(first),
            QStringLiteral("release Documents"),
            QStringLiteral("Application.displayAlerts()"),
            QStringLiteral("Application.setDisplayAlerts(int32 0)"),
            mergeCall(second),
            closeCall,
            QStringLiteral("Application.setDisplayAlerts(int32 %1)").arg(alerts),
            QStringLiteral("Application.setVisible(true)"),
            QStringLiteral("release Document"),
            QStringLiteral("release Application")};
}

// The words button's run with no word processor running beforehand.
QStringList clickRun(const QString &first, const QString &second)
{
    return QStringList{QStringLiteral("getActiveObject(\"Word.Application\")")} +
           fullRun(first, second, WordConstants::wdAlertsAll);
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

struct Fixture
{
    FakeWordAutomation automation;
    FakeMessageBoxes messages;
    Word1 word{automation, messages};
};

} // namespace

class TestWord1 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void isWordRunning_data();
    void isWordRunning();
    void cancelForOpenWord_data();
    void cancelForOpenWord();
    void compareInWordCallsInOrderWithExactArguments_data();
    void compareInWordCallsInOrderWithExactArguments();
    void failureOfEachCallIsReportedAndTidiedUp_data();
    void failureOfEachCallIsReportedAndTidiedUp();
    void sourcePanesTravelInPrivateScratchFiles();
    void emptyPaneEndsSilentlyAfterTheQuestion_data();
    void emptyPaneEndsSilentlyAfterTheQuestion();
    void declinedQuestionTouchesNothing();
    void failedScratchFileStopsBeforeTheWordProcessor_data();
    void failedScratchFileStopsBeforeTheWordProcessor();

private:
    // Files the user already has where the scratch files once went.
    void plantDecoys();
    void checkDecoysAndNothingElse();

    QTemporaryDir tempRoot_;
    QByteArray savedTmpDir_;
};

void TestWord1::init()
{
    QVERIFY(tempRoot_.isValid());
    savedTmpDir_ = qgetenv("TMPDIR");
    qputenv("TMPDIR", tempRoot_.path().toLocal8Bit());
    QCOMPARE(QDir::tempPath(), QDir(tempRoot_.path()).canonicalPath());
}

void TestWord1::cleanup()
{
    qputenv("TMPDIR", savedTmpDir_);
    const QDir root(tempRoot_.path());
    for (const QFileInfo &entry : root.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot))
        if (!QDir(entry.filePath()).removeRecursively())
            QFile::remove(entry.filePath());
}

void TestWord1::plantDecoys()
{
    for (const QString &name : {QStringLiteral("1.txt"), QStringLiteral("2.txt")}) {
        QFile file(tempRoot_.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("the user's own " + name.toLatin1());
    }
}

void TestWord1::checkDecoysAndNothingElse()
{
    QCOMPARE(
        QDir(tempRoot_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList({"1.txt", "2.txt"}));
    QCOMPARE(contents(tempRoot_.filePath("1.txt")), QByteArray("the user's own 1.txt"));
    QCOMPARE(contents(tempRoot_.filePath("2.txt")), QByteArray("the user's own 2.txt"));
}

void TestWord1::isWordRunning_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("failingCall");
    QTest::addColumn<bool>("expected");

    QTest::newRow("none registered") << false << "Microsoft Word"
                                     << "" << false;
    QTest::newRow("genuine") << true << "Microsoft Word"
                             << "" << true;
    QTest::newRow("other case") << true << "microsoft word"
                                << "" << false;
    QTest::newRow("trailing space") << true << "Microsoft Word "
                                    << "" << false;
    QTest::newRow("other product") << true << "Word Viewer"
                                   << "" << false;
    QTest::newRow("empty name") << true << ""
                                << "" << false;
    QTest::newRow("name unreadable") << true << "Microsoft Word"
                                     << "Application.name" << false;
}

void TestWord1::isWordRunning()
{
    Fixture f;
    QFETCH(bool, running);
    QFETCH(QString, name);
    QFETCH(QString, failingCall);
    QFETCH(bool, expected);
    f.automation.running = running;
    f.automation.runningName = name;
    f.automation.failingCall = failingCall;

    QCOMPARE(f.word.IsWordRunning(), expected);

    QStringList calls{QStringLiteral("getActiveObject(\"Word.Application\")")};
    if (running)
        calls << QStringLiteral("Application.name()") << QStringLiteral("release Application");
    QCOMPARE(f.automation.log, calls);
    QVERIFY(f.messages.shown.isEmpty());
}

void TestWord1::cancelForOpenWord_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("cancelled");

    QTest::newRow("not running") << false << false << false << false;
    QTest::newRow("running, Yes") << true << true << true << false;
    QTest::newRow("running, No") << true << false << true << true;
}

void TestWord1::cancelForOpenWord()
{
    Fixture f;
    QFETCH(bool, running);
    QFETCH(bool, answer);
    QFETCH(bool, asked);
    QFETCH(bool, cancelled);
    f.automation.running = running;
    f.messages.answers.enqueue(answer);

    QCOMPARE(f.word.CancelForOpenWord(), cancelled);

    QCOMPARE(f.messages.texts(), asked ? QStringList{question} : QStringList{});
    if (asked)
        QCOMPARE(f.messages.shown.first().kind, FakeMessageBoxes::Kind::Ask);
    QVERIFY(!f.automation.log.contains(QStringLiteral("createObject(\"Word.Application\")")));
}

void TestWord1::compareInWordCallsInOrderWithExactArguments_data()
{
    QTest::addColumn<int>("alerts");
    QTest::newRow("all alerts") << int(WordConstants::wdAlertsAll);
    QTest::newRow("message boxes only") << -2;
    QTest::newRow("already none") << int(WordConstants::wdAlertsNone);
}

void TestWord1::compareInWordCallsInOrderWithExactArguments()
{
    Fixture f;
    QFETCH(int, alerts);
    f.automation.alertsLevel = alerts;
    const QString first = QStringLiteral("/some where/1.txt");
    const QString second = QStringLiteral("C:\\other\\2.txt");

    QVERIFY(f.word.CompareInWord(first, second));

    QCOMPARE(f.automation.log, fullRun(first, second, alerts));
    QCOMPARE(f.automation.alertsLevel, alerts);
    QVERIFY(f.messages.shown.isEmpty());
}

void TestWord1::failureOfEachCallIsReportedAndTidiedUp_data()
{
    QTest::addColumn<QString>("failingCall");
    QTest::addColumn<QString>("report");
    // How the log ends after the failing call: the tidying calls, then the releases.
    QTest::addColumn<QStringList>("tail");

    const QString notStarted = QStringLiteral("The word processor could not be started.");
    const QString failed = QStringLiteral("The comparison in the word processor failed.");
    const QString releaseAll = QStringLiteral("release Application");
    const QString releaseDocument = QStringLiteral("release Document");
    const QString restore = QStringLiteral("Application.setDisplayAlerts(int32 -1)");

    QTest::newRow("createObject") << "createObject" << notStarted << QStringList{};
    QTest::newRow("documents") << "Application.documents" << failed << QStringList{releaseAll};
    QTest::newRow("Open") << "Documents.Open" << failed
                          << QStringList{"release Documents", releaseAll};
    QTest::newRow("read alerts") << "Application.displayAlerts" << failed
                                 << QStringList{closeCall, releaseDocument, releaseAll};
    QTest::newRow("alerts off") << "Application.setDisplayAlerts(int32 0)" << failed
                                << QStringList{closeCall, restore, releaseDocument, releaseAll};
    QTest::newRow("Merge") << "Document.Merge" << failed
                           << QStringList{closeCall, restore, releaseDocument, releaseAll};
    QTest::newRow("Close") << "Document.Close" << failed
                           << QStringList{restore, releaseDocument, releaseAll};
    QTest::newRow("alerts back") << restore << failed << QStringList{releaseDocument, releaseAll};
    QTest::newRow("Visible") << "Application.setVisible" << failed
                             << QStringList{releaseDocument, releaseAll};
}

void TestWord1::failureOfEachCallIsReportedAndTidiedUp()
{
    Fixture f;
    QFETCH(QString, failingCall);
    QFETCH(QString, report);
    QFETCH(QStringList, tail);
    plantDecoys();
    f.automation.failingCall = failingCall;
    FakeSourcePanes panes(QStringLiteral("one"), QStringLiteral("two"));

    f.word.compareSourcePanes(panes);

    // The run went exactly as far as the failing call, then tidied up and let go of everything.
    const QStringList run = clickRun(panes.savedPaths.value(0), panes.savedPaths.value(1));
    const qsizetype failedAt = f.automation.log.size() - tail.size() - 1;
    QVERIFY(failedAt >= 0);
    QVERIFY2(f.automation.log[failedAt].startsWith(failingCall),
             qPrintable(f.automation.log.join('\n')));
    QCOMPARE(f.automation.log.mid(0, failedAt + 1), run.mid(0, failedAt + 1));
    QCOMPARE(f.automation.log.mid(failedAt + 1), tail);

    QCOMPARE(f.messages.shown.size(), 1);
    QCOMPARE(f.messages.shown[0].kind, FakeMessageBoxes::Kind::Warn);
    QVERIFY2(f.messages.shown[0].text.startsWith(report + "\n\n"),
             qPrintable(f.messages.shown[0].text));
    QVERIFY(
        f.messages.shown[0].text.contains(QStringLiteral("scripted failure of ") + failingCall));
    if (failingCall != QStringLiteral("Application.setDisplayAlerts(int32 -1)"))
        QCOMPARE(f.automation.alertsLevel, WordConstants::wdAlertsAll);
    QVERIFY(!QFileInfo::exists(QFileInfo(panes.savedPaths.value(0)).path()));
    checkDecoysAndNothingElse();
}

void TestWord1::sourcePanesTravelInPrivateScratchFiles()
{
    Fixture f;
    plantDecoys();
    const QString text1 = QStringLiteral("first line\r\n\r\nsecond ä line  \r\n");
    const QString text2 = QStringLiteral(" ");
    FakeSourcePanes panes(text1, text2);
    QStringList seenAtMerge;
    f.automation.onCall = [&](const QString &call) {
        if (!call.startsWith(QStringLiteral("Document.Merge")))
            return;
        // Both files are in place while the word processor reads them, and nothing else is.
        const QDir scratch = QFileInfo(panes.savedPaths.value(0)).dir();
        seenAtMerge = scratch.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        QCOMPARE(contents(scratch.filePath("1.txt")), (text1 + "\r\n").toUtf8());
        QCOMPARE(contents(scratch.filePath("2.txt")), (text2 + "\r\n").toUtf8());
    };

    f.word.compareSourcePanes(panes);

    QCOMPARE(panes.reads, QList<int>({2, 1}));
    QCOMPARE(panes.savedPaths.size(), 2);
    const QFileInfo first(panes.savedPaths[0]);
    const QFileInfo second(panes.savedPaths[1]);
    QCOMPARE(first.fileName(), QStringLiteral("1.txt"));
    QCOMPARE(second.fileName(), QStringLiteral("2.txt"));
    QCOMPARE(first.path(), second.path());
    QCOMPARE(first.dir().absolutePath() == QDir(tempRoot_.path()).absolutePath(), false);
    QCOMPARE(seenAtMerge, QStringList({"1.txt", "2.txt"}));
    QCOMPARE(f.automation.log, clickRun(first.filePath(), second.filePath()));
    QVERIFY(f.messages.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(first.path()));
    checkDecoysAndNothingElse();
}

void TestWord1::emptyPaneEndsSilentlyAfterTheQuestion_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("text1");
    QTest::addColumn<QString>("text2");

    QTest::newRow("first empty") << false << ""
                                 << "text";
    QTest::newRow("second empty") << false << "text"
                                  << "";
    QTest::newRow("both empty") << false << ""
                                << "";
    QTest::newRow("running, Yes, first empty") << true << ""
                                               << "text";
}

void TestWord1::emptyPaneEndsSilentlyAfterTheQuestion()
{
    Fixture f;
    QFETCH(bool, running);
    QFETCH(QString, text1);
    QFETCH(QString, text2);
    plantDecoys();
    f.automation.running = running;
    f.messages.answers.enqueue(true);
    FakeSourcePanes panes(text1, text2);

    f.word.compareSourcePanes(panes);

    QCOMPARE(f.messages.texts(), running ? QStringList{question} : QStringList{});
    QVERIFY(!f.automation.log.contains(QStringLiteral("createObject(\"Word.Application\")")));
    QCOMPARE(panes.reads, QList<int>({2, 1}));
    QVERIFY(panes.savedPaths.isEmpty());
    checkDecoysAndNothingElse();
}

void TestWord1::declinedQuestionTouchesNothing()
{
    Fixture f;
    plantDecoys();
    f.automation.running = true;
    f.messages.answers.enqueue(false);
    FakeSourcePanes panes(QStringLiteral("a"), QStringLiteral("b"));

    f.word.compareSourcePanes(panes);

    QCOMPARE(f.messages.texts(), QStringList{question});
    QCOMPARE(f.automation.log, QStringList({"getActiveObject(\"Word.Application\")",
                                            "Application.name()", "release Application"}));
    QVERIFY(panes.reads.isEmpty());
    QVERIFY(panes.savedPaths.isEmpty());
    checkDecoysAndNothingElse();
}

void TestWord1::failedScratchFileStopsBeforeTheWordProcessor_data()
{
    QTest::addColumn<int>("failingSide");
    QTest::addColumn<int>("attempts");
    QTest::newRow("text #1") << 1 << 1;
    QTest::newRow("text #2") << 2 << 2;
}

void TestWord1::failedScratchFileStopsBeforeTheWordProcessor()
{
    Fixture f;
    QFETCH(int, failingSide);
    QFETCH(int, attempts);
    plantDecoys();
    FakeSourcePanes panes(QStringLiteral("a"), QStringLiteral("b"));
    panes.failingSide = failingSide;

    f.word.compareSourcePanes(panes);

    QCOMPARE(panes.savedPaths.size(), attempts);
    QCOMPARE(f.automation.log, QStringList{"getActiveObject(\"Word.Application\")"});
    // The writer has told the user already.
    QVERIFY(f.messages.shown.isEmpty());
    QVERIFY(!QFileInfo::exists(QFileInfo(panes.savedPaths[0]).path()));
    checkDecoysAndNothingElse();
}

QTEST_GUILESS_MAIN(TestWord1)
#include "tst_word1.moc"
