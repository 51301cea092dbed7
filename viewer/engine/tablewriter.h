#pragma once
// Writing what the viewer shows as text: a listing as TSV, CSV or JSON, a list of texts
// (the tab captions) and a file's raw text, all as UTF-8.
//
// Utf8Output (utf8output.cpp) buffers the bytes in blocks of 1 MiB and hands each full
// block to its sink (a function it owns a copy of); the buffer is owned by the Utf8Output.
// The writers only read the listing, model or raw text they are given, and write rows in
// display order.
//
// Formats:
// - TSV: a line of column titles, then one line per row, cells separated by tabs, lines
//   ended by LF; backslash, tab, CR and LF inside a cell are written as \\, \t, \r, \n.
// - CSV (RFC 4180): the same lines ended by CR LF, a field quoted when it holds a comma,
//   a quote, CR or LF, quotes inside doubled.
// - JSON: an array with one object per row keyed by column title (a later column of the
//   same title repeats the key), one row per line.
// Lists of texts (the tab captions, the raw text's lines, the problems of a file) are
// written one per line, or as a JSON array.
// Lone UTF-16 surrogates are written as U+FFFD.
//
// Failure: when the sink returns false, the Utf8Output stops writing (later output is
// dropped) and ok() stays false from then on; nothing throws apart from std::bad_alloc.
// Call flush() before judging ok(): the last block is handed over only then (or on
// destruction).

#include <QByteArray>
#include <QByteArrayView>
#include <QStringList>
#include <QStringView>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace Engine {

class Listing;
class RawText;
class TableListModel;
struct TableProblem;

class Utf8Output
{
public:
    // Takes size bytes at data; returns false when they could not all be written.
    using Sink = std::function<bool(const char *data, std::size_t size)>;

    explicit Utf8Output(Sink sink);
    ~Utf8Output();
    Utf8Output(const Utf8Output &) = delete;
    Utf8Output &operator=(const Utf8Output &) = delete;

    // Hands the buffered bytes to the sink; returns ok().
    bool flush();
    // False once the sink has failed.
    bool ok() const { return m_ok; }

    // ASCII or UTF-8 bytes as they are.
    void bytes(const char *text);
    // size bytes at data as they are; a large block goes to the sink without a copy.
    void bytes(const char *data, std::size_t size);
    void byte(char c) { *room(1) = c, ++m_used; }
    // n blanks.
    void blanks(std::size_t n)
    {
        std::memset(room(n), ' ', n);
        m_used += n;
    }
    // The text as UTF-8; with escape set, backslash, tab, CR and LF as \\, \t, \r, \n.
    void text(QStringView text, bool escape = false);
    // A JSON string literal: quotes, backslash and control characters escaped.
    void jsonString(QStringView value);
    // One CSV field, quoted when it holds a comma, a quote, CR or LF.
    void csvField(QStringView field);
    // The same three for text kept as the listing keeps it (UTF-8 whose lone surrogates
    // have their three-byte form, see celltext.h): copied as it is, apart from escapes
    // and lone surrogates.
    void utf8Text(QByteArrayView text, bool escape = false);
    void jsonUtf8(QByteArrayView value);
    void csvUtf8(QByteArrayView field);

private:
    static constexpr std::size_t BlockSize = std::size_t(1) << 20;

    // Space for n more bytes at the end of the buffer.
    char *room(std::size_t n)
    {
        if (m_used + n > m_buffer.size())
            makeRoom(n);
        return m_buffer.data() + m_used;
    }
    void makeRoom(std::size_t n);

    Sink m_sink;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    bool m_ok = true;
};

// An output to a byte array or to a C stream, for the common cases.
Utf8Output::Sink SinkTo(QByteArray &bytes);
Utf8Output::Sink SinkTo(std::FILE *stream);

enum class OutputFormat
{
    Tsv,
    Csv,
    Json
};

// Writes one list piece by piece, for callers that report progress or may stop between
// pieces: the constructor writes the column titles (JSON: the opening bracket), rows()
// any number of rows at a time, finish() the rest. The listing must outlive the writer
// and stay unchanged meanwhile. WriteList below is the same in one call.
class ListWriter
{
public:
    // With unpadded set, the cells of right-aligned columns are written without the
    // blanks the formatting pass put before them.
    ListWriter(const Listing &listing, OutputFormat format, Utf8Output &out, bool unpadded = false);
    ListWriter(const ListWriter &) = delete;
    ListWriter &operator=(const ListWriter &) = delete;

    // The rows named by rows (file-order indices, in the order they are to be written;
    // indices outside the listing give empty cells). Many rows are written by two
    // threads, each turning every other block of rows into text.
    void rows(std::span<const int> rows);
    void finish();

private:
    // Writes rows to out; anyRow tells whether a row came before (JSON needs a comma).
    void writeRows(std::span<const int> rows, Utf8Output &out, bool anyRow,
                   std::string &scratch) const;
    QByteArrayView cell(int row, int column, std::string &scratch) const;

    const Listing &m_listing;
    const OutputFormat m_format;
    Utf8Output &m_out;
    std::vector<char> m_trim; // per column: strip leading blanks
    bool m_anyRow = false;
};

// The columns of listing and the rows named by rows (file-order indices, in the order
// they are to be written; indices outside the listing give empty cells).
void WriteList(const Listing &listing, std::span<const int> rows, OutputFormat format,
               Utf8Output &out);
// Every row the model lists, in display order.
void WriteList(const TableListModel &model, OutputFormat format, Utf8Output &out);

// One text per line (TSV and CSV alike), or a JSON array of strings.
void WriteLines(const QStringList &lines, OutputFormat format, Utf8Output &out);
// The file's lines without their terminators, each ended by LF, or a JSON array of them.
void WriteRawText(const RawText &raw, OutputFormat format, Utf8Output &out);

// Problems found in the file fname, in their order: one line each as
// "FILE:LINE: KIND: message" (TSV and CSV alike), or a JSON array of objects with the
// keys "line", "kind", "section" and "message".
void WriteProblems(const std::vector<TableProblem> &problems, const QString &fname,
                   OutputFormat format, Utf8Output &out);

} // namespace Engine
