#pragma once
// ReloadController: reads the open table file again and shows the same view of it, by
// hand (View > Reload, F5) or, while the automatic reload is on, when the file changes on
// disk (FileWatcher).
//
// A reload opens the file afresh as the open command does (the tabs are rebuilt from the
// file), selects the tab with the caption shown before when the file still has it (the
// same one of several tabs of that caption; else "<Unparsed contents>" stays), which lists
// the section as a tab click does, and then puts back what the user had set up: the
// selected record (by its name and which of the records of that name it was), the scroll
// position, the column widths and, on the raw text, the selected lines. The sort and the
// find text belong to the list and the find bar and survive the load themselves.
//
// Failures: both loads go through the window's loading path, which reports a file that
// cannot be read and leaves the window usable; the view is then not restored. A file that
// is gone is not loaded at all: the window keeps what it shows and note() says so until
// the file is back, which reloads it. A change noticed while a reload runs (for instance
// while its error dialog is open) reloads once more afterwards; one noticed while any modal
// dialog is open reloads once the dialog is closed.
//
// The controller points at the window's widgets, which the window owns; the window
// destroys the controller before its widgets.

#include "viewer/filewatcher.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

class QTabBar;
class QTableView;
class RawTextView;
namespace Engine {
class TableListModel;
}

class ReloadController : public QObject
{
    Q_OBJECT
public:
    struct Panes
    {
        QTabBar *tabs = nullptr;
        QTableView *list = nullptr;
        RawTextView *raw = nullptr;
        Engine::TableListModel *model = nullptr;
    };
    // The window's loading path: loads a file with a caption and reports a failure itself;
    // false when the load failed.
    using Load = std::function<bool(const QString &fname, const QString &caption)>;

    // The note while the open file is gone from disk.
    static inline const QString MissingNote = QStringLiteral("File missing");
    // How often a change waiting for a modal dialog to close looks again.
    static constexpr int ModalRetryMs = 300;

    ReloadController(const Panes &panes, Load load, QObject *parent = nullptr);

    // Whether a change on disk reloads the file by itself.
    bool autoReload() const { return m_auto; }
    void setAutoReload(bool on);

    // While busy() holds (the window works on something long), a change waits as it does
    // for a modal dialog.
    void setBusy(std::function<bool()> busy) { m_busy = std::move(busy); }

    // The window has loaded fname: the watch follows the file on show.
    void fileLoaded(const QString &fname);

    // Reads the file on show again and restores the view; false when there is no file or a
    // load failed.
    bool reload();
    // True while reload() runs (its loads are not the user opening a file).
    bool reloading() const { return m_reloading; }

    // MissingNote while the file on show is gone, else "".
    QString note() const;

Q_SIGNALS:
    void noteChanged();
    // After each reload that showed the file again; not after a failed one.
    void reloaded();

private:
    struct View;
    View capture() const;
    void restore(const View &view);
    void changedOnDisk();

    Panes m_panes;
    Load m_load;
    std::function<bool()> m_busy;
    FileWatcher m_watcher;
    QTimer m_afterModal; // a change waits for a modal dialog to close
    QString m_file;
    bool m_auto = true;
    bool m_missing = false;
    bool m_reloading = false;
    bool m_pending = false;
};
