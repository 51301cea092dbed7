#include "viewer/engine/tablewriter.h"

#include <QChar>
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

namespace Engine {

namespace {

// The letter written after a backslash for the ASCII characters that are escaped.
constexpr std::array<char, 128> EscapeOf = [] {
    std::array<char, 128> table{};
    table['\\'] = '\\';
    table['\t'] = 't';
    table['\r'] = 'r';
    table['\n'] = 'n';
    return table;
}();

constexpr std::array<char, 128> NoEscape{};

} // namespace

Utf8Output::Utf8Output(Sink sink) : m_sink(std::move(sink)), m_buffer(BlockSize) {}

Utf8Output::~Utf8Output()
{
    flush();
}

bool Utf8Output::flush()
{
    if (m_used > 0 && m_ok)
        m_ok = m_sink(m_buffer.data(), m_used);
    m_used = 0;
    return m_ok;
}

void Utf8Output::makeRoom(std::size_t n)
{
    flush();
    // Empty after the flush: a fresh block of the size needed, nothing to move.
    if (n > m_buffer.size())
        m_buffer = std::vector<char>(n);
}

void Utf8Output::bytes(const char *text)
{
    bytes(text, std::strlen(text));
}

void Utf8Output::bytes(const char *data, std::size_t size)
{
    if (size == 0)
        return;
    if (size >= BlockSize) {
        flush();
        if (m_ok)
            m_ok = m_sink(data, size);
        return;
    }
    std::memcpy(room(size), data, size);
    m_used += size;
}

void Utf8Output::text(QStringView text, bool escape)
{
    const auto n = static_cast<std::size_t>(text.size());
    // At most three bytes per UTF-16 unit (a surrogate pair gives four for two, an
    // escaped character two).
    char *const start = room(3 * n);
    char *out = start;
    const char16_t *in = reinterpret_cast<const char16_t *>(text.data());
    // Plain ASCII first, the usual case, in a tight loop.
    const char *special = escape ? EscapeOf.data() : NoEscape.data();
    std::size_t i = 0;
    // Four units at a time while none is 0x80 or more, or (escaping) below 0x20 or a
    // backslash; the loop after it takes over at the first such group.
    constexpr quint64 Lanes = 0x0001000100010001ULL;
    while (std::endian::native == std::endian::little && i + 4 <= n) {
        quint64 w;
        std::memcpy(&w, in + i, 8);
        if (w & (0xFF80 * Lanes))
            break;
        if (escape) {
            // Each lane is below 0x80 here, so adding to it never carries into the next.
            const quint64 printable = (w + 0x0060 * Lanes) & (0x0080 * Lanes);
            const quint64 notBackslash =
                ((w ^ (0x005C * Lanes)) + 0x007F * Lanes) & (0x0080 * Lanes);
            if ((printable & notBackslash) != 0x0080 * Lanes)
                break;
        }
        const auto packed = static_cast<quint32>((w & 0xFF) | ((w >> 8) & 0xFF00) |
                                                 ((w >> 16) & 0xFF0000) | ((w >> 24) & 0xFF000000));
        std::memcpy(out + i, &packed, 4);
        i += 4;
    }
    for (; i < n; ++i) {
        const char16_t c = in[i];
        if (c >= 0x80 || special[c] != 0)
            break;
        out[i] = char(c);
    }
    out += i;
    for (; i < n; ++i) {
        char32_t c = in[i];
        if (c < 0x80) {
            if (escape && EscapeOf[c] != 0) {
                *out++ = '\\';
                c = char32_t(EscapeOf[c]);
            }
            *out++ = char(c);
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            c = QChar::surrogateToUcs4(char16_t(c), in[++i]);
        } else if (QChar::isSurrogate(c)) {
            c = 0xFFFD;
        }
        if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
        } else if (c < 0x10000) {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
        } else {
            *out++ = char(0xF0 | (c >> 18));
            *out++ = char(0x80 | ((c >> 12) & 0x3F));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
        }
        *out++ = char(0x80 | (c & 0x3F));
    }
    m_used += static_cast<std::size_t>(out - start);
}

void Utf8Output::jsonString(QStringView value)
{
    static constexpr char Hex[] = "0123456789abcdef";
    byte('"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        text(value.sliced(from, i - from));
        from = i + 1;
        byte('\\');
        switch (c) {
        case u'"':
        case u'\\':
            byte(char(c));
            break;
        case u'\n':
            byte('n');
            break;
        case u'\r':
            byte('r');
            break;
        case u'\t':
            byte('t');
            break;
        default:
            bytes("u00");
            byte(Hex[c >> 4]);
            byte(Hex[c & 0xF]);
        }
    }
    text(value.sliced(from));
    byte('"');
}

void Utf8Output::csvField(QStringView field)
{
    bool quote = false;
    for (const QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        text(field);
        return;
    }
    byte('"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == u'"') {
            text(field.sliced(from, i + 1 - from));
            byte('"');
            from = i + 1;
        }
    }
    text(field.sliced(from));
    byte('"');
}

namespace {

// How utf8Text() treats each byte: copied (0), escaped (1, only when escaping), or the
// start of a three-byte sequence that may be a lone surrogate (2).
constexpr std::array<unsigned char, 256> ByteClass = [] {
    std::array<unsigned char, 256> table{};
    table['\\'] = 1;
    table['\t'] = 1;
    table['\r'] = 1;
    table['\n'] = 1;
    table[0xED] = 2;
    return table;
}();

// Whether p (with at least 3 bytes) starts the three-byte form of a surrogate.
bool isSurrogateForm(const unsigned char *p)
{
    return p[0] == 0xED && p[1] >= 0xA0 && p[1] <= 0xBF;
}

} // namespace

void Utf8Output::utf8Text(QByteArrayView text, bool escape)
{
    const auto n = static_cast<std::size_t>(text.size());
    // An escape doubles a byte; U+FFFD takes the three bytes of the surrogate it replaces.
    char *const start = room(2 * n);
    char *out = start;
    const auto *in = reinterpret_cast<const unsigned char *>(text.data());
    const unsigned char special = escape ? 3 : 2;
    // Eight bytes at a time while none is 0x80 or more, or (escaping) below 0x20 or a
    // backslash, then byte by byte while no byte needs more than a copy; the loop after it
    // takes over at the first byte that does.
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Highs = 0x8080808080808080ULL;
    std::size_t i = 0;
    while (std::endian::native == std::endian::little && n - i >= 8) {
        quint64 w;
        std::memcpy(&w, in + i, 8);
        if (w & Highs)
            break;
        if (escape) {
            // Each byte is below 0x80 here, so adding to it never carries into the next.
            const quint64 printable = (w + 0x60 * Ones) & Highs;
            const quint64 notBackslash = ((w ^ (0x5C * Ones)) + 0x7F * Ones) & Highs;
            if ((printable & notBackslash) != Highs)
                break;
        }
        std::memcpy(out, &w, 8);
        out += 8;
        i += 8;
    }
    for (; i < n; ++i) {
        const unsigned char c = in[i];
        if (ByteClass[c] & special)
            break;
        *out++ = char(c);
    }
    for (; i < n; ++i) {
        const unsigned char c = in[i];
        const unsigned char kind = ByteClass[c] & special;
        if (kind == 0) {
            *out++ = char(c);
        } else if (kind == 1) {
            *out++ = '\\';
            *out++ = EscapeOf[c];
        } else if (i + 2 < n && isSurrogateForm(in + i)) {
            *out++ = char(0xEF);
            *out++ = char(0xBF);
            *out++ = char(0xBD);
            i += 2;
        } else {
            *out++ = char(c);
        }
    }
    m_used += static_cast<std::size_t>(out - start);
}

void Utf8Output::jsonUtf8(QByteArrayView value)
{
    static constexpr char Hex[] = "0123456789abcdef";
    byte('"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        utf8Text(value.sliced(from, i - from));
        from = i + 1;
        byte('\\');
        switch (c) {
        case '"':
        case '\\':
            byte(char(c));
            break;
        case '\n':
            byte('n');
            break;
        case '\r':
            byte('r');
            break;
        case '\t':
            byte('t');
            break;
        default:
            bytes("u00");
            byte(Hex[c >> 4]);
            byte(Hex[c & 0xF]);
        }
    }
    utf8Text(value.sliced(from));
    byte('"');
}

void Utf8Output::csvUtf8(QByteArrayView field)
{
    bool quote = false;
    for (const char c : field) {
        if (c == ',' || c == '"' || c == '\r' || c == '\n') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        utf8Text(field);
        return;
    }
    byte('"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '"') {
            utf8Text(field.sliced(from, i + 1 - from));
            byte('"');
            from = i + 1;
        }
    }
    utf8Text(field.sliced(from));
    byte('"');
}

Utf8Output::Sink SinkTo(QByteArray &bytes)
{
    return [&bytes](const char *data, std::size_t size) {
        bytes.append(data, static_cast<qsizetype>(size));
        return true;
    };
}

Utf8Output::Sink SinkTo(std::FILE *stream)
{
    return [stream](const char *data, std::size_t size) {
        return std::fwrite(data, 1, size, stream) == size;
    };
}

} // namespace Engine
