#pragma once
// The table checker: where the reader reads a table file differently from what its
// author may have meant, found without any window, by reading the file once (a second
// walk over the lines in memory names the cells of numeric columns that show padded or
// cut, and only when there are such cells); time and memory are linear in the file's size.
//
// Lines are numbered from 1 and end as the reader ends them (CR LF, CR or LF); the file
// is decoded as the reader decodes it. The kinds of problem, each reported on one line:
//
//   ignored-field    a line starting with blanks or tabs and then "$" (ignored)
//   no-colon         a line starting with "$" without a ":" (ignored)
//   char-dropped     a field line whose character right after the first ":" is neither a
//                    blank nor a tab (it is dropped)
//   end-not-end      a header that makes a tab although its name, trimmed of blanks and
//                    tabs, is "end" in any case
//   section-blank    a header that makes a tab whose name starts or ends with a blank
//   unreachable      a field line of a section no tab lists (no tab has its name, or it
//                    is "#")
// and, for the field lines of sections a tab lists, judged as the listing of that
// section (all blocks of that name together) shows them:
//   no-record        a field other than "Name" before the section's first record
//   continues-record a field other than "Name" after a header and before that block's
//                    first "$Name:", so that it goes into a record of an earlier block
//   duplicate-field  a field the same record already has (reported on the later line)
//   duplicate-name   a record name that an earlier record of the section has
//   not-numeric      a shown, non-empty, non-numeric value in a right-aligned column
//   cut-at-12        a shown value that is longer than 12 characters once padded to the
//                    column's decimals, in a right-aligned column
//
// Failure: CheckTableFile throws LoadError when the file cannot be read; both functions throw
// std::bad_alloc when the file does not fit in memory. Any bytes can be checked.

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace Engine {

struct TableProblem
{
    enum class Kind
    {
        IgnoredField,
        NoColon,
        CharDropped,
        EndNotEnd,
        SectionBlank,
        Unreachable,
        NoRecord,
        ContinuesRecord,
        DuplicateField,
        DuplicateName,
        NotNumeric,
        CutAt12,
    };

    qint64 line = 0; // from 1
    Kind kind = Kind::IgnoredField;
    QString section; // the section the line belongs to (a header: the one it names)
    QString message; // one line in plain words
};

// The kind as written in reports: "ignored-field", "cut-at-12", ...
QString ProblemKindName(TableProblem::Kind kind);

// The problems of a whole file's bytes (byte-order mark included), sorted by line, then
// by kind name.
std::vector<TableProblem> CheckTableBytes(QByteArrayView bytes);
// The same for the file fname.
std::vector<TableProblem> CheckTableFile(const QString &fname);

} // namespace Engine
