#pragma once
// The table checker's state and its steps, shared by the files that hold them: the line
// scan that reads headers and field lines (checkscan.cpp), the judging of the values shown
// in numeric columns (checknumeric.cpp), and the run that ties them together and sorts the
// problems (tablecheck.cpp). A Checker reads views into the bytes it is given, which must
// outlive it; it throws only std::bad_alloc.

#include "viewer/engine/checklines.h"
#include "viewer/engine/recordnames.h"
#include "viewer/engine/tablecheck.h"
#include "viewer/engine/tabletext.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <array>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Engine::Checking {

using Kind = TableProblem::Kind;

// Right-aligned cells show this many characters.
inline constexpr qsizetype ShownWidth = 12;

inline constexpr std::array<const char *, 12> KindNames = {
    "ignored-field",   "no-colon",       "char-dropped", "end-not-end",
    "section-blank",   "unreachable",    "no-record",    "continues-record",
    "duplicate-field", "duplicate-name", "not-numeric",  "cut-at-12",
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

    std::vector<TableProblem> run();

private:
    // --- Reading ---------------------------------------------------------------------

    void readLine(qint64 number, QByteArrayView line);
    void header(qint64 number, QByteArrayView text);
    void fieldLine(qint64 number, QByteArrayView line);
    void ignoredField(qint64 number, QByteArrayView fromDollar);
    void unreachable(const Section &s, qint64 number, QByteArrayView line);
    // A field line of a section a tab lists, as its listing takes it.
    void listedField(Section &s, qint64 number, QByteArrayView line, qsizetype colon);
    Column &columnFor(Section &s, QByteArrayView name);

    // --- The values shown in right-aligned columns --------------------------------------

    // Whether a column may show a value that is a problem: right-aligned, and holding
    // a text or a value that is too long once padded.
    static bool mayShowProblem(const Column &c);
    // Walks the field lines of the sections that may show such values once more, now that
    // every column's alignment and decimal count are known; only a cell's last value shows.
    void walkShownValues();
    void shownValue(Section &s, qint64 number, QByteArrayView line);
    void reportShown(const Section &s, Column &column);

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
        if (const std::string *shown = shownSpelling(kept)) {
            std::string &copy = m_keys.emplace_back(*shown);
            std::replace(copy.begin(), copy.end(), '\t', ' ');
            return copy;
        }
        if (find(kept, '\t') < 0)
            return view(kept);
        std::string &copy = m_keys.emplace_back(kept.data(), std::size_t(kept.size()));
        std::replace(copy.begin(), copy.end(), '\t', ' ');
        return copy;
    }

    // A field or section name, compared as the listing compares titles and captions.
    std::string_view shownKey(QByteArrayView name)
    {
        if (const std::string *shown = shownSpelling(name))
            return m_keys.emplace_back(*shown);
        return view(name);
    }

    // A file read as UTF-8 may still hold bytes that are not (it starts with a byte-order
    // mark); they show as U+FFFD, so two different bad spellings show alike. Such bytes get
    // the UTF-8 of what they show, to be compared as the listing compares its texts; null
    // for bytes that show as they are.
    const std::string *shownSpelling(QByteArrayView bytes)
    {
        if (!m_utf8 || std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
            return nullptr;
        if (CheckUtf8(bytes).valid)
            return nullptr;
        m_spelling = Decode(bytes, true).toStdString();
        return &m_spelling;
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

    Section &section(QByteArrayView name);
    void report(qint64 line, Kind kind, const Section &s, QString message);

    const QByteArrayView m_bytes;
    const bool m_utf8;
    const qsizetype m_start;
    std::deque<Section> m_sections;
    std::unordered_map<std::string_view, Section *> m_sectionOf;
    Section *m_current = nullptr;
    qint64 m_firstHeader = 0;       // line of the first header; 0 before it
    std::deque<std::string> m_keys; // names that needed their tabs or bad bytes replaced
    std::string m_spelling;         // the last shownSpelling()
    std::u16string m_value;         // the last value decoded (ASCII)
    std::u16string m_decoded;       // the same, when it holds other characters
    qsizetype m_valueWhole = 0;     // length of its part before the first "."
    std::vector<TableProblem> m_problems;
};

} // namespace Engine::Checking
