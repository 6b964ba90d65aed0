#include "wordcompare/Word1.h"

#include "platform/MessageBoxes.h"
#include "platform/WordAutomation.h"
#include "wordcompare/SourcePanes.h"

#include <QDir>
#include <QTemporaryDir>

#include <optional>
#include <utility>

namespace {

const std::u16string wordClass = u"Word.Application";

QString reason(const std::exception &error)
{
    return QString::fromUtf8(error.what());
}

} // namespace

Word1::Word1(AutomationRegistry &automation, MessageBoxes &messages)
    : automation_(automation), messages_(messages)
{}

bool Word1::IsWordRunning()
{
    try {
        const std::unique_ptr<WordApplication> running = automation_.getActiveObject(wordClass);
        return running->name() == automation_.wordProcessorName();
    } catch (const std::exception &) {
        return false;
    }
}

bool Word1::CancelForOpenWord()
{
    if (!IsWordRunning())
        return false;
    return !messages_.askYesNo(
        QStringLiteral("Word may be open. It is recommended that you close Word first.\r\n\r\n"
                       "Would you like to proceed anyway?"));
}

bool Word1::CompareInWord(const QString &firstPath, const QString &secondPath)
{
    using namespace WordConstants;
    using Argument = AutomationArgument;

    std::unique_ptr<WordApplication> application;
    try {
        application = automation_.createObject(wordClass);
    } catch (const std::exception &error) {
        messages_.warn(QStringLiteral("The word processor could not be started.\n\n") +
                       reason(error));
        return false;
    }

    std::unique_ptr<WordDocument> document;
    bool documentOpen = false;
    std::optional<std::int32_t> alertsBefore;
    try {
        std::array<Argument, 16> openArguments;
        openArguments[0] = Argument::stringByReference(firstPath.toStdU16String());
        // The collection is released as soon as the document is open.
        document = application->documents()->Open(openArguments);
        documentOpen = true;

        alertsBefore = application->displayAlerts();
        application->setDisplayAlerts(wdAlertsNone);
        document->Merge({Argument::string(secondPath.toStdU16String()),
                         Argument::int32(wdMergeTargetNew), Argument::boolean(true),
                         Argument::int32(wdFormattingFromPrompt), Argument::boolean(false)});
        documentOpen = false; // a failed Close is not tried again
        document->Close({});
        // Alerts go back on before the user gets the word processor, so that it asks before
        // the merged document is closed unsaved.
        application->setDisplayAlerts(*std::exchange(alertsBefore, std::nullopt));
        application->setVisible(true);
        return true;
    } catch (const std::exception &error) {
        // Tidy up what still answers, in the order of the normal path: the document is closed
        // while alerts are still off, so that no question waits in a window nobody can see.
        try {
            if (documentOpen)
                document->Close({});
        } catch (const std::exception &) {
        }
        try {
            if (alertsBefore)
                application->setDisplayAlerts(*alertsBefore);
        } catch (const std::exception &) {
        }
        messages_.warn(QStringLiteral("The comparison in the word processor failed.\n\n") +
                       reason(error));
        return false;
    }
}

void Word1::compareSourcePanes(SourcePanes &panes)
{
    if (CancelForOpenWord())
        return;
    const QString text2 = panes.text(2);
    const QString text1 = panes.text(1);
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
    if (panes.save(1, firstPath) && panes.save(2, secondPath))
        CompareInWord(firstPath, secondPath);

    if (!scratch.remove())
        messages_.warn(QStringLiteral("The temporary folder %1 could not be removed.")
                           .arg(QDir::toNativeSeparators(scratch.path())));
}
