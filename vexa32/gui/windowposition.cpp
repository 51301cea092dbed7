#include "vexa32/gui/windowposition.h"

#include "vexa32/gui/screen.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <stdexcept>

namespace Vexa32 {

namespace {

// Frame size around the client area: known once the window manager has framed the window.
QMargins FrameMargins(const QWidget *widget)
{
    const QRect frame = widget->frameGeometry();
    const QRect client = widget->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

bool IsNormal(const QWidget *widget)
{
    return (widget->windowState() &
            (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
}

// How long a shown window waits for a frame before it counts as having none.
constexpr int FrameWaitMs = 300;

} // namespace

// The normal outer rectangle of one top-level window, kept as a child of the window.
// It follows the window's moves and sizes while the window is shown in the normal state
// with a known frame, and it holds a restored rectangle until the frame is known.
class WindowPlacement : public QObject
{
public:
    explicit WindowPlacement(QWidget *window) : QObject(window), m_window(window)
    {
        setObjectName(QStringLiteral("WindowPlacement"));
        window->installEventFilter(this);
    }

    static WindowPlacement *Of(QWidget *window)
    {
        for (QObject *child : window->children()) {
            if (auto *placement = dynamic_cast<WindowPlacement *>(child)) {
                return placement;
            }
        }
        return nullptr;
    }

    bool known() const { return m_known; }
    QRect outer() const { return m_outer; }

    // A rectangle set by a restore step; pendingWidth and pendingHeight say which sizes
    // are outer sizes still to be split into frame and client area.
    void set(const QRect &outer, bool pendingWidth, bool pendingHeight)
    {
        m_outer = outer;
        m_known = true;
        m_pendingWidth = pendingWidth;
        m_pendingHeight = pendingHeight;
    }
    bool pendingWidth() const { return m_pendingWidth; }
    bool pendingHeight() const { return m_pendingHeight; }

    // The window's frame, when it is shown, framed and normal.
    bool frameKnown() const
    {
        return m_window->isVisible() && m_window->frameGeometry() != m_window->geometry();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (watched == m_window) {
            if (type == QEvent::Show) {
                watchHandle();
            } else if (type == QEvent::Move || type == QEvent::Resize) {
                if (pending()) {
                    if (frameKnown()) {
                        settle();
                    }
                } else {
                    follow();
                }
            } else if (type == QEvent::WindowStateChange && pending() && IsNormal(m_window)) {
                // The frame of the normal state is known with the geometry that follows the
                // change; a window manager that sends none leaves the frame as it is.
                settleLater();
            }
        } else if (watched == m_handle && type == QEvent::Expose && m_handle->isExposed() &&
                   pending()) {
            if (frameKnown()) {
                settle();
            } else {
                // No frame yet: without a window manager there will be none.
                settleLater();
            }
        }
        return false;
    }

private:
    bool pending() const { return m_known && (m_pendingWidth || m_pendingHeight); }

    void settleLater()
    {
        QTimer::singleShot(FrameWaitMs, this, [this] {
            if (pending()) {
                settle();
            }
        });
    }

    void watchHandle()
    {
        QWindow *handle = m_window->windowHandle();
        if (handle != nullptr && handle != m_handle) {
            if (m_handle) {
                m_handle->removeEventFilter(this);
            }
            m_handle = handle;
            handle->installEventFilter(this);
        }
    }

    // The frame is known (or there is none): the client area takes the outer size less
    // the frame, and the frame's corner goes where the rectangle says.
    void settle()
    {
        if (!m_window->isVisible() || !IsNormal(m_window)) {
            return;
        }
        const QMargins frame = FrameMargins(m_window);
        QSize client = m_window->size();
        if (m_pendingWidth) {
            client.setWidth(qMax(m_outer.width() - frame.left() - frame.right(), 0));
        }
        if (m_pendingHeight) {
            client.setHeight(qMax(m_outer.height() - frame.top() - frame.bottom(), 0));
        }
        const QRect wanted(m_outer.topLeft(),
                           QSize(client.width() + frame.left() + frame.right(),
                                 client.height() + frame.top() + frame.bottom()));
        m_pendingWidth = m_pendingHeight = false;
        m_outer = wanted;
        if (client != m_window->size()) {
            m_window->resize(client);
        }
        if (m_window->frameGeometry().topLeft() != wanted.topLeft()) {
            m_window->move(wanted.topLeft());
        }
        // A window manager may refuse the size (a minimum size): keep what it gave.
        if (m_window->frameGeometry().size() != wanted.size()) {
            m_outer.setSize(m_window->frameGeometry().size());
        }
    }

    // Moves and sizes made by the user or the window manager in the normal state.
    void follow()
    {
        if (m_window->isVisible() && IsNormal(m_window) && frameKnown()) {
            m_outer = m_window->frameGeometry();
            m_known = true;
        }
    }

    QWidget *m_window;
    QPointer<QWindow> m_handle;
    QRect m_outer;
    bool m_known = false;
    bool m_pendingWidth = false;
    bool m_pendingHeight = false;
};

WidgetWindow::WidgetWindow(QWidget *widget) : m_widget(widget)
{
    m_placement = WindowPlacement::Of(widget);
    if (m_placement == nullptr && widget->isWindow()) {
        m_placement = new WindowPlacement(widget);
    }
}

QRect WidgetWindow::outerRect() const
{
    if (m_placement != nullptr && m_placement->known()) {
        return m_placement->outer();
    }
    if (!IsNormal(m_widget)) {
        const QRect normal = m_widget->normalGeometry();
        if (normal.isValid()) {
            return normal.marginsAdded(FrameMargins(m_widget));
        }
    }
    return m_widget->frameGeometry();
}

int WidgetWindow::windowState() const
{
    const Qt::WindowStates states = m_widget->windowState();
    if (states & Qt::WindowMinimized) {
        return 1;
    }
    if (states & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        return 2;
    }
    return 0;
}

void WidgetWindow::setWindowState(int state)
{
    if (state < 0 || state > 2) {
        throw std::invalid_argument("window state");
    }
    // The normal rectangle is taken before the state changes: a window manager applies the
    // change later than it is asked to, and a maximised frame differs from the normal one.
    if (m_placement != nullptr && !m_placement->known()) {
        const QRect outer = outerRect();
        m_placement->set(outer, false, false);
    }
    switch (state) {
    case 0:
        m_widget->setWindowState(
            m_widget->windowState() &
            ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
        break;
    case 1:
        m_widget->setWindowState((m_widget->windowState() & ~Qt::WindowFullScreen) |
                                 Qt::WindowMinimized);
        break;
    default:
        m_widget->setWindowState(Qt::WindowMaximized);
        break;
    }
}

double WidgetWindow::left() const
{
    return PixelsToTwipsX(outerRect().x());
}

double WidgetWindow::top() const
{
    return PixelsToTwipsY(outerRect().y());
}

double WidgetWindow::width() const
{
    return PixelsToTwipsX(outerRect().width());
}

double WidgetWindow::height() const
{
    return PixelsToTwipsY(outerRect().height());
}

void WidgetWindow::setLeft(double twips)
{
    QRect outer = outerRect();
    outer.moveLeft(TwipsToPixelsX(twips));
    // move() places a window's frame, also before the window manager has framed it.
    m_widget->move(outer.topLeft());
    if (m_placement != nullptr) {
        m_placement->set(outer, m_placement->pendingWidth(), m_placement->pendingHeight());
    }
}

void WidgetWindow::setTop(double twips)
{
    QRect outer = outerRect();
    outer.moveTop(TwipsToPixelsY(twips));
    m_widget->move(outer.topLeft());
    if (m_placement != nullptr) {
        m_placement->set(outer, m_placement->pendingWidth(), m_placement->pendingHeight());
    }
}

void WidgetWindow::setWidth(double twips)
{
    if (twips < 0) {
        throw std::invalid_argument("negative width");
    }
    QRect outer = outerRect();
    outer.setWidth(TwipsToPixelsX(twips));
    const bool framed = m_placement == nullptr || m_placement->frameKnown();
    const QMargins frame = FrameMargins(m_widget);
    const int client = outer.width() - (framed ? frame.left() + frame.right() : 0);
    m_widget->resize(qMax(client, 0), m_widget->height());
    if (m_placement != nullptr) {
        m_placement->set(outer, !framed, m_placement->pendingHeight());
    }
}

void WidgetWindow::setHeight(double twips)
{
    if (twips < 0) {
        throw std::invalid_argument("negative height");
    }
    QRect outer = outerRect();
    outer.setHeight(TwipsToPixelsY(twips));
    const bool framed = m_placement == nullptr || m_placement->frameKnown();
    const QMargins frame = FrameMargins(m_widget);
    const int client = outer.height() - (framed ? frame.top() + frame.bottom() : 0);
    m_widget->resize(m_widget->width(), qMax(client, 0));
    if (m_placement != nullptr) {
        m_placement->set(outer, m_placement->pendingWidth(), !framed);
    }
}

double WidgetWindow::screenWidth() const
{
    return PrimaryScreenTwips().width();
}

double WidgetWindow::screenHeight() const
{
    return PrimaryScreenTwips().height();
}

void SaveWindowPosition(QWidget *window, const QString &key)
{
    if (window == nullptr) {
        return;
    }
    WidgetWindow adapter(window);
    SaveWindowPosition(adapter, key);
}

void RestoreWindowPosition(QWidget *window, const QString &key)
{
    if (window == nullptr) {
        return;
    }
    // The window is not created here: a window created before it is shown would be placed
    // by its client area instead of its frame.
    WidgetWindow adapter(window);
    RestoreWindowPosition(adapter, key);
}

} // namespace Vexa32
