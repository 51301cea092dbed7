#pragma once
// What a screen reader reads of the raw-text pane: the pane's lines joined by line feeds,
// the caret at the start of the current line, the selected lines as one selection, lines
// and words at an offset, and the geometry of characters. The view tells readers about a
// new text, a moved caret and a changed selection through the functions below; they cost
// nothing while no assistive tool listens.
//
// Character offsets count UTF-16 units of the decoded text. The offset of every line is
// computed once per text, the first time a reader asks; a file of millions of lines is
// not decoded for that (Windows-1252 bytes are one unit each).

#include <QString>

class QAccessibleInterface;
class QObject;
class RawTextView;

namespace RawTextAccessibility {

// The accessible interface of a RawTextView (used by the window's accessibility factory).
QAccessibleInterface *Create(RawTextView *view);

// The start of the pane's text as change events carry it; empty while no reader listens.
// A change event carries at most EventTextLimit units: readers ask for the rest.
constexpr int EventTextLimit = 1 << 20;
QString EventText(const RawTextView *view);
// The text was replaced: oldText is EventText() from before the change.
void TextReplaced(RawTextView *view, const QString &oldText);
// The selected lines or the current line changed.
void SelectionChanged(RawTextView *view);

} // namespace RawTextAccessibility
