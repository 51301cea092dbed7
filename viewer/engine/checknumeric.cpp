// The table checker's judging of numeric columns: which right-aligned columns may show a
// value that is not a number or is cut, and the second walk that names those cells.
#include "viewer/engine/numeric.h"
#include "viewer/engine/tablechecker.h"

namespace Engine::Checking {

bool Checker::mayShowProblem(const Column &c)
{
    if (!c.rightAligned)
        return false;
    const qsizetype padded = c.tag > 0 ? c.longestWhole + 1 + c.tag : 0;
    return c.textValue || c.longest > ShownWidth || padded > ShownWidth;
}

void Checker::walkShownValues()
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

void Checker::shownValue(Section &s, qint64 number, QByteArrayView line)
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

void Checker::reportShown(const Section &s, Column &column)
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
} // namespace Engine::Checking
