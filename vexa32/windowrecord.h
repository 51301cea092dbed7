#pragma once
// Window positions: the record "state,left,top,width,height" kept in "vexa.ini" [Positions]
// and the steps that save it from a window and restore it onto one, clamped to the screen.
//
// The window is reached through PositionedWindow, in twips, so the arithmetic needs no
// widgets; vexa32/gui/windowposition.h adapts a QWidget. A setter may refuse a value by
// throwing; that step is then skipped and the next one runs. Neither SaveWindowPosition nor
// RestoreWindowPosition ever raises or reports an error.

#include <QString>

namespace Vexa32 {

// A top-level window as the position steps see it. Geometry is the window's outer
// (frame) rectangle in twips; state is 0 normal, 1 minimised, 2 maximised.
class PositionedWindow
{
public:
    virtual ~PositionedWindow() = default;

    virtual int windowState() const = 0;
    virtual void setWindowState(int state) = 0;
    virtual double left() const = 0;
    virtual double top() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void setLeft(double twips) = 0;
    virtual void setTop(double twips) = 0;
    virtual void setWidth(double twips) = 0;
    virtual void setHeight(double twips) = 0;

    // The primary screen's size in twips.
    virtual double screenWidth() const = 0;
    virtual double screenHeight() const = 0;
};

// The decimal number at the start of text ("." as the point, optional sign and exponent);
// 0 when text does not start with one.
double LeadingNumber(const QString &text);

// "state,left,top,width,height" of the window, read with the window set to normal first so
// that the rectangle is the normal one.
QString WindowPositionRecord(PositionedWindow &window);

// Applies a stored record to the window with the clamping steps; nothing happens when the
// record is not set (empty, blanks or "n/a").
void ApplyWindowPositionRecord(PositionedWindow &window, const QString &record);

// Store and fetch the record under key in pfad_vexa "vexa.ini" [Positions].
void SaveWindowPosition(PositionedWindow &window, const QString &key);
void RestoreWindowPosition(PositionedWindow &window, const QString &key);

} // namespace Vexa32
