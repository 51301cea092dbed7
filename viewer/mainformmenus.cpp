#include "viewer/mainformmenus.h"

#include "viewer/mainformcontrols.h"
#include "viewer/menuhiddenitems.h"
#include "viewer/recentfilesmenu.h"
#include "viewer/sortcommand.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

QMenu *AddMenu(QMenuBar &bar, const char *caption, const char *name)
{
    QMenu *menu = bar.addMenu(QLatin1String(caption));
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction *AddItem(QMenu *menu, const char *caption, const char *name,
                 QKeySequence shortcut = QKeySequence())
{
    QAction *item = menu->addAction(QLatin1String(caption));
    item->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) {
        item->setShortcut(shortcut);
    }
    return item;
}

QAction *AddSeparator(QMenu *menu, const char *name)
{
    QAction *separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}

} // namespace

void BuildMainFormMenus(QMenuBar &bar, MainFormControls &ui)
{
    bar.setObjectName(QStringLiteral("MenuBar"));

    ui.MenuFile = AddMenu(bar, "&File", "MenuFile");
    ui.MenuFileOpen =
        AddItem(ui.MenuFile, "&Open .TBL file", "MenuFileOpen", QKeySequence(Qt::CTRL | Qt::Key_O));
    ui.MenuFileCompare = AddItem(ui.MenuFile, "Compare &with...", "MenuFileCompare");
    ui.MenuFileLeaveCompare = AddItem(ui.MenuFile, "&Leave comparison", "MenuFileLeaveCompare");
    ui.MenuFileLeaveCompare->setVisible(false);
    ui.MenuFileExport = AddItem(ui.MenuFile, "&Export section...", "MenuFileExport");
    ui.MenuFileOptions = AddItem(ui.MenuFile, "O&ptions...", "MenuFileOptions");
    ui.MenuBlank0 = AddSeparator(ui.MenuFile, "MenuBlank0");
    ui.MenuFileExit = AddItem(ui.MenuFile, "E&xit", "MenuFileExit");
    ui.recentFiles = new RecentFilesMenu(ui.MenuFile, ui.MenuBlank0);

    ui.MenuEdit = AddMenu(bar, "&Edit", "MenuEdit");
    ui.MenuEditFind =
        AddItem(ui.MenuEdit, "&Find...", "MenuEditFind", QKeySequence(Qt::CTRL | Qt::Key_F));
    ui.MenuEditFindNext =
        AddItem(ui.MenuEdit, "Find &next", "MenuEditFindNext", QKeySequence(Qt::Key_F3));
    ui.MenuEditCopy =
        AddItem(ui.MenuEdit, "&Copy", "MenuEditCopy", QKeySequence(Qt::CTRL | Qt::Key_C));
    ui.MenuEditShowRaw = AddItem(ui.MenuEdit, "Show record in &raw text", "MenuEditShowRaw");
    // The menu shows the list's Enter key; as a shortcut it stays inside the menu (which
    // keeps Enter for itself), so Enter elsewhere is not taken from the find bar.
    ui.MenuEditShowRaw->setShortcuts({QKeySequence(Qt::Key_Enter), QKeySequence(Qt::Key_Return)});
    ui.MenuEditShowRaw->setShortcutContext(Qt::WidgetShortcut);

    ui.MenuView = AddMenu(bar, "&View", "MenuView");
    ui.MenuViewNextTab = AddItem(ui.MenuView, "&Next section", "MenuViewNextTab");
    ui.MenuViewNextTab->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), QKeySequence(Qt::CTRL | Qt::Key_Tab)});
    ui.MenuViewPreviousTab = AddItem(ui.MenuView, "&Previous section", "MenuViewPreviousTab");
    ui.MenuViewPreviousTab->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_PageUp),
                                          QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab),
                                          QKeySequence(Qt::CTRL | Qt::Key_Backtab)});
    AddSeparator(ui.MenuView, "MenuViewBlank1");
    ui.MenuViewReload = AddItem(ui.MenuView, "&Reload", "MenuViewReload", QKeySequence(Qt::Key_F5));
    ui.MenuViewProblems = AddItem(ui.MenuView, "Pro&blems", "MenuViewProblems");
    ui.MenuViewProblems->setCheckable(true);
    ui.MenuViewOnlyDifferences =
        AddItem(ui.MenuView, "Show only &differences", "MenuViewOnlyDifferences",
                QKeySequence(Qt::CTRL | Qt::Key_D));
    ui.MenuViewOnlyDifferences->setCheckable(true);
    ui.MenuViewOnlyDifferences->setEnabled(false);

    ui.MenuHelp = AddMenu(bar, "&Help", "MenuHelp");
    ui.MenuHelpTutorial = AddItem(ui.MenuHelp, "ZORATH KIT Quick Start Tutorial",
                                  "MenuHelpTutorial", QKeySequence(Qt::Key_F1));
    ui.MenuHelpBlank1 = AddSeparator(ui.MenuHelp, "MenuHelpBlank1");
    ui.MenuHelpKMVC = AddItem(ui.MenuHelp, "Check for new version", "MenuHelpKMVC");
    ui.MenuHelpAbout = AddItem(ui.MenuHelp, "About", "MenuHelpAbout");
}

void AddListCommands(QMenuBar &bar, MainFormControls &ui)
{
    new SortCommand(ui.MenuView, ui.ListView1);
    for (QMenu *menu : bar.findChildren<QMenu *>()) {
        KeepHiddenItemsOut(menu);
    }
}

void EnableFileCommands(const MainFormControls &ui, bool fileLoaded)
{
    for (QAction *item : {ui.MenuEditFind, ui.MenuEditFindNext, ui.MenuEditCopy, ui.MenuEditShowRaw,
                          ui.MenuViewNextTab, ui.MenuViewPreviousTab, ui.MenuViewReload}) {
        item->setEnabled(fileLoaded);
    }
}
