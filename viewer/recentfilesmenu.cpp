#include "viewer/recentfilesmenu.h"

#include "vexa32/globals.h"
#include "vexa32/paths.h"
#include "viewer/engine/recentfiles.h"

#include <QAction>
#include <QMenu>

static_assert(Engine::MaxRecentFiles == 5, "one menu item per kept file");

RecentFilesMenu::RecentFilesMenu(QMenu *menu, QAction *before) : QObject(menu)
{
    m_separator = menu->insertSeparator(before);
    m_separator->setObjectName(QStringLiteral("MenuFileRecentBlank"));
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        auto *item = new QAction(menu);
        item->setObjectName(QStringLiteral("MenuFileRecent%1").arg(i + 1));
        menu->insertAction(before, item);
        connect(item, &QAction::triggered, this, [this, i] { choose(static_cast<int>(i)); });
        m_items[i] = item;
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { refresh(); });
    refresh();
}

void RecentFilesMenu::note(const QString &path)
{
    if (Vexa32::pfad_main.isEmpty()) {
        return;
    }
    Engine::StoreRecentFiles(Engine::AddedRecentFile(Engine::LoadRecentFiles(), path));
    refresh();
}

void RecentFilesMenu::refresh()
{
    QStringList paths;
    if (!Vexa32::pfad_main.isEmpty()) {
        const QStringList stored = Engine::LoadRecentFiles();
        paths = Engine::ExistingRecentFiles(
            stored, [](const QString &path) { return Vexa32::FileExists(path); });
        if (paths != stored) {
            Engine::StoreRecentFiles(paths);
        }
    }
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        QAction *item = m_items[i];
        const bool used = qsizetype(i) < paths.size();
        item->setVisible(used);
        QString path = used ? paths[qsizetype(i)] : QString();
        item->setData(path);
        item->setText(
            QStringLiteral("&%1 %2").arg(i + 1).arg(path.replace(u'&', QLatin1String("&&"))));
    }
    m_separator->setVisible(!paths.isEmpty());
}

void RecentFilesMenu::choose(int index)
{
    if (index < 0 || index >= int(m_items.size())) {
        return;
    }
    const QString path = m_items[static_cast<std::size_t>(index)]->data().toString();
    if (!path.isEmpty()) {
        Q_EMIT chosen(path);
    }
}
