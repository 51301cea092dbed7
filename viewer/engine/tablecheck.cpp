#include "viewer/engine/tablecheck.h"

#include "viewer/engine/tablechecker.h"
#include "viewer/engine/tablefile.h"

#include <algorithm>
#include <cstring>

namespace Engine {

namespace Checking {

std::vector<TableProblem> Checker::run()
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
    std::stable_sort(
        m_problems.begin(), m_problems.end(), [](const TableProblem &a, const TableProblem &b) {
            if (a.line != b.line)
                return a.line < b.line;
            return std::strcmp(KindNames[std::size_t(a.kind)], KindNames[std::size_t(b.kind)]) < 0;
        });
    return std::move(m_problems);
}

Section &Checker::section(QByteArrayView name)
{
    const std::string_view key = shownKey(name);
    const auto found = m_sectionOf.find(key);
    if (found != m_sectionOf.end())
        return *found->second;
    Section &s = m_sections.emplace_back();
    s.name = key;
    s.hash = key == "#";
    m_sectionOf.emplace(key, &s);
    return s;
}

void Checker::report(qint64 line, Kind kind, const Section &s, QString message)
{
    m_problems.push_back({line, kind,
                          decode(QByteArrayView(s.name.data(), qsizetype(s.name.size()))),
                          std::move(message)});
}

} // namespace Checking

using Checking::Checker;
using Checking::KindNames;

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
