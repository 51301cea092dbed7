#pragma once
// Window positions for Qt windows: SaveWindowPosition and RestoreWindowPosition of a
// top-level QWidget under a key of pfad_vexa "vexa.ini" [Positions] (the steps are in
// vexa32/winpos.h). The rectangle is the window's outer (frame) rectangle in twips; for a
// minimised or maximised window it is the normal rectangle. Neither raises nor reports.

#include "vexa32/winpos.h"

#include <QRect>
#include <QString>
#include <optional>

class QWidget;

namespace Vexa32 {

// PositionedWindow over a top-level widget; the widget must outlive the adapter.
class WidgetWindow : public PositionedWindow
{
public:
    explicit WidgetWindow(QWidget *widget) : m_widget(widget) {}

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
    // The normal rectangle taken just before the window left the minimised or maximised
    // state: the window system may apply the change later than it is asked to.
    std::optional<QRect> m_normalOuter;
};

void SaveWindowPosition(QWidget *window, const QString &key);
void RestoreWindowPosition(QWidget *window, const QString &key);

} // namespace Vexa32
