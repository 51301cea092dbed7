// The main window's additions on the offscreen platform: the find bar on the list and on
// the raw text, copying rows, Enter on a row, dropped files, recent files, the Options
// dialog and section switching by keyboard. Drive C is a temporary folder.

#include "tests/support/child.h"
#include "tests/support/mainformtest.h"
#include "tests/support/modalanswer.h"
#include "tests/support/qtestmain.h"
#include "vexa32/globals.h"
#include "vexa32/profile.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/findbar.h"
#include "viewer/rawtextview.h"
#include "viewer/tblmainform.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Engine;

using namespace Vexa32;

namespace {

QString Setting(const char *section, const char *key)
{
    return ReadIniValue(pfad_main, QStringLiteral("rowlns32.ini"), QLatin1String(section),
                        QLatin1String(key));
}

void SetSetting(const char *section, const char *key, const QString &value)
{
    WriteIniValue(pfad_main, QStringLiteral("rowlns32.ini"), QLatin1String(section),
                  QLatin1String(key), value);
}

} // namespace

class MainFormExtrasTest : public MainFormTest
{
    Q_OBJECT

private:
    QTabBar *tabs() const { return Child<QTabBar>(&window(), "TabStrip1"); }
    QTableView *list() const { return Child<QTableView>(&window(), "ListView1"); }
    RawTextView *raw() const { return Child<RawTextView>(&window(), "RichTextBox1"); }
    FindBar *findBar() const { return Child<FindBar>(&window(), "FindBar"); }
    // Opens ships.tbl and lists "Ships", sorted by name.
    void listShips()
    {
        window().LoadFile(ships(), QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        QVERIFY(list()->isVisible());
        window().ListView1_ColumnClick(0);
    }
    void typeFind(const QString &text)
    {
        auto *edit = Child<QLineEdit>(findBar(), "FindText");
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }

private Q_SLOTS:
    void findBarNarrowsTheList()
    {
        TBLMainForm &w = window();
        listShips();
        const int listTop = list()->y();
        const int listHeight = list()->height();

        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(findBar()->isVisible());
        QCOMPARE(list()->y(), findBar()->height());
        QCOMPARE(list()->height(), listHeight - findBar()->height());

        // "ig" is in Frigate's name and Corvette's class; the sort still applies.
        typeFind(QStringLiteral("iG"));
        QTRY_COMPARE(names(), (QStringList{QStringLiteral("Corvette"), QStringLiteral("Frigate")}));
        QCOMPARE(findBar()->statusText(), QStringLiteral("2 of 3 records"));
        w.ListView1_ColumnClick(1); // Speed
        QCOMPARE(names(), (QStringList{QStringLiteral("Frigate"), QStringLiteral("Corvette")}));

        // Row indices stay display rows: a click names the record shown there.
        const QRect row = list()->visualRect(w.listModel().index(1, 0));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(w.statusPanel(2), QStringLiteral("Corvette"));
        // A filter that keeps the record keeps it selected and named in panel 2.
        typeFind(QStringLiteral("corv"));
        QTRY_COMPARE(names(), QStringList{QStringLiteral("Corvette")});
        QCOMPARE(list()->currentIndex().row(), 0);
        QCOMPARE(w.statusPanel(2), QStringLiteral("Corvette"));

        // Another section keeps the text and counts again. A filter that hides the record
        // empties panel 2.
        typeFind(QStringLiteral("nothing like it"));
        QTRY_COMPARE(findBar()->statusText(), QStringLiteral("0 of 3 records"));
        QCOMPARE(w.statusPanel(2), QString());
        tabs()->setCurrentIndex(2);
        QCOMPARE(findBar()->statusText(), QStringLiteral("0 of 1 records"));
        tabs()->setCurrentIndex(1);

        // Esc shows every row again and gives the panes their place back.
        QTest::keyClick(Child<QLineEdit>(findBar(), "FindText"), Qt::Key_Escape);
        QVERIFY(!findBar()->isVisible());
        QCOMPARE(names(), (QStringList{QStringLiteral("Battleship"), QStringLiteral("Frigate"),
                                       QStringLiteral("Corvette")}));
        QCOMPARE(list()->y(), listTop);
        QCOMPARE(list()->height(), listHeight);
        QCOMPARE(raw()->geometry(), list()->geometry());
    }

    void findBarSearchesTheRawText()
    {
        TBLMainForm &w = window();
        w.LoadFile(ships(), QStringLiteral("#"));
        QVERIFY(raw()->isVisible());
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(raw()->y(), findBar()->height());
        // As typed, the first line holding the text; Enter and F3 the next ones, round
        // to the start.
        typeFind(QStringLiteral("hull"));
        QTRY_COMPARE(raw()->selectionFirst(), qsizetype(4));
        QCOMPARE(findBar()->statusText(), QStringLiteral("Line 5"));
        QTest::keyClick(Child<QLineEdit>(findBar(), "FindText"), Qt::Key_Return);
        QCOMPARE(raw()->selectionFirst(), qsizetype(8));
        QTest::keyClick(&w, Qt::Key_F3);
        QCOMPARE(raw()->selectionFirst(), qsizetype(12));
        QTest::keyClick(&w, Qt::Key_F3);
        QCOMPARE(raw()->selectionFirst(), qsizetype(17));
        QTest::keyClick(&w, Qt::Key_F3);
        QCOMPARE(raw()->selectionFirst(), qsizetype(4));
        typeFind(QStringLiteral("no such text"));
        QTRY_COMPARE(findBar()->statusText(), QStringLiteral("Not found"));
        QCOMPARE(raw()->selectionFirst(), qsizetype(4));
        // Enter or F3 at once after typing goes to the first match, not past it.
        typeFind(QStringLiteral("speed"));
        QTest::keyClick(Child<QLineEdit>(findBar(), "FindText"), Qt::Key_Return);
        QCOMPARE(raw()->selectionFirst(), qsizetype(7));
        typeFind(QStringLiteral("$name"));
        QTest::keyClick(&w, Qt::Key_F3);
        QCOMPARE(raw()->selectionFirst(), qsizetype(10));
        // The list was never narrowed by it.
        w.CloseFindBar();
        tabs()->setCurrentIndex(1);
        QCOMPARE(w.listModel().rowCount(), 3);
    }

    void copiesSelectedRowsWithTitles()
    {
        TBLMainForm &w = window();
        listShips();
        QCOMPARE(list()->selectionMode(), QAbstractItemView::ExtendedSelection);
        // Battleship and Frigate, picked bottom-up: copied in display order.
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {},
                          list()->visualRect(w.listModel().index(2, 0)).center());
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list()->visualRect(w.listModel().index(0, 0)).center());
        list()->setFocus();
        QTest::keyClick(list(), Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 QStringLiteral("Name\tSpeed\tHull\tClass\n"
                                "Battleship\t6.25\t45000\tHeavy\n"
                                "Frigate\t9.00\t1200\tMedium\n"));
    }

    void enterShowsTheRecordsRawLine()
    {
        TBLMainForm &w = window();
        listShips();
        list()->setFocus();
        list()->setCurrentIndex(w.listModel().index(0, 0)); // Battleship
        QTest::keyClick(list(), Qt::Key_Return);
        QCOMPARE(tabs()->currentIndex(), 0);
        QVERIFY(raw()->isVisible());
        QCOMPARE(raw()->selectionFirst(), qsizetype(10));
        QCOMPARE(raw()->selectionLast(), qsizetype(10));
        QVERIFY(raw()->hasFocus());

        // Through a narrowed list: a double-click on the one row left.
        listShips();
        QTest::keyClick(&w, Qt::Key_F, Qt::ControlModifier);
        typeFind(QStringLiteral("light"));
        QTRY_COMPARE(names(), QStringList{QStringLiteral("Corvette")});
        // A double-click arrives after the click it starts with.
        const QPoint corvette = list()->visualRect(w.listModel().index(0, 0)).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, corvette);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, corvette);
        QCOMPARE(raw()->selectionFirst(), qsizetype(2));
        // Esc in the pane closes the bar too.
        QTest::keyClick(raw(), Qt::Key_Escape);
        QVERIFY(!findBar()->isVisible());
    }

    void droppedFileOpensAsTheOpenCommandDoes()
    {
        TBLMainForm &w = window();
        SetSetting("Dirs", "LastOpenDir", QStringLiteral("C:\\elsewhere\\"));
        const QString cargo = writeTable(QStringLiteral("cargo.tbl"));
        auto drop = [&w](const QString &path) {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(path)});
            QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(&w, &enter);
            if (!enter.isAccepted()) {
                return false;
            }
            QDropEvent dropped(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(&w, &dropped);
            return true;
        };
        QVERIFY(drop(cargo));
        QCOMPARE(w.CurrentFile(), cargo);
        QCOMPARE(tabs()->count(), 3);
        QVERIFY(raw()->isVisible());
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
        QCOMPARE(Setting("Dirs", "LastOpenDir"), QStringLiteral("C:\\elsewhere\\"));
        // A file that is not there loads nothing.
        QVERIFY(drop(tables() + QStringLiteral("gone.tbl")));
        QCOMPARE(w.CurrentFile(), cargo);
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
        // Something that is no file is refused.
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &text, Qt::LeftButton, {});
        QCoreApplication::sendEvent(&w, &enter);
        QVERIFY(!enter.isAccepted());
    }

    void recentFilesInTheFileMenu()
    {
        TBLMainForm &w = window();
        auto *file = Child<QMenu>(&w, "MenuFile");
        QStringList paths;
        for (int i = 1; i <= 6; ++i) {
            paths << writeTable(QStringLiteral("t%1.tbl").arg(i));
            w.LoadFile(paths.last(), QStringLiteral("#"));
        }
        // Reopening an entry moves it to the front; five are kept, newest first.
        w.LoadFile(paths[2], QStringLiteral("#"));
        const QStringList expected{paths[2], paths[5], paths[4], paths[3], paths[1]};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(Setting("Recent", qPrintable(QStringLiteral("File%1").arg(i + 1))),
                     expected[i]);
        }

        // Missing files are dropped when the menu opens.
        QVERIFY(QFile::remove(paths[5]));
        Q_EMIT file->aboutToShow();
        QStringList shown;
        for (QAction *action : file->actions()) {
            if (action->objectName().startsWith(QLatin1String("MenuFileRecent")) &&
                !action->isSeparator() && action->isVisible()) {
                shown << action->text();
            }
        }
        QCOMPARE(shown,
                 (QStringList{QStringLiteral("&1 ") + paths[2], QStringLiteral("&2 ") + paths[4],
                              QStringLiteral("&3 ") + paths[3], QStringLiteral("&4 ") + paths[1]}));
        QCOMPARE(Setting("Recent", "File2"), paths[4]);
        QCOMPARE(Setting("Recent", "File5"), QString());

        // The items stand between Open and the separator above Exit; choosing one opens it.
        QStringList order;
        for (QAction *action : file->actions()) {
            if (action->isVisible()) {
                order << action->objectName();
            }
        }
        QCOMPARE(order.first(), QStringLiteral("MenuFileOpen"));
        QCOMPARE(order.mid(order.size() - 2),
                 (QStringList{QStringLiteral("MenuBlank0"), QStringLiteral("MenuFileExit")}));
        QVERIFY(order.indexOf(QStringLiteral("MenuFileRecent1")) <
                order.indexOf(QStringLiteral("MenuBlank0")));
        QVERIFY(order.contains(QStringLiteral("MenuFileOptions")));
        Child<QAction>(&w, "MenuFileRecent3")->trigger();
        QCOMPARE(w.CurrentFile(), paths[3]);
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
    }

    void optionsStoreTheAssociationChoice()
    {
        TBLMainForm &w = window();
        int associations = 0;
        w.setFileTypeAssociation([&associations] { ++associations; });
        // Shows the stored choice; OK stores the new one and associates when checked.
        const struct
        {
            const char *stored;
            bool shown;
            bool choose;
            bool ok;
            const char *written;
            int associations;
        } cases[] = {
            {"0", false, true, true, "1", 1},
            {"1", true, false, true, "0", 0},
            {"", false, true, false, "", 0},
            {"yes", false, false, true, "0", 0},
        };
        for (const auto &c : cases) {
            SetSetting("Startup", "AssociateFileTypes", QLatin1String(c.stored));
            associations = 0;
            bool shown = !c.shown;
            AnswerNextModal([&](QWidget *dialog) {
                auto *box = Child<QCheckBox>(dialog, "AssociateFileTypes");
                QCOMPARE(box->text(), QStringLiteral("Use Korvax Manager ROWLENS32 as the "
                                                     "default application for *.TBL files"));
                shown = box->isChecked();
                box->setChecked(c.choose);
                auto *buttons = Child<QDialogButtonBox>(dialog, "OptionsButtons");
                buttons->button(c.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
            });
            Child<QAction>(&w, "MenuFileOptions")->trigger();
            QCOMPARE(shown, c.shown);
            QCOMPARE(Setting("Startup", "AssociateFileTypes"), QLatin1String(c.written));
            QCOMPARE(associations, c.associations);
        }
        w.setFileTypeAssociation({});
    }

    void columnWidthsKeptPerSectionAndFitByDoubleClick()
    {
        listShips();
        QHeaderView *header = list()->horizontalHeader();
        const int defaultWidth = header->sectionSize(1);
        header->resizeSection(1, defaultWidth + 50);
        tabs()->setCurrentIndex(2);
        QCOMPARE(header->sectionSize(1), defaultWidth);
        tabs()->setCurrentIndex(1);
        QCOMPARE(header->sectionSize(1), defaultWidth + 50);
        // Sorting keeps them as well; opening the file again forgets them.
        window().ListView1_ColumnClick(2);
        QCOMPARE(header->sectionSize(1), defaultWidth + 50);
        listShips();
        QCOMPARE(header->sectionSize(1), defaultWidth);

        // A double-click on the divider right of a column fits it to its texts: from too
        // narrow and from too wide it comes to the same width.
        const auto fit = [&](int from) {
            header->resizeSection(0, from);
            QTest::mouseDClick(header->viewport(), Qt::LeftButton, {},
                               QPoint(header->sectionViewportPosition(0) + header->sectionSize(0),
                                      header->height() / 2));
            return header->sectionSize(0);
        };
        const int fitted = fit(12);
        QVERIFY(fitted >=
                QFontMetrics(list()->font()).horizontalAdvance(QStringLiteral("Battleship")));
        QCOMPARE(fit(400), fitted);
        tabs()->setCurrentIndex(2);
        tabs()->setCurrentIndex(1);
        QCOMPARE(header->sectionSize(0), fitted);
    }

    void fileCommandsNeedAFile()
    {
        const char *commands[] = {"MenuEditFind",    "MenuEditFindNext", "MenuEditCopy",
                                  "MenuEditShowRaw", "MenuViewNextTab",  "MenuViewPreviousTab"};
        TBLMainForm fresh;
        for (const char *name : commands) {
            QVERIFY2(!Child<QAction>(&fresh, name)->isEnabled(), name);
        }
        fresh.LoadFile(ships(), QStringLiteral("#"));
        for (const char *name : commands) {
            QVERIFY2(Child<QAction>(&fresh, name)->isEnabled(), name);
        }
    }

    void failedTabLoadSelectsTheShownTabAgain()
    {
        TBLMainForm &w = window();
        const QString doomed = writeTable(QStringLiteral("doomed.tbl"));
        w.LoadFile(doomed, QStringLiteral("#"));
        tabs()->setCurrentIndex(1);
        QVERIFY(list()->isVisible());
        QVERIFY(QFile::remove(doomed));
        QString header;
        AnswerNextModal([&](QWidget *dialog) { header = dialog->windowTitle(); });
        tabs()->setCurrentIndex(2);
        QVERIFY(!header.isEmpty());
        // The list of the section before is still shown, under its own tab.
        QCOMPARE(tabs()->currentIndex(), 1);
        QCOMPARE(w.listModel().totalRowCount(), 3);
        w.LoadFile(ships(), QStringLiteral("#"));
    }

    void keyboardSwitchesSectionsAndEveryMenuHasAMnemonic()
    {
        TBLMainForm &w = window();
        // Shortcuts reach the active window only (the dialogs before took that away).
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.LoadFile(ships(), QStringLiteral("#"));
        QCOMPARE(tabs()->currentIndex(), 0);
        QTest::keyClick(&w, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), 1);
        QVERIFY(list()->isVisible());
        QCOMPARE(w.listModel().totalRowCount(), 3);
        QTest::keyClick(&w, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), 2);
        QTest::keyClick(&w, Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), 0);
        QVERIFY(raw()->isVisible());
        QTest::keyClick(&w, Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(tabs()->currentIndex(), 2);

        // Tab goes from the find field on to the list, Shift+Tab back to the tabs.
        w.ShowFindBar();
        auto *edit = Child<QLineEdit>(findBar(), "FindText");
        QVERIFY(edit->hasFocus());
        QTest::keyClick(edit, Qt::Key_Tab);
        QVERIFY(list()->hasFocus());
        QTest::keyClick(list(), Qt::Key_Tab);
        QVERIFY(!list()->hasFocus());
        w.ShowFindBar();
        QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier);
        QVERIFY(tabs()->hasFocus());
        w.CloseFindBar();

        for (QAction *top : w.menuBar()->actions()) {
            QVERIFY2(top->text().contains(u'&'), qPrintable(top->text()));
            for (QAction *item : top->menu()->actions()) {
                if (!item->isSeparator() &&
                    !item->objectName().startsWith(QLatin1String("MenuHelp"))) {
                    QVERIFY2(item->text().contains(u'&'), qPrintable(item->objectName()));
                }
            }
        }
        for (const char *name : {"TabStrip1", "ListView1", "RichTextBox1", "FindText"}) {
            QVERIFY2(!Child<QWidget>(&w, name)->accessibleName().isEmpty(), name);
        }
        // The panels are named by their texts; what they are for is their description.
        for (const char *name : {"Panel1", "Panel2"}) {
            QVERIFY2(!Child<QWidget>(&w, name)->accessibleDescription().isEmpty(), name);
        }
    }
};

ROWLENS_QTEST_MAIN(MainFormExtrasTest)
#include "tblmainform_extras_test.moc"
