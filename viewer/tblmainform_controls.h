#pragma once
// The widgets of TBLMainForm, shared by the files that build and drive the window. The
// window owns every widget through Qt's parent chain; this struct only points at them.

#include "tblmainform.h"

#include <array>

class QAction;
class QFrame;
class QLabel;
class QPlainTextEdit;
class QStatusBar;
class QTabBar;
class QTableView;
class QToolBar;
class QWidget;
class RawTextView;

struct TBLMainForm::Controls
{
    QWidget *client = nullptr; // the form's client area below the menu bar
    QToolBar *Toolbar1 = nullptr;
    QAction *Toolbar1Open = nullptr;
    QToolBar *Toolbar2 = nullptr;
    QTabBar *TabStrip1 = nullptr;
    QFrame *Frame1 = nullptr;
    QTableView *ListView1 = nullptr;
    QPlainTextEdit *Text1 = nullptr;
    RawTextView *RichTextBox1 = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    std::array<QLabel *, 3> panels{};

    QAction *MenuFileOpen = nullptr;
    QAction *MenuBlank0 = nullptr;
    QAction *MenuFileExit = nullptr;
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
} // namespace MainFormDesign
