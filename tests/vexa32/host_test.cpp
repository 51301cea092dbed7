#include "tests/support/tempdrive.h"
#include "vexa32/platform/host.h"
#include "vexa32/platform/wildcard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <gtest/gtest.h>

using namespace Vexa32::Platform;

namespace {

class Host : public ::testing::Test
{
protected:
    TempDrive drive;
};

} // namespace

TEST_F(Host, DriveMapAndCaseInsensitiveComponents)
{
    drive.write(QStringLiteral("Korvax/Tables/Ships.TBL"));
    const QString d = drive.driveD();

    struct Case
    {
        QString text;
        std::optional<QString> host;
    };
    const Case cases[] = {
        {QStringLiteral("C:\\korvax\\TABLES\\ships.tbl"),
         drive.onDrive(QStringLiteral("Korvax/Tables/Ships.TBL"))},
        {QStringLiteral("c:/KORVAX/tables/"), drive.onDrive(QStringLiteral("Korvax/Tables"))},
        {QStringLiteral("C:\\korvax\\.\\x\\..\\tables"),
         drive.onDrive(QStringLiteral("Korvax/Tables"))},
        {QStringLiteral("C:\\..\\..\\korvax"), drive.onDrive(QStringLiteral("Korvax"))},
        // A missing component keeps its case, and so does everything below it.
        {QStringLiteral("C:\\KORVAX\\New\\Sub"), drive.onDrive(QStringLiteral("Korvax/New/Sub"))},
        {QStringLiteral("C:\\"), drive.drive()},
        {QStringLiteral("C:"), drive.drive()},
        {QStringLiteral("\\korvax"), drive.onDrive(QStringLiteral("Korvax"))},
        {QStringLiteral("d:\\a.ini"), d + QStringLiteral("/a.ini")},
        {QStringLiteral("E:\\a.ini"), std::nullopt},
        {QStringLiteral("\\\\server\\share"), std::nullopt},
        {QString(), std::nullopt},
        {QStringLiteral("/tmp/Any\\Thing\\"), QStringLiteral("/tmp/Any/Thing/")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(HostPath(c.text), c.host) << c.text.toStdString();
}

TEST_F(Host, RelativeTextsStartAtTheWorkingDirectory)
{
    drive.write(QStringLiteral("work/Data.ini"));
    ASSERT_TRUE(QDir::setCurrent(drive.onDrive(QStringLiteral("work"))));
    const QString cwd = QDir::currentPath();
    EXPECT_EQ(HostPath(QStringLiteral("DATA.INI")), cwd + QStringLiteral("/Data.ini"));
    EXPECT_EQ(HostPath(QStringLiteral("..\\work\\data.ini")), cwd + QStringLiteral("/Data.ini"));
}

TEST_F(Host, DriveCDefaultsBelowTheDataHome)
{
    qunsetenv("VEXA_DRIVE_C");
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(drive.driveD()));
    EXPECT_EQ(HostPath(QStringLiteral("C:\\x")),
              drive.driveD() + QStringLiteral("/korvax/drive_c/x"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(HostPath(QStringLiteral("C:\\x")),
              QDir::cleanPath(qEnvironmentVariable("HOME") +
                              QStringLiteral("/.local/share/korvax/drive_c/x")));

    // Without a home there is no drive C, and the system folders have no path.
    const QByteArray savedHome = qgetenv("HOME");
    qunsetenv("HOME");
    EXPECT_EQ(HostPath(QStringLiteral("C:\\x")), std::nullopt);
    EXPECT_EQ(SystemDirectory(), QString());
    EXPECT_EQ(SpecialFolder(20), QStringLiteral("n/a"));
    if (!savedHome.isNull())
        qputenv("HOME", savedHome);
    if (!savedDataHome.isNull())
        qputenv("XDG_DATA_HOME", savedDataHome);
}

TEST(Wildcard, MatchesLikeADirectoryListing)
{
    struct Case
    {
        const char16_t *pattern;
        const char16_t *name;
        bool match;
    };
    const Case cases[] = {
        {u"*.tbl", u"ships.TBL", true},
        {u"*.tbl", u"ships.tbl.bak", false},
        {u"s?ips.*", u"ships.tbl", true},
        {u"s?ips.*", u"sips.tbl", false},
        {u"*.*", u"README", true},
        {u"*", u"", true},
        {u"a*b*c", u"aXbYbZc", true},
        {u"a*b*c", u"aXbYbZ", false},
        {u"**", u"x", true},
        {u"tahoma.ttf", u"TAHOMA.TTF", true},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(MatchesWildcard(c.pattern, c.name), c.match)
            << QString::fromUtf16(c.pattern).toStdString() << " "
            << QString::fromUtf16(c.name).toStdString();
    }
}

TEST_F(Host, SearchFindsOnlyOrdinaryFiles)
{
    drive.write(QStringLiteral("Dir/Ships.tbl"));
    drive.write(QStringLiteral("Dir/weapons.TBL"));
    drive.write(QStringLiteral("Dir/.hidden.tbl"));
    drive.write(QStringLiteral("Dir/notes.txt"));
    QDir().mkpath(drive.onDrive(QStringLiteral("Dir/Folder.tbl")));
    QDir().mkpath(drive.onDrive(QStringLiteral("Empty/Sub")));
    drive.write(QStringLiteral("Empty/.only-hidden"));

    const QString dir = drive.onDrive(QStringLiteral("Dir/"));
    EXPECT_EQ(
        FindOrdinaryFiles(QStringLiteral("C:\\dir\\*.tbl")),
        (QStringList{dir + QStringLiteral("Ships.tbl"), dir + QStringLiteral("weapons.TBL")}));
    EXPECT_EQ(FindOrdinaryFiles(QStringLiteral("C:\\DIR\\ships.tbl")),
              QStringList{dir + QStringLiteral("Ships.tbl")});
    EXPECT_EQ(FindOrdinaryFiles(QStringLiteral("C:\\Dir\\")).size(), 3);
    EXPECT_EQ(FindOrdinaryFiles(QStringLiteral("C:/Dir/*")).size(), 3);

    const QString none[] = {
        QStringLiteral("C:\\Dir\\.hidden.tbl"),
        QStringLiteral("C:\\Dir\\Folder.tbl"),
        QStringLiteral("C:\\Dir"),
        QStringLiteral("C:\\Empty\\"),
        QStringLiteral("C:\\Dir\\*.xyz"),
        QStringLiteral("C:\\Missing\\*"),
        QStringLiteral("E:\\*"),
        QString(),
    };
    for (const QString &pattern : none)
        EXPECT_TRUE(FindOrdinaryFiles(pattern).isEmpty()) << pattern.toStdString();
}

TEST_F(Host, FileOperations)
{
    EXPECT_TRUE(CreateDirectory(QStringLiteral("C:\\Made")));
    EXPECT_FALSE(CreateDirectory(QStringLiteral("C:\\MADE"))) << "exists already";
    EXPECT_FALSE(CreateDirectory(QStringLiteral("C:\\No\\Parent")));
    EXPECT_FALSE(CreateDirectory(QStringLiteral("E:\\Made")));
    EXPECT_TRUE(QFileInfo(drive.onDrive(QStringLiteral("Made"))).isDir());

    drive.write(QStringLiteral("Made/ro.txt"));
    QFile::setPermissions(drive.onDrive(QStringLiteral("Made/ro.txt")), QFileDevice::ReadOwner);
    EXPECT_TRUE(SetNormalAttributes(QStringLiteral("C:\\made\\RO.TXT")));
    EXPECT_TRUE(QFile::permissions(drive.onDrive(QStringLiteral("Made/ro.txt"))) &
                QFileDevice::WriteOwner);
    EXPECT_FALSE(SetNormalAttributes(QStringLiteral("C:\\made\\missing.txt")));

    EXPECT_EQ(RemoveFile(QStringLiteral("C:\\made\\ro.txt")), std::nullopt);
    EXPECT_FALSE(QFileInfo::exists(drive.onDrive(QStringLiteral("Made/ro.txt"))));
    const std::optional<QString> reason = RemoveFile(QStringLiteral("C:\\made\\ro.txt"));
    ASSERT_TRUE(reason.has_value());
    EXPECT_FALSE(reason->isEmpty());
    EXPECT_TRUE(RemoveFile(QStringLiteral("C:\\Made")).has_value()) << "a folder is no file";
}

TEST_F(Host, ExecutableAndSystemFolders)
{
    EXPECT_EQ(ExecutableName(), QStringLiteral("VEXA32_HOST_TEST"));
    EXPECT_TRUE(QFileInfo(ExecutableDir() + QStringLiteral("/vexa32_host_test")).isExecutable());
    EXPECT_EQ(SystemDirectory(), QStringLiteral("C:\\WINDOWS\\SYSTEM"));
    EXPECT_EQ(SpecialFolder(20), QStringLiteral("C:\\WINDOWS\\FONTS"));
    EXPECT_EQ(SpecialFolder(12345), std::nullopt);
}

TEST_F(Host, StartProcessPassesTheRestOfTheLineAsBlankSeparatedArguments)
{
    // A shell script stands in for a started program: it writes its arguments joined by
    // one blank, as a Windows program would see its command line.
    const QString script = drive.onDrive(QStringLiteral("bin/echoargs"));
    const QString out = drive.onDrive(QStringLiteral("out.txt"));
    drive.write(QStringLiteral("bin/echoargs"),
                QByteArrayLiteral("#!/bin/sh\nprintf '%s' \"$*\" > \"$0.tmp\" && mv \"$0.tmp\" ") +
                    QFile::encodeName(out) + QByteArrayLiteral("\n"));
    QFile::setPermissions(script, QFile::permissions(script) | QFileDevice::ExeOwner);

    ASSERT_TRUE(StartProcess(QStringLiteral("C:\\BIN\\echoargs /s C:\\My Dir\\x.reg")));
    // The process runs detached; wait for its result file without a time limit of our own
    // (the test runner's timeout ends a hang).
    while (!QFileInfo::exists(out))
        QThread::msleep(10);
    EXPECT_EQ(drive.read(QStringLiteral("out.txt")), QByteArrayLiteral("/s C:\\My Dir\\x.reg"));

    EXPECT_FALSE(StartProcess(QStringLiteral("no-such-program-here /s")));
    EXPECT_FALSE(StartProcess(QStringLiteral("   ")));

    // A bare name is never looked up along PATH, even where a program of that name lies.
    const QByteArray savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(drive.onDrive(QStringLiteral("bin"))) + ':' + savedPath);
    EXPECT_FALSE(StartProcess(QStringLiteral("echoargs /s x.reg")));
    qputenv("PATH", savedPath);
}
