#pragma once

#include <QPointF>
#include <QSizeF>

// Top-left corner, in twips, that centres a window of the given outer size horizontally on a
// screen and places it 1000 twips above the vertical centre. Nothing is clamped: on a short
// screen the window may start above its top edge.
QPointF centeredPosition(QSizeF window, QSizeF screen);
