#include "platform/FileExists.h"

#include <QDateTime>
#include <QFileInfo>

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}
