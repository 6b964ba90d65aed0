#include "platform/CommonDialog.h"

#include <QDir>
#include <QFileInfo>

QString CommonDialog::selectionString(const QStringList &paths)
{
    if (paths.size() == 1)
        return QDir::toNativeSeparators(paths.first());
    if (paths.isEmpty())
        return QString();
    const QDir directory = QFileInfo(paths.first()).absoluteDir();
    QStringList pieces{QDir::toNativeSeparators(directory.absolutePath())};
    for (const QString &path : paths)
        pieces.append(QDir::toNativeSeparators(directory.relativeFilePath(path)));
    return pieces.join(QChar(0));
}

bool CommonDialog::isMultiSelection(const QString &fileName)
{
    return fileName.contains(QChar(0));
}
