#pragma once
// Writing a table comparison (tablediff.h) as text or as JSON through a Utf8Output
// (tablewriter.h).
//
// Text: for each section with a difference, a line "@@ CAPTION" (the caption as its tab
// shows it), then "- NAME" for each record only the old file has, "~ NAME: FIELD: OLD ->
// NEW" for each changed field of a record both have and "+ NAME" for each record only the
// new file has, in the comparison's order. Names, fields and values are written with the
// TSV escapes (\\, \t, \r, \n), an empty value as "(none)". Lines end in LF; a comparison
// without differences writes nothing.
//
// JSON: an array with one object per difference, one per line, keyed "section", "change"
// ("removed", "changed" or "added"), "name", "occurrence" (1-based, among the records of
// that name in the file the record is from) and, for a change, "field", "old" and "new"
// (an empty value is ""). Without differences: "[]".
//
// Only reads the comparison. Failures are those of the Utf8Output (see there).

namespace Engine {

struct SectionDiff;
struct TableComparison;
class Utf8Output;

void WriteDiffText(const TableComparison &comparison, Utf8Output &out);
void WriteDiffJson(const TableComparison &comparison, Utf8Output &out);

} // namespace Engine
