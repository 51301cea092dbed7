#include "viewer/engine/comparelisting.h"

#include "viewer/engine/numeric.h"
#include "viewer/engine/tablediff.h"

#include <algorithm>
#include <climits>

namespace Engine {

namespace {

quint64 CellKey(int row, int column)
{
    return quint64(quint32(row)) << 32 | quint32(column);
}

// Stores a value as the reader does: a numeric value aligns its column right and raises
// its decimal count.
void StoreValue(Listing &listing, int row, int column, QStringView value)
{
    listing.setCell(row, column, value);
    if (column > 0 && IsNumeric(value)) {
        Listing::Column &col = listing.column(column);
        col.rightAligned = true;
        const qsizetype d = DecimalPlaces(value);
        const int tag = col.tag.value_or(0);
        col.tag = d > tag ? static_cast<int>(std::min<qsizetype>(d, INT_MAX)) : tag;
    }
}

} // namespace

const QString *CompareListing::oldValue(int row, int column) const
{
    const auto found = oldValues.constFind(CellKey(row, column));
    return found == oldValues.constEnd() ? nullptr : &found.value();
}

std::vector<char> CompareListing::differingRows() const
{
    std::vector<char> rows(marks.size());
    for (std::size_t row = 0; row < marks.size(); ++row) {
        rows[row] = marks[row] != Mark::Same;
    }
    return rows;
}

CompareListing BuildCompareListing(const SectionDiff &diff)
{
    CompareListing result;
    Listing &listing = result.listing;
    listing = diff.newListing;
    if (listing.columnCount() == 0) {
        listing = diff.oldListing.emptyCopy();
    }
    const Listing &old = diff.oldListing;

    // Where each of the old file's columns stands in the combined listing.
    std::vector<int> columnOf(std::size_t(std::max(0, old.columnCount())), 0);
    for (int column = 1; column < old.columnCount(); ++column) {
        int index = listing.findColumn(old.column(column).title);
        if (index < 0) {
            index = listing.appendColumn(old.column(column).title, old.column(column).widthTwips);
            // Aligned and padded as the old file's listing has the column.
            listing.column(index).rightAligned = old.column(column).rightAligned;
            listing.column(index).tag = old.column(column).tag;
        }
        columnOf[std::size_t(column)] = index;
    }

    const int newRows = diff.newListing.rowCount();
    result.marks.assign(std::size_t(newRows), CompareListing::Mark::Same);
    for (const SectionDiff::Record &record : diff.added) {
        result.marks[std::size_t(record.row)] = CompareListing::Mark::Added;
    }
    for (const SectionDiff::FieldChange &change : diff.changed) {
        const int column =
            change.newColumn >= 0 ? change.newColumn : columnOf[std::size_t(change.oldColumn)];
        result.marks[std::size_t(change.newRow)] = CompareListing::Mark::Changed;
        result.oldValues.insert(CellKey(change.newRow, column), diff.oldValue(change));
    }
    for (const SectionDiff::Record &record : diff.removed) {
        const int row = listing.appendRow(old.cell(record.row, 0));
        for (int column = 1; column < old.columnCount(); ++column) {
            const QString value = old.cell(record.row, column);
            if (!value.isEmpty()) {
                StoreValue(listing, row, columnOf[std::size_t(column)], value);
            }
        }
        result.marks.push_back(CompareListing::Mark::Removed);
    }
    listing.formatColumns();

    result.added = int(diff.added.size());
    result.removed = int(diff.removed.size());
    result.changed =
        int(std::count(result.marks.begin(), result.marks.end(), CompareListing::Mark::Changed));
    return result;
}

} // namespace Engine
