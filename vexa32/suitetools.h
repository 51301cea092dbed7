#pragma once
// Calls into the suite's tools library "km_tools.dll" (on this host libkm_tools.so, found
// beside the executable or in the program's private folder). The library is loaded by its
// bare name at the first call and stays loaded. Each call returns false when the library
// cannot be loaded, the entry point is missing or the procedure throws; the caller shows
// the message. Nothing is shown here.

#include <QString>

namespace Vexa32 {

inline const QString ToolsLibraryName = QStringLiteral("km_tools.dll");

// The about box of the suite.
bool DoAbout();
// The check for a newer version of the suite.
bool DoKMVC();

// Replaces the library's name (tests point it at a library that does not exist). The next
// call loads afresh under the new name.
void SetToolsLibraryName(const QString &name);

} // namespace Vexa32
