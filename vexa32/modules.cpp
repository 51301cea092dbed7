#include "modules.h"

#include "globals.h"
#include "paths.h"
#include "profile.h"

namespace Vexa32 {

QString ModuleFilePath(const QString &key)
{
    const QString file = QStringLiteral("vexa.ini");
    return NormalizeDir(ReadIniValue(pfad_vexa, file, QStringLiteral("Moduls_Dirs"), key)) +
           ReadIniValue(pfad_vexa, file, QStringLiteral("Moduls_EXEs"), key);
}

bool IsModuleInstalled(const QString &key)
{
    return FileExists(ModuleFilePath(key));
}

} // namespace Vexa32
