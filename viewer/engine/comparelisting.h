#pragma once
// The listing that shows one section's comparison in the record list: the rows of the new
// file (the open one) in its order, then the records only the old file has, in the old
// file's order, with a mark for every row and the old value of every changed cell.
//
// Columns are the new file's, then the columns only the old file has. The formatting pass
// runs once over all rows, so the removed rows are padded like the others. A changed cell
// is one a field change names: in the new row, in the column of that field.
//
// Built from a SectionDiff (tablediff.h), which it only reads; the result is a value.
// Nothing throws apart from std::bad_alloc and Listing's std::length_error.

#include "viewer/engine/listing.h"

#include <QHash>
#include <QString>
#include <vector>

namespace Engine {

struct SectionDiff;

struct CompareListing
{
    enum class Mark : char
    {
        Same,
        Added,   // only in the new file
        Changed, // in both, with at least one field that differs
        Removed, // only in the old file
    };

    Listing listing;
    std::vector<Mark> marks; // one per row of listing, in file order
    int added = 0;
    int changed = 0;
    int removed = 0;

    Mark mark(int row) const
    {
        return row >= 0 && row < int(marks.size()) ? marks[std::size_t(row)] : Mark::Same;
    }
    // The old file's value of a changed cell (as the reader stored it), or nullptr when the
    // cell did not change.
    const QString *oldValue(int row, int column) const;
    // One flag per row: set for every row that is not Same.
    std::vector<char> differingRows() const;

    QHash<quint64, QString> oldValues; // key: row << 32 | column
};

CompareListing BuildCompareListing(const SectionDiff &diff);

} // namespace Engine
