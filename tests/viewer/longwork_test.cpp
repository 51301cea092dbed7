// The main window while it works for long: the progress in status panel 3 and "Ready" only
// at the end, the user's input dropped meanwhile, a close request that abandons the load
// and still saves the position, and find as you type on a long list, searched on another
// thread, giving the rows the filter gives.

#include "tests/support/child.h"
#include "tests/support/mainformtest.h"
#include "tests/support/qtestmain.h"
#include "vexa32/globals.h"
#include "vexa32/profile.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/findbar.h"
#include "viewer/findcontroller.h"
#include "viewer/longwork.h"
#include "viewer/tblmainform.h"

#include <QElapsedTimer>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <memory>
#include <vector>

using namespace Engine;

namespace {

// A "Fleet" section of records records (names, a numeric and a text column) and a "Docks".
QByteArray FleetText(int records)
{
    static const char *const Classes[] = {"Frigate", "Scout", "Tug", "Hauler"};
    QByteArray text = "#Fleet\r\n";
    for (int i = 0; i < records; ++i) {
        text += "$Name: Ship " + QByteArray::number(i) +
                "\r\n$Mass: " + QByteArray::number((i * 7919) % 10007) +
                "\r\n$Class: " + Classes[i % 4] + "\r\n";
    }
    text += "#Docks\r\n$Name: Home\r\n";
    return text;
}

// The display rows of model as file-order rows.
std::vector<int> Shown(const TableListModel &model)
{
    std::vector<int> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        rows.push_back(model.sourceRow(row));
    }
    return rows;
}

} // namespace

class LongWorkTest : public MainFormTest
{
    Q_OBJECT

private:
    QTabBar *tabs() const { return Child<QTabBar>(&window(), "TabStrip1"); }

private Q_SLOTS:
    void progressInPanel3AndInputDroppedWhileLoading()
    {
        TBLMainForm &w = window();
        w.LoadFile(ships(), QStringLiteral("#"));
        // The first pause of the load holds it up past the moment its progress is shown;
        // at the next one the window looks at its status and is given keys and a click.
        auto seen = std::make_shared<QStringList>();
        QTabBar *bar = tabs();
        QTimer::singleShot(0, &w, [&w, seen, bar] {
            QThread::msleep(400);
            QTimer::singleShot(0, &w, [&w, seen, bar] {
                *seen << w.statusPanel(1) << w.statusPanel(3);
                QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
                QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(bar->count() - 1).center());
            });
        });
        tabs()->setCurrentIndex(1); // lists the first section as a click does
        QCOMPARE(seen->size(), 2);
        QCOMPARE(seen->at(0), QStringLiteral("Processing..."));
        QVERIFY2(seen->at(1).startsWith(QStringLiteral("Reading ")), qPrintable(seen->at(1)));
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
        QVERIFY(!w.statusPanel(3).startsWith(QStringLiteral("Reading")));
        // Neither the find bar nor the other tab came of the input.
        QVERIFY(Child<QWidget>(&w, "FindBar")->isHidden());
        QCOMPARE(tabs()->currentIndex(), 1);
        QVERIFY(w.listModel().rowCount() > 0);
        // Afterwards the same input is taken.
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(!Child<QWidget>(&w, "FindBar")->isHidden());
        w.CloseFindBar();
    }

    void findOnALongListGivesTheFiltersRows()
    {
        TBLMainForm &w = window();
        const QString fleet =
            writeTable(QStringLiteral("fleet.tbl"),
                       FleetText(FindController::BackgroundRows + 5000).constData());
        w.LoadFile(fleet, QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        TableListModel &model = w.listModel();
        model.sortByColumn(1);
        QVERIFY(model.rowCount() >= FindController::BackgroundRows);
        // The same listing, filtered at once as before.
        TableListModel expected;
        expected.setListing(model.listing());
        expected.sortByColumn(1);

        w.ShowFindBar();
        auto *bar = Child<FindBar>(&w, "FindBar");
        // Each text replaces the search for the one before; the last one is shown.
        for (const char *text : {"ship 1", "ship 12", "TUG", "ship 123"}) {
            bar->setText(QString::fromLatin1(text));
        }
        QTRY_COMPARE(model.filterText(), QStringLiteral("ship 123"));
        expected.setFilterText(QStringLiteral("ship 123"));
        QCOMPARE(Shown(model), Shown(expected));
        QCOMPARE(bar->statusText(), QStringLiteral("%1 of %2 records")
                                        .arg(expected.rowCount())
                                        .arg(expected.totalRowCount()));

        // A load while a search runs stops it first; the text is searched in the new list.
        bar->setText(QStringLiteral("frig"));
        w.LoadFile(fleet, tabs()->tabData(1).toString());
        QTRY_COMPARE(model.filterText(), QStringLiteral("frig"));
        expected.setFilterText(QStringLiteral("frig"));
        QCOMPARE(Shown(model), Shown(expected));
        w.CloseFindBar();
        QCOMPARE(model.rowCount(), model.totalRowCount());
    }

    void closeDuringALoadAbandonsItAndSavesThePosition()
    {
        using namespace Vexa32;
        const QString fleet = writeTable(QStringLiteral("fleet.tbl"), FleetText(30000).constData());
        TBLMainForm w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.LoadFile(fleet, QStringLiteral("#"));
        QTimer::singleShot(0, &w, [&w] { w.close(); });
        QElapsedTimer timer;
        timer.start();
        // No error box: the window is closing.
        QVERIFY(!w.LoadFileOrReport(fleet, QStringLiteral("Fleet")));
        QVERIFY(timer.elapsed() < 500);
        QVERIFY(!w.isVisible());
        QCOMPARE(w.listModel().rowCount(), 0);
        QVERIFY(!ReadIniValue(pfad_vexa, QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                              QStringLiteral("ROWLENS32"))
                     .isEmpty());
        // Thrown to a caller of LoadFile, the abandoned load is no read failure.
        w.show();
        QTimer::singleShot(0, &w, [&w] { w.close(); });
        QVERIFY_THROWS_EXCEPTION(LongWork::Abandoned, w.LoadFile(fleet, QStringLiteral("Docks")));
    }
};

ROWLENS_QTEST_MAIN(LongWorkTest)
#include "longwork_test.moc"
