#pragma once
// Dynamic libraries: loading one by the suite's bare file name and finding its entry points.
// A name "x.dll" is looked up as the host's "libx.so" through the normal library search of
// the calling executable (its RUNPATH holds its own folder and the program's private
// folder, see host.h), and in those two folders by path; a name holding "/" or ".so" is
// used as it is. Handles stay loaded for the life of the process. Nothing is shown;
// failures come back as nullptr.

#include <QString>

namespace Vexa32::Platform {

// The host's file name for a library named name ("km_tools.dll" -> "libkm_tools.so").
QString HostLibraryName(const QString &name);

// The loaded library, or nullptr when it cannot be found or loaded.
void *LoadSharedLibrary(const QString &name);

// A parameterless procedure exported by the library, or nullptr when it has none.
using Procedure = void (*)();
Procedure ResolveProcedure(void *library, const char *symbol);

} // namespace Vexa32::Platform
