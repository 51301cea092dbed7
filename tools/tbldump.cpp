// tbldump: prints what the table viewer shows for a table file, on the same engine.
//
//   tbldump [--sort N] [--csv] FILE            the tab captions opening FILE builds
//   tbldump [--sort N] [--csv] FILE CAPTION    the list that clicking tab CAPTION shows
//
// Exit status: 0 done, 1 the file cannot be read (one line on stderr), 2 wrong usage.

#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/rawtext.h"
#include "viewer/engine/tableloader.h"

#include <QString>
#include <QStringView>
#include <cstdio>
#include <optional>
#include <string>

namespace {

constexpr const char *Usage =
    "Usage: tbldump [--sort N] [--csv] FILE [CAPTION]\n"
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
    "  --help        show this help.\n"
    "Output is UTF-8. Exit status: 0 done, 1 the file cannot be read, 2 wrong usage.\n";

// Buffered UTF-8 output to stdout, written in large blocks.
class Output
{
public:
    Output() { m_buffer.reserve(BlockSize + 4096); }
    ~Output() { flush(); }

    void flush()
    {
        if (!m_buffer.empty())
            std::fwrite(m_buffer.data(), 1, m_buffer.size(), stdout);
        m_buffer.clear();
    }

    void bytes(const char *text) { append(text); }
    void append(const std::string &text)
    {
        m_buffer += text;
        maybeFlush();
    }

    void character(char32_t c)
    {
        if (c < 0x80) {
            m_buffer.push_back(char(c));
        } else if (c < 0x800) {
            m_buffer.push_back(char(0xC0 | (c >> 6)));
            m_buffer.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            m_buffer.push_back(char(0xE0 | (c >> 12)));
            m_buffer.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            m_buffer.push_back(char(0x80 | (c & 0x3F)));
        } else {
            m_buffer.push_back(char(0xF0 | (c >> 18)));
            m_buffer.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            m_buffer.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            m_buffer.push_back(char(0x80 | (c & 0x3F)));
        }
    }

    // The text as UTF-8; with escape set, backslash, tab, CR and LF as \\, \t, \r, \n.
    void text(QStringView text, bool escape)
    {
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = text[i].unicode();
            if (escape && c < 0x80) {
                switch (c) {
                case u'\\':
                    m_buffer += "\\\\";
                    continue;
                case u'\t':
                    m_buffer += "\\t";
                    continue;
                case u'\r':
                    m_buffer += "\\r";
                    continue;
                case u'\n':
                    m_buffer += "\\n";
                    continue;
                default:
                    break;
                }
            }
            if (QChar::isHighSurrogate(c) && i + 1 < n && text[i + 1].isLowSurrogate()) {
                character(QChar::surrogateToUcs4(c, text[i + 1].unicode()));
                ++i;
            } else if (QChar::isSurrogate(c)) {
                character(0xFFFD);
            } else {
                character(c);
            }
        }
        maybeFlush();
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
        m_buffer.push_back('"');
        qsizetype from = 0;
        for (qsizetype i = 0; i < field.size(); ++i) {
            if (field[i] == u'"') {
                text(field.sliced(from, i + 1 - from), false);
                m_buffer.push_back('"');
                from = i + 1;
            }
        }
        text(field.sliced(from), false);
        m_buffer.push_back('"');
    }

private:
    static constexpr std::size_t BlockSize = std::size_t(1) << 20;

    void maybeFlush()
    {
        if (m_buffer.size() >= BlockSize)
            flush();
    }

    std::string m_buffer;
};

void printList(const TableListModel &model, bool csv, Output &out)
{
    const int columns = model.columnCount();
    const int rows = model.rowCount();
    const char *lineEnd = csv ? "\r\n" : "\n";
    auto cell = [&](QStringView text, int column) {
        if (column > 0)
            out.bytes(csv ? "," : "\t");
        if (csv)
            out.csvField(text);
        else
            out.text(text, true);
    };
    for (int c = 0; c < columns; ++c)
        cell(model.listing().column(c).title, c);
    out.bytes(lineEnd);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            cell(model.cellView(r, c), c);
        out.bytes(lineEnd);
    }
}

void printRaw(const QString &fname, Output &out)
{
    const RawText raw = RawText::load(fname);
    for (qsizetype i = 0; i < raw.lineCount(); ++i) {
        out.text(raw.line(i), false);
        out.bytes("\n");
    }
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
    if (positional.isEmpty() || positional.size() > 2)
        return usageError(positional.isEmpty() ? "no table file given" : "too many arguments");

    const QString &fname = positional[0];
    HeadlessTableWindow window;
    if (sortColumn)
        window.clickColumn(*sortColumn - 1);
    Output out;
    try {
        TableLoader::LoadFile(window, fname, TableLoader::OpenCaption);
        if (positional.size() == 1) {
            for (const QString &tab : window.tabs()) {
                out.text(tab, false);
                out.bytes("\n");
            }
            return 0;
        }
        const QString &caption = positional[1];
        window.clickTab(caption);
        if (caption == TableLoader::UnparsedCaption)
            printRaw(fname, out);
        else
            printList(window.listModel(), csv, out);
    } catch (const LoadError &error) {
        out.flush();
        std::fprintf(stderr, "tbldump: %s\n", error.message().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
