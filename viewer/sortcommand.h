#pragma once
// Sorting from the keyboard: View > "Sort by column..." (Ctrl+Shift+S) asks for a column
// and clicks its header, and the list's header takes the focus by Tab, moves between its
// columns with Left/Right/Home/End and clicks the focused one with Space or Enter. Both go
// through the header's click signal, so they sort exactly as a mouse click on the header.
//
// The command belongs to the menu it is added to (a child of it); it finds the list's
// header when it runs, so a list without columns makes it do nothing. The question is a
// replaceable function so that tests answer it without a modal dialog.

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class QAction;
class QHeaderView;
class QMenu;
class QTableView;
class QWidget;

class SortCommand : public QObject
{
    Q_OBJECT
public:
    // Asks for one of titles (current is preselected); the index chosen, or nullopt.
    using AskColumn =
        std::function<std::optional<int>(QWidget *parent, const QStringList &titles, int current)>;

    SortCommand(QMenu *menu, QTableView *list);

    QAction *action() const { return m_action; }
    void setAskColumn(AskColumn ask) { m_ask = std::move(ask); }
    // Asks for a column and sorts by it; nothing happens when the list shows no columns.
    void run();
    // The column the header's keys act on (a logical index), -1 before the header had
    // the focus.
    int focusedColumn() const { return m_focused; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHeaderView *header() const;
    void focusColumn(int logical);

    QTableView *m_list;
    QAction *m_action = nullptr;
    AskColumn m_ask;
    int m_focused = -1;
};
