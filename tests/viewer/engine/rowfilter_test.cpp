// The find bar's filter: matching without regard to case, and TableListModel narrowing its
// display rows while keeping the sort order.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/rowfilter.h"
#include "viewer/engine/tablemodel.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <QStringList>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

// Names in column 0, one more column "Kind" with the kinds given.
Listing makeListing(const QStringList &names, const QStringList &kinds)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const int kind = listing.appendColumn(QStringLiteral("Kind"));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const int row = listing.appendRow(names[i]);
        if (i < kinds.size())
            listing.setCell(row, kind, kinds[i]);
    }
    return listing;
}

QStringList shownNames(const TableListModel &model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names.append(model.cellText(row, 0));
    return names;
}

TEST(RowFilter, NeedleMatchesWithoutRegardToCase)
{
    const struct
    {
        const char16_t *needle;
        const char16_t *haystack;
        bool found;
    } cases[] = {
        {u"", u"", true},
        {u"", u"abc", true},
        {u"las", u"Laser", true},
        {u"LASER", u"laser", true},
        {u"aser", u"Laser", true},
        {u"laserx", u"Laser", false},
        {u"ss", u"Lasser", true},
        {u"sa", u"Lasser", false},
        {u"äRGER", u"Ärger", true},
        {u"Ωmega", u"ωMEGA", true},
        {u"12.50", u"       12.50", true},
        {u"a b", u"a  b", false},
        {u"aab", u"aaab", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.needle).toStdString() + " in " +
                     QString::fromUtf16(c.haystack).toStdString());
        EXPECT_EQ(Engine::Needle(QStringView(c.needle)).foundIn(QStringView(c.haystack)), c.found);
    }
}

TEST(RowFilter, ModelListsMatchingRowsInSortOrder)
{
    TableListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.setListing(makeListing({QStringLiteral("Laser"), QStringLiteral("Cannon"),
                                  QStringLiteral("Blaster"), QStringLiteral("Mine")},
                                 {QStringLiteral("beam"), QStringLiteral("shell"),
                                  QStringLiteral("BEAM"), QStringLiteral("")}));

    // Matches in any column, without regard to case; file order while unsorted.
    model.setFilterText(QStringLiteral("bEa"));
    EXPECT_EQ(shownNames(model), (QStringList{QStringLiteral("Laser"), QStringLiteral("Blaster")}));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.totalRowCount(), 4);
    EXPECT_EQ(model.sourceRow(1), 2);
    EXPECT_EQ(model.sourceRow(2), -1);
    EXPECT_EQ(model.cellText(2, 0), QString());

    // Sorting applies to the listed rows, and a persistent index follows its record.
    const QPersistentModelIndex laser = model.index(0, 1);
    model.sortByColumn(0);
    EXPECT_EQ(shownNames(model), (QStringList{QStringLiteral("Blaster"), QStringLiteral("Laser")}));
    EXPECT_EQ(laser.row(), 1);

    // The filter stays for the next listing, like the sort.
    model.setListing(makeListing(
        {QStringLiteral("Zeta beam"), QStringLiteral("Alpha"), QStringLiteral("Beam")}, {}));
    EXPECT_EQ(shownNames(model),
              (QStringList{QStringLiteral("Beam"), QStringLiteral("Zeta beam")}));

    // No match lists nothing; the empty text lists every row again.
    model.setFilterText(QStringLiteral("xyz"));
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.sourceRow(0), -1);
    model.setFilterText(QString());
    EXPECT_EQ(shownNames(model), (QStringList{QStringLiteral("Alpha"), QStringLiteral("Beam"),
                                              QStringLiteral("Zeta beam")}));
    model.takeListing();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(RowFilter, MatchesCellsAsShown)
{
    // Numeric cells are matched as padded by the formatting pass: "3" is shown "3.00".
    Listing listing = makeListing({QStringLiteral("a"), QStringLiteral("b")},
                                  {QStringLiteral("1.25"), QStringLiteral("3")});
    listing.column(1).rightAligned = true;
    listing.column(1).tag = 2;
    listing.formatColumns();
    TableListModel model;
    model.setListing(std::move(listing));
    model.setFilterText(QStringLiteral("3.00"));
    EXPECT_EQ(shownNames(model), QStringList{QStringLiteral("b")});
}

TEST(RowFilter, PartsOfTheListingAndCancelledSearches)
{
    const Listing listing = makeListing(
        {QStringLiteral("Beam"), QStringLiteral("Alpha"), QStringLiteral("beta"),
         QStringLiteral("Gamma"), QStringLiteral("Delta")},
        {QStringLiteral("x"), QStringLiteral("Be"), QString(), QString(), QStringLiteral("be")});
    const std::vector<char> all = MatchingRows(listing, QStringLiteral("BE"));
    EXPECT_EQ(all, (std::vector<char>{1, 1, 1, 0, 1}));
    // A range gives that slice of the whole; ranges beyond the rows are cut to them.
    struct Range
    {
        int first, end;
        std::vector<char> flags;
    };
    for (const Range &range : {Range{0, 2, {1, 1}}, Range{2, 5, {1, 0, 1}}, Range{3, 3, {}},
                               Range{-4, 1, {1}}, Range{4, 99, {1}}, Range{7, 9, {}}}) {
        EXPECT_EQ(MatchingRowsIn(listing, QStringLiteral("BE"), range.first, range.end),
                  range.flags)
            << range.first << ".." << range.end;
    }
    // A search cancelled before it starts gives no flags; an empty text matches every row.
    const std::atomic<bool> cancelled{true};
    EXPECT_TRUE(MatchingRows(listing, QStringLiteral("be"), &cancelled).empty());
    EXPECT_EQ(MatchingRowsIn(listing, QString(), 1, 3), (std::vector<char>{1, 1}));
}

} // namespace
