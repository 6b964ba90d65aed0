#include "app/PointerFeedback.h"

#include "app/MainWindow.h"
#include "pane/TextPane.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

PointerFeedback::PointerFeedback(MainWindow &window) : QObject(&window), window_(window)
{
    window.setMouseTracking(true);
    window.installEventFilter(this);
    areas_.insert(&window, MouseArea::WindowSurface);

    for (QWidget *caption : {window.caption1, window.caption2})
        watch(caption, MouseArea::Caption);
    for (QWidget *option : {window.highlightOption, window.differencesOnlyOption})
        watch(option, MouseArea::DisplayOption);
    for (QWidget *option : {window.standardMethodOption, window.wordProcessorMethodOption})
        watch(option, MouseArea::MethodOption);
    for (QWidget *group : {window.methodGroup, window.displayGroup})
        watch(group, MouseArea::GroupBox);
    for (QWidget *button : {window.compareLinesButton, window.saveButton1, window.loadButton1,
                            window.loadButton2, window.saveButton2, window.compareWordsButton})
        watch(button, MouseArea::PushButton);
    for (TextPane *pane :
         {window.textPane1, window.textPane2, window.resultPane1, window.resultPane2})
        connect(pane, &TextPane::mouseMoved, this, [this] { mouseMoved(MouseArea::Pane); });
}

void PointerFeedback::watch(QWidget *control, MouseArea area)
{
    control->setMouseTracking(true);
    control->setAttribute(Qt::WA_NoMousePropagation);
    control->installEventFilter(this);
    areas_.insert(control, area);
}

bool PointerFeedback::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove) {
        const auto area = areas_.constFind(watched);
        if (area != areas_.constEnd())
            mouseMoved(*area);
    }
    return QObject::eventFilter(watched, event);
}

void PointerFeedback::mouseMoved(MouseArea area)
{
    window_.setMousePointer(pointerAfterMouseMove(window_.mousePointer(), area));
}
