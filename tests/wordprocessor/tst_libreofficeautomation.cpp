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

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XTextDocument.hpp>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

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

// A socket listening at path, as the account `as` for whoever asks who listens there (the
// file is this account's); -1 when it cannot be made.
int listenAt(const QByteArray &path, uid_t as = ::geteuid())
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), std::size_t(path.size()));
    const uid_t self = ::geteuid();
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const bool listening =
        socket >= 0 &&
        ::bind(socket, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::seteuid(as) == 0 && ::listen(socket, 5) == 0;
    return ::seteuid(self) == 0 && listening ? socket : -1;
}

// What someone else's listener does: takes every connection, notes whether it sent anything,
// and hangs up, so that a client that talks to it fails instead of waiting for an answer.
void hangUpOnEach(const std::stop_token &stop, int listening, std::atomic<bool> &told)
{
    for (char byte = 0; !stop.stop_requested();) {
        pollfd incoming{listening, POLLIN, 0};
        if (::poll(&incoming, 1, 100) <= 0)
            continue;
        const int connection = ::accept(listening, nullptr, nullptr);
        pollfd said{connection, POLLIN, 0};
        if (::poll(&said, 1, 1000) > 0 && ::read(connection, &byte, 1) == 1)
            told = true;
        ::close(connection);
    }
}

} // namespace

class TestLibreOfficeAutomation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        // As in the program, a bridge writing to an office that is just ending must not end us.
        std::signal(SIGPIPE, SIG_IGN);
        options_.pipeName =
            QStringLiteral("parvenex_test_%1").arg(QCoreApplication::applicationPid());
        options_.extraArguments = {u"--headless"_s, u"--invisible"_s,
                                   u"-env:UserInstallation="_s +
                                       QUrl::fromLocalFile(profile_.path()).toString()};
        // A first start fills a new profile, which takes a while on a busy machine.
        options_.startTimeoutSeconds = 180;
    }

    // Ends the office that listens on the test's pipe, if one does, and waits until it is gone.
    void cleanupTestCase()
    {
        try {
            if (const Reference<uno::XComponentContext> context = office(); context.is())
                frame::Desktop::create(context)->terminate();
        } catch (const uno::Exception &) {
            // Ending, as asked.
        }
        QTRY_VERIFY_WITH_TIMEOUT(!office().is(), 30000);
        // The office may still write to its profile for a moment after it stops answering.
        QTRY_VERIFY_WITH_TIMEOUT(profile_.remove(), 30000);
    }

    // The office that an application object started ends by its Quit; the merged document turns
    // text #1 into text #2 and is left to the user.
    void mergedDocumentAfterQuit()
    {
        LibreOfficeAutomation automation(options_);
        automation.createObject(u"Word.Application")
            ->quit({AutomationArgument::int32(AutomationConstants::wdDoNotSaveChanges),
                    AutomationArgument::missing(), AutomationArgument::missing()});
        QTRY_VERIFY_WITH_TIMEOUT(!office().is(), 30000);

        const QString text1 = u"The quick brown fox\r\njumps over\r\nÜnïcödé stays €\r\n\r\nlast"_s;
        const QString text2 =
            u"The quick red fox\r\njumps over\r\nÜnïcödé stays €\r\nadded\r\n\r\nlast"_s;
        FakeMessageBoxes messages;
        FakeSourceTexts texts(text1, text2);
        WordProcessorMethod(automation, messages).compareTexts(texts);
        QCOMPARE(messages.texts(), QStringList());

        // The office holds one document: the new, untitled one, shown.
        const Reference<uno::XComponentContext> context = office();
        QVERIFY(context.is());
        const auto components =
            frame::Desktop::create(context)->getComponents()->createEnumeration();
        const Reference<frame::XModel> merged(components->nextElement(), UNO_QUERY_THROW);
        QVERIFY(!components->hasMoreElements() && merged->getURL().isEmpty());
        const auto frame = merged->getCurrentController()->getFrame();
        QVERIFY(
            Reference<awt::XWindow2>(frame->getContainerWindow(), UNO_QUERY_THROW)->isVisible());

        // Rejecting all its tracked changes gives text #1: text #2 is the one merged in.
        frame::DispatchHelper::create(context)->executeDispatch(
            Reference<frame::XDispatchProvider>(frame, UNO_QUERY_THROW),
            ".uno:RejectAllTrackedChanges", "", 0, {});
        const rtl::OUString rejected =
            Reference<text::XTextDocument>(merged, UNO_QUERY_THROW)->getText()->getString();
        QCOMPARE(Office::fromUno(rejected).replace(u"\n"_s, u"\r\n"_s), text1);
    }

    // A later start of the program finds the office's pipe again by the name kept in the user's
    // private runtime folder (the test's own).
    void sessionPipeIsKeptPrivately()
    {
        const QString name = Office::sessionPipeName();
        const QString kept = qEnvironmentVariable("XDG_RUNTIME_DIR") + u"/parvenex-office-pipe"_s;
        QCOMPARE(QString::fromLatin1(readFile(kept)), name);
        QVERIFY(QFile::remove(kept));
    }

    // The office ends between the check and the connection, and a new socket takes its name, or
    // none does.
    void pipeReplacedAfterTheCheckIsRefused()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(u"pipe"_s);
        const int first = listenAt(QFile::encodeName(path));
        const std::optional<Office::PipeFile> found = Office::ownPipeListening(path, ::getuid());
        QVERIFY(first >= 0 && found && Office::stillSamePipe(path, *found));
        // Moved aside rather than removed, so that the new socket cannot reuse its inode.
        QVERIFY(QFile::rename(path, folder.filePath(u"ended"_s)));
        const int second = listenAt(QFile::encodeName(path));
        QVERIFY(second >= 0);
        QVERIFY_THROWS_EXCEPTION(AutomationError, Office::stillSamePipe(path, *found));
        ::close(first);
        ::close(second);
    }

    void officeOutOfReachIsReported_data()
    {
        QTest::addColumn<QByteArray>(
            "launcher");                       // the program folder's soffice; none: not installed
        QTest::addColumn<QString>("squatter"); // what holds the pipe's name already
        QTest::addColumn<QString>("reason");   // %1: the missing program, or the pipe
        // clang-format off
        QTest::newRow("not installed") << QByteArray() << "" << "LibreOffice is not installed: %1 was not found. Install LibreOffice Writer (on Debian, the package libreoffice-writer).";
        QTest::newRow("ends at once") << "#!/bin/sh\nexit 1\n"_ba << "" << "LibreOffice ended before it could be reached. Close any LibreOffice window and try again, or start LibreOffice Writer by hand to see what it reports.";
        QTest::newRow("another account's socket") << QByteArray() << "socket" << "Parvenex will not connect to LibreOffice through %1: it belongs to another account. Another user of this computer may be trying to read the texts. Ask whoever looks after this computer to check that file.";
        QTest::newRow("a link to the user's socket") << QByteArray() << "link" << "Parvenex will not connect to LibreOffice through %1: it is not a socket. Another user of this computer may be trying to read the texts. Ask whoever looks after this computer to check that file.";
        QTest::newRow("another account listening") << QByteArray() << "listener" << "Parvenex will not connect to LibreOffice through %1: the program listening there runs under another account. Another user of this computer may be trying to read the texts. Ask whoever looks after this computer to check that file.";
        // clang-format on
    }

    // The user is told why, the window repaints only while there is an office to wait for, and
    // nothing at all is sent to whoever holds the pipe's name.
    void officeOutOfReachIsReported()
    {
        QFETCH(QByteArray, launcher);
        QFETCH(QString, squatter);
        QFETCH(QString, reason);
        const bool root = ::geteuid() == 0;
        if (squatter == u"listener"_s && !root)
            QSKIP("Only root can listen as another account.");
        QTemporaryDir programFolder;
        const QString soffice = programFolder.filePath(u"soffice"_s);
        QVERIFY(launcher.isEmpty() ||
                (writeFile(soffice, launcher) &&
                 QFile::setPermissions(soffice, QFileDevice::ReadOwner | QFileDevice::ExeOwner)));
        LibreOfficeOptions options = options_;
        options.programFolder = programFolder.path();
        options.pipeName += u'_' + squatter;
        // Without root, this account stands in for another one: the method is told to expect a
        // different owner.
        if (!root)
            options.owner = ::getuid() + 1;
        const QString path = Office::pipeSocketPath(options.pipeName, options.owner);
        const QByteArray nativePath = QFile::encodeName(path);
        const QByteArray linked = QFile::encodeName(programFolder.filePath(u"own"_s));
        int listening = -1; // none: the server below polls nothing
        if (squatter == u"link"_s) {
            listening = listenAt(linked);
            QVERIFY(listening >= 0 && ::symlink(linked.constData(), nativePath.constData()) == 0);
        } else if (!squatter.isEmpty()) {
            // The listener's file is this account's, as expected; the socket's is another's.
            const bool listener = squatter == u"listener"_s;
            listening = listenAt(nativePath, listener ? nobody : ::geteuid());
            QVERIFY(listening >= 0 &&
                    (!root || listener || ::chown(nativePath.constData(), nobody, nobody) == 0));
        }
        LibreOfficeAutomation automation(options);
        FakeMessageBoxes messages;
        FakeSourceTexts texts(u"text #1"_s, u"text #2"_s);
        std::atomic<bool> told{false};
        std::jthread server(hangUpOnEach, listening, std::ref(told));
        bool eventsHandled = false;
        QTimer::singleShot(0, [&eventsHandled] { eventsHandled = true; });

        // It asks first whether the word processor runs, then tries to start one.
        WordProcessorMethod(automation, messages).compareTexts(texts);

        server = {}; // stopped and joined
        ::close(listening);
        QFile::remove(path);
        QVERIFY(!told);
        QCOMPARE(eventsHandled, !launcher.isEmpty());
        reason.replace(u"%1"_s, squatter.isEmpty() ? soffice : path);
        QCOMPARE(messages.texts(),
                 QStringList(u"The word processor could not be started.\n\n"_s + reason));
    }

private:
    Reference<uno::XComponentContext> office() const
    {
        return Office::connect(options_.programFolder, options_.pipeName);
    }

    QTemporaryDir profile_;
    LibreOfficeOptions options_;
};

QTEST_GUILESS_MAIN(TestLibreOfficeAutomation)
#include "tst_libreofficeautomation.moc"
