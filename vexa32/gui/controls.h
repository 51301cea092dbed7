#pragma once
// Helpers that change controls of a window. They do not take ownership of the widgets
// they are given; a null pointer makes them do nothing, and they never raise.

class QWidget;

namespace Vexa32 {

// Enables or disables control and gives it the matching background: the system colour
// of window backgrounds (0x80000005, the palette's Base) when enabled, that of button
// faces (0x8000000F, the palette's Button) when disabled. The colour is set for the
// widget's background role and for the background of its text (Base), and the widget fills its
// background, so text fields and plain controls alike show it.
void SetControlEnabled(QWidget *control, bool enabled);

// Gives target the placement of source: height, width, left and top, in this order.
void CopyPlacement(const QWidget *source, QWidget *target);

} // namespace Vexa32
