#include "viewer/findcontroller.h"

#include "viewer/engine/rawsearch.h"
#include "viewer/engine/rowfilter.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/findbar.h"
#include "viewer/rawtextview.h"

#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

using namespace Engine;

// One search of the list on its thread; the thread and the controller share it.
struct FindController::Search
{
    QString text;
    std::atomic<bool> cancel{false};
};

FindController::FindController(const Panes &panes, std::function<bool()> fileLoaded)
    : m_panes(panes), m_fileLoaded(std::move(fileLoaded))
{
    FindBar *bar = m_panes.bar;
    connect(bar, &FindBar::searchRequested, this, [this](const QString &text) { applyText(text); });
    connect(bar, &FindBar::findNext, this, [this] { findNext(); });
    connect(bar, &FindBar::closeRequested, this, [this] { close(); });
    // The bar lies in the panes' frame: from its field Tab goes to the pane on show,
    // Shift+Tab back to the tabs.
    connect(bar, &FindBar::tabPressed, this, [this](bool backward) { moveFocusOn(backward); });
    connect(bar, &FindBar::edited, this, [this] { stopSearch(); });
    // The search reads the listing: nothing may replace it under the search. A search so
    // stopped starts again on the new list once the reset is through.
    connect(m_panes.model, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        if (m_search) {
            m_stoppedByReset = m_search->text;
        }
        stopSearch();
    });
    connect(m_panes.model, &QAbstractItemModel::modelReset, this, [this] {
        updateStatus();
        if (!m_stoppedByReset.isEmpty()) {
            QTimer::singleShot(0, this, [this] {
                const QString text = std::exchange(m_stoppedByReset, QString());
                if (barShown() && m_panes.bar->text() == text && !m_panes.list->isHidden()) {
                    applyText(text);
                }
            });
        }
    });
    m_panes.list->installEventFilter(this);
    m_panes.raw->installEventFilter(this);
}

FindController::~FindController()
{
    stopSearch();
}

bool FindController::barShown() const
{
    return !m_panes.bar->isHidden();
}

void FindController::show()
{
    if (!m_fileLoaded()) {
        return;
    }
    FindBar *bar = m_panes.bar;
    if (bar->isHidden()) {
        bar->show();
        Q_EMIT layoutRequested();
        // The text left from before applies again to the list.
        if (!m_panes.list->isHidden()) {
            applyText(bar->text());
        }
    }
    updateStatus();
    bar->activate();
}

void FindController::close()
{
    m_panes.bar->hide();
    applyText(QString());
    // Hidden, the raw pane's search needs no undoing; the list shows all rows again.
    Q_EMIT layoutRequested();
    if (!m_panes.list->isHidden()) {
        m_panes.list->setFocus();
    } else if (!m_panes.raw->isHidden()) {
        m_panes.raw->setFocus();
    }
}

void FindController::findNext()
{
    FindBar *bar = m_panes.bar;
    if (bar->isHidden()) {
        show();
        return;
    }
    if (bar->flush()) {
        return; // the text just typed is searched first
    }
    RawTextView *raw = m_panes.raw;
    if (raw->isHidden()) {
        // On the list the text already narrows the rows: Enter goes to them.
        QTableView *list = m_panes.list;
        if (!list->isHidden() && m_panes.model->rowCount() > 0) {
            list->setFocus();
            if (!list->currentIndex().isValid()) {
                list->setCurrentIndex(m_panes.model->index(0, 0));
            }
        }
        return;
    }
    // From the line after the selected one, going round to the start.
    searchRawText(bar->text(), raw->selectionFirst() + 1);
}

void FindController::applyText(const QString &text)
{
    if (!m_panes.raw->isHidden()) {
        // The raw pane: the first line holding the text, from the selected line on.
        searchRawText(text, std::max<qsizetype>(0, m_panes.raw->selectionFirst()));
        return;
    }
    stopSearch();
    if (!text.isEmpty() && text != m_panes.model->filterText() &&
        m_panes.model->totalRowCount() >= BackgroundRows) {
        startSearch(text);
        return;
    }
    applyFilter(text, nullptr);
}

void FindController::startSearch(const QString &text)
{
    auto search = std::make_shared<Search>();
    search->text = text;
    m_search = search;
    const Listing *listing = &m_panes.model->listing();
    m_thread = std::thread([this, search, listing] {
        // Two halves side by side, one on a helper thread.
        const int rows = listing->rowCount();
        const int half = rows / 2;
        std::vector<char> upper;
        std::thread helper(
            [&] { upper = MatchingRowsIn(*listing, search->text, half, rows, &search->cancel); });
        std::vector<char> match = MatchingRowsIn(*listing, search->text, 0, half, &search->cancel);
        helper.join();
        if (search->cancel.load())
            return;
        match.insert(match.end(), upper.begin(), upper.end());
        // Handed to the window thread; a controller gone by then drops it unseen.
        QMetaObject::invokeMethod(
            this,
            [this, search, found = std::move(match)]() mutable {
                if (search != m_search)
                    return; // stopped meanwhile
                stopSearch();
                applyFilter(search->text, &found);
            },
            Qt::QueuedConnection);
    });
    updateStatus();
}

void FindController::stopSearch()
{
    if (m_search)
        m_search->cancel.store(true);
    if (m_thread.joinable())
        m_thread.join();
    if (m_search) {
        m_search.reset();
        updateStatus();
    }
}

void FindController::applyFilter(const QString &text, std::vector<char> *match)
{
    // The list: narrowing resets the model, which must not undo the user's column widths.
    QHeaderView *header = m_panes.list->horizontalHeader();
    std::vector<int> widths;
    for (int column = 0; column < header->count(); ++column) {
        widths.push_back(header->sectionSize(column));
    }
    TableListModel &model = *m_panes.model;
    const QModelIndex current = m_panes.list->currentIndex();
    const int record = current.isValid() ? model.sourceRow(current.row()) : -1;
    if (match)
        model.setFilterText(text, std::move(*match));
    else
        model.setFilterText(text);
    for (int column = 0; column < header->count() && column < int(widths.size()); ++column) {
        header->resizeSection(column, widths[static_cast<std::size_t>(column)]);
    }
    // The selected record stays selected while the filter keeps it.
    int shown = -1;
    for (int row = 0; record >= 0 && row < model.rowCount(); ++row) {
        if (model.sourceRow(row) == record) {
            shown = row;
            break;
        }
    }
    if (shown >= 0) {
        m_panes.list->setCurrentIndex(model.index(shown, 0));
    } else {
        Q_EMIT selectedRecordHidden();
    }
    updateStatus();
}

void FindController::searchRawText(const QString &text, qsizetype from)
{
    RawTextView *raw = m_panes.raw;
    FindBar *bar = m_panes.bar;
    if (text.isEmpty()) {
        bar->setStatusText(QString());
        return;
    }
    const std::optional<qsizetype> line = FindLine(raw->rawText(), text, from);
    if (!line) {
        bar->setStatusText(QStringLiteral("Not found"));
        return;
    }
    raw->selectLines(*line, *line);
    raw->revealLine(*line);
    bar->setStatusText(QStringLiteral("Line %1").arg(*line + 1));
}

void FindController::updateStatus()
{
    FindBar *bar = m_panes.bar;
    if (bar->isHidden()) {
        return;
    }
    if (!m_panes.raw->isHidden()) {
        bar->setStatusText(QString());
        return;
    }
    if (m_search) {
        bar->setStatusText(QStringLiteral("Searching..."));
        return;
    }
    bar->setStatusText(QStringLiteral("%1 of %2 records")
                           .arg(m_panes.model->rowCount())
                           .arg(m_panes.model->totalRowCount()));
}

void FindController::moveFocusOn(bool backward)
{
    if (backward) {
        m_panes.tabs->setFocus(Qt::BacktabFocusReason);
    } else if (!m_panes.list->isHidden()) {
        m_panes.list->setFocus(Qt::TabFocusReason);
    } else if (!m_panes.raw->isHidden()) {
        m_panes.raw->setFocus(Qt::TabFocusReason);
    }
}

bool FindController::eventFilter(QObject *watched, QEvent *event)
{
    const bool pane = watched == m_panes.list || watched == m_panes.raw;
    if (pane && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape && barShown()) {
        // Esc in the pane closes the find bar as well as Esc in its field.
        close();
        return true;
    }
    // The count follows the pane on show.
    if (watched == m_panes.raw &&
        (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        updateStatus();
    }
    return QObject::eventFilter(watched, event);
}
