#include "viewer/engine/listing.h"

#include "viewer/engine/numeric.h"
#include "viewer/engine/twothreads.h"

#include <algorithm>
#include <limits>
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
    ++m_rows;
    setCell(m_rows - 1, 0, name);
    return m_rows - 1;
}

void Listing::unfix(ColumnStore &store)
{
    if (!store.fixed)
        return;
    store.fixed = false;
    store.ends.resize(store.pool.size() / FixedWidth);
    for (std::size_t r = 0; r < store.ends.size(); ++r)
        store.ends[r] = static_cast<quint32>((r + 1) * FixedWidth);
}

void Listing::appendText(ColumnStore &store, QStringView text)
{
    const std::size_t old = store.pool.size();
    const auto n = static_cast<std::size_t>(text.size());
    checkPoolSize(old + n);
    store.pool.append(reinterpret_cast<const char16_t *>(text.data()), n);
}

void Listing::setCellSlow(int row, int column, QStringView text)
{
    if (row < 0 || row >= m_rows || column < 0)
        return;
    ColumnStore &store = storeFor(column);
    const auto r = static_cast<std::size_t>(row);
    unfix(store);
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
    PodBuffer<char16_t> pool;
    pool.reserve(std::size_t(qint64(store.pool.size()) + delta));
    pool.append(store.pool.data(), begin);
    pool.append(reinterpret_cast<const char16_t *>(text.data()), std::size_t(text.size()));
    pool.append(store.pool.data() + end, store.pool.size() - end);
    store.pool = std::move(pool);
    for (std::size_t i = r; i < store.ends.size(); ++i)
        store.ends[i] = static_cast<quint32>(qint64(store.ends[i]) + delta);
}

void Listing::formatColumns()
{
    std::vector<std::size_t> todo;
    for (std::size_t c = 1; c < m_columns.size() && c < m_stores.size(); ++c) {
        if (m_columns[c].tag.value_or(0) > 0 || m_columns[c].rightAligned)
            todo.push_back(c);
    }
    // Columns are independent: with many rows, a second thread takes every other one.
    constexpr int ParallelRows = 50000;
    if (todo.size() < 2 || m_rows < ParallelRows) {
        for (const std::size_t c : todo)
            formatColumn(c);
        return;
    }
    RunOnTwoThreads(
        [&] {
            for (std::size_t i = 0; i < todo.size(); i += 2)
                formatColumn(todo[i]);
        },
        [&] {
            for (std::size_t i = 1; i < todo.size(); i += 2)
                formatColumn(todo[i]);
        });
}

void Listing::formatColumn(std::size_t c)
{
    {
        const Column &col = m_columns[c];
        const qsizetype decimals = std::max(0, col.tag.value_or(0));
        const ColumnStore &old = m_stores[c];
        ColumnStore formatted;
        formatted.fixed = col.rightAligned;
        if (formatted.fixed) {
            formatted.pool.resizeUninitialized(static_cast<std::size_t>(m_rows) * FixedWidth);
        } else {
            formatted.ends.reserve(static_cast<std::size_t>(m_rows));
            formatted.pool.reserve(old.pool.size());
        }
        for (int row = 0; row < m_rows; ++row) {
            const QStringView cell = storedCell(old, row);
            const char16_t *text = reinterpret_cast<const char16_t *>(cell.data());
            const qsizetype n = cell.size();
            // The cell is followed by a suffix: "." when it has none and decimals are
            // missing, then one "0" per missing decimal.
            qsizetype point = 0;
            while (point < n && text[point] != u'.')
                ++point;
            bool addPoint = false;
            qsizetype zeros = 0;
            if (decimals > 0) {
                // DecimalPlaces: characters after the first "." once trailing blanks and
                // NULs are trimmed (leading ones come before the point).
                qsizetype d = 0;
                if (point < n) {
                    qsizetype end = n;
                    while (end > point + 1 && (text[end - 1] == u' ' || text[end - 1] == 0))
                        --end;
                    d = end - point - 1;
                }
                if (d < decimals) {
                    addPoint = point == n;
                    zeros = decimals - d;
                }
            }
            const qsizetype length = n + (addPoint ? 1 : 0) + zeros;
            auto charAt = [&](qsizetype i) -> char16_t {
                if (i < n)
                    return text[i];
                return (addPoint && i == n) ? u'.' : u'0';
            };
            if (formatted.fixed && length <= FixedWidth) {
                // Blanks, the cell, then its suffix.
                char16_t *out = formatted.pool.data() + std::size_t(row) * FixedWidth;
                const qsizetype pad = FixedWidth - length;
                for (qsizetype i = 0; i < pad; ++i)
                    *out++ = u' ';
                for (qsizetype i = 0; i < n; ++i)
                    *out++ = text[i];
                if (addPoint)
                    *out++ = u'.';
                for (qsizetype i = 0; i < zeros; ++i)
                    *out++ = u'0';
                continue;
            }
            if (formatted.fixed) {
                // The last 12 characters of 22 blanks followed by the cell.
                char16_t *out = formatted.pool.data() + std::size_t(row) * FixedWidth;
                const qsizetype take = std::min<qsizetype>(length, FixedWidth);
                const qsizetype pad = FixedWidth - take;
                for (qsizetype i = 0; i < pad; ++i)
                    out[i] = u' ';
                for (qsizetype i = 0; i < take; ++i)
                    out[pad + i] = charAt(length - take + i);
            } else {
                const std::size_t at = formatted.pool.size();
                checkPoolSize(at + std::size_t(length));
                formatted.pool.resizeUninitialized(at + std::size_t(length));
                for (qsizetype i = 0; i < length; ++i)
                    formatted.pool[at + std::size_t(i)] = charAt(i);
                formatted.ends.push_back(static_cast<quint32>(formatted.pool.size()));
            }
        }
        m_stores[c] = std::move(formatted);
    }
}

void Listing::appendRows(Listing &&other)
{
    const int base = m_rows;
    m_rows += other.m_rows;
    for (std::size_t c = 0; c < other.m_stores.size(); ++c) {
        const ColumnStore &from = other.m_stores[c];
        ColumnStore &to = storeFor(static_cast<int>(c));
        unfix(to);
        for (int row = 0; row < other.m_rows; ++row) {
            if (!from.fixed && static_cast<std::size_t>(row) >= from.ends.size())
                break;
            setCell(base + row, static_cast<int>(c), storedCell(from, row));
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
    for (std::size_t c = 0; c < other.m_stores.size(); ++c) {
        const int target = c == 0 ? 0 : (c < columnOf.size() ? columnOf[c] : -1);
        if (target < 0)
            continue;
        const ColumnStore &from = other.m_stores[c];
        ColumnStore &to = storeFor(target);
        if (from.fixed || to.fixed) {
            for (int row = 0; row < other.m_rows; ++row)
                setCell(base + row, target, storedCell(from, row));
            continue;
        }
        if (from.ends.empty())
            continue;
        // Rows of this listing without a cell in the column stay empty.
        const auto offset = static_cast<quint32>(to.pool.size());
        checkPoolSize(to.pool.size() + from.pool.size());
        to.ends.resize(static_cast<std::size_t>(base), offset);
        to.pool.append(from.pool.data(), from.pool.size());
        const std::size_t at = to.ends.size();
        to.ends.resizeUninitialized(at + from.ends.size());
        for (std::size_t r = 0; r < from.ends.size(); ++r)
            to.ends[at + r] = from.ends[r] + offset;
    }
}

} // namespace Engine
