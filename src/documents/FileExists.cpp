#include "documents/FileExists.h"

#include <QDateTime>
#include <QFileInfo>

bool FileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}
