#pragma once
// RecentFilesMenu: the recently opened table files in the File menu, newest first, as the
// items "&1 <path>" to "&5 <path>" under a separator of their own. The list is kept in the
// settings (RecentFiles); files that are gone are dropped each time the menu opens. Picking
// an item emits chosen with its path; opening it is the window's business.
//
// The items belong to the menu. Without the program's folder (pfad_main empty, a window
// made outside the start-up) the list is empty and nothing is stored.

#include <QObject>
#include <QString>
#include <array>

class QAction;
class QMenu;

class RecentFilesMenu : public QObject
{
    Q_OBJECT
public:
    // Inserts the separator and the items into menu before the item before, shown as the
    // stored list says, and becomes a child of menu.
    RecentFilesMenu(QMenu *menu, QAction *before);

    // path was opened: it moves to the front of the list.
    void note(const QString &path);
    // Reads the list again, drops the files that are gone and shows what is left.
    void refresh();
    // Emits chosen with the path of item index (from 0, newest first); nothing happens for
    // an index out of range or an item not in use.
    void choose(int index);

Q_SIGNALS:
    void chosen(const QString &path);

private:
    QAction *m_separator = nullptr;
    std::array<QAction *, 5> m_items{};
};
