#pragma once

class MainWindow;

// The panes' navigation keys (F8, Shift+F8, Alt+Down, Alt+Up, Ctrl+F, F3, Shift+F3, Ctrl+G) while
// the focus is elsewhere in the window, on a button or an option: they act on the visible pane of
// the side whose pane had the focus last, side #1 before any, and give that pane the focus. A pane
// that has the focus takes the keys itself.
void installNavigationKeys(MainWindow &window);
