#pragma once
// Keeps a menu's hidden items out of the menu while they are hidden: a hidden action is
// taken out of the menu and put back at its place when it is shown again. Screen readers
// list a menu's actions whether they are shown or not, so an item that is only hidden
// (an unused recent-file slot, a tutorial that is not installed) would be read out.
//
// The order of the menu's items is kept, including items added later. The watcher is a
// child of the menu; the actions stay owned by whoever owned them, and their shortcuts
// work as before (a hidden action's shortcut does nothing either way).

class QMenu;

void KeepHiddenItemsOut(QMenu *menu);
