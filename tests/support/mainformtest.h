#pragma once
// MainFormTest: the base of the main window's test classes (QtTest). The window is built
// once per test class, on a temporary drive with the suite folder C:\KORVAX\, the module
// folder C:\KORVAX\ROWLNS32\ and a folder for table files, and is shown and active before
// the first test. Before each test the settings are reset (rowlns32.ini and vexa.ini are
// removed, the tools library has its usual name) and ships.tbl is written afresh.
//
// The window is built with its automatic reload off: a reload started by the rewritten
// ships.tbl would land in the middle of the next test. Tests of the reload turn it on.

#include "tests/support/tempdrive.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>

class TBLMainForm;

// The fixture table. Line 10 is Battleship's "$Name:" line; the third tab is
// "Guns & Lasers", whose one record has a hull.
extern const char ShipsTable[];

class MainFormTest : public QObject
{
    Q_OBJECT
public:
    MainFormTest();
    ~MainFormTest() override;

protected:
    TBLMainForm &window() const { return *m_window; }
    TempDrive &drive() { return m_drive; }
    // The host folder of the table files, with a trailing "/", and ships.tbl in it.
    const QString &tables() const { return m_tables; }
    const QString &ships() const { return m_ships; }
    // Writes a table file into tables() and returns its host path.
    QString writeTable(const QString &name, const char *text = ShipsTable) const;
    // The first column of the list's rows, as shown.
    QStringList names() const;

protected Q_SLOTS:
    // A test class that needs more before its first test calls this from its own.
    void initTestCase();

private Q_SLOTS:
    void init();
    void cleanupTestCase();

private:
    TempDrive m_drive;
    QString m_tables;
    QString m_ships;
    std::unique_ptr<TBLMainForm> m_window;
};
