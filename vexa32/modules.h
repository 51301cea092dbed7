#pragma once
// Installed modules of the suite, as registered in pfad_vexa "vexa.ini": the directory in
// [Moduls_Dirs] and the file name in [Moduls_EXEs], both under the module's key. Never
// raises or reports an error.

#include <QString>

namespace Vexa32 {

// NormalizeDir(directory of key) followed directly by its file name; "" parts stay empty.
QString ModuleFilePath(const QString &key);

// True when ModuleFilePath(key) names an existing ordinary file.
bool IsModuleInstalled(const QString &key);

} // namespace Vexa32
