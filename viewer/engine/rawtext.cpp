#include "viewer/engine/rawtext.h"

#include "viewer/engine/lineends.h"
#include "viewer/engine/tablefile.h"
#include "viewer/engine/tabletext.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace Engine {

RawText RawText::load(const QString &fname)
{
    return fromBytes(ReadTableFile(fname));
}

RawText RawText::fromBytes(QByteArray bytes)
{
    RawText raw;
    raw.m_bytes = std::move(bytes);
    const QByteArrayView all(raw.m_bytes);
    raw.m_utf8 = IsUtf8File(all);
    raw.m_textStart = Utf8BomSize(all);

    const bool wide = all.size() > qsizetype(std::numeric_limits<quint32>::max());
    const char *data = all.data();
    const qsizetype size = all.size();
    // Room for lines of about 16 bytes; the index grows by reallocation beyond that.
    const auto expected = static_cast<std::size_t>(size / 16 + 16);
    if (wide)
        raw.m_starts64.reserve(expected);
    else
        raw.m_starts32.reserve(expected);
    auto addStart = [&raw, wide](qsizetype start) {
        if (wide)
            raw.m_starts64.push_back(start);
        else
            raw.m_starts32.push_back(static_cast<quint32>(start));
    };
    // A line starts at the text's start and after every terminator (CR LF counted once)
    // that something follows.
    if (raw.m_textStart < size)
        addStart(raw.m_textStart);
    qsizetype pairLf = -1; // the LF of a CR LF just handled
    ForEachLineEndByte(data, raw.m_textStart, size, [&](qsizetype at) {
        if (at == pairLf)
            return;
        qsizetype next = at + 1;
        if (data[at] == '\r' && next < size && data[next] == '\n')
            pairLf = next++;
        if (next < size)
            addStart(next);
    });
    return raw;
}

qsizetype RawText::lineCount() const
{
    return static_cast<qsizetype>(m_starts64.empty() ? m_starts32.size() : m_starts64.size());
}

qsizetype RawText::lineStart(qsizetype index) const
{
    const auto i = static_cast<std::size_t>(index);
    return m_starts64.empty() ? qsizetype(m_starts32[i]) : qsizetype(m_starts64[i]);
}

QByteArrayView RawText::lineBytes(qsizetype index) const
{
    if (index < 0 || index >= lineCount())
        return {};
    const qsizetype start = lineStart(index);
    qsizetype end = m_bytes.size();
    if (index + 1 < lineCount()) {
        // A line never holds CR or LF, so the terminator is what precedes the next start.
        end = lineStart(index + 1) - 1;
        if (m_bytes[end] == '\n' && end > start && m_bytes[end - 1] == '\r')
            --end;
    } else if (end > start && (m_bytes[end - 1] == '\r' || m_bytes[end - 1] == '\n')) {
        --end;
        if (m_bytes[end] == '\n' && end > start && m_bytes[end - 1] == '\r')
            --end;
    }
    return QByteArrayView(m_bytes.constData() + start, end - start);
}

qsizetype RawText::widestLine(int tabWidth) const
{
    const qsizetype lines = lineCount();
    qsizetype widest = 0;
    for (qsizetype i = 0; i < lines; ++i)
        widest = std::max(widest, lineBytes(i).size());
    // Lines with tabs, found from the tabs themselves: most lines have none.
    const char *data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    qsizetype line = 0;
    qsizetype at = m_textStart;
    while (at < size) {
        const void *tab = std::memchr(data + at, '\t', std::size_t(size - at));
        if (tab == nullptr)
            break;
        const qsizetype t = static_cast<const char *>(tab) - data;
        while (line + 1 < lines && lineStart(line + 1) <= t)
            ++line;
        const QByteArrayView bytes = lineBytes(line);
        widest = std::max(widest, bytes.size() + bytes.count('\t') * (tabWidth - 1));
        // On after the line's last byte (its tabs are counted).
        at = std::max(t + 1, lineStart(line) + bytes.size());
    }
    return widest;
}

QString RawText::line(qsizetype index) const
{
    return Decode(lineBytes(index), m_utf8);
}

QString RawText::text() const
{
    return Decode(QByteArrayView(m_bytes).sliced(m_textStart), m_utf8);
}

} // namespace Engine
