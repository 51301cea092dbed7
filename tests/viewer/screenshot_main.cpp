// Takes the picture of the main window for the documentation: a table file opened, one
// section listed, a record selected. Run under a display server (xvfb-run):
//   viewer_screenshot <out.png> [table file] [section] [other table file]
// Without a table file it writes and opens a small sample of its own. With another table
// file the section is shown compared with it, the tooltip of a changed cell open, and the
// picture is taken from the screen, window frame and tooltip included.

#include "vexa32/globals.h"
#include "viewer/comparemarks.h"
#include "viewer/comparemode.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/tblmainform.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <cstdio>

using namespace Engine;

namespace {

const char SampleTable[] = "; Ship classes of the outer fleets\r\n"
                           "#Ship Classes\r\n"
                           "$Name: Corvette\r\n$Hull: 320\r\n$Shields: 40.5\r\n"
                           "$Speed: 112.25\r\n$Crew: 18\r\n$Class: Light\r\n"
                           "$Name: Frigate\r\n$Hull: 1250\r\n$Shields: 180\r\n"
                           "$Speed: 86.5\r\n$Crew: 64\r\n$Class: Medium\r\n"
                           "$Name: Destroyer\r\n$Hull: 2400\r\n$Shields: 310.75\r\n"
                           "$Speed: 74\r\n$Crew: 120\r\n$Class: Medium\r\n"
                           "$Name: Cruiser\r\n$Hull: 6800\r\n$Shields: 920\r\n"
                           "$Speed: 61.5\r\n$Crew: 410\r\n$Class: Heavy\r\n"
                           "$Name: Carrier\r\n$Hull: 9100\r\n$Shields: 1280.5\r\n"
                           "$Speed: 48\r\n$Crew: 1150\r\n$Class: Heavy\r\n"
                           "$Name: Battleship\r\n$Hull: 14500\r\n$Shields: 2100\r\n"
                           "$Speed: 42.75\r\n$Crew: 1620\r\n$Class: Capital\r\n"
                           "$Name: Scout\r\n$Hull: 140\r\n$Shields: 12\r\n"
                           "$Speed: 140\r\n$Crew: 4\r\n$Class: Light\r\n"
                           "$Name: Freighter\r\n$Hull: 2900\r\n$Shields: 60\r\n"
                           "$Speed: 38.5\r\n$Crew: 22\r\n$Class: Civil\r\n"
                           "#End\r\n"
                           "#Weapons\t; mounted on the classes above\r\n"
                           "$Name: Pulse Laser\r\n$Damage: 12.5\r\n$Range: 800\r\n"
                           "$Name: Mass Driver\r\n$Damage: 40\r\n$Range: 1400\r\n"
                           "#End\r\n";

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: viewer_screenshot <out.png> [table file] [section] [other file]\n");
        return 2;
    }
    QTemporaryDir drive;
    qputenv("VEXA_DRIVE_C", drive.path().toLocal8Bit());
    QDir(drive.path()).mkpath(QStringLiteral("KORVAX/ROWLNS32"));
    Vexa32::pfad_vexa = QStringLiteral("C:\\KORVAX\\");
    Vexa32::pfad_main = QStringLiteral("C:\\KORVAX\\ROWLNS32\\");

    QString table = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (table.isEmpty()) {
        table = drive.path() + QStringLiteral("/ships.tbl");
        QFile file(table);
        if (!file.open(QIODevice::WriteOnly)) {
            return 1;
        }
        file.write(SampleTable);
    }
    const QString section = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    const QString other = argc > 4 ? QString::fromLocal8Bit(argv[4]) : QString();

    TBLMainForm window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    window.LoadFile(QDir::cleanPath(QFileInfo(table).absoluteFilePath()), QStringLiteral("#"));
    auto *tabs = window.findChild<QTabBar *>(QStringLiteral("TabStrip1"));
    int index = 1;
    for (int i = 0; i < tabs->count(); ++i) {
        if (!section.isEmpty() && tabs->tabData(i).toString() == section) {
            index = i;
        }
    }
    if (index < tabs->count()) {
        tabs->setCurrentIndex(index);
    }
    auto *list = window.findChild<QTableView *>(QStringLiteral("ListView1"));
    if (!other.isEmpty()) {
        if (!window.compareMode().start(QDir::cleanPath(QFileInfo(other).absoluteFilePath()))) {
            return 1;
        }
        // The first changed cell's tooltip, and a frame grabbed from the screen.
        const CompareMarks &marks = window.compareMode().marks();
        const Engine::TableListModel &model = window.listModel();
        QModelIndex changed;
        for (int row = 0; row < model.rowCount(); ++row) {
            for (int column = 1; column < model.columnCount(); ++column) {
                const QModelIndex index = model.index(row, column);
                if (!changed.isValid() &&
                    marks.comparison()->oldValue(model.sourceRow(row), column) != nullptr) {
                    changed = index;
                }
            }
        }
        QTest::qWait(300);
        if (changed.isValid()) {
            const QRect cell = list->visualRect(changed);
            QToolTip::showText(list->viewport()->mapToGlobal(cell.center()), marks.toolTip(changed),
                               list);
        }
        QTest::qWait(700);
        const QRect frame = window.frameGeometry();
        const bool saved = window.screen()
                               ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                               .save(QString::fromLocal8Bit(argv[1]));
        return saved ? 0 : 1;
    }
    if (window.listModel().rowCount() > 2) {
        const QRect row = list->visualRect(window.listModel().index(2, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    }
    QTest::qWait(200);
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    return saved ? 0 : 1;
}
