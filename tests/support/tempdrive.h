#pragma once
// TempDrive: a temporary folder that stands in for the machine while a test runs. Drive C
// is its folder "drive" and drive D its folder "drive_d" (VEXA_DRIVE_C and VEXA_DRIVE_D;
// drive E is unmapped), and XDG_DATA_HOME, XDG_CONFIG_HOME and XDG_DATA_DIRS point into it,
// so that nothing a test does reaches the real home folder or sees the machine's installed
// desktop entries. The library's global folders start
// empty. The destructor restores the environment and the working directory and removes
// the folder.
//
// A file that cannot be written ends the test program (qFatal): the test would only fail
// later for a reason that hides this one.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <array>

class TempDrive
{
public:
    TempDrive();
    ~TempDrive();
    TempDrive(const TempDrive &) = delete;
    TempDrive &operator=(const TempDrive &) = delete;

    QString root() const { return m_dir.path(); }
    // The host folder of drive C (and of drive D).
    QString drive() const { return m_dir.path() + QStringLiteral("/drive"); }
    QString driveD() const { return m_dir.path() + QStringLiteral("/drive_d"); }
    // A host path on drive C, given with "/" separators relative to C:\.
    QString onDrive(const QString &relative) const { return drive() + u'/' + relative; }

    // Writes bytes to a file on drive C, creating its folders.
    void write(const QString &relative, const QByteArray &bytes = QByteArrayLiteral("x")) const;
    // The file's bytes, or empty when it cannot be read.
    QByteArray read(const QString &relative) const;
    bool exists(const QString &relative) const;

    // C:\VEXA.CFG naming the suite folder, and a vexa.ini there.
    void installSuite(
        const QByteArray &vexa3 = "C:\\KORVAX\\VEXA3\\",
        const QByteArray &vexaIni = "[Moduls_Dirs]\r\nROWLNS32=C:\\KORVAX\\ROWLNS32\\\r\n") const;

private:
    QTemporaryDir m_dir;
    QString m_savedCwd;
    std::array<QByteArray, 6> m_saved;
};
