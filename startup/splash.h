#pragma once
// The splash screen's procedures: SplashStart fills and shows VexaSplash and checks the
// module picture's checksum, SplashEnd takes it down, Wait blocks the thread.
//
// SplashStart ignores failures while filling the window. It ends the program through the
// fatal error dialog when the suite is not installed, and with exit status 1 when the user
// answers Cancel to one of its two warnings (start-up was not completed).

#include <QString>
#include <functional>

class QWidget;

namespace Startup {

class VexaSplash;

void SplashStart(unsigned char expectedChecksum, quint32 suffixColour, QString creditText);

// Paints the splash completely and hands it to the window system before returning: the
// thread may block next (Wait), and a blocked thread repaints nothing. On its first show
// it waits until the window system has put the window on screen, after a window over it
// has closed until the uncovered parts have been reported; at most half a second.
enum class SplashPaint
{
    FirstShow,
    AfterCover
};
void PaintSplashNow(QWidget &splash, SplashPaint when);

// PaintSplashNow(AfterCover) for the shown splash, if there is one.
void RepaintSplash();

// Blocks for delay milliseconds (0: only yields), then deletes the splash window.
void SplashEnd(int delay = 0);

// Blocks the thread for the given time without handling events.
void Wait(int milliseconds);

// The splash window while it exists, else nullptr.
VexaSplash *CurrentSplash();

// Replaces the blocking pause of Wait (tests record the request instead of waiting); an
// empty function restores the real pause.
void SetWaitHandler(std::function<void(int)> handler);

// The default credit line.
inline const QString DefaultCreditText = QStringLiteral("By Edda Marwick");

// A colour value in the form 0x00BBGGRR as red, green and blue.
struct Rgb
{
    int red, green, blue;
};
Rgb ColourFromValue(quint32 value);

} // namespace Startup
