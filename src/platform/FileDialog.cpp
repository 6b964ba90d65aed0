#include "platform/FileDialog.h"

#include <QDir>
#include <QFileInfo>

QStringList FileDialog::chosenPaths(bool collapseDoubledSeparators) const
{
    if (fileName_.isEmpty())
        return {};
    const QStringList pieces = fileName_.split(QChar(0));
    if (pieces.size() == 1)
        return pieces;
    const QString separator(QDir::separator());
    const QString doubled = separator + separator;
    QStringList paths;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        QString path = pieces[0] + separator + pieces[i];
        if (collapseDoubledSeparators)
            path.replace(doubled, separator);
        paths.append(path);
    }
    return paths;
}

QString FileDialog::selectionString(const QStringList &paths)
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

bool FileDialog::isMultiSelection(const QString &fileName)
{
    return fileName.contains(QChar(0));
}
