#pragma once
// Window positions for Qt windows: SaveWindowPosition and RestoreWindowPosition of a
// top-level QWidget under a key of pfad_vexa "vexa.ini" [Positions] (the steps are in
// vexa32/windowrecord.h). The rectangle is the window's outer (frame) rectangle in twips; for a
// minimised or maximised window it is the normal rectangle. Neither raises nor reports.
//
// A window manager frames a window only when it maps it, so before that the outer size of
// a restored record cannot be split into frame and client area. RestoreWindowPosition
// places the frame at the record's corner (the position is frame-inclusive) and gives the
// client area the whole outer size; as soon as the frame is known (the window's first
// exposure in the normal state) the client area is reduced by the frame once, so the
// frame's corner stays where it is and the window never grows. Until then, and while the
// window is minimised or maximised, the record's rectangle is what a save stores: save
// after restore gives the same record.

#include "vexa32/windowrecord.h"

#include <QRect>
#include <QString>

class QWidget;

namespace Vexa32 {

class WindowPlacement;

// PositionedWindow over a top-level widget; the widget must outlive the adapter.
class WidgetWindow : public PositionedWindow
{
public:
    explicit WidgetWindow(QWidget *widget);

    int windowState() const override;
    void setWindowState(int state) override; // throws for a state other than 0, 1, 2
    double left() const override;
    double top() const override;
    double width() const override;
    double height() const override;
    void setLeft(double twips) override;
    void setTop(double twips) override;
    void setWidth(double twips) override;  // throws for a negative size
    void setHeight(double twips) override; // throws for a negative size
    double screenWidth() const override;
    double screenHeight() const override;

private:
    QRect outerRect() const; // pixels, the normal rectangle
    QWidget *m_widget;
    WindowPlacement *m_placement; // owned by the widget
};

void SaveWindowPosition(QWidget *window, const QString &key);
void RestoreWindowPosition(QWidget *window, const QString &key);

} // namespace Vexa32
