// Reading profile files of any bytes. Besides not failing, the reader must agree with
// itself across the forms a file can take: the same text as UTF-16 (either byte order, with
// its byte-order mark) or, for pure ASCII, as UTF-8 with a byte-order mark reads the same as
// the 8-bit file, and a Ctrl+Z appended at the end changes no value. A write agrees across
// the forms too: writing to the UTF-16 form gives the UTF-16 form of the 8-bit result.
//
// Input layout (FuzzedDataProvider): section, key and value as length-prefixed byte strings
// (Windows-1252), the rest is the file.

#include "vexa32/cp1252.h"
#include "vexa32/inifile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "INI read fault: %s\n", what);
        std::abort();
    }
}

QString Take(FuzzedDataProvider &input, std::size_t maxLength)
{
    const std::string bytes = input.ConsumeRandomLengthString(maxLength);
    return Vexa32::DecodeCp1252(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool HasMark(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") ||
           bytes.startsWith("\xFE\xFF");
}

bool IsAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// The 8-bit text as UTF-16 with its byte-order mark: one unit per Windows-1252 character.
QByteArray AsUtf16(QByteArrayView bytes, bool little)
{
    const QString text = Vexa32::DecodeCp1252(bytes);
    QByteArray out = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    out.reserve(2 + 2 * text.size());
    for (const QChar c : text) {
        const char lo = static_cast<char>(c.unicode() & 0xFF);
        const char hi = static_cast<char>(c.unicode() >> 8);
        out.append(little ? lo : hi).append(little ? hi : lo);
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString section = Take(input, 64);
    const QString key = Take(input, 64);
    const QString value = Take(input, 256);
    const std::vector<std::uint8_t> rest = input.ConsumeRemainingBytes<std::uint8_t>();
    const QByteArrayView file(reinterpret_cast<const char *>(rest.data()),
                              static_cast<qsizetype>(rest.size()));

    const std::optional<QString> read = Vexa32::Ini::FindValue(file, section, key);
    if (read)
        Check(!read->contains(u'\r') && !read->contains(u'\n') && !read->contains(QChar(0)),
              "a value holds a line end or NUL");
    if (HasMark(file))
        return 0;

    Check(Vexa32::Ini::FindValue(file.toByteArray() + '\x1A', section, key) == read,
          "a Ctrl+Z at the end changed the value");
    for (const bool little : {true, false}) {
        const QByteArray wide = AsUtf16(file, little);
        Check(Vexa32::Ini::FindValue(wide, section, key) == read,
              "the UTF-16 form reads otherwise");
        const std::optional<QByteArray> narrowWritten =
            Vexa32::Ini::SetValue(file, section, key, value);
        const std::optional<QByteArray> wideWritten =
            Vexa32::Ini::SetValue(wide, section, key, value);
        Check(narrowWritten.has_value() == wideWritten.has_value(),
              "the UTF-16 form refuses otherwise");
        if (narrowWritten)
            Check(*wideWritten == AsUtf16(*narrowWritten, little),
                  "the UTF-16 form is written otherwise");
    }
    if (IsAscii(file)) {
        const QByteArray marked = "\xEF\xBB\xBF" + file.toByteArray();
        Check(Vexa32::Ini::FindValue(marked, section, key) == read,
              "the UTF-8 form reads otherwise");
        const std::optional<QByteArray> narrowWritten =
            Vexa32::Ini::SetValue(file, section, key, value);
        const std::optional<QByteArray> markedWritten =
            Vexa32::Ini::SetValue(marked, section, key, value);
        Check(narrowWritten.has_value() == markedWritten.has_value(),
              "the UTF-8 form refuses otherwise");
        if (narrowWritten && IsAscii(*narrowWritten))
            Check(*markedWritten == "\xEF\xBB\xBF" + *narrowWritten,
                  "the UTF-8 form is written otherwise");
    }
    return 0;
}
