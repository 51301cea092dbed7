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
    const auto expected = static_cast<std::size_t>(size / (16 * StartEvery) + 16);
    if (wide)
        raw.m_starts64.reserve(expected);
    else
        raw.m_starts32.reserve(expected);
    auto addStart = [&raw, wide](qsizetype start) {
        if (raw.m_lines % StartEvery == 0) {
            if (wide)
                raw.m_starts64.push_back(start);
            else
                raw.m_starts32.push_back(static_cast<quint32>(start));
        }
        ++raw.m_lines;
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
    return m_lines;
}

QByteArrayView RawText::lineFrom(qsizetype start, qsizetype &next) const
{
    const char *data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    const qsizetype end = FindLineEnd(data, start, size);
    next = end;
    if (end < size) {
        next = end + 1;
        if (data[end] == '\r' && next < size && data[next] == '\n')
            ++next;
    }
    return QByteArrayView(data + start, end - start);
}

qsizetype RawText::lineStart(qsizetype index) const
{
    const auto recorded = static_cast<std::size_t>(index / StartEvery);
    qsizetype start =
        m_starts64.empty() ? qsizetype(m_starts32[recorded]) : qsizetype(m_starts64[recorded]);
    for (qsizetype skip = index % StartEvery; skip > 0; --skip) {
        qsizetype next = 0;
        lineFrom(start, next);
        start = next;
    }
    return start;
}

QByteArrayView RawText::lineBytes(qsizetype index) const
{
    if (index < 0 || index >= lineCount())
        return {};
    qsizetype next = 0;
    return lineFrom(lineStart(index), next);
}

qsizetype RawText::widestLine(int tabWidth) const
{
    const char *data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    qsizetype widest = 0;
    // The first tab at or after the line on hand, or size: most lines have none, and the
    // tabs are looked for once over the whole text.
    qsizetype nextTab = -1;
    forEachLine(0, lineCount() - 1, [&](qsizetype, QByteArrayView bytes) {
        const qsizetype start = bytes.data() - data;
        if (nextTab < start) {
            const void *tab = std::memchr(data + start, '\t', std::size_t(size - start));
            nextTab = tab != nullptr ? static_cast<const char *>(tab) - data : size;
        }
        qsizetype width = bytes.size();
        if (nextTab < start + bytes.size())
            width += bytes.count('\t') * (tabWidth - 1);
        widest = std::max(widest, width);
        return true;
    });
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
