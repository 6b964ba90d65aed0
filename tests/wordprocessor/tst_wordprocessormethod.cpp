#include "FakeAutomation.h"
#include "FakeMessageBoxes.h"
#include "FakeSourceTexts.h"
#include "TempFiles.h"
#include "wordprocessor/WordProcessorMethod.h"

#include <QtTest>

using Calls = QStringList;
using namespace Qt::StringLiterals;

namespace {

const QString closeCall = QStringLiteral("Close(missing, missing, missing)");
// The fake's alerts level, neither all nor none.
const QString alertsBack = QStringLiteral("setDisplayAlerts(int32 -2)");

// What other accounts may do in folder, then each entry with its text. None may enter the
// scratch folder, so none can read the texts in it; Windows keeps a user's temporary folder to
// the user.
QStringList listing(const QDir &folder)
{
#ifdef Q_OS_UNIX
    const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                      QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QStringList result{
        QString::number((QFileInfo(folder.path()).permissions() & others).toInt(), 8)};
#else
    QStringList result{u"0"_s};
#endif
    for (const QString &name :
         folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
        result << name + u": "_s + QString::fromUtf8(readFile(folder.filePath(name)));
    return result;
}

} // namespace

class TestWordProcessorMethod : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        useTempFolder(tempRoot_.path());
        // The user's own files, named like the scratch files, where those once went.
        QVERIFY(writeFile(tempRoot_.filePath(u"1.txt"_s), "own 1") &&
                writeFile(tempRoot_.filePath(u"2.txt"_s), "own 2"));
    }

    void compareTexts_data()
    {
        // To the question whether to go on while the word processor runs; "" when it does not run.
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("failing"); // a call, or a scratch file that cannot be written
        QTest::addColumn<int>("calls");     // how far the word processor's run gets; -1 to its end
        QTest::addColumn<Calls>("tidying"); // the calls after the failed one

        const QString app = QStringLiteral("release Application");
        const QString doc = QStringLiteral("release Document");
        // A failure before the new instance is shown ends it.
        const QString quit = QStringLiteral("Quit(int32 0, missing, missing)");
        const QString visible = QStringLiteral("visible()");
        const QStringList ab{u"a"_s, u"b"_s};
        // clang-format off
        QTest::newRow("not running") << "" << QStringList{u"first line\r\n\r\nsecond ä line  \r\n"_s, u" "_s} << "" << -1 << Calls{};
        QTest::newRow("running, Yes") << "Yes" << ab << "" << -1 << Calls{};
        QTest::newRow("running, No") << "No" << ab << "" << 0 << Calls{};
        QTest::newRow("second empty") << "" << QStringList{u"a"_s, {}} << "" << 0 << Calls{};
        QTest::newRow("running, Yes, first empty") << "Yes" << QStringList{{}, u"b"_s} << "" << 0 << Calls{};
        QTest::newRow("2.txt unwritable") << "" << ab << "2.txt" << 0 << Calls{};
        QTest::newRow("createObject") << "" << ab << "createObject" << 1 << Calls{};
        QTest::newRow("Open") << "" << ab << "Open" << 3 << Calls{u"release Documents"_s, visible, quit, app};
        QTest::newRow("Merge") << "" << ab << "Merge" << 7 << Calls{closeCall, alertsBack, visible, quit, doc, app};
        // The automation handed out the running word processor, the user's own: it is not ended.
        QTest::newRow("Merge, user's instance") << "Yes" << ab << "Merge" << 7 << Calls{closeCall, alertsBack, visible, doc, app};
        QTest::newRow("Visible") << "" << ab << "setVisible" << 10 << Calls{doc, app};
        // clang-format on
    }

    void compareTexts()
    {
        QFETCH(QString, answer);
        QFETCH(QStringList, texts);
        QFETCH(QString, failing);
        QFETCH(int, calls);
        QFETCH(Calls, tidying);
        FakeAutomation automation;
        FakeMessageBoxes messages;
        FakeSourceTexts source(texts[0], texts[1]);
        automation.runningName = answer.isEmpty() ? QString() : u"Microsoft Word"_s;
        automation.failingCall = source.failingName = failing;
        messages.answers.enqueue(answer == u"Yes"_s);
        QStringList atMerge; // the scratch folder as the word processor finds it
        automation.onCall = [&](const QString &call) {
            if (call.startsWith(u"Merge"_s))
                atMerge = listing(QFileInfo(source.savedPaths.value(0)).dir());
        };

        WordProcessorMethod(automation, messages).compareTexts(source);

        Calls expected{u"getActiveObject(\"Word.Application\")"_s};
        if (!answer.isEmpty())
            expected += Calls{u"name()"_s, u"release Application"_s};
        const QString first = QDir::toNativeSeparators(source.savedPaths.value(0));
        const QString second = QDir::toNativeSeparators(source.savedPaths.value(1));
        // clang-format off
        const Calls run = Calls{u"createObject(\"Word.Application\")"_s, u"documents()"_s,
            u"Open(&\""_s + first + u'"' + u", missing"_s.repeated(15) + u')', u"release Documents"_s,
            u"displayAlerts()"_s, u"setDisplayAlerts(int32 0)"_s,
            u"Merge(\""_s + second + u"\", int32 2, true, int32 2, false)"_s, closeCall,
            alertsBack, u"setVisible(true)"_s,
            u"release Document"_s, u"release Application"_s}.mid(0, calls); // as far as it gets
        // clang-format on
        QCOMPARE(automation.log, expected + run + tidying);

        QStringList expectedShown;
        if (!answer.isEmpty())
            expectedShown << u"Word may be open. It is recommended that you close Word first."
                             u"\r\n\r\nWould you like to proceed anyway?"_s;
        if (calls > 0 && !failing.isEmpty())
            expectedShown << QString(u"The %1.\n\nscripted failure of "_s + failing)
                                 .arg(calls == 1 ? u"word processor could not be started"_s
                                                 : u"comparison in the word processor failed"_s);
        QCOMPARE(messages.texts(), expectedShown);

        // Both texts travel in a folder of the program's own, which is gone afterwards, and the
        // user's files stay as they were.
        const QStringList scratch{u"0"_s, u"1.txt: "_s + texts[0] + u"\r\n"_s,
                                  u"2.txt: "_s + texts[1] + u"\r\n"_s};
        QCOMPARE(atMerge, run.size() > 6 ? scratch : QStringList()); // 7th call: Merge
        QCOMPARE(listing(tempRoot_.path()),
                 QStringList({u"0"_s, u"1.txt: own 1"_s, u"2.txt: own 2"_s}));
    }

private:
    QTemporaryDir tempRoot_;
};

QTEST_GUILESS_MAIN(TestWordProcessorMethod)
#include "tst_wordprocessormethod.moc"
