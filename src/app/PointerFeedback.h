#pragma once

#include "app/PointerStates.h"

#include <QHash>
#include <QObject>

class MainWindow;
class QWidget;

// Turns mouse movements over the window and its controls into pointer codes. Every control
// that the feedback tells apart gets mouse tracking, so that moves without a pressed button
// reach it, and keeps its moves to itself: the window's own handling then only ever sees
// moves over its bare surface.
class PointerFeedback : public QObject
{
    Q_OBJECT

public:
    explicit PointerFeedback(MainWindow &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watch(QWidget *control, MouseArea area);
    void mouseMoved(MouseArea area);

    MainWindow &window_;
    QHash<const QObject *, MouseArea> areas_;
};
