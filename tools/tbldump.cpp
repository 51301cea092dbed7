// tbldump: prints what the table viewer shows for a table file, on the same engine.
//
//   tbldump [--sort N] [--csv|--json] FILE          the tab captions opening FILE builds
//   tbldump [--sort N] [--csv|--json] FILE CAPTION  the list that clicking tab CAPTION shows
//   tbldump --check [--json] FILE                   where the reader may surprise the author
//   tbldump --diff [--json] OLD NEW [CAPTION]       what differs between two table files
//
// Exit status: 0 done (with --check: no problems; with --diff: the files do not differ),
// 1 a file cannot be read or the output cannot be written (one line on stderr), 2 wrong
// usage (one line saying what is wrong, and where help is), 3 with --check: problems
// found; with --diff: the files differ.

#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/rawtext.h"
#include "viewer/engine/tablecheck.h"
#include "viewer/engine/tablediff.h"
#include "viewer/engine/tablediffwriter.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tablewriter.h"

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <new>
#include <optional>

using namespace Engine;

namespace {

constexpr const char *Usage =
    "Usage: tbldump [--sort N] [--csv | --json] FILE [CAPTION]\n"
    "       tbldump --check [--json] FILE\n"
    "       tbldump --diff [--json] OLD NEW [CAPTION]\n"
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
    "  --check       list where the viewer reads FILE differently from what its author\n"
    "                may have meant, one problem per line as FILE:LINE: KIND: message,\n"
    "                sorted by line; with --json an array of objects with the keys\n"
    "                \"line\", \"kind\", \"section\" and \"message\".\n"
    "  --diff OLD NEW [CAPTION]\n"
    "                what differs between the table files OLD and NEW, section by\n"
    "                section (only CAPTION when given), records matched by name, values\n"
    "                as read: for each section that differs a line \"@@ CAPTION\", then\n"
    "                \"- NAME\" for each record only OLD has, \"~ NAME: FIELD: OLD -> NEW\"\n"
    "                for each changed field, \"+ NAME\" for each record only NEW has.\n"
    "                Names and values are escaped as in lists; an empty value is\n"
    "                written \"(none)\". With --json: an array with one object per\n"
    "                difference (\"section\", \"change\", \"name\", \"occurrence\", and\n"
    "                \"field\", \"old\", \"new\" for a changed field).\n"
    "  --help        show this help.\n"
    "  --version     show the program's version.\n"
    "Output is UTF-8. Exit status: 0 done (--check: no problems, --diff: no\n"
    "differences), 1 a file cannot be read or the output cannot be written, 2 wrong\n"
    "usage, 3 --check found problems or the files differ (--diff).\n";

constexpr int ExitDone = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr int ExitProblems = 3;
constexpr int ExitDiffers = 3;

int usageError(const QString &message)
{
    std::fprintf(stderr, "tbldump: %s\nTry 'tbldump --help'.\n", message.toLocal8Bit().constData());
    return ExitUsage;
}

// What the command line asks for, once it has been found sound.
struct Request
{
    std::optional<int> sortColumn;
    Engine::OutputFormat format = Engine::OutputFormat::Tsv;
    QString fname;
    std::optional<QString> caption;
    bool check = false;
    // With --diff: fname is the old file, newFname the new one.
    bool diff = false;
    QString newFname;
};

// Parses the arguments (without the program name). Returns the request, or sets exitCode
// when the run ends here: help or version printed, or wrong usage reported.
std::optional<Request> parseArguments(const QStringList &arguments, int &exitCode)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption csv(QStringLiteral("csv"));
    const QCommandLineOption json(QStringLiteral("json"));
    const QCommandLineOption sort(QStringLiteral("sort"), QString(), QStringLiteral("N"));
    const QCommandLineOption check(QStringLiteral("check"));
    const QCommandLineOption diff(QStringLiteral("diff"));
    parser.addOptions({help, version, csv, json, sort, check, diff});

    // The parser wants the program name first.
    if (!parser.parse(QStringList{QStringLiteral("tbldump")} + arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty()) {
            const QString dashes =
                unknown.first().size() > 1 ? QStringLiteral("--") : QStringLiteral("-");
            exitCode =
                usageError(QStringLiteral("unknown option '%1%2'").arg(dashes, unknown.first()));
            return std::nullopt;
        }
        // The parser's own text, such as "Missing value after '--sort'.", as one clause.
        QString message = parser.errorText();
        if (message.endsWith(u'.'))
            message.chop(1);
        if (!message.isEmpty())
            message[0] = message[0].toLower();
        exitCode = usageError(message);
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        std::fputs(Usage, stdout);
        exitCode = ExitDone;
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        std::printf("tbldump %d.%d.%d\n", ROWLENS_VERSION_MAJOR, ROWLENS_VERSION_MINOR,
                    ROWLENS_VERSION_PATCH);
        exitCode = ExitDone;
        return std::nullopt;
    }

    Request request;
    if (parser.isSet(sort)) {
        bool ok = false;
        const int n = parser.value(sort).toInt(&ok);
        if (!ok || n < 1) {
            exitCode = usageError(QStringLiteral("--sort needs a column number of 1 or more"));
            return std::nullopt;
        }
        request.sortColumn = n;
    }
    if (parser.isSet(csv) && parser.isSet(json)) {
        exitCode = usageError(QStringLiteral("--csv and --json exclude each other"));
        return std::nullopt;
    }
    if (parser.isSet(csv))
        request.format = Engine::OutputFormat::Csv;
    if (parser.isSet(json))
        request.format = Engine::OutputFormat::Json;

    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(diff)) {
        if (parser.isSet(check)) {
            exitCode = usageError(QStringLiteral("--check and --diff exclude each other"));
            return std::nullopt;
        }
        if (parser.isSet(csv)) {
            exitCode = usageError(QStringLiteral("--diff writes text or --json, not --csv"));
            return std::nullopt;
        }
        if (parser.isSet(sort)) {
            exitCode = usageError(QStringLiteral("--sort does not apply to --diff"));
            return std::nullopt;
        }
        if (positional.size() < 2 || positional.size() > 3) {
            exitCode =
                usageError(positional.size() < 2 ? QStringLiteral("--diff needs two table files")
                                                 : QStringLiteral("too many arguments"));
            return std::nullopt;
        }
        request.diff = true;
        request.fname = positional[0];
        request.newFname = positional[1];
        if (positional.size() == 3)
            request.caption = positional[2];
        return request;
    }
    if (parser.isSet(check)) {
        request.check = true;
        if (parser.isSet(sort) || parser.isSet(csv)) {
            exitCode = usageError(QStringLiteral("--check takes only --json"));
            return std::nullopt;
        }
        if (positional.size() != 1) {
            exitCode =
                usageError(positional.isEmpty() ? QStringLiteral("no table file given")
                                                : QStringLiteral("--check takes one table file"));
            return std::nullopt;
        }
    }
    if (positional.isEmpty() || positional.size() > 2) {
        exitCode = usageError(positional.isEmpty() ? QStringLiteral("no table file given")
                                                   : QStringLiteral("too many arguments"));
        return std::nullopt;
    }
    request.fname = positional[0];
    if (positional.size() == 2)
        request.caption = positional[1];
    return request;
}

// The tab captions, or the list or raw text of one tab, as the viewer shows them; or the
// problems of the file. Returns the exit status for what was written.
int dump(const Request &request, Utf8Output &out)
{
    if (request.check) {
        const std::vector<TableProblem> problems = Engine::CheckTableFile(request.fname);
        Engine::WriteProblems(problems, request.fname, request.format, out);
        return problems.empty() ? ExitDone : ExitProblems;
    }
    HeadlessTableWindow window;
    if (request.sortColumn)
        window.clickColumn(*request.sortColumn - 1);
    if (!request.caption) {
        Engine::LoadFile(window, request.fname, Engine::OpenCaption);
        Engine::WriteLines(window.tabs(), request.format, out);
        return ExitDone;
    }
    // A tab click lists the section from the file alone; the tabs that opening the file
    // builds first change nothing of it, so the file is read once. Only the caption "#"
    // reads in open mode, where the list left from opening the file counts.
    if (*request.caption == Engine::OpenCaption)
        Engine::LoadFile(window, request.fname, Engine::OpenCaption);
    Engine::LoadFile(window, request.fname, *request.caption);
    if (*request.caption == Engine::UnparsedCaption)
        Engine::WriteRawText(RawText::load(request.fname), request.format, out);
    else
        Engine::WriteList(window.listModel(), request.format, out);
    return ExitDone;
}

// What differs between the two files. Returns the exit status for what was written.
int compare(const Request &request, Utf8Output &out)
{
    const TableComparison comparison =
        Engine::CompareFiles(request.fname, request.newFname, request.caption);
    if (request.format == Engine::OutputFormat::Json)
        Engine::WriteDiffJson(comparison, out);
    else
        Engine::WriteDiffText(comparison, out);
    return comparison.differs() ? ExitDiffers : ExitDone;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    int exitCode = ExitDone;
    const std::optional<Request> request = parseArguments(arguments, exitCode);
    if (!request)
        return exitCode;

    Utf8Output out(SinkTo(stdout));
    int status = ExitDone;
    try {
        status = request->diff ? compare(*request, out) : dump(*request, out);
    } catch (const LoadError &error) {
        out.flush();
        std::fprintf(stderr, "tbldump: %s\n", error.message().toLocal8Bit().constData());
        return ExitFailed;
    } catch (const std::bad_alloc &) {
        out.flush();
        std::fprintf(stderr, "tbldump: %s: not enough memory\n",
                     request->fname.toLocal8Bit().constData());
        return ExitFailed;
    }
    // A full disk or a closed output must not pass for a complete dump.
    if (!out.flush() || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "tbldump: cannot write the output\n");
        return ExitFailed;
    }
    return status;
}
