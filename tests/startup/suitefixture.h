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
        m_saved[0] = qgetenv("VEXA_DRIVE_C");
        m_saved[1] = qgetenv("XDG_DATA_HOME");
        m_saved[2] = qgetenv("XDG_CONFIG_HOME");
        QDir(m_dir.path()).mkpath(QStringLiteral("drive"));
        qputenv("VEXA_DRIVE_C", drive().toLocal8Bit());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toLocal8Bit());
        for (QString *global :
             {&Vexa32::pfad_vexa, &Vexa32::pfad_main, &Vexa32::pfad_temp, &Vexa32::pfad_winsys})
            global->clear();
    }
    ~TempSuite()
    {
        const char *names[] = {"VEXA_DRIVE_C", "XDG_DATA_HOME", "XDG_CONFIG_HOME"};
        for (int i = 0; i < 3; ++i) {
            if (m_saved[i].isNull())
                qunsetenv(names[i]);
            else
                qputenv(names[i], m_saved[i]);
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
    QTemporaryDir m_dir;
    QByteArray m_saved[3];
};
