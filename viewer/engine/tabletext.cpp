#include "viewer/engine/tabletext.h"

#include "vexa32/cp1252.h"

#include <QStringDecoder>
#include <cstring>

namespace Engine {

namespace {

constexpr unsigned char kBom[3] = {0xEF, 0xBB, 0xBF};

// Length of the ASCII run at the start of [p, end), eight bytes at a time.
const unsigned char *skipAscii(const unsigned char *p, const unsigned char *end)
{
    while (end - p >= 8) {
        quint64 word;
        std::memcpy(&word, p, 8);
        if (word & 0x8080808080808080ULL)
            break;
        p += 8;
    }
    while (p < end && *p < 0x80)
        ++p;
    return p;
}

} // namespace

qsizetype Utf8BomSize(QByteArrayView bytes)
{
    if (bytes.size() >= 3 && std::memcmp(bytes.data(), kBom, 3) == 0)
        return 3;
    return 0;
}

Utf8Check CheckUtf8(QByteArrayView bytes)
{
    Utf8Check result;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    for (;;) {
        p = skipAscii(p, end);
        if (p == end)
            return result;
        result.nonAscii = true;
        const unsigned char c = *p;
        int extra = 0;
        char32_t cp = 0;
        char32_t min = 0;
        if ((c & 0xE0) == 0xC0) {
            extra = 1;
            cp = c & 0x1F;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            cp = c & 0x0F;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            cp = c & 0x07;
            min = 0x10000;
        } else {
            result.valid = false;
            return result;
        }
        if (end - p <= extra) {
            result.valid = false;
            return result;
        }
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) {
                result.valid = false;
                return result;
            }
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            result.valid = false;
            return result;
        }
        p += extra + 1;
    }
}

bool IsUtf8File(QByteArrayView bytes)
{
    if (Utf8BomSize(bytes) > 0)
        return true;
    const Utf8Check check = CheckUtf8(bytes);
    return check.valid && check.nonAscii;
}

// UTF-8 of a piece of the file. QString::fromUtf8 drops a byte-order mark at the start of
// what it is given; inside a file that character (U+FEFF) is text and stays. Stateless, so
// a sequence cut off at the piece's end becomes U+FFFD as fromUtf8 makes it.
static QString FromUtf8Piece(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom |
                                                       QStringConverter::Flag::Stateless);
    return decoder(bytes);
}

void AppendDecoded(QByteArrayView bytes, bool utf8, std::u16string &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    const auto *asciiEnd = skipAscii(p, end);
    const std::size_t old = out.size();
    if (asciiEnd == end) {
        out.resize(old + static_cast<std::size_t>(bytes.size()));
        char16_t *o = out.data() + old;
        for (qsizetype i = 0; i < bytes.size(); ++i)
            o[i] = p[i];
        return;
    }
    if (!utf8) {
        out.resize(old + static_cast<std::size_t>(bytes.size()));
        char16_t *o = out.data() + old;
        for (; p < end; ++p)
            *o++ = *p < 0x80 ? char16_t(*p) : Vexa32::Cp1252ToUnicode(*p);
        return;
    }
    const QString decoded = FromUtf8Piece(bytes);
    out.append(reinterpret_cast<const char16_t *>(decoded.constData()),
               static_cast<std::size_t>(decoded.size()));
}

QString Decode(QByteArrayView bytes, bool utf8)
{
    if (utf8)
        return FromUtf8Piece(bytes);
    return Vexa32::DecodeCp1252(bytes);
}

} // namespace Engine
