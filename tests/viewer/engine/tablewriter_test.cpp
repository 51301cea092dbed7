// The output writers: chosen rows in the order given, in each format, and a sink that fails.

#include "viewer/engine/listing.h"
#include "viewer/engine/tablewriter.h"

#include <QByteArray>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Engine;

namespace {

Listing sample()
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const int note = listing.appendColumn(QStringLiteral("Note"));
    listing.setCell(listing.appendRow(u"Lamp"), note, u"a\tb\\c, \"d\"");
    listing.setCell(listing.appendRow(u"\u00c4rger"), note, u"x\ny");
    listing.appendRow(u"Empty");
    return listing;
}

TEST(TableWriter, WritesTheRowsGivenInTheirOrderInEachFormat)
{
    const Listing listing = sample();
    const std::vector<int> rows{1, 0};
    struct Case
    {
        Engine::OutputFormat format;
        const char *expected;
    };
    const Case cases[] = {
        {Engine::OutputFormat::Tsv, "Name\tNote\n"
                                    "\xc3\x84rger\tx\\ny\n"
                                    "Lamp\ta\\tb\\\\c, \"d\"\n"},
        {Engine::OutputFormat::Csv, "Name,Note\r\n"
                                    "\xc3\x84rger,\"x\ny\"\r\n"
                                    "Lamp,\"a\tb\\c, \"\"d\"\"\"\r\n"},
        {Engine::OutputFormat::Json, "[\n"
                                     "{\"Name\":\"\xc3\x84rger\",\"Note\":\"x\\ny\"},\n"
                                     "{\"Name\":\"Lamp\",\"Note\":\"a\\tb\\\\c, \\\"d\\\"\"}\n"
                                     "]\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        QByteArray bytes;
        Utf8Output out(SinkTo(bytes));
        Engine::WriteList(listing, rows, c.format, out);
        ASSERT_TRUE(out.flush());
        EXPECT_EQ(bytes.toStdString(), std::string(c.expected));
    }

    QByteArray none;
    Utf8Output out(SinkTo(none));
    Engine::WriteList(listing, {}, Engine::OutputFormat::Json, out);
    out.flush();
    EXPECT_EQ(none, "[]\n");
}

TEST(TableWriter, RowsWrittenInPiecesMatchOneCall)
{
    const Listing listing = sample();
    const std::vector<int> rows{2, 0, 1};
    for (const auto format :
         {Engine::OutputFormat::Tsv, Engine::OutputFormat::Csv, Engine::OutputFormat::Json}) {
        QByteArray whole;
        QByteArray pieces;
        {
            Utf8Output out(SinkTo(whole));
            Engine::WriteList(listing, rows, format, out);
        }
        {
            Utf8Output out(SinkTo(pieces));
            Engine::ListWriter writer(listing, format, out);
            writer.rows(std::span(rows).first(1));
            writer.rows({});
            writer.rows(std::span(rows).subspan(1));
            writer.finish();
        }
        EXPECT_EQ(pieces.toStdString(), whole.toStdString());
    }
}

// Enough rows for the writer to split them between threads: the same text as row by row.
TEST(TableWriter, ManyRowsInAnyOrderMatchRowByRow)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const int mass = listing.appendColumn(QStringLiteral("Mass"));
    constexpr int Rows = 150000;
    for (int r = 0; r < Rows; ++r)
        listing.setCell(listing.appendRow(QStringLiteral("n%1").arg(r)), mass,
                        QString::number(r % 977) + QStringLiteral(".5"));
    listing.column(mass).rightAligned = true;
    listing.column(mass).tag = 2;
    listing.formatColumns();
    std::vector<int> rows(Rows);
    for (int i = 0; i < Rows; ++i)
        rows[std::size_t(i)] = int((std::int64_t(i) * 7919) % Rows);
    for (const auto format :
         {Engine::OutputFormat::Tsv, Engine::OutputFormat::Csv, Engine::OutputFormat::Json}) {
        QByteArray whole;
        QByteArray single;
        {
            Utf8Output out(SinkTo(whole));
            Engine::WriteList(listing, rows, format, out);
        }
        {
            Utf8Output out(SinkTo(single));
            Engine::ListWriter writer(listing, format, out);
            for (const int row : rows)
                writer.rows(std::span(&row, 1));
            writer.finish();
        }
        EXPECT_EQ(whole.size(), single.size());
        EXPECT_TRUE(whole == single);
    }
}

TEST(TableWriter, ListedLoneSurrogatesBecomeReplacementCharacters)
{
    Listing listing;
    listing.appendColumn(QStringLiteral("Name"), 2000);
    const QString cell =
        QChar(0xD83D) + QStringLiteral("a") + QChar(0xD83D) + QChar(0xDE00) + QChar(0xDC00);
    listing.appendRow(cell);
    QByteArray bytes;
    {
        Utf8Output out(SinkTo(bytes));
        const std::vector<int> rows{0};
        Engine::WriteList(listing, rows, Engine::OutputFormat::Json, out);
    }
    EXPECT_EQ(bytes.toStdString(), std::string("[\n{\"Name\":\"\xef\xbf\xbd"
                                               "a\xf0\x9f\x98\x80\xef\xbf\xbd\"}\n]\n"));
}

TEST(TableWriter, LongTextsCrossBlocksWhole)
{
    // Cells bigger than a block, and many small ones, arrive complete and in order.
    const QString big = QString(700000, u'\u00e9') + QChar(0xD83D) + QChar(0xDE00) + QChar(0xD800);
    QByteArray bytes;
    int blocks = 0;
    {
        Utf8Output out([&](const char *data, std::size_t size) {
            ++blocks;
            bytes.append(data, qsizetype(size));
            return true;
        });
        for (int i = 0; i < 3; ++i) {
            out.text(big);
            out.byte('\n');
        }
    } // the destructor hands over the rest
    const QByteArray line = QString(700000, u'\u00e9').toUtf8() + "\xf0\x9f\x98\x80\xef\xbf\xbd\n";
    EXPECT_EQ(bytes, line + line + line);
    EXPECT_GE(blocks, 3);
}

// Escaped and non-ASCII characters at every place of a text, plain characters around them.
TEST(TableWriter, EscapesAndEncodesEveryCharacterWhereverItStands)
{
    const char16_t specials[] = {u'\\', u'\t', u'\r', u'\n', 0x1F, 0x7F, u' ', 0xE9, 0x20AC};
    for (const char16_t special : specials) {
        for (int at = 0; at < 11; ++at) {
            QString text(11, u'a');
            text[at] = QChar(special);
            for (const bool escape : {false, true}) {
                QByteArray expected = text.toUtf8();
                if (escape) {
                    expected.replace("\\", "\\\\").replace("\t", "\\t");
                    expected.replace("\r", "\\r").replace("\n", "\\n");
                }
                QByteArray bytes;
                Utf8Output out(SinkTo(bytes));
                out.text(text, escape);
                ASSERT_TRUE(out.flush());
                EXPECT_EQ(bytes, expected) << int(special) << " at " << at << " " << escape;
            }
        }
    }
}

TEST(TableWriter, AFailedSinkIsReportedAndNotCalledAgain)
{
    int calls = 0;
    Utf8Output out([&](const char *, std::size_t) {
        ++calls;
        return false;
    });
    EXPECT_TRUE(out.ok());
    for (int i = 0; i < 300000; ++i)
        out.bytes("0123456789");
    EXPECT_FALSE(out.ok());
    EXPECT_FALSE(out.flush());
    EXPECT_EQ(calls, 1);
}

} // namespace
