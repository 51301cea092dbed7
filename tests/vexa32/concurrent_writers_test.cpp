// Several processes writing distinct keys into one profile file at the same time: every key
// of every writer survives, and a reader never meets a half-written file. Once with the
// file replaced as a whole, once in a folder that only allows writing the file in place.

#include "vexa32/profile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

using namespace Vexa32;

namespace {

constexpr int Sections = 3;

struct WriterRun
{
    int processes;
    int keysEach;
};

// Starts the writers (through prefix, a program that runs the command as another user,
// when given), reads the sentinel while they run, and counts the keys that survived.
void RunWriters(const QString &dir, const WriterRun &run, const QStringList &prefix)
{
    const QString file = QStringLiteral("vexa.ini");
    const QString writer = QStringLiteral(ROWLENS_INI_WRITER);
    std::vector<std::unique_ptr<QProcess>> writers;
    for (int p = 0; p < run.processes; ++p) {
        auto process = std::make_unique<QProcess>();
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        QStringList args = prefix;
        args << writer << dir << file << QStringLiteral("w%1").arg(p)
             << QString::number(run.keysEach) << QString::number(Sections);
        process->start(args.takeFirst(), args);
        ASSERT_TRUE(process->waitForStarted(10000));
        writers.push_back(std::move(process));
    }
    int reads = 0;
    bool running = true;
    while (running) {
        ++reads;
        ASSERT_EQ(ReadIniValue(dir, file, QStringLiteral("Positions"), QStringLiteral("ROWLENS32")),
                  QStringLiteral("0,1920,1200,11580,9930"))
            << "a reader met a file without the sentinel, read " << reads;
        // QProcess learns of an ended child only while waiting on it.
        running = false;
        for (const auto &process : writers) {
            if (process->state() != QProcess::NotRunning &&
                !process->waitForFinished(running ? 0 : 2))
                running = true;
        }
    }
    for (const auto &process : writers) {
        ASSERT_EQ(process->state(), QProcess::NotRunning);
        ASSERT_EQ(process->exitStatus(), QProcess::NormalExit);
        ASSERT_EQ(process->exitCode(), 0);
    }

    int kept = 0;
    QStringList lost;
    for (int p = 0; p < run.processes; ++p) {
        for (int i = 0; i < run.keysEach; ++i) {
            const QString tag = QStringLiteral("w%1").arg(p);
            const QString value = ReadIniValue(dir, file, QStringLiteral("S%1").arg(i % Sections),
                                               QStringLiteral("%1_%2").arg(tag).arg(i));
            if (value == QStringLiteral("value %1 %2").arg(tag).arg(i))
                ++kept;
            else if (lost.size() < 10)
                lost << QStringLiteral("%1_%2").arg(tag).arg(i);
        }
    }
    const int writes = run.processes * run.keysEach;
    std::printf("%d processes x %d writes: %d of %d keys kept (%d reads meanwhile)\n",
                run.processes, run.keysEach, kept, writes, reads);
    EXPECT_EQ(kept, writes) << "lost, among others: " << lost.join(u' ').toStdString();
}

const QByteArray Initial = "[Positions]\r\nROWLENS32=0,1920,1200,11580,9930\r\n";

void PutInitial(const QString &path)
{
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(Initial);
}

} // namespace

TEST(ConcurrentWriters, EveryKeyOfEveryWriterSurvives)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    PutInitial(dir.filePath(QStringLiteral("vexa.ini")));
    RunWriters(dir.path(), WriterRun{6, 150}, {});
}

TEST(ConcurrentWriters, InPlaceWritesInAReadOnlyFolderLoseNothing)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString folder = root.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    PutInitial(folder + QStringLiteral("/vexa.ini"));
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                     QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
    const auto readOnlyFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                QFileDevice::ReadOther | QFileDevice::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(folder + QStringLiteral("/vexa.ini"), all));
    ASSERT_TRUE(QFile::setPermissions(folder, readOnlyFolder));
    ASSERT_TRUE(QFile::setPermissions(root.path(), readOnlyFolder | QFileDevice::WriteOwner));

    // The permission bits do not bind root: the writers then run as an ordinary user.
    QStringList prefix;
    if (QFileInfo(folder).isWritable()) {
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) {
            QFile::setPermissions(folder, readOnlyFolder | QFileDevice::WriteOwner);
            GTEST_SKIP() << "running as root without setpriv to drop the privileges";
        }
        prefix = QStringList{setpriv, QStringLiteral("--reuid=65534"),
                             QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")};
    }
    RunWriters(folder, WriterRun{4, 60}, prefix);
    QFile::setPermissions(folder, readOnlyFolder | QFileDevice::WriteOwner);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("vexa.ini")})
        << "nothing but the file itself in the folder";
}
