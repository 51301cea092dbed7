#pragma once
// What a screen reader reads of the tab strip: a page-tab list named after its accessible
// name ("Sections"), one page tab per section with the current one selected, and the
// strip's scroll buttons while they are shown. Tabs are children by position; when the
// tabs are rebuilt, readers are told once, after the rebuild, that the children changed.

class QAccessibleInterface;
class TabStrip;

namespace TabStripAccessibility {

// The accessible interface of a TabStrip (used by the window's accessibility factory).
QAccessibleInterface *Create(TabStrip *strip);

// Tabs were added or removed; coalesced into one notice after the current event.
void TabsChanged(TabStrip *strip);
// The current tab moved from previous (or -1) to the strip's current tab.
void CurrentChanged(TabStrip *strip, int previous);

} // namespace TabStripAccessibility
