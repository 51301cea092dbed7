#include "vexa32/platform/library.h"

#include "vexa32/platform/host.h"

#include <dlfcn.h>

namespace Vexa32::Platform {

QString HostLibraryName(const QString &name)
{
    QString base = name;
    if (base.endsWith(QLatin1String(".dll"), Qt::CaseInsensitive)) {
        base.chop(4);
    }
    if (base.contains(u'/') || base.contains(QLatin1String(".so"))) {
        return base;
    }
    return QStringLiteral("lib") + base + QStringLiteral(".so");
}

void *LoadSharedLibrary(const QString &name)
{
    const QString file = HostLibraryName(name);
    void *library = dlopen(file.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    // The executable's RUNPATH names its own folder and the private folder. When dlopen is
    // intercepted (sanitizer runtimes), the search runs as if called from the interceptor
    // and misses them, so both are tried by name as well.
    if (!file.contains(u'/')) {
        for (const QString &folder : {ExecutableDir(), PrivateDir()}) {
            if (library != nullptr)
                break;
            const QString path = folder + u'/' + file;
            library = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
        }
    }
    return library;
}

Procedure ResolveProcedure(void *library, const char *symbol)
{
    if (library == nullptr) {
        return nullptr;
    }
    void *address = dlsym(library, symbol);
    return reinterpret_cast<Procedure>(address);
}

} // namespace Vexa32::Platform
