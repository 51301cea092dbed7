// The main window on the offscreen platform: its no-file state, the open command, browsing
// (tabs, header sort, row click), a failed load, the toolbar, the layout at tiny sizes, the
// Help commands and the stored window position. Drive C is a temporary folder.

#include "tests/support/child.h"
#include "tests/support/mainformtest.h"
#include "tests/support/modalanswer.h"
#include "tests/support/qtestmain.h"
#include "tests/support/urlrecorder.h"
#include "vexa32/globals.h"
#include "vexa32/profile.h"
#include "vexa32/suitetools.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/rawtextview.h"
#include "viewer/tblmainform.h"

#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <memory>

using namespace Vexa32;

namespace {

QString IniValue(const QString &dir, const char *file, const char *section, const char *key)
{
    return ReadIniValue(dir, QLatin1String(file), QLatin1String(section), QLatin1String(key));
}

} // namespace

class MainFormCommandsTest : public MainFormTest
{
    Q_OBJECT

private:
    QStringList tabs(TBLMainForm &window)
    {
        QStringList result;
        auto *bar = Child<QTabBar>(&window, "TabStrip1");
        for (int i = 0; i < bar->count(); ++i) {
            result << bar->tabData(i).toString();
        }
        return result;
    }
    void clickHeader(TBLMainForm &window, int column)
    {
        auto *header = Child<QTableView>(&window, "ListView1")->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }
    void openShips(TBLMainForm &window)
    {
        window.setOpenFileDialog([this](const QString &) { return ships(); });
        window.MenuFileOpen_Click();
    }

private Q_SLOTS:
    // --- the shared window, in order: no file, open, browse -----------------------------

    void startsWithoutFile()
    {
        TBLMainForm &w = window();
        QCOMPARE(w.windowTitle(), QStringLiteral("Korvax Manager ROWLENS32"));
        QCOMPARE(w.CurrentFile(), QString());
        auto *text1 = Child<QPlainTextEdit>(&w, "Text1");
        QVERIFY(text1->isVisible());
        QVERIFY(!text1->isEnabled());
        QCOMPARE(text1->toPlainText().trimmed(),
                 QStringLiteral("No .TBL file opened. You can either open one via the \"File\" "
                                "menu, or by double-clicking one in ARKLENS32."));
        QVERIFY(!Child<QTableView>(&w, "ListView1")->isVisible());
        QVERIFY(!Child<RawTextView>(&w, "RichTextBox1")->isVisible());
        auto *tabStrip = Child<QTabBar>(&w, "TabStrip1");
        QVERIFY(!tabStrip->isEnabled());
        QCOMPARE(tabs(w), QStringList{QStringLiteral("<No file loaded>")});
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
        // 4845, 4845 and 1440 twips at 96 DPI, two pixels between panels.
        QCOMPARE(Child<QLabel>(&w, "Panel1")->width(), 321);
        QCOMPARE(Child<QLabel>(&w, "Panel2")->x(), 323);
        QCOMPARE(Child<QLabel>(&w, "Panel3")->width(), 94);
        // No kit registered: no tutorial item, no second separator, F1 does nothing.
        QVERIFY(!Child<QAction>(&w, "MenuHelpTutorial")->isVisible());
        QVERIFY(!Child<QAction>(&w, "MenuHelpBlank1")->isVisible());
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
        QTest::keyClick(&w, Qt::Key_F1);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QVERIFY(recorder.urls.isEmpty());
    }

    void menusAndToolbar()
    {
        TBLMainForm &w = window();
        struct Item
        {
            const char *name, *text;
            QKeySequence shortcut;
        };
        const Item items[] = {
            {"MenuFileOpen", "&Open .TBL file", QKeySequence(Qt::CTRL | Qt::Key_O)},
            {"MenuFileExit", "E&xit", {}},
            {"MenuHelpTutorial", "ZORATH KIT Quick Start Tutorial", QKeySequence(Qt::Key_F1)},
            {"MenuHelpKMVC", "Check for new version", {}},
            {"MenuHelpAbout", "About", {}},
        };
        for (const Item &item : items) {
            auto *action = Child<QAction>(&w, item.name);
            QCOMPARE(action->text(), QLatin1String(item.text));
            QCOMPARE(action->shortcut(), item.shortcut);
        }
        QVERIFY(Child<QAction>(&w, "MenuBlank0")->isSeparator());
        QVERIFY(Child<QAction>(&w, "MenuHelpBlank1")->isSeparator());
        QCOMPARE(Child<QMenu>(&w, "MenuFile")->title(), QStringLiteral("&File"));
        QCOMPARE(Child<QMenu>(&w, "MenuHelp")->title(), QStringLiteral("&Help"));
        // Outside a comparison the toolbar shows its one button.
        QList<QAction *> buttons = Child<QToolBar>(&w, "Toolbar1")->actions();
        buttons.removeIf([](const QAction *action) { return !action->isVisible(); });
        QCOMPARE(buttons.size(), 1);
        QCOMPARE(buttons.first()->text(), QStringLiteral("Open .TBL"));
        QCOMPARE(buttons.first()->data().toString(), QStringLiteral("FileOpen"));
        QVERIFY(!buttons.first()->icon().isNull());
        QVERIFY(Child<QToolBar>(&w, "Toolbar2")->actions().isEmpty());
    }

    void openCommand()
    {
        TBLMainForm &w = window();
        QStringList asked;
        std::optional<QString> answer;
        w.setOpenFileDialog([&](const QString &initialDir) {
            asked << initialDir;
            return answer;
        });

        // Cancelled on the first start: nothing is written, nothing loaded.
        w.MenuFileOpen_Click();
        QCOMPARE(asked, QStringList{QString()});
        QCOMPARE(IniValue(pfad_main, "rowlns32.ini", "Dirs", "LastOpenDir"), QString());
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
        QCOMPARE(w.CurrentFile(), QString());

        // A typed name that does not exist: the folder is stored, nothing is loaded.
        answer = tables() + QStringLiteral("nosuch.tbl");
        w.MenuFileOpen_Click();
        QCOMPARE(IniValue(pfad_main, "rowlns32.ini", "Dirs", "LastOpenDir"), tables());
        QCOMPARE(w.CurrentFile(), QString());
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));

        // A real file through Ctrl+O: tabs, raw text, caption; the dialog starts in the
        // stored folder.
        answer = ships();
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(asked.last(), tables());
        QCOMPARE(w.CurrentFile(), ships());
        QCOMPARE(tabs(w), (QStringList{QStringLiteral("<Unparsed contents>"),
                                       QStringLiteral("Ships"), QStringLiteral("Guns & Lasers")}));
        QVERIFY(Child<QTabBar>(&w, "TabStrip1")->isEnabled());
        // "&" in a caption is shown as it is, not as a mnemonic.
        QCOMPARE(Child<QTabBar>(&w, "TabStrip1")->tabText(2), QStringLiteral("Guns && Lasers"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Korvax Manager ROWLENS32 - [%1]").arg(ships()));
        auto *raw = Child<RawTextView>(&w, "RichTextBox1");
        QVERIFY(raw->isVisible());
        QVERIFY(!Child<QPlainTextEdit>(&w, "Text1")->isVisible());
        QCOMPARE(raw->rawText().lineCount(), 19);
        QCOMPARE(raw->rawText().line(1), QStringLiteral("#Ships"));
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
    }

    void openDialogMatchesTablesInAnyCase()
    {
        TBLMainForm &w = window();
        for (const char *name : {"Mixed.Tbl", "upper.TBL", "notes.txt"}) {
            QVERIFY(QFile::copy(ships(), tables() + QLatin1String(name)));
        }
        WriteIniValue(pfad_main, QStringLiteral("rowlns32.ini"), QStringLiteral("Dirs"),
                      QStringLiteral("LastOpenDir"), tables());
        QStringList listed, filters;
        QString directory;
        AnswerNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog != nullptr);
            // The filter box shows the two entries by their names, the first one chosen.
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
            QVERIFY(types != nullptr);
            for (int i = 0; i < types->count(); ++i) {
                filters << types->itemText(i);
            }
            QCOMPARE(types->currentIndex(), 0);
            directory = dialog->directory().absolutePath();
            auto *model = dialog->findChild<QFileSystemModel *>();
            QVERIFY(model != nullptr);
            const QModelIndex root = model->index(tables());
            // The model lists the folder on a thread of its own: on a busy machine that takes a
            // while.
            QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(root), 3, 30000);
            for (int row = 0; row < model->rowCount(root); ++row) {
                listed << model->index(row, 0, root).data().toString();
            }
            // Typed into the name field, as selectFile() leaves a focused field alone.
            auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            QVERIFY(name != nullptr);
            name->setText(QStringLiteral("Mixed.Tbl"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        w.setOpenFileDialog({});
        w.MenuFileOpen_Click();
        listed.sort();
        QCOMPARE(listed, (QStringList{QStringLiteral("Mixed.Tbl"), QStringLiteral("ships.tbl"),
                                      QStringLiteral("upper.TBL")}));
        QCOMPARE(filters, (QStringList{QStringLiteral("Zorath TBL files (*.TBL)"),
                                       QStringLiteral("All Files (*.*)")}));
        QCOMPARE(directory + u'/', tables());
        QCOMPARE(w.CurrentFile(), tables() + QStringLiteral("Mixed.Tbl"));
        for (const char *name : {"Mixed.Tbl", "upper.TBL", "notes.txt"}) {
            QFile::remove(tables() + QLatin1String(name));
        }
    }

    void tabClickAndBrowse()
    {
        TBLMainForm &w = window();
        openShips(w);
        auto *tabStrip = Child<QTabBar>(&w, "TabStrip1");
        auto *list = Child<QTableView>(&w, "ListView1");
        QTest::mouseClick(tabStrip, Qt::LeftButton, {}, tabStrip->tabRect(1).center());
        QCOMPARE(tabStrip->currentIndex(), 1);
        QVERIFY(list->isVisible());
        QVERIFY(!Child<RawTextView>(&w, "RichTextBox1")->isVisible());
        QCOMPARE(names(), (QStringList{QStringLiteral("Corvette"), QStringLiteral("Frigate"),
                                       QStringLiteral("Battleship")}));
        QCOMPARE(list->horizontalHeader()->sectionSize(0), 133); // 2000 twips
        QCOMPARE(w.listModel().columnCount(), 4);

        // Header clicks sort ascending by that column; a second click keeps the order.
        clickHeader(w, 1); // Speed, padded numbers: by size
        const QStringList bySpeed{QStringLiteral("Battleship"), QStringLiteral("Frigate"),
                                  QStringLiteral("Corvette")};
        QCOMPARE(names(), bySpeed);
        clickHeader(w, 1);
        QCOMPARE(names(), bySpeed);
        clickHeader(w, 0);
        QCOMPARE(names(), (QStringList{QStringLiteral("Battleship"), QStringLiteral("Corvette"),
                                       QStringLiteral("Frigate")}));

        // A row click names the record in panel 2.
        const QRect row = list->visualRect(w.listModel().index(1, 2));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(w.statusPanel(2), QStringLiteral("Corvette"));

        // The raw tab reads the file again.
        QTest::mouseClick(tabStrip, Qt::LeftButton, {}, tabStrip->tabRect(0).center());
        QVERIFY(Child<RawTextView>(&w, "RichTextBox1")->isVisible());
        QVERIFY(!list->isVisible());
    }

    void failedTabLoadIsReported()
    {
        TBLMainForm &w = window();
        openShips(w);
        QVERIFY(QFile::remove(ships()));
        QString header, message;
        AnswerNextModal([&](QWidget *dialog) {
            header = Child<QLabel>(dialog, "ErrorHeader")->text();
            message = Child<QPlainTextEdit>(dialog, "ErrorMessage")->toPlainText();
        });
        auto *tabStrip = Child<QTabBar>(&w, "TabStrip1");
        tabStrip->setCurrentIndex(2);
        QVERIFY(!header.isEmpty());
        QVERIFY2(message.contains(ships()), qPrintable(message));
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QVERIFY(w.isVisible());

        // The open command fails quietly on such a file.
        w.setOpenFileDialog([this](const QString &) { return ships(); });
        w.MenuFileOpen_Click();
        QCOMPARE(w.statusPanel(1), QStringLiteral("Ready"));
    }

    void toolbarOnlyOpensForItsKey()
    {
        TBLMainForm &w = window();
        int asked = 0;
        w.setOpenFileDialog([&](const QString &) {
            ++asked;
            return std::optional<QString>();
        });
        for (const char *key : {"fileopen", "FileOpen ", "Other", ""}) {
            w.Toolbar1_ButtonClick(QLatin1String(key));
        }
        QCOMPARE(asked, 0);
        Child<QToolBar>(&w, "Toolbar1")->actions().first()->trigger();
        QCOMPARE(asked, 1);
    }

    void layoutFollowsTheWindow()
    {
        TBLMainForm &w = window();
        auto *tabStrip = Child<QTabBar>(&w, "TabStrip1");
        auto *frame = Child<QFrame>(&w, "Frame1");
        auto *list = Child<QTableView>(&w, "ListView1");
        // Outer sizes include the frame the platform draws around the client area.
        const QSize frameExtra = w.frameGeometry().size() - w.size();
        w.resize(QSize(900, 700) - frameExtra);
        QTRY_COMPARE(w.frameGeometry().size(), QSize(900, 700));
        // The toolbar button: 1245 x 420 twips.
        QCOMPARE(Child<QWidget>(&w, "Toolbar1FileOpenButton")->size(), QSize(83, 28));
        // In twips at 15 a pixel: outer - 240, outer - 1540, then - 240 and - 600.
        QCOMPARE(tabStrip->width(), 900 - 16);
        QCOMPARE(tabStrip->height(), 700 - 103);
        QCOMPARE(frame->size(), QSize(900 - 32, 700 - 143));
        QCOMPARE(list->size(), QSize(900 - 32, 700 - 147));
        QCOMPARE(Child<QPlainTextEdit>(&w, "Text1")->geometry(), list->geometry());
        QCOMPARE(Child<RawTextView>(&w, "RichTextBox1")->geometry(), list->geometry());

        // Too small for the heights: those steps are skipped, the widths still follow.
        w.resize(QSize(40, 60) - frameExtra);
        QTRY_COMPARE(w.frameGeometry().size(), QSize(40, 60));
        QCOMPARE(tabStrip->width(), 40 - 16);
        QCOMPARE(tabStrip->height(), 700 - 103);
        QCOMPARE(frame->width(), 40 - 32);
        w.showMinimized();
        w.showNormal();
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        w.resize(900, 700);
    }

    void helpCommandsCallTheToolsLibrary()
    {
        TBLMainForm &w = window();
        QString shown;
        AnswerNextModal([&](QWidget *box) { shown = box->windowTitle(); });
        Child<QAction>(&w, "MenuHelpAbout")->trigger();
        QCOMPARE(shown, QStringLiteral("About Korvax Manager"));

        SetToolsLibraryName(QStringLiteral("km_tools_removed.dll"));
        for (const char *command : {"MenuHelpAbout", "MenuHelpKMVC"}) {
            QString header, message;
            AnswerNextModal([&](QWidget *dialog) {
                header = Child<QLabel>(dialog, "ErrorHeader")->text();
                message = Child<QPlainTextEdit>(dialog, "ErrorMessage")->toPlainText();
            });
            Child<QAction>(&w, command)->trigger();
            QCOMPARE(header, QStringLiteral("File not found "));
            QCOMPARE(message,
                     QStringLiteral("File not found: km_tools.dll\n\nYou may need to reinstall."));
        }
    }

    // --- fresh windows: start-up settings and closing -----------------------------------

    void tutorialShownWhenTheKitIsInstalled()
    {
        QVERIFY(QDir(drive().drive()).mkpath(QStringLiteral("KORVAX/ZRKIT")));
        QFile tutorial(drive().onDrive(QStringLiteral("KORVAX/ZRKIT/quickstart.pdf")));
        QVERIFY(tutorial.open(QIODevice::WriteOnly));
        tutorial.close();
        const QString ini = QStringLiteral("vexa.ini");
        WriteIniValue(pfad_vexa, ini, QStringLiteral("Moduls_Dirs"), QStringLiteral("ZRKIT"),
                      QStringLiteral("C:\\KORVAX\\ZRKIT"));
        WriteIniValue(pfad_vexa, ini, QStringLiteral("Moduls_EXEs"), QStringLiteral("ZRKIT"),
                      QStringLiteral("quickstart.pdf"));

        TBLMainForm w;
        QVERIFY(Child<QAction>(&w, "MenuHelpTutorial")->isVisible());
        QVERIFY(Child<QAction>(&w, "MenuHelpBlank1")->isVisible());
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &recorder, "open");
        Child<QAction>(&w, "MenuHelpTutorial")->trigger();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(recorder.urls.size(), 1);
        QVERIFY(
            recorder.urls.first().toLocalFile().endsWith(QStringLiteral("/ZRKIT/quickstart.pdf")));
        WriteIniValue(pfad_vexa, ini, QStringLiteral("Moduls_EXEs"), QStringLiteral("ZRKIT"),
                      QString());
    }

    void positionSavedOnCloseAndRestored()
    {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        {
            TBLMainForm w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.move(60, 45);
            w.resize(QSize(600, 450) - (w.frameGeometry().size() - w.size()));
            QTRY_COMPARE(w.frameGeometry(), QRect(60, 45, 600, 450));
            Child<QAction>(&w, "MenuFileExit")->trigger();
            QVERIFY(!w.isVisible());
        }
        QCOMPARE(IniValue(pfad_vexa, "vexa.ini", "Positions", "ROWLENS32"),
                 QStringLiteral("0,900,675,9000,6750"));
        {
            TBLMainForm w;
            QCOMPARE(w.frameGeometry(), QRect(60, 45, 600, 450));
            QCOMPARE(w.windowState(), Qt::WindowNoState);
        }

        // Maximised or minimised: the record keeps the normal rectangle and the state, and
        // the window comes back in that state over the same normal rectangle.
        const std::pair<Qt::WindowState, int> states[] = {{Qt::WindowMaximized, 2},
                                                          {Qt::WindowMinimized, 1}};
        for (const auto &[state, number] : states) {
            WriteIniValue(pfad_vexa, QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                          QStringLiteral("ROWLENS32"), QStringLiteral("0,900,675,9000,6750"));
            {
                TBLMainForm w;
                w.show();
                QVERIFY(QTest::qWaitForWindowExposed(&w));
                w.setWindowState(state);
                QTRY_COMPARE(w.windowState(), state);
                w.close();
            }
            QCOMPARE(IniValue(pfad_vexa, "vexa.ini", "Positions", "ROWLENS32"),
                     QStringLiteral("%1,900,675,9000,6750").arg(number));
            TBLMainForm w;
            QVERIFY(w.windowState() & state);
            w.show();
            QTest::qWait(20);
            QVERIFY(w.windowState() & state);
            w.setWindowState(Qt::WindowNoState);
            QTRY_COMPARE(w.frameGeometry(), QRect(60, 45, 600, 450));
        }

        // A record from a larger display: placed at 0 and cut to the screen.
        const int screenTwipsWidth = screen.width() * 15;
        WriteIniValue(
            pfad_vexa, QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
            QStringLiteral("ROWLENS32"),
            QStringLiteral("0,%1,0,%2,3000").arg(screenTwipsWidth + 15).arg(screenTwipsWidth * 2));
        {
            TBLMainForm w;
            QCOMPARE(w.frameGeometry().x(), 0);
            QCOMPARE(w.frameGeometry().width(), screen.width());
        }
        WriteIniValue(pfad_vexa, QStringLiteral("vexa.ini"), QStringLiteral("Positions"),
                      QStringLiteral("ROWLENS32"), QStringLiteral("n/a"));
    }
};

ROWLENS_QTEST_MAIN(MainFormCommandsTest)
#include "tblmainform_test.moc"
