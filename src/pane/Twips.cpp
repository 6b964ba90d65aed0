#include "pane/Twips.h"

#include <QWidget>
#include <cmath>

namespace Twips {

float perPixel(const QWidget *widget)
{
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return perInch / float(dpi > 0 ? dpi : 96);
}

int toPixels(float twips, const QWidget *widget)
{
    return int(std::lround(twips / perPixel(widget)));
}

float fromPixels(int pixels, const QWidget *widget)
{
    return float(pixels) * perPixel(widget);
}

} // namespace Twips
