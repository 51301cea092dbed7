#pragma once
// ProblemsPanel: the View > Problems panel, a list of the open file's problems as the
// table checker finds them (tablecheck.h), one row each with its line, kind and message,
// in the checker's order. A double-click or Enter on a row emits lineActivated with the
// row's line (from 1); the window shows that line in the raw text.
//
// check() is called after every load; it runs the checker again only when the file is
// another one or its size or times changed since the last check, so that switching tabs
// costs no second pass over a large file. The checker runs on a thread of its own, so that
// a large file shows at once and its problems follow (problemsChanged); a result for a file
// or a version of it that is no longer the one on show is dropped. Another file's problems
// are cleared at once; a changed file keeps its old list until the new one is there. A file
// that cannot be checked (gone, unreadable, too large for memory) shows no problems.
//
// The panel is a child widget of the window, which owns it and gives it its place.
// Destroying it waits for a check still running.

#include "viewer/engine/tablecheck.h"

#include <QDateTime>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QWidget>
#include <vector>

class QTableView;
class ProblemListModel;

class ProblemsPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ProblemsPanel(QWidget *parent = nullptr);
    ~ProblemsPanel() override;

    // Lists the problems of fname (a host path) once they are known.
    void check(const QString &fname);
    // True while a check runs.
    bool checking() const { return !m_checking.path.isEmpty(); }
    const std::vector<Engine::TableProblem> &problems() const;
    // "1 problem", "3 problems"; "" when there are none.
    QString countText() const;

    QTableView *view() const { return m_view; }

Q_SIGNALS:
    void lineActivated(qint64 line);
    void problemsChanged();

private:
    struct Stamp
    {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        QDateTime metadataChanged;
        bool operator==(const Stamp &) const = default;
    };

    static Stamp StampOf(const QString &fname);
    void showProblems(std::vector<Engine::TableProblem> problems);

    ProblemListModel *m_model = nullptr;
    QTableView *m_view = nullptr;
    Stamp m_checked;  // what the list shows
    Stamp m_checking; // what the running check reads; path "" when none runs
    quint64 m_generation = 0;
    std::vector<QPointer<QThread>> m_threads;
};
