#pragma once
// Finding line ends in a table file's bytes: a line ends at CR, CR LF or a lone LF. Used by
// the reader of listings and by the raw text's line index, which must agree on where
// lines end. Pure functions over the caller's bytes; nothing fails.

#include <QtGlobal>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Engine {

// Index of the first CR or LF in data[from, to), or to. Sixteen bytes at a time where the
// processor has the instructions for it, else eight.
inline qsizetype FindLineEnd(const char *data, qsizetype from, qsizetype to)
{
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    while (to - i >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        const int found =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf)));
        if (found)
            return i + std::countr_zero(unsigned(found));
        i += 16;
    }
#endif
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Highs = 0x8080808080808080ULL;
    while (std::endian::native == std::endian::little && to - i >= 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        const quint64 cr = word ^ (Ones * 0x0D);
        const quint64 lf = word ^ (Ones * 0x0A);
        // A zero byte in cr or lf marks a CR or LF (exact for the lowest such byte).
        const quint64 found = ((cr - Ones) & ~cr & Highs) | ((lf - Ones) & ~lf & Highs);
        if (found)
            return i + std::countr_zero(found) / 8;
        i += 8;
    }
    while (i < to && data[i] != '\r' && data[i] != '\n')
        ++i;
    return i;
}

// Calls atEnd(i) for every CR and every LF in data[from, to), in order. Sixteen bytes at a
// time where the processor has the instructions for it.
template <typename AtEnd>
inline void ForEachLineEndByte(const char *data, qsizetype from, qsizetype to, AtEnd &&atEnd)
{
    qsizetype i = from;
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; to - i >= 16; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        auto found = unsigned(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(block, cr), _mm_cmpeq_epi8(block, lf))));
        while (found != 0) {
            atEnd(i + std::countr_zero(found));
            found &= found - 1;
        }
    }
#endif
    for (; i < to; ++i) {
        if (data[i] == '\r' || data[i] == '\n')
            atEnd(i);
    }
}

} // namespace Engine
