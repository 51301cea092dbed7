#pragma once
// How table files are decoded. A file is Windows-1252, unless it starts with a UTF-8
// byte-order mark (which is not part of the text) or is valid UTF-8 holding non-ASCII
// bytes. CR, LF, "#", "$", ":", ";", tab, blank and NUL are single bytes with the same
// meaning in both encodings (UTF-8 never uses ASCII bytes inside a multi-byte character),
// so a table file's structure can be read from its bytes before any decoding.
//
// Stateless functions; nothing here fails or throws. Invalid UTF-8 decoded as UTF-8 gives
// U+FFFD replacement characters.

#include <QByteArrayView>
#include <QString>
#include <string>

namespace Engine {

// Number of bytes of a leading UTF-8 byte-order mark: 3 or 0.
qsizetype Utf8BomSize(QByteArrayView bytes);

// Result of checking bytes for UTF-8.
struct Utf8Check
{
    bool valid = true;     // well-formed UTF-8 (no overlongs, no surrogates, <= U+10FFFF)
    bool nonAscii = false; // at least one byte >= 0x80
};

// Checks a piece of a file. Pieces split at ASCII bytes (such as line ends) can be checked
// one by one: the file is valid when every piece is.
Utf8Check CheckUtf8(QByteArrayView bytes);

// Whether a whole file (byte-order mark included) is read as UTF-8.
bool IsUtf8File(QByteArrayView bytes);

// Decodes bytes as UTF-8 or as Windows-1252 and appends them to out.
void AppendDecoded(QByteArrayView bytes, bool utf8, std::u16string &out);
QString Decode(QByteArrayView bytes, bool utf8);

} // namespace Engine
