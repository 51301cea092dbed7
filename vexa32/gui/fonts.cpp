#include "vexa32/gui/fonts.h"

#include "vexa32/platform/host.h"

#include <QFontDatabase>

namespace Vexa32 {

int AddFontResourceA(const QString &fontFile)
{
    const auto host = Platform::HostPath(fontFile);
    if (!host)
        return 0;
    const int id = QFontDatabase::addApplicationFont(*host);
    if (id < 0)
        return 0;
    return static_cast<int>(QFontDatabase::applicationFontFamilies(id).size());
}

} // namespace Vexa32
