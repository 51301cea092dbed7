#include "viewer/engine/celltext.h"

#include <algorithm>
#include <cstring>

namespace Engine::CellText {

namespace {

bool isAscii(QByteArrayView bytes)
{
    unsigned char high = 0;
    for (const char c : bytes)
        high |= static_cast<unsigned char>(c);
    return high < 0x80;
}

// The formatting of one cell on any unit type (bytes of ASCII text, or UTF-16 units):
// resizes out to the shown text's length with resize(n) and writes it at out(0).
template <typename Unit, typename Resize>
void format(const Unit *text, qsizetype n, Format f, Resize resize)
{
    const qsizetype decimals = std::max(0, f.decimals);
    // The cell is followed by a suffix: "." when it has none and decimals are missing,
    // then one "0" per missing decimal.
    qsizetype point = 0;
    while (point < n && text[point] != Unit('.'))
        ++point;
    bool addPoint = false;
    qsizetype zeros = 0;
    if (decimals > 0) {
        // Decimals: characters after the first "." once trailing blanks and NULs are
        // trimmed (leading ones come before the point).
        qsizetype d = 0;
        if (point < n) {
            qsizetype end = n;
            while (end > point + 1 && (text[end - 1] == Unit(' ') || text[end - 1] == 0))
                --end;
            d = end - point - 1;
        }
        if (d < decimals) {
            addPoint = point == n;
            zeros = decimals - d;
        }
    }
    const qsizetype length = n + (addPoint ? 1 : 0) + zeros;
    // Fixed: blanks, then the shown text's last FixedWidth characters at most.
    const qsizetype pad = f.fixed ? std::max<qsizetype>(0, FixedWidth - length) : 0;
    const qsizetype from = f.fixed ? std::max<qsizetype>(0, length - FixedWidth) : 0;
    Unit *out = resize(pad + length - from);
    for (qsizetype i = 0; i < pad; ++i)
        *out++ = Unit(' ');
    for (qsizetype i = from; i < n; ++i)
        *out++ = text[i];
    qsizetype i = std::max(from, n);
    if (addPoint && i == n) {
        *out++ = Unit('.');
        ++i;
    }
    for (; i < length; ++i)
        *out++ = Unit('0');
}

} // namespace

void AppendCodePoint(char32_t c, std::string &out)
{
    if (c < 0x80) {
        out.push_back(char(c));
    } else if (c < 0x800) {
        out.push_back(char(0xC0 | (c >> 6)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(char(0xE0 | (c >> 12)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (c >> 18)));
        out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(char(0x80 | (c & 0x3F)));
    }
}

void AppendUtf8(QStringView text, std::string &out)
{
    const char16_t *in = reinterpret_cast<const char16_t *>(text.data());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = in[i];
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
            AppendCodePoint(QChar::surrogateToUcs4(c, in[i + 1]), out);
            ++i;
        } else {
            AppendCodePoint(c, out); // a lone surrogate keeps its three-byte form
        }
    }
}

void AppendUtf16(QByteArrayView bytes, std::u16string &out)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            out.push_back(c);
            ++p;
            continue;
        }
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (end - p <= extra)
            extra = 0; // cannot happen for stored text; never reads past the end
        char32_t cp = extra == 3 ? (c & 0x07) : extra == 2 ? (c & 0x0F) : (c & 0x1F);
        if (extra == 0)
            cp = 0xFFFD;
        for (int i = 1; i <= extra; ++i)
            cp = (cp << 6) | (p[i] & 0x3F);
        p += extra + 1;
        if (cp >= 0x10000) {
            out.push_back(QChar::highSurrogate(cp));
            out.push_back(QChar::lowSurrogate(cp));
        } else {
            out.push_back(char16_t(cp));
        }
    }
}

QString ToString(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    std::u16string units;
    units.reserve(std::size_t(bytes.size()));
    AppendUtf16(bytes, units);
    return QString(reinterpret_cast<const QChar *>(units.data()), qsizetype(units.size()));
}

qsizetype LeadingBlanks(QByteArrayView cell, Format f)
{
    const qsizetype n = cell.size();
    if (!f.fixed || n > FixedWidth || !isAscii(cell))
        return -1;
    // The cell must already have its decimals (characters after its first ".", trailing
    // blanks and NULs aside).
    if (f.decimals > 0) {
        const char *p = cell.data();
        qsizetype point = 0;
        while (point < n && p[point] != '.')
            ++point;
        if (point == n)
            return -1;
        qsizetype end = n;
        while (end > point + 1 && (p[end - 1] == ' ' || p[end - 1] == 0))
            --end;
        if (end - point - 1 < f.decimals)
            return -1;
    }
    return FixedWidth - n;
}

QByteArrayView Padded(qsizetype blanks, QByteArrayView cell, std::string &out)
{
    const qsizetype n = cell.size();
    out.resize(std::size_t(blanks + n));
    char *o = out.data();
    std::memset(o, ' ', std::size_t(blanks));
    if (n > 0)
        std::memcpy(o + blanks, cell.data(), std::size_t(n));
    return QByteArrayView(o, blanks + n);
}

QByteArrayView Formatted(QByteArrayView cell, Format f, std::string &out)
{
    // The usual right-aligned cell: blanks, then the cell.
    if (const qsizetype blanks = LeadingBlanks(cell, f); blanks >= 0)
        return Padded(blanks, cell, out);
    if (isAscii(cell)) {
        format(cell.data(), cell.size(), f, [&out](qsizetype n) {
            out.resize(std::size_t(n));
            return out.data();
        });
        return QByteArrayView(out.data(), qsizetype(out.size()));
    }
    // Characters are counted in UTF-16 units, as the list shows them.
    std::u16string units;
    AppendUtf16(cell, units);
    std::u16string shown;
    format(units.data(), qsizetype(units.size()), f, [&shown](qsizetype n) {
        shown.resize(std::size_t(n));
        return shown.data();
    });
    out.clear();
    AppendUtf8(QStringView(shown.data(), qsizetype(shown.size())), out);
    return QByteArrayView(out.data(), qsizetype(out.size()));
}

} // namespace Engine::CellText
