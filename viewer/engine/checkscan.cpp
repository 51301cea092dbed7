// The table checker's line scan: headers, field lines and the listing each listed section
// would get, with the problems a single reading can find.
#include "viewer/engine/numeric.h"
#include "viewer/engine/tablechecker.h"

#include <algorithm>
#include <climits>

namespace Engine::Checking {

void Checker::readLine(qint64 number, QByteArrayView line)
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

void Checker::header(qint64 number, QByteArrayView text)
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

void Checker::fieldLine(qint64 number, QByteArrayView line)
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

void Checker::ignoredField(qint64 number, QByteArrayView fromDollar)
{
    const qsizetype colon = find(fromDollar, ':');
    const QString what = colon < 0
                             ? QStringLiteral("this field line")
                             : QStringLiteral("field %1").arg(quoted(fieldName(fromDollar, colon)));
    report(number, Kind::IgnoredField, *m_current,
           QStringLiteral("the line starts with a blank or a tab, so %1 is ignored").arg(what));
}

void Checker::unreachable(const Section &s, qint64 number, QByteArrayView line)
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
    report(number, Kind::Unreachable, s,
           QStringLiteral("field %1 of %2 is never listed: %3").arg(field, sectionPhrase(s), why));
}

void Checker::listedField(Section &s, qint64 number, QByteArrayView line, qsizetype colon)
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

Column &Checker::columnFor(Section &s, QByteArrayView name)
{
    // Fields mostly come in the same order in every record.
    const std::string_view key = shownKey(name);
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
} // namespace Engine::Checking
