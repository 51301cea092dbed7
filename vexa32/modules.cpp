#include "vexa32/modules.h"

#include "vexa32/paths.h"
#include "vexa32/profile.h"
#include "vexa32/settings.h"

namespace Vexa32 {

QString ModuleFilePath(const QString &key)
{
    return NormalizeDir(Settings::ModuleDirectory(key).read()) + Settings::ModuleFile(key).read();
}

bool IsModuleInstalled(const QString &key)
{
    return FileExists(ModuleFilePath(key));
}

} // namespace Vexa32
