// RecordLine: the raw line of a listed record agrees with the loader's records, across
// repeated section blocks, end headers, header comments and every kind of line end.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/rawtext.h"
#include "viewer/engine/recordlines.h"
#include "viewer/engine/tableloader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

const char Table[] = "$Name: Orphan\r\n"             // 0: section ""
                     "#Guns\t; weapons\r\n"          // 1
                     "$Name: Laser\r\n"              // 2
                     "$name: not a record\r\n"       // 3
                     " $Name: indented, ignored\r\n" // 4
                     "$Name  : Cannon\n"             // 5: name trimmed
                     "#End\r"                        // 6
                     "$Name: after end\r\n"          // 7: section "End"
                     "#Ships\r\n"                    // 8
                     "$Name: Corvette\r\n"           // 9
                     "$Name Frigate\r\n"             // 10: no colon
                     "#Guns\r\n"                     // 11: second block
                     "$Speed: 4\r\n"                 // 12
                     "$Name: Mine\r\n"               // 13
                     "#\xc3\x84rger\r\n"             // 14: UTF-8 name
                     "$Name: Trouble\r\n";           // 15

TEST(RecordLine, FindsTheNameLineOfEachListedRecord)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("t.tbl"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Table);
    file.close();
    const RawText raw = RawText::load(path);

    const struct
    {
        QString section;
        std::vector<qsizetype> lines;
    } cases[] = {
        {QString(), {0}},
        {QStringLiteral("Guns"), {2, 5, 13}},
        {QStringLiteral("End"), {7}},
        {QStringLiteral("Ships"), {9}},
        {QStringLiteral("Ärger"), {15}},
        {QStringLiteral("Nowhere"), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.section.toStdString());
        // The loader lists the same records, in the same order.
        HeadlessTableWindow window;
        Engine::LoadFile(window, path, c.section);
        const TableListModel &model = window.listModel();
        ASSERT_EQ(model.totalRowCount(), static_cast<int>(c.lines.size()));
        for (int record = 0; record < model.totalRowCount(); ++record) {
            EXPECT_EQ(RecordLine(raw, c.section, record), c.lines[std::size_t(record)]);
            EXPECT_TRUE(
                raw.line(c.lines[std::size_t(record)]).endsWith(model.listing().cell(record, 0)));
        }
        EXPECT_EQ(RecordLine(raw, c.section, static_cast<int>(c.lines.size())), std::nullopt);
        EXPECT_EQ(RecordLine(raw, c.section, -1), std::nullopt);
    }
}

} // namespace
