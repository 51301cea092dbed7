#include "startup/splashchecksum.h"

#include "vexa32/platform/host.h"

#include <QFile>

namespace Startup {

unsigned char SplashChecksum(QByteArrayView bytes)
{
    unsigned char sum = 0;
    for (const char byte : bytes)
        sum ^= static_cast<unsigned char>(byte);
    return sum == 0 ? 1 : sum;
}

unsigned char SplashFileChecksum(const QString &path)
{
    const auto host = Vexa32::Platform::HostPath(path);
    if (!host)
        return 1;
    QFile file(*host);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    unsigned char sum = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(64 * 1024);
        if (chunk.isEmpty())
            return 1; // a read error: the file counts as unreadable
        for (const char byte : chunk)
            sum ^= static_cast<unsigned char>(byte);
    }
    return sum == 0 ? 1 : sum;
}

} // namespace Startup
