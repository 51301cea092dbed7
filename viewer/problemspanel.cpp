#include "viewer/problemspanel.h"

#include <QAbstractTableModel>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>
#include <memory>
#include <optional>

class ProblemListModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    const std::vector<Engine::TableProblem> &problems() const { return m_problems; }
    void setProblems(std::vector<Engine::TableProblem> problems)
    {
        beginResetModel();
        m_problems = std::move(problems);
        endResetModel();
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(m_problems.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 3;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount()) {
            return {};
        }
        const Engine::TableProblem &problem = m_problems[static_cast<std::size_t>(index.row())];
        if (role == Qt::DisplayRole) {
            switch (index.column()) {
            case 0:
                return QString::number(problem.line);
            case 1:
                return Engine::ProblemKindName(problem.kind);
            default:
                return problem.message;
            }
        }
        if (role == Qt::ToolTipRole && index.column() == 2) {
            return problem.message; // for a message wider than its column
        }
        if (role == Qt::TextAlignmentRole && index.column() == 0) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
            return {};
        }
        static const char *const titles[] = {"Line", "Kind", "Message"};
        return section >= 0 && section < 3 ? QLatin1String(titles[section]) : QVariant();
    }

private:
    std::vector<Engine::TableProblem> m_problems;
};

namespace {

// Enter on a row of the list does what a double-click does.
class EnterKey : public QObject
{
public:
    EnterKey(QTableView *view, std::function<void(const QModelIndex &)> activate)
        : QObject(view), m_view(view), m_activate(std::move(activate))
    {
        view->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_view && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
                m_view->currentIndex().isValid()) {
                m_activate(m_view->currentIndex());
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTableView *m_view;
    std::function<void(const QModelIndex &)> m_activate;
};

} // namespace

ProblemsPanel::ProblemsPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ProblemsPanel"));
    m_model = new ProblemListModel(this);

    auto *title = new QLabel(QStringLiteral("Problems"), this);
    title->setObjectName(QStringLiteral("ProblemsTitle"));
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("ProblemsList"));
    m_view->setAccessibleName(QStringLiteral("Problems"));
    m_view->setAccessibleDescription(
        QStringLiteral("Where the game reads the file differently from what it seems to say; "
                       "Enter or a double-click shows the line in the raw text"));
    title->setBuddy(m_view);
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setShowGrid(false);
    m_view->setWordWrap(false);
    m_view->setTabKeyNavigation(false);
    QHeaderView *rows = m_view->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(m_view->fontMetrics().height() + 4);
    QHeaderView *header = m_view->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    header->resizeSection(0, m_view->fontMetrics().horizontalAdvance(QStringLiteral("0000000")));
    header->resizeSection(
        1, m_view->fontMetrics().horizontalAdvance(QStringLiteral("continues-record")) + 16);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(title);
    layout->addWidget(m_view, 1);

    const auto activate = [this](const QModelIndex &index) {
        if (index.isValid() && index.row() < m_model->rowCount()) {
            Q_EMIT lineActivated(m_model->problems()[static_cast<std::size_t>(index.row())].line);
        }
    };
    connect(m_view, &QAbstractItemView::doubleClicked, this, activate);
    new EnterKey(m_view, activate);
}

const std::vector<Engine::TableProblem> &ProblemsPanel::problems() const
{
    return m_model->problems();
}

ProblemsPanel::~ProblemsPanel()
{
    for (const QPointer<QThread> &thread : m_threads) {
        if (thread) {
            thread->wait();
        }
    }
}

ProblemsPanel::Stamp ProblemsPanel::StampOf(const QString &fname)
{
    const QFileInfo info(fname);
    return {fname, info.exists() ? info.size() : -1,
            info.fileTime(QFileDevice::FileModificationTime),
            info.fileTime(QFileDevice::FileMetadataChangeTime)};
}

void ProblemsPanel::check(const QString &fname)
{
    const Stamp stamp = StampOf(fname);
    if (stamp == (checking() ? m_checking : m_checked)) {
        return;
    }
    if (stamp.path != m_checked.path && !m_model->problems().empty()) {
        showProblems({}); // not another file's problems meanwhile
    }
    m_checking = stamp;
    const quint64 generation = ++m_generation;
    // The result is handed over through a value the thread owns with the panel.
    auto result = std::make_shared<std::optional<std::vector<Engine::TableProblem>>>();
    QThread *thread = QThread::create([fname, result] {
        try {
            *result = Engine::CheckTableFile(fname);
        } catch (const std::exception &) {
            // Not checked: shown as no problems, and the next load tries again.
        }
    });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, generation, result, stamp] {
        if (generation != m_generation) {
            return; // a later check runs or ran
        }
        m_checking = Stamp{};
        m_checked = result->has_value() ? stamp : Stamp{};
        showProblems(result->has_value() ? std::move(**result)
                                         : std::vector<Engine::TableProblem>{});
    });
    std::erase_if(m_threads, [](const QPointer<QThread> &running) { return running.isNull(); });
    m_threads.emplace_back(thread);
    thread->start(QThread::LowPriority);
}

void ProblemsPanel::showProblems(std::vector<Engine::TableProblem> problems)
{
    m_model->setProblems(std::move(problems));
    Q_EMIT problemsChanged();
}

QString ProblemsPanel::countText() const
{
    const std::size_t count = m_model->problems().size();
    if (count == 0) {
        return {};
    }
    return count == 1 ? QStringLiteral("1 problem") : QStringLiteral("%1 problems").arg(count);
}
