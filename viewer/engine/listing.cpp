#include "viewer/engine/listing.h"

#include <algorithm>
#include <stdexcept>

namespace Engine {

namespace {

void checkPoolSize(std::size_t size)
{
    if (size > 0xFFFFFFFFu)
        throw std::length_error("table column too large");
}

} // namespace

Listing Listing::emptyCopy() const
{
    Listing copy;
    copy.m_columns = m_columns;
    copy.m_stores.resize(m_stores.size());
    return copy;
}

int Listing::appendColumn(const QString &title, int widthTwips)
{
    m_columns.push_back(Column{title, false, std::nullopt, widthTwips});
    if (m_stores.size() < m_columns.size())
        m_stores.resize(m_columns.size());
    return columnCount() - 1;
}

int Listing::findColumn(QStringView title) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].title == title)
            return static_cast<int>(i);
    }
    return -1;
}

Listing::ColumnStore &Listing::storeFor(int column)
{
    const auto index = static_cast<std::size_t>(column);
    if (m_stores.size() <= index)
        m_stores.resize(index + 1);
    return m_stores[index];
}

int Listing::appendRow(QStringView name)
{
    std::string bytes;
    CellText::AppendUtf8(name, bytes);
    return appendRowUtf8(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

int Listing::appendRowUtf8(QByteArrayView name)
{
    return appendRowUtf8(name, hasHighByte(name));
}

void Listing::setCell(int row, int column, QStringView text)
{
    std::string bytes;
    CellText::AppendUtf8(text, bytes);
    setCellUtf8(row, column, QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

void Listing::settle(ColumnStore &store)
{
    if (!store.format.active())
        return;
    ColumnStore shown;
    std::string scratch;
    const auto rows = static_cast<std::size_t>(store.formattedRows);
    shown.ends.reserve(rows);
    shown.pool.reserve(store.pool.size() + rows * std::size_t(CellText::FixedWidth));
    for (std::size_t r = 0; r < rows; ++r) {
        const QByteArrayView text =
            CellText::Formatted(storedCell(store, int(r)), store.format, scratch);
        appendText(shown, text);
        shown.ends.push_back(static_cast<quint32>(shown.pool.size()));
    }
    shown.nonAscii = store.nonAscii;
    store = std::move(shown);
}

void Listing::appendText(ColumnStore &store, QByteArrayView text)
{
    const std::size_t old = store.pool.size();
    const auto n = static_cast<std::size_t>(text.size());
    checkPoolSize(old + n);
    store.pool.append(text.data(), n);
    store.nonAscii = store.nonAscii || hasHighByte(text);
}

void Listing::setCellSlow(int row, int column, QByteArrayView text)
{
    if (row < 0 || row >= m_rows || column < 0)
        return;
    ColumnStore &store = storeFor(column);
    const auto r = static_cast<std::size_t>(row);
    settle(store);
    if (r >= store.ends.size()) {
        // Rows in between stay empty.
        store.ends.resize(r, static_cast<quint32>(store.pool.size()));
        appendText(store, text);
        store.ends.push_back(static_cast<quint32>(store.pool.size()));
        return;
    }
    const quint32 begin = r == 0 ? 0 : store.ends[r - 1];
    if (r + 1 == store.ends.size()) {
        // The last stored row, the usual case when a record has a field twice.
        store.pool.resize(begin);
        appendText(store, text);
        store.ends[r] = static_cast<quint32>(store.pool.size());
        return;
    }
    // An earlier row: splice the new text in and shift the later ends.
    const quint32 end = store.ends[r];
    const qint64 delta = qint64(text.size()) - qint64(end - begin);
    checkPoolSize(std::size_t(qint64(store.pool.size()) + delta));
    PodBuffer<char> pool;
    pool.reserve(std::size_t(qint64(store.pool.size()) + delta));
    pool.append(store.pool.data(), begin);
    pool.append(text.data(), std::size_t(text.size()));
    pool.append(store.pool.data() + end, store.pool.size() - end);
    store.pool = std::move(pool);
    store.nonAscii = store.nonAscii || hasHighByte(text);
    for (std::size_t i = r; i < store.ends.size(); ++i)
        store.ends[i] = static_cast<quint32>(qint64(store.ends[i]) + delta);
}

void Listing::formatColumns()
{
    for (std::size_t c = 1; c < m_columns.size() && c < m_stores.size(); ++c) {
        const Column &col = m_columns[c];
        const CellText::Format format{std::max(0, col.tag.value_or(0)), col.rightAligned};
        if (!format.active())
            continue;
        ColumnStore &store = m_stores[c];
        settle(store);
        store.format = format;
        store.formattedRows = m_rows;
    }
}

void Listing::appendRows(Listing &&other)
{
    const int base = m_rows;
    m_rows += other.m_rows;
    std::string scratch;
    for (std::size_t c = 0; c < other.m_stores.size(); ++c) {
        ColumnStore &to = storeFor(static_cast<int>(c));
        settle(to);
        for (int row = 0; row < other.m_rows; ++row) {
            const ColumnStore &from = other.m_stores[c];
            if (!from.format.active() && static_cast<std::size_t>(row) >= from.ends.size())
                break;
            setCellUtf8(base + row, static_cast<int>(c), other.shownBytes(row, int(c), scratch));
        }
    }
    m_columns = std::move(other.m_columns);
    if (m_stores.size() < m_columns.size())
        m_stores.resize(m_columns.size());
    other = Listing();
}

void Listing::appendRowsMapped(const Listing &other, const std::vector<int> &columnOf)
{
    const int base = m_rows;
    m_rows += other.m_rows;
    std::string scratch;
    for (std::size_t c = 0; c < other.m_stores.size(); ++c) {
        const int target = c == 0 ? 0 : (c < columnOf.size() ? columnOf[c] : -1);
        if (target < 0)
            continue;
        const ColumnStore &from = other.m_stores[c];
        ColumnStore &to = storeFor(target);
        settle(to);
        if (from.format.active()) {
            for (int row = 0; row < other.m_rows; ++row)
                setCellUtf8(base + row, target, other.shownBytes(row, int(c), scratch));
            continue;
        }
        if (from.ends.empty())
            continue;
        // Rows of this listing without a cell in the column stay empty.
        const auto offset = static_cast<quint32>(to.pool.size());
        checkPoolSize(to.pool.size() + from.pool.size());
        to.ends.resize(static_cast<std::size_t>(base), offset);
        to.pool.append(from.pool.data(), from.pool.size());
        to.nonAscii = to.nonAscii || from.nonAscii;
        const std::size_t at = to.ends.size();
        to.ends.resizeUninitialized(at + from.ends.size());
        for (std::size_t r = 0; r < from.ends.size(); ++r)
            to.ends[at + r] = from.ends[r] + offset;
    }
}

} // namespace Engine
