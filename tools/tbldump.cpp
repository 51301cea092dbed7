// tbldump: prints what the table viewer shows for a table file, on the same engine.
//
//   tbldump [--sort N] [--csv|--json] FILE          the tab captions opening FILE builds
//   tbldump [--sort N] [--csv|--json] FILE CAPTION  the list that clicking tab CAPTION shows
//
// Exit status: 0 done, 1 the file cannot be read or the output cannot be written (one
// line on stderr), 2 wrong usage.

#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/rawtext.h"
#include "viewer/engine/tableloader.h"

#include <QString>
#include <QStringView>
#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char *Usage =
    "Usage: tbldump [--sort N] [--csv | --json] FILE [CAPTION]\n"
    "\n"
    "Prints what the table viewer shows for the table file FILE.\n"
    "  FILE          the tab captions that opening FILE builds, one per line,\n"
    "                \"<Unparsed contents>\" first.\n"
    "  FILE CAPTION  the list shown when the tab CAPTION is clicked: a line of column\n"
    "                titles, then one line per row in display order, cells as shown,\n"
    "                separated by tabs. Backslash, tab, CR and LF inside a cell are\n"
    "                written as \\\\, \\t, \\r and \\n. CAPTION \"<Unparsed contents>\"\n"
    "                prints the file's text.\n"
    "Options:\n"
    "  --sort N      click the header of column N (1 = Name) before opening the file.\n"
    "  --csv         write the list as CSV (RFC 4180) instead.\n"
    "  --json        write JSON instead: the list as an array with one object per row\n"
    "                in display order, keyed by column title, cells as shown; the tab\n"
    "                captions and the raw text's lines as arrays of strings.\n"
    "  --help        show this help.\n"
    "Output is UTF-8. Exit status: 0 done, 1 the file cannot be read or the output\n"
    "cannot be written, 2 wrong usage.\n";

// The letter written after a backslash for the ASCII characters that are escaped.
constexpr std::array<char, 128> EscapeOf = [] {
    std::array<char, 128> table{};
    table['\\'] = '\\';
    table['\t'] = 't';
    table['\r'] = 'r';
    table['\n'] = 'n';
    return table;
}();

constexpr std::array<char, 128> NoEscape{};

// Buffered UTF-8 output to stdout, written in large blocks.
class Output
{
public:
    Output() : m_buffer(BlockSize) {}
    ~Output() { flush(); }
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    void flush()
    {
        if (m_used > 0)
            std::fwrite(m_buffer.data(), 1, m_used, stdout);
        m_used = 0;
    }

    void bytes(const char *text)
    {
        const std::size_t n = std::strlen(text);
        std::memcpy(room(n), text, n);
        m_used += n;
    }

    // The text as UTF-8; with escape set, backslash, tab, CR and LF as \\, \t, \r, \n.
    void text(QStringView text, bool escape)
    {
        const auto n = static_cast<std::size_t>(text.size());
        // At most three bytes per UTF-16 unit (a surrogate pair gives four for two).
        char *const start = room(3 * n);
        char *out = start;
        const char16_t *in = reinterpret_cast<const char16_t *>(text.data());
        // Plain ASCII first, the usual case, in a tight loop.
        const char *special = escape ? EscapeOf.data() : NoEscape.data();
        std::size_t i = 0;
        for (; i < n; ++i) {
            const char16_t c = in[i];
            if (c >= 0x80 || special[c] != 0)
                break;
            out[i] = char(c);
        }
        out += i;
        for (; i < n; ++i) {
            char32_t c = in[i];
            if (c < 0x80) {
                if (escape && EscapeOf[c] != 0) {
                    *out++ = '\\';
                    c = char32_t(EscapeOf[c]);
                }
                *out++ = char(c);
                continue;
            }
            if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(in[i + 1])) {
                c = QChar::surrogateToUcs4(char16_t(c), in[++i]);
            } else if (QChar::isSurrogate(c)) {
                c = 0xFFFD;
            }
            if (c < 0x800) {
                *out++ = char(0xC0 | (c >> 6));
            } else if (c < 0x10000) {
                *out++ = char(0xE0 | (c >> 12));
                *out++ = char(0x80 | ((c >> 6) & 0x3F));
            } else {
                *out++ = char(0xF0 | (c >> 18));
                *out++ = char(0x80 | ((c >> 12) & 0x3F));
                *out++ = char(0x80 | ((c >> 6) & 0x3F));
            }
            *out++ = char(0x80 | (c & 0x3F));
        }
        m_used += static_cast<std::size_t>(out - start);
    }

    void byte(char c) { *room(1) = c, ++m_used; }

    // A JSON string literal: quotes, backslash and control characters escaped, UTF-8.
    void jsonString(QStringView value)
    {
        static constexpr char Hex[] = "0123456789abcdef";
        byte('"');
        qsizetype from = 0;
        for (qsizetype i = 0; i < value.size(); ++i) {
            const char16_t c = value[i].unicode();
            if (c >= 0x20 && c != u'"' && c != u'\\')
                continue;
            text(value.sliced(from, i - from), false);
            from = i + 1;
            byte('\\');
            switch (c) {
            case u'"':
            case u'\\':
                byte(char(c));
                break;
            case u'\n':
                byte('n');
                break;
            case u'\r':
                byte('r');
                break;
            case u'\t':
                byte('t');
                break;
            default:
                bytes("u00");
                byte(Hex[c >> 4]);
                byte(Hex[c & 0xF]);
            }
        }
        text(value.sliced(from), false);
        byte('"');
    }

    // One CSV field: quoted when it holds a comma, a quote, CR or LF.
    void csvField(QStringView field)
    {
        bool quote = false;
        for (const QChar c : field) {
            if (c == u',' || c == u'"' || c == u'\r' || c == u'\n') {
                quote = true;
                break;
            }
        }
        if (!quote) {
            text(field, false);
            return;
        }
        byte('"');
        qsizetype from = 0;
        for (qsizetype i = 0; i < field.size(); ++i) {
            if (field[i] == u'"') {
                text(field.sliced(from, i + 1 - from), false);
                byte('"');
                from = i + 1;
            }
        }
        text(field.sliced(from), false);
        byte('"');
    }

private:
    static constexpr std::size_t BlockSize = std::size_t(1) << 20;

    // Space for n more bytes at the end of the buffer.
    char *room(std::size_t n)
    {
        if (m_used + n > m_buffer.size()) {
            flush();
            // Empty after the flush: a fresh block of the size needed, nothing to move.
            if (n > m_buffer.size())
                m_buffer = std::vector<char>(n);
        }
        return m_buffer.data() + m_used;
    }

    std::vector<char> m_buffer;
    std::size_t m_used = 0;
};

void printList(const TableListModel &model, bool csv, Output &out)
{
    const Listing &listing = model.listing();
    const int columns = model.columnCount();
    const int rows = model.rowCount();
    auto cell = [&](QStringView text, int column) {
        if (column > 0)
            out.byte(csv ? ',' : '\t');
        if (csv)
            out.csvField(text);
        else
            out.text(text, true);
    };
    auto lineEnd = [&] {
        if (csv)
            out.byte('\r');
        out.byte('\n');
    };
    for (int c = 0; c < columns; ++c)
        cell(listing.column(c).title, c);
    lineEnd();
    for (int r = 0; r < rows; ++r) {
        const int source = model.sourceRow(r);
        for (int c = 0; c < columns; ++c)
            cell(listing.cell(source, c), c);
        lineEnd();
    }
}

// The list as a JSON array of objects, one per row in display order, keyed by title.
void printJsonList(const TableListModel &model, Output &out)
{
    const int columns = model.columnCount();
    const int rows = model.rowCount();
    out.byte('[');
    for (int r = 0; r < rows; ++r) {
        out.bytes(r == 0 ? "\n{" : ",\n{");
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                out.byte(',');
            out.jsonString(model.listing().column(c).title);
            out.byte(':');
            out.jsonString(model.cellView(r, c));
        }
        out.byte('}');
    }
    out.bytes(rows == 0 ? "]\n" : "\n]\n");
}

void printJsonStrings(const QStringList &strings, Output &out)
{
    out.byte('[');
    for (qsizetype i = 0; i < strings.size(); ++i) {
        out.bytes(i == 0 ? "\n" : ",\n");
        out.jsonString(strings[i]);
    }
    out.bytes(strings.isEmpty() ? "]\n" : "\n]\n");
}

void printRaw(const QString &fname, Output &out)
{
    const RawText raw = RawText::load(fname);
    for (qsizetype i = 0; i < raw.lineCount(); ++i) {
        out.text(raw.line(i), false);
        out.bytes("\n");
    }
}

void printJsonRaw(const QString &fname, Output &out)
{
    const RawText raw = RawText::load(fname);
    out.byte('[');
    for (qsizetype i = 0; i < raw.lineCount(); ++i) {
        out.bytes(i == 0 ? "\n" : ",\n");
        out.jsonString(raw.line(i));
    }
    out.bytes(raw.lineCount() == 0 ? "]\n" : "\n]\n");
}

int usageError(const char *message)
{
    std::fprintf(stderr, "tbldump: %s\n%s", message, Usage);
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::optional<int> sortColumn;
    bool csv = false;
    bool json = false;
    QStringList positional;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (options && arg == u"--help") {
            std::fputs(Usage, stdout);
            return 0;
        }
        if (options && arg == u"--csv") {
            csv = true;
        } else if (options && arg == u"--json") {
            json = true;
        } else if (options && arg == u"--sort") {
            if (i + 1 >= argc)
                return usageError("--sort needs a column number");
            bool ok = false;
            const int n = QString::fromLocal8Bit(argv[++i]).toInt(&ok);
            if (!ok || n < 1)
                return usageError("--sort needs a column number of 1 or more");
            sortColumn = n;
        } else if (options && arg == u"--") {
            options = false;
        } else if (options && arg.startsWith(u'-') && arg.size() > 1) {
            return usageError("unknown option");
        } else {
            positional.append(arg);
        }
    }
    if (csv && json)
        return usageError("--csv and --json exclude each other");
    if (positional.isEmpty() || positional.size() > 2)
        return usageError(positional.isEmpty() ? "no table file given" : "too many arguments");

    const QString &fname = positional[0];
    HeadlessTableWindow window;
    if (sortColumn)
        window.clickColumn(*sortColumn - 1);
    Output out;
    try {
        TableLoader::LoadFile(window, fname, TableLoader::OpenCaption);
        if (positional.size() == 1 && json) {
            printJsonStrings(window.tabs(), out);
        } else if (positional.size() == 1) {
            for (const QString &tab : window.tabs()) {
                out.text(tab, false);
                out.bytes("\n");
            }
        } else {
            const QString &caption = positional[1];
            window.clickTab(caption);
            if (caption == TableLoader::UnparsedCaption && json)
                printJsonRaw(fname, out);
            else if (caption == TableLoader::UnparsedCaption)
                printRaw(fname, out);
            else if (json)
                printJsonList(window.listModel(), out);
            else
                printList(window.listModel(), csv, out);
        }
    } catch (const LoadError &error) {
        out.flush();
        std::fprintf(stderr, "tbldump: %s\n", error.message().toLocal8Bit().constData());
        return 1;
    }
    // A full disk or a closed output must not pass for a complete dump.
    out.flush();
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "tbldump: cannot write the output\n");
        return 1;
    }
    return 0;
}
