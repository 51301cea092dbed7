#pragma once
// Windows-1252, the 8-bit code page in which the suite's files are written. The five bytes that
// Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of the same
// value, as Windows does.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace Vexa32 {

// The UTF-16 unit for one Windows-1252 byte.
char16_t Cp1252ToUnicode(unsigned char byte);

QString DecodeCp1252(QByteArrayView bytes);

// Characters that Windows-1252 cannot hold become "?", as the ANSI conversion does.
QByteArray EncodeCp1252(QStringView text);

} // namespace Vexa32
