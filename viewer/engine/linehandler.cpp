#include "viewer/engine/linehandler.h"

#include "viewer/engine/celltext.h"
#include "viewer/engine/numeric.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tabletext.h"

#include <algorithm>
#include <array>
#include <climits>

namespace Engine::Parsing {

namespace {

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

// What decodeValue() looks for in a value's bytes.
enum ValueByteKind : unsigned
{
    EndsValue = 1, // ";"
    IsTab = 2,
    IsHigh = 4, // 0x80 or more
    NotDigit = 8,
    IsPoint = 16,
};
constexpr std::array<unsigned char, 256> ValueByte = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        unsigned kind = (c >= '0' && c <= '9') || c == '.' ? 0u : unsigned(NotDigit);
        if (c >= 0x80)
            kind |= IsHigh;
        table[std::size_t(c)] = static_cast<unsigned char>(kind);
    }
    table[';'] |= EndsValue;
    table['\t'] |= IsTab;
    table['.'] |= IsPoint;
    return table;
}();

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

} // namespace

LineHandler::LineHandler(const QString &caption, const Listing &listed, bool utf8)
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

LineHandler::LineHandler(const QString &caption, bool utf8, bool inSection)
    : m_caption(caption), m_openMode(false), m_utf8(utf8), m_partial(true), m_inSection(inSection)
{
    m_result.listing.appendColumn(QStringLiteral("Name"), NameColumnWidth);
    m_result.utf8 = utf8;
}

bool LineHandler::listsSectionOf(QByteArrayView headerText) const
{
    const qsizetype tab = findByte(headerText, '\t');
    return Decode(tab < 0 ? headerText : headerText.first(tab), m_utf8) == m_caption;
}

void LineHandler::absorb(LineHandler &&part)
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
            storeValue(columnOf[static_cast<std::size_t>(pending.column)], pending.value, false,
                       !isAsciiOnly(pending.value));
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

void LineHandler::header(QByteArrayView text)
{
    const qsizetype tab = findByte(text, '\t');
    const QByteArrayView nameBytes = tab < 0 ? text : text.first(tab);
    const QString name = Decode(nameBytes, m_utf8);
    if (m_openMode && !isEndHeader(text))
        m_result.sections.append(name);
    m_inSection = name == m_caption;
}

void LineHandler::field(QByteArrayView line)
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
        m_row = listing.appendRowUtf8(m_text, m_highBytes);
        m_lastColumn = 0;
        return;
    }
    const int column = findOrAppendColumn(name);
    m_successor[static_cast<std::size_t>(m_lastColumn)] = column;
    m_lastColumn = column;
    if (m_row < 0) {
        if (m_partial) {
            decodeValue(value);
            m_pending.push_back(Pending{column, m_text.toByteArray()});
        }
        return;
    }
    decodeValue(value);
    storeValue(column, m_text, m_plainNumber, m_highBytes);
}

void LineHandler::storeValue(int column, QByteArrayView text, bool plainNumber, bool highBytes)
{
    Listing &listing = m_result.listing;
    listing.setCellUtf8(m_row, column, text, highBytes);
    if (plainNumber || IsNumeric(text)) {
        Listing::Column &col = listing.column(column);
        col.rightAligned = true;
        qsizetype d = 0;
        if (plainNumber) {
            const qsizetype point = findByte(text, '.');
            d = point < 0 ? 0 : text.size() - point - 1;
        } else {
            d = DecimalPlaces(text);
        }
        const int tag = col.tag.value_or(0);
        col.tag = d > tag ? static_cast<int>(std::min<qsizetype>(d, INT_MAX)) : tag;
    }
}

int LineHandler::findOrAppendColumn(QByteArrayView name)
{
    Listing &listing = m_result.listing;
    syncTitles();
    const auto last = static_cast<std::size_t>(m_lastColumn);
    const int next = last < m_successor.size() ? m_successor[last] : listing.columnCount();
    if (next < listing.columnCount() && m_titleIsAscii[static_cast<std::size_t>(next)] &&
        sameBytes(m_titleBytes[static_cast<std::size_t>(next)], name))
        return next;
    const QString title = isAsciiOnly(name) ? QString::fromLatin1(name) : Decode(name, m_utf8);
    const auto found = m_columnOf.constFind(title);
    if (found != m_columnOf.constEnd())
        return found.value();
    const int column = listing.appendColumn(title);
    syncTitles();
    return column;
}

void LineHandler::appendTitles()
{
    const Listing &listing = m_result.listing;
    for (auto c = static_cast<int>(m_titleBytes.size()); c < listing.columnCount(); ++c) {
        const QString &title = listing.column(c).title;
        bool ascii = true;
        for (const QChar ch : title)
            ascii = ascii && ch.unicode() < 0x80;
        m_titleIsAscii.push_back(ascii);
        m_successor.push_back(c + 1);
        m_asciiTitles.push_back(ascii ? title.toLatin1() : QByteArray());
        m_titleBytes.push_back(QByteArrayView(m_asciiTitles.back()));
        if (!m_columnOf.contains(title))
            m_columnOf.insert(title, c);
    }
}

void LineHandler::decodeValue(QByteArrayView value)
{
    const auto *in = reinterpret_cast<const unsigned char *>(value.data());
    const auto n = static_cast<std::size_t>(value.size());
    unsigned flags = 0;
    unsigned points = 0;
    std::size_t length = 0;
    for (; length < n; ++length) {
        const unsigned kind = ValueByte[in[length]];
        if (kind & EndsValue)
            break;
        flags |= kind;
        points += kind & IsPoint;
    }
    const bool tabs = (flags & IsTab) != 0;
    const bool high = (flags & IsHigh) != 0;
    m_highBytes = high;
    // Digits with at most one "." and nothing else, not even blanks: numeric as it is.
    m_plainNumber = length > 0 && (flags & NotDigit) == 0 && points <= IsPoint &&
                    length > (points != 0 ? 1u : 0u);
    // Trimming blanks, NULs and tabs first is the same as turning tabs into blanks and
    // trimming then; every one of them is a single byte in both encodings.
    const QByteArrayView text = trimmed<true>(value.first(qsizetype(length)));
    if (!high && !tabs) {
        m_text = text;
        return;
    }
    m_scratch.assign(text.data(), std::size_t(text.size()));
    for (char &c : m_scratch) {
        if (c == '\t')
            c = ' ';
    }
    if (high && (!m_utf8 || !CheckUtf8(QByteArrayView(m_scratch)).valid)) {
        // Windows-1252, or UTF-8 that is not well-formed (possible behind a byte-order
        // mark): decoded as the file's encoding is, then kept as UTF-8.
        m_decoded.clear();
        AppendDecoded(QByteArrayView(m_scratch), m_utf8, m_decoded);
        m_scratch.clear();
        CellText::AppendUtf8(QStringView(m_decoded.data(), qsizetype(m_decoded.size())), m_scratch);
    }
    m_text = QByteArrayView(m_scratch.data(), qsizetype(m_scratch.size()));
}

} // namespace Engine::Parsing
