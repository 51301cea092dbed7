#include "viewer/findbar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

FindBar::FindBar(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    setAccessibleName(QStringLiteral("Find bar"));
    setAutoFillBackground(true);

    auto *label = new QLabel(QStringLiteral("&Find:"), this);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("FindText"));
    m_edit->setAccessibleName(QStringLiteral("Find text"));
    m_edit->setAccessibleDescription(
        QStringLiteral("Lists only the records holding this text; in the raw text, Enter or "
                       "F3 selects the next line holding it"));
    m_edit->installEventFilter(this);
    label->setBuddy(m_edit);
    // Focus and the keyboard order reach the text field through the bar.
    setFocusProxy(m_edit);

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("FindStatus"));
    // Named by its text, so that readers hear each result.
    m_status->setAccessibleDescription(QStringLiteral("Find result"));
    m_status->setTextFormat(Qt::PlainText);

    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("FindClose"));
    m_close->setAccessibleName(QStringLiteral("Close find bar"));
    m_close->setToolTip(QStringLiteral("Close (Esc)"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setAutoRaise(true);
    // Esc closes from the keyboard; Tab goes on from the text field to the pane.
    m_close->setFocusPolicy(Qt::NoFocus);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->addWidget(label);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_status);
    layout->addWidget(m_close);

    m_debounce = new QTimer(this);
    m_debounce->setSingleShot(true);
    m_debounce->setInterval(DebounceMs);
    connect(m_debounce, &QTimer::timeout, this, [this] { Q_EMIT searchRequested(text()); });
    connect(m_edit, &QLineEdit::textEdited, m_debounce, qOverload<>(&QTimer::start));
    connect(m_edit, &QLineEdit::textEdited, this, &FindBar::edited);
    connect(m_edit, &QLineEdit::returnPressed, this, [this] {
        if (!flush()) {
            Q_EMIT findNext();
        }
    });
    connect(m_close, &QToolButton::clicked, this, &FindBar::closeRequested);
}

QString FindBar::text() const
{
    return m_edit->text();
}

void FindBar::setText(const QString &text)
{
    m_edit->setText(text);
    m_debounce->stop();
    Q_EMIT searchRequested(text);
}

void FindBar::activate()
{
    m_edit->setFocus(Qt::ShortcutFocusReason);
    m_edit->selectAll();
}

void FindBar::setStatusText(const QString &text)
{
    m_status->setText(text);
}

QString FindBar::statusText() const
{
    return m_status->text();
}

bool FindBar::flush()
{
    if (!m_debounce->isActive()) {
        return false;
    }
    m_debounce->stop();
    Q_EMIT searchRequested(text());
    return true;
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            Q_EMIT closeRequested();
            return true;
        }
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            Q_EMIT tabPressed(key->key() == Qt::Key_Backtab ||
                              key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_F3 && key->modifiers() == Qt::NoModifier) {
            if (!flush()) {
                Q_EMIT findNext();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
