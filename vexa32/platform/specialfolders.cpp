// The Windows system directory and the shell's special folders on the mapped drive C.

#include "vexa32/platform/host.h"

namespace Vexa32::Platform {

namespace {

constexpr int FontsFolder = 20;

bool DriveCMapped()
{
    return HostPath(QStringLiteral("C:\\")).has_value();
}

} // namespace

QString SystemDirectory()
{
    return DriveCMapped() ? QStringLiteral("C:\\WINDOWS\\SYSTEM") : QString();
}

std::optional<QString> SpecialFolder(int csidl)
{
    if (csidl != FontsFolder)
        return std::nullopt;
    return DriveCMapped() ? QStringLiteral("C:\\WINDOWS\\FONTS") : QStringLiteral("n/a");
}

} // namespace Vexa32::Platform
