#include "app/commands/LoadCommand.h"

#include "app/WaitPointer.h"
#include "app/commands/FileDialogFlags.h"
#include "documents/ReadTextFile.h"
#include "pane/TextPane.h"
#include "platform/FileDialog.h"
#include "platform/FileExists.h"
#include "platform/MessageBoxes.h"

#include <QDir>
#include <QLocale>

namespace {

// A file's size and the limit, rounded to one decimal; in bytes when they would round to the
// same figure, so that the message never calls a file more than a limit that reads the same.
std::pair<QString, QString> sizeAndLimit(qint64 size, qint64 limit)
{
    const QLocale locale = QLocale::system();
    const auto rounded = [&locale](qint64 bytes) {
        return locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
    };
    if (rounded(size) != rounded(limit))
        return {rounded(size), rounded(limit)};
    const auto exact = [&locale](qint64 bytes) {
        return QStringLiteral("%1 bytes").arg(locale.toString(bytes));
    };
    return {exact(size), exact(limit)};
}

QString whyNot(const TextFileContent &content, bool paneHasText, qint64 limit)
{
    using Problem = TextFileContent::Problem;
    switch (content.problem) {
    case Problem::Folder:
        return QStringLiteral("it is a folder, not a file.");
    case Problem::NotOrdinaryFile:
        return QStringLiteral("it is not an ordinary file but a device, pipe or socket.");
    case Problem::TooLarge: {
        const auto [size, most] = sizeAndLimit(content.size, limit);
        if (paneHasText && content.size <= limit)
            return QStringLiteral("together with the files loaded before it, the text would be "
                                  "more than the %1 that a text can take on this computer.")
                .arg(most);
        return QStringLiteral("it is %1, more than the %2 that a text can take on this computer.")
            .arg(size, most);
    }
    case Problem::Binary:
        return QStringLiteral("it holds binary data (NUL characters), not text.");
    case Problem::Unreadable:
        return QStringLiteral("it cannot be read (%1).").arg(content.error);
    case Problem::None:
        break;
    }
    return QString();
}

bool endsWithLineBreak(const QByteArray &text)
{
    return text.endsWith('\n') || text.endsWith('\r');
}

constexpr qint64 largestText = 1000 * 1000 * 1000;

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
    const qint64 limit = loadLimit(services_.availableMemory());
    QByteArray text;
    qint64 loaded = 0; // the files' texts, without the line breaks that join them
    for (const QString &path : paths)
        appendFile(text, path, limit, loaded);
    // The final carriage return ends the last line, so the comparisons see it as a whole line.
    text += '\r';
    pane_.setUtf8Text(std::move(text));
    showSourcePanes_();
}

// Adds the file's text to text, on a new line when text does not end with a line break (an
// empty file adds nothing). A file that cannot be loaded leaves text as it was.
void LoadCommand::appendFile(QByteArray &text, const QString &path, qint64 limit, qint64 &loaded)
{
    MessageBoxes &messages = services_.messages;
    if (!fileExists(path)) {
        messages.inform(QStringLiteral("File not found"));
        return;
    }
    TextFileContent content;
    try {
        content = readTextFile(path, limit - loaded);
        if (content.problem == TextFileContent::Problem::None && !content.utf8.isEmpty()) {
            loaded += content.utf8.size();
            if (text.isEmpty()) {
                text = std::move(content.utf8);
                return;
            }
            if (!endsWithLineBreak(text))
                text += "\r\n";
            // The CR that ends one file and the LF that starts the next are two line breaks,
            // which the pane would read as one CR LF.
            else if (text.endsWith('\r') && content.utf8.startsWith('\n'))
                text += '\n';
            text += content.utf8;
        }
    } catch (const std::bad_alloc &) {
        messages.warn(QStringLiteral("The file \"%1\" cannot be loaded: there is not enough "
                                     "memory for its text.")
                          .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (content.problem != TextFileContent::Problem::None)
        messages.warn(QStringLiteral("The file \"%1\" cannot be loaded: %2")
                          .arg(QDir::toNativeSeparators(path), whyNot(content, loaded > 0, limit)));
}

qint64 loadLimit(std::optional<qint64> availableMemory)
{
    return availableMemory ? qBound<qint64>(0, *availableMemory / 4, largestText) : largestText;
}
