#pragma once
// Listing: the records of the section on show, column-major and compact, so that a
// section of a million records fits in a few hundred megabytes.
//
// Column 0 is "Name" (the record names); every other column has a title, an alignment
// (left until a numeric value is stored, then right) and a decimal tag (unset until the
// first numeric value, then the largest DecimalPlaces of the numeric values stored).
// A row's cell in a column it has no value for is empty. Column 0's cells are the row
// names, whatever column 0 is titled (a listing may even have no columns yet).
//
// A Listing is a value (copyable, movable). setCell() and appendRow() throw
// std::length_error when one column's texts together pass 4 Gi characters.

#include "viewer/engine/podbuffer.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace Engine {

class Listing
{
public:
    struct Column
    {
        QString title;
        bool rightAligned = false;
        std::optional<int> tag; // decimal count; nullopt = empty tag
        int widthTwips = -1;    // -1: the list's default width
    };

    Listing() = default;

    int rowCount() const { return m_rows; }
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    // index must be a column of the listing.
    const Column &column(int index) const { return m_columns[static_cast<std::size_t>(index)]; }
    Column &column(int index) { return m_columns[static_cast<std::size_t>(index)]; }

    // A listing with this one's columns (titles, alignment, tags, widths) and no rows.
    Listing emptyCopy() const;

    // Appends a column; returns its index.
    int appendColumn(const QString &title, int widthTwips = -1);
    // Index of the first column titled exactly title, or -1.
    int findColumn(QStringView title) const;

    // Appends a row whose name (column 0) is name; returns its index.
    int appendRow(QStringView name);
    QStringView cell(int row, int column) const
    {
        if (row < 0 || row >= m_rows || column < 0 ||
            static_cast<std::size_t>(column) >= m_stores.size())
            return {};
        return storedCell(m_stores[static_cast<std::size_t>(column)], row);
    }
    void setCell(int row, int column, QStringView text)
    {
        // The usual case while reading: the cell after the column's last one.
        if (row >= 0 && row < m_rows && column >= 0 &&
            static_cast<std::size_t>(column) < m_stores.size()) {
            ColumnStore &store = m_stores[static_cast<std::size_t>(column)];
            if (!store.fixed && static_cast<std::size_t>(row) == store.ends.size() &&
                store.pool.size() + static_cast<std::size_t>(text.size()) <= MaxPoolSize) {
                store.pool.append(reinterpret_cast<const char16_t *>(text.data()),
                                  static_cast<std::size_t>(text.size()));
                store.ends.push_back(static_cast<quint32>(store.pool.size()));
                return;
            }
        }
        setCellSlow(row, column, text);
    }

    // The formatting pass over columns 1..last: pads cells to the column's decimal count,
    // then right-aligned cells to exactly 12 characters.
    void formatColumns();

    // Appends the rows of other (whose columns start with this listing's columns, in the
    // same order) and takes over its column metadata.
    void appendRows(Listing &&other);

    // Appends the rows of other, whose column c holds what this listing keeps in column
    // columnOf[c] (-1: dropped; column 0, the names, always goes to column 0). Column
    // metadata stays as it is. Throws as setCell() does.
    void appendRowsMapped(const Listing &other, const std::vector<int> &columnOf);

private:
    // One column's cells in row order. ends[r] is where row r's text ends in pool (it
    // starts where row r - 1's ends); rows at or beyond ends.size() are empty. A fixed
    // store has no ends: every row up to pool.size() / FixedWidth holds exactly FixedWidth
    // characters, later rows are empty.
    struct ColumnStore
    {
        PodBuffer<quint32> ends;
        PodBuffer<char16_t> pool;
        bool fixed = false;
    };
    static constexpr qsizetype FixedWidth = 12;

    ColumnStore &storeFor(int column);
    static void unfix(ColumnStore &store);
    static constexpr std::size_t MaxPoolSize = 0xFFFFFFFFu;

    void setCellSlow(int row, int column, QStringView text);
    // Formats column c (touches only that column's store).
    void formatColumn(std::size_t c);
    static QStringView storedCell(const ColumnStore &store, int row)
    {
        const auto r = static_cast<std::size_t>(row);
        if (store.fixed) {
            if ((r + 1) * FixedWidth > store.pool.size())
                return {};
            return QStringView(store.pool.data() + r * FixedWidth, FixedWidth);
        }
        if (r >= store.ends.size())
            return {};
        const quint32 begin = r == 0 ? 0 : store.ends[r - 1];
        return QStringView(store.pool.data() + begin, qsizetype(store.ends[r] - begin));
    }
    static void appendText(ColumnStore &store, QStringView text);

    std::vector<Column> m_columns;
    std::vector<ColumnStore> m_stores; // m_stores[0] holds the record names
    int m_rows = 0;
};

} // namespace Engine
