#include "tableparser.h"

#include "numeric.h"
#include "tablefile.h"
#include "tableloader.h"
#include "textencoding.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int NameColumnWidth = 2000;

// Position of the first c in bytes, or -1. Lines are short: a plain loop beats a call.
qsizetype findByte(QByteArrayView bytes, char c)
{
    const char *data = bytes.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (data[i] == c)
            return i;
    }
    return -1;
}

// Field names are short: a plain loop beats a call.
bool sameBytes(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

bool isAsciiOnly(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

char lowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c + 32) : c;
}

// An end header: its whole text, lowered (A-Z only), is "end" or contains " end".
bool isEndHeader(QByteArrayView header)
{
    const qsizetype n = header.size();
    if (n == 3 && lowerAscii(header[0]) == 'e' && lowerAscii(header[1]) == 'n' &&
        lowerAscii(header[2]) == 'd')
        return true;
    for (qsizetype i = 0; i + 3 < n; ++i) {
        if (header[i] == ' ' && lowerAscii(header[i + 1]) == 'e' &&
            lowerAscii(header[i + 2]) == 'n' && lowerAscii(header[i + 3]) == 'd')
            return true;
    }
    return false;
}

template <bool TabsToo>
QByteArrayView trimmed(QByteArrayView bytes)
{
    auto blank = [](char c) { return c == ' ' || c == '\0' || (TabsToo && c == '\t'); };
    const char *begin = bytes.data();
    const char *end = begin + bytes.size();
    while (begin < end && blank(*begin))
        ++begin;
    while (end > begin && blank(end[-1]))
        --end;
    return QByteArrayView(begin, end - begin);
}

// Handles the lines of one reading of the file.
class LineHandler
{
public:
    LineHandler(const QString &caption, const Listing &listed, bool utf8)
        : m_caption(caption), m_openMode(caption == TableLoader::OpenCaption), m_utf8(utf8)
    {
        if (m_openMode) {
            m_result.listing = listed.emptyCopy();
        } else {
            m_result.listing.appendColumn(QStringLiteral("Name"), NameColumnWidth);
        }
        // Field lines before the first header belong to the section named "".
        m_inSection = caption.isEmpty();
        m_result.utf8 = utf8;
    }

    void line(QByteArrayView line)
    {
        if (line.isEmpty())
            return;
        if (line[0] == '#')
            header(line.sliced(1));
        else if (line[0] == '$' && m_inSection)
            field(line);
    }

    // False while the lines of the current section are of no interest (only a header
    // can change that).
    bool wantsFieldLines() const { return m_inSection; }

    ParsedTable take() { return std::move(m_result); }

private:
    void header(QByteArrayView text)
    {
        const qsizetype tab = findByte(text, '\t');
        const QByteArrayView nameBytes = tab < 0 ? text : text.first(tab);
        const QString name = TableText::Decode(nameBytes, m_utf8);
        if (m_openMode && !isEndHeader(text))
            m_result.sections.append(name);
        m_inSection = name == m_caption;
    }

    void field(QByteArrayView line)
    {
        const qsizetype colon = findByte(line, ':');
        if (colon < 0)
            return;
        const QByteArrayView name = trimmed<false>(line.sliced(1, colon - 1));
        // The value starts after "$", the untrimmed name, ":" and one more character. In
        // UTF-8 that character may take several bytes; all of them go.
        qsizetype start = colon + 2;
        if (m_utf8) {
            while (start < line.size() && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80)
                ++start;
        }
        QByteArrayView value;
        if (start < line.size())
            value = line.sliced(start);

        Listing &listing = m_result.listing;
        if (sameBytes(name, QByteArrayView("Name", 4))) {
            decodeValue(value);
            m_row = listing.appendRow(m_text);
            m_nextColumn = 1;
            return;
        }
        const int column = findOrAppendColumn(name);
        m_nextColumn = column + 1;
        if (m_row < 0)
            return;
        decodeValue(value);
        listing.setCell(m_row, column, m_text);
        if (IsNumeric(m_text)) {
            Listing::Column &col = listing.column(column);
            col.rightAligned = true;
            const qsizetype d = DecimalPlaces(m_text);
            const int tag = col.tag.value_or(0);
            col.tag = d > tag ? static_cast<int>(std::min<qsizetype>(d, INT_MAX)) : tag;
        }
    }

    // Fields mostly come in the same order in every record, so the column after the last
    // one used is tried first; otherwise the titles' index is asked, so that a section with
    // very many distinct fields still reads in linear time.
    int findOrAppendColumn(QByteArrayView name)
    {
        Listing &listing = m_result.listing;
        syncTitles();
        if (m_nextColumn < listing.columnCount() &&
            m_titleIsAscii[static_cast<std::size_t>(m_nextColumn)] &&
            sameBytes(m_asciiTitles[static_cast<std::size_t>(m_nextColumn)], name))
            return m_nextColumn;
        const QString title =
            isAsciiOnly(name) ? QString::fromLatin1(name) : TableText::Decode(name, m_utf8);
        const auto found = m_columnOf.constFind(title);
        if (found != m_columnOf.constEnd())
            return found.value();
        const int column = listing.appendColumn(title);
        syncTitles();
        return column;
    }

    // Keeps the byte forms of the column titles and the titles' index in step with the
    // listing. The index keeps the first column of a title, as a search from the left would.
    void syncTitles()
    {
        const Listing &listing = m_result.listing;
        for (auto c = static_cast<int>(m_asciiTitles.size()); c < listing.columnCount(); ++c) {
            const QString &title = listing.column(c).title;
            bool ascii = true;
            for (const QChar ch : title)
                ascii = ascii && ch.unicode() < 0x80;
            m_titleIsAscii.push_back(ascii);
            m_asciiTitles.push_back(ascii ? title.toLatin1() : QByteArray());
            if (!m_columnOf.contains(title))
                m_columnOf.insert(title, c);
        }
    }

    // Makes m_text the value: the bytes up to the first ";", decoded, tabs turned into
    // blanks, then trimmed of blanks and NULs (so tabs at the ends go as well).
    void decodeValue(QByteArrayView value)
    {
        const auto n = static_cast<std::size_t>(value.size());
        if (m_scratch.size() < n)
            m_scratch.resize(std::max(n, 2 * m_scratch.size()));
        const auto *in = reinterpret_cast<const unsigned char *>(value.data());
        char16_t *out = m_scratch.data();
        unsigned char high = 0;
        std::size_t length = 0;
        for (; length < n && in[length] != ';'; ++length) {
            high |= in[length];
            out[length] = in[length] == '\t' ? u' ' : char16_t(in[length]);
        }
        if (high < 0x80) {
            std::size_t begin = 0;
            while (begin < length && (out[begin] == u' ' || out[begin] == 0))
                ++begin;
            while (length > begin && (out[length - 1] == u' ' || out[length - 1] == 0))
                --length;
            m_text = QStringView(out + begin, qsizetype(length - begin));
            return;
        }
        m_decoded.clear();
        TableText::AppendDecoded(trimmed<true>(value.first(qsizetype(length))), m_utf8, m_decoded);
        for (char16_t &c : m_decoded) {
            if (c == u'\t')
                c = u' ';
        }
        m_text = QStringView(m_decoded.data(), qsizetype(m_decoded.size()));
    }

    const QString &m_caption;
    const bool m_openMode;
    const bool m_utf8;
    bool m_inSection = false;
    int m_row = -1;
    int m_nextColumn = 1;
    ParsedTable m_result;
    std::vector<char16_t> m_scratch;
    std::u16string m_decoded;
    std::vector<QByteArray> m_asciiTitles;
    std::vector<char> m_titleIsAscii;
    QHash<QString, int> m_columnOf;
    QStringView m_text;
};

// Handles the lines of one reading of the file for every section at once: each section
// name has a LineHandler of its own that sees only that section's header and field lines,
// so it ends with what a reading for that one caption would list.
class SectionsHandler
{
public:
    explicit SectionsHandler(bool utf8) : m_utf8(utf8)
    {
        m_nameOnly.appendColumn(QStringLiteral("Name"), NameColumnWidth);
        // Field lines before the first header belong to the section named "".
        m_current = &handlerFor(QString());
    }

    void line(QByteArrayView line)
    {
        if (line.isEmpty())
            return;
        if (line[0] == '#') {
            const QByteArrayView text = line.sliced(1);
            const qsizetype tab = findByte(text, '\t');
            QString name = TableText::Decode(tab < 0 ? text : text.first(tab), m_utf8);
            if (!isEndHeader(text))
                m_sections.append(name);
            m_current = &handlerFor(std::move(name));
        } else if (line[0] != '$') {
            return;
        }
        m_current->line(line);
    }

    bool wantsFieldLines() const { return true; }

    ParsedSections take()
    {
        ParsedSections result;
        result.utf8 = m_utf8;
        for (const QString &caption : std::as_const(m_sections)) {
            const auto found = m_index.constFind(caption);
            if (found == m_index.constEnd() || result.listings.contains(caption))
                continue;
            result.listings.insert(
                caption,
                m_handlers[static_cast<std::size_t>(found.value())]->handler.take().listing);
        }
        result.sections = std::move(m_sections);
        return result;
    }

private:
    struct Section
    {
        Section(QString sectionName, const Listing &listed, bool utf8)
            : name(std::move(sectionName)), handler(name, listed, utf8)
        {
        }
        const QString name; // the handler keeps a reference to it
        LineHandler handler;
    };

    LineHandler &handlerFor(QString &&name)
    {
        const auto found = m_index.constFind(name);
        if (found != m_index.constEnd())
            return m_handlers[static_cast<std::size_t>(found.value())]->handler;
        m_index.insert(name, static_cast<int>(m_handlers.size()));
        // The "#" section's handler reads in the open mode; given a listing with only the
        // "Name" column, it lists just that section's rows.
        m_handlers.push_back(std::make_unique<Section>(std::move(name), m_nameOnly, m_utf8));
        return m_handlers.back()->handler;
    }

    const bool m_utf8;
    Listing m_nameOnly;
    std::vector<std::unique_ptr<Section>> m_handlers;
    QHash<QString, int> m_index;
    QStringList m_sections;
    LineHandler *m_current = nullptr;
};

// Index of the first CR or LF in data[from, to), or to. Eight bytes at a time.
qsizetype findLineEnd(const char *data, qsizetype from, qsizetype to)
{
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Highs = 0x8080808080808080ULL;
    qsizetype i = from;
    while (std::endian::native == std::endian::little && to - i >= 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        const quint64 cr = word ^ (Ones * 0x0D);
        const quint64 lf = word ^ (Ones * 0x0A);
        // A zero byte in cr or lf marks a CR or LF (exact for the lowest such byte).
        const quint64 found = ((cr - Ones) & ~cr & Highs) | ((lf - Ones) & ~lf & Highs);
        if (found)
            return i + std::countr_zero(found) / 8;
        i += 8;
    }
    while (i < to && data[i] != '\r' && data[i] != '\n')
        ++i;
    return i;
}

// Start of the first line in data[from, to) that begins with "#", or -1. from is the
// start of a line; every other line starts right after a CR or an LF.
qsizetype findHeaderLine(const char *data, qsizetype from, qsizetype to)
{
    qsizetype i = from;
    while (i < to) {
        const void *found = std::memchr(data + i, '#', std::size_t(to - i));
        if (!found)
            return -1;
        const qsizetype at = static_cast<const char *>(found) - data;
        if (at == from || data[at - 1] == '\r' || data[at - 1] == '\n')
            return at;
        i = at + 1;
    }
    return -1;
}

// Reads the file's lines into handler. With check set, stops and returns false at the
// first piece that is not valid UTF-8.
template <typename Handler>
bool readLines(QFile &file, const QString &fname, Handler &handler, bool check, qsizetype skip)
{
    constexpr qsizetype Chunk = qsizetype(4) << 20;
    std::vector<char> buffer(static_cast<std::size_t>(Chunk));
    qsizetype filled = 0;
    bool eof = false;
    bool first = true;
    while (!eof) {
        if (qsizetype(buffer.size()) - filled < Chunk / 2)
            buffer.resize(buffer.size() * 2); // a line longer than the free room
        const qsizetype got = TableFile::ReadChunk(file, fname, buffer.data() + filled,
                                                   qsizetype(buffer.size()) - filled);
        eof = got == 0;
        filled += got;
        const char *data = buffer.data();
        qsizetype pos = 0;
        if (first) {
            pos = std::min(skip, filled);
            first = false;
        }
        const qsizetype regionStart = pos;
        for (;;) {
            if (!handler.wantsFieldLines()) {
                // Only a header can change anything: go to the next line starting with "#".
                const qsizetype header = findHeaderLine(data, pos, filled);
                if (header < 0) {
                    // Keep the unfinished last line, it may turn out to be a header.
                    qsizetype last = filled;
                    while (last > pos && data[last - 1] != '\r' && data[last - 1] != '\n')
                        --last;
                    pos = eof ? filled : last;
                    break;
                }
                pos = header;
            }
            const qsizetype t = findLineEnd(data, pos, filled);
            if (t == filled)
                break;
            qsizetype next = t + 1;
            if (data[t] == '\r') {
                if (next == filled && !eof)
                    break; // an LF may follow in the next chunk
                if (next < filled && data[next] == '\n')
                    ++next;
            }
            handler.line(QByteArrayView(data + pos, t - pos));
            pos = next;
        }
        if (eof && pos < filled) {
            handler.line(QByteArrayView(data + pos, filled - pos));
            pos = filled;
        }
        if (check &&
            !TableText::CheckUtf8(QByteArrayView(data + regionStart, pos - regionStart)).valid)
            return false;
        std::memmove(buffer.data(), data + pos, static_cast<std::size_t>(filled - pos));
        filled -= pos;
    }
    return true;
}

} // namespace

namespace TableParser {

ParsedTable Parse(QFile &file, const QString &fname, const QString &caption, const Listing &listed)
{
    char head[3] = {};
    const qsizetype headSize = TableFile::ReadChunk(file, fname, head, 3);
    const qsizetype bom = TableText::Utf8BomSize(QByteArrayView(head, headSize));
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    {
        // Optimistically UTF-8; a byte-order mark makes it certain.
        LineHandler handler(caption, listed, true);
        if (readLines(file, fname, handler, bom == 0, bom))
            return handler.take();
    }
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    LineHandler handler(caption, listed, false);
    readLines(file, fname, handler, false, 0);
    return handler.take();
}

ParsedSections ParseSections(QFile &file, const QString &fname)
{
    char head[3] = {};
    const qsizetype headSize = TableFile::ReadChunk(file, fname, head, 3);
    const qsizetype bom = TableText::Utf8BomSize(QByteArrayView(head, headSize));
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    {
        SectionsHandler handler(true);
        if (readLines(file, fname, handler, bom == 0, bom))
            return handler.take();
    }
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    SectionsHandler handler(false);
    readLines(file, fname, handler, false, 0);
    return handler.take();
}

} // namespace TableParser
