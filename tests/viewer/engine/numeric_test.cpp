// IsNumeric and DecimalPlaces, which decide alignment and padding of listed columns.

#include "viewer/engine/numeric.h"

#include <QString>
#include <gtest/gtest.h>

using namespace Engine;

namespace {

TEST(IsNumeric, AcceptsNumbersInTheirUsualForms)
{
    const char16_t *numbers[] = {
        u"0",
        u"12",
        u"-12",
        u"+12",
        u"12-",
        u"12+",
        u"1.5",
        u".5",
        u"1.",
        u"-.5",
        u"1e5",
        u"1E5",
        u"1e-5",
        u"2.5E+10",
        u"1,000",
        u"1,2,3",
        u"1,,0",
        u"$5",
        u"$1,200.50",
        u"-$5",
        u"$-5",
        u"(5)",
        u"($5.25)",
        u"  42  ",
        u"- 5",
        u"&H1F",
        u"&hff",
        u"&O17",
        u"123456789012345678901234567890",
    };
    for (const char16_t *text : numbers)
        EXPECT_TRUE(IsNumeric(QStringView(text))) << QString::fromUtf16(text).toStdString();
}

TEST(IsNumeric, RejectsEverythingElse)
{
    const char16_t *texts[] = {
        u"",     u"   ",   u".",   u"-",    u"$",     u"1.2.3", u"1e",     u"e5",
        u"0x1F", u"12abc", u"5%",  u",5",   u"--5",   u"-5-",   u"(-5)",   u"(5",
        u"5)",   u"$$5",   u"5$",  u"1 2",  u"1e5.5", u"&H",    u"&HG",    u"&O8",
        u"&X1",  u"\t5",   u"5\t", u"none", u"1.5e",  u"+-1",   u"\u0665", // Arabic-Indic 5
    };
    for (const char16_t *text : texts)
        EXPECT_FALSE(IsNumeric(QStringView(text))) << QString::fromUtf16(text).toStdString();
}

TEST(DecimalPlaces, CountsCharactersAfterTheFirstPoint)
{
    const struct
    {
        const char16_t *text;
        qsizetype places;
    } cases[] = {
        {u"", 0},        {u"12", 0},  {u"12.50", 2},        {u"3.", 0},
        {u"1.2.3", 3},   {u".5", 1},  {u"  1.25  ", 2},     {u"(4.125)", 4},
        {u"none.00", 2}, {u"abc", 0}, {u"        1.50", 2},
    };
    for (const auto &c : cases) {
        const QStringView text(c.text);
        EXPECT_EQ(DecimalPlaces(text), c.places) << QString::fromUtf16(c.text).toStdString();
    }
    // NULs are trimmed like blanks.
    QString withNuls = QStringLiteral("1.5");
    withNuls.append(QChar(0)).append(QChar(0));
    EXPECT_EQ(DecimalPlaces(withNuls), 1);
    // No 16-bit limit: forty thousand digits after the point.
    const QString longText = QStringLiteral("1.") + QString(40000, u'7');
    EXPECT_EQ(DecimalPlaces(longText), 40000);
}

} // namespace
