#pragma once
// The splash picture's checksum: the XOR of all bytes of the file, 0 counted as 1, so the
// result is always 1 to 255. GUI-free.

#include <QByteArrayView>
#include <QString>

namespace Startup {

unsigned char SplashChecksum(QByteArrayView bytes);

// The checksum of the file named by a path text (mapped through the host layer); a file
// that is missing or cannot be read counts as empty, that is 1. The file is only read.
unsigned char SplashFileChecksum(const QString &path);

} // namespace Startup
