#include "viewer/engine/tablediffwriter.h"

#include "viewer/engine/tablediff.h"
#include "viewer/engine/tablewriter.h"

#include <charconv>

namespace Engine {

namespace {

void writeValue(QStringView value, Utf8Output &out)
{
    if (value.isEmpty())
        out.bytes("(none)");
    else
        out.text(value, true);
}

void writeSectionText(const SectionDiff &diff, Utf8Output &out)
{
    out.bytes("@@ ");
    out.text(diff.caption);
    out.byte('\n');
    for (const SectionDiff::Record &record : diff.removed) {
        out.bytes("- ");
        out.text(diff.removedName(record), true);
        out.byte('\n');
    }
    for (const SectionDiff::FieldChange &change : diff.changed) {
        out.bytes("~ ");
        out.text(diff.name(change), true);
        out.bytes(": ");
        out.text(diff.field(change), true);
        out.bytes(": ");
        writeValue(diff.oldValue(change), out);
        out.bytes(" -> ");
        writeValue(diff.newValue(change), out);
        out.byte('\n');
    }
    for (const SectionDiff::Record &record : diff.added) {
        out.bytes("+ ");
        out.text(diff.addedName(record), true);
        out.byte('\n');
    }
}

// Writes the JSON objects of the differences one per line, after the separator.
class JsonLines
{
public:
    explicit JsonLines(Utf8Output &out) : m_out(out) {}

    void begin(const SectionDiff &diff, const char *change, QStringView name, int occurrence)
    {
        m_out.bytes(m_count++ == 0 ? "[\n{\"section\":" : ",\n{\"section\":");
        m_out.jsonString(diff.caption);
        m_out.bytes(",\"change\":\"");
        m_out.bytes(change);
        m_out.bytes("\",\"name\":");
        m_out.jsonString(name);
        m_out.bytes(",\"occurrence\":");
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits - 1, occurrence).ptr;
        *end = '\0';
        m_out.bytes(digits);
    }

    void end() { m_out.byte('}'); }

    void finish() { m_out.bytes(m_count == 0 ? "[]\n" : "\n]\n"); }

private:
    Utf8Output &m_out;
    std::size_t m_count = 0;
};

} // namespace

void WriteDiffText(const TableComparison &comparison, Utf8Output &out)
{
    for (const SectionDiff &diff : comparison.sections) {
        if (diff.differs())
            writeSectionText(diff, out);
    }
}

void WriteDiffJson(const TableComparison &comparison, Utf8Output &out)
{
    JsonLines lines(out);
    for (const SectionDiff &diff : comparison.sections) {
        for (const SectionDiff::Record &record : diff.removed) {
            lines.begin(diff, "removed", diff.removedName(record), record.occurrence);
            lines.end();
        }
        for (const SectionDiff::FieldChange &change : diff.changed) {
            lines.begin(diff, "changed", diff.name(change), change.occurrence);
            out.bytes(",\"field\":");
            out.jsonString(diff.field(change));
            out.bytes(",\"old\":");
            out.jsonString(diff.oldValue(change));
            out.bytes(",\"new\":");
            out.jsonString(diff.newValue(change));
            lines.end();
        }
        for (const SectionDiff::Record &record : diff.added) {
            lines.begin(diff, "added", diff.addedName(record), record.occurrence);
            lines.end();
        }
    }
    lines.finish();
}

} // namespace Engine
