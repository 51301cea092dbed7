#pragma once
// Listing: the records of the section on show, column-major and compact, so that a
// section of ten million records fits in less memory than its file.
//
// Column 0 is "Name" (the record names); every other column has a title, an alignment
// (left until a numeric value is stored, then right) and a decimal tag (unset until the
// first numeric value, then the largest DecimalPlaces of the numeric values stored).
// A row's cell in a column it has no value for is empty. Column 0's cells are the row
// names, whatever column 0 is titled (a listing may even have no columns yet).
//
// Cells are kept as UTF-8 bytes (see celltext.h), one pool per column with the end of
// every cell. The formatting pass does not rewrite them: it records per column how its
// cells are shown, and cell() and shownBytes() apply that when a cell is asked for.
//
// A Listing is a value (copyable, movable). setCell() and appendRow() throw
// std::length_error when one column's texts together pass 4 GiB of UTF-8.

#include "viewer/engine/celltext.h"
#include "viewer/engine/podbuffer.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>
#include <string>
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
    int appendRowUtf8(QByteArrayView name);
    int appendRowUtf8(QByteArrayView name, bool highBytes)
    {
        ++m_rows;
        setCellUtf8(m_rows - 1, 0, name, highBytes);
        return m_rows - 1;
    }

    // The cell as shown (after the formatting pass); "" outside the listing.
    QString cell(int row, int column) const
    {
        std::string scratch;
        return CellText::ToString(shownBytes(row, column, scratch));
    }
    // The same as UTF-8: a view into the listing, or into scratch when the formatting
    // pass changes the cell. Valid until the listing or scratch changes.
    QByteArrayView shownBytes(int row, int column, std::string &scratch) const
    {
        qsizetype blanks = 0;
        const QByteArrayView text = shownBytes(row, column, blanks, scratch);
        // A padded cell: text is the stored cell, which goes after its blanks.
        return blanks == 0 ? text : CellText::Padded(blanks, text, scratch);
    }
    // The same as blanks before a text: the shown cell is blanks blanks, then the view
    // returned (into the listing, or into scratch when the formatting changes more).
    QByteArrayView shownBytes(int row, int column, qsizetype &blanks, std::string &scratch) const
    {
        blanks = 0;
        if (row < 0 || row >= m_rows || column < 0 ||
            static_cast<std::size_t>(column) >= m_stores.size())
            return {};
        const ColumnStore &store = m_stores[static_cast<std::size_t>(column)];
        const QByteArrayView stored = storedCell(store, row);
        if (!store.format.active() || row >= store.formattedRows)
            return stored;
        const qsizetype padding = CellText::LeadingBlanks(stored, store.format);
        if (padding >= 0) {
            blanks = padding;
            return stored;
        }
        return CellText::Formatted(stored, store.format, scratch);
    }
    // Whether a cell of the column holds a byte of 0x80 or more (else all are ASCII).
    bool hasNonAscii(int column) const
    {
        return column >= 0 && static_cast<std::size_t>(column) < m_stores.size() &&
               m_stores[static_cast<std::size_t>(column)].nonAscii;
    }
    // How the formatting pass shows the column's cells (nothing for rows added later).
    CellText::Format format(int column) const
    {
        if (column < 0 || static_cast<std::size_t>(column) >= m_stores.size())
            return {};
        return m_stores[static_cast<std::size_t>(column)].format;
    }

    // Hints that the cells of row are wanted soon, for readers that go through rows out of
    // file order: first the cells' ends (prefetchEnds), some rows later their bytes
    // (prefetchCells, which reads the ends). Rows outside the listing are ignored.
    void prefetchEnds(int row) const
    {
        if (row < 1 || row >= m_rows)
            return;
        for (const ColumnStore &store : m_stores) {
            if (static_cast<std::size_t>(row) < store.ends.size())
                __builtin_prefetch(store.ends.data() + row - 1);
        }
    }
    void prefetchCells(int row) const
    {
        if (row < 1 || row >= m_rows)
            return;
        for (const ColumnStore &store : m_stores) {
            if (static_cast<std::size_t>(row) < store.ends.size())
                __builtin_prefetch(store.pool.data() + store.ends[std::size_t(row) - 1]);
        }
    }

    void setCell(int row, int column, QStringView text);
    // text is UTF-8 (see celltext.h).
    void setCellUtf8(int row, int column, QByteArrayView text)
    {
        setCellUtf8(row, column, text, hasHighByte(text));
    }
    // The same for a caller that knows whether text holds a byte of 0x80 or more.
    void setCellUtf8(int row, int column, QByteArrayView text, bool highBytes)
    {
        // The usual case while reading: the cell after the column's last one.
        if (row >= 0 && row < m_rows && column >= 0 &&
            static_cast<std::size_t>(column) < m_stores.size()) {
            ColumnStore &store = m_stores[static_cast<std::size_t>(column)];
            if (!store.format.active() && static_cast<std::size_t>(row) == store.ends.size() &&
                store.pool.size() + static_cast<std::size_t>(text.size()) <= MaxPoolSize) {
                store.pool.append(text.data(), static_cast<std::size_t>(text.size()));
                store.ends.push_back(static_cast<quint32>(store.pool.size()));
                store.nonAscii = store.nonAscii || highBytes;
                return;
            }
        }
        setCellSlow(row, column, text);
    }

    // The formatting pass over columns 1..last: cells are shown padded to the column's
    // decimal count, then right-aligned cells as exactly 12 characters. A second pass
    // formats what the first one showed.
    void formatColumns();

    // Appends the rows of other (whose columns start with this listing's columns, in the
    // same order) as they are shown, and takes over its column metadata.
    void appendRows(Listing &&other);

    // Appends the rows of other as they are shown, whose column c holds what this listing
    // keeps in column columnOf[c] (-1: dropped; column 0, the names, always goes to column
    // 0). Column metadata stays as it is. Throws as setCell() does.
    void appendRowsMapped(const Listing &other, const std::vector<int> &columnOf);

private:
    // One column's cells in row order. ends[r] is where row r's text ends in pool (it
    // starts where row r - 1's ends); rows at or beyond ends.size() are empty. Rows below
    // formattedRows are shown as format says.
    struct ColumnStore
    {
        PodBuffer<quint32> ends;
        PodBuffer<char> pool;
        bool nonAscii = false;
        CellText::Format format;
        int formattedRows = 0;
    };
    static constexpr std::size_t MaxPoolSize = 0xFFFFFFFFu;

    static bool hasHighByte(QByteArrayView text)
    {
        unsigned char high = 0;
        for (const char c : text)
            high |= static_cast<unsigned char>(c);
        return high >= 0x80;
    }

    ColumnStore &storeFor(int column);
    // Rewrites a formatted store's cells as they are shown, leaving it unformatted.
    static void settle(ColumnStore &store);
    void setCellSlow(int row, int column, QByteArrayView text);
    static QByteArrayView storedCell(const ColumnStore &store, int row)
    {
        const auto r = static_cast<std::size_t>(row);
        if (r >= store.ends.size())
            return {};
        const quint32 begin = r == 0 ? 0 : store.ends[r - 1];
        return QByteArrayView(store.pool.data() + begin, qsizetype(store.ends[r] - begin));
    }
    static void appendText(ColumnStore &store, QByteArrayView text);

    std::vector<Column> m_columns;
    std::vector<ColumnStore> m_stores; // m_stores[0] holds the record names
    int m_rows = 0;
};

} // namespace Engine
