#pragma once
// Making font files available to the program's windows: the font file is added to the
// application's font database (it stays there until the program ends).

#include <QString>

namespace Vexa32 {

// Adds the font file named by a path text (mapped through the host layer). Returns the
// number of font families added, 0 when the file is missing or no font. Never fails.
int AddFontResourceA(const QString &fontFile);

} // namespace Vexa32
