#pragma once
// Screen measures in twips (1/1440 inch). Pixels convert through the primary screen's
// logical DPI (15 twips a pixel at 96 DPI); without a screen 96 DPI is assumed.

#include <QSizeF>

namespace Vexa32 {

// The primary screen's size in twips.
QSizeF PrimaryScreenTwips();

// Horizontal and vertical conversions, rounded to the nearest pixel.
int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
double PixelsToTwipsX(int pixels);
double PixelsToTwipsY(int pixels);

} // namespace Vexa32
