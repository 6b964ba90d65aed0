// Drives a real LibreOffice, headless and with a profile of its own, through the word method.

#include "FakeMessageBoxes.h"
#include "FakeSourcePanes.h"
#include "platform/libreoffice/LibreOfficeAutomation.h"
#include "platform/libreoffice/OfficeConnection.h"
#include "wordcompare/Word1.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/document/XRedlinesSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/util/XCloseable.hpp>

namespace {

namespace css = com::sun::star;
using namespace css;
using css::uno::Reference;
using Office::toUno;

QStringList scratchFolders()
{
    return QDir::temp().entryList({QStringLiteral("parvenex-*")}, QDir::AllEntries | QDir::Hidden);
}

// The paragraphs of a text as the office holds them after reading the scratch file.
QString asParagraphs(const QString &paneText)
{
    QString text = paneText + QStringLiteral("\r\n");
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.chop(1);
    return text;
}

QString documentText(const Reference<frame::XModel> &document)
{
    return Office::fromUno(
        Reference<text::XTextDocument>(document, uno::UNO_QUERY_THROW)->getText()->getString());
}

} // namespace

class TestLibreOfficeWord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void noOfficeOfOursRunsAtFirst();
    void mergedDocumentTurnsTextOneIntoTextTwo();
    void theOfficeLeftOpenCountsAsRunning();
    void officeThatCannotStartIsReported_data();
    void officeThatCannotStartIsReported();

private:
    Reference<uno::XComponentContext> office() const;
    // Applies every tracked change of a copy of the document one way and returns its text.
    QString textWithAllChanges(const QString &odtPath, const char *command) const;

    QTemporaryDir profile_;
    QTemporaryDir work_;
    LibreOfficeOptions options_;
    QString text1_ = QStringLiteral("The quick brown fox\r\njumps over\r\nthe lazy dog.\r\n"
                                    "Ünïcödé stays €\r\n\r\nlast line");
    QString text2_ = QStringLiteral("The quick red fox\r\njumps over\r\nthe lazy dog.\r\n"
                                    "Ünïcödé stays €\r\nan added line\r\n\r\nlast line");
};

void TestLibreOfficeWord::initTestCase()
{
    QVERIFY(profile_.isValid());
    QVERIFY(work_.isValid());
    options_.pipeName = QStringLiteral("parvenex_test_%1").arg(QCoreApplication::applicationPid());
    options_.extraArguments = {QStringLiteral("--headless"), QStringLiteral("--invisible"),
                               "-env:UserInstallation=" +
                                   QUrl::fromLocalFile(profile_.path()).toString()};
    // A first start fills a new profile, which takes a while on a busy machine.
    options_.startTimeoutSeconds = 180;
    QVERIFY2(QFileInfo(options_.programFolder + "/soffice").isExecutable(),
             "LibreOffice Writer is not installed: run scripts/install-deps.sh");
}

void TestLibreOfficeWord::cleanupTestCase()
{
    const Reference<uno::XComponentContext> context = office();
    if (!context.is())
        return;
    try {
        frame::Desktop::create(context)->terminate();
    } catch (const uno::Exception &) {
        // Ending, as asked.
    }
    QTRY_VERIFY_WITH_TIMEOUT(!office().is(), 30000);
}

Reference<uno::XComponentContext> TestLibreOfficeWord::office() const
{
    return Office::connect(options_.programFolder, options_.pipeName);
}

void TestLibreOfficeWord::noOfficeOfOursRunsAtFirst()
{
    LibreOfficeAutomation automation(options_);
    FakeMessageBoxes messages;
    Word1 word(automation, messages);

    QVERIFY(!word.IsWordRunning());
    QVERIFY(!word.CancelForOpenWord());
    QVERIFY(messages.shown.isEmpty());
}

void TestLibreOfficeWord::mergedDocumentTurnsTextOneIntoTextTwo()
{
    const QStringList foldersBefore = scratchFolders();
    LibreOfficeAutomation automation(options_);
    FakeMessageBoxes messages;
    FakeSourcePanes panes(text1_, text2_);
    QElapsedTimer clock;
    clock.start();

    Word1(automation, messages).compareSourcePanes(panes);

    qInfo("The word method took %lld ms, the office's start included.", clock.elapsed());
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.texts().join('\n')));
    QCOMPARE(panes.savedPaths.size(), 2);
    QVERIFY(!QFileInfo::exists(QFileInfo(panes.savedPaths[0]).path()));
    QCOMPARE(scratchFolders(), foldersBefore);

    // The office holds exactly one document now: the new, untitled one, shown, with tracked
    // changes of both kinds.
    const Reference<uno::XComponentContext> context = office();
    QVERIFY(context.is());
    const Reference<container::XEnumeration> components =
        frame::Desktop::create(context)->getComponents()->createEnumeration();
    QVERIFY(components->hasMoreElements());
    const Reference<frame::XModel> merged(components->nextElement(), uno::UNO_QUERY_THROW);
    QVERIFY(!components->hasMoreElements());
    QVERIFY(merged->getURL().isEmpty());
    const Reference<awt::XWindow2> window(
        merged->getCurrentController()->getFrame()->getContainerWindow(), uno::UNO_QUERY_THROW);
    QVERIFY(window->isVisible());

    QStringList kinds;
    const Reference<container::XEnumeration> redlines =
        Reference<document::XRedlinesSupplier>(merged, uno::UNO_QUERY_THROW)
            ->getRedlines()
            ->createEnumeration();
    while (redlines->hasMoreElements()) {
        rtl::OUString kind;
        Reference<beans::XPropertySet>(redlines->nextElement(), uno::UNO_QUERY_THROW)
            ->getPropertyValue("RedlineType") >>= kind;
        kinds.append(Office::fromUno(kind));
    }
    QVERIFY2(kinds.contains("Insert") && kinds.contains("Delete"), qPrintable(kinds.join(' ')));

    const QString odtPath = work_.filePath(QStringLiteral("merged.odt"));
    Reference<frame::XStorable>(merged, uno::UNO_QUERY_THROW)
        ->storeToURL(
            Office::fileUrl(odtPath),
            Office::properties({Office::property("FilterName", uno::Any(toUno("writer8")))}));
    QCOMPARE(textWithAllChanges(odtPath, ".uno:RejectAllTrackedChanges"), asParagraphs(text1_));
    QCOMPARE(textWithAllChanges(odtPath, ".uno:AcceptAllTrackedChanges"), asParagraphs(text2_));
}

QString TestLibreOfficeWord::textWithAllChanges(const QString &odtPath, const char *command) const
{
    const Reference<uno::XComponentContext> context = office();
    const Reference<frame::XModel> copy(
        frame::Desktop::create(context)->loadComponentFromURL(
            Office::fileUrl(odtPath), "_blank", 0,
            Office::properties({Office::property("Hidden", uno::Any(true))})),
        uno::UNO_QUERY_THROW);
    const Reference<frame::XDispatchProvider> target(copy->getCurrentController()->getFrame(),
                                                     uno::UNO_QUERY_THROW);
    frame::DispatchHelper::create(context)->executeDispatch(
        target, rtl::OUString::createFromAscii(command), "", 0, {});
    const QString text = documentText(copy);
    Reference<util::XCloseable>(copy, uno::UNO_QUERY_THROW)->close(true);
    return text;
}

void TestLibreOfficeWord::theOfficeLeftOpenCountsAsRunning()
{
    LibreOfficeAutomation automation(options_);
    FakeMessageBoxes messages;
    messages.answers.enqueue(false);
    Word1 word(automation, messages);

    QVERIFY(word.IsWordRunning());
    QVERIFY(word.CancelForOpenWord());
    QCOMPARE(messages.shown.size(), 1);
}

void TestLibreOfficeWord::officeThatCannotStartIsReported_data()
{
    QTest::addColumn<QByteArray>("launcher");
    QTest::addColumn<QString>("reason");

    QTest::newRow("not installed") << QByteArray() << "LibreOffice is not installed";
    QTest::newRow("ends at once") << QByteArray("#!/bin/sh\nexit 1\n")
                                  << "LibreOffice ended before it could be reached";
}

void TestLibreOfficeWord::officeThatCannotStartIsReported()
{
    QFETCH(QByteArray, launcher);
    QFETCH(QString, reason);
    QTemporaryDir programFolder;
    if (!launcher.isEmpty()) {
        QFile soffice(programFolder.filePath(QStringLiteral("soffice")));
        QVERIFY(soffice.open(QIODevice::WriteOnly));
        soffice.write(launcher);
        soffice.setPermissions(soffice.permissions() | QFileDevice::ExeOwner);
    }
    LibreOfficeOptions options = options_;
    options.programFolder = programFolder.path();
    options.pipeName += QStringLiteral("_broken");
    LibreOfficeAutomation automation(options);
    FakeMessageBoxes messages;
    FakeSourcePanes panes(text1_, text2_);

    Word1(automation, messages).compareSourcePanes(panes);

    QCOMPARE(messages.shown.size(), 1);
    const QString text = messages.shown[0].text;
    QVERIFY2(
        text.startsWith(QStringLiteral("The word processor could not be started.\n\n") + reason),
        qPrintable(text));
    QVERIFY(!QFileInfo::exists(QFileInfo(panes.savedPaths.value(0)).path()));
}

QTEST_GUILESS_MAIN(TestLibreOfficeWord)
#include "tst_libreofficeword.moc"
