#include "platform/OrdinaryFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// A ".hidden" list is a few names; a larger file is not one.
constexpr qint64 largestHiddenList = 64 * 1024;

bool listedAsHidden(const QFileInfo &file)
{
    QFile list(file.dir().filePath(QStringLiteral(".hidden")));
    if (list.size() > largestHiddenList || !list.open(QIODevice::ReadOnly))
        return false;
    const QString name = file.fileName();
    for (QByteArray line : list.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (QString::fromUtf8(line) == name)
            return true;
    }
    return false;
}

} // namespace

bool ordinaryFileExists(const QString &path)
{
    const QFileInfo file(path);
    return file.isFile() && !file.isHidden() && !listedAsHidden(file);
}
