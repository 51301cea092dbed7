#pragma once
// Row filtering for the find bar: which records of a listing hold a text in any cell.
//
// Matching ignores case: both sides are case-folded one UTF-16 unit at a time (ASCII
// letters directly, other characters through Unicode simple case folding). Cells are
// compared as they are shown (after the formatting pass).
//
// Stateless; nothing here throws except std::bad_alloc.

#include "viewer/engine/listing.h"

#include <QString>
#include <QStringView>
#include <atomic>
#include <vector>

namespace Engine {

// Whether the needle (already folded) occurs in hay, each unit of hay folded by fold before
// it is compared. An empty needle occurs everywhere.
template <typename Unit, typename Fold>
bool FoldedContains(const Unit *hay, qsizetype n, const Unit *needle, qsizetype m, Fold fold)
{
    if (m == 0)
        return true;
    const Unit first = needle[0];
    for (qsizetype i = 0; i + m <= n; ++i) {
        if (fold(hay[i]) != first)
            continue;
        qsizetype k = 1;
        while (k < m && fold(hay[i + k]) == needle[k])
            ++k;
        if (k == m)
            return true;
    }
    return false;
}

// The needle prepared for matching (case-folded once).
class Needle
{
public:
    explicit Needle(QStringView text);
    bool isEmpty() const { return m_folded.empty(); }
    // Whether haystack contains the needle, without regard to case.
    bool foundIn(QStringView haystack) const;
    // The needle's units, folded.
    const std::vector<char16_t> &units() const { return m_folded; }

private:
    std::vector<char16_t> m_folded;
};

// One flag per row of listing (file order): true when any of the row's cells contains
// text. Goes over the cells once, column by column, skipping rows already matched. An
// empty text matches every row. When cancel is given and becomes true (another thread may
// set it), the search stops soon and returns an empty vector.
std::vector<char> MatchingRows(const Listing &listing, QStringView text,
                               const std::atomic<bool> *cancel = nullptr);
// The same for the rows first to end - 1 only (one flag each, the first for row first), so
// that parts of a listing can be searched side by side.
std::vector<char> MatchingRowsIn(const Listing &listing, QStringView text, int first, int end,
                                 const std::atomic<bool> *cancel = nullptr);

} // namespace Engine
