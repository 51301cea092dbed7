#include "library.h"

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
    const QByteArray file = HostLibraryName(name).toLocal8Bit();
    return dlopen(file.constData(), RTLD_NOW | RTLD_LOCAL);
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
