#include "app/TextColours.h"

#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

double relativeLuminance(const QColor &colour)
{
    const auto linear = [](float channel) {
        return channel <= 0.04045f ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = colour.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF()) +
           0.0722 * linear(rgb.blueF());
}

} // namespace

double contrastRatio(const QColor &one, const QColor &other)
{
    const double a = relativeLuminance(one);
    const double b = relativeLuminance(other);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor readableOn(const QColor &background, const QColor &preferred)
{
    constexpr double readable = 4.5;
    if (contrastRatio(background, preferred) >= readable)
        return preferred;
    const QColor black(Qt::black), white(Qt::white);
    return contrastRatio(background, black) >= contrastRatio(background, white) ? black : white;
}

void setTextColour(QWidget &control, const QColor &colour)
{
    // Captions, group box titles and radio buttons draw their text in WindowText, push buttons
    // in ButtonText. Text stays the system's: radio buttons mark their choice in it, on the
    // system's Base.
    QPalette palette = control.palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText})
            palette.setColor(group, role, colour);
    }
    control.setPalette(palette);
}
