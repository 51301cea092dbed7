// CompareListing: one section's comparison as the record list shows it.

#include "qstring_printer.h"
#include "viewer/engine/comparelisting.h"
#include "viewer/engine/numeric.h"
#include "viewer/engine/tablediff.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

struct Row
{
    const char *name;
    std::vector<std::pair<const char *, const char *>> fields;
};

// A listing as the reader stores it: column "Name" first, fields in order of appearance.
Listing Read(const std::vector<Row> &rows)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    for (const Row &row : rows) {
        const int r = listing.appendRow(QString::fromUtf8(row.name));
        for (const auto &[field, value] : row.fields) {
            const QString title = QString::fromUtf8(field);
            int column = listing.findColumn(title);
            if (column < 0)
                column = listing.appendColumn(title);
            const QString text = QString::fromUtf8(value);
            listing.setCell(r, column, text);
            if (IsNumeric(text)) {
                listing.column(column).rightAligned = true;
                listing.column(column).tag =
                    std::max<int>(listing.column(column).tag.value_or(0), int(DecimalPlaces(text)));
            }
        }
    }
    return listing;
}

QStringList Cells(const Listing &listing, int row)
{
    QStringList cells;
    for (int column = 0; column < listing.columnCount(); ++column)
        cells << listing.cell(row, column);
    return cells;
}

} // namespace

TEST(CompareListing, NewRowsThenRemovedOnesWithOldOnlyColumnsAndChangedCells)
{
    const Listing before = Read({{"Lamp", {{"Colour", "red"}, {"Watt", "40"}}},
                                 {"Desk", {{"Colour", "oak"}}},
                                 {"Lamp", {{"Colour", "blue"}}}});
    const Listing after = Read({{"Lamp", {{"Colour", "red"}}},
                                {"Chair", {{"Colour", "oak"}}},
                                {"Lamp", {{"Colour", "blue"}}}});
    const CompareListing shown =
        BuildCompareListing(CompareListings(QStringLiteral("S"), before, after));

    using Mark = CompareListing::Mark;
    EXPECT_EQ(shown.marks,
              (std::vector<Mark>{Mark::Changed, Mark::Added, Mark::Same, Mark::Removed}));
    EXPECT_EQ(shown.listing.column(2).title, QStringLiteral("Watt")); // only the old file has it
    // The removed row keeps its values, the old-only column is padded like any number.
    EXPECT_EQ(Cells(shown.listing, 3),
              QStringList({QStringLiteral("Desk"), QStringLiteral("oak"), QString(12, u' ')}));
    ASSERT_NE(shown.oldValue(0, 2), nullptr);
    EXPECT_EQ(*shown.oldValue(0, 2), QStringLiteral("40"));
    EXPECT_EQ(shown.oldValue(0, 1), nullptr);
    EXPECT_EQ(shown.oldValue(2, 1), nullptr); // the second Lamp matches the second Lamp
    EXPECT_EQ((std::vector<int>{shown.added, shown.changed, shown.removed}),
              (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(shown.differingRows(), (std::vector<char>{1, 1, 0, 1}));
}

TEST(CompareListing, ASectionOnlyTheOldFileHasListsEveryRecordAsRemoved)
{
    const Listing before = Read({{"Spike", {{"Yield", "5.5"}}}});
    const CompareListing shown =
        BuildCompareListing(CompareListings(QStringLiteral("S"), before, Listing()));
    ASSERT_EQ(shown.listing.rowCount(), 1);
    EXPECT_EQ(shown.listing.cell(0, 0), QStringLiteral("Spike"));
    EXPECT_EQ(shown.listing.cell(0, 1), QStringLiteral("         5.5"));
    EXPECT_EQ(shown.marks, std::vector<CompareListing::Mark>{CompareListing::Mark::Removed});
}
