// Reading every section in one pass: each listing must hold exactly what a reading for
// that one caption lists, on files whose sections interleave in awkward ways.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tableparser.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

// Every title and every cell of a listing, one line per row.
QStringList dump(const Listing &listing)
{
    QStringList lines;
    QStringList titles;
    for (int c = 0; c < listing.columnCount(); ++c)
        titles.append(listing.column(c).title);
    lines.append(titles.join(u'|'));
    for (int r = 0; r < listing.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < std::max(listing.columnCount(), 1); ++c)
            cells.append(listing.cell(r, c));
        lines.append(cells.join(u'|'));
    }
    return lines;
}

struct Case
{
    const char *name;
    QByteArray bytes;
};

class ParseSectionsTest : public testing::TestWithParam<Case>
{
protected:
    QString write(const QByteArray &bytes)
    {
        EXPECT_TRUE(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("t.tbl"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    QTemporaryDir m_dir;
};

TEST_P(ParseSectionsTest, EachListingMatchesTheReadingForItsCaption)
{
    const QString path = write(GetParam().bytes);
    QFile all(path);
    ASSERT_TRUE(all.open(QIODevice::ReadOnly));
    const ParsedSections sections = Engine::ParseSections(all, path);

    QFile open(path);
    ASSERT_TRUE(open.open(QIODevice::ReadOnly));
    Listing nameOnly;
    nameOnly.appendColumn(QStringLiteral("Name"), 2000);
    const ParsedTable opened = Engine::ParseTable(open, path, QStringLiteral("#"), nameOnly);
    EXPECT_EQ(sections.sections, opened.sections);
    EXPECT_EQ(sections.utf8, opened.utf8);

    for (const QString &caption : sections.sections) {
        ASSERT_TRUE(sections.listings.contains(caption)) << caption.toStdString();
        QFile one(path);
        ASSERT_TRUE(one.open(QIODevice::ReadOnly));
        // A reading for "#" appends that section's rows to the listing it is given.
        const ParsedTable single = Engine::ParseTable(one, path, caption, nameOnly);
        EXPECT_EQ(dump(sections.listings.value(caption)), dump(single.listing))
            << "caption \"" << caption.toStdString() << '"';
        EXPECT_EQ(sections.listings.value(caption).column(0).widthTwips, 2000);
    }
    // Only tab captions get a listing.
    EXPECT_LE(sections.listings.size(), sections.sections.size());
}

INSTANTIATE_TEST_SUITE_P(
    Files, ParseSectionsTest,
    testing::Values(
        // Interleaved blocks of one name, a field before the first record, a field that
        // lands in the earlier block's last record, an end header that names a listed
        // section, the "#" section and the section named "" both before and after headers.
        Case{"interleaved", QByteArray("$Name: Before\r\n$Size: 1\r\n"
                                       "#Items\t; first\r\n$Colour: red\r\n$Name: Lamp\r\n"
                                       "$Size: 2\r\n"
                                       "#Other\r\n$Name: O1\r\n$Weight: 9\r\n"
                                       "#Items\r\n$Size: 3\r\n$Name: Rope\r\n$Size: 4\r\n"
                                       "$Size: 5\r\n"
                                       "#Items\t end\r\n$Name: AfterEnd\r\n"
                                       "##\r\n$Name: Hash\r\n$Tag: x\r\n"
                                       "#\r\n$Name: Empty\r\n"
                                       "#Other End\r\n$Name: Hidden\r\n")},
        // CR-only line ends, a trailing blank in a caption, no final line end.
        Case{"cr_only", QByteArray("#Ships \r$Name: A\r$Mass: 1.5\r#Ships\r$Name: B\r$Mass:  2")},
        // Valid UTF-8 in one section, a Windows-1252 byte in another: the whole file is
        // read as Windows-1252.
        Case{"mixed_encoding",
             QByteArray("#Caf\xC3\xA9\n$Name: \xC3\xA9t\xC3\xA9\n#Other\n$Name: \xE9t\xE9\n")},
        Case{"utf8_bom",
             QByteArray("\xEF\xBB\xBF#Caf\xC3\xA9\n$Name: \xC3\xA9t\xC3\xA9\n$K\xC3\xB6r: 1\n")},
        Case{"no_sections", QByteArray("; nothing\r\n$Name: Loose\r\n")}),
    [](const testing::TestParamInfo<Case> &info) { return std::string(info.param.name); });

} // namespace
