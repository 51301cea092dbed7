#include "vexa32/gui/screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace Vexa32 {

namespace {

constexpr double TwipsPerInch = 1440.0;

QScreen *Primary()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr
               ? QGuiApplication::primaryScreen()
               : nullptr;
}

double DpiX()
{
    QScreen *screen = Primary();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

double DpiY()
{
    QScreen *screen = Primary();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

int ToPixels(double twips, double dpi)
{
    const double pixels = std::round(twips * dpi / TwipsPerInch);
    if (!(pixels > -1e9 && pixels < 1e9)) {
        return pixels > 0 ? 1000000000 : -1000000000;
    }
    return static_cast<int>(pixels);
}

} // namespace

QSizeF PrimaryScreenTwips()
{
    QScreen *screen = Primary();
    if (screen == nullptr) {
        return {};
    }
    const QSize pixels = screen->geometry().size();
    return {pixels.width() * TwipsPerInch / DpiX(), pixels.height() * TwipsPerInch / DpiY()};
}

int TwipsToPixelsX(double twips)
{
    return ToPixels(twips, DpiX());
}

int TwipsToPixelsY(double twips)
{
    return ToPixels(twips, DpiY());
}

double PixelsToTwipsX(int pixels)
{
    return pixels * TwipsPerInch / DpiX();
}

double PixelsToTwipsY(int pixels)
{
    return pixels * TwipsPerInch / DpiY();
}

} // namespace Vexa32
