#pragma once
// The window's own accessible interfaces for assistive tools (screen readers over the
// desktop's accessibility bus): the raw-text pane as a readable text, the tab strip as a
// list of page tabs with a selected one. InstallAccessibleInterfaces registers the factory
// that supplies them; calling it again does nothing. Widgets of other classes keep the
// interfaces the toolkit gives them.

void InstallAccessibleInterfaces();
