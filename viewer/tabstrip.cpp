#include "viewer/tabstrip.h"

#include "viewer/accessibleinterfaces.h"
#include "viewer/tabstripaccessible.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>

TabStrip::TabStrip(QWidget *parent) : QTabBar(parent)
{
    setDrawBase(false);
    setExpanding(false);
    InstallAccessibleInterfaces();
    connect(this, &QTabBar::currentChanged, this, [this](int index) {
        TabStripAccessibility::CurrentChanged(this, m_current);
        m_current = index;
    });
}

void TabStrip::tabInserted(int index)
{
    QTabBar::tabInserted(index);
    m_current = currentIndex();
    TabStripAccessibility::TabsChanged(this);
    Q_EMIT tabsRebuilt();
}

void TabStrip::tabRemoved(int index)
{
    QTabBar::tabRemoved(index);
    m_current = currentIndex();
    TabStripAccessibility::TabsChanged(this);
    Q_EMIT tabsRebuilt();
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
    if (hasFocus() && currentIndex() >= 0) {
        // The focused tab gets a solid frame of the text colour, whatever the style draws.
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        painter.setBrush(Qt::NoBrush);
        const QRect tab = tabRect(currentIndex()).adjusted(3, 3, -4, -3);
        painter.drawRect(tab);
        painter.drawRect(tab.adjusted(1, 1, -1, -1));
    }
}

void TabStrip::focusInEvent(QFocusEvent *event)
{
    QTabBar::focusInEvent(event);
    update();
}

void TabStrip::focusOutEvent(QFocusEvent *event)
{
    QTabBar::focusOutEvent(event);
    update();
}
