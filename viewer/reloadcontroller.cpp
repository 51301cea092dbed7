#include "viewer/reloadcontroller.h"

#include "viewer/engine/celltext.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/rawtextview.h"

#include <QApplication>
#include <QHash>
#include <QHeaderView>
#include <QScrollBar>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <string>

struct ReloadController::View
{
    QString caption;           // of the selected tab
    int occurrence = 0;        // which of the tabs of that caption, from 0
    bool list = false;         // the record list was on show (else the raw text)
    QString record;            // the selected record's name
    int recordOccurrence = -1; // which of the records of that name, from 0; -1: none
    int vertical = 0;
    int horizontal = 0;
    QHash<QString, int> widths; // column title -> pixels
    qsizetype rawFirst = -1;
    qsizetype rawLast = -1;
};

namespace {

QString TabCaption(const QTabBar *tabs, int index)
{
    return tabs->tabData(index).toString();
}

// The occurrence-th tab captioned caption, else the first one, else -1.
int FindTab(const QTabBar *tabs, const QString &caption, int occurrence)
{
    int first = -1;
    int seen = 0;
    for (int index = 0; index < tabs->count(); ++index) {
        if (TabCaption(tabs, index) != caption) {
            continue;
        }
        if (seen++ == occurrence) {
            return index;
        }
        if (first < 0) {
            first = index;
        }
    }
    return first;
}

} // namespace

ReloadController::ReloadController(const Panes &panes, Load load, QObject *parent)
    : QObject(parent), m_panes(panes), m_load(std::move(load))
{
    setObjectName(QStringLiteral("ReloadController"));
    connect(&m_watcher, &FileWatcher::changed, this, [this] { changedOnDisk(); });
    m_afterModal.setSingleShot(true);
    m_afterModal.setInterval(ModalRetryMs);
    connect(&m_afterModal, &QTimer::timeout, this, [this] {
        if (m_auto) {
            changedOnDisk();
        }
    });
    connect(&m_watcher, &FileWatcher::disappeared, this, [this] {
        m_missing = true;
        Q_EMIT noteChanged();
    });
}

void ReloadController::setAutoReload(bool on)
{
    if (on == m_auto) {
        return;
    }
    m_auto = on;
    m_watcher.watch(on ? m_file : QString());
    if (!on && m_missing) {
        m_missing = false;
        Q_EMIT noteChanged();
    }
}

void ReloadController::fileLoaded(const QString &fname)
{
    if (m_missing) {
        m_missing = false;
        Q_EMIT noteChanged();
    }
    // Loads of the same file keep the watch (and what it has gathered so far).
    if (fname == m_file && m_watcher.path() == (m_auto ? fname : QString())) {
        return;
    }
    m_file = fname;
    m_watcher.watch(m_auto ? fname : QString());
}

QString ReloadController::note() const
{
    return m_missing ? MissingNote : QString();
}

void ReloadController::changedOnDisk()
{
    if (m_reloading) {
        m_pending = true;
        return;
    }
    if (QApplication::activeModalWidget() != nullptr || (m_busy && m_busy())) {
        // A dialog is open (the open dialog, an error box): the window changes once it is
        // closed, not under it.
        m_afterModal.start();
        return;
    }
    reload();
}

bool ReloadController::reload()
{
    if (m_file.isEmpty() || m_reloading) {
        return false;
    }
    m_reloading = true;
    m_pending = false;
    const View view = capture();
    bool loaded = m_load(m_file, Engine::OpenCaption);
    if (loaded) {
        const int index = FindTab(m_panes.tabs, view.caption, view.occurrence);
        if (index > 0 && index != m_panes.tabs->currentIndex()) {
            // Selecting the tab lists its section as a click does.
            m_panes.tabs->setCurrentIndex(index);
            loaded = m_panes.tabs->currentIndex() == index && !m_panes.list->isHidden();
        }
        if (loaded) {
            restore(view);
        }
    }
    m_reloading = false;
    if (loaded) {
        Q_EMIT reloaded();
    }
    if (m_pending && m_auto) {
        // Changed again while this reload ran: once more, after the events now waiting.
        QTimer::singleShot(0, this, [this] { changedOnDisk(); });
    }
    m_pending = false;
    return loaded;
}

ReloadController::View ReloadController::capture() const
{
    View view;
    const QTabBar *tabs = m_panes.tabs;
    const int index = tabs->currentIndex();
    if (index >= 0) {
        view.caption = TabCaption(tabs, index);
        for (int before = 0; before < index; ++before) {
            view.occurrence += TabCaption(tabs, before) == view.caption ? 1 : 0;
        }
    }
    view.list = !m_panes.list->isHidden();
    if (view.list) {
        const Engine::TableListModel &model = *m_panes.model;
        const QModelIndex current = m_panes.list->currentIndex();
        const int row = current.isValid() ? model.sourceRow(current.row()) : -1;
        if (row >= 0) {
            const Engine::Listing &listing = model.listing();
            view.record = listing.cell(row, 0);
            view.recordOccurrence = 0;
            // Names are compared as the listing keeps them, without a copy per row.
            std::string scratch;
            std::string name;
            Engine::CellText::AppendUtf8(view.record, name);
            for (int earlier = 0; earlier < row; ++earlier) {
                view.recordOccurrence +=
                    listing.shownBytes(earlier, 0, scratch) == QByteArrayView(name) ? 1 : 0;
            }
        }
        const QHeaderView *header = m_panes.list->horizontalHeader();
        for (int column = 0; column < model.columnCount() && column < header->count(); ++column) {
            view.widths.insert(model.listing().column(column).title, header->sectionSize(column));
        }
        view.vertical = m_panes.list->verticalScrollBar()->value();
        view.horizontal = m_panes.list->horizontalScrollBar()->value();
    } else {
        view.rawFirst = m_panes.raw->selectionFirst();
        view.rawLast = m_panes.raw->selectionLast();
        view.vertical = m_panes.raw->verticalScrollBar()->value();
        view.horizontal = m_panes.raw->horizontalScrollBar()->value();
    }
    return view;
}

void ReloadController::restore(const View &view)
{
    if (!view.list) {
        RawTextView *raw = m_panes.raw;
        if (raw->isHidden()) {
            return;
        }
        if (view.rawFirst >= 0) {
            raw->selectLines(view.rawFirst, view.rawLast);
        }
        raw->verticalScrollBar()->setValue(view.vertical);
        raw->horizontalScrollBar()->setValue(view.horizontal);
        return;
    }
    QTableView *list = m_panes.list;
    if (list->isHidden()) {
        return; // the section is gone: the raw text is on show
    }
    const Engine::TableListModel &model = *m_panes.model;
    const Engine::Listing &listing = model.listing();
    QHeaderView *header = list->horizontalHeader();
    for (int column = 0; column < listing.columnCount() && column < header->count(); ++column) {
        const auto width = view.widths.constFind(listing.column(column).title);
        if (width != view.widths.cend()) {
            header->resizeSection(column, *width);
        }
    }
    if (view.recordOccurrence >= 0) {
        int source = -1;
        std::string scratch;
        std::string name;
        Engine::CellText::AppendUtf8(view.record, name);
        for (int row = 0, seen = 0; row < listing.rowCount(); ++row) {
            if (listing.shownBytes(row, 0, scratch) == QByteArrayView(name) &&
                seen++ == view.recordOccurrence) {
                source = row;
                break;
            }
        }
        for (int row = 0; source >= 0 && row < model.rowCount(); ++row) {
            if (model.sourceRow(row) == source) {
                list->setCurrentIndex(model.index(row, 0));
                break;
            }
        }
    }
    // The scroll ranges follow the new rows only once the view has laid them out.
    list->doItemsLayout();
    list->verticalScrollBar()->setValue(view.vertical);
    list->horizontalScrollBar()->setValue(view.horizontal);
}
