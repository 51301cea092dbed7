#pragma once
// The widgets and menu items of TBLMainForm beyond its original controls: the find bar,
// the Edit and View menus, the recent files and Options items of the File menu. The window
// owns every widget through Qt's parent chain; this struct only points at them.

#include "tblmainform.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>

class FindBar;
class QAction;
class QMenu;

struct TBLMainForm::Extras
{
    FindBar *findBar = nullptr; // a child of Frame1, above the panes while shown

    QAction *MenuFileOptions = nullptr;
    QAction *MenuFileRecentBlank = nullptr;
    std::array<QAction *, 5> MenuFileRecent{};

    QMenu *MenuEdit = nullptr;
    QAction *MenuEditFind = nullptr;
    QAction *MenuEditFindNext = nullptr;
    QAction *MenuEditCopy = nullptr;
    QAction *MenuEditShowRaw = nullptr;

    QMenu *MenuView = nullptr;
    QAction *MenuViewNextTab = nullptr;
    QAction *MenuViewPreviousTab = nullptr;

    std::function<void()> associate; // installed by the start-up

    // Watches the list and the raw pane. Owned here, not by the window, so that it is gone
    // before the window's children are destroyed (their last events find no filter).
    std::unique_ptr<QObject> eventHook;
};
