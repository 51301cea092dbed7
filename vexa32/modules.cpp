#include "modules.h"

#include "paths.h"
#include "profile.h"
#include "settings.h"

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
