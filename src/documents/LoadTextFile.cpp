#include "documents/LoadTextFile.h"

#include "documents/FileExists.h"
#include "documents/ReadTextFile.h"
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

void LoadTextFile(QString &paneText, const QString &path, MessageBoxes &messages)
{
    if (!FileExists(path)) {
        messages.inform(QStringLiteral("File not found"));
        return;
    }
    TextFileContent content = readTextFile(path, maxLoadBytes - paneText.size());
    if (content.problem != TextFileContent::Problem::None) {
        messages.warn(QStringLiteral("The file \"%1\" cannot be loaded: %2")
                          .arg(path, whyNot(content, !paneText.isEmpty())));
        return;
    }
    if (content.text.isEmpty())
        return;
    if (!paneText.isEmpty() && !endsWithLineBreak(paneText))
        paneText += QStringLiteral("\r\n");
    paneText += content.text;
}
