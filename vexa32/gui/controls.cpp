#include "vexa32/gui/controls.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace Vexa32 {

void SetControlEnabled(QWidget *control, bool enabled)
{
    if (!control)
        return;
    control->setEnabled(enabled);
    // The system colour comes from the application's palette for this kind of widget,
    // not from the widget's own palette, which an earlier call has changed.
    const QColor colour =
        QApplication::palette(control).color(enabled ? QPalette::Base : QPalette::Button);
    QPalette palette = control->palette();
    palette.setColor(control->backgroundRole(), colour);
    palette.setColor(QPalette::Base, colour);
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

void CopyPlacement(const QWidget *source, QWidget *target)
{
    if (!source || !target)
        return;
    target->resize(target->width(), source->height());
    target->resize(source->width(), target->height());
    target->move(source->x(), target->y());
    target->move(target->x(), source->y());
}

} // namespace Vexa32
