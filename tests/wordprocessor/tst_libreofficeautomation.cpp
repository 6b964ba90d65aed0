// Drives a real LibreOffice, headless and with a profile of its own, through the word-processor
// method.

#include "FakeMessageBoxes.h"
#include "FakeSourceTexts.h"
#include "TempFiles.h"
#include "wordprocessor/WordProcessorMethod.h"
#include "wordprocessor/libreoffice/LibreOfficeAutomation.h"
#include "wordprocessor/libreoffice/OfficeConnection.h"
#include "wordprocessor/libreoffice/OfficePipe.h"

#include <QtTest>
#include <QtWidgets>

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>

#include <fcntl.h>

#include <atomic>
#include <csignal>
#include <cstring>
#include <thread>

using namespace com::sun::star;
using uno::Reference;
using uno::UNO_QUERY_THROW;
using namespace Qt::StringLiterals;

namespace {

constexpr uid_t nobody = 65534;

// A socket listening at path; -1 when it cannot be made.
int listenAt(const QByteArray &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0 || ::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 ||
        ::listen(socket, 5) != 0)
        return -1;
    return socket;
}

// What another user's listener does: takes every connection, writes a byte to report for each
// that sends anything, and hangs up, so that a client that talks to it fails instead of waiting.
void serve(int listening, int report, const std::atomic<bool> &stop)
{
    while (!stop) {
        pollfd incoming{listening, POLLIN, 0};
        if (::poll(&incoming, 1, 100) <= 0)
            continue;
        const int connection = ::accept(listening, nullptr, nullptr);
        pollfd said{connection, POLLIN, 0};
        char byte = 0;
        if (connection >= 0 && ::poll(&said, 1, 1000) > 0 && ::read(connection, &byte, 1) == 1)
            [[maybe_unused]]
            const auto written = ::write(report, "!", 1);
        ::close(connection);
    }
}

// A listener at path in a process of another account, serving until it is killed.
pid_t otherAccountServing(const QByteArray &path, int report)
{
    int ready[2];
    if (::pipe(ready) != 0)
        return 0;
    const pid_t child = ::fork();
    if (child == 0) {
        const int listening = ::setgid(nobody) == 0 && ::setuid(nobody) == 0 ? listenAt(path) : -1;
        if (listening < 0)
            ::_exit(1);
        [[maybe_unused]] const auto written = ::write(ready[1], "!", 1);
        const std::atomic<bool> never{false};
        serve(listening, report, never);
        ::_exit(0);
    }
    ::close(ready[1]);
    char signal = 0;
    const bool listening = child > 0 && ::read(ready[0], &signal, 1) == 1;
    ::close(ready[0]);
    if (child > 0 && !listening)
        ::waitpid(child, nullptr, 0);
    return listening ? child : 0;
}

} // namespace

class TestLibreOfficeAutomation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(profile_.isValid());
        // As in the program, a bridge writing to an office that is just ending must not end us.
        std::signal(SIGPIPE, SIG_IGN);
        options_.pipeName =
            QStringLiteral("parvenex_test_%1").arg(QCoreApplication::applicationPid());
        options_.extraArguments = {u"--headless"_s, u"--invisible"_s,
                                   u"-env:UserInstallation="_s +
                                       QUrl::fromLocalFile(profile_.path()).toString()};
        // A first start fills a new profile, which takes a while on a busy machine.
        options_.startTimeoutSeconds = 180;
        QVERIFY2(QFileInfo(options_.programFolder + u"/soffice"_s).isExecutable(),
                 "LibreOffice Writer is not installed: run scripts/install-deps.sh");
    }

    void cleanupTestCase()
    {
        endOffice();
        // The office may still write to its profile for a moment after it stops answering.
        QTRY_VERIFY_WITH_TIMEOUT(profile_.remove(), 30000);
    }

    void mergedDocumentTurnsTextOneIntoTextTwo()
    {
        const QString text1 =
            QStringLiteral("The quick brown fox\r\njumps over\r\nthe lazy dog.\r\n"
                           "Ünïcödé stays €\r\n\r\nlast line");
        const QString text2 = QStringLiteral("The quick red fox\r\njumps over\r\nthe lazy dog.\r\n"
                                             "Ünïcödé stays €\r\nan added line\r\n\r\nlast line");
        const auto scratchFolders = [] {
            return QDir::temp().entryList({u"parvenex-*"_s}, QDir::AllEntries | QDir::Hidden);
        };
        const QStringList foldersBefore = scratchFolders();
        LibreOfficeAutomation automation(options_);
        FakeMessageBoxes messages;
        FakeSourceTexts texts(text1, text2);
        WordProcessorMethod method(automation, messages);

        method.compareTexts(texts);

        QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.texts().join(u'\n')));
        QCOMPARE(texts.savedPaths.size(), 2);
        QCOMPARE(scratchFolders(), foldersBefore);
        // The office left open is the running word processor now.
        messages.answers.enqueue(false);
        QVERIFY(method.cancelForRunningInstance());

        // It holds one document: the new, untitled one, shown.
        const Reference<uno::XComponentContext> context = office();
        QVERIFY(context.is());
        const Reference<frame::XDesktop2> desktop = frame::Desktop::create(context);
        const auto components = desktop->getComponents()->createEnumeration();
        QVERIFY(components->hasMoreElements());
        const Reference<frame::XModel> merged(components->nextElement(), UNO_QUERY_THROW);
        QVERIFY(!components->hasMoreElements());
        QVERIFY(merged->getURL().isEmpty());
        QVERIFY(
            Reference<awt::XWindow2>(
                merged->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY_THROW)
                ->isVisible());

        // Rejecting all its tracked changes gives text #1, accepting them all text #2.
        const QString odt = profile_.filePath(QStringLiteral("merged.odt"));
        Reference<frame::XStorable>(merged, UNO_QUERY_THROW)
            ->storeToURL(Office::fileUrl(odt),
                         Office::properties(
                             {Office::property("FilterName", uno::Any(rtl::OUString("writer8")))}));
        const auto textWithAll = [&](const char *command) {
            const Reference<frame::XModel> copy(
                desktop->loadComponentFromURL(
                    Office::fileUrl(odt), "_blank", 0,
                    Office::properties({Office::property("Hidden", uno::Any(true))})),
                UNO_QUERY_THROW);
            frame::DispatchHelper::create(context)->executeDispatch(
                Reference<frame::XDispatchProvider>(copy->getCurrentController()->getFrame(),
                                                    UNO_QUERY_THROW),
                rtl::OUString::createFromAscii(command), "", 0, {});
            const QString text = Office::fromUno(
                Reference<text::XTextDocument>(copy, UNO_QUERY_THROW)->getText()->getString());
            Reference<util::XCloseable>(copy, UNO_QUERY_THROW)->close(true);
            return text;
        };
        QCOMPARE(textWithAll(".uno:RejectAllTrackedChanges"),
                 QString(text1).replace(u"\r\n"_s, u"\n"_s));
        QCOMPARE(textWithAll(".uno:AcceptAllTrackedChanges"),
                 QString(text2).replace(u"\r\n"_s, u"\n"_s));
    }

    // The office left running by the merge above is the user's now; one that the application
    // started ends, even while the application object is still held.
    void quitEndsOnlyAnOfficeThatTheApplicationStarted()
    {
        const std::array<AutomationArgument, 3> withoutSaving{
            AutomationArgument::int32(AutomationConstants::wdDoNotSaveChanges),
            AutomationArgument::missing(), AutomationArgument::missing()};
        LibreOfficeAutomation automation(options_);
        // The merge above leaves an office running. Should it have gone, one started and shown by
        // another application object stands in: shown, it is the user's and outlives that object.
        if (!office().is())
            automation.createObject(u"Word.Application")->setVisible(true);
        QVERIFY(office().is());
        automation.createObject(u"Word.Application")->quit(withoutSaving);
        QVERIFY(office().is());

        endOffice();
        const QString opened = profile_.filePath(u"opened.txt"_s);
        QVERIFY(writeFile(opened, "text\r\n"));
        const std::unique_ptr<AutomationApplication> started =
            automation.createObject(u"Word.Application");
        started->documents()->open({AutomationArgument::string(opened.toStdU16String())});
        QVERIFY(office().is());
        started->quit(withoutSaving);
        QTRY_VERIFY_WITH_TIMEOUT(!office().is(), 30000);
    }

    void officeThatCannotStartIsReported_data()
    {
        QTest::addColumn<QByteArray>("launcher");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("waits"); // for the office to answer, with the window repainting
        QTest::newRow("not installed") << QByteArray() << "LibreOffice is not installed" << false;
        QTest::newRow("ends at once") << "#!/bin/sh\nexit 1\n"_ba
                                      << "LibreOffice ended before it could be reached" << true;
    }

    void officeThatCannotStartIsReported()
    {
        QFETCH(QByteArray, launcher);
        QFETCH(QString, reason);
        QFETCH(bool, waits);
        QTemporaryDir programFolder;
        const QString soffice = programFolder.filePath(QStringLiteral("soffice"));
        QVERIFY(launcher.isEmpty() ||
                (writeFile(soffice, launcher) &&
                 QFile::setPermissions(soffice, QFileDevice::ReadOwner | QFileDevice::ExeOwner)));
        LibreOfficeOptions options = options_;
        options.programFolder = programFolder.path();
        options.pipeName += QStringLiteral("_broken");
        LibreOfficeAutomation automation(options);
        FakeMessageBoxes messages;
        bool eventsHandled = false;
        QTimer::singleShot(0, [&eventsHandled] { eventsHandled = true; });
        QVERIFY(!WordProcessorMethod(automation, messages).compareFiles(u"1.txt"_s, u"2.txt"_s));
        QCOMPARE(eventsHandled, waits);
        const QString expected = u"The word processor could not be started.\n\n"_s + reason;
        QCOMPARE(messages.texts().size(), 1);
        QCOMPARE(messages.texts()[0].left(expected.size()), expected);
    }

    // Another user cannot guess the name, and a later start of the program finds it again in the
    // user's private runtime folder (the test's own).
    void sessionPipeIsRandomAndKeptPrivately()
    {
        const QString name = Office::sessionPipeName();
        QVERIFY2(QRegularExpression(u"\\Aparvenex_[0-9a-f]{32}\\z"_s).match(name).hasMatch(),
                 qPrintable(name));
        const QString kept = qEnvironmentVariable("XDG_RUNTIME_DIR") + u"/parvenex-office-pipe"_s;
        QCOMPARE(QString::fromLatin1(readFile(kept)), name);
        QCOMPARE(Office::sessionPipeName(), name);
        QVERIFY(QFile::remove(kept));
    }

    // The office ends between the check and the connection, and a new socket takes its name, or
    // none does.
    void pipeReplacedAfterTheCheckIsRefused()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"pipe"_s);
        const QByteArray nativePath = QFile::encodeName(path);
        const int first = listenAt(nativePath);
        const std::optional<Office::PipeFile> found = Office::ownPipeListening(path, ::getuid());
        QVERIFY(first >= 0 && found);
        QVERIFY(Office::stillSamePipe(path, *found));
        // Moved aside rather than removed, so that the new socket cannot reuse its inode.
        QVERIFY(QFile::rename(path, folder.filePath(u"ended"_s)));
        const int second = listenAt(nativePath);
        QVERIFY(second >= 0);
        QVERIFY_THROWS_EXCEPTION(AutomationError, Office::stillSamePipe(path, *found));
        ::close(second);
        // An office that ends removes its socket: nothing to refuse, just nobody there.
        QVERIFY(QFile::remove(path));
        QVERIFY(!Office::stillSamePipe(path, *found));
        ::close(first);
    }

    void pipeThatIsNotTheUsersIsRefused_data()
    {
        QTest::addColumn<QString>("squatter");
        QTest::addColumn<QString>("reason");
        const QString notSocket = u"it is not a socket."_s;
        QTest::newRow("another account's socket") << "socket"
                                                  << "it belongs to another account.";
        QTest::newRow("a link to the user's socket") << "link" << notSocket;
        QTest::newRow("a plain file") << "file" << notSocket;
        QTest::newRow("another account listening")
            << "listener"
            << "the program listening there runs under another account.";
    }

    // Another user creates the pipe's name first. The method must say so and send nothing there.
    void pipeThatIsNotTheUsersIsRefused()
    {
        QFETCH(QString, squatter);
        QFETCH(QString, reason);
        const bool root = ::geteuid() == 0;
        LibreOfficeOptions options = options_;
        options.pipeName += u'_' + squatter;
        // Without root, this account stands in for another one: the method is told to expect a
        // different owner.
        if (!root)
            options.owner = ::getuid() + 1;
        // Quick to give up, should it try to start an office in spite of the squatter.
        options.startTimeoutSeconds = 5;
        const QString path = Office::pipeSocketPath(options.pipeName, options.owner);
        const QByteArray nativePath = QFile::encodeName(path);
        QTemporaryDir elsewhere;
        const QByteArray linked = QFile::encodeName(elsewhere.filePath(u"own"_s));
        int report[2];
        QVERIFY(::pipe2(report, O_CLOEXEC | O_NONBLOCK) == 0);
        int listening = -1;
        pid_t other = 0;
        if (squatter == u"socket"_s) {
            listening = listenAt(nativePath);
            QVERIFY(listening >= 0 &&
                    (!root || ::chown(nativePath.constData(), nobody, nobody) == 0));
        } else if (squatter == u"link"_s) {
            listening = listenAt(linked);
            QVERIFY(listening >= 0 && ::symlink(linked.constData(), nativePath.constData()) == 0);
        } else if (squatter == u"file"_s) {
            QVERIFY(writeFile(path, "not a socket"));
        } else {
            if (!root)
                QSKIP("Only root can listen as another account.");
            other = otherAccountServing(nativePath, report[1]);
            QVERIFY(other > 0 && ::chown(nativePath.constData(), options.owner, 0) == 0);
        }
        std::atomic<bool> stop{false};
        std::thread server;
        if (listening >= 0)
            server = std::thread(serve, listening, report[1], std::cref(stop));
        LibreOfficeAutomation automation(options);
        FakeMessageBoxes messages;
        FakeSourceTexts texts(u"text #1"_s, u"text #2"_s);

        WordProcessorMethod method(automation, messages);
        const bool asked = method.cancelForRunningInstance();
        method.compareTexts(texts);

        stop = true;
        if (server.joinable())
            server.join();
        if (other > 0) {
            ::kill(other, SIGKILL);
            ::waitpid(other, nullptr, 0);
        }
        char byte = 0;
        const bool told = ::read(report[0], &byte, 1) == 1;
        for (const int descriptor : {listening, report[0], report[1]})
            ::close(descriptor);
        QFile::remove(path);
        QVERIFY(!asked); // not the user's office, so not one that runs
        QVERIFY(!told);  // nothing at all was sent there
        QCOMPARE(
            messages.texts(),
            QStringList(u"The word processor could not be started.\n\nParvenex will not connect "
                        u"to LibreOffice through "_s +
                        path + u": "_s + reason +
                        u" Another user of this computer may be trying to read the texts. Ask "
                        u"whoever looks after this computer to check that file."_s));
    }

private:
    Reference<uno::XComponentContext> office() const
    {
        return Office::connect(options_.programFolder, options_.pipeName);
    }
    // Ends the office that listens on the test's pipe, if one does, and waits until it is gone.
    void endOffice() const
    {
        try {
            if (const Reference<uno::XComponentContext> context = office(); context.is())
                frame::Desktop::create(context)->terminate();
        } catch (const uno::Exception &) {
            // Ending, as asked.
        }
        QTRY_VERIFY_WITH_TIMEOUT(!office().is(), 30000);
    }

    QTemporaryDir profile_;
    LibreOfficeOptions options_;
};

QTEST_GUILESS_MAIN(TestLibreOfficeAutomation)
#include "tst_libreofficeautomation.moc"
