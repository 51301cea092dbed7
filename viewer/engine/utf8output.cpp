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

namespace {

// A unit of the text, as a number: a UTF-16 unit, or a byte of UTF-8.
char16_t unitOf(QChar c)
{
    return c.unicode();
}

char16_t unitOf(char c)
{
    return static_cast<unsigned char>(c);
}

// value as a JSON string literal; runs without anything to escape go to plain (the text or
// UTF-8 writer), so both kinds of text share one way of escaping.
template <typename View, typename Plain>
void writeJsonString(Utf8Output &out, View value, Plain plain)
{
    static constexpr char Hex[] = "0123456789abcdef";
    out.byte('"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = unitOf(value[i]);
        if (c >= 0x20 && c != u'"' && c != u'\\')
            continue;
        plain(value.sliced(from, i - from));
        from = i + 1;
        out.byte('\\');
        switch (c) {
        case u'"':
        case u'\\':
            out.byte(char(c));
            break;
        case u'\n':
            out.byte('n');
            break;
        case u'\r':
            out.byte('r');
            break;
        case u'\t':
            out.byte('t');
            break;
        default:
            out.bytes("u00");
            out.byte(Hex[c >> 4]);
            out.byte(Hex[c & 0xF]);
        }
    }
    plain(value.sliced(from));
    out.byte('"');
}

// field as one CSV field, quoted (and its quotes doubled) when it holds a comma, a quote,
// CR or LF; the runs in between go to plain.
template <typename View, typename Plain>
void writeCsvField(Utf8Output &out, View field, Plain plain)
{
    bool quote = false;
    for (const auto unit : field) {
        const char16_t c = unitOf(unit);
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
            quote = true;
            break;
        }
    }
    if (!quote) {
        plain(field);
        return;
    }
    out.byte('"');
    qsizetype from = 0;
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (unitOf(field[i]) == u'"') {
            plain(field.sliced(from, i + 1 - from));
            out.byte('"');
            from = i + 1;
        }
    }
    plain(field.sliced(from));
    out.byte('"');
}

} // namespace

void Utf8Output::jsonString(QStringView value)
{
    writeJsonString(*this, value, [this](QStringView run) { text(run); });
}

void Utf8Output::csvField(QStringView field)
{
    writeCsvField(*this, field, [this](QStringView run) { text(run); });
}

void Utf8Output::jsonUtf8(QByteArrayView value)
{
    writeJsonString(*this, value, [this](QByteArrayView run) { utf8Text(run); });
}

void Utf8Output::csvUtf8(QByteArrayView field)
{
    writeCsvField(*this, field, [this](QByteArrayView run) { utf8Text(run); });
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
