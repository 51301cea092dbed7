// TableListModel: the list as shown, its sort order and its behaviour as an item model.

#include "tests/viewer/engine/qstring_printer.h"
#include "vexa32/strings.h"
#include "viewer/engine/tablemodel.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

using namespace Engine;

namespace {

// A listing with the names given and, in column 1 ("Mass"), the masses given ("" = none).
Listing makeListing(const QStringList &names, const QStringList &masses = {})
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const int mass = listing.appendColumn(QStringLiteral("Mass"));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const int row = listing.appendRow(names[i]);
        if (i < masses.size() && !masses[i].isEmpty())
            listing.setCell(row, mass, masses[i]);
    }
    return listing;
}

QStringList shownColumn(const TableListModel &model, int column)
{
    QStringList cells;
    for (int row = 0; row < model.rowCount(); ++row)
        cells.append(model.cellText(row, column));
    return cells;
}

TEST(TableListModel, PassesTheItemModelChecks)
{
    TableListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Listing listing = makeListing({QStringLiteral("b"), QStringLiteral("a")},
                                  {QStringLiteral("2"), QStringLiteral("1.5")});
    listing.column(1).rightAligned = true;
    listing.column(1).tag = 1;
    listing.formatColumns();
    model.setListing(std::move(listing));
    const QPersistentModelIndex first = model.index(0, 1);
    model.sortByColumn(0);
    model.sortByColumn(1);
    model.setSorted(false);
    model.clear();
    EXPECT_FALSE(first.isValid());
}

TEST(TableListModel, ShowsCellsTitlesAndAlignment)
{
    TableListModel model;
    Listing listing = makeListing({QStringLiteral("Kestrel")}, {QStringLiteral("1.5")});
    listing.column(1).rightAligned = true;
    listing.column(1).tag = 2;
    listing.formatColumns();
    model.setListing(std::move(listing));

    ASSERT_EQ(model.rowCount(), 1);
    ASSERT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("Kestrel"));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), QStringLiteral("        1.50"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Mass"));
    const int right = int(Qt::AlignRight | Qt::AlignVCenter);
    const int left = int(Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(model.data(model.index(0, 1), Qt::TextAlignmentRole).toInt(), right);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::TextAlignmentRole).toInt(), left);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), right);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(), left);
    EXPECT_FALSE(model.headerData(5, Qt::Horizontal).isValid());
    EXPECT_EQ(model.cellText(3, 0), QString());
}

TEST(TableListModel, SortsByLoweredTextStablyAndKeepsTheOrderOnASecondClick)
{
    TableListModel model;
    // Lowered A-Z only, then compared by code unit: "_" (0x5F) sorts before letters and
    // "Ä" after them; equal keys keep file order.
    model.setListing(
        makeListing({QStringLiteral("beta"), QStringLiteral("Alpha"), QStringLiteral("\u00c4pfel"),
                     QStringLiteral("alpha"), QStringLiteral("_x"), QStringLiteral("BETA")}));
    const QStringList expected = {QStringLiteral("_x"),    QStringLiteral("Alpha"),
                                  QStringLiteral("alpha"), QStringLiteral("beta"),
                                  QStringLiteral("BETA"),  QStringLiteral("\u00c4pfel")};
    model.sortByColumn(0);
    EXPECT_EQ(shownColumn(model, 0), expected);
    EXPECT_EQ(model.sourceRow(0), 4);
    model.sortByColumn(0); // the same header again: the same order, not reversed
    EXPECT_EQ(shownColumn(model, 0), expected);
}

TEST(TableListModel, SortStateOutlivesListingsAndFallsBackToFileOrder)
{
    TableListModel model;
    model.sortByColumn(1);
    EXPECT_TRUE(model.sorted());
    EXPECT_EQ(model.sortKey(), 1);

    // Applied to a listing set later; rows without a value ("") come first.
    model.setListing(makeListing(
        {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")},
        {QStringLiteral("z"), QStringLiteral(""), QStringLiteral("m"), QStringLiteral("M")}));
    EXPECT_EQ(shownColumn(model, 0), (QStringList{QStringLiteral("b"), QStringLiteral("c"),
                                                  QStringLiteral("d"), QStringLiteral("a")}));

    // A listing with fewer columns than the key: file order, state kept.
    Listing narrow;
    narrow.appendColumn(QStringLiteral("Name"), 2000);
    narrow.appendRow(QStringLiteral("y"));
    narrow.appendRow(QStringLiteral("x"));
    model.setListing(std::move(narrow));
    EXPECT_EQ(shownColumn(model, 0), (QStringList{QStringLiteral("y"), QStringLiteral("x")}));
    model.clear();
    EXPECT_TRUE(model.sorted());
    EXPECT_EQ(model.sortKey(), 1);

    model.setSorted(false);
    model.setListing(makeListing({QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_EQ(shownColumn(model, 0), (QStringList{QStringLiteral("b"), QStringLiteral("a")}));
}

TEST(TableListModel, SortingMovesPersistentIndexesWithTheirRows)
{
    TableListModel model;
    model.setListing(makeListing({QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("b")}));
    const QPersistentModelIndex c = model.index(0, 0);
    const QPersistentModelIndex b = model.index(2, 0);
    model.sortByColumn(0);
    EXPECT_EQ(c.row(), 2);
    EXPECT_EQ(b.row(), 1);
    EXPECT_EQ(c.data().toString(), QStringLiteral("c"));
}

// Against a plain stable sort of the lowered texts, on keys that share long prefixes,
// differ only far back or in length, and hold NUL characters; with 8-bit texts only and
// with texts beyond 8 bits.
TEST(TableListModel, SortOrderMatchesAPlainStableSort)
{
    const QString wide = QString(QChar(0x3A9)) + QStringLiteral("mega");
    const QString wideStems[] = {wide, wide + QStringLiteral("0000000000"),
                                 QStringLiteral("Crate ") + wide, QStringLiteral("C")};
    const QString narrowStems[] = {QStringLiteral("Crate 0000000"),
                                   QStringLiteral("crate 0000000"),
                                   QStringLiteral("Crate 00000001"),
                                   QStringLiteral("Crate"),
                                   QStringLiteral("C"),
                                   QStringLiteral("c"),
                                   QStringLiteral("Crate 0000000000000000000") + QChar(0xE9)};
    const std::vector<std::vector<QString>> stemSets = {
        {std::begin(narrowStems), std::end(narrowStems)},
        {std::begin(wideStems), std::end(wideStems)}};
    for (const std::vector<QString> &stems : stemSets) {
        QStringList names;
        for (int i = 0; i < 400; ++i) {
            QString name = stems[std::size_t(i) % stems.size()] + QString::number((i * 7919) % 23);
            if (i % 5 == 0)
                name.append(QChar(0));
            if (i % 9 == 0)
                name.append(QStringLiteral("Z"));
            names.append(name);
        }
        TableListModel model;
        model.setListing(makeListing(names));
        model.sortByColumn(0);

        std::vector<int> expected(static_cast<std::size_t>(names.size()));
        for (std::size_t i = 0; i < expected.size(); ++i)
            expected[i] = static_cast<int>(i);
        std::stable_sort(expected.begin(), expected.end(), [&names](int a, int b) {
            return Vexa32::LowerCase(names[a]) < Vexa32::LowerCase(names[b]);
        });
        for (int row = 0; row < model.rowCount(); ++row)
            ASSERT_EQ(model.sourceRow(row), expected[static_cast<std::size_t>(row)])
                << stems[0].toStdString() << " row " << row;
    }
}

} // namespace

TEST(TableListModel, RowMaskNarrowsWithTheFilterInSortOrderAndGoesWithItsListing)
{
    TableListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QStringList names{QStringLiteral("delta"), QStringLiteral("alpha"),
                            QStringLiteral("charlie"), QStringLiteral("bravo")};
    model.setListing(makeListing(names));
    model.sortByColumn(0);
    model.setRowMask({1, 0, 1}); // bravo lies beyond the mask
    EXPECT_EQ(shownColumn(model, 0),
              QStringList({QStringLiteral("charlie"), QStringLiteral("delta")}));
    EXPECT_EQ(model.sourceRow(1), 0);
    model.setFilterText(QStringLiteral("L"));
    EXPECT_EQ(shownColumn(model, 0),
              QStringList({QStringLiteral("charlie"), QStringLiteral("delta")}));
    model.setFilterText(QStringLiteral("ch"));
    EXPECT_EQ(shownColumn(model, 0), QStringList({QStringLiteral("charlie")}));
    model.setFilterText(QString());
    model.setListing(makeListing(names));
    EXPECT_FALSE(model.hasRowMask());
    EXPECT_EQ(model.rowCount(), 4);
}
