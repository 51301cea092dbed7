#pragma once
// Pictures of the main window's toolbar (the image list), drawn at 22 x 22 pixels.

#include <QIcon>

// An open folder with a ruled table sheet: the "Open .TBL" button.
QIcon OpenTableIcon();
