#include "viewer/engine/rowfilter.h"

#include <algorithm>
#include <string>

namespace Engine {

namespace {

char16_t folded(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return QChar::toCaseFolded(c);
}

} // namespace

Needle::Needle(QStringView text)
{
    m_folded.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text)
        m_folded.push_back(folded(c.unicode()));
}

bool Needle::foundIn(QStringView haystack) const
{
    const char16_t *hay = reinterpret_cast<const char16_t *>(haystack.data());
    return FoldedContains(hay, haystack.size(), m_folded.data(),
                          static_cast<qsizetype>(m_folded.size()),
                          [](char16_t c) { return folded(c); });
}

std::vector<char> MatchingRows(const Listing &listing, QStringView text,
                               const std::atomic<bool> *cancel)
{
    return MatchingRowsIn(listing, text, 0, listing.rowCount(), cancel);
}

std::vector<char> MatchingRowsIn(const Listing &listing, QStringView text, int first, int end,
                                 const std::atomic<bool> *cancel)
{
    first = std::clamp(first, 0, listing.rowCount());
    end = std::clamp(end, first, listing.rowCount());
    const int rows = end - first;
    const Needle needle(text);
    std::vector<char> match(static_cast<std::size_t>(rows), needle.isEmpty() ? 1 : 0);
    if (needle.isEmpty())
        return match;
    // An ASCII cell holds the needle when its bytes do (ASCII folds to ASCII only); a
    // needle that folds to something else never occurs in one.
    std::string asciiNeedle;
    for (const char16_t c : needle.units())
        asciiNeedle.push_back(c < 0x80 ? char(c) : '\0');
    const bool asciiOnly = std::all_of(needle.units().begin(), needle.units().end(),
                                       [](char16_t c) { return c < 0x80; });
    const auto inAscii = [&](QByteArrayView cell) {
        return asciiOnly && FoldedContains(cell.data(), cell.size(), asciiNeedle.data(),
                                           qsizetype(asciiNeedle.size()), [](char c) {
                                               return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
                                           });
    };
    // Column by column: each column's cells lie together in memory.
    const int columns = std::max(listing.columnCount(), 1);
    int left = rows;
    std::string scratch;
    std::u16string units;
    for (int column = 0; column < columns && left > 0; ++column) {
        const bool ascii = !listing.hasNonAscii(column);
        for (int row = 0; row < rows; ++row) {
            // Looked at every few thousand cells: a cancelled search ends within moments.
            if (cancel && (row & 0xFFF) == 0 && cancel->load(std::memory_order_relaxed))
                return {};
            char &flag = match[static_cast<std::size_t>(row)];
            if (flag)
                continue;
            const QByteArrayView cell = listing.shownBytes(first + row, column, scratch);
            bool found = false;
            if (ascii) {
                found = inAscii(cell);
            } else {
                units.clear();
                CellText::AppendUtf16(cell, units);
                found = needle.foundIn(QStringView(units.data(), qsizetype(units.size())));
            }
            if (found) {
                flag = 1;
                --left;
            }
        }
    }
    return match;
}

} // namespace Engine
