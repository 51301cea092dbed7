#pragma once
// Where the keyboard focus goes in the main window, so that it is always somewhere a
// screen reader can name:
//
// - with no file loaded, on the toolbar's open button (everything else is disabled);
// - after a file was opened, on the tab strip;
// - after any dialog of the program, in the window, active again (the window manager may
//   leave it inactive when the dialog closes);
// - after a section was listed from a pane, on the pane on show, announced again, since
//   the pane's content changed under the focus;
// - whenever the window becomes active (after any dialog) and nothing visible has the
//   focus, on the pane on show, else the tab strip.
//
// FocusRules watches the widgets it is given and acts after the event that changed them
// has been handled, never inside a load: while busy() holds (the window works on something
// long and lets its events run meanwhile), each step waits for workEnded(). It is a child of the
// window and points at the window's widgets, which outlive it.

#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QAbstractItemView;
class QTabBar;
class QWidget;
class TabStrip;

class FocusRules : public QObject
{
    Q_OBJECT
public:
    FocusRules(QWidget *window, TabStrip *tabs, QAbstractItemView *list, QWidget *raw,
               QWidget *openButton);

    // Puts the focus where the rules want it when no visible widget of the window has it;
    // otherwise tells readers where it is.
    void ensureFocus();
    void setBusy(std::function<bool()> busy) { m_busy = std::move(busy); }
    // The long work has ended: the steps that waited for it run.
    void workEnded();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *paneOnShow() const;
    void afterOpen();
    void activate(int attempts);
    void afterSectionChange(bool paneHadFocus);
    void later(void (FocusRules::*step)());
    // True when the window is busy: step then waits for workEnded().
    bool deferred(const std::function<void()> &step);

    QWidget *m_window;
    std::function<bool()> m_busy;
    std::vector<std::function<void()>> m_waiting;
    TabStrip *m_tabs;
    QAbstractItemView *m_list;
    QWidget *m_raw;
    QPointer<QWidget> m_openButton;
    QPointer<QWidget> m_dialog; // the dialog the window was left for
    bool m_openPending = false;
    bool m_paneHadFocus = false;
    bool m_leftForDialog = false; // inactive since a dialog of the program opened
};
