#pragma once
// CompareMarks: draws the record list's rows as a comparison marks them. Every row's name
// starts with a text mark ("+" added, "~" changed, "-" removed, blank for an unchanged
// row) and the row is tinted by its mark; a changed cell is tinted more strongly and shows
// "~" before its value. The marks are text as well as colour, so they are seen without
// telling colours apart. Tooltips say what a mark means; a changed cell's tooltip holds
// the other file's value.
//
// Without a comparison set the delegate draws as the default one does. It reads the
// model's display-to-file-order mapping; the comparison it is given is a copy it owns.

#include "viewer/engine/comparelisting.h"

#include <QColor>
#include <QStyledItemDelegate>
#include <optional>

namespace Engine {
class TableListModel;
} // namespace Engine

class CompareMarks : public QStyledItemDelegate
{
    Q_OBJECT
public:
    CompareMarks(const Engine::TableListModel &model, QObject *parent);

    // otherName: the file the open one is compared with, as the tooltips name it.
    void setComparison(Engine::CompareListing comparison, const QString &otherName);
    void clear();
    bool active() const { return m_comparison.has_value(); }
    const Engine::CompareListing *comparison() const
    {
        return m_comparison ? &*m_comparison : nullptr;
    }

    // What a cell of the list shows and tells, for a display-row index of the model.
    QString shownText(const QModelIndex &index) const;
    QString toolTip(const QModelIndex &index) const;
    // The cell's tint; invalid when it has none.
    QColor background(const QModelIndex &index) const;

    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    Engine::CompareListing::Mark markOf(const QModelIndex &index) const;
    const QString *oldValueOf(const QModelIndex &index) const;

    const Engine::TableListModel &m_model;
    std::optional<Engine::CompareListing> m_comparison;
    QString m_otherName;
};
