// RawText: line splitting, encoding detection and failures of the raw view's text.

#include "tests/viewer/engine/qstring_printer.h"
#include "viewer/engine/rawtext.h"
#include "viewer/engine/tableloader.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <vector>

using namespace Engine;

namespace {

QStringList lines(const RawText &raw)
{
    QStringList result;
    for (qsizetype i = 0; i < raw.lineCount(); ++i)
        result.append(raw.line(i));
    return result;
}

TEST(RawText, SplitsLinesAtCrCrLfAndLf)
{
    const struct
    {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"a", {QStringLiteral("a")}},
        {"a\r\n", {QStringLiteral("a")}},
        {"a\r\nb", {QStringLiteral("a"), QStringLiteral("b")}},
        {"a\nb\rc\r\nd",
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}},
        {"\r\n", {QString()}},
        {"\n\n", {QString(), QString()}},
        {"a\r\r\nb", {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {"a\n\r", {QStringLiteral("a"), QString()}},
        {"\xEF\xBB\xBF#Items\r\n", {QStringLiteral("#Items")}},
    };
    for (const auto &c : cases) {
        const RawText raw = RawText::fromBytes(c.bytes);
        EXPECT_EQ(lines(raw), c.lines) << c.bytes.toStdString();
        EXPECT_EQ(raw.byteSize(), c.bytes.size());
    }
}

TEST(RawText, WidestLineCountsEachTabAsTheTabWidth)
{
    const struct
    {
        QByteArray bytes;
        qsizetype widest; // with tabs 8 wide
    } cases[] = {
        {"", 0},
        {"\r\n", 0},
        {"abc\r\nabcdef\r\n", 6},
        // A line with one tab beats a longer line without.
        {"\tx\nabcdefgh\n", 9},
        {"abcdefghij\r\n\tx\r\n", 10},
        // Tabs at a line's start and end, several on one line, on the last line unterminated.
        {"a\n\t\t\r\nb\t", 16},
        {"a\rb\t\tc\rd", 18},
        // The byte-order mark is not part of the first line.
        {"\xEF\xBB\xBF\tab", 10},
        // Tabs on several lines: each line counts its own.
        {"\t\n\t\t\t\n\t\n", 24},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RawText::fromBytes(c.bytes).widestLine(8), c.widest) << c.bytes.toStdString();
}

// Texts of many lines of every kind of ending: each line, each walk from any line and the
// widest line agree with a plain split of the bytes.
TEST(RawText, LongTextsAgreeWithAPlainSplit)
{
    const char *const pieces[] = {"", "a", "$Name: Ship", "\tx\t", "#Fleet", "  "};
    const char *const ends[] = {"\r\n", "\n", "\r"};
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        QByteArray bytes = round % 4 == 0 ? QByteArray("\xEF\xBB\xBF") : QByteArray();
        std::vector<QByteArray> expected;
        const int count = int(random() % 100);
        bool ended = true;
        for (int i = 0; i < count; ++i) {
            expected.emplace_back(pieces[random() % std::size(pieces)]);
            bytes += expected.back();
            // The last line may go without an ending. An empty line after a CR does not end
            // in a lone LF: the two would be one CR LF.
            ended = i + 1 < count || random() % 2 == 0;
            if (ended) {
                std::size_t end = random() % std::size(ends);
                if (expected.back().isEmpty() && bytes.endsWith('\r') && end == 1)
                    end = 0;
                bytes += ends[end];
            }
        }
        // An empty last line without an ending is not a line.
        if (!ended && expected.back().isEmpty())
            expected.pop_back();
        const RawText raw = RawText::fromBytes(bytes);
        ASSERT_EQ(raw.lineCount(), qsizetype(expected.size())) << bytes.toStdString();
        qsizetype widest = 0;
        for (qsizetype i = 0; i < raw.lineCount(); ++i) {
            const QByteArray &line = expected[std::size_t(i)];
            EXPECT_EQ(raw.lineBytes(i), line) << i;
            widest = std::max(widest, line.size() + line.count('\t') * 3);
        }
        EXPECT_EQ(raw.widestLine(4), widest);
        const qsizetype first = count == 0 ? 0 : qsizetype(random() % count);
        qsizetype next = first;
        raw.forEachLine(first, raw.lineCount() + 5, [&](qsizetype i, QByteArrayView line) {
            EXPECT_EQ(i, next);
            EXPECT_EQ(line, expected[std::size_t(i)]);
            ++next;
            return true;
        });
        EXPECT_EQ(next, std::max(first, raw.lineCount()));
        EXPECT_EQ(raw.lineBytes(raw.lineCount()), QByteArrayView());
    }
}

TEST(RawText, DecodesWindows1252UnlessTheFileIsUtf8)
{
    const struct
    {
        QByteArray bytes;
        bool utf8;
        QString text;
    } cases[] = {
        {"plain\r\n", false, QStringLiteral("plain\r\n")},
        {"Caf\xE9 \x80", false, QStringLiteral("Caf\u00e9 \u20ac")},
        {"Caf\xC3\xA9", true, QStringLiteral("Caf\u00e9")},
        // Valid UTF-8 early, a Windows-1252 byte later: the whole file is Windows-1252.
        {"Caf\xC3\xA9\n\xE9t\xE9", false, QStringLiteral("Caf\u00c3\u00a9\n\u00e9t\u00e9")},
        // An overlong form is not valid UTF-8.
        {"\xC0\xAF", false, QStringLiteral("\u00c0\u00af")},
        {"\xEF\xBB\xBFplain", true, QStringLiteral("plain")},
    };
    for (const auto &c : cases) {
        const RawText raw = RawText::fromBytes(c.bytes);
        EXPECT_EQ(raw.isUtf8(), c.utf8) << c.bytes.toStdString();
        EXPECT_EQ(raw.text(), c.text) << c.bytes.toStdString();
    }
}

TEST(RawText, LoadReadsTheFileAndReportsWhyItCannot)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("a.tbl"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("#Items\r\n$Name: Lamp\r\n");
    file.close();

    const RawText raw = RawText::load(path);
    EXPECT_EQ(lines(raw), (QStringList{QStringLiteral("#Items"), QStringLiteral("$Name: Lamp")}));

    const struct
    {
        QString path;
        QString reason;
    } failures[] = {
        {dir.filePath(QStringLiteral("missing.tbl")), QStringLiteral("No such file")},
        {dir.path(), QStringLiteral("Is a folder")},
        {QString(), QStringLiteral("No such file")},
    };
    for (const auto &f : failures) {
        try {
            RawText::load(f.path);
            ADD_FAILURE() << "no error for " << f.path.toStdString();
        } catch (const LoadError &error) {
            EXPECT_EQ(error.reason(), f.reason);
            EXPECT_EQ(error.fileName(), f.path);
        }
    }
}

} // namespace
