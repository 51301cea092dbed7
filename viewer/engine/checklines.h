#pragma once
// The byte-level pieces of the table checker: finding and trimming in a line, the names
// that mark a record or an end header, and the scan that splits a file's bytes into lines
// as the reader splits them (CR LF, CR or LF). Views only: nothing here owns or copies
// bytes, and nothing fails.

#include <QByteArrayView>
#include <bit>
#include <cstring>
#include <string_view>

namespace Engine::Checking {

inline std::string_view view(QByteArrayView bytes)
{
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

inline qsizetype find(QByteArrayView bytes, char c)
{
    if (bytes.isEmpty())
        return -1; // an empty view may have no data at all
    const void *at = std::memchr(bytes.data(), c, static_cast<std::size_t>(bytes.size()));
    return at ? static_cast<const char *>(at) - bytes.data() : -1;
}

// bytes without the blanks and NULs (and, with tabs set, the tabs) at its ends.
inline QByteArrayView trim(QByteArrayView bytes, bool tabs)
{
    auto blank = [tabs](char c) { return c == ' ' || c == '\0' || (tabs && c == '\t'); };
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && blank(bytes[begin]))
        ++begin;
    while (end > begin && blank(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin);
}

// Field and section names are short: a plain loop beats a call.
inline bool sameBytes(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

inline bool isName(QByteArrayView field)
{
    return field.size() == 4 && field[0] == 'N' && field[1] == 'a' && field[2] == 'm' &&
           field[3] == 'e';
}

inline bool isLetter(char c, char lower)
{
    return c == lower || c == lower - 32;
}

inline bool isEndAt(QByteArrayView text, qsizetype i)
{
    return isLetter(text[i], 'e') && isLetter(text[i + 1], 'n') && isLetter(text[i + 2], 'd');
}

// Whether name, without the blanks and tabs at its ends, is "end" in any case.
inline bool isEndTrimmed(QByteArrayView name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && (name[begin] == ' ' || name[begin] == '\t'))
        ++begin;
    while (end > begin && (name[end - 1] == ' ' || name[end - 1] == '\t'))
        --end;
    return end - begin == 3 && isEndAt(name, begin);
}

// A header that makes no tab: its text, lowered, is "end" or holds " end".
inline bool endsSections(QByteArrayView text)
{
    if (text.size() == 3 && isEndAt(text, 0))
        return true;
    for (qsizetype i = 0; i + 3 < text.size(); ++i) {
        if (text[i] == ' ' && isEndAt(text, i + 1))
            return true;
    }
    return false;
}

// Index of the first CR or LF in data[from, to), or to. Eight bytes at a time.
inline qsizetype lineEnd(const char *data, qsizetype from, qsizetype to)
{
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Highs = 0x8080808080808080ULL;
    qsizetype i = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; to - i >= 8; i += 8) {
            quint64 word;
            std::memcpy(&word, data + i, 8);
            const quint64 cr = word ^ (Ones * '\r');
            const quint64 lf = word ^ (Ones * '\n');
            // The lowest zero byte of cr or lf is found exactly.
            const quint64 hit = ((cr - Ones) & ~cr & Highs) | ((lf - Ones) & ~lf & Highs);
            if (hit)
                return i + std::countr_zero(hit) / 8;
        }
    }
    while (i < to && data[i] != '\r' && data[i] != '\n')
        ++i;
    return i;
}

// Calls f(number, line) for every line of bytes from offset from.
template <typename F>
inline void forEachLine(QByteArrayView bytes, qsizetype from, F &&f)
{
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qint64 number = 0;
    for (qsizetype pos = from; pos < size;) {
        const qsizetype end = lineEnd(data, pos, size);
        f(++number, QByteArrayView(data + pos, end - pos));
        if (end == size)
            break;
        pos = end + 1;
        if (data[end] == '\r' && pos < size && data[pos] == '\n')
            ++pos;
    }
}
} // namespace Engine::Checking
