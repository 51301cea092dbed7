#include "viewer/engine/tablecheck.h"

#include "viewer/engine/numeric.h"
#include "viewer/engine/tablefile.h"
#include "viewer/engine/tabletext.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstring>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

namespace Engine {

namespace {

using Kind = TableProblem::Kind;

// Right-aligned cells show this many characters.
constexpr qsizetype ShownWidth = 12;

constexpr std::array<const char *, 12> KindNames = {
    "ignored-field",   "no-colon",       "char-dropped", "end-not-end",
    "section-blank",   "unreachable",    "no-record",    "continues-record",
    "duplicate-field", "duplicate-name", "not-numeric",  "cut-at-12",
};

std::string_view view(QByteArrayView bytes)
{
    return {bytes.data(), static_cast<std::size_t>(bytes.size())};
}

qsizetype find(QByteArrayView bytes, char c)
{
    if (bytes.isEmpty())
        return -1; // an empty view may have no data at all
    const void *at = std::memchr(bytes.data(), c, static_cast<std::size_t>(bytes.size()));
    return at ? static_cast<const char *>(at) - bytes.data() : -1;
}

// bytes without the blanks and NULs (and, with tabs set, the tabs) at its ends.
QByteArrayView trim(QByteArrayView bytes, bool tabs)
{
    auto blank = [tabs](char c) { return c == ' ' || c == '\0' || (tabs && c == '\t'); };
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && blank(bytes[begin]))
        ++begin;
    while (end > begin && blank(bytes[end - 1]))
        --end;
    return bytes.sliced(begin, end - begin);
}

// Field and section names are short: a plain loop beats a call.
bool sameBytes(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            return false;
    }
    return true;
}

bool isName(QByteArrayView field)
{
    return field.size() == 4 && field[0] == 'N' && field[1] == 'a' && field[2] == 'm' &&
           field[3] == 'e';
}

bool isLetter(char c, char lower)
{
    return c == lower || c == lower - 32;
}

bool isEndAt(QByteArrayView text, qsizetype i)
{
    return isLetter(text[i], 'e') && isLetter(text[i + 1], 'n') && isLetter(text[i + 2], 'd');
}

// Whether name, without the blanks and tabs at its ends, is "end" in any case.
bool isEndTrimmed(QByteArrayView name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && (name[begin] == ' ' || name[begin] == '\t'))
        ++begin;
    while (end > begin && (name[end - 1] == ' ' || name[end - 1] == '\t'))
        --end;
    return end - begin == 3 && isEndAt(name, begin);
}

// A header that makes no tab: its text, lowered, is "end" or holds " end".
bool endsSections(QByteArrayView text)
{
    if (text.size() == 3 && isEndAt(text, 0))
        return true;
    for (qsizetype i = 0; i + 3 < text.size(); ++i) {
        if (text[i] == ' ' && isEndAt(text, i + 1))
            return true;
    }
    return false;
}

// Index of the first CR or LF in data[from, to), or to. Eight bytes at a time.
qsizetype lineEnd(const char *data, qsizetype from, qsizetype to)
{
    constexpr quint64 Ones = 0x0101010101010101ULL;
    constexpr quint64 Highs = 0x8080808080808080ULL;
    qsizetype i = from;
    if constexpr (std::endian::native == std::endian::little) {
        for (; to - i >= 8; i += 8) {
            quint64 word;
            std::memcpy(&word, data + i, 8);
            const quint64 cr = word ^ (Ones * '\r');
            const quint64 lf = word ^ (Ones * '\n');
            // The lowest zero byte of cr or lf is found exactly.
            const quint64 hit = ((cr - Ones) & ~cr & Highs) | ((lf - Ones) & ~lf & Highs);
            if (hit)
                return i + std::countr_zero(hit) / 8;
        }
    }
    while (i < to && data[i] != '\r' && data[i] != '\n')
        ++i;
    return i;
}

// Calls f(number, line) for every line of bytes from offset from.
template <typename F>
void forEachLine(QByteArrayView bytes, qsizetype from, F &&f)
{
    const char *data = bytes.data();
    const qsizetype size = bytes.size();
    qint64 number = 0;
    for (qsizetype pos = from; pos < size;) {
        const qsizetype end = lineEnd(data, pos, size);
        f(++number, QByteArrayView(data + pos, end - pos));
        if (end == size)
            break;
        pos = end + 1;
        if (data[end] == '\r' && pos < size && data[pos] == '\n')
            ++pos;
    }
}

// The record names of a section, to find the ones used twice. A section may hold millions
// of records, so the table is small (8 bytes a slot) and each name's slot is fetched from
// memory while the next few names are read: a name is settled Depth names after it came.
class RecordNames
{
public:
    struct Repeat
    {
        qint64 line;
        qint64 earlier;
        std::string_view name;
    };

    void add(std::string_view name, qint64 line)
    {
        if (2 * (m_entries.size() + Depth + 1) > m_slots.size()) {
            settleAll();
            grow();
        }
        const std::size_t hash = std::hash<std::string_view>()(name);
        if (m_slots.size() < PrefetchFrom) {
            settle({name, line, hash}); // a small table stays in the cache
            return;
        }
        __builtin_prefetch(&m_slots[hash & (m_slots.size() - 1)]);
        m_waiting.resize(Depth);
        Waiting &slot = m_waiting[m_next++ % Depth];
        if (m_queued == Depth)
            settle(slot);
        else
            ++m_queued;
        slot = {name, line, hash};
    }

    // The names used before, in the order they came; settles every name.
    const std::vector<Repeat> &repeats()
    {
        settleAll();
        return m_repeats;
    }

private:
    static constexpr std::size_t Depth = 16;
    static constexpr std::size_t PrefetchFrom = 4096; // slots

    struct Waiting
    {
        std::string_view name;
        qint64 line = 0;
        std::size_t hash = 0;
    };
    struct Entry
    {
        std::string_view name;
        qint64 line;
    };
    struct Slot
    {
        quint32 tag = 0;   // high bits of the hash
        quint32 entry = 0; // index into m_entries + 1; 0: free
    };

    static quint32 tagOf(std::size_t hash) { return quint32(quint64(hash) >> 32); }

    void settle(const Waiting &w)
    {
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = w.hash & mask;; i = (i + 1) & mask) {
            Slot &slot = m_slots[i];
            if (slot.entry == 0) {
                m_entries.push_back({w.name, w.line});
                slot = {tagOf(w.hash), quint32(m_entries.size())};
                return;
            }
            if (slot.tag == tagOf(w.hash) && m_entries[slot.entry - 1].name == w.name) {
                m_repeats.push_back({w.line, m_entries[slot.entry - 1].line, w.name});
                return;
            }
        }
    }

    void settleAll()
    {
        for (std::size_t k = m_next - m_queued; k < m_next; ++k)
            settle(m_waiting[k % Depth]);
        m_queued = 0;
    }

    void grow()
    {
        std::vector<Slot> old(std::max<std::size_t>(16, 2 * m_slots.size()));
        old.swap(m_slots);
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot &slot : old) {
            if (slot.entry == 0)
                continue;
            const Entry &e = m_entries[slot.entry - 1];
            std::size_t i = std::hash<std::string_view>()(e.name) & mask;
            while (m_slots[i].entry != 0)
                i = (i + 1) & mask;
            m_slots[i] = slot;
        }
    }

    std::vector<Slot> m_slots;
    std::vector<Entry> m_entries;
    std::vector<Repeat> m_repeats;
    std::vector<Waiting> m_waiting; // Depth names once the table is big
    std::size_t m_next = 0;
    std::size_t m_queued = 0;
};

// A value shown in a right-aligned column that is a problem, kept until it is known to be
// the cell's last value.
struct ShownValue
{
    qint64 line = 0; // 0: none
    std::string_view record;
    QString value;
    QString shown;
    bool notNumeric = false;
    bool cut = false;
};

struct Column
{
    std::string_view title;
    bool rightAligned = false;
    int tag = -1;               // decimal count; -1 while empty
    bool textValue = false;     // a non-empty, non-numeric value was stored
    qsizetype longest = 0;      // longest value stored
    qsizetype longestWhole = 0; // longest part before the first "." of a value stored
    qint64 lastRecord = 0;      // the record that set this field last (records count from 1)
    qint64 lastLine = 0;
    bool showsProblems = false; // after the first walk: a value may need naming
    ShownValue pending;         // second walk: the value of the last record, if a problem
};

struct Section
{
    std::string_view name;
    bool hash = false;     // named "#": its tab reopens the file instead of listing it
    bool tabMade = false;  // a header of this name makes a tab
    bool listable = false; // a tab of this name lists it (made so far)
    // Field lines read while no tab lists this section (yet); an empty line marks the
    // start of a block.
    std::vector<std::pair<qint64, QByteArrayView>> waiting;

    // The listing of the section.
    qint64 records = 0;
    std::string_view recordName;
    bool blockHasName = false;
    std::vector<Column> columns;
    std::unordered_map<std::string_view, int> columnOf;
    int nextColumn = 0;
    RecordNames names;
    bool showsProblemValues = false;
};

class Checker
{
public:
    explicit Checker(QByteArrayView bytes)
        : m_bytes(bytes), m_utf8(IsUtf8File(bytes)), m_start(m_utf8 ? Utf8BomSize(bytes) : 0)
    {
    }

    std::vector<TableProblem> run()
    {
        m_current = &section({}); // the lines before the first header
        forEachLine(m_bytes, m_start,
                    [this](qint64 number, QByteArrayView line) { readLine(number, line); });
        bool secondWalk = false;
        for (Section &s : m_sections) {
            if (!s.listable) {
                for (const auto &[number, line] : s.waiting) {
                    if (number > 0)
                        unreachable(s, number, line);
                }
                continue;
            }
            for (const RecordNames::Repeat &r : s.names.repeats())
                report(r.line, Kind::DuplicateName, s,
                       QStringLiteral("record %1 has the same name as the record of line %2 in "
                                      "%3")
                           .arg(quoted(r.name), QString::number(r.earlier), sectionPhrase(s)));
            for (Column &c : s.columns) {
                c.showsProblems = mayShowProblem(c);
                s.showsProblemValues = s.showsProblemValues || c.showsProblems;
            }
            secondWalk = secondWalk || s.showsProblemValues;
        }
        if (secondWalk)
            walkShownValues();
        std::stable_sort(m_problems.begin(), m_problems.end(),
                         [](const TableProblem &a, const TableProblem &b) {
                             if (a.line != b.line)
                                 return a.line < b.line;
                             return std::strcmp(KindNames[std::size_t(a.kind)],
                                                KindNames[std::size_t(b.kind)]) < 0;
                         });
        return std::move(m_problems);
    }

private:
    // --- Reading ---------------------------------------------------------------------

    void readLine(qint64 number, QByteArrayView line)
    {
        if (line.isEmpty())
            return;
        const char first = line[0];
        if (first == '#') {
            header(number, line.sliced(1));
        } else if (first == '$') {
            fieldLine(number, line);
        } else if (first == ' ' || first == '\t') {
            qsizetype i = 1;
            while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
                ++i;
            if (i < line.size() && line[i] == '$')
                ignoredField(number, line.sliced(i));
        }
    }

    void header(qint64 number, QByteArrayView text)
    {
        if (m_firstHeader == 0)
            m_firstHeader = number;
        const qsizetype tab = find(text, '\t');
        const QByteArrayView name = tab < 0 ? text : text.first(tab);
        Section &s = section(name);
        if (!endsSections(text)) {
            s.tabMade = true;
            if (isEndTrimmed(name))
                report(number, Kind::EndNotEnd, s,
                       QStringLiteral("section %1 gets a tab: the header is not read as an "
                                      "end header")
                           .arg(quoted(name)));
            const bool before = name.startsWith(' ');
            const bool after = name.endsWith(' ');
            if (before || after)
                report(number, Kind::SectionBlank, s,
                       QStringLiteral("section %1 %2 with a blank, and so does its tab caption")
                           .arg(quoted(name), before && after ? QStringLiteral("starts and ends")
                                              : before        ? QStringLiteral("starts")
                                                              : QStringLiteral("ends")));
            if (!s.listable && !s.hash) {
                s.listable = true;
                for (const auto &[waitingNumber, line] : s.waiting) {
                    if (waitingNumber == 0)
                        s.blockHasName = false;
                    else
                        listedField(s, waitingNumber, line, find(line, ':'));
                }
                s.waiting = {};
            }
        }
        m_current = &s;
        if (s.listable)
            s.blockHasName = false;
        else
            s.waiting.emplace_back(0, QByteArrayView());
    }

    void fieldLine(qint64 number, QByteArrayView line)
    {
        Section &s = *m_current;
        const qsizetype colon = find(line, ':');
        if (colon < 0) {
            report(number, Kind::NoColon, s,
                   QStringLiteral("line starting with \"$\" has no \":\", so it is ignored "
                                  "(%1)")
                       .arg(sectionPhrase(s)));
            return;
        }
        if (colon + 1 < line.size() && line[colon + 1] != ' ' && line[colon + 1] != '\t')
            report(number, Kind::CharDropped, s,
                   QStringLiteral("field %1 reads %2: the character right after \":\" is "
                                  "dropped")
                       .arg(quoted(fieldName(line, colon)), quoted(valueText(line, colon))));
        if (!s.listable)
            s.waiting.emplace_back(number, line);
        else
            listedField(s, number, line, colon);
    }

    void ignoredField(qint64 number, QByteArrayView fromDollar)
    {
        const qsizetype colon = find(fromDollar, ':');
        const QString what =
            colon < 0 ? QStringLiteral("this field line")
                      : QStringLiteral("field %1").arg(quoted(fieldName(fromDollar, colon)));
        report(number, Kind::IgnoredField, *m_current,
               QStringLiteral("the line starts with a blank or a tab, so %1 is ignored").arg(what));
    }

    void unreachable(const Section &s, qint64 number, QByteArrayView line)
    {
        const qsizetype colon = find(line, ':');
        if (colon < 0)
            return;
        const QString field = quoted(fieldName(line, colon));
        QString why;
        if (s.hash && s.tabMade)
            why = QStringLiteral("the tab \"#\" reopens the file instead of listing it");
        else if (s.name.empty() && (m_firstHeader == 0 || number < m_firstHeader))
            why = QStringLiteral("it comes before the first header, and no header without a "
                                 "name makes a tab");
        else if (s.name.empty())
            why = QStringLiteral("no header without a name makes a tab");
        else
            why = QStringLiteral("every header of that name is an end header, so no tab has "
                                 "it as caption");
        report(
            number, Kind::Unreachable, s,
            QStringLiteral("field %1 of %2 is never listed: %3").arg(field, sectionPhrase(s), why));
    }

    // A field line of a section a tab lists, as its listing takes it.
    void listedField(Section &s, qint64 number, QByteArrayView line, qsizetype colon)
    {
        const QByteArrayView name = trim(line.sliced(1, colon - 1), false);
        const QByteArrayView value = valueBytes(line, colon);
        if (isName(name)) {
            const std::string_view record = recordKey(value);
            s.names.add(record, number);
            ++s.records;
            s.recordName = record;
            s.blockHasName = true;
            return;
        }
        Column &column = columnFor(s, name);
        if (s.records == 0) {
            report(number, Kind::NoRecord, s,
                   QStringLiteral("field %1 comes before the first \"$Name:\" of %2: its "
                                  "column is added, but no record gets the value")
                       .arg(quoted(name), sectionPhrase(s)));
            return;
        }
        if (!s.blockHasName)
            report(number, Kind::ContinuesRecord, s,
                   QStringLiteral("field %1 goes into record %2 of an earlier block of %3, as "
                                  "this block has no \"$Name:\" before it")
                       .arg(quoted(name), quoted(s.recordName), sectionPhrase(s)));
        if (column.lastRecord == s.records)
            report(number, Kind::DuplicateField, s,
                   QStringLiteral("record %1 already has field %2 from line %3; this later "
                                  "value wins")
                       .arg(quoted(s.recordName), quoted(name), QString::number(column.lastLine)));
        column.lastRecord = s.records;
        column.lastLine = number;

        const QStringView text = decodeValue(value);
        if (IsNumeric(text)) {
            column.rightAligned = true;
            column.tag =
                std::max<qsizetype>(column.tag, std::min<qsizetype>(DecimalPlaces(text), INT_MAX));
        } else if (!text.isEmpty()) {
            column.textValue = true;
        }
        column.longest = std::max(column.longest, text.size());
        column.longestWhole = std::max(column.longestWhole, m_valueWhole);
    }

    Column &columnFor(Section &s, QByteArrayView name)
    {
        // Fields mostly come in the same order in every record.
        const std::string_view key = view(name);
        if (s.nextColumn < int(s.columns.size()) &&
            sameBytes(s.columns[std::size_t(s.nextColumn)].title, key))
            return s.columns[std::size_t(s.nextColumn++)];
        const auto [found, added] = s.columnOf.try_emplace(key, int(s.columns.size()));
        if (added) {
            s.columns.emplace_back();
            s.columns.back().title = key;
        }
        s.nextColumn = found->second + 1;
        return s.columns[std::size_t(found->second)];
    }

    // Whether a column may show a value that is a problem: right-aligned, and holding
    // a text or a value that is too long once padded.
    static bool mayShowProblem(const Column &c)
    {
        if (!c.rightAligned)
            return false;
        const qsizetype padded = c.tag > 0 ? c.longestWhole + 1 + c.tag : 0;
        return c.textValue || c.longest > ShownWidth || padded > ShownWidth;
    }

    // --- The values shown in right-aligned columns --------------------------------------

    // Walks the field lines of the sections that may show such values once more, now that
    // every column's alignment and decimal count are known; only a cell's last value shows.
    void walkShownValues()
    {
        for (Section &s : m_sections) {
            s.records = 0;
            s.nextColumn = 0;
            for (Column &c : s.columns)
                c.lastRecord = 0;
        }
        Section *current = &section({});
        forEachLine(m_bytes, m_start, [&](qint64 number, QByteArrayView line) {
            if (line.isEmpty())
                return;
            if (line[0] == '#') {
                const QByteArrayView text = line.sliced(1);
                const qsizetype tab = find(text, '\t');
                current = &section(tab < 0 ? text : text.first(tab));
            } else if (line[0] == '$' && current->showsProblemValues) {
                shownValue(*current, number, line);
            }
        });
        for (Section &s : m_sections) {
            for (Column &c : s.columns)
                reportShown(s, c);
        }
    }

    void shownValue(Section &s, qint64 number, QByteArrayView line)
    {
        const qsizetype colon = find(line, ':');
        if (colon < 0)
            return;
        const QByteArrayView name = trim(line.sliced(1, colon - 1), false);
        const QByteArrayView value = valueBytes(line, colon);
        if (isName(name)) {
            ++s.records;
            s.recordName = recordKey(value);
            return;
        }
        Column &column = columnFor(s, name);
        if (s.records == 0)
            return;
        if (column.lastRecord != s.records)
            reportShown(s, column); // the previous record's value was its last
        column.pending = {};
        column.lastRecord = s.records;
        if (!column.showsProblems)
            return;
        const QStringView text = decodeValue(value);
        // The formatting pass appends a "." when there is none, then zeros up to the
        // column's decimal count.
        const qsizetype decimals = DecimalPlaces(text);
        const bool point = m_valueWhole < text.size();
        const qsizetype zeros = column.tag > decimals ? column.tag - decimals : 0;
        const qsizetype paddedSize = text.size() + (zeros > 0 && !point ? 1 : 0) + zeros;
        const bool notNumeric = !text.isEmpty() && !IsNumeric(text);
        const bool cut = paddedSize > ShownWidth;
        if (!notNumeric && !cut)
            return;
        QString padded = text.toString();
        if (zeros > 0)
            padded += (point ? QString() : QStringLiteral(".")) + QString(zeros, u'0');
        column.pending = {number,          s.recordName,
                          text.toString(), cut ? padded.right(ShownWidth) : padded,
                          notNumeric,      cut};
    }

    void reportShown(const Section &s, Column &column)
    {
        const ShownValue &v = column.pending;
        if (v.line == 0)
            return;
        const QString where =
            QStringLiteral("field %1 of record %2").arg(quoted(column.title), quoted(v.record));
        if (v.notNumeric)
            report(v.line, Kind::NotNumeric, s,
                   QStringLiteral("%1 holds %2, not a number, in a numeric column: it shows "
                                  "as %3")
                       .arg(where, quoted(v.value), quoted(v.shown)));
        if (v.cut)
            report(v.line, Kind::CutAt12, s,
                   QStringLiteral("%1 is %2, longer than 12 characters once padded: only %3 "
                                  "shows")
                       .arg(where, quoted(v.value), quoted(v.shown)));
        column.pending = {};
    }

    // --- Pieces of lines ----------------------------------------------------------------

    // The value's bytes: after "$", the untrimmed name, ":" and one more character (all
    // bytes of that character in UTF-8).
    QByteArrayView valueBytes(QByteArrayView line, qsizetype colon) const
    {
        qsizetype start = colon + 2;
        if (m_utf8) {
            while (start < line.size() && (static_cast<unsigned char>(line[start]) & 0xC0) == 0x80)
                ++start;
        }
        return start < line.size() ? line.sliced(start) : QByteArrayView();
    }

    // The value as the listing stores it: up to the first ";", tabs as blanks, trimmed.
    // Valid until the next call, which also sets m_valueWhole.
    QStringView decodeValue(QByteArrayView value)
    {
        const qsizetype semicolon = find(value, ';');
        const QByteArrayView kept = trim(semicolon < 0 ? value : value.first(semicolon), true);
        const auto n = std::size_t(kept.size());
        if (m_value.size() < n)
            m_value.resize(std::max(n, 2 * m_value.size()));
        const auto *in = reinterpret_cast<const unsigned char *>(kept.data());
        char16_t *out = m_value.data();
        unsigned char high = 0;
        std::size_t point = n;
        for (std::size_t i = 0; i < n; ++i) {
            high |= in[i];
            if (in[i] == '.' && point == n)
                point = i;
            out[i] = in[i] == '\t' ? u' ' : char16_t(in[i]);
        }
        if (high < 0x80) {
            m_valueWhole = qsizetype(point);
            return QStringView(out, qsizetype(n));
        }
        m_decoded.clear();
        AppendDecoded(kept, m_utf8, m_decoded);
        std::replace(m_decoded.begin(), m_decoded.end(), u'\t', u' ');
        const QStringView text(m_decoded.data(), qsizetype(m_decoded.size()));
        const qsizetype dot = text.indexOf(u'.');
        m_valueWhole = dot < 0 ? text.size() : dot;
        return text;
    }

    // A record name, compared as the listing shows it (tabs inside are blanks).
    std::string_view recordKey(QByteArrayView value)
    {
        const qsizetype semicolon = find(value, ';');
        const QByteArrayView kept = trim(semicolon < 0 ? value : value.first(semicolon), true);
        if (find(kept, '\t') < 0)
            return view(kept);
        std::string &copy = m_keys.emplace_back(kept.data(), std::size_t(kept.size()));
        std::replace(copy.begin(), copy.end(), '\t', ' ');
        return copy;
    }

    QString fieldName(QByteArrayView line, qsizetype colon) const
    {
        return decode(trim(line.sliced(1, colon - 1), false));
    }

    QString valueText(QByteArrayView line, qsizetype colon)
    {
        return decodeValue(valueBytes(line, colon)).toString();
    }

    QString decode(QByteArrayView bytes) const { return Decode(bytes, m_utf8); }
    QString quoted(QByteArrayView bytes) const { return u'"' + decode(bytes) + u'"'; }
    QString quoted(std::string_view bytes) const
    {
        return quoted(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }
    static QString quoted(const QString &text) { return u'"' + text + u'"'; }
    QString sectionPhrase(const Section &s) const
    {
        return s.name.empty() ? QStringLiteral("the section without a name")
                              : QStringLiteral("section ") + quoted(s.name);
    }

    // --- Sections and problems ----------------------------------------------------------

    Section &section(QByteArrayView name)
    {
        const std::string_view key = view(name);
        const auto found = m_sectionOf.find(key);
        if (found != m_sectionOf.end())
            return *found->second;
        Section &s = m_sections.emplace_back();
        s.name = key;
        s.hash = key == "#";
        m_sectionOf.emplace(key, &s);
        return s;
    }

    void report(qint64 line, Kind kind, const Section &s, QString message)
    {
        m_problems.push_back({line, kind,
                              decode(QByteArrayView(s.name.data(), qsizetype(s.name.size()))),
                              std::move(message)});
    }

    const QByteArrayView m_bytes;
    const bool m_utf8;
    const qsizetype m_start;
    std::deque<Section> m_sections;
    std::unordered_map<std::string_view, Section *> m_sectionOf;
    Section *m_current = nullptr;
    qint64 m_firstHeader = 0;       // line of the first header; 0 before it
    std::deque<std::string> m_keys; // record names that needed their tabs replaced
    std::u16string m_value;         // the last value decoded (ASCII)
    std::u16string m_decoded;       // the same, when it holds other characters
    qsizetype m_valueWhole = 0;     // length of its part before the first "."
    std::vector<TableProblem> m_problems;
};

} // namespace

QString ProblemKindName(TableProblem::Kind kind)
{
    return QString::fromLatin1(KindNames[static_cast<std::size_t>(kind)]);
}

std::vector<TableProblem> CheckTableBytes(QByteArrayView bytes)
{
    return Checker(bytes).run();
}

std::vector<TableProblem> CheckTableFile(const QString &fname)
{
    const QByteArray bytes = ReadTableFile(fname);
    return CheckTableBytes(bytes);
}

} // namespace Engine
