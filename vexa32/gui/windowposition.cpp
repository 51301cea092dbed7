#include "windowposition.h"

#include "screen.h"

#include <QEvent>
#include <QWidget>
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

// Some window systems tell a window its frame only once it is on screen. A size restored
// before that was applied as if there were no frame; when the frame becomes known, the
// client size is reduced once so that the outer size is the one restored.
class FrameFix : public QObject
{
public:
    FrameFix(QWidget *window, QSize outer) : QObject(window), m_outer(outer)
    {
        window->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type != QEvent::Show && type != QEvent::Move && type != QEvent::Resize) {
            return false;
        }
        auto *window = static_cast<QWidget *>(watched);
        if (!window->isVisible()) {
            return false;
        }
        const QSize frame = window->frameGeometry().size() - window->size();
        if (frame.width() <= 0 && frame.height() <= 0) {
            return false;
        }
        window->removeEventFilter(this);
        if (window->windowState() == Qt::WindowNoState) {
            window->resize((m_outer - frame).expandedTo(QSize(0, 0)));
        }
        deleteLater();
        return false;
    }

private:
    QSize m_outer;
};

} // namespace

QRect WidgetWindow::outerRect() const
{
    if (m_normalOuter) {
        return *m_normalOuter;
    }
    const Qt::WindowStates states = m_widget->windowState();
    if (states & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
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
    if (state == 0 && windowState() != 0) {
        m_normalOuter = outerRect();
    } else if (state != 0) {
        m_normalOuter.reset();
    }
    switch (state) {
    case 0:
        m_widget->setWindowState(Qt::WindowNoState);
        break;
    case 1:
        m_widget->setWindowState(Qt::WindowMinimized);
        break;
    case 2:
        m_widget->setWindowState(Qt::WindowMaximized);
        break;
    default:
        throw std::invalid_argument("window state");
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
    m_normalOuter.reset();
    // move() places a window's frame.
    m_widget->move(TwipsToPixelsX(twips), m_widget->pos().y());
}

void WidgetWindow::setTop(double twips)
{
    m_normalOuter.reset();
    m_widget->move(m_widget->pos().x(), TwipsToPixelsY(twips));
}

void WidgetWindow::setWidth(double twips)
{
    m_normalOuter.reset();
    if (twips < 0) {
        throw std::invalid_argument("negative width");
    }
    const QMargins frame = FrameMargins(m_widget);
    const int client = TwipsToPixelsX(twips) - frame.left() - frame.right();
    m_widget->resize(qMax(client, 0), m_widget->height());
}

void WidgetWindow::setHeight(double twips)
{
    m_normalOuter.reset();
    if (twips < 0) {
        throw std::invalid_argument("negative height");
    }
    const QMargins frame = FrameMargins(m_widget);
    const int client = TwipsToPixelsY(twips) - frame.top() - frame.bottom();
    m_widget->resize(m_widget->width(), qMax(client, 0));
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
    // The record holds outer sizes: with its native window created, the window knows the
    // frame the platform puts around it, so the client size comes out right before the
    // window is first shown.
    if (window->isWindow()) {
        window->winId();
    }
    const QRect before = window->frameGeometry();
    WidgetWindow adapter(window);
    RestoreWindowPosition(adapter, key);
    const QRect after = window->frameGeometry();
    if (window->isWindow() && !window->isVisible() && after != before &&
        after.size() == window->size()) {
        new FrameFix(window, after.size());
    }
}

} // namespace Vexa32
