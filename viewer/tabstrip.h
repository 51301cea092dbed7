#pragma once
// TabStrip: a tab bar that, like a tab strip control, also draws the pane below its tabs
// over its whole height, and a solid frame around the current tab while it has the focus.
// The panes of the window lie on top of that pane; the strip owns nothing but its tabs.

#include <QTabBar>

class TabStrip : public QTabBar
{
    Q_OBJECT
public:
    explicit TabStrip(QWidget *parent = nullptr);

Q_SIGNALS:
    // A tab was added or removed: the tabs are being rebuilt for a newly opened file.
    void tabsRebuilt();

protected:
    void paintEvent(QPaintEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void tabInserted(int index) override;
    void tabRemoved(int index) override;

private:
    int m_current = -1; // the current tab before a change, for screen readers
};
