#include "viewer/engine/tableparser.h"

#include "viewer/engine/numeric.h"
#include "viewer/engine/podbuffer.h"
#include "viewer/engine/tablefile.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tabletext.h"
#include "viewer/engine/twothreads.h"

#include <QHash>
#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace Engine {

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
        : m_caption(caption), m_openMode(caption == OpenCaption), m_utf8(utf8), m_partial(false)
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

    // A handler for a later piece of the file, read while an earlier piece is: it starts
    // in or out of the listed section as given, with no record and only the "Name"
    // column, and keeps the field lines that come before its first record for absorb().
    // Listing mode only.
    LineHandler(const QString &caption, bool utf8, bool inSection)
        : m_caption(caption), m_openMode(false), m_utf8(utf8), m_partial(true),
          m_inSection(inSection)
    {
        m_result.listing.appendColumn(QStringLiteral("Name"), NameColumnWidth);
        m_result.utf8 = utf8;
    }

    // Whether the lines after a header with this text are read (the header's section is
    // the listed one).
    bool listsSectionOf(QByteArrayView headerText) const
    {
        const qsizetype tab = findByte(headerText, '\t');
        return Decode(tab < 0 ? headerText : headerText.first(tab), m_utf8) == m_caption;
    }

    // Takes over what a partial handler read from the piece right after this handler's
    // lines, as if this handler had read that piece itself.
    void absorb(LineHandler &&part)
    {
        Listing &listing = m_result.listing;
        const Listing &partListing = part.m_result.listing;
        std::vector<int> columnOf(static_cast<std::size_t>(partListing.columnCount()), -1);
        auto columnFor = [&](int partColumn) {
            int &mapped = columnOf[static_cast<std::size_t>(partColumn)];
            if (mapped < 0) {
                const QString &title = partListing.column(partColumn).title;
                mapped = m_columnOf.value(title, -1);
                if (mapped < 0) {
                    mapped = listing.appendColumn(title);
                    syncTitles();
                }
            }
            return mapped;
        };
        syncTitles();
        // New columns in the order the part met their titles.
        for (int c = 1; c < partListing.columnCount(); ++c)
            columnFor(c);
        // The fields before the part's first record belong to this handler's last one.
        if (m_row >= 0) {
            for (const Pending &pending : part.m_pending)
                storeValue(columnOf[static_cast<std::size_t>(pending.column)], pending.value);
        }
        const int base = listing.rowCount();
        listing.appendRowsMapped(partListing, columnOf);
        for (int c = 1; c < partListing.columnCount(); ++c) {
            const Listing::Column &from = partListing.column(c);
            Listing::Column &to = listing.column(columnOf[static_cast<std::size_t>(c)]);
            to.rightAligned = to.rightAligned || from.rightAligned;
            if (from.tag)
                to.tag = std::max(to.tag.value_or(0), *from.tag);
        }
        if (part.m_row >= 0)
            m_row = base + part.m_row;
        m_inSection = part.m_inSection;
        m_lastColumn = 0;
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
        const QString name = Decode(nameBytes, m_utf8);
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
            m_lastColumn = 0;
            return;
        }
        const int column = findOrAppendColumn(name);
        m_successor[static_cast<std::size_t>(m_lastColumn)] = column;
        m_lastColumn = column;
        if (m_row < 0) {
            if (m_partial) {
                decodeValue(value);
                m_pending.push_back(Pending{column, m_text.toString()});
            }
            return;
        }
        decodeValue(value);
        storeValue(column, m_text);
    }

    // The value goes into the current record's cell of column; a numeric value makes the
    // column right-aligned and raises its decimal count.
    void storeValue(int column, QStringView text)
    {
        Listing &listing = m_result.listing;
        listing.setCell(m_row, column, text);
        if (IsNumeric(text)) {
            Listing::Column &col = listing.column(column);
            col.rightAligned = true;
            const qsizetype d = DecimalPlaces(text);
            const int tag = col.tag.value_or(0);
            col.tag = d > tag ? static_cast<int>(std::min<qsizetype>(d, INT_MAX)) : tag;
        }
    }

    // Fields mostly come in the same order in every record, so the column that followed the
    // last one used (the record's name for the first field) the time before is tried first;
    // otherwise the titles' index is asked, so that a section with very many distinct
    // fields still reads in linear time.
    int findOrAppendColumn(QByteArrayView name)
    {
        Listing &listing = m_result.listing;
        syncTitles();
        const auto last = static_cast<std::size_t>(m_lastColumn);
        const int next = last < m_successor.size() ? m_successor[last] : listing.columnCount();
        if (next < listing.columnCount() && m_titleIsAscii[static_cast<std::size_t>(next)] &&
            sameBytes(m_asciiTitles[static_cast<std::size_t>(next)], name))
            return next;
        const QString title = isAsciiOnly(name) ? QString::fromLatin1(name) : Decode(name, m_utf8);
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
            m_successor.push_back(c + 1);
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
        AppendDecoded(trimmed<true>(value.first(qsizetype(length))), m_utf8, m_decoded);
        for (char16_t &c : m_decoded) {
            if (c == u'\t')
                c = u' ';
        }
        m_text = QStringView(m_decoded.data(), qsizetype(m_decoded.size()));
    }

    // A field line a partial handler met before its first record.
    struct Pending
    {
        int column;
        QString value;
    };

    const QString &m_caption;
    const bool m_openMode;
    const bool m_utf8;
    const bool m_partial;
    bool m_inSection = false;
    int m_row = -1;
    // The column of the last field line of the record, 0 after its "$Name:" line, and for
    // each column the one that followed it last.
    int m_lastColumn = 0;
    std::vector<int> m_successor;
    ParsedTable m_result;
    std::vector<char16_t> m_scratch;
    std::u16string m_decoded;
    std::vector<QByteArray> m_asciiTitles;
    std::vector<char> m_titleIsAscii;
    QHash<QString, int> m_columnOf;
    QStringView m_text;
    std::vector<Pending> m_pending;
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
            QString name = Decode(tab < 0 ? text : text.first(tab), m_utf8);
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

// Hands the lines of data[from, to) to handler. Every line there ends with its terminator,
// except the last one when last is set (the end of the file).
template <typename Handler>
void readRegion(Handler &handler, const char *data, qsizetype from, qsizetype to, bool last)
{
    qsizetype pos = from;
    while (pos < to) {
        if (!handler.wantsFieldLines()) {
            // Only a header can change anything: go to the next line starting with "#".
            const qsizetype header = findHeaderLine(data, pos, to);
            if (header < 0)
                return;
            pos = header;
        }
        const qsizetype t = findLineEnd(data, pos, to);
        if (t == to) {
            if (last)
                handler.line(QByteArrayView(data + pos, to - pos));
            return;
        }
        qsizetype next = t + 1;
        if (data[t] == '\r' && next < to && data[next] == '\n')
            ++next;
        handler.line(QByteArrayView(data + pos, t - pos));
        pos = next;
    }
}

// End of the last complete line in data[from, to): after its LF, or after a CR that is
// followed by something other than an LF; from when there is none.
qsizetype completeLinesEnd(const char *data, qsizetype from, qsizetype to)
{
    for (qsizetype i = to - 1; i >= from; --i) {
        if (data[i] == '\n')
            return i + 1;
        if (data[i] == '\r' && i + 1 < to)
            return i + 1;
    }
    return from;
}

// Start of the line after the first line end at or after at in data[from, to), or -1 when
// there is none before to.
qsizetype lineStartAfter(const char *data, qsizetype at, qsizetype to)
{
    const qsizetype t = findLineEnd(data, at, to);
    if (t >= to - 1)
        return -1;
    return (data[t] == '\r' && data[t + 1] == '\n') ? t + 2 : t + 1;
}

// Start of the last line in data[from, to) that begins with "#", or -1.
qsizetype lastHeaderLine(const char *data, qsizetype from, qsizetype to)
{
    for (qsizetype i = to - 1; i >= from; --i) {
        if (data[i] == '#' && (i == from || data[i - 1] == '\r' || data[i - 1] == '\n'))
            return i;
    }
    return -1;
}

// Reads the complete lines data[from, to) into handler: with the piece large enough, the
// second half is read on a second thread into a partial handler that handler then absorbs.
// Lines are independent once it is known whether the listed section is on at a line: the
// last header before it tells. With check set, also checks that the piece is valid UTF-8
// and returns the result (true otherwise).
bool readPiece(LineHandler &handler, const QString &caption, bool utf8, bool check,
               qsizetype parallelPiece, const char *data, qsizetype from, qsizetype to, bool last)
{
    auto valid = [&](qsizetype begin, qsizetype end) {
        return !check || CheckUtf8(QByteArrayView(data + begin, end - begin)).valid;
    };
    const qsizetype split = parallelPiece > 0 && to - from >= 2 * parallelPiece
                                ? lineStartAfter(data, from + (to - from) / 2, to)
                                : -1;
    if (split < 0) {
        readRegion(handler, data, from, to, last);
        return valid(from, to);
    }
    const qsizetype header = lastHeaderLine(data, from, split);
    bool inSection = handler.wantsFieldLines();
    if (header >= 0) {
        const qsizetype end = findLineEnd(data, header, split);
        inSection = handler.listsSectionOf(QByteArrayView(data + header + 1, end - header - 1));
    }
    LineHandler part(caption, utf8, inSection);
    bool firstValid = true;
    bool secondValid = true;
    RunOnTwoThreads(
        [&] {
            readRegion(handler, data, from, split, false);
            firstValid = valid(from, split);
        },
        [&] {
            readRegion(part, data, split, to, last);
            secondValid = valid(split, to);
        });
    handler.absorb(std::move(part));
    return firstValid && secondValid;
}

// The same for a handler of every section: on one thread.
bool readPiece(SectionsHandler &handler, const QString &, bool, bool check, qsizetype,
               const char *data, qsizetype from, qsizetype to, bool last)
{
    readRegion(handler, data, from, to, last);
    return !check || CheckUtf8(QByteArrayView(data + from, to - from)).valid;
}

// Reads the file's lines into handler. With check set, stops and returns false at the
// first piece that is not valid UTF-8.
template <typename Handler>
bool readLines(QFile &file, const QString &fname, const QString &caption, Handler &handler,
               bool utf8, bool check, qsizetype skip, qsizetype parallelPiece)
{
    // Pieces of up to 8 MB; a smaller file gets a buffer of its own size, so that reading
    // it costs in proportion to its length.
    constexpr qsizetype MaxChunk = qsizetype(8) << 20;
    const qsizetype Chunk =
        qsizetype(std::clamp<qint64>(file.size() - file.pos() + 1, 4096, MaxChunk));
    // The "#" mode collects headers and skims the rest; only a listing is worth a thread.
    if (caption == OpenCaption)
        parallelPiece = 0;
    PodBuffer<char> buffer;
    buffer.resizeUninitialized(static_cast<std::size_t>(Chunk));
    qsizetype filled = 0;
    bool eof = false;
    bool first = true;
    while (!eof) {
        if (qsizetype(buffer.size()) - filled < Chunk / 2)
            buffer.resizeUninitialized(buffer.size() * 2); // a line longer than the free room
        const qsizetype got =
            ReadTableChunk(file, fname, buffer.data() + filled, qsizetype(buffer.size()) - filled);
        eof = got == 0;
        filled += got;
        const char *data = buffer.data();
        qsizetype pos = 0;
        if (first) {
            pos = std::min(skip, filled);
            first = false;
        }
        const qsizetype end = eof ? filled : completeLinesEnd(data, pos, filled);
        if (!readPiece(handler, caption, utf8, check, parallelPiece, data, pos, end, eof))
            return false;
        std::memmove(buffer.data(), data + end, static_cast<std::size_t>(filled - end));
        filled -= end;
    }
    return true;
}

} // namespace

ParsedTable ParseTable(QFile &file, const QString &fname, const QString &caption,
                       const Listing &listed, qsizetype parallelPiece)
{
    char head[3] = {};
    const qsizetype headSize = ReadTableChunk(file, fname, head, 3);
    const qsizetype bom = Utf8BomSize(QByteArrayView(head, headSize));
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    {
        // Optimistically UTF-8; a byte-order mark makes it certain.
        LineHandler handler(caption, listed, true);
        if (readLines(file, fname, caption, handler, true, bom == 0, bom, parallelPiece))
            return handler.take();
    }
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    LineHandler handler(caption, listed, false);
    readLines(file, fname, caption, handler, false, false, 0, parallelPiece);
    return handler.take();
}

ParsedSections ParseSections(QFile &file, const QString &fname)
{
    char head[3] = {};
    const qsizetype headSize = ReadTableChunk(file, fname, head, 3);
    const qsizetype bom = Utf8BomSize(QByteArrayView(head, headSize));
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    {
        SectionsHandler handler(true);
        if (readLines(file, fname, OpenCaption, handler, true, bom == 0, bom, 0))
            return handler.take();
    }
    if (!file.seek(0))
        throw LoadError(fname, file.errorString());
    SectionsHandler handler(false);
    readLines(file, fname, OpenCaption, handler, false, false, 0, 0);
    return handler.take();
}

} // namespace Engine
