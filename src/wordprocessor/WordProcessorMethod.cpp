#include "wordprocessor/WordProcessorMethod.h"

#include "platform/MessageBoxes.h"
#include "wordprocessor/Automation.h"
#include "wordprocessor/SourceTexts.h"

#include <QDir>
#include <QTemporaryDir>

#include <optional>
#include <utility>

namespace {

const std::u16string applicationClass = u"Word.Application";

QString reason(const std::exception &error)
{
    return QString::fromUtf8(error.what());
}

} // namespace

WordProcessorMethod::WordProcessorMethod(AutomationRegistry &automation, MessageBoxes &messages)
    : automation_(automation), messages_(messages)
{}

bool WordProcessorMethod::isRunning()
{
    try {
        const std::unique_ptr<AutomationApplication> running =
            automation_.getActiveObject(applicationClass);
        return running->name() == automation_.wordProcessorName();
    } catch (const std::exception &) {
        return false;
    }
}

bool WordProcessorMethod::cancelForRunningInstance()
{
    if (!isRunning())
        return false;
    return !messages_.askYesNo(
        QStringLiteral("Word may be open. It is recommended that you close Word first.\r\n\r\n"
                       "Would you like to proceed anyway?"));
}

bool WordProcessorMethod::compareFiles(const QString &firstPath, const QString &secondPath)
{
    using namespace AutomationConstants;
    using Argument = AutomationArgument;

    std::unique_ptr<AutomationApplication> application;
    try {
        application = automation_.createObject(applicationClass);
    } catch (const std::exception &error) {
        messages_.warn(QStringLiteral("The word processor could not be started.\n\n") +
                       reason(error));
        return false;
    }

    std::unique_ptr<AutomationDocument> document;
    bool documentOpen = false;
    bool shown = false; // from the moment it is asked to show, which may work even when it fails
    std::optional<std::int32_t> alertsBefore;
    try {
        std::array<Argument, 16> openArguments;
        openArguments[0] =
            Argument::stringByReference(QDir::toNativeSeparators(firstPath).toStdU16String());
        // The collection is released as soon as the document is open.
        document = application->documents()->open(openArguments);
        documentOpen = true;

        alertsBefore = application->displayAlerts();
        application->setDisplayAlerts(wdAlertsNone);
        document->merge({Argument::string(QDir::toNativeSeparators(secondPath).toStdU16String()),
                         Argument::int32(wdMergeTargetNew), Argument::boolean(true),
                         Argument::int32(wdFormattingFromPrompt), Argument::boolean(false)});
        documentOpen = false; // a failed Close is not tried again
        document->close({});
        // Alerts go back on before the user gets the word processor, so that it asks before
        // the merged document is closed unsaved.
        application->setDisplayAlerts(*std::exchange(alertsBefore, std::nullopt));
        shown = true;
        application->setVisible(true);
        return true;
    } catch (const std::exception &error) {
        // Tidy up what still answers, in the order of the normal path: the document is closed
        // while alerts are still off, so that no question waits in a window nobody can see.
        try {
            if (documentOpen)
                document->close({});
        } catch (const std::exception &) {
        }
        try {
            if (alertsBefore)
                application->setDisplayAlerts(*alertsBefore);
        } catch (const std::exception &) {
        }
        // Not yet shown, the new instance would stay running where nobody can see or close it.
        // One that is visible all the same is the user's own, which the automation handed out
        // for a new one; when that cannot be told, it is left alone too.
        try {
            if (!shown && !application->visible())
                application->quit({Argument::int32(wdDoNotSaveChanges), Argument::missing(),
                                   Argument::missing()});
        } catch (const std::exception &) {
        }
        messages_.warn(QStringLiteral("The comparison in the word processor failed.\n\n") +
                       reason(error));
        return false;
    }
}

void WordProcessorMethod::compareTexts(SourceTexts &texts)
{
    if (cancelForRunningInstance())
        return;
    const QString text2 = texts.text(Side::Two);
    const QString text1 = texts.text(Side::One);
    if (text1.isEmpty() || text2.isEmpty())
        return;

    // A folder of our own: the scratch files never meet a file of the user's, and removing the
    // folder afterwards cannot take anything else with it.
    QTemporaryDir scratch(QDir::tempPath() + QStringLiteral("/parvenex-XXXXXX"));
    if (!scratch.isValid()) {
        messages_.warn(QStringLiteral("The texts could not be handed to the word processor: no "
                                      "temporary folder could be made.\n\n") +
                       scratch.errorString());
        return;
    }
    const QString firstPath = scratch.filePath(QStringLiteral("1.txt"));
    const QString secondPath = scratch.filePath(QStringLiteral("2.txt"));
    if (texts.save(Side::One, firstPath) && texts.save(Side::Two, secondPath))
        compareFiles(firstPath, secondPath);

    if (!scratch.remove())
        messages_.warn(QStringLiteral("The temporary folder %1 could not be removed.")
                           .arg(QDir::toNativeSeparators(scratch.path())));
}
