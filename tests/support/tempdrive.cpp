#include "tests/support/tempdrive.h"

#include "vexa32/globals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const std::array<const char *, 6> Variables = {"VEXA_DRIVE_C",  "VEXA_DRIVE_D",    "VEXA_DRIVE_E",
                                               "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS"};

} // namespace

TempDrive::TempDrive()
{
    if (!m_dir.isValid()) {
        qFatal("cannot create a temporary folder");
    }
    m_savedCwd = QDir::currentPath();
    for (std::size_t i = 0; i < Variables.size(); ++i) {
        m_saved[i] = qgetenv(Variables[i]);
    }
    QDir(root()).mkpath(QStringLiteral("drive"));
    QDir(root()).mkpath(QStringLiteral("drive_d"));
    qputenv("VEXA_DRIVE_C", QFile::encodeName(drive()));
    qputenv("VEXA_DRIVE_D", QFile::encodeName(driveD()));
    qunsetenv("VEXA_DRIVE_E");
    qputenv("XDG_DATA_HOME", QFile::encodeName(root() + QStringLiteral("/data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root() + QStringLiteral("/config")));
    // The machine's installed desktop entries stay out of sight.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(root() + QStringLiteral("/system")));
    for (QString *global :
         {&Vexa32::pfad_vexa, &Vexa32::pfad_main, &Vexa32::pfad_temp, &Vexa32::pfad_winsys}) {
        global->clear();
    }
}

TempDrive::~TempDrive()
{
    QDir::setCurrent(m_savedCwd);
    for (std::size_t i = 0; i < Variables.size(); ++i) {
        if (m_saved[i].isNull()) {
            qunsetenv(Variables[i]);
        } else {
            qputenv(Variables[i], m_saved[i]);
        }
    }
}

void TempDrive::write(const QString &relative, const QByteArray &bytes) const
{
    const QString path = onDrive(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

QByteArray TempDrive::read(const QString &relative) const
{
    QFile file(onDrive(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TempDrive::exists(const QString &relative) const
{
    return QFileInfo::exists(onDrive(relative));
}

void TempDrive::installSuite(const QByteArray &vexa3, const QByteArray &vexaIni) const
{
    write(QStringLiteral("VEXA.CFG"), "[Directories]\r\nVexa3=" + vexa3 + "\r\n");
    write(QStringLiteral("KORVAX/VEXA3/vexa.ini"), vexaIni);
}
