#include "app/StartUpFiles.h"

#include "app/MainWindow.h"

#include <QTimer>

void loadStartUpFiles(MainWindow &window, const QStringList &files)
{
    if (files.isEmpty())
        return;
    // Deferred so that the window is up before a wait pointer or a message box about a file.
    QTimer::singleShot(0, &window, [&window, files] {
        for (qsizetype i = 0; i < files.size() && i < 2 && !window.isClosed(); ++i)
            window.loadFiles(i == 0 ? Side::One : Side::Two, {files[i]});
    });
}
