#pragma once

#include <QColor>

class QWidget;

// The contrast ratio of two colours as the accessibility guidelines define it, from 1 (the same
// lightness) to 21 (black on white); text needs at least 4.5 to read well.
double contrastRatio(const QColor &one, const QColor &other);

// The preferred text colour when it reads on the background, else black or white, whichever
// reads better there.
QColor readableOn(const QColor &background, const QColor &preferred);

// Gives the control's enabled text (captions, labels, titles) the colour. The disabled text keeps
// the palette's own colour, so that a disabled control looks disabled.
void setTextColour(QWidget &control, const QColor &colour);
