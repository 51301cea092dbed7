#pragma once
// A suite installation in a temporary drive folder: VEXA_DRIVE_C and the XDG folders point
// into it while the fixture lives, and the library's globals start empty.

#include "vexa32/globals.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class TempSuite
{
public:
    TempSuite()
    {
        for (int i = 0; i < kNames; ++i)
            m_saved[i] = qgetenv(kName[i]);
        QDir(m_dir.path()).mkpath(QStringLiteral("drive"));
        qputenv("VEXA_DRIVE_C", drive().toLocal8Bit());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toLocal8Bit());
        // The machine's installed desktop entries stay out of sight.
        qputenv("XDG_DATA_DIRS", (m_dir.path() + QStringLiteral("/system")).toLocal8Bit());
        for (QString *global :
             {&Vexa32::pfad_vexa, &Vexa32::pfad_main, &Vexa32::pfad_temp, &Vexa32::pfad_winsys})
            global->clear();
    }
    ~TempSuite()
    {
        for (int i = 0; i < kNames; ++i) {
            if (m_saved[i].isNull())
                qunsetenv(kName[i]);
            else
                qputenv(kName[i], m_saved[i]);
        }
    }
    TempSuite(const TempSuite &) = delete;
    TempSuite &operator=(const TempSuite &) = delete;

    QString root() const { return m_dir.path(); }
    QString drive() const { return m_dir.path() + QStringLiteral("/drive"); }
    // A host path on the drive, given with "/" separators relative to C:\.
    QString onDrive(const QString &relative) const { return drive() + u'/' + relative; }

    void write(const QString &relative, const QByteArray &bytes) const
    {
        const QString path = onDrive(relative);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    QByteArray read(const QString &relative) const
    {
        QFile file(onDrive(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    bool exists(const QString &relative) const { return QFileInfo::exists(onDrive(relative)); }

    // C:\VEXA.CFG naming the suite folder, and a vexa.ini there.
    void
    installSuite(const QByteArray &vexa3 = "C:\\KORVAX\\VEXA3\\",
                 const QByteArray &vexaIni = "[Moduls_Dirs]\r\nROWLNS32=C:\\KORVAX\\ROWLNS32\\\r\n")
    {
        write(QStringLiteral("VEXA.CFG"), "[Directories]\r\nVexa3=" + vexa3 + "\r\n");
        write(QStringLiteral("KORVAX/VEXA3/vexa.ini"), vexaIni);
    }

private:
    static constexpr int kNames = 4;
    static constexpr const char *kName[kNames] = {"VEXA_DRIVE_C", "XDG_DATA_HOME",
                                                  "XDG_CONFIG_HOME", "XDG_DATA_DIRS"};
    QTemporaryDir m_dir;
    QByteArray m_saved[kNames];
};
