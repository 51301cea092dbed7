// FindLine: the raw text search of the find bar, on bytes for ASCII texts and on decoded
// lines for others, going round to the start.

#include "viewer/engine/rawsearch.h"

#include <gtest/gtest.h>

using namespace Engine;

namespace {

TEST(FindLine, NextLineHoldingTheTextGoingRound)
{
    // Windows-1252: "\xc4" is "Ä".
    const RawText cp1252 = RawText::fromBytes("#Ships\r\n$Name: Kestrel\r\n$Class: ESCORT\r\n"
                                              "$Name: \xc4rger\r\n$Class: escort\r\n");
    // UTF-8: the same letter as two bytes.
    const RawText utf8 = RawText::fromBytes("$Name: \xc3\x84rger\n$Name: \xc3\xa4rger\n");
    const struct
    {
        const RawText &raw;
        const char16_t *text;
        qsizetype from;
        std::optional<qsizetype> line;
    } cases[] = {
        {cp1252, u"escort", 0, 2},
        {cp1252, u"Escort", 2, 2},
        {cp1252, u"escort", 3, 4},
        {cp1252, u"escort", 5, 2},
        {cp1252, u"escort", -1, 2},
        {cp1252, u"#ships", 3, 0},
        {cp1252, u"äRGER", 0, 3},
        {cp1252, u"corvette", 0, std::nullopt},
        {cp1252, u"", 0, std::nullopt},
        {utf8, u"ärger", 1, 1},
        {utf8, u"ÄRGER", 1, 1},
        {utf8, u"rger", 1, 1},
        {RawText(), u"x", 0, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString() + " from " + std::to_string(c.from));
        EXPECT_EQ(FindLine(c.raw, QStringView(c.text), c.from), c.line);
    }
}

} // namespace
