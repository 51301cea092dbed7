#include "viewer/engine/sortorder.h"

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace Engine {

namespace {

// A row's sort key. The lowered code units of its key cell that follow the prefix all keys
// share are packed into head, most significant first: 8 of them as bytes when every key
// fits in 8 bits, else 4 as 16-bit units, zeros after the end. Keys whose heads tie and
// that are longer than what head holds are told apart from their cells.
struct SortKey
{
    quint64 head;
    quint32 length;
    int row;
};
static_assert(sizeof(SortKey) == 16);

char16_t lowered(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

// The shown texts of one column's cells, one at a time: as their bytes when the column is
// ASCII (bytes are then UTF-16 units), else as UTF-16 units.
template <typename Unit>
class KeyCells
{
public:
    KeyCells(const Listing &listing, int column) : m_listing(listing), m_column(column) {}
    // Valid until the next call.
    std::basic_string_view<Unit> operator()(int row)
    {
        const QByteArrayView bytes = m_listing.shownBytes(row, m_column, m_scratch);
        if constexpr (sizeof(Unit) == 1) {
            return {reinterpret_cast<const Unit *>(bytes.data()), std::size_t(bytes.size())};
        } else {
            m_units.clear();
            CellText::AppendUtf16(bytes, m_units);
            return m_units;
        }
    }

private:
    const Listing &m_listing;
    const int m_column;
    std::string m_scratch;
    std::u16string m_units;
};

// The lowered texts a and b compared by code unit from index from on; the code units
// before from are equal.
template <typename Unit>
bool loweredLess(std::basic_string_view<Unit> a, std::basic_string_view<Unit> b, std::size_t from)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = from; i < n; ++i) {
        const char16_t x = lowered(a[i]);
        const char16_t y = lowered(b[i]);
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

// Stable least-significant-digit radix sort of keys by head, one pass per byte that is
// not the same in every key. scratch has keys' size.
void radixSort(std::vector<SortKey> &keys, std::vector<SortKey> &scratch)
{
    quint64 any = 0;
    quint64 all = ~quint64(0);
    for (const SortKey &key : keys) {
        any |= key.head;
        all &= key.head;
    }
    const quint64 varying = any ^ all;
    for (int shift = 0; shift < 64; shift += 8) {
        if (((varying >> shift) & 0xFF) == 0)
            continue;
        std::array<std::size_t, 256> start{};
        for (const SortKey &key : keys)
            ++start[(key.head >> shift) & 0xFF];
        std::size_t sum = 0;
        for (std::size_t &count : start) {
            const std::size_t n = count;
            count = sum;
            sum += n;
        }
        for (const SortKey &key : keys)
            scratch[start[(key.head >> shift) & 0xFF]++] = key;
        keys.swap(scratch);
    }
}

// Sorts order (the rows in file order) by the column's keys, read as units of type Unit.
template <typename Unit>
void sortRows(const Listing &listing, int column, std::vector<int> &order)
{
    const int rows = listing.rowCount();
    // The prefix shared by all keys decides nothing; whether all keys fit in 8 bits
    // decides how many code units head holds.
    KeyCells<Unit> cells(listing, column);
    const std::basic_string<Unit> first(cells(0));
    std::size_t shared = first.size();
    char16_t high = 0;
    for (int row = 0; row < rows; ++row) {
        const std::basic_string_view<Unit> text = cells(row);
        const std::size_t n = text.size();
        for (std::size_t i = 0; i < n; ++i)
            high |= text[i];
        std::size_t i = 0;
        const std::size_t limit = std::min(shared, n);
        while (i < limit && lowered(text[i]) == lowered(first[i]))
            ++i;
        shared = i;
    }
    const bool narrow = high < 0x100;
    const std::size_t inHead = shared + (narrow ? 8 : 4);

    std::vector<SortKey> keys(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const std::basic_string_view<Unit> text = cells(row);
        const std::size_t n = std::min(text.size(), inHead);
        quint64 head = 0;
        if (narrow) {
            for (std::size_t i = shared; i < n; ++i)
                head |= quint64(lowered(text[i])) << (56 - 8 * (i - shared));
        } else {
            for (std::size_t i = shared; i < n; ++i)
                head |= quint64(lowered(text[i])) << (48 - 16 * (i - shared));
        }
        keys[static_cast<std::size_t>(row)] = SortKey{head, static_cast<quint32>(text.size()), row};
    }
    {
        std::vector<SortKey> scratch(keys.size());
        radixSort(keys, scratch);
    }

    // Runs of equal heads are in file order; those whose keys are not all the same length
    // within what head holds still need their whole keys compared.
    KeyCells<Unit> other(listing, column);
    const auto less = [&cells, &other, inHead](const SortKey &a, const SortKey &b) {
        if (a.length <= inHead && b.length <= inHead)
            return a.length < b.length; // the whole keys were compared
        return loweredLess<Unit>(cells(a.row), other(b.row), inHead);
    };
    for (std::size_t begin = 0; begin < keys.size();) {
        std::size_t end = begin + 1;
        bool same = keys[begin].length <= inHead;
        while (end < keys.size() && keys[end].head == keys[begin].head) {
            same = same && keys[end].length == keys[begin].length;
            ++end;
        }
        if (!same && end - begin > 1)
            std::stable_sort(keys.begin() + std::ptrdiff_t(begin),
                             keys.begin() + std::ptrdiff_t(end), less);
        begin = end;
    }
    for (std::size_t i = 0; i < keys.size(); ++i)
        order[i] = keys[i].row;
}

} // namespace

std::vector<int> SortAscending(const Listing &listing, int column)
{
    const int rows = listing.rowCount();
    std::vector<int> order(static_cast<std::size_t>(std::max(rows, 0)));
    for (int row = 0; row < rows; ++row)
        order[static_cast<std::size_t>(row)] = row;
    if (rows < 2)
        return order;
    if (listing.hasNonAscii(column))
        sortRows<char16_t>(listing, column, order);
    else
        sortRows<unsigned char>(listing, column, order);
    return order;
}

} // namespace Engine
