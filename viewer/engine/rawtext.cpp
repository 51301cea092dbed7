#include "viewer/engine/rawtext.h"

#include "viewer/engine/lineends.h"
#include "viewer/engine/tablefile.h"
#include "viewer/engine/tabletext.h"

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
    qsizetype pos = raw.m_textStart;
    while (pos < size) {
        if (wide)
            raw.m_starts64.push_back(pos);
        else
            raw.m_starts32.push_back(static_cast<quint32>(pos));
        qsizetype i = FindLineEnd(data, pos, size);
        if (i < size && data[i] == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        pos = i + 1;
    }
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

QString RawText::line(qsizetype index) const
{
    return Decode(lineBytes(index), m_utf8);
}

QString RawText::text() const
{
    return Decode(QByteArrayView(m_bytes).sliced(m_textStart), m_utf8);
}

} // namespace Engine
