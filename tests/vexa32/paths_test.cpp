#include "tests/support/tempdrive.h"
#include "vexa32/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace Vexa32;

namespace {

class Paths : public ::testing::Test
{
protected:
    TempDrive drive;
};

QString Text(const char16_t *text)
{
    return QString::fromUtf16(text);
}

} // namespace

TEST(PathText, IsValueSet)
{
    const std::pair<QString, bool> cases[] = {
        {Text(u""), false},      {Text(u"   "), false},
        {Text(u" n/a "), false}, {QString(3, QChar(0)), false},
        {Text(u"N/A"), true},    {Text(u"0"), true},
        {Text(u"\tn/a"), true},  {Text(u"n/a/b"), true},
    };
    for (const auto &[value, set] : cases)
        EXPECT_EQ(IsValueSet(value), set) << value.toStdString();
}

TEST(PathText, SplitPathAndExtension)
{
    struct Case
    {
        const char16_t *path, *directory, *name;
    };
    const Case paths[] = {
        {u"C:\\dir\\file.tbl", u"C:\\dir\\", u"file.tbl"},
        {u"file.tbl", u"", u"file.tbl"},
        {u"C:\\dir\\", u"C:\\dir\\", u""},
        {u"a/b\\c", u"a/b\\", u"c"},
        {u"C:file", u"", u"C:file"},
        {u"", u"", u""},
    };
    for (const Case &c : paths) {
        QString directory = QStringLiteral("old");
        QString name = QStringLiteral("old");
        SplitPath(Text(c.path), directory, name);
        EXPECT_EQ(directory, Text(c.directory));
        EXPECT_EQ(name, Text(c.name));
    }
    // The outputs may be the very text that is split.
    QString same = QStringLiteral("C:\\x\\y.tbl");
    QString name;
    SplitPath(same, same, name);
    EXPECT_EQ(same, QStringLiteral("C:\\x\\"));
    EXPECT_EQ(name, QStringLiteral("y.tbl"));

    const Case names[] = {
        {u".hidden", u"", u"hidden"}, {u"name.", u"name", u""}, {u"a.b.c", u"a.b", u"c"}};
    for (const Case &c : names) {
        QString base;
        QString extension;
        SplitExtension(Text(c.path), base, extension);
        EXPECT_EQ(base, Text(c.directory));
        EXPECT_EQ(extension, Text(c.name));
    }
}

TEST(PathText, ChangeExtension)
{
    struct Case
    {
        const char16_t *name, *extension, *result;
    };
    const Case cases[] = {
        {u"ROWLNS32", u"exe", u"ROWLNS32.exe"},
        {u"ROWLNS32.EXE", u"reg", u"ROWLNS32.reg"},
        {u"a.b.c", u"x", u"a.b.x"},
        {u"name.", u"reg", u"name.reg"},
        {u"", u"reg", u".reg"},
        {u"C:\\my.dir\\file", u"reg", u"C:\\my.reg"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ChangeExtension(Text(c.name), Text(c.extension)), Text(c.result));
}

TEST_F(Paths, FileExistsSeesOrdinaryFilesOnly)
{
    drive.write(QStringLiteral("Dir/Ships.tbl"));
    drive.write(QStringLiteral("Dir/.hidden"));
    drive.write(QStringLiteral("Hidden/.only"));
    QDir().mkpath(drive.onDrive(QStringLiteral("Dir/Sub")));

    const std::pair<const char16_t *, bool> cases[] = {
        {u"", false},
        {u"n/a", false},
        {u"C:\\DIR\\ships.TBL", true},
        {u"  C:\\Dir\\Ships.tbl", false},
        {u"C:\\Dir\\*.tbl", true},
        {u"C:\\Dir\\s?ips.*", true},
        {u"C:\\Dir\\*.txt", false},
        {u"C:\\Dir\\.hidden", false},
        {u"C:\\Dir\\Sub", false},
        {u"C:\\Dir", false},
        {u"C:\\Dir\\", true},
        {u"C:\\Hidden\\", false},
        {u"C:\\Dir\\Sub\\", false},
        {u"E:\\Dir\\Ships.tbl", false},
    };
    for (const auto &[name, exists] : cases)
        EXPECT_EQ(FileExists(Text(name)), exists) << Text(name).toStdString();
}

TEST_F(Paths, DeleteFile)
{
    drive.write(QStringLiteral("ro.txt"));
    QFile::setPermissions(drive.onDrive(QStringLiteral("ro.txt")), QFileDevice::ReadOwner);
    DeleteFile(QStringLiteral("C:\\RO.TXT"));
    EXPECT_FALSE(QFileInfo::exists(drive.onDrive(QStringLiteral("ro.txt"))));

    drive.write(QStringLiteral(".hidden"));
    DeleteFile(QStringLiteral("C:\\.hidden"));
    EXPECT_TRUE(QFileInfo::exists(drive.onDrive(QStringLiteral(".hidden")))) << "hidden files stay";
    EXPECT_NO_THROW(DeleteFile(QStringLiteral("C:\\missing.txt")));

    // A file the host refuses to delete, even for root.
    if (!QFileInfo(QStringLiteral("/proc/self/status")).isFile())
        GTEST_SKIP() << "no /proc on this host";
    EXPECT_THROW(DeleteFile(QStringLiteral("/proc/self/status")), std::runtime_error);
}

TEST_F(Paths, MakeDirTreeCreatesEveryLevelAndProbesIt)
{
    EXPECT_TRUE(MakeDirTree(QStringLiteral("C:\\a\\b\\c")));
    EXPECT_TRUE(QFileInfo(drive.onDrive(QStringLiteral("a/b/c"))).isDir());
    EXPECT_TRUE(QDir(drive.onDrive(QStringLiteral("a/b/c")))
                    .isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
        << "the probe and its writers' lock are removed";

    EXPECT_TRUE(MakeDirTree(QStringLiteral("C:\\A\\x\\y\\")));
    EXPECT_TRUE(QFileInfo(drive.onDrive(QStringLiteral("a/x/y"))).isDir());
    EXPECT_FALSE(QFileInfo::exists(drive.onDrive(QStringLiteral("A"))))
        << "levels match without case";

    drive.write(QStringLiteral("a/b/c/mscreate.dir"), "[Test]\r\nTest=old\r\n");
    EXPECT_TRUE(MakeDirTree(QStringLiteral("C:\\a\\b\\c")));
    EXPECT_TRUE(QDir(drive.onDrive(QStringLiteral("a/b/c"))).isEmpty());

    EXPECT_FALSE(MakeDirTree(QStringLiteral("E:\\a\\b")));
    drive.write(QStringLiteral("file"));
    EXPECT_FALSE(MakeDirTree(QStringLiteral("C:\\file\\sub")));
}
