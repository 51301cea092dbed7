#pragma once
// The main window's menu bar: File (with the recent files), Edit, View and Help, with their
// captions and shortcuts. The items are created in the no-file state; the window connects
// them to its handlers.

class QMenuBar;
struct MainFormControls;

void BuildMainFormMenus(QMenuBar &bar, MainFormControls &ui);

// The items that act on the record list (View > Sort by column...), added once the list
// exists; then every menu keeps its hidden items out of what readers list.
void AddListCommands(QMenuBar &bar, MainFormControls &ui);

// Finding, copying, switching sections and reloading need a loaded file: their items are
// enabled only while one is.
void EnableFileCommands(const MainFormControls &ui, bool fileLoaded);
