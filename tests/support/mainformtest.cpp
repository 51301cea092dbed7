#include "tests/support/mainformtest.h"

#include "vexa32/globals.h"
#include "vexa32/settings.h"
#include "vexa32/suitetools.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/tblmainform.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Engine;

const char ShipsTable[] = "; Ship table written for the viewer's tests\r\n"
                          "#Ships\r\n"
                          "$Name: Corvette\r\n"
                          "$Speed: 12.5\r\n"
                          "$Hull: 300\r\n"
                          "$Class: Light ; the small one\r\n"
                          "$Name: Frigate\r\n"
                          "$Speed: 9\r\n"
                          "$Hull: 1200\r\n"
                          "$Class: Medium\r\n"
                          "$Name: Battleship\r\n"
                          "$Speed: 6.25\r\n"
                          "$Hull: 45000\r\n"
                          "$Class: Heavy\r\n"
                          "#End\r\n"
                          "#Guns & Lasers\t; weapons\r\n"
                          "$Name: Laser\r\n"
                          "$Hull: 0\r\n"
                          "#End\r\n";

MainFormTest::MainFormTest() = default;
MainFormTest::~MainFormTest() = default;

QString MainFormTest::writeTable(const QString &name, const char *text) const
{
    const QString path = m_tables + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qFatal("cannot write %s", qPrintable(path));
    }
    file.write(text);
    return path;
}

QStringList MainFormTest::names() const
{
    QStringList result;
    const TableListModel &model = m_window->listModel();
    for (int row = 0; row < model.rowCount(); ++row) {
        result << model.cellText(row, 0);
    }
    return result;
}

void MainFormTest::initTestCase()
{
    QVERIFY(QDir(m_drive.drive()).mkpath(QStringLiteral("KORVAX/ROWLNS32")));
    QVERIFY(QDir(m_drive.drive()).mkpath(QStringLiteral("tables")));
    Vexa32::pfad_vexa = QStringLiteral("C:\\KORVAX\\");
    Vexa32::pfad_main = QStringLiteral("C:\\KORVAX\\ROWLNS32\\");
    m_tables = m_drive.onDrive(QStringLiteral("tables/"));
    m_ships = writeTable(QStringLiteral("ships.tbl"));
    Vexa32::Settings::AutoReload().writeFlag(false);
    m_window = std::make_unique<TBLMainForm>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void MainFormTest::init()
{
    for (const char *settings : {"KORVAX/ROWLNS32/rowlns32.ini", "KORVAX/vexa.ini"}) {
        QFile::remove(m_drive.onDrive(QLatin1String(settings)));
    }
    Vexa32::SetToolsLibraryName(Vexa32::ToolsLibraryName);
    writeTable(QStringLiteral("ships.tbl"));
}

void MainFormTest::cleanupTestCase()
{
    m_window.reset();
}
