#pragma once

#include "app/MainWindow.h"
#include "pane/TextPane.h"

#include <array>

// The window's four panes: the source panes of text #1 and #2, then their result panes.
inline std::array<TextPane *, 4> panesOf(const MainWindow &window)
{
    return {window.textPane1, window.textPane2, window.resultPane1, window.resultPane2};
}

// The numbers of the panes that are not hidden, e.g. "34".
inline QString shownPanes(const MainWindow &window)
{
    QString shown;
    for (int n = 0; n < 4; ++n)
        shown += panesOf(window)[n]->isHidden() ? QString() : QString::number(n + 1);
    return shown;
}
