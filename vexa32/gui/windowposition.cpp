#include "windowposition.h"

#include "screen.h"

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
    WidgetWindow adapter(window);
    RestoreWindowPosition(adapter, key);
}

} // namespace Vexa32
