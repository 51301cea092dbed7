#pragma once
// Listing: the records of the section on show, column-major and compact, so that a
// section of a million records fits in a few hundred megabytes.
//
// Column 0 is "Name" (the record names); every other column has a title, an alignment
// (left until a numeric value is stored, then right) and a decimal tag (unset until the
// first numeric value, then the largest DecimalPlaces of the numeric values stored).
// A row's cell in a column it has no value for is empty.

#include <QString>
#include <QStringView>

#include <optional>
#include <vector>

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

    int rowCount() const;
    int columnCount() const;
    const Column &column(int index) const;
    Column &column(int index);

    // Appends a column; returns its index.
    int appendColumn(const QString &title, int widthTwips = -1);
    // Index of the first column titled exactly title, or -1.
    int findColumn(QStringView title) const;

    // Appends a row whose name (column 0) is name; returns its index.
    int appendRow(QStringView name);
    QStringView cell(int row, int column) const;
    void setCell(int row, int column, QStringView text);

    // The formatting pass over columns 1..last: pads cells to the column's decimal count,
    // then right-aligned cells to exactly 12 characters.
    void formatColumns();

    // Appends the rows of other (whose columns start with this listing's columns, in the
    // same order) and takes over its column metadata.
    void appendRows(Listing &&other);

private:
    struct CellRef
    {
        quint32 offset = 0;
        quint32 length = 0;
    };
    struct ColumnStore
    {
        std::vector<CellRef> refs;  // refs.size() <= rows; missing rows are empty
        std::vector<char16_t> pool; // cell texts back to back
        std::vector<char16_t> fixed; // when non-empty: every cell is 12 characters wide
    };
    std::vector<Column> m_columns;
    std::vector<ColumnStore> m_stores;
    int m_rows = 0;
};
