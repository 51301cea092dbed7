// Bad profile files: binary, huge, read-only, in a read-only folder, locked by another
// writer, and window position records that hold no sensible numbers. A refused or failed
// write leaves the file byte for byte as it was; a successful one changes only its line.

#include "vexa32/globals.h"
#include "vexa32/profile.h"
#include "vexa32/windowrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace Vexa32;

namespace {

class BadProfiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString Path(const QString &name) const { return dir.filePath(name); }

    void Put(const QString &name, const QByteArray &bytes) const
    {
        QDir().mkpath(QFileInfo(Path(name)).absolutePath());
        QFile file(Path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }

    QByteArray Get(const QString &name) const
    {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The folder text as the suite passes it: host path with a trailing separator.
    QString Folder(const QString &sub = QString()) const
    {
        return (sub.isEmpty() ? dir.path() : Path(sub)) + u'/';
    }

    QTemporaryDir dir;
};

const QByteArray Settings = "[Positions]\r\nROWLENS32=0,1920,1200,11580,9930\r\n"
                            "ARKLENS32=2,0,0,9000,7000\r\n\r\n[Dirs]\r\nLastOpenDir=C:\\\r\n";

TEST_F(BadProfiles, BinaryFileReadsAndKeepsEveryOtherByte)
{
    QByteArray binary;
    for (int i = 0; i < 2048; ++i)
        binary += static_cast<char>((i * 37) % 256);
    binary += QByteArray("\r\n[s]\r\nk=before\0after\r\n\xff\xfe", 26);
    Put(QStringLiteral("bin.ini"), binary);

    EXPECT_EQ(
        ReadIniValue(Folder(), QStringLiteral("bin.ini"), QStringLiteral("s"), QStringLiteral("k")),
        QStringLiteral("before"))
        << "a value ends at its first NUL, as the profile functions deliver it";
    WriteIniValue(Folder(), QStringLiteral("bin.ini"), QStringLiteral("s"), QStringLiteral("k"),
                  QStringLiteral("new"));
    QByteArray expected = binary;
    expected.replace(QByteArray("k=before\0after", 14), "k=new");
    EXPECT_EQ(Get(QStringLiteral("bin.ini")), expected);
}

TEST_F(BadProfiles, HundredMegabyteFileReadsAndWritesOnlyItsLine)
{
    QByteArray block;
    for (int i = 0; block.size() < (1 << 20); ++i)
        block += "[s" + QByteArray::number(i) + "]\r\nkey=value " + QByteArray::number(i) +
                 "\r\n; " + QByteArray(2000, 'c') + "\r\n";
    QByteArray content;
    content.reserve(101 << 20);
    while (content.size() < (100 << 20))
        content += block;
    content += "[Last]\r\nk=end";
    Put(QStringLiteral("huge.ini"), content);

    EXPECT_EQ(ReadIniValue(Folder(), QStringLiteral("huge.ini"), QStringLiteral("LAST"),
                           QStringLiteral("K")),
              QStringLiteral("end"));
    WriteIniValue(Folder(), QStringLiteral("huge.ini"), QStringLiteral("Last"),
                  QStringLiteral("k2"), QStringLiteral("v"));
    const QByteArray after = Get(QStringLiteral("huge.ini"));
    EXPECT_EQ(after.size(), content.size() + 8);
    EXPECT_TRUE(after.startsWith(content)) << "every earlier byte kept";
    EXPECT_TRUE(after.endsWith("k=end\r\nk2=v\r\n"));
}

TEST_F(BadProfiles, DevicesAndPipesAreNeitherReadNorReplaced)
{
    // An endless device and a pipe without a writer read as missing files, without
    // blocking; the pipe is not replaced by a file.
    if (QFileInfo::exists(QStringLiteral("/dev/zero"))) {
        EXPECT_EQ(ReadIniValue(QString(), QStringLiteral("/dev/zero"), QStringLiteral("s"),
                               QStringLiteral("k")),
                  QString());
    }
    const QString mkfifo = QStandardPaths::findExecutable(QStringLiteral("mkfifo"));
    if (mkfifo.isEmpty())
        GTEST_SKIP() << "no mkfifo program to make a pipe";
    ASSERT_EQ(QProcess::execute(mkfifo, {Path(QStringLiteral("pipe.ini"))}), 0);
    EXPECT_EQ(ReadIniValue(Folder(), QStringLiteral("pipe.ini"), QStringLiteral("s"),
                           QStringLiteral("k")),
              QString());
    WriteIniValue(Folder(), QStringLiteral("pipe.ini"), QStringLiteral("s"), QStringLiteral("k"),
                  QStringLiteral("v"));
    EXPECT_FALSE(QFileInfo(Path(QStringLiteral("pipe.ini"))).isFile());
}

TEST_F(BadProfiles, ReadOnlyFileIsNotWritten)
{
    Put(QStringLiteral("vexa.ini"), Settings);
    ASSERT_TRUE(QFile::setPermissions(Path(QStringLiteral("vexa.ini")),
                                      QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    WriteIniValue(Folder(), QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                  QStringLiteral("ROWLENS32"), QStringLiteral("1,2,3,4,5"));
    WriteIniValue(Folder(), QStringLiteral("vexa.ini"), QStringLiteral("New"), QStringLiteral("k"),
                  QStringLiteral("v"));
    EXPECT_EQ(Get(QStringLiteral("vexa.ini")), Settings);
    EXPECT_EQ(ReadIniValue(Folder(), QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                           QStringLiteral("ROWLENS32")),
              QStringLiteral("0,1920,1200,11580,9930"));
}

TEST_F(BadProfiles, ReadOnlyFolderCreatesNoFileButWritesOnlyTheLine)
{
    Put(QStringLiteral("locked/vexa.ini"), Settings);
    const QString folder = Path(QStringLiteral("locked"));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    WriteIniValue(Folder(QStringLiteral("locked")), QStringLiteral("vexa.ini"),
                  QStringLiteral("Positions"), QStringLiteral("ROWLENS32"),
                  QStringLiteral("1,2,3,4,5"));
    WriteIniValue(Folder(QStringLiteral("locked")), QStringLiteral("new.ini"), QStringLiteral("s"),
                  QStringLiteral("k"), QStringLiteral("v"));
    const bool folderWritable = QFileInfo(folder).isWritable(); // root writes anyway
    QFile::setPermissions(folder,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    QByteArray expected = Settings;
    expected.replace("0,1920,1200,11580,9930", "1,2,3,4,5");
    EXPECT_EQ(Get(QStringLiteral("locked/vexa.ini")), expected);
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    EXPECT_EQ(left,
              folderWritable
                  ? (QStringList{QStringLiteral(".new.ini.lock"), QStringLiteral(".vexa.ini.lock"),
                                 QStringLiteral("new.ini"), QStringLiteral("vexa.ini")})
                  : QStringList{QStringLiteral("vexa.ini")})
        << "no temporary file left behind";
}

// A lock held by a program that never lets it go: on the file itself (not the writers'
// lock) it is no hindrance; on the writers' lock file the write gives up after its bounded
// wait and leaves the file as it was, and reading goes on.
TEST_F(BadProfiles, FileLockedByAnotherProgramNeitherBlocksNorBreaks)
{
    const QString flock = QStandardPaths::findExecutable(QStringLiteral("flock"));
    if (flock.isEmpty())
        GTEST_SKIP() << "no flock program to hold the lock";
    const struct
    {
        QString locked;
        bool written;
    } cases[] = {{Path(QStringLiteral("vexa.ini")), true},
                 {Path(QStringLiteral(".vexa.ini.lock")), false}};
    for (const auto &c : cases) {
        Put(QStringLiteral("vexa.ini"), Settings);
        QProcess holder;
        holder.start(flock, {QStringLiteral("-x"), c.locked, QStringLiteral("-c"),
                             QStringLiteral("echo locked; exec sleep 60")});
        ASSERT_TRUE(holder.waitForReadyRead(10000));
        ASSERT_EQ(holder.readAll(), QByteArray("locked\n"));

        EXPECT_EQ(ReadIniValue(Folder(), QStringLiteral("vexa.ini"), QStringLiteral("Dirs"),
                               QStringLiteral("LastOpenDir")),
                  QStringLiteral("C:\\"));
        WriteIniValue(Folder(), QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                      QStringLiteral("ROWLENS32"), QStringLiteral("1,2,3,4,5"));
        holder.kill();
        holder.waitForFinished();

        QByteArray expected = Settings;
        if (c.written)
            expected.replace("0,1920,1200,11580,9930", "1,2,3,4,5");
        EXPECT_EQ(Get(QStringLiteral("vexa.ini")), expected) << c.locked.toStdString();
    }
}

// A window on a 19200 x 14400 twip screen that takes whatever it is given.
class PlainWindow : public PositionedWindow
{
public:
    int state = 0;
    double l = 500, t = 400, w = 6000, h = 4000;

    int windowState() const override { return state; }
    void setWindowState(int s) override
    {
        if (s < 0 || s > 2)
            throw std::invalid_argument("state");
        state = s;
    }
    double left() const override { return l; }
    double top() const override { return t; }
    double width() const override { return w; }
    double height() const override { return h; }
    void setLeft(double v) override { l = v; }
    void setTop(double v) override { t = v; }
    void setWidth(double v) override { w = v; }
    void setHeight(double v) override { h = v; }
    double screenWidth() const override { return 19200; }
    double screenHeight() const override { return 14400; }
};

TEST_F(BadProfiles, PositionRecordsWithoutSensibleNumbersLeaveAUsableWindow)
{
    struct Case
    {
        const char *record;
        int state;
        double left, top, width, height;
    };
    const Case cases[] = {
        // Letters count as 0: the smallest window in the corner.
        {"a,b,c,d,e", 0, 0, 0, 100, 100},
        {"max,left,top,wide,high", 0, 0, 0, 100, 100},
        // Fewer fields: the missing ones count as 0.
        {"2", 2, 0, 0, 100, 100},
        {"0,300,200", 0, 300, 200, 100, 100},
        // Numbers no window can hold are refused: the window keeps its own place and size.
        {"0,99999999999999999999,99999999999999999999,99999999999999999999,"
         "99999999999999999999",
         0, 500, 400, 6000, 4000},
        {"99999999999999999999,100,100,4000,3000", 0, 100, 100, 4000, 3000},
        {"0,-99999999999999999999,100,4000,3000", 0, 500, 100, 4000, 3000},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.record);
        Put(QStringLiteral("vexa.ini"),
            "[Positions]\r\nROWLENS32=" + QByteArray(c.record) + "\r\n[Dirs]\r\nX=1\r\n");
        const QByteArray before = Get(QStringLiteral("vexa.ini"));
        pfad_vexa = Folder();
        PlainWindow window;
        RestoreWindowPosition(window, QStringLiteral("ROWLENS32"));
        EXPECT_EQ(window.state, c.state);
        EXPECT_DOUBLE_EQ(window.l, c.left);
        EXPECT_DOUBLE_EQ(window.t, c.top);
        EXPECT_DOUBLE_EQ(window.w, c.width);
        EXPECT_DOUBLE_EQ(window.h, c.height);
        EXPECT_TRUE(std::isfinite(window.w) && std::isfinite(window.h));
        EXPECT_EQ(Get(QStringLiteral("vexa.ini")), before) << "restoring writes nothing";
    }
    pfad_vexa.clear();
}

} // namespace
