#include "tests/support/tempdrive.h"
#include "vexa32/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Vexa32;

namespace {

class Profile : public ::testing::Test
{
protected:
    TempDrive drive;
};

QString Latin(const char *text)
{
    return QString::fromLatin1(text);
}

} // namespace

TEST(NormalizeDir, AppendsTheSeparatorOfTheText)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"", u""},
        {u"C:", u"C:"},
        {u"ab", u"ab"},
        {u"C:\\", u"C:\\"},
        {u"C:\\Games", u"C:\\Games\\"},
        {u"C:\\Games/", u"C:\\Games/"},
        {u"/data/tables", u"/data/tables/"},
        {u"abc", u"abc\\"},
        {u"http://host", u"http://host/"},
    };
    for (const auto &[dir, expected] : cases)
        EXPECT_EQ(NormalizeDir(QString::fromUtf16(dir)), QString::fromUtf16(expected));
}

TEST_F(Profile, ReadsTheWindowsWay)
{
    struct Case
    {
        QByteArray content;
        const char *section;
        const char *key;
        QString expected;
    };
    const QByteArray longValue(5000, 'v');
    static const char binary[] = "[s]\nk=ab\0cd\n\xFF\xFE\0[\n";
    const Case cases[] = {
        {"[a]\r\nk=1\r\n[A]\r\nk=2\r\nj=3\r\n", "a", "k", Latin("1")},
        {"[a]\r\nk=1\r\n[A]\r\nk=2\r\nj=3\r\n", "a", "j", {}}, // only the first [a] counts
        {"[s]\nk=1\nK=2\n", "S", "K", Latin("1")},
        {" [ s ] \r\n \t key \t = \t value  x \t\r\n", "s", "key", Latin("value  x")},
        {"[s]\nk=a=b\n", "s", "k", Latin("a=b")},
        {"[s]\nk=\"quoted\"\n", "s", "k", Latin("quoted")},
        {"[s]\nk= 'a b' \n", "s", "k", Latin("a b")},
        {"[s]\nk=\"a'\n", "s", "k", Latin("\"a'")},
        {"[s]\nk=\"\"x\"\"\n", "s", "k", Latin("\"x\"")},
        {"[s]\nk=\"\n", "s", "k", Latin("\"")},
        {";k=0\n[s]\n;k=1\n  ; k=2\nk=3\n", "s", "k", Latin("3")},
        {"[s]\n;k=1\n", "s", "k", {}},
        {"[s]\nk\nk=2\n", "s", "k", {}}, // the first "k" is a key without a value
        {"k=0\n[s]\nk=1\n", "s", "k", Latin("1")},
        {"[s\nk=v\n", "s", "k", {}}, // "[s" without "]" is no header
        {"[s]x\nk=v\n", "s", "k", Latin("v")},
        {"[s]\r\nk=v", "s", "k", Latin("v")},
        {"[s]\rk=v\rj=w\r", "s", "j", Latin("w")},
        {"[s]\nk=$\n", "s", "k", {}},
        {"[s]\nk=\n", "s", "k", {}},
        {"[s]\nk=1\n", "s", "x", {}},
        {"[s]\nk=1\n", "t", "k", {}},
        {"[s]\nk=\xE4\x80\n", "s", "k", QString::fromUtf8("\xC3\xA4\xE2\x82\xAC")},
        {"[s]\nk=" + longValue + "\n", "s", "k", Latin(longValue.left(4095).constData())},
        {QByteArray(binary, sizeof binary - 1), "s", "k", Latin("ab")},
    };
    for (const Case &c : cases) {
        drive.write(QStringLiteral("case.ini"), c.content);
        EXPECT_EQ(ReadIniValue(QStringLiteral("C:\\"), QStringLiteral("CASE.INI"), Latin(c.section),
                               Latin(c.key)),
                  c.expected)
            << c.content.left(60).toStdString();
    }
}

TEST_F(Profile, MissingFilesAndDrivesReadEmptyAndCreateNothing)
{
    EXPECT_EQ(ReadIniValue(QStringLiteral("C:\\none"), QStringLiteral("x.ini"), QStringLiteral("s"),
                           QStringLiteral("k")),
              QString());
    EXPECT_EQ(ReadIniValue(QString(), QStringLiteral("E:\\x.ini"), QStringLiteral("s"),
                           QStringLiteral("k")),
              QString());
    EXPECT_TRUE(QDir(drive.drive()).isEmpty());
    // Neither a device nor a folder is read as a profile (nor may it block the reader).
    EXPECT_EQ(ReadIniValue(QString(), QStringLiteral("/dev/zero"), QStringLiteral("s"),
                           QStringLiteral("k")),
              QString());
    EXPECT_EQ(
        ReadIniValue(QString(), QStringLiteral("C:\\"), QStringLiteral("s"), QStringLiteral("k")),
        QString());
}

TEST_F(Profile, WritesOnlyTheKeyLine)
{
    struct Case
    {
        std::optional<QByteArray> before; // nullopt: no file yet
        const char *section;
        const char *key;
        QString value;
        QByteArray after;
    };
    const Case cases[] = {
        {std::nullopt, "s", "k", Latin("v"), "[s]\r\nk=v\r\n"},
        {QByteArray(), "s", "k", Latin("v"), "[s]\r\nk=v\r\n"},
        {QByteArray("[a]\r\nx=1"), "s", "k", Latin("v"), "[a]\r\nx=1\r\n[s]\r\nk=v\r\n"},
        {QByteArray("[a]\nx=1\n"), "s", "k", Latin("v"), "[a]\nx=1\n[s]\r\nk=v\r\n"},
        {QByteArray("[s]\nx=1\n\n;c\n[t]\n"), "S", "k", Latin("v"), "[s]\nx=1\nk=v\r\n\n;c\n[t]\n"},
        {QByteArray("[s]\n;c\njunk\n[t]\ny=2\n"), "s", "k", Latin("v"),
         "[s]\n;c\njunk\nk=v\r\n[t]\ny=2\n"},
        {QByteArray("[s]\nk\nj=1\n"), "s", "k", Latin("v"), "[s]\nk=v\nj=1\n"},
        {QByteArray("[s]"), "s", "k", Latin("v"), "[s]\r\nk=v\r\n"},
        {QByteArray("[s]\rx=1"), "s", "k", Latin("v"), "[s]\rx=1\r\nk=v\r\n"},
        {QByteArray(";top\r\n[S]\r\n  Key = old \r\nz=1\n"), "s", "KEY", Latin("new"),
         ";top\r\n[S]\r\nKey=new\r\nz=1\n"},
        {QByteArray("[s]\nk=1\nk=2\n[s]\nk=3"), "s", "k", Latin(""), "[s]\nk=\nk=2\n[s]\nk=3"},
        {QByteArray("[s]\nk=1"), "s", "k", Latin(" spaced "), "[s]\nk= spaced "},
        {QByteArray("k=0\n"), "s", "k", Latin("1"), "k=0\n[s]\r\nk=1\r\n"},
        {QByteArray("[s]\n"), "s", "k", QString::fromUtf8("\xC3\xA4\xE2\x82\xAC\xE4\xB8\x80"),
         "[s]\nk=\xE4\x80?\r\n"},
        // Nothing that would break the file's lines is written.
        {QByteArray("[s]\nk=1\n"), "s", "k", Latin("a\r\nb=c"), "[s]\nk=1\n"},
        {QByteArray("[s]\nk=1\n"), "s", "k\n", Latin("v"), "[s]\nk=1\n"},
        {QByteArray("[s]\nk=1\n"), "s\r", "k", Latin("v"), "[s]\nk=1\n"},
        {QByteArray("[s]\nk=1\n"), "", "k", Latin("v"), "[s]\nk=1\n"},
    };
    for (const Case &c : cases) {
        QFile::remove(drive.onDrive(QStringLiteral("w.ini")));
        if (c.before)
            drive.write(QStringLiteral("w.ini"), *c.before);
        WriteIniValue(QStringLiteral("C:"), QStringLiteral("\\w.ini"), Latin(c.section),
                      Latin(c.key), c.value);
        EXPECT_EQ(drive.read(QStringLiteral("w.ini")), c.after)
            << (c.before ? c.before->toStdString() : "(no file)") << " / " << c.key;
    }
}

TEST_F(Profile, RoundTripAndLongValues)
{
    const QString dir = QStringLiteral("C:\\Korvax");
    QDir().mkpath(drive.onDrive(QStringLiteral("korvax")));
    const QString longValue(5000, u'x');
    WriteIniValue(dir, QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                  QStringLiteral("ROWLENS32"), QStringLiteral("1,2,3,4"));
    WriteIniValue(dir, QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                  QStringLiteral("Long"), longValue);
    EXPECT_EQ(ReadIniValue(dir, QStringLiteral("VEXA.INI"), QStringLiteral("positions"),
                           QStringLiteral("rowlens32")),
              QStringLiteral("1,2,3,4"));
    EXPECT_EQ(ReadIniValue(dir, QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                           QStringLiteral("Long")),
              longValue.left(4095));
    EXPECT_EQ(QDir(drive.onDrive(QStringLiteral("korvax"))).entryList(QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral(".vexa.ini.lock"), QStringLiteral("vexa.ini")}))
        << "no temporary file is left behind, only the writers' lock";
}

TEST_F(Profile, UnwritablePlacesStayUntouched)
{
    WriteIniValue(QStringLiteral("C:\\Missing"), QStringLiteral("x.ini"), QStringLiteral("s"),
                  QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(QFileInfo::exists(drive.onDrive(QStringLiteral("Missing"))));
    WriteIniValue(QStringLiteral("E:\\"), QStringLiteral("x.ini"), QStringLiteral("s"),
                  QStringLiteral("k"), QStringLiteral("v"));

    // A read-only file is not replaced, even though its folder would allow it.
    drive.write(QStringLiteral("ro.ini"), "[s]\nk=1\n");
    QFile::setPermissions(drive.onDrive(QStringLiteral("ro.ini")),
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    WriteIniValue(QStringLiteral("C:\\"), QStringLiteral("ro.ini"), QStringLiteral("s"),
                  QStringLiteral("k"), QStringLiteral("2"));
    EXPECT_EQ(drive.read(QStringLiteral("ro.ini")), QByteArray("[s]\nk=1\n"));

    // A replaced file keeps its permissions.
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                      QFileDevice::ReadOther;
    drive.write(QStringLiteral("rw.ini"), "[s]\nk=1\n");
    QFile::setPermissions(drive.onDrive(QStringLiteral("rw.ini")), mode);
    WriteIniValue(QStringLiteral("C:\\"), QStringLiteral("rw.ini"), QStringLiteral("s"),
                  QStringLiteral("k"), QStringLiteral("2"));
    EXPECT_EQ(drive.read(QStringLiteral("rw.ini")), QByteArray("[s]\nk=2\n"));
    EXPECT_EQ(QFile::permissions(drive.onDrive(QStringLiteral("rw.ini"))) & 0x7077, mode)
        << "owner, group and other bits";
}

TEST_F(Profile, ALinkedProfileStaysALink)
{
    drive.write(QStringLiteral("shared/real.ini"), "[s]\nk=1\n");
    ASSERT_TRUE(QFile::link(drive.onDrive(QStringLiteral("shared/real.ini")),
                            drive.onDrive(QStringLiteral("link.ini"))));
    WriteIniValue(QStringLiteral("C:\\"), QStringLiteral("link.ini"), QStringLiteral("s"),
                  QStringLiteral("k"), QStringLiteral("2"));
    EXPECT_TRUE(QFileInfo(drive.onDrive(QStringLiteral("link.ini"))).isSymLink());
    EXPECT_EQ(drive.read(QStringLiteral("shared/real.ini")), QByteArray("[s]\nk=2\n"));
}

TEST_F(Profile, ReadOnlyFolderCreatesNothingButChangesAWritableFileInPlace)
{
    const QString folder = drive.onDrive(QStringLiteral("locked"));
    drive.write(QStringLiteral("locked/x.ini"), "[s]\r\nk=1\r\nlong=abcdefgh\r\n[t]\r\nz=0\r\n");
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    if (QFileInfo(folder).isWritable()) {
        QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOwner);
        GTEST_SKIP() << "the permission bits do not bind this user (root)";
    }
    const QString dir = QStringLiteral("C:\\locked");
    WriteIniValue(dir, QStringLiteral("new.ini"), QStringLiteral("s"), QStringLiteral("k"),
                  QStringLiteral("v"));
    // Longer, shorter and new lines, each written into the same file.
    WriteIniValue(dir, QStringLiteral("x.ini"), QStringLiteral("s"), QStringLiteral("k"),
                  QStringLiteral("12345"));
    WriteIniValue(dir, QStringLiteral("x.ini"), QStringLiteral("s"), QStringLiteral("long"),
                  QStringLiteral("a"));
    WriteIniValue(dir, QStringLiteral("x.ini"), QStringLiteral("u"), QStringLiteral("n"),
                  QStringLiteral("new"));
    EXPECT_EQ(ReadIniValue(dir, QStringLiteral("x.ini"), QStringLiteral("t"), QStringLiteral("z")),
              QStringLiteral("0"));
    QFile::setPermissions(folder, QFile::permissions(folder) | QFileDevice::WriteOwner);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{Latin("x.ini")});
    EXPECT_EQ(drive.read(QStringLiteral("locked/x.ini")),
              "[s]\r\nk=12345\r\nlong=a\r\n[t]\r\nz=0\r\n[u]\r\nn=new\r\n");
}

// Files written by other programs: end-of-file characters, other blanks, byte-order marks
// and UTF-16, odd headers and keys without values.
TEST_F(Profile, FilesOfOtherProgramsReadAndWriteInTheirOwnForm)
{
    const QByteArray utf8Bom = "\xEF\xBB\xBF";
    auto utf16 = [](const char16_t *text, bool little) {
        QByteArray bytes = little ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        for (const char16_t *c = text; *c; ++c) {
            const char lo = char(*c & 0xFF), hi = char(*c >> 8);
            bytes.append(little ? lo : hi).append(little ? hi : lo);
        }
        return bytes;
    };
    struct Case
    {
        QByteArray before;
        const char *section;
        const char *key;
        QString read;     // before the write
        QString value;    // written, then read back
        QByteArray after; // the whole file after the write
    };
    const QString umlaut = QString::fromUtf8("\xC3\xA4");
    const Case cases[] = {
        // Ctrl+Z at the end of the file, vertical tab and form feed are blanks.
        {"[Directories]\r\nVexa3=C:\\KORVAX\\\r\n\x1A", "Directories", "Vexa3",
         Latin("C:\\KORVAX\\"), Latin("D:\\"), "[Directories]\r\nVexa3=D:\\\r\n\x1A"},
        {"[Directories]\r\nVexa3=C:\\KORVAX\\\x1A", "Directories", "Vexa3", Latin("C:\\KORVAX\\"),
         Latin("D:\\"), "[Directories]\r\nVexa3=D:\\"},
        {"\f[s]\v\n\vk\f=\v1\f\n", "s", "k", Latin("1"), Latin("2"), "\f[s]\v\nk=2\n"},
        // A UTF-8 byte-order mark is skipped and kept; the text is UTF-8.
        {utf8Bom + "[s]\r\nk=\xC3\xA4\r\n", "s", "k", umlaut, Latin("x") + umlaut,
         utf8Bom + "[s]\r\nk=x\xC3\xA4\r\n"},
        {utf8Bom + "[s]\r\n", "t", "k", {}, Latin("v"), utf8Bom + "[s]\r\n[t]\r\nk=v\r\n"},
        // UTF-16 with its byte-order mark, either byte order, is read and written as UTF-16.
        {utf16(u"[s]\r\nk=\u00E4\u4E00\r\n", true), "s", "k", umlaut + u'?', Latin("v"),
         utf16(u"[s]\r\nk=v\r\n", true)},
        {utf16(u"[s]\r\nk=1", true),
         "s",
         "j",
         {},
         umlaut,
         utf16(u"[s]\r\nk=1\r\nj=\u00E4\r\n", true)},
        {utf16(u"[S]\nK=1\n", false), "s", "k", Latin("1"), Latin("22"),
         utf16(u"[S]\nK=22\n", false)},
        // "[" without "]" is no header; a header's name runs to its last "]".
        {"[s]\nk=1\n[t\nk=2\n", "s", "k", Latin("1"), Latin("3"), "[s]\nk=3\n[t\nk=2\n"},
        {"[t\nk=2\n", "t", "k", {}, Latin("3"), "[t\nk=2\n[t]\r\nk=3\r\n"},
        {"[S] ;see [x]\nk=1\n", "S] ;see [x", "k", Latin("1"), Latin("2"), "[S] ;see [x]\nk=2\n"},
        {"[S] ;see [x]\nk=1\n", "S", "k", {}, Latin("2"), "[S] ;see [x]\nk=1\n[S]\r\nk=2\r\n"},
        // A key line without "=" is a key with no value; a write gives it one.
        {"[s]\nK\nK=v\n", "s", "k", {}, Latin("w"), "[s]\nK=w\nK=v\n"},
    };
    for (const Case &c : cases) {
        drive.write(QStringLiteral("other.ini"), c.before);
        const QString dir = QStringLiteral("C:\\");
        EXPECT_EQ(ReadIniValue(dir, QStringLiteral("other.ini"), Latin(c.section), Latin(c.key)),
                  c.read)
            << c.before.toHex(' ').toStdString();
        WriteIniValue(dir, QStringLiteral("other.ini"), Latin(c.section), Latin(c.key), c.value);
        EXPECT_EQ(drive.read(QStringLiteral("other.ini")), c.after)
            << c.before.toHex(' ').toStdString();
        EXPECT_EQ(ReadIniValue(dir, QStringLiteral("other.ini"), Latin(c.section), Latin(c.key)),
                  c.value)
            << c.before.toHex(' ').toStdString();
    }
}

TEST_F(Profile, LargeAndBinaryFilesAreHandled)
{
    // Eight megabytes: many short lines with a late section, one huge line, binary noise.
    QByteArray content;
    content.reserve(9 << 20);
    for (int i = 0; content.size() < (4 << 20); ++i)
        content += "[n" + QByteArray::number(i % 97) + "]\nkey=value\n; comment\n";
    content += "[target]\nk=found\n";
    content += QByteArray(4 << 20, '[');
    for (int i = 0; i < 256; ++i)
        content += static_cast<char>(i);
    drive.write(QStringLiteral("big.ini"), content);
    EXPECT_EQ(ReadIniValue(QStringLiteral("C:\\"), QStringLiteral("big.ini"),
                           QStringLiteral("target"), QStringLiteral("k")),
              QStringLiteral("found"));
    WriteIniValue(QStringLiteral("C:\\"), QStringLiteral("big.ini"), QStringLiteral("target"),
                  QStringLiteral("k2"), QStringLiteral("v"));
    // The binary tail holds an "=" and so is the section's last key line.
    EXPECT_EQ(drive.read(QStringLiteral("big.ini")), content + "\r\nk2=v\r\n");
}
