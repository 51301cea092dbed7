// The table parser reading a listed section on two threads: the result is the same as
// reading it on one, wherever the file is split.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/tableparser.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

// Everything a parse yields for a listing, as text, so that two parses compare at once.
QStringList describe(const ParsedTable &parsed)
{
    const Listing &listing = parsed.listing;
    QStringList lines;
    for (int c = 0; c < listing.columnCount(); ++c) {
        const Listing::Column &column = listing.column(c);
        lines.append(QStringLiteral("column %1 %2 %3")
                         .arg(column.title)
                         .arg(column.rightAligned)
                         .arg(column.tag ? QString::number(*column.tag) : QStringLiteral("-")));
    }
    for (int r = 0; r < listing.rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < std::max(listing.columnCount(), 1); ++c)
            cells.append(listing.cell(r, c));
        lines.append(cells.join(u'|'));
    }
    return lines;
}

ParsedTable parse(const QString &path, const QString &caption, qsizetype parallelPiece)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return Engine::ParseTable(file, path, caption, Listing(), parallelPiece);
}

// Field lines before the first record and before the first header, a field that lands in
// the last record of an earlier block of the same section, a later value that wins, columns
// and decimals met only late, comments, lines that do not count, CR LF, LF and CR endings;
// in 8-bit and in UTF-8 text. Padding at the end moves the split over every line.
TEST(TableParser, ReadsTheSameOnTwoThreadsWhereverTheFileIsSplit)
{
    const QByteArray body = "$Size: 1\r\n$Name: Before\r\n$Size: 2\r\n"
                            "#Fleet\t; all\r\n$Mass: 7\r\n$Name: A\r\n$Mass: 1.5\n"
                            "#Docks\r$Name: D1\r\n$Mass: 3\r\n"
                            "#Fleet\r\n$Crew: 4\r\n$Name: B\r\n$Note:\tx ; y\r\n"
                            "$Mass: 2.25\r\n$Mass: 9\r\n  $Skip: 1\r\n$NoColon\r\n"
                            "#Fleet End\r\n$Late: 5\r\n#Fleet\r\n$Hull: 3.125\r\n"
                            "$Name: C\r$Class: \xE9lan\r\n$Name: D\r\n$Crew: 12\r\n";
    const QByteArray utf8Body = QByteArray(body).replace("\xE9", "\xC3\xA9\xE2\x84\xA6");
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QByteArray &text : {body, utf8Body}) {
        for (qsizetype pad = 0; pad <= 2 * text.size(); pad += 3) {
            const QString path = dir.filePath(QStringLiteral("t%1.tbl").arg(pad));
            {
                QFile file(path);
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(text + "; " + QByteArray(pad, 'x'));
            }
            for (const QString &caption : {QStringLiteral("Fleet"), QString()}) {
                const QStringList serial = describe(parse(path, caption, 0));
                ASSERT_EQ(describe(parse(path, caption, 1)), serial) << pad;
            }
        }
    }
}

} // namespace
