#include "viewer/tabstrip.h"

#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

TabStrip::TabStrip(QWidget *parent) : QTabBar(parent)
{
    setDrawBase(false);
    setExpanding(false);
}

void TabStrip::paintEvent(QPaintEvent *event)
{
    {
        QStylePainter painter(this);
        QStyleOptionTabWidgetFrame frame;
        frame.initFrom(this);
        frame.shape = shape();
        const int tabsHeight = count() > 0 ? tabRect(0).height() : 0;
        const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
        frame.rect = QRect(0, tabsHeight - overlap, width(), height() - tabsHeight + overlap);
        // Beside the tabs the window shows through, whatever colour the pane has.
        if (parentWidget() != nullptr) {
            painter.fillRect(QRect(0, 0, width(), frame.rect.top()),
                             parentWidget()->palette().window());
        }
        frame.tabBarSize = QSize(width(), tabsHeight);
        frame.tabBarRect = QRect(0, 0, width(), tabsHeight);
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
    }
    QTabBar::paintEvent(event);
}
