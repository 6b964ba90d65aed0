// Drives a real LibreOffice, headless and with a profile of its own, through the word-processor
// method.

#include "FakeMessageBoxes.h"
#include "FakeSourceTexts.h"
#include "TempFiles.h"
#include "wordprocessor/WordProcessorMethod.h"
#include "wordprocessor/libreoffice/LibreOfficeAutomation.h"
#include "wordprocessor/libreoffice/OfficeConnection.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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

using namespace com::sun::star;
using uno::Reference;
using uno::UNO_QUERY_THROW;
using namespace Qt::StringLiterals;

class TestLibreOfficeAutomation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void mergedDocumentTurnsTextOneIntoTextTwo();
    void quitEndsOnlyAnOfficeThatTheApplicationStarted();
    void officeThatCannotStartIsReported_data();
    void officeThatCannotStartIsReported();

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

void TestLibreOfficeAutomation::initTestCase()
{
    QVERIFY(profile_.isValid());
    options_.pipeName = QStringLiteral("parvenex_test_%1").arg(QCoreApplication::applicationPid());
    options_.extraArguments = {u"--headless"_s, u"--invisible"_s,
                               u"-env:UserInstallation="_s +
                                   QUrl::fromLocalFile(profile_.path()).toString()};
    // A first start fills a new profile, which takes a while on a busy machine.
    options_.startTimeoutSeconds = 180;
    QVERIFY2(QFileInfo(options_.programFolder + u"/soffice"_s).isExecutable(),
             "LibreOffice Writer is not installed: run scripts/install-deps.sh");
}

void TestLibreOfficeAutomation::cleanupTestCase()
{
    endOffice();
    // The office may still write to its profile for a moment after it stops answering.
    QTRY_VERIFY_WITH_TIMEOUT(profile_.remove(), 30000);
}

void TestLibreOfficeAutomation::mergedDocumentTurnsTextOneIntoTextTwo()
{
    const QString text1 = QStringLiteral("The quick brown fox\r\njumps over\r\nthe lazy dog.\r\n"
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
    QVERIFY(Reference<awt::XWindow2>(
                merged->getCurrentController()->getFrame()->getContainerWindow(), UNO_QUERY_THROW)
                ->isVisible());

    // Rejecting all its tracked changes gives text #1, accepting them all text #2.
    const QString odt = profile_.filePath(QStringLiteral("merged.odt"));
    Reference<frame::XStorable>(merged, UNO_QUERY_THROW)
        ->storeToURL(Office::fileUrl(odt), Office::properties({Office::property(
                                               "FilterName", uno::Any(rtl::OUString("writer8")))}));
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

// The office left running by the merge above is the user's now; one that the application started
// ends, even while the application object is still held.
void TestLibreOfficeAutomation::quitEndsOnlyAnOfficeThatTheApplicationStarted()
{
    const std::array<AutomationArgument, 3> withoutSaving{
        AutomationArgument::int32(AutomationConstants::wdDoNotSaveChanges),
        AutomationArgument::missing(), AutomationArgument::missing()};
    LibreOfficeAutomation automation(options_);
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

void TestLibreOfficeAutomation::officeThatCannotStartIsReported_data()
{
    QTest::addColumn<QByteArray>("launcher");
    QTest::addColumn<QString>("reason");
    QTest::newRow("not installed") << QByteArray() << "LibreOffice is not installed";
    QTest::newRow("ends at once") << "#!/bin/sh\nexit 1\n"_ba
                                  << "LibreOffice ended before it could be reached";
}

void TestLibreOfficeAutomation::officeThatCannotStartIsReported()
{
    QFETCH(QByteArray, launcher);
    QFETCH(QString, reason);
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
    QVERIFY(!WordProcessorMethod(automation, messages).compareFiles(u"1.txt"_s, u"2.txt"_s));
    const QString expected = u"The word processor could not be started.\n\n"_s + reason;
    QCOMPARE(messages.texts().size(), 1);
    QCOMPARE(messages.texts()[0].left(expected.size()), expected);
}

QTEST_GUILESS_MAIN(TestLibreOfficeAutomation)
#include "tst_libreofficeautomation.moc"
