#include "viewer/sortcommand.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QTableView>

namespace {

std::optional<int> AskWithDialog(QWidget *parent, const QStringList &titles, int current)
{
    QInputDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("SortByColumnDialog"));
    dialog.setWindowTitle(QStringLiteral("Sort by column"));
    dialog.setLabelText(QStringLiteral("&Column:"));
    dialog.setComboBoxItems(titles);
    dialog.setComboBoxEditable(false);
    dialog.setTextValue(titles.value(current));
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    const int chosen = int(titles.indexOf(dialog.textValue()));
    return chosen >= 0 ? std::optional<int>(chosen) : std::nullopt;
}

QString Title(const QHeaderView *header, int logical)
{
    return header->model()->headerData(logical, Qt::Horizontal).toString().trimmed();
}

} // namespace

SortCommand::SortCommand(QMenu *menu, QTableView *list) : QObject(menu), m_list(list)
{
    setObjectName(QStringLiteral("SortCommand"));
    m_action = menu->addAction(QStringLiteral("&Sort by column..."));
    m_action->setObjectName(QStringLiteral("MenuViewSortByColumn"));
    m_action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    connect(m_action, &QAction::triggered, this, &SortCommand::run);
    // Offered while a section's records are listed.
    connect(menu, &QMenu::aboutToShow, this,
            [this] { m_action->setEnabled(header() != nullptr && !m_list->isHidden()); });

    QHeaderView *head = list->horizontalHeader();
    head->setFocusPolicy(Qt::TabFocus);
    head->setAccessibleName(QStringLiteral("Column headers"));
    head->setAccessibleDescription(
        QStringLiteral("Left and Right choose a column, Space or Enter sorts the rows by it"));
    head->installEventFilter(this);
    head->viewport()->installEventFilter(this);
    // After the list in the keyboard order.
    QWidget::setTabOrder(list, head);
}

QHeaderView *SortCommand::header() const
{
    QHeaderView *head = m_list->horizontalHeader();
    return head->model() != nullptr && head->count() > 0 ? head : nullptr;
}

void SortCommand::run()
{
    QHeaderView *head = header();
    if (head == nullptr || m_list->isHidden()) {
        return;
    }
    QStringList titles;
    for (int visual = 0; visual < head->count(); ++visual) {
        titles.append(Title(head, head->logicalIndex(visual)));
    }
    const QModelIndex current = m_list->currentIndex();
    int preselected = head->visualIndex(current.isValid() ? current.column() : 0);
    if (head->isSortIndicatorShown()) {
        preselected = head->visualIndex(head->sortIndicatorSection());
    }
    const std::optional<int> chosen =
        (m_ask ? m_ask : AskWithDialog)(m_list->window(), titles, std::max(0, preselected));
    m_list->setFocus(Qt::OtherFocusReason);
    if (!chosen || *chosen < 0 || *chosen >= head->count()) {
        return;
    }
    Q_EMIT head->sectionClicked(head->logicalIndex(*chosen));
}

void SortCommand::focusColumn(int logical)
{
    QHeaderView *head = header();
    if (head == nullptr) {
        return;
    }
    m_focused = logical;
    head->viewport()->update();
    // Readers hear the column as the header's name.
    head->setAccessibleName(QStringLiteral("Column header %1").arg(Title(head, logical)));
}

bool SortCommand::eventFilter(QObject *watched, QEvent *event)
{
    QHeaderView *head = m_list->horizontalHeader();
    if (watched == head && event->type() == QEvent::FocusIn) {
        if (header() != nullptr) {
            const int visual = m_focused >= 0 ? head->visualIndex(m_focused) : -1;
            focusColumn(head->logicalIndex(visual >= 0 ? visual : 0));
        }
    } else if (watched == head && event->type() == QEvent::FocusOut) {
        head->viewport()->update();
    } else if (watched == head && event->type() == QEvent::KeyPress && header() != nullptr) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier) {
            return false;
        }
        const int last = head->count() - 1;
        int visual = std::clamp(head->visualIndex(std::max(0, m_focused)), 0, last);
        switch (key->key()) {
        case Qt::Key_Left:
            visual = std::max(0, visual - 1);
            break;
        case Qt::Key_Right:
            visual = std::min(last, visual + 1);
            break;
        case Qt::Key_Home:
            visual = 0;
            break;
        case Qt::Key_End:
            visual = last;
            break;
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Q_EMIT head->sectionClicked(head->logicalIndex(visual));
            return true;
        default:
            return false;
        }
        focusColumn(head->logicalIndex(visual));
        return true;
    } else if (watched == head->viewport() && event->type() == QEvent::Paint && head->hasFocus() &&
               header() != nullptr && m_focused >= 0 && m_focused < head->count()) {
        // The header paints itself first; the focus frame goes on top of the column.
        head->viewport()->removeEventFilter(this);
        QCoreApplication::sendEvent(head->viewport(), event);
        head->viewport()->installEventFilter(this);
        QPainter painter(head->viewport());
        const int x = head->sectionViewportPosition(m_focused);
        const QRect section(x, 0, head->sectionSize(m_focused), head->viewport()->height());
        painter.setPen(QPen(head->palette().color(QPalette::WindowText), 2));
        painter.drawRect(section.adjusted(1, 1, -1, -1));
        return true;
    }
    return false;
}
