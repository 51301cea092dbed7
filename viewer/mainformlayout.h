#pragma once
// The main window's layout, in twips: the toolbars span the client area, the tab strip
// follows the window's outer size, the frame the tab strip and the panes the frame; the tab
// strip is enabled while a file is loaded; the find bar, while shown, stands above the
// panes and they start below it; the problems panel, while shown, takes its height from the
// bottom of the window, as if the window were that much shorter, and stands there.
//
// Every step runs even if an earlier one failed: a size a control refuses (negative, as
// when the window is minimised or very small) leaves that control as it was, and the next
// step goes on with the sizes as they then are. Only sizes change; the controls keep their
// design positions, but for the panes below a shown find bar.

#include <QSize>

struct MainFormControls;

// outer: the window's outer (frame) size in pixels; toolbarWidth: the width of its client
// area in pixels.
void LayOutMainForm(const MainFormControls &ui, QSize outer, int toolbarWidth, bool fileLoaded);
