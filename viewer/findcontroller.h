#pragma once
// FindController: what the find bar does on the pane on show. On the record list its text
// narrows the rows (the bar counts them, "2 of 3 records"); on the raw text it selects the
// first line holding the text from the selected one on, and Enter or F3 the next one, round
// to the start ("Line 5", "Not found"). The selected record stays selected while the text
// keeps it in the list. Esc in the bar or in a pane closes the bar, which
// shows every row again; Tab and Shift+Tab in its field go on to the pane and back to the
// tabs.
//
// A list of BackgroundRows records or more is searched on a thread of its own, so that typing
// never waits for it: each key stops the search for the text before, and the rows found are
// put into the list on the window thread once the search is done ("Searching..." meanwhile).
// The listing is only read by that thread; whatever else resets the list model stops the
// search and waits for it first, and the text is searched again in the new list.
//
// The controller changes no geometry: when the bar is shown or hidden it emits
// layoutRequested, and the window's layout gives the bar and the panes their places. It
// points at the widgets, which the window owns; the window destroys the controller before
// its widgets.

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class FindBar;
class QTabBar;
class QTableView;
class RawTextView;
namespace Engine {
class TableListModel;
} // namespace Engine

class FindController : public QObject
{
    Q_OBJECT
public:
    struct Panes
    {
        FindBar *bar = nullptr;
        QTabBar *tabs = nullptr;
        QTableView *list = nullptr;
        RawTextView *raw = nullptr;
        Engine::TableListModel *model = nullptr;
    };

    // Lists of at least this many records are searched on another thread.
    static constexpr int BackgroundRows = 20000;

    // fileLoaded tells whether the window shows a file: without one the bar stays hidden.
    FindController(const Panes &panes, std::function<bool()> fileLoaded);
    ~FindController() override;

    // Whether a search of the list is still running.
    bool searching() const { return m_search != nullptr; }

    bool barShown() const;
    // Shows the bar (the text left from before applies again to the list) and focuses it.
    void show();
    // Hides the bar; the list shows all rows again and the pane on show takes the focus.
    void close();
    // The next raw line holding the text; shows the bar when it is hidden.
    void findNext();

Q_SIGNALS:
    void layoutRequested();
    // The narrowed list no longer shows the record that was selected.
    void selectedRecordHidden();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Search;
    void applyText(const QString &text);
    // Narrows the list to text, with the matches given when they were found beforehand.
    void applyFilter(const QString &text, std::vector<char> *match);
    void startSearch(const QString &text);
    // Stops the running search, if any, and waits for its thread.
    void stopSearch();
    void searchRawText(const QString &text, qsizetype from);
    void updateStatus();
    void moveFocusOn(bool backward);

    Panes m_panes;
    std::function<bool()> m_fileLoaded;
    std::shared_ptr<Search> m_search;
    QString m_stoppedByReset; // the text of a search a model reset stopped
    std::thread m_thread;
};
