#include "wordprocessor/libreoffice/LibreOfficeAutomation.h"

#include "wordprocessor/SystemAutomation.h"
#include "wordprocessor/libreoffice/OfficeConnection.h"
#include "wordprocessor/libreoffice/OfficePipe.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/DispatchResultEvent.hpp>
#include <com/sun/star/frame/DispatchResultState.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/io/TempFile.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/task/InteractionHandler.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include <cerrno>
#include <csignal>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

namespace css = com::sun::star;
using namespace css;
using css::uno::Reference;
using Office::property;
using Office::toUno;

[[noreturn]] void fail(const QString &why)
{
    throw AutomationError(why.toStdString());
}

// Runs UNO calls, turning the office's exceptions into AutomationError.
template <typename Calls> auto guarded(const QString &what, Calls calls)
{
    try {
        return calls();
    } catch (const uno::Exception &error) {
        fail(what + u": "_s + Office::describe(error));
    }
}

void requireApplicationClass(const std::u16string &className)
{
    if (className != u"Word.Application")
        fail(u"No application is registered as "_s + QString::fromStdU16String(className) + u'.');
}

void requireKind(const AutomationArgument &argument, AutomationArgument::Kind kind,
                 const char *name)
{
    if (argument.kind != kind && argument.kind != AutomationArgument::Kind::Missing)
        fail(QStringLiteral("The argument %1 has the wrong type.").arg(QLatin1String(name)));
}

QString fileName(const AutomationArgument &argument)
{
    if (argument.kind != AutomationArgument::Kind::String &&
        argument.kind != AutomationArgument::Kind::StringByReference)
        fail(QStringLiteral("A file name is required."));
    return QString::fromStdU16String(argument.text);
}

template <std::size_t n>
void requireOmittedFrom(std::size_t first, const std::array<AutomationArgument, n> &arguments,
                        const char *member)
{
    for (std::size_t i = first; i < n; ++i)
        if (arguments[i].kind != AutomationArgument::Kind::Missing)
            fail(QStringLiteral("%1 with argument %2 is not available with LibreOffice.")
                     .arg(QLatin1String(member))
                     .arg(i + 1));
}

Reference<frame::XFrame> frameOf(const Reference<frame::XModel> &document)
{
    return document->getCurrentController()->getFrame();
}

// What one application object shares with the documents it hands out.
struct Session
{
    Reference<uno::XComponentContext> context;
    Reference<frame::XDesktop2> desktop;
    std::int32_t alerts = AutomationConstants::wdAlertsAll;
    bool startedOffice = false;
    bool shown = false;
    // Loaded through this application and not closed by it.
    std::vector<Reference<frame::XModel>> documents;

    Reference<frame::XModel> load(const QString &path, std::vector<beans::PropertyValue> descriptor)
    {
        const QString absolutePath = QFileInfo(path).absoluteFilePath();
        descriptor.push_back(property("Hidden", uno::Any(true)));
        if (QFileInfo(path).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0) {
            // Text files come from the save buttons' writer: the system's code page, which is
            // UTF-8 for Qt on this platform, and CR LF line breaks.
            descriptor.push_back(property("FilterName", uno::Any(rtl::OUString("Text (encoded)"))));
            descriptor.push_back(property("FilterOptions", uno::Any(rtl::OUString("UTF8,CRLF"))));
        }
        return guarded(
            u"LibreOffice could not open "_s + QDir::toNativeSeparators(absolutePath), [&] {
                if (alerts != AutomationConstants::wdAlertsNone)
                    descriptor.push_back(property(
                        "InteractionHandler",
                        uno::Any(task::InteractionHandler::createWithParent(context, nullptr))));
                const Reference<frame::XModel> document(
                    desktop->loadComponentFromURL(Office::fileUrl(absolutePath), "_blank", 0,
                                                  Office::properties(descriptor)),
                    uno::UNO_QUERY);
                if (!document.is())
                    fail(u"LibreOffice could not open "_s + QDir::toNativeSeparators(absolutePath) +
                         u'.');
                documents.push_back(document);
                return document;
            });
    }

    // A copy: the caller may hand in an element of documents, which erasing destroys.
    void close(const Reference<frame::XModel> document)
    {
        std::erase(documents, document);
        Reference<util::XCloseable>(document, uno::UNO_QUERY_THROW)->close(true);
    }

    // Like an automation server that nobody has made visible, the office does not outlive the
    // last reference to an application object that was never shown.
    void letGo() noexcept
    {
        if (!shown)
            end();
    }

    // Closes what this application loaded, then ends the office if this application started it
    // and nothing else is open there: an office that the user works in stays.
    void end() noexcept
    {
        while (!documents.empty()) {
            try {
                close(documents.back());
            } catch (const uno::Exception &) {
                // Closed by the user meanwhile, or the office is gone.
            }
        }
        try {
            if (std::exchange(startedOffice, false) &&
                !desktop->getComponents()->createEnumeration()->hasMoreElements())
                desktop->terminate();
        } catch (const uno::Exception &) {
        }
    }
};

class OfficeDocument : public AutomationDocument
{
public:
    OfficeDocument(std::shared_ptr<Session> session, Reference<frame::XModel> document)
        : session_(std::move(session)), document_(std::move(document))
    {}

    void merge(const std::array<AutomationArgument, 5> &arguments) override
    {
        const QString path = fileName(arguments[0]);
        if (arguments[1].kind != AutomationArgument::Kind::Int32 ||
            arguments[1].number != AutomationConstants::wdMergeTargetNew)
            fail(QStringLiteral("LibreOffice can merge only into a new document."));
        // Writer's comparison always looks at formatting too, and plain text brings none to
        // choose from, so DetectFormatChanges and UseFormattingFrom need nothing further.
        requireKind(arguments[2], AutomationArgument::Kind::Boolean, "DetectFormatChanges");
        requireKind(arguments[3], AutomationArgument::Kind::Int32, "UseFormattingFrom");
        requireKind(arguments[4], AutomationArgument::Kind::Boolean, "AddToRecentFiles");
        const bool addToRecentFiles =
            arguments[4].kind == AutomationArgument::Kind::Missing || arguments[4].flag;

        const Reference<frame::XModel> merged =
            session_->load(path, {property("AsTemplate", uno::Any(true)),
                                  property("PickListEntry", uno::Any(addToRecentFiles))});
        guarded(QStringLiteral("LibreOffice could not compare the documents"), [&] {
            // The comparison reads the older version from a file. A snapshot of this document
            // as it is open spares it from guessing the encoding of a text file.
            const Reference<io::XTempFile> snapshot = io::TempFile::create(session_->context);
            rtl::OUString snapshotUrl;
            Reference<beans::XPropertySet>(snapshot, uno::UNO_QUERY_THROW)
                ->getPropertyValue("Uri") >>= snapshotUrl;
            Reference<frame::XStorable>(document_, uno::UNO_QUERY_THROW)
                ->storeToURL(snapshotUrl, Office::properties({property(
                                              "FilterName", uno::Any(rtl::OUString("writer8")))}));

            const Reference<frame::XDispatchProvider> target(frameOf(merged), uno::UNO_QUERY_THROW);
            const uno::Any result =
                frame::DispatchHelper::create(session_->context)
                    ->executeDispatch(
                        target, ".uno:CompareDocuments", "", 0,
                        Office::properties({property("URL", uno::Any(snapshotUrl)),
                                            property("NoAcceptDialog", uno::Any(true))}));
            frame::DispatchResultEvent outcome;
            if (!(result >>= outcome) || outcome.State != frame::DispatchResultState::SUCCESS)
                fail(QStringLiteral("LibreOffice's document comparison did not run."));
        });
    }

    void close(const std::array<AutomationArgument, 3> &arguments) override
    {
        requireOmittedFrom(0, arguments, "Close");
        guarded(QStringLiteral("LibreOffice could not close the document"),
                [&] { session_->close(document_); });
    }

private:
    std::shared_ptr<Session> session_;
    Reference<frame::XModel> document_;
};

class OfficeDocuments : public AutomationDocuments
{
public:
    explicit OfficeDocuments(std::shared_ptr<Session> session) : session_(std::move(session)) {}

    std::unique_ptr<AutomationDocument>
    open(const std::array<AutomationArgument, 16> &arguments) override
    {
        requireOmittedFrom(1, arguments, "Open");
        return std::make_unique<OfficeDocument>(session_,
                                                session_->load(fileName(arguments[0]), {}));
    }

private:
    std::shared_ptr<Session> session_;
};

class OfficeApplication : public AutomationApplication
{
public:
    explicit OfficeApplication(std::shared_ptr<Session> session) : session_(std::move(session)) {}
    ~OfficeApplication() override { session_->letGo(); }

    std::unique_ptr<AutomationDocuments> documents() override
    {
        return std::make_unique<OfficeDocuments>(session_);
    }

    std::int32_t displayAlerts() override { return session_->alerts; }
    void setDisplayAlerts(std::int32_t level) override { session_->alerts = level; }

    bool visible() override { return session_->shown; }

    void setVisible(bool visible) override
    {
        guarded(QStringLiteral("LibreOffice could not show its window"), [&] {
            for (const Reference<frame::XModel> &document : session_->documents) {
                try {
                    frameOf(document)->getContainerWindow()->setVisible(visible);
                } catch (const lang::DisposedException &) {
                    // The user has closed it already.
                }
            }
        });
        session_->shown = visible;
    }

    std::u16string name() override
    {
        return guarded(QStringLiteral("LibreOffice's product name could not be read"), [&] {
            const Reference<uno::XComponentContext> &context = session_->context;
            const Reference<lang::XMultiServiceFactory> configuration(
                context->getServiceManager()->createInstanceWithContext(
                    "com.sun.star.configuration.ConfigurationProvider", context),
                uno::UNO_QUERY_THROW);
            const uno::Any nodePath(
                property("nodepath", uno::Any(rtl::OUString("/org.openoffice.Setup/Product"))));
            const Reference<container::XNameAccess> product(
                configuration->createInstanceWithArguments(
                    "com.sun.star.configuration.ConfigurationAccess",
                    uno::Sequence<uno::Any>(&nodePath, 1)),
                uno::UNO_QUERY_THROW);
            rtl::OUString name;
            product->getByName("ooName") >>= name;
            return Office::fromUno(name).toStdU16String();
        });
    }

    void quit(const std::array<AutomationArgument, 3> &arguments) override
    {
        // Nothing is ever saved on the way out: LibreOffice would have to ask where to.
        if (arguments[0].kind != AutomationArgument::Kind::Int32 ||
            arguments[0].number != AutomationConstants::wdDoNotSaveChanges)
            fail(QStringLiteral("LibreOffice can quit only without saving changes."));
        requireOmittedFrom(1, arguments, "Quit");
        session_->end();
    }

private:
    std::shared_ptr<Session> session_;
};

std::unique_ptr<AutomationApplication>
makeApplication(const Reference<uno::XComponentContext> &context, bool startedOffice)
{
    auto session = std::make_shared<Session>();
    session->context = context;
    session->startedOffice = startedOffice;
    session->desktop = guarded(QStringLiteral("LibreOffice did not answer"),
                               [&] { return frame::Desktop::create(context); });
    return std::make_unique<OfficeApplication>(session);
}

QString pipeNameOf(const LibreOfficeOptions &options)
{
    return options.pipeName.isEmpty() ? Office::sessionPipeName() : options.pipeName;
}

Reference<uno::XComponentContext> connectTo(const LibreOfficeOptions &options)
{
    return Office::connect(options.programFolder, pipeNameOf(options), options.owner);
}

// Waits while the window repaints; input waits too, as nothing may change the texts under way.
void pause(std::chrono::milliseconds interval)
{
    if (!QCoreApplication::instance()) {
        QThread::msleep(std::size_t(interval.count()));
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(interval, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

bool processEnded(qint64 processId)
{
    if (::kill(pid_t(processId), 0) != 0)
        return errno == ESRCH;
    // Ended but not yet reaped by whoever adopted it.
    QFile status(QStringLiteral("/proc/%1/stat").arg(processId));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = status.readAll();
    const qsizetype nameEnd = line.lastIndexOf(')');
    return nameEnd >= 0 && line.mid(nameEnd + 2, 1) == "Z";
}

} // namespace

LibreOfficeAutomation::LibreOfficeAutomation(LibreOfficeOptions options)
    : options_(std::move(options))
{}

std::unique_ptr<AutomationApplication>
LibreOfficeAutomation::getActiveObject(const std::u16string &className)
{
    requireApplicationClass(className);
    const Reference<uno::XComponentContext> context = connectTo(options_);
    if (!context.is())
        fail(QStringLiteral("No LibreOffice started by Parvenex is running."));
    return makeApplication(context, false);
}

std::unique_ptr<AutomationApplication>
LibreOfficeAutomation::createObject(const std::u16string &className)
{
    requireApplicationClass(className);
    // One LibreOffice serves all of a user's documents: when it runs already, it is the one.
    Reference<uno::XComponentContext> context = connectTo(options_);
    if (context.is())
        return makeApplication(context, false);

    const qint64 processId = startOffice();
    const QDeadlineTimer deadline(std::chrono::seconds(options_.startTimeoutSeconds));
    std::optional<QDeadlineTimer> graceAfterEnd;
    for (;;) {
        context = connectTo(options_);
        if (context.is())
            return makeApplication(context, true);
        if (deadline.hasExpired())
            fail(QStringLiteral("LibreOffice was started but did not answer within %1 seconds.")
                     .arg(options_.startTimeoutSeconds));
        // A LibreOffice that finds one already running for the same user hands its arguments
        // over and ends; the running one should open the pipe soon after.
        if (!graceAfterEnd && processEnded(processId))
            graceAfterEnd = QDeadlineTimer(std::chrono::seconds(5));
        if (graceAfterEnd && graceAfterEnd->hasExpired())
            fail(QStringLiteral("LibreOffice ended before it could be reached. Close any "
                                "LibreOffice window and try again, or start LibreOffice Writer "
                                "by hand to see what it reports."));
        pause(std::chrono::milliseconds(100));
    }
}

qint64 LibreOfficeAutomation::startOffice() const
{
    const QString program = options_.programFolder + QStringLiteral("/soffice");
    if (!QFileInfo(program).isExecutable())
        fail(u"LibreOffice is not installed: "_s + program +
             u" was not found. Install LibreOffice Writer (on Debian, the package "
             u"libreoffice-writer)."_s);
    QStringList arguments{QStringLiteral("--nologo"), QStringLiteral("--norestore"),
                          QStringLiteral("--nodefault"),
                          u"--accept=pipe,name="_s + pipeNameOf(options_) + u";urp;"_s};
    arguments += options_.extraArguments;
    qint64 processId = 0;
    if (!QProcess::startDetached(program, arguments, QString(), &processId))
        fail(u"LibreOffice could not be run ("_s + program + u")."_s);
    return processId;
}

std::unique_ptr<AutomationRegistry> createSystemAutomation()
{
    return std::make_unique<LibreOfficeAutomation>();
}
