#include "app/HandPointer.h"

#include "app/Services.h"
#include "platform/CursorFile.h"
#include "platform/FileExists.h"
#include "platform/MessageBoxes.h"

#include <QDir>
#include <QPixmap>

std::optional<QCursor> loadHandPointer(const Services &services)
{
    const QString path = services.programFolder + QStringLiteral("/HAND-M.CUR");
    if (!fileExists(path))
        return std::nullopt;
    QString error;
    const std::optional<CursorPicture> picture = readCursorFile(path, &error);
    if (!picture) {
        services.messages.warn(
            QStringLiteral("The hand pointer file \"%1\" was ignored because %2.\n\n"
                           "Parvenex shows the system's pointing hand instead.")
                .arg(QDir::toNativeSeparators(path), error));
        return std::nullopt;
    }
    return QCursor(QPixmap::fromImage(picture->image), picture->hotSpot.x(), picture->hotSpot.y());
}
