#include "app/PointerFeedback.h"

#include "app/Form1.h"
#include "pane/RichTextPane.h"

#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

PointerFeedback::PointerFeedback(Form1 &window) : QObject(&window), window_(window)
{
    window.setMouseTracking(true);
    window.installEventFilter(this);
    areas_.insert(&window, MouseArea::WindowSurface);

    for (QWidget *caption : {window.Label1, window.Label2})
        watch(caption, MouseArea::Caption);
    for (QWidget *option : {window.Option1, window.Option2})
        watch(option, MouseArea::DisplayOption);
    for (QWidget *option : {window.Option3, window.Option4})
        watch(option, MouseArea::MethodOption);
    for (QWidget *group : {window.Frame1, window.Frame2})
        watch(group, MouseArea::GroupBox);
    for (QWidget *button : {window.PushButton1, window.PushButton2, window.PushButton3,
                            window.PushButton4, window.PushButton5, window.PushButton6})
        watch(button, MouseArea::PushButton);
    for (RichTextPane *pane :
         {window.RichTextBox1, window.RichTextBox2, window.RichTextBox3, window.RichTextBox4})
        connect(pane, &RichTextPane::mouseMoved, this, [this] { mouseMoved(MouseArea::Pane); });
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
