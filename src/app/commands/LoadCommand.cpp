#include "app/commands/LoadCommand.h"

#include "app/WaitPointer.h"
#include "app/commands/FileDialogFlags.h"
#include "documents/ReadTextFile.h"
#include "pane/TextPane.h"
#include "platform/FileDialog.h"
#include "platform/FileExists.h"
#include "platform/MessageBoxes.h"

#include <QLocale>

namespace {

QString megabytes(qint64 bytes, int decimals)
{
    return QLocale::system().formattedDataSize(bytes, decimals, QLocale::DataSizeTraditionalFormat);
}

QString whyNot(const TextFileContent &content, bool paneHasText)
{
    using Problem = TextFileContent::Problem;
    switch (content.problem) {
    case Problem::Folder:
        return QStringLiteral("it is a folder, not a file.");
    case Problem::NotOrdinaryFile:
        return QStringLiteral("it is not an ordinary file but a device, pipe or socket.");
    case Problem::TooLarge:
        if (paneHasText && content.size <= maxLoadBytes)
            return QStringLiteral("together with the files loaded before it, the text would be "
                                  "more than %1.")
                .arg(megabytes(maxLoadBytes, 0));
        return QStringLiteral("it is %1, more than the %2 a text can have.")
            .arg(megabytes(content.size, 1), megabytes(maxLoadBytes, 0));
    case Problem::Binary:
        return QStringLiteral("it holds binary data (NUL characters), not text.");
    case Problem::Unreadable:
        return QStringLiteral("it cannot be read (%1).").arg(content.error);
    case Problem::None:
        break;
    }
    return QString();
}

bool endsWithLineBreak(const QString &text)
{
    return text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
}

} // namespace

LoadCommand::LoadCommand(Side side, TextPane &sourcePane, const FileCommandServices &services,
                         std::function<void()> showSourcePanes)
    : side_(side), pane_(sourcePane), services_(services),
      showSourcePanes_(std::move(showSourcePanes))
{}

void LoadCommand::run()
{
    prepareOpenDialog();
    services_.dialog.showOpen();
    // Kept on purpose, as users know it: only the first side tidies the paths of several files,
    // the second side's go to the file system as they were joined.
    load(services_.dialog.chosenPaths(side_ == Side::One));
}

void LoadCommand::loadFiles(const QStringList &paths)
{
    prepareOpenDialog();
    services_.dialog.setChosenPaths(paths);
    load(paths);
}

void LoadCommand::prepareOpenDialog()
{
    FileDialog &dialog = services_.dialog;
    dialog.clearChoice();
    dialog.setFlags(fileDialogFlags);
    dialog.setDialogTitle(QStringLiteral("Load List(s) - Hold Ctrl to select multiple list files"));
    dialog.setFilter(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"));
}

void LoadCommand::load(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    WaitPointer wait(services_.pointer);
    pane_.setText(QString());
    QString text;
    for (const QString &path : paths)
        appendFile(text, path);
    // The final carriage return ends the last line, so the comparisons see it as a whole line.
    pane_.setText(text + QLatin1Char('\r'));
    showSourcePanes_();
}

// Adds the file's text to text, on a new line when text does not end with a line break (an
// empty file adds nothing). A file that cannot be loaded leaves text as it was.
void LoadCommand::appendFile(QString &text, const QString &path)
{
    MessageBoxes &messages = services_.messages;
    if (!fileExists(path)) {
        messages.inform(QStringLiteral("File not found"));
        return;
    }
    TextFileContent content = readTextFile(path, maxLoadBytes - text.size());
    if (content.problem != TextFileContent::Problem::None) {
        messages.warn(QStringLiteral("The file \"%1\" cannot be loaded: %2")
                          .arg(path, whyNot(content, !text.isEmpty())));
        return;
    }
    if (content.text.isEmpty())
        return;
    if (!text.isEmpty() && !endsWithLineBreak(text))
        text += QStringLiteral("\r\n");
    text += content.text;
}
