#include "app/TextColours.h"

#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>

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

QColor drawnFace(const QPushButton &button)
{
    // A button without a caption, so that its middle shows the face.
    QPushButton blank;
    blank.setPalette(button.palette());
    blank.resize(button.size());
    const QImage image = blank.grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

void setTextOn(QWidget &control, const QColor &background, const QColor &text)
{
    // Captions, group box titles and radio buttons draw their text in WindowText, push buttons
    // in ButtonText; some styles draw radio buttons' labels in Text, and mark the choice in Text
    // on Base, which therefore takes the control's background.
    QPalette palette = control.palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (const QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(group, role, text);
        palette.setColor(group, QPalette::Base, background);
    }
    control.setPalette(palette);
}
