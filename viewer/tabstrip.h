#pragma once
// TabStrip: a tab bar that, like a tab strip control, also draws the pane below its tabs
// over its whole height. The panes of the window lie on top of that pane; the strip owns
// nothing but its tabs.

#include <QTabBar>

class TabStrip : public QTabBar
{
    Q_OBJECT
public:
    explicit TabStrip(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
