#include "viewer/tabstripaccessible.h"

#include "viewer/tabstrip.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

namespace {

// "&&" in a tab's label stands for one "&" of the section's name.
QString TabName(const QTabBar *tabs, int index)
{
    QString name = tabs->accessibleTabName(index);
    if (name.isEmpty()) {
        name = tabs->tabText(index);
        name.replace(QLatin1String("&&"), QLatin1String("&"));
    }
    return name;
}

QList<QToolButton *> ScrollButtons(const QTabBar *tabs)
{
    QList<QToolButton *> buttons;
    for (QToolButton *button : tabs->findChildren<QToolButton *>(Qt::FindDirectChildrenOnly)) {
        if (button->isVisible()) {
            buttons.append(button);
        }
    }
    return buttons;
}

class TabAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    TabAccessible(QTabBar *tabs, int index) : m_tabs(tabs), m_index(index) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
    }
    bool isValid() const override { return m_tabs && m_index < m_tabs->count(); }
    QObject *object() const override { return nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_tabs.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    void setText(QAccessible::Text, const QString &) override {}

    QString text(QAccessible::Text type) const override
    {
        if (!isValid()) {
            return {};
        }
        switch (type) {
        case QAccessible::Name:
            return TabName(m_tabs, m_index);
        case QAccessible::Description:
            return m_tabs->tabToolTip(m_index);
        default:
            return {};
        }
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool current = m_tabs->currentIndex() == m_index;
        state.selectable = true;
        state.selected = current;
        state.focusable = m_tabs->focusPolicy() != Qt::NoFocus;
        state.focused = current && m_tabs->hasFocus();
        state.disabled = !m_tabs->isEnabled() || !m_tabs->isTabEnabled(m_index);
        state.invisible = !m_tabs->isVisible() || !m_tabs->isTabVisible(m_index);
        return state;
    }

    QRect rect() const override
    {
        if (!isValid()) {
            return {};
        }
        const QRect tab = m_tabs->tabRect(m_index);
        return QRect(m_tabs->mapToGlobal(tab.topLeft()), tab.size());
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (isValid() && m_tabs->isEnabled() && name == pressAction()) {
            m_tabs->setCurrentIndex(m_index);
        }
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

    int index() const { return m_index; }

private:
    QPointer<QTabBar> m_tabs;
    int m_index;
};

class TabStripAccessible : public QAccessibleWidget
{
public:
    explicit TabStripAccessible(TabStrip *strip)
        : QAccessibleWidget(strip, QAccessible::PageTabList)
    {
    }

    ~TabStripAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_tabs)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    QString text(QAccessible::Text type) const override
    {
        if (type == QAccessible::Name) {
            const QString name = tabs()->accessibleName();
            return name.isEmpty() ? QStringLiteral("Sections") : name;
        }
        return QAccessibleWidget::text(type);
    }

    int childCount() const override { return tabs()->count() + int(ScrollButtons(tabs()).size()); }

    QAccessibleInterface *child(int index) const override
    {
        const int count = tabs()->count();
        if (index < 0) {
            return nullptr;
        }
        if (index < count) {
            if (const QAccessible::Id id = m_tabs.value(index)) {
                return QAccessible::accessibleInterface(id);
            }
            auto *tab = new TabAccessible(tabs(), index);
            m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
            return tab;
        }
        const QList<QToolButton *> buttons = ScrollButtons(tabs());
        if (index - count < buttons.size()) {
            return QAccessible::queryAccessibleInterface(buttons[index - count]);
        }
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (child == nullptr) {
            return -1;
        }
        if (child->role() == QAccessible::PageTab && child->parent() == this) {
            return static_cast<const TabAccessible *>(child)->index();
        }
        const int button = int(ScrollButtons(tabs()).indexOf(child->object()));
        return button >= 0 ? tabs()->count() + button : -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface *candidate = child(i);
            if (candidate != nullptr && candidate->rect().contains(x, y)) {
                return candidate;
            }
        }
        return nullptr;
    }

    // Forgets the tabs that are gone, so that no reader finds a stale one.
    void prune()
    {
        const int count = tabs()->count();
        for (auto it = m_tabs.begin(); it != m_tabs.end();) {
            if (it.key() >= count) {
                QAccessible::deleteAccessibleInterface(it.value());
                it = m_tabs.erase(it);
            } else {
                ++it;
            }
        }
    }

private:
    QTabBar *tabs() const { return static_cast<QTabBar *>(widget()); }

    mutable QHash<int, QAccessible::Id> m_tabs;
};

} // namespace

namespace TabStripAccessibility {

QAccessibleInterface *Create(TabStrip *strip)
{
    return new TabStripAccessible(strip);
}

void TabsChanged(TabStrip *strip)
{
    if (!QAccessible::isActive() || strip->property("tabsChangePending").toBool()) {
        return;
    }
    strip->setProperty("tabsChangePending", true);
    QTimer::singleShot(0, strip, [strip] {
        strip->setProperty("tabsChangePending", false);
        auto *iface =
            dynamic_cast<TabStripAccessible *>(QAccessible::queryAccessibleInterface(strip));
        if (iface == nullptr) {
            return;
        }
        iface->prune();
        // Each tab is announced as added, with its (possibly new) name.
        for (int i = 0; i < strip->count(); ++i) {
            QAccessibleEvent added(strip, QAccessible::ObjectCreated);
            added.setChild(i);
            QAccessible::updateAccessibility(&added);
            QAccessibleEvent renamed(strip, QAccessible::NameChanged);
            renamed.setChild(i);
            QAccessible::updateAccessibility(&renamed);
        }
    });
}

void CurrentChanged(TabStrip *strip, int previous)
{
    if (!QAccessible::isActive() || previous < 0 || previous >= strip->count() ||
        previous == strip->currentIndex()) {
        return;
    }
    // The tab bar announces the new tab; the old one's selected state ends here.
    QAccessibleEvent deselected(strip, QAccessible::SelectionRemove);
    deselected.setChild(previous);
    QAccessible::updateAccessibility(&deselected);
}

} // namespace TabStripAccessibility
