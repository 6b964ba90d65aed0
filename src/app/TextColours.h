#pragma once

#include <QColor>

class QPushButton;
class QWidget;

// The contrast ratio of two colours as the accessibility guidelines define it, from 1 (the same
// lightness) to 21 (black on white); text needs at least 4.5 to read well.
double contrastRatio(const QColor &one, const QColor &other);

// The preferred text colour when it reads on the background, else black or white, whichever
// reads better there.
QColor readableOn(const QColor &background, const QColor &preferred);

// The colour the style fills the button's face with. Most styles take the palette's Button
// colour; some desktop styles draw a face of their own, whatever the palette says.
QColor drawnFace(const QPushButton &button);

// Gives the control's enabled text (captions, labels, titles) the colour, for a control drawn on
// the background. The disabled text keeps the palette's own colour, so that a disabled control
// looks disabled.
void setTextOn(QWidget &control, const QColor &background, const QColor &text);
