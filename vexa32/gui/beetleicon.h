#pragma once
// The error dialog's picture: a black beetle on a transparent ground, drawn at any size
// (the dialog uses 32 and 16 pixels).

#include <QIcon>
#include <QPixmap>

namespace Vexa32 {

QPixmap BeetlePixmap(int size);
// The window icon, 32 x 32 and 16 x 16.
QIcon BeetleIcon();

} // namespace Vexa32
