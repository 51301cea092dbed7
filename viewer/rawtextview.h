#pragma once
// RawTextView: the read-only raw-text pane (RichTextBox1). Shows a RawText in a fixed-pitch
// font and paints only the lines in view, so a file of a hundred megabytes scrolls as fast
// as a small one. Tabs are expanded to stops of 8 columns when painted.
//
// Selection is by whole lines: click a line, drag or Shift+click to extend, Ctrl+A for all;
// Ctrl+C (and the context menu) copies the selected lines, joined by line feeds. Arrow keys,
// Page Up/Down, Home/End and Ctrl+Home/End scroll and move the selection; the mouse wheel
// scrolls. A frame of the text colour shows the focus. Screen readers read the pane as a
// text (rawtextaccessible.h). The view owns its RawText.

#include "viewer/engine/rawtext.h"

#include <QAbstractScrollArea>
#include <vector>

class RawTextView : public QAbstractScrollArea
{
    Q_OBJECT
public:
    explicit RawTextView(QWidget *parent = nullptr);

    void setRawText(Engine::RawText text);
    const Engine::RawText &rawText() const { return m_text; }
    void clear();

    // The selected lines as [first, last] (from 0), or first = -1 when nothing is selected.
    qsizetype selectionFirst() const;
    qsizetype selectionLast() const;
    void selectLines(qsizetype anchor, qsizetype current);
    void selectAll();
    // The selected lines' text, joined by "\n".
    QString selectedText() const;
    void copy() const;

    // The first line in view.
    qsizetype topLine() const;
    // Scrolls so that line is in view, a third from the top when it was not.
    void revealLine(qsizetype line);

    // Where each line starts in the text as screen readers see it (the lines joined by line
    // feeds), in UTF-16 units; the last entry is the text's length plus one. Built the
    // first time it is asked for after a new text.
    const std::vector<qint64> &characterOffsets() const;

    // Columns first..last (from 0) of a line's bytes as painted: tabs expanded to stops of
    // 8, control characters as blanks. Only the bytes up to the last column are decoded,
    // so a line of a hundred megabytes costs no more than the part on screen.
    static QString VisibleColumns(QByteArrayView bytes, bool utf8, qsizetype first, qsizetype last);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    friend class RawTextAccessible;
    void updateScrollBars();
    qsizetype lineAt(int y) const;
    qsizetype visibleLines() const;
    void moveCurrent(qsizetype line, bool extend);
    void ensureVisible(qsizetype line);
    int lineHeight() const;
    int charWidth() const;

    Engine::RawText m_text;
    qsizetype m_longestLine = 0; // in characters, tabs counted as one stop
    qsizetype m_anchor = -1;
    qsizetype m_current = -1;
    mutable std::vector<qint64> m_offsets;
};
