#pragma once

#include <QStringList>

class MainWindow;

// Loads the files named on the command line once the event loop runs, the first into text #1
// and the second into text #2, each as if it had been dropped on its source pane: the same
// messages for files that cannot be loaded, and the window then shows the source panes.
void loadStartUpFiles(MainWindow &window, const QStringList &files);
