#pragma once

struct Services;
class QWidget;

// Gives the window the skin in "x/o.cjs" below the program's folder, when that file is there
// and not hidden: first the window, its captions, group boxes, radio buttons and check boxes
// take the platform's button-face colour, then the skin engine loads the file and applies it.
// A file that is no usable skin is reported, and the window keeps its usual look.
void applySkin(QWidget &window, const Services &services);
