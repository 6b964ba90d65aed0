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
    const QChar separator = QDir::separator();
    QStringList paths;
    for (qsizetype i = 1; i < pieces.size(); ++i) {
        const QString path = pieces[0] + separator + pieces[i];
        paths.append(collapseDoubledSeparators ? withoutDoubledSeparators(path, separator) : path);
    }
    return paths;
}

QString FileDialog::withoutDoubledSeparators(const QString &path, QChar separator)
{
    const QString doubled(2, separator);
    // Where the separator is a slash, two at the start are the root folder's own one doubled
    // by the join, and go like any others.
    const qsizetype kept = separator == u'\\' && path.startsWith(doubled) ? 2 : 0;
    QString rest = path.mid(kept);
    rest.replace(doubled, QString(separator));
    return path.left(kept) + rest;
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
