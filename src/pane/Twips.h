#pragma once

class QWidget;

// Conversions between twips and device-independent pixels at a widget's logical DPI
// (15 twips per pixel at 96 dpi).
namespace Twips {

constexpr float perInch = 1440.0f;

float perPixel(const QWidget *widget);
int toPixels(float twips, const QWidget *widget);
float fromPixels(int pixels, const QWidget *widget);

} // namespace Twips
