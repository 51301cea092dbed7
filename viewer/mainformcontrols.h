#pragma once
// The widgets and menu items of TBLMainForm, in one struct that the window's parts share.
// BuildMainFormMenus (mainformmenus.h) fills the menu items, BuildMainFormControls the
// widgets. The window owns every widget and item through Qt's parent chain; this struct
// only points at them.

#include <QFont>
#include <array>

class FindBar;
class QAction;
class QFrame;
class QLabel;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class QStatusBar;
class QTabBar;
class QTableView;
class QToolBar;
class QWidget;
class ProblemsPanel;
class RawTextView;
class RecentFilesMenu;
namespace Engine {
class TableListModel;
} // namespace Engine

struct MainFormControls
{
    QWidget *client = nullptr; // the form's client area below the menu bar
    QToolBar *Toolbar1 = nullptr;
    QAction *Toolbar1Open = nullptr;
    QToolBar *Toolbar2 = nullptr;
    QTabBar *TabStrip1 = nullptr;
    QFrame *Frame1 = nullptr;
    FindBar *findBar = nullptr; // in Frame1, above the panes while shown
    QTableView *ListView1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    RawTextView *RichTextBox1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    std::array<QLabel *, 3> panels{};
    ProblemsPanel *problems = nullptr; // below the tab strip while shown

    QMenu *MenuFile = nullptr;
    QAction *MenuFileOpen = nullptr;
    QAction *MenuFileCompare = nullptr;      // Compare with...
    QAction *MenuFileLeaveCompare = nullptr; // shown while comparing
    QAction *MenuFileExport = nullptr;       // Export section...
    QAction *MenuFileOptions = nullptr;
    RecentFilesMenu *recentFiles = nullptr; // its items stand between Options and MenuBlank0
    QAction *MenuBlank0 = nullptr;
    QAction *MenuFileExit = nullptr;

    QMenu *MenuEdit = nullptr;
    QAction *MenuEditFind = nullptr;
    QAction *MenuEditFindNext = nullptr;
    QAction *MenuEditCopy = nullptr;
    QAction *MenuEditShowRaw = nullptr;

    QMenu *MenuView = nullptr;
    QAction *MenuViewNextTab = nullptr;
    QAction *MenuViewPreviousTab = nullptr;
    QAction *MenuViewReload = nullptr;
    QAction *MenuViewProblems = nullptr;        // checked while the problems panel is shown
    QAction *MenuViewOnlyDifferences = nullptr; // checkable, while comparing

    QMenu *MenuHelp = nullptr;
    QAction *MenuHelpTutorial = nullptr;
    QAction *MenuHelpBlank1 = nullptr;
    QAction *MenuHelpKMVC = nullptr;
    QAction *MenuHelpAbout = nullptr;
};

// Geometry of the window's design, in twips.
namespace MainFormDesign {
constexpr int ClientWidth = 11460;
constexpr int ClientHeight = 9210;
constexpr int NameColumnWidth = 2000;
constexpr int ToolbarButtonWidth = 1245;
constexpr int ToolbarButtonHeight = 420;
// The problems panel's height, taken from the bottom of the window while it is shown.
constexpr int ProblemsPanelHeight = 1950;
} // namespace MainFormDesign

// Tahoma 8.25 pt: the font of the window and of its tab strip, list and status bar.
QFont MainFormFont();

// Creates the widgets of the window's client area and status bar at their design places,
// in the no-file state, with model shown in ListView1. Connects nothing: the window wires
// the widgets to its handlers.
void BuildMainFormControls(QMainWindow &window, Engine::TableListModel &model,
                           MainFormControls &ui);
