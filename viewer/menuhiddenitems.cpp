#include "viewer/menuhiddenitems.h"

#include <QAction>
#include <QActionEvent>
#include <QList>
#include <QMenu>
#include <QPointer>

namespace {

class HiddenItems : public QObject
{
public:
    explicit HiddenItems(QMenu *menu) : QObject(menu), m_menu(menu)
    {
        setObjectName(QStringLiteral("HiddenItems"));
        for (QAction *action : menu->actions()) {
            adopt(action);
        }
        menu->installEventFilter(this);
        sync();
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_menu || m_syncing) {
            return false;
        }
        if (event->type() == QEvent::ActionAdded) {
            // Someone else added an item: it goes in the order where it was put.
            QAction *action = static_cast<QActionEvent *>(event)->action();
            QAction *before = static_cast<QActionEvent *>(event)->before();
            if (!m_all.contains(action)) {
                const qsizetype at = before != nullptr ? m_all.indexOf(before) : -1;
                m_all.insert(at >= 0 ? at : m_all.size(), action);
                watch(action);
                // Put in place (or out, when hidden) once the adding is done.
                QMetaObject::invokeMethod(this, &HiddenItems::sync, Qt::QueuedConnection);
            }
        } else if (event->type() == QEvent::ActionRemoved) {
            m_all.removeAll(static_cast<QActionEvent *>(event)->action());
        }
        return false;
    }

private:
    void adopt(QAction *action)
    {
        m_all.append(action);
        watch(action);
    }

    void watch(QAction *action)
    {
        connect(action, &QAction::visibleChanged, this, &HiddenItems::sync, Qt::UniqueConnection);
        connect(action, &QObject::destroyed, this, [this, action] { m_all.removeAll(action); });
    }

    void sync()
    {
        m_syncing = true;
        QList<QAction *> shown;
        for (const QPointer<QAction> &action : std::as_const(m_all)) {
            if (action && action->isVisible()) {
                shown.append(action);
            }
        }
        if (shown != m_menu->actions()) {
            for (QAction *action : m_menu->actions()) {
                m_menu->removeAction(action);
            }
            m_menu->addActions(shown);
        }
        m_syncing = false;
    }

    QMenu *m_menu;
    QList<QPointer<QAction>> m_all;
    bool m_syncing = false;
};

} // namespace

void KeepHiddenItemsOut(QMenu *menu)
{
    if (menu->findChild<HiddenItems *>(QStringLiteral("HiddenItems"), Qt::FindDirectChildrenOnly) ==
        nullptr) {
        new HiddenItems(menu);
    }
}
