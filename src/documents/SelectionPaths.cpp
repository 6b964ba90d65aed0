#include "documents/SelectionPaths.h"

#include <QDir>

QStringList selectionPaths(const QString &selection, bool collapseDoubledSeparators)
{
    const QStringList pieces = selection.split(QChar(0));
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
