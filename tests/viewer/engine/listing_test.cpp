// Listing: cell storage and the formatting pass over its columns.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/listing.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

QStringList columnCells(const Listing &listing, int column)
{
    QStringList cells;
    for (int row = 0; row < listing.rowCount(); ++row)
        cells.append(listing.cell(row, column));
    return cells;
}

TEST(Listing, StoresCellsInAnyOrderAndLeavesMissingOnesEmpty)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const int a = listing.appendColumn(QStringLiteral("A"));
    for (int i = 0; i < 4; ++i)
        listing.appendRow(QStringLiteral("r%1").arg(i));
    listing.setCell(2, a, u"two");
    listing.setCell(3, a, u"three");
    listing.setCell(3, a, u"3"); // a later value wins
    listing.setCell(0, a, u"zero, set late");
    listing.setCell(2, a, u"2");
    EXPECT_EQ(columnCells(listing, a), (QStringList{QStringLiteral("zero, set late"), QString(),
                                                    QStringLiteral("2"), QStringLiteral("3")}));
    EXPECT_EQ(columnCells(listing, 0).join(u','), QStringLiteral("r0,r1,r2,r3"));
    EXPECT_TRUE(listing.cell(9, a).isEmpty());
    EXPECT_TRUE(listing.cell(0, 7).isEmpty());
    EXPECT_EQ(listing.findColumn(u"A"), a);
    EXPECT_EQ(listing.findColumn(u"a"), -1);
}

TEST(Listing, KeepsCellsOfEveryShortLengthIntact)
{
    // Each length takes its own way of copying (bytes, two 4-byte or two 8-byte moves, a
    // call); neighbouring cells must not touch each other.
    const QByteArray alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN";
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"));
    listing.appendColumn(QStringLiteral("Text"));
    for (int n = 0; n <= alphabet.size(); ++n) {
        const int row = listing.appendRowUtf8(QByteArrayView(alphabet).first(n % 7));
        listing.setCellUtf8(row, 1, QByteArrayView(alphabet).last(n));
    }
    for (int n = 0; n <= alphabet.size(); ++n) {
        EXPECT_EQ(listing.cell(n, 0), QString::fromLatin1(alphabet.first(n % 7))) << n;
        EXPECT_EQ(listing.cell(n, 1), QString::fromLatin1(alphabet.last(n))) << n;
    }
}

TEST(Listing, FormattingPadsDecimalsThenRightAlignsToTwelveCharacters)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const int mass = listing.appendColumn(QStringLiteral("Mass"));
    const int note = listing.appendColumn(QStringLiteral("Note"));
    const QStringList masses = {QStringLiteral("1.5"),
                                QStringLiteral("2.25"),
                                QStringLiteral("3"),
                                QString(),
                                QStringLiteral("none"),
                                QStringLiteral("5."),
                                QStringLiteral("1234567.12345")};
    for (const QString &m : masses) {
        const int row = listing.appendRow(QStringLiteral("n"));
        if (!m.isEmpty())
            listing.setCell(row, mass, m);
        listing.setCell(row, note, QStringLiteral("text"));
    }
    listing.column(mass).rightAligned = true;
    listing.column(mass).tag = 2;
    // Column 1 is never formatted, whatever its state.
    listing.column(0).rightAligned = true;
    listing.column(0).tag = 3;
    listing.formatColumns();

    const QStringList expected = {QStringLiteral("        1.50"), QStringLiteral("        2.25"),
                                  QStringLiteral("        3.00"), QStringLiteral("         .00"),
                                  QStringLiteral("     none.00"), QStringLiteral("        5.00"),
                                  QStringLiteral("234567.12345")};
    EXPECT_EQ(columnCells(listing, mass), expected);
    EXPECT_EQ(listing.cell(0, note), u"text");
    EXPECT_EQ(listing.cell(0, 0), u"n");

    // Going over it once more changes nothing.
    listing.formatColumns();
    EXPECT_EQ(columnCells(listing, mass), expected);

    // Rows appended to a formatted listing are formatted with it, the old ones stay.
    Listing more = listing.emptyCopy();
    more.appendRow(QStringLiteral("new"));
    more.setCell(0, mass, u"7.125");
    more.column(mass).tag = 3;
    const int extra = more.appendColumn(QStringLiteral("Extra"));
    more.setCell(0, extra, u"x");
    listing.appendRows(std::move(more));
    listing.formatColumns();
    ASSERT_EQ(listing.rowCount(), 8);
    ASSERT_EQ(listing.columnCount(), 4);
    EXPECT_EQ(listing.cell(0, mass), u"       1.500");
    EXPECT_EQ(listing.cell(3, mass), u"        .000");
    EXPECT_EQ(listing.cell(7, mass), u"       7.125");
    EXPECT_EQ(listing.cell(7, 0), u"new");
    EXPECT_EQ(listing.cell(7, note), u"");
    EXPECT_EQ(listing.cell(7, extra), u"x");
    EXPECT_EQ(listing.cell(0, extra), u"");
}

// A large listing's columns are formatted two at a time: each still ends as if alone.
TEST(Listing, FormatsEveryColumnOfALargeListing)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    for (int c = 1; c <= 5; ++c)
        listing.appendColumn(QStringLiteral("C%1").arg(c));
    constexpr int Rows = 60000;
    for (int r = 0; r < Rows; ++r) {
        listing.appendRow(QStringLiteral("n"));
        for (int c = 1; c <= 5; ++c)
            listing.setCell(r, c, QString::number(r % 7 + c) + QStringLiteral(".5"));
    }
    for (int c = 1; c <= 5; ++c) {
        listing.column(c).rightAligned = c % 2 == 1;
        listing.column(c).tag = c;
    }
    listing.formatColumns();
    for (int c = 1; c <= 5; ++c) {
        for (const int r : {0, 1, Rows / 2, Rows - 1}) {
            QString expected =
                QString::number(r % 7 + c) + QStringLiteral(".5") + QString(c - 1, u'0');
            if (c % 2 == 1)
                expected = expected.rightJustified(12, u' ');
            EXPECT_EQ(listing.cell(r, c), expected) << c << " " << r;
        }
    }
}

TEST(Listing, ALeftAlignedColumnGetsItsDecimalsButNoPadding)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const int c = listing.appendColumn(QStringLiteral("C"));
    listing.appendRow(u"a");
    listing.setCell(0, c, u"7");
    listing.appendRow(u"b");
    listing.column(c).tag = 1;
    listing.formatColumns();
    EXPECT_EQ(columnCells(listing, c), (QStringList{QStringLiteral("7.0"), QStringLiteral(".0")}));
}

// Characters are counted in UTF-16 units, whatever the bytes kept for them: padding, the
// cut to the last 12 units (which may split a surrogate pair) and the text given back.
TEST(Listing, FormatsAndGivesBackTextBeyondAscii)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const int c = listing.appendColumn(QStringLiteral("C"));
    const QString astral = QString(QChar(0xD83D)) + QChar(0xDE00);
    const QString lone = QString(QChar(0xDC00));
    struct Case
    {
        QString stored;
        QString shown;
    };
    const QString umlauts = QStringLiteral("Gr\u00f6\u00dfe \u00fcberschritten");
    const Case cases[] = {
        {QStringLiteral("\u00c41"), QStringLiteral("\u00c41.0").rightJustified(12)},
        {umlauts, QStringLiteral("rschritten.0")},
        // The cut leaves the low half of the pair as the first unit.
        {astral + QStringLiteral("bcdefghij"), QChar(0xDE00) + QStringLiteral("bcdefghij.0")},
        {astral + QStringLiteral("1"), (astral + QStringLiteral("1.0")).rightJustified(12)},
        {lone + QStringLiteral("x"), (lone + QStringLiteral("x.0")).rightJustified(12)},
    };
    for (const Case &k : cases)
        listing.setCell(listing.appendRow(k.stored), c, k.stored);
    for (int r = 0; r < listing.rowCount(); ++r)
        EXPECT_EQ(listing.cell(r, 0), cases[r].stored) << r;
    listing.column(c).rightAligned = true;
    listing.column(c).tag = 1;
    listing.formatColumns();
    for (int r = 0; r < listing.rowCount(); ++r)
        EXPECT_EQ(listing.cell(r, c), cases[r].shown) << r;
}

TEST(Listing, RowsWithoutColumnsKeepTheirNames)
{
    // The list before any file was opened has no columns at all.
    Listing listing;
    EXPECT_EQ(listing.appendRow(u"first"), 0);
    EXPECT_EQ(listing.columnCount(), 0);
    EXPECT_EQ(listing.cell(0, 0), u"first");
    listing.formatColumns();
    EXPECT_EQ(listing.cell(0, 0), u"first");
}

} // namespace
