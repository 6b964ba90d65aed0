#include "app/NavigationKeys.h"

#include "app/MainWindow.h"
#include "pane/PaneNavigation.h"
#include "pane/TextPane.h"

#include <QApplication>
#include <QShortcut>
#include <functional>

namespace {

class NavigationKeys : public QObject
{
public:
    explicit NavigationKeys(MainWindow &window)
        : QObject(&window), window_(window), panes_{window.textPane1, window.resultPane1,
                                                    window.textPane2, window.resultPane2}
    {
        // The focus moves while the window is taken apart too, so the panes are only compared.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now == panes_[0] || now == panes_[1])
                sideOne_ = true;
            else if (now == panes_[2] || now == panes_[3])
                sideOne_ = false;
        });
        using Navigation = PaneNavigation;
        add(Qt::Key_F8, [](Navigation &n) { n.stepDifference(true); });
        add(Qt::ALT | Qt::Key_Down, [](Navigation &n) { n.stepDifference(true); });
        add(Qt::SHIFT | Qt::Key_F8, [](Navigation &n) { n.stepDifference(false); });
        add(Qt::ALT | Qt::Key_Up, [](Navigation &n) { n.stepDifference(false); });
        add(Qt::CTRL | Qt::Key_F, [](Navigation &n) { n.openFind(); });
        add(Qt::Key_F3, [](Navigation &n) { n.findAgain(false); });
        add(Qt::SHIFT | Qt::Key_F3, [](Navigation &n) { n.findAgain(true); });
        add(Qt::CTRL | Qt::Key_G, [](Navigation &n) { n.goToLine(); });
    }

private:
    void add(QKeyCombination key, std::function<void(PaneNavigation &)> action)
    {
        connect(new QShortcut(QKeySequence(key), &window_), &QShortcut::activated, this,
                [this, action = std::move(action)] {
                    TextPane *source = panes_[sideOne_ ? 0 : 2];
                    TextPane *result = panes_[sideOne_ ? 1 : 3];
                    TextPane *pane = source->isVisible() ? source : result;
                    pane->setFocus(Qt::ShortcutFocusReason);
                    action(pane->navigation());
                });
    }

    MainWindow &window_;
    // Source and result pane of side #1, then of side #2.
    TextPane *const panes_[4];
    bool sideOne_ = true;
};

} // namespace

void installNavigationKeys(MainWindow &window)
{
    new NavigationKeys(window);
}
