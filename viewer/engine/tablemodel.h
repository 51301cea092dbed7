#pragma once
// TableListModel: the contents of ListView1. Columns (title, alignment, decimal tag) and
// rows of cells in file order, plus the sort key and the sorted switch. When sorting is
// on and the key names an existing column, rows are presented in ascending order of
// LowerCase of the key column's text, compared by UTF-16 code unit, equal keys keeping
// file order; otherwise in file order. Knows no widgets.
//
// Model rows are display rows; sourceRow() maps one to its file-order index.
//
// A filter text (the find bar) narrows the display rows to the records holding that text
// in any cell, without regard to case, in the sort order; "" shows every row. Like the sort
// state it survives setListing(). Changing it resets the model.
// A row mask narrows the display rows further to the rows it flags (a comparison's
// differences). It belongs to one listing: setListing() and takeListing() drop it.
// Model columns are list columns: column 0 is "Name" (the record names).

#include "viewer/engine/listing.h"

#include <QAbstractTableModel>
#include <vector>

namespace Engine {

class TableListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TableListModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The listing in file order. Replacing it resets the model and re-applies the sort.
    const Listing &listing() const { return m_listing; }
    void setListing(Listing listing);
    // Removes every row and column (an empty listing).
    void clear();
    // Hands the listing over and leaves the model empty (as clear() does).
    Listing takeListing();

    // Sort state: key counted from 0 (0 = "Name"); both survive every setListing().
    int sortKey() const { return m_sortKey; }
    bool sorted() const { return m_sorted; }
    void setSortKey(int key);
    void setSorted(bool sorted);
    // A header click: the key becomes column, then sorting is switched on.
    void sortByColumn(int column);
    // The same with the order already worked out (SortAscending(listing(), column), for
    // instance on another thread); an order of another size is worked out anew.
    void sortByColumn(int column, std::vector<int> order);

    // The filter: display rows are the sorted rows whose cells contain text.
    const QString &filterText() const { return m_filterText; }
    void setFilterText(const QString &text);
    // The same with the matches already worked out (MatchingRows(listing(), text), for
    // instance on another thread); flags of another size are worked out anew.
    void setFilterText(const QString &text, std::vector<char> match);
    // Only the file-order rows whose flag is set are listed, together with the filter
    // text; an empty mask lists every row, rows beyond the mask are not listed. Resets the
    // model.
    void setRowMask(std::vector<char> mask);
    bool hasRowMask() const { return !m_rowMask.empty(); }
    // Rows of the listing, listed or not (rowCount() is the number listed).
    int totalRowCount() const { return m_listing.rowCount(); }

    int sourceRow(int displayRow) const;
    // The cell as shown (column 0 is the record name); "" outside the listing.
    QString cellText(int displayRow, int column) const;

private:
    // Recomputes m_order from the sort state; emits nothing.
    void applySort();
    // Recomputes m_order (or takes order, when given) and tells views that the row order
    // changed.
    void resort(std::vector<int> *order = nullptr);
    // Recomputes m_visible from the filter text (or its matches, when given), the row mask
    // and m_order; emits nothing.
    void applyFilter(std::vector<char> *matches = nullptr);
    bool filtering() const { return !m_filterText.isEmpty() || !m_rowMask.empty(); }

    Listing m_listing;
    std::vector<int> m_order;   // display row -> file-order row; empty = file order
    std::vector<int> m_visible; // with a filter: display row -> file-order row
    std::vector<char> m_rowMask;
    QString m_filterText;
    int m_sortKey = 0;
    bool m_sorted = false;
};

} // namespace Engine
