#include "viewer/focusrules.h"

#include "viewer/tabstrip.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <utility>

FocusRules::FocusRules(QWidget *window, TabStrip *tabs, QAbstractItemView *list, QWidget *raw,
                       QWidget *openButton)
    : QObject(window), m_window(window), m_tabs(tabs), m_list(list), m_raw(raw),
      m_openButton(openButton)
{
    setObjectName(QStringLiteral("FocusRules"));
    if (m_openButton) {
        m_openButton->setFocusPolicy(Qt::TabFocus);
    }
    window->installEventFilter(this);
    list->installEventFilter(this);
    raw->installEventFilter(this);
    connect(tabs, &TabStrip::tabsRebuilt, this, [this] {
        if (!m_openPending) {
            m_openPending = true;
            QTimer::singleShot(0, this, &FocusRules::afterOpen);
        }
    });
    connect(tabs, &QTabBar::currentChanged, this, [this] {
        if (m_openPending) {
            return; // part of opening a file
        }
        QWidget *focus = QApplication::focusWidget();
        const bool inPane =
            focus != nullptr && (focus == m_list || focus == m_raw || m_list->isAncestorOf(focus) ||
                                 m_raw->isAncestorOf(focus));
        // The tab bar chose the tab; the load runs in the same signal, the focus after it.
        QTimer::singleShot(0, this, [this, inPane] { afterSectionChange(inPane); });
    });
}

QWidget *FocusRules::paneOnShow() const
{
    if (!m_list->isHidden()) {
        return m_list;
    }
    if (!m_raw->isHidden()) {
        return m_raw;
    }
    return nullptr;
}

bool FocusRules::deferred(const std::function<void()> &step)
{
    if (!m_busy || !m_busy()) {
        return false;
    }
    m_waiting.push_back(step);
    return true;
}

void FocusRules::workEnded()
{
    // As after any other event: once the events now waiting are handled.
    for (const std::function<void()> &step : std::exchange(m_waiting, {})) {
        QTimer::singleShot(0, this, step);
    }
}

void FocusRules::afterOpen()
{
    if (deferred([this] { afterOpen(); })) {
        return;
    }
    m_openPending = false;
    m_paneHadFocus = false;
    if (!m_tabs->isEnabled()) {
        ensureFocus();
        return;
    }
    m_tabs->setFocus(Qt::OtherFocusReason);
    if (m_leftForDialog) {
        activate(10);
    }
}

void FocusRules::activate(int attempts)
{
    // The window manager may pass the activation of a closing dialog to no window, or
    // refuse one request; the window asks again for a while. A dialog or another window
    // the user went to in the meantime is left alone.
    if (m_window->isActiveWindow() || !m_window->isVisible() || attempts <= 0 || !m_leftForDialog ||
        QApplication::activeModalWidget() != nullptr ||
        (QApplication::activeWindow() != nullptr && QApplication::activeWindow() != m_window)) {
        return;
    }
    if (attempts <= 7 && QApplication::activeWindow() == nullptr) {
        // Three requests went unanswered while no window of the program is active: the
        // window manager holds this window active already, and the toolkit missed the
        // keyboard focus coming back to it when the dialog closed. It is told directly.
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
        QApplication::setActiveWindow(m_window);
#else
        m_window->activateWindow();
#endif
        return;
    }
    m_window->raise();
    m_window->activateWindow();
    QTimer::singleShot(150, this, [this, attempts] { activate(attempts - 1); });
}

void FocusRules::afterSectionChange(bool paneHadFocus)
{
    if (deferred([this, paneHadFocus] { afterSectionChange(paneHadFocus); })) {
        return;
    }
    if (m_openPending) {
        return; // the tabs are being rebuilt for a new file
    }
    paneHadFocus = paneHadFocus || m_paneHadFocus;
    m_paneHadFocus = false;
    QWidget *pane = paneOnShow();
    if (!paneHadFocus || pane == nullptr) {
        ensureFocus();
        return;
    }
    if (pane->hasFocus()) {
        // Same widget, new content: readers are told about the focus again.
        if (QAccessible::isActive()) {
            QAccessibleEvent focus(pane, QAccessible::Focus);
            QAccessible::updateAccessibility(&focus);
        }
    } else {
        pane->setFocus(Qt::OtherFocusReason);
    }
    if (pane == m_list && !m_list->currentIndex().isValid() && m_list->model() != nullptr &&
        m_list->model()->rowCount() > 0) {
        m_list->setCurrentIndex(m_list->model()->index(0, 0));
    }
}

void FocusRules::ensureFocus()
{
    if (deferred([this] { ensureFocus(); })) {
        return;
    }
    if (!m_window->isActiveWindow()) {
        return;
    }
    QWidget *focus = QApplication::focusWidget();
    if (focus != nullptr && focus->isVisible() && focus->isEnabled() &&
        focus->window() == m_window) {
        // A focus set while the window was inactive (behind a closing dialog) reaches
        // readers only now.
        if (QAccessible::isActive()) {
            QAccessibleEvent event(focus, QAccessible::Focus);
            QAccessible::updateAccessibility(&event);
        }
        return;
    }
    QWidget *target = nullptr;
    if (m_tabs->isEnabled()) {
        target = paneOnShow();
        if (target == nullptr || !target->isEnabled()) {
            target = m_tabs;
        }
    } else if (m_openButton && m_openButton->isVisible()) {
        target = m_openButton;
    }
    if (target != nullptr) {
        target->setFocus(Qt::OtherFocusReason);
    }
}

bool FocusRules::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_list || watched == m_raw) && event->type() == QEvent::Hide) {
        // A load hides the pane that had the focus: the focus returns to the pane on show.
        auto *pane = static_cast<QWidget *>(watched);
        QWidget *focus = QApplication::focusWidget();
        if (focus != nullptr && (focus == pane || pane->isAncestorOf(focus))) {
            m_paneHadFocus = true;
        }
    }
    if (watched == m_window && event->type() == QEvent::WindowDeactivate) {
        // Deactivated for a dialog of the program's own (the open dialog): when the dialog
        // is gone the window is due to be active again.
        QWidget *modal = QApplication::activeModalWidget();
        m_leftForDialog = modal != nullptr && modal != m_window;
        if (m_leftForDialog) {
            m_dialog = modal;
            modal->installEventFilter(this);
        }
    } else if (watched == m_dialog && event->type() == QEvent::Hide) {
        m_dialog->removeEventFilter(this);
        m_dialog = nullptr;
        QTimer::singleShot(0, this, [this] { activate(10); });
    } else if (watched == m_window && event->type() == QEvent::WindowActivate) {
        m_leftForDialog = false;
    }
    if (watched == m_window &&
        (event->type() == QEvent::WindowActivate || event->type() == QEvent::Show)) {
        QTimer::singleShot(0, this, &FocusRules::ensureFocus);
    }
    return QObject::eventFilter(watched, event);
}
