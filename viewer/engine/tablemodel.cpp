#include "viewer/engine/tablemodel.h"

#include "viewer/engine/rowfilter.h"
#include "viewer/engine/sortorder.h"

#include <algorithm>

namespace Engine {

TableListModel::TableListModel(QObject *parent) : QAbstractTableModel(parent) {}

int TableListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return filtering() ? static_cast<int>(m_visible.size()) : m_listing.rowCount();
}

int TableListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_listing.columnCount();
}

QVariant TableListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return cellText(index.row(), index.column());
    case Qt::AccessibleTextRole:
        // Readers hear the value, not the blanks that align numbers on screen.
        return cellText(index.row(), index.column()).trimmed();
    case Qt::TextAlignmentRole:
        return int(
            Qt::AlignVCenter |
            (m_listing.column(index.column()).rightAligned ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

QVariant TableListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_listing.columnCount())
        return {};
    const Listing::Column &column = m_listing.column(section);
    switch (role) {
    case Qt::DisplayRole:
        return column.title;
    case Qt::TextAlignmentRole:
        return int(Qt::AlignVCenter | (column.rightAligned ? Qt::AlignRight : Qt::AlignLeft));
    default:
        return {};
    }
}

void TableListModel::setListing(Listing listing)
{
    beginResetModel();
    m_listing = std::move(listing);
    m_rowMask.clear();
    applySort();
    applyFilter();
    endResetModel();
}

void TableListModel::clear()
{
    setListing(Listing());
}

Listing TableListModel::takeListing()
{
    beginResetModel();
    Listing taken = std::move(m_listing);
    m_listing = Listing();
    m_order.clear();
    m_visible.clear();
    m_rowMask.clear();
    endResetModel();
    return taken;
}

void TableListModel::setSortKey(int key)
{
    if (key == m_sortKey)
        return;
    m_sortKey = key;
    resort();
}

void TableListModel::setSorted(bool sorted)
{
    if (sorted == m_sorted)
        return;
    m_sorted = sorted;
    resort();
}

void TableListModel::sortByColumn(int column)
{
    setSortKey(column);
    setSorted(true);
}

void TableListModel::sortByColumn(int column, std::vector<int> order)
{
    if (column == m_sortKey && m_sorted)
        return;
    m_sortKey = column;
    m_sorted = true;
    const bool fits = order.size() == static_cast<std::size_t>(m_listing.rowCount()) &&
                      column >= 0 && column < m_listing.columnCount() && m_listing.rowCount() >= 2;
    resort(fits ? &order : nullptr);
}

int TableListModel::sourceRow(int displayRow) const
{
    if (displayRow < 0 || displayRow >= rowCount())
        return -1;
    if (filtering())
        return m_visible[static_cast<std::size_t>(displayRow)];
    return m_order.empty() ? displayRow : m_order[static_cast<std::size_t>(displayRow)];
}

QString TableListModel::cellText(int displayRow, int column) const
{
    const int row = sourceRow(displayRow);
    if (row < 0)
        return {};
    return m_listing.cell(row, column);
}

void TableListModel::applySort()
{
    m_order.clear();
    const int rows = m_listing.rowCount();
    if (!m_sorted || m_sortKey < 0 || m_sortKey >= m_listing.columnCount() || rows < 2)
        return;

    m_order = SortAscending(m_listing, m_sortKey);
}

void TableListModel::resort(std::vector<int> *order)
{
    const QModelIndexList persistent = persistentIndexList();
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> sources;
    sources.reserve(static_cast<std::size_t>(persistent.size()));
    for (const QModelIndex &index : persistent)
        sources.push_back(sourceRow(index.row()));
    if (order)
        m_order = std::move(*order);
    else
        applySort();
    applyFilter();
    if (!persistent.isEmpty()) {
        std::vector<int> displayOf(static_cast<std::size_t>(m_listing.rowCount()), -1);
        for (int d = 0; d < rowCount(); ++d)
            displayOf[static_cast<std::size_t>(sourceRow(d))] = d;
        QModelIndexList moved;
        moved.reserve(persistent.size());
        for (qsizetype i = 0; i < persistent.size(); ++i) {
            const int source = sources[static_cast<std::size_t>(i)];
            moved.append(source < 0 ? QModelIndex()
                                    : index(displayOf[static_cast<std::size_t>(source)],
                                            persistent[i].column()));
        }
        changePersistentIndexList(persistent, moved);
    }
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TableListModel::setFilterText(const QString &text)
{
    if (text == m_filterText)
        return;
    beginResetModel();
    m_filterText = text;
    applyFilter();
    endResetModel();
}

void TableListModel::setFilterText(const QString &text, std::vector<char> match)
{
    if (text == m_filterText)
        return;
    beginResetModel();
    m_filterText = text;
    const bool fits = !text.isEmpty() && match.size() == std::size_t(m_listing.rowCount());
    applyFilter(fits ? &match : nullptr);
    endResetModel();
}

void TableListModel::setRowMask(std::vector<char> mask)
{
    beginResetModel();
    m_rowMask = std::move(mask);
    applyFilter();
    endResetModel();
}

void TableListModel::applyFilter(std::vector<char> *matches)
{
    m_visible.clear();
    if (!filtering())
        return;
    std::vector<char> match;
    if (matches)
        match = std::move(*matches);
    else if (!m_filterText.isEmpty())
        match = MatchingRows(m_listing, m_filterText);
    const int rows = m_listing.rowCount();
    for (int d = 0; d < rows; ++d) {
        const auto row = static_cast<std::size_t>(m_order.empty() ? d : m_order[std::size_t(d)]);
        const bool masked = !m_rowMask.empty() && (row >= m_rowMask.size() || !m_rowMask[row]);
        if (!masked && (match.empty() || match[row]))
            m_visible.push_back(static_cast<int>(row));
    }
}

} // namespace Engine
