#include "vexa32/strings.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace Vexa32;

namespace {

struct CutCase
{
    const char16_t *text;
    qsizetype n;
    const char16_t *left;
    const char16_t *right;
};

} // namespace

TEST(Strings, CutLeftAndCutRight)
{
    const CutCase cases[] = {
        {u"#Items", 1, u"Items", u"#Item"}, {u"#Items", 6, u"", u""}, {u"#Items", 9, u"", u""},
        {u"abc", 0, u"abc", u"abc"},        {u"abc", 3, u"", u""},    {u"", 2, u"", u""},
    };
    for (const auto &c : cases) {
        QString left = QString::fromUtf16(c.text);
        QString right = left;
        CutLeft(left, c.n);
        CutRight(right, c.n);
        EXPECT_EQ(left, QString::fromUtf16(c.left)) << c.n;
        EXPECT_EQ(right, QString::fromUtf16(c.right)) << c.n;
    }
    QString text = QStringLiteral("abc");
    CutRight(text, -2);
    EXPECT_EQ(text, QStringLiteral("abc"));
    EXPECT_THROW(CutLeft(text, -1), std::invalid_argument);
}

TEST(Strings, TrimBlanksKeepsTabsAndDropsNuls)
{
    QString a = QStringLiteral("  a b  ");
    TrimBlanks(a);
    EXPECT_EQ(a, QStringLiteral("a b"));
    QString b = QStringLiteral("x");
    b.append(QChar(0)).append(QChar(0)).prepend(QChar(0));
    TrimBlanks(b);
    EXPECT_EQ(b, QStringLiteral("x"));
    QString c = QStringLiteral("\tx\t");
    TrimBlanks(c);
    EXPECT_EQ(c, QStringLiteral("\tx\t"));
    QString d = QStringLiteral("   ");
    d.append(QChar(0));
    TrimBlanks(d);
    EXPECT_TRUE(d.isEmpty());
}

TEST(Strings, SplitAtComma)
{
    CommaParts parts;
    SplitAtComma(QStringLiteral("1, 2,,3"), parts);
    EXPECT_EQ(parts[1], QStringLiteral("1"));
    EXPECT_EQ(parts[2], QStringLiteral("2"));
    EXPECT_EQ(parts[3], QString());
    EXPECT_EQ(parts[4], QStringLiteral("3"));
    for (int i = 5; i <= 16; ++i)
        EXPECT_TRUE(parts[i].isEmpty());

    QString many;
    for (int i = 1; i <= 21; ++i)
        many += QString::number(i) + (i < 21 ? QStringLiteral(",") : QString());
    SplitAtComma(many, parts);
    EXPECT_EQ(parts[15], QStringLiteral("15"));
    EXPECT_EQ(parts[16], QStringLiteral("16,17,18,19,20,21"));

    SplitAtComma(QString(), parts);
    for (int i = 1; i <= 16; ++i)
        EXPECT_TRUE(parts[i].isEmpty());
}

TEST(Strings, FindTextLowerCaseAndReplaceFirst)
{
    EXPECT_EQ(FindText(QStringLiteral(":"), QStringLiteral("$Name: x")), 6);
    EXPECT_EQ(FindText(QStringLiteral("A"), QStringLiteral("abc")), 0);
    EXPECT_EQ(FindText(QStringLiteral("a"), QString()), 0);
    // No 16-bit limit on positions.
    QString far(40000, QLatin1Char('x'));
    far += QLatin1Char(':');
    EXPECT_EQ(FindText(QStringLiteral(":"), far), 40001);

    EXPECT_EQ(LowerCase(QStringLiteral("END")), QStringLiteral("end"));
    EXPECT_EQ(LowerCase(QStringLiteral("Mixed")), QStringLiteral("mixed"));
    EXPECT_EQ(LowerCase(QString::fromUtf16(u"\u00C4B")), QString::fromUtf16(u"\u00C4b"));

    QString text = QStringLiteral("a\tb\tc");
    const QString tab = QStringLiteral("\t");
    const QString blank = QStringLiteral(" ");
    EXPECT_TRUE(ReplaceFirst(text, tab, blank));
    EXPECT_EQ(text, QStringLiteral("a b\tc"));
    EXPECT_TRUE(ReplaceFirst(text, tab, blank));
    EXPECT_EQ(text, QStringLiteral("a b c"));
    EXPECT_FALSE(ReplaceFirst(text, tab, blank));
    EXPECT_FALSE(ReplaceFirst(text, QString(), blank));
    EXPECT_EQ(text, QStringLiteral("a b c"));

    EXPECT_EQ(BoolToInt(-1), 1);
    EXPECT_EQ(BoolToInt(0), 0);
}
