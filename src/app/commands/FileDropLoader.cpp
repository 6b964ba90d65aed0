#include "app/commands/FileDropLoader.h"

#include "pane/TextPane.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

QStringList localFiles(const QMimeData *data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    return paths;
}

} // namespace

FileDropLoader::FileDropLoader(TextPane &sourcePane, Load load)
    : QObject(&sourcePane), load_(std::move(load))
{
    // Qt offers a drag only to a widget that takes drops, the text area under the pointer here,
    // and delivers the drop only when that widget accepted the drag's enter and moves.
    sourcePane.viewport()->setAcceptDrops(true);
    sourcePane.viewport()->installEventFilter(this);
}

bool FileDropLoader::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (localFiles(drag->mimeData()).isEmpty())
            break;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList paths = localFiles(drop->mimeData());
        if (paths.isEmpty())
            break;
        drop->acceptProposedAction();
        // Loading may show message boxes; the file manager should not wait for them.
        QTimer::singleShot(0, this, [this, paths] { load_(paths); });
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
