#pragma once
// FindBar: the strip above the list or the raw text with a text field, a count and a close
// button. It decides nothing itself: it reports the text once typing has paused
// (searchRequested, after DebounceMs), Enter and F3 (findNext), and Esc or the close button
// (closeRequested); each change typed is announced at once (edited), so that a search still
// running for the text before can stop. The window narrows the list or searches the raw text and
// shows the outcome with setStatusText.

#include <QWidget>

class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

class FindBar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int DebounceMs = 150;

    explicit FindBar(QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    // Focuses the text field and selects its text.
    void activate();
    void setStatusText(const QString &text);
    QString statusText() const;
    // Reports a pending change at once; false when none was pending. Enter and F3 right
    // after typing act on the new text (the first match) rather than going past it.
    bool flush();

Q_SIGNALS:
    void searchRequested(const QString &text);
    void edited();
    void findNext();
    void closeRequested();
    // Tab or Shift+Tab in the text field: the window moves the focus on to its panes.
    void tabPressed(bool backward);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_edit = nullptr;
    QLabel *m_status = nullptr;
    QToolButton *m_close = nullptr;
    QTimer *m_debounce = nullptr;
};
