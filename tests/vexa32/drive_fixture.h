#pragma once
// A test fixture that maps drives C and D onto fresh temporary folders and removes the
// mapping (and restores the working directory) afterwards.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class DriveFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(driveC.isValid());
        ASSERT_TRUE(driveD.isValid());
        savedC = qgetenv("VEXA_DRIVE_C");
        savedD = qgetenv("VEXA_DRIVE_D");
        savedCwd = QDir::currentPath();
        qputenv("VEXA_DRIVE_C", QFile::encodeName(driveC.path()));
        qputenv("VEXA_DRIVE_D", QFile::encodeName(driveD.path()));
        qunsetenv("VEXA_DRIVE_E");
    }

    void TearDown() override
    {
        QDir::setCurrent(savedCwd);
        Restore("VEXA_DRIVE_C", savedC);
        Restore("VEXA_DRIVE_D", savedD);
    }

    // Host path below drive C.
    QString OnC(const QString &relative) const { return driveC.path() + u'/' + relative; }

    // Creates a file below drive C (folders included) with content.
    void MakeFile(const QString &relative, const QByteArray &content = QByteArrayLiteral("x"))
    {
        const QString path = OnC(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write(content);
    }

    QByteArray ReadFile(const QString &relative) const
    {
        QFile file(OnC(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir driveC;
    QTemporaryDir driveD;

private:
    static void Restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QByteArray savedC;
    QByteArray savedD;
    QString savedCwd;
};
