#include "FakeMessageBoxes.h"
#include "FakeSourceTexts.h"
#include "WordStandIn.h"
#include "wordprocessor/SystemAutomation.h"
#include "wordprocessor/WordProcessorMethod.h"

#include <QDir>
#include <QLibrary>
#include <QTest>

#include <windows.h>

using namespace Qt::StringLiterals;

namespace {

bool callServer(const char *function)
{
    using Entry = HRESULT(STDAPICALLTYPE *)();
    const auto entry =
        reinterpret_cast<Entry>(QLibrary(QStringLiteral(WORDSTANDIN_DLL)).resolve(function));
    return entry && SUCCEEDED(entry());
}

QStringList standInCalls()
{
    std::wstring log(std::size_t(::standInLog(nullptr, 0)), L'\0');
    ::standInLog(log.data(), int(log.size()));
    return QString::fromWCharArray(log.c_str()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

// The word-processor method through the real COM backend, against a stand-in registered as
// "Word.Application" that logs every call as it arrives: member, argument types and values, the
// bytes of each file it is asked to read, and each release of its objects.
class TestComAutomation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // The window platform joins the thread to COM; on the offscreen platform the test does.
        QVERIFY(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        QVERIFY(callServer("DllRegisterServer"));
    }

    void cleanupTestCase()
    {
        QVERIFY(callServer("DllUnregisterServer"));
        CoUninitialize();
    }

    void compareTexts_data()
    {
        QTest::addColumn<QString>("running");   // the running instance's name, "" for none
        QTest::addColumn<bool>("proceed");      // the answer to the question, when it is asked
        QTest::addColumn<QString>("failing");   // the first logged call that fails, "" for none
        QTest::addColumn<bool>("shown");        // the new application is visible from the start
        QTest::addColumn<int>("calls");         // how many calls of the full run are made
        QTest::addColumn<QStringList>("after"); // the calls that tidy up after the failed one
        QTest::addColumn<QString>("message");

        const QString quit = u"get Visible"_s;
        const QStringList ended{quit, u"Quit(int32 0, missing, missing)"_s};
        const QString failed = u"The comparison in the word processor failed.\n\nWord's %1 failed: "
                               u"The stand-in was told to fail at %2."_s;
        const QString close = u"Close(missing, missing, missing)"_s;
        const QString alertsBack = u"put DisplayAlerts(int32 -2)"_s;
        // clang-format off
    QTest::newRow("merged") << "" << true << "" << false << 14 << QStringList{} << "";
    QTest::newRow("running, Yes") << "Microsoft Word" << true << "" << false << 14 << QStringList{} << "";
    QTest::newRow("running, No") << "Microsoft Word" << false << "" << false << 0 << QStringList{} << "";
    QTest::newRow("another product running") << "Word Viewer" << false << "" << false << 14 << QStringList{} << "";
    QTest::newRow("Documents fails") << "" << true << "get Documents" << false << 2 << ended + QStringList{u"release Application"_s} << failed.arg(u"Documents"_s, u"get Documents"_s);
    QTest::newRow("Open fails") << "" << true << "Open" << false << 3
        << QStringList{u"release Documents"_s} + ended + QStringList{u"release Application"_s} << failed.arg(u"Open"_s, u"Open"_s);
    QTest::newRow("Merge fails") << "" << true << "Merge" << false << 8
        << QStringList{close, alertsBack} + ended + QStringList{u"release Document"_s, u"release Application"_s} << failed.arg(u"Merge"_s, u"Merge"_s);
    QTest::newRow("Merge fails, user's instance") << "" << true << "Merge" << true << 8
        << QStringList{close, alertsBack, quit, u"release Document"_s, u"release Application"_s} << failed.arg(u"Merge"_s, u"Merge"_s);
    QTest::newRow("Visible fails") << "" << true << "put Visible" << false << 12
        << QStringList{u"release Document"_s, u"release Application"_s} << failed.arg(u"Visible"_s, u"put Visible"_s);
        // clang-format on
    }

    void compareTexts()
    {
        QFETCH(QString, running);
        QFETCH(bool, proceed);
        QFETCH(QString, failing);
        QFETCH(bool, shown);
        QFETCH(int, calls);
        QFETCH(QStringList, after);
        QFETCH(QString, message);
        standInReset(failing.isEmpty() ? nullptr : qUtf16Printable(failing), shown);
        QCOMPARE(standInSetRunning(running.isEmpty() ? nullptr : qUtf16Printable(running)), S_OK);
        FakeMessageBoxes messages;
        messages.answers.enqueue(proceed);
        // Characters outside ASCII and the line ends travel unchanged.
        FakeSourceTexts texts(u"first \u00e4 line\r\n\r\nlast"_s, u"first line\r\nlast "_s);

        {
            const std::unique_ptr<AutomationRegistry> automation = createSystemAutomation();
            WordProcessorMethod(*automation, messages).compareTexts(texts);
        }
        QCOMPARE(standInSetRunning(nullptr), S_OK);

        const QString first = QDir::toNativeSeparators(texts.savedPaths.value(0));
        const QString second = QDir::toNativeSeparators(texts.savedPaths.value(1));
        // clang-format off
    const QStringList fullRun{
        u"create"_s, u"get Documents"_s,
        u"Open(&\""_s + first + u'"' + u", missing"_s.repeated(15) + u')',
        u"text 1: first \\xC3\\xA4 line\\x0D\\x0A\\x0D\\x0Alast\\x0D\\x0A"_s,
        u"release Documents"_s, u"get DisplayAlerts"_s, u"put DisplayAlerts(int32 0)"_s,
        u"Merge(\""_s + second + u"\", int32 2, true, int32 2, false)"_s,
        u"text 2: first line\\x0D\\x0Alast \\x0D\\x0A"_s,
        u"Close(missing, missing, missing)"_s, u"put DisplayAlerts(int32 -2)"_s,
        u"put Visible(true)"_s, u"release Document"_s, u"release Application"_s};
        // clang-format on
        // The question reads the running instance's name; the instance ends only when it is no
        // longer registered, which shows that the question let go of it.
        const QStringList asked{u"get Name"_s};
        const QStringList unregistered{u"release Application"_s};
        QCOMPARE(standInCalls(), (running.isEmpty() ? QStringList() : asked) +
                                     fullRun.mid(0, calls) + after +
                                     (running.isEmpty() ? QStringList() : unregistered));
        QCOMPARE(standInLiveObjects(), 0L);

        QStringList expectedMessages;
        if (running == u"Microsoft Word")
            expectedMessages
                << u"Word may be open. It is recommended that you close Word first.\r\n\r\n"
                   u"Would you like to proceed anyway?"_s;
        if (!message.isEmpty())
            expectedMessages << message;
        QCOMPARE(messages.texts(), expectedMessages);
        if (calls > 0)
            QVERIFY(!QFileInfo::exists(QFileInfo(first).path()));
    }

    void notStarted_data()
    {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<QString>("reason");
        QTest::newRow("not installed")
            << false << u"Microsoft Word is not installed (no class Word.Application): "_s;
        QTest::newRow("cannot start") << true << u"Microsoft Word could not be started: "_s;
    }

    // The message carries the system's own reason, which differs between systems, and its code.
    void notStarted()
    {
        QFETCH(bool, registered);
        QFETCH(QString, reason);
        if (!registered)
            QVERIFY(callServer("DllUnregisterServer"));
        standInReset(L"create", false);
        FakeMessageBoxes messages;
        FakeSourceTexts texts(u"a"_s, u"b"_s);
        {
            const std::unique_ptr<AutomationRegistry> automation = createSystemAutomation();
            WordProcessorMethod(*automation, messages).compareTexts(texts);
        }
        QVERIFY(callServer("DllRegisterServer"));

        QCOMPARE(standInCalls(), registered ? QStringList{u"create"_s} : QStringList());
        QCOMPARE(messages.shown.size(), 1);
        const QString text = messages.shown.first().text;
        const QString code = registered ? u"0x80080005"_s : u"0x800401F3"_s;
        QVERIFY2(text.startsWith(u"The word processor could not be started.\n\n"_s + reason) &&
                     text.endsWith(code + (text.endsWith(u')') ? u")"_s : u""_s)),
                 qPrintable(text));
        QVERIFY(!QFileInfo::exists(QFileInfo(texts.savedPaths.value(0)).path()));
    }
};

QTEST_MAIN(TestComAutomation)
#include "tst_comautomation.moc"
