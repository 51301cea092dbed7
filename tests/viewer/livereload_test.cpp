// The live reload and the problems panel of the main window on the offscreen platform: a
// file rewritten in place or replaced by a rename is shown again as the user left it, a
// file that goes away leaves the view with a note, the setting and F5, and the problems
// panel with its count and its jump to the raw line. Drive C is a temporary folder.

#include "tests/support/child.h"
#include "tests/support/mainformtest.h"
#include "tests/support/modalanswer.h"
#include "tests/support/qtestmain.h"
#include "vexa32/globals.h"
#include "vexa32/profile.h"
#include "viewer/engine/tablecheck.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/findbar.h"
#include "viewer/problemspanel.h"
#include "viewer/rawtextview.h"
#include "viewer/reloadcontroller.h"
#include "viewer/tblmainform.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabBar>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <memory>

using namespace Vexa32;

namespace {

QString Setting(const char *key)
{
    return ReadIniValue(pfad_main, QStringLiteral("rowlns32.ini"), QStringLiteral("Options"),
                        QLatin1String(key));
}

// A fleet of count ships: "Ship<i % 200>" (so that names repeat), Speed i, every odd one
// "Heavy". A section "Guns" comes first and the ships stand in two blocks of one name, so
// the file has the tabs "<Unparsed contents>", "Guns", "Ships", "Ships". extra is added to
// the last record.
QByteArray Fleet(int count, const QByteArray &extra = {})
{
    QByteArray text = "#Guns\r\n$Name: Laser\r\n$Power: 3\r\n#End\r\n#Ships\r\n";
    for (int i = 0; i < count; ++i) {
        if (i == count / 2) {
            text += "#End\r\n#Ships\r\n";
        }
        text += "$Name: Ship" + QByteArray::number(i % 200) +
                "\r\n$Speed: " + QByteArray::number(i) +
                "\r\n$Class: " + (i % 2 ? "Heavy" : "Light") + "\r\n";
    }
    return text + extra + "#End\r\n";
}

// Two problems: a dropped character on line 3, a line ignored for its blank on line 5.
const char Troubled[] = "#Ships\r\n"
                        "$Name: Corvette\r\n"
                        "$Speed:12\r\n"
                        "$Name: Frigate\r\n"
                        " $Speed: 9\r\n"
                        "#End\r\n";

} // namespace

class LiveReloadTest : public MainFormTest
{
    Q_OBJECT

private:
    QString write(const QString &name, const QByteArray &text)
    {
        return writeTable(name, text.constData());
    }
    // Saves as editors do: in place, in two writes of a burst, or as a new file renamed
    // over the old one.
    void save(const QString &path, const QByteArray &text, bool byRename)
    {
        if (byRename) {
            const QString temporary = path + QStringLiteral(".new");
            write(QFileInfo(temporary).fileName(), text);
            std::filesystem::rename(temporary.toStdString(), path.toStdString());
            return;
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.left(text.size() / 2));
        file.flush();
        QTest::qWait(30);
        file.write(text.mid(text.size() / 2));
    }
    Engine::TableListModel &model() const { return window().listModel(); }
    QTabBar *tabs() const { return Child<QTabBar>(&window(), "TabStrip1"); }
    QTableView *list() const { return Child<QTableView>(&window(), "ListView1"); }
    RawTextView *raw() const { return Child<RawTextView>(&window(), "RichTextBox1"); }
    ReloadController *reloads() const
    {
        return Child<ReloadController>(&window(), "ReloadController");
    }
    ProblemsPanel *panel() const { return Child<ProblemsPanel>(&window(), "ProblemsPanel"); }
    QString panel3() const { return window().statusPanel(3); }
    int column(const QString &title) const { return model().listing().findColumn(title); }
    void setAutoReload(bool on)
    {
        AnswerNextModal([on](QWidget *dialog) {
            auto *box = Child<QCheckBox>(dialog, "AutoReload");
            QCOMPARE(box->text().remove(u'&'),
                     QStringLiteral("Reload the file when it changes on disk"));
            box->setChecked(on);
            Child<QDialogButtonBox>(dialog, "OptionsButtons")
                ->button(QDialogButtonBox::Ok)
                ->click();
        });
        Child<QAction>(&window(), "MenuFileOptions")->trigger();
    }

private Q_SLOTS:
    // The test base builds the window with the automatic reload off; here it is on.
    void initTestCase()
    {
        MainFormTest::initTestCase();
        setAutoReload(true);
        QVERIFY(reloads()->autoReload());
    }

    void reloadKeepsTheView_data()
    {
        QTest::addColumn<bool>("byRename");
        QTest::newRow("rewritten in place") << false;
        QTest::newRow("replaced by a rename") << true;
    }
    void reloadKeepsTheView()
    {
        QFETCH(bool, byRename);
        const QString path = write(QStringLiteral("fleet.tbl"), Fleet(600));
        window().LoadFile(path, QStringLiteral("#"));
        tabs()->setCurrentIndex(1); // "Guns": a width set there is kept as well
        list()->horizontalHeader()->resizeSection(column(QStringLiteral("Power")), 133);
        tabs()->setCurrentIndex(3); // the second of the two "Ships" tabs
        window().ListView1_ColumnClick(0);
        window().ShowFindBar();
        auto *find = Child<QLineEdit>(&window(), "FindText");
        QTest::keyClicks(find, QStringLiteral("Heavy"));
        Child<FindBar>(&window(), "FindBar")->flush();
        QCOMPARE(model().rowCount(), 300);
        // The second "Ship151" (Speed 351) selected, the list scrolled and a column widened.
        int row = 0;
        while (model().cellText(row, column(QStringLiteral("Speed"))).trimmed() !=
               QLatin1String("351")) {
            ++row;
        }
        list()->setCurrentIndex(model().index(row, 0));
        list()->horizontalHeader()->resizeSection(column(QStringLiteral("Speed")), 151);
        list()->verticalScrollBar()->setValue(120);
        list()->horizontalScrollBar()->setValue(5);
        const int horizontal = list()->horizontalScrollBar()->value();

        QSignalSpy reloaded(reloads(), &ReloadController::reloaded);
        // The new record "Ship151" comes last: it is the third of that name, not the second.
        save(path, Fleet(600, "$Name: Ship151\r\n$Speed: 7777\r\n$Class: Heavy\r\n"), byRename);
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 1, 5000);

        QCOMPARE(tabs()->currentIndex(), 3);
        QVERIFY(list()->isVisible());
        QCOMPARE(find->text(), QStringLiteral("Heavy"));
        QCOMPARE(model().rowCount(), 301);
        QVERIFY(model().sorted());
        QCOMPARE(model().sortKey(), 0);
        QCOMPARE(model().cellText(300, 0), QStringLiteral("Ship99"));
        const QModelIndex current = list()->currentIndex();
        QVERIFY(list()->selectionModel()->isRowSelected(current.row()));
        QCOMPARE(model().cellText(current.row(), 0), QStringLiteral("Ship151"));
        QCOMPARE(model().cellText(current.row(), column(QStringLiteral("Speed"))).trimmed(),
                 QStringLiteral("351"));
        QCOMPARE(window().statusPanel(2), QStringLiteral("Ship151"));
        QCOMPARE(list()->verticalScrollBar()->value(), 120);
        QCOMPARE(list()->horizontalScrollBar()->value(), horizontal);
        QCOMPARE(list()->horizontalHeader()->sectionSize(column(QStringLiteral("Speed"))), 151);
        window().CloseFindBar();
        tabs()->setCurrentIndex(1);
        QCOMPARE(list()->horizontalHeader()->sectionSize(column(QStringLiteral("Power"))), 133);
        tabs()->setCurrentIndex(3);
        window().ShowFindBar();
        QCOMPARE(model().rowCount(), 301);

        // The two writes of one save, or the write and the rename, made one reload; and the
        // watch still follows the file.
        QTest::qWait(FileWatcher::MaxDelayMs + 300);
        QCOMPARE(reloaded.count(), 1);
        save(path, Fleet(10), byRename);
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 2, 5000);
        QCOMPARE(model().rowCount(), 5); // the filter stays; the five Heavy ships

        window().CloseFindBar();
        window().ListView1_ColumnClick(0);
    }

    void reloadOnTheRawText()
    {
        // The raw text keeps its selected lines and its scroll position.
        const QString path = write(QStringLiteral("raw.tbl"), Fleet(300));
        window().LoadFile(path, QStringLiteral("#"));
        raw()->selectLines(40, 42);
        raw()->verticalScrollBar()->setValue(30);
        window().MenuViewReload_Click();
        QCOMPARE(tabs()->currentIndex(), 0);
        QCOMPARE(raw()->selectionFirst(), 40);
        QCOMPARE(raw()->selectionLast(), 42);
        QCOMPARE(raw()->verticalScrollBar()->value(), 30);

        // A section that is gone leaves the raw text on show.
        tabs()->setCurrentIndex(1); // "Guns"
        QSignalSpy reloaded(reloads(), &ReloadController::reloaded);
        save(path, "#Ships\r\n$Name: Corvette\r\n", false);
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 1, 5000);
        QCOMPARE(tabs()->count(), 2);
        QCOMPARE(tabs()->currentIndex(), 0);
        QVERIFY(raw()->isVisible());
        QVERIFY(!list()->isVisible());
        QCOMPARE(raw()->rawText().line(1), QStringLiteral("$Name: Corvette"));
    }

    void aFileThatDisappearsLeavesTheViewWithANote()
    {
        const QString path = write(QStringLiteral("away.tbl"), Troubled);
        window().LoadFile(path, QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        QTRY_COMPARE(panel3(), QStringLiteral("2 problems"));
        QSignalSpy reloaded(reloads(), &ReloadController::reloaded);

        QVERIFY(QFile::remove(path));
        QTRY_COMPARE_WITH_TIMEOUT(panel3(), ReloadController::MissingNote, 5000);
        QCOMPARE(reloaded.count(), 0);
        QVERIFY(list()->isVisible());
        QCOMPARE(model().rowCount(), 2);

        write(QStringLiteral("away.tbl"), "#Ships\r\n$Name: Corvette\r\n$Speed: 12\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 1, 5000);
        QTRY_COMPARE(panel3(), QString()); // no problems left
        QCOMPARE(tabs()->currentIndex(), 1);
        QCOMPARE(model().rowCount(), 1);
    }

    void theSettingTurnsTheAutomaticReloadOffAndF5StillReloads()
    {
        // A window built without the setting reloads by itself.
        QVERIFY(Setting("AutoReload").isEmpty());
        QVERIFY(Child<ReloadController>(std::make_unique<TBLMainForm>().get(), "ReloadController")
                    ->autoReload());
        const QString path = write(QStringLiteral("manual.tbl"), Fleet(4));
        window().LoadFile(path, QStringLiteral("#"));
        tabs()->setCurrentIndex(2);

        setAutoReload(false);
        QCOMPARE(Setting("AutoReload"), QStringLiteral("0"));
        QSignalSpy reloaded(reloads(), &ReloadController::reloaded);
        save(path, Fleet(6), false);
        QTest::qWait(FileWatcher::MaxDelayMs + 500);
        QCOMPARE(reloaded.count(), 0);
        QCOMPARE(model().rowCount(), 4);

        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        QTest::keyClick(&window(), Qt::Key_F5);
        QCOMPARE(reloaded.count(), 1);
        QCOMPARE(tabs()->currentIndex(), 2);
        QCOMPARE(model().rowCount(), 6);

        setAutoReload(true);
        QCOMPARE(Setting("AutoReload"), QStringLiteral("1"));
        save(path, Fleet(8), false);
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 2, 5000);
        QCOMPARE(model().rowCount(), 8);
    }

    void aChangeWaitsForAnOpenDialogToClose()
    {
        const QString path = write(QStringLiteral("modal.tbl"), Fleet(4));
        window().LoadFile(path, QStringLiteral("#"));
        tabs()->setCurrentIndex(2);
        QSignalSpy reloaded(reloads(), &ReloadController::reloaded);
        int duringDialog = -1;
        AnswerNextModal([&](QWidget *) {
            save(path, Fleet(6), false);
            QTest::qWait(FileWatcher::MaxDelayMs + 2 * ReloadController::ModalRetryMs);
            duringDialog = int(reloaded.count());
        });
        Child<QAction>(&window(), "MenuFileOptions")->trigger();
        QCOMPARE(duringDialog, 0);
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 1, 5000);
        QCOMPARE(model().rowCount(), 6);
    }

    void problemsPanelListsCountsAndJumps()
    {
        const QString path = write(QStringLiteral("troubled.tbl"), Troubled);
        QAction *toggle = Child<QAction>(&window(), "MenuViewProblems");
        QVERIFY(panel()->isHidden());
        toggle->trigger();
        QVERIFY(panel()->isVisible());
        QCOMPARE(Setting("ProblemsPanel"), QStringLiteral("1"));
        // The panel takes its room below the tab strip, which does not reach under it.
        QVERIFY(tabs()->geometry().bottom() < panel()->geometry().top());

        window().LoadFile(path, QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        QTableView *problems = Child<QTableView>(panel(), "ProblemsList");
        // The check runs beside the window and its outcome follows the load.
        QTRY_COMPARE(problems->model()->rowCount(), 2);
        QCOMPARE(problems->model()->index(1, 0).data().toString(), QStringLiteral("5"));
        QCOMPARE(problems->model()->index(1, 1).data().toString(), QStringLiteral("ignored-field"));
        QCOMPARE(panel3(), QStringLiteral("2 problems"));

        // A double-click shows the raw text with the line selected.
        const QModelIndex second = problems->model()->index(1, 2);
        const QPoint at = problems->visualRect(second).center();
        QTest::mouseClick(problems->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(problems->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(tabs()->currentIndex(), 0);
        QVERIFY(raw()->isVisible());
        QCOMPARE(raw()->selectionFirst(), 4);
        QCOMPARE(raw()->selectionLast(), 4);

        // Kept up to date by a reload: one problem left, then none.
        QSignalSpy reloaded(reloads(), &ReloadController::reloaded);
        save(path, QByteArray(Troubled).replace(" $Speed", "$Speed"), false);
        QTRY_COMPARE_WITH_TIMEOUT(reloaded.count(), 1, 5000);
        QTRY_COMPARE(problems->model()->rowCount(), 1);
        QCOMPARE(panel3(), QStringLiteral("1 problem"));
        // An unchanged file is not checked again; another file's list replaces this one.
        window().MenuViewReload_Click();
        QVERIFY(!panel()->checking());
        QCOMPARE(panel3(), QStringLiteral("1 problem"));
        window().LoadFile(write(QStringLiteral("clean.tbl"), "#Ships\r\n$Name: A\r\n"),
                          QStringLiteral("#"));
        QCOMPARE(problems->model()->rowCount(), 0);
        QCOMPARE(panel3(), QString());
        QTRY_VERIFY(!panel()->checking());
        QCOMPARE(panel3(), QString());

        toggle->trigger();
        QVERIFY(panel()->isHidden());
        QCOMPARE(Setting("ProblemsPanel"), QStringLiteral("0"));
    }
};

ROWLENS_QTEST_MAIN(LiveReloadTest)
#include "livereload_test.moc"
