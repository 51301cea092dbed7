#include "viewer/engine/tablewriter.h"

#include "viewer/engine/rawtext.h"
#include "viewer/engine/tablecheck.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/engine/tabletext.h"
#include "viewer/engine/twothreads.h"

#include <algorithm>
#include <array>
#include <string>

namespace Engine {

namespace {

// The frame of a JSON array written one item per line: "[", a line break (after a comma
// from the second item on) before each item, then "]".
class ArrayLines
{
public:
    explicit ArrayLines(Utf8Output &out) : m_out(out) { out.byte('['); }
    // Before each item.
    void next()
    {
        m_out.bytes(m_any ? ",\n" : "\n");
        m_any = true;
    }
    // After the last one.
    void close() { m_out.bytes(m_any ? "\n]\n" : "]\n"); }

private:
    Utf8Output &m_out;
    bool m_any = false;
};

// A JSON array of count items, one per line; item(i) writes item i.
template <typename Item>
void WriteArray(std::size_t count, Utf8Output &out, Item &&item)
{
    ArrayLines array(out);
    for (std::size_t i = 0; i < count; ++i) {
        array.next();
        item(i);
    }
    array.close();
}

// The text without its leading blanks (a right-aligned cell without its padding).
QByteArrayView trimmedStart(QByteArrayView text)
{
    qsizetype blanks = 0;
    while (blanks < text.size() && text[blanks] == ' ')
        ++blanks;
    return text.sliced(blanks);
}

} // namespace

ListWriter::ListWriter(const Listing &listing, OutputFormat format, Utf8Output &out, bool unpadded)
    : m_listing(listing), m_format(format), m_out(out)
{
    const int columns = listing.columnCount();
    m_trim.resize(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c)
        m_trim[static_cast<std::size_t>(c)] = unpadded && listing.column(c).rightAligned;
    if (format == OutputFormat::Json) {
        out.byte('[');
        return;
    }
    const bool csv = format == OutputFormat::Csv;
    for (int c = 0; c < columns; ++c) {
        if (c > 0)
            out.byte(csv ? ',' : '\t');
        if (csv)
            out.csvField(listing.column(c).title);
        else
            out.text(listing.column(c).title, true);
    }
    out.bytes(csv ? "\r\n" : "\n");
}

QByteArrayView ListWriter::cell(int row, int column, std::string &scratch) const
{
    const QByteArrayView text = m_listing.shownBytes(row, column, scratch);
    return m_trim[static_cast<std::size_t>(column)] ? trimmedStart(text) : text;
}

void ListWriter::writeRows(std::span<const int> rows, Utf8Output &out, bool anyRow,
                           std::string &scratch) const
{
    const int columns = m_listing.columnCount();
    if (m_format == OutputFormat::Json) {
        // One object per line, as WriteArray writes its items.
        for (const int source : rows) {
            out.bytes(anyRow ? ",\n{" : "\n{");
            anyRow = true;
            for (int c = 0; c < columns; ++c) {
                if (c > 0)
                    out.byte(',');
                out.jsonString(m_listing.column(c).title);
                out.byte(':');
                out.jsonUtf8(cell(source, c, scratch));
            }
            out.byte('}');
        }
        return;
    }
    const bool csv = m_format == OutputFormat::Csv;
    // Rows in sorted order are all over memory: their cells are asked for ahead of time.
    constexpr std::size_t EndsAhead = 16;
    constexpr std::size_t CellsAhead = 8;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const int source = rows[i];
        if (i + EndsAhead < rows.size())
            m_listing.prefetchEnds(rows[i + EndsAhead]);
        if (i + CellsAhead < rows.size())
            m_listing.prefetchCells(rows[i + CellsAhead]);
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                out.byte(csv ? ',' : '\t');
            if (csv) {
                out.csvUtf8(cell(source, c, scratch));
                continue;
            }
            // A right-aligned cell's padding goes out as it is, not copied first.
            qsizetype blanks = 0;
            const QByteArrayView text = m_listing.shownBytes(source, c, blanks, scratch);
            if (m_trim[static_cast<std::size_t>(c)]) {
                out.utf8Text(trimmedStart(text), true);
            } else {
                out.blanks(std::size_t(blanks));
                out.utf8Text(text, true);
            }
        }
        out.bytes(csv ? "\r\n" : "\n");
    }
}

void ListWriter::rows(std::span<const int> rows)
{
    constexpr std::size_t BlockRows = 32768;
    std::string scratch;
    if (rows.size() < 2 * BlockRows) {
        writeRows(rows, m_out, m_anyRow, scratch);
        m_anyRow = m_anyRow || !rows.empty();
        return;
    }
    // Each thread writes its block into a buffer of its own; the buffers go out in order.
    std::vector<char> first;
    std::vector<char> second;
    const auto into = [](std::vector<char> &buffer) {
        return [&buffer](const char *data, std::size_t size) {
            buffer.insert(buffer.end(), data, data + size);
            return true;
        };
    };
    Utf8Output firstOut(into(first));
    Utf8Output secondOut(into(second));
    std::string otherScratch;
    for (std::size_t at = 0; at < rows.size() && m_out.ok(); at += 2 * BlockRows) {
        const std::span<const int> a = rows.subspan(at, std::min(BlockRows, rows.size() - at));
        const std::span<const int> b =
            rows.subspan(at + a.size(), std::min(BlockRows, rows.size() - at - a.size()));
        first.clear();
        second.clear();
        const bool anyBefore = m_anyRow;
        RunOnTwoThreads(
            [&] {
                writeRows(a, firstOut, anyBefore, scratch);
                firstOut.flush();
            },
            [&] {
                writeRows(b, secondOut, true, otherScratch);
                secondOut.flush();
            });
        m_out.bytes(first.data(), first.size());
        m_out.bytes(second.data(), second.size());
        m_anyRow = true;
    }
}

void ListWriter::finish()
{
    if (m_format == OutputFormat::Json)
        m_out.bytes(m_anyRow ? "\n]\n" : "]\n");
}

void WriteList(const Listing &listing, std::span<const int> rows, OutputFormat format,
               Utf8Output &out)
{
    ListWriter writer(listing, format, out);
    writer.rows(rows);
    writer.finish();
}

void WriteList(const TableListModel &model, OutputFormat format, Utf8Output &out)
{
    std::vector<int> rows(static_cast<std::size_t>(model.rowCount()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        rows[r] = model.sourceRow(static_cast<int>(r));
    WriteList(model.listing(), rows, format, out);
}

void WriteLines(const QStringList &lines, OutputFormat format, Utf8Output &out)
{
    if (format != OutputFormat::Json) {
        for (const QString &line : lines) {
            out.text(line);
            out.byte('\n');
        }
        return;
    }
    WriteArray(std::size_t(lines.size()), out,
               [&](std::size_t i) { out.jsonString(lines[qsizetype(i)]); });
}

void WriteRawText(const RawText &raw, OutputFormat format, Utf8Output &out)
{
    const qsizetype count = raw.lineCount();
    if (format != OutputFormat::Json) {
        raw.forEachLine(0, count - 1, [&](qsizetype, QByteArrayView bytes) {
            out.text(Decode(bytes, raw.isUtf8()));
            out.byte('\n');
            return true;
        });
        return;
    }
    ArrayLines array(out);
    raw.forEachLine(0, count - 1, [&](qsizetype, QByteArrayView bytes) {
        array.next();
        out.jsonString(Decode(bytes, raw.isUtf8()));
        return true;
    });
    array.close();
}

void WriteProblems(const std::vector<TableProblem> &problems, const QString &fname,
                   OutputFormat format, Utf8Output &out)
{
    if (format != OutputFormat::Json) {
        for (const TableProblem &p : problems) {
            out.text(fname);
            out.byte(':');
            out.bytes(std::to_string(p.line).c_str());
            out.bytes(": ");
            out.text(ProblemKindName(p.kind));
            out.bytes(": ");
            out.text(p.message);
            out.byte('\n');
        }
        return;
    }
    WriteArray(problems.size(), out, [&](std::size_t i) {
        const TableProblem &p = problems[i];
        out.bytes("{\"line\":");
        out.bytes(std::to_string(p.line).c_str());
        out.bytes(",\"kind\":");
        out.jsonString(ProblemKindName(p.kind));
        out.bytes(",\"section\":");
        out.jsonString(p.section);
        out.bytes(",\"message\":");
        out.jsonString(p.message);
        out.byte('}');
    });
}

} // namespace Engine
