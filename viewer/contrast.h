#pragma once
// Colours that stay readable: the selected row, the focus frames and the no-file message
// keep a contrast a reader with low vision can see (text at least 4.5:1 against its
// background, frames and the selection at least 3:1 against what surrounds them).
//
// InstallReadableContrast changes only what falls short: a palette that is readable
// already (a high-contrast theme) is kept. It darkens the selection colour of the
// application's palette, wraps the application's style so that focus frames are drawn
// solid, and gives the no-file message a readable disabled text colour. Calling it again
// does nothing more. The application owns the style it installs.

#include <QColor>

class QWidget;

namespace Contrast {

// The contrast ratio of two colours (1 to 21).
double Ratio(const QColor &a, const QColor &b);
// colour made darker (or lighter, when darkening cannot reach it) until its ratio to
// background is at least minimum.
QColor Reaching(QColor colour, const QColor &background, double minimum);

} // namespace Contrast

void InstallReadableContrast(QWidget *noFileMessage);
