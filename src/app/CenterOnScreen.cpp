#include "app/CenterOnScreen.h"

QPointF centeredPosition(QSizeF window, QSizeF screen)
{
    constexpr qreal raise = 1000;
    return {(screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2 - raise};
}
