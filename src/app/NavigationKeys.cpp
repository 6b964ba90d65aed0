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
    explicit NavigationKeys(MainWindow &window) : QObject(&window), window_(window)
    {
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
            if (now == window_.textPane1 || now == window_.resultPane1)
                sideOne_ = true;
            else if (now == window_.textPane2 || now == window_.resultPane2)
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
                    TextPane *source = sideOne_ ? window_.textPane1 : window_.textPane2;
                    TextPane *result = sideOne_ ? window_.resultPane1 : window_.resultPane2;
                    TextPane *pane = source->isVisible() ? source : result;
                    pane->setFocus(Qt::ShortcutFocusReason);
                    action(pane->navigation());
                });
    }

    MainWindow &window_;
    bool sideOne_ = true;
};

} // namespace

void installNavigationKeys(MainWindow &window)
{
    new NavigationKeys(window);
}
