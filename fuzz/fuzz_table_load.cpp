// Table loading with arbitrary file contents: open ("#"), list one section, sort by one
// column, then check that the list model agrees with its listing; and check the file for
// problems, comparing what the checker says with what the loader did.
//
// Input layout: byte 0 picks the section (one of the tabs, or the empty section before
// the first header), byte 1 picks the sort column, the rest is the file.

#include "fuzz/fuzztemp.h"
#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/rawtext.h"
#include "viewer/engine/tablecheck.h"
#include "viewer/engine/tableloader.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace Engine;

namespace {

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "model inconsistency: %s\n", what);
        std::abort();
    }
}

// Lower case as the sort order knows it: "A".."Z" only.
QString AsciiLower(QString text)
{
    for (QChar &c : text) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return text;
}

void CheckModel(const TableListModel &model)
{
    const Listing &listing = model.listing();
    const int rows = model.rowCount();
    const int columns = model.columnCount();
    Check(rows == listing.rowCount(), "rowCount differs from the listing");
    Check(columns == listing.columnCount(), "columnCount differs from the listing");

    std::vector<bool> seen(static_cast<std::size_t>(rows), false);
    for (int r = 0; r < rows; ++r) {
        const int source = model.sourceRow(r);
        Check(source >= 0 && source < rows, "sourceRow out of range");
        Check(!seen[static_cast<std::size_t>(source)], "sourceRow is not a permutation");
        seen[static_cast<std::size_t>(source)] = true;
        for (int c = 0; c < columns; ++c) {
            const QString shown = model.cellText(r, c);
            Check(shown == listing.cell(source, c), "cellText differs from the listing");
            if (c > 0 && listing.column(c).rightAligned)
                Check(shown.size() == 12, "right-aligned cell not 12 characters");
        }
    }
    for (int c = 1; c < columns; ++c) {
        for (int d = 1; d < c; ++d)
            Check(listing.column(c).title != listing.column(d).title, "two columns share a title");
    }

    // Sorted: ascending by the lower-cased key column, equal keys in file order.
    if (model.sorted() && model.sortKey() >= 0 && model.sortKey() < columns) {
        const int key = model.sortKey();
        for (int r = 1; r < rows; ++r) {
            const QString a = AsciiLower(model.cellText(r - 1, key));
            const QString b = AsciiLower(model.cellText(r, key));
            const int order = QStringView(a).compare(QStringView(b));
            Check(order <= 0, "rows out of order");
            if (order == 0)
                Check(model.sourceRow(r - 1) < model.sourceRow(r), "equal keys left file order");
        }
    }
}

// The raw view's lines, with the terminators between them, give back the file and its
// decoded text; walking them in order gives the same lines.
void CheckRawText(const QByteArray &bytes)
{
    const RawText raw = RawText::fromBytes(bytes);
    Check(raw.byteSize() == bytes.size(), "raw text size");
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    qsizetype at = bom ? 3 : 0;
    QString text;
    for (qsizetype i = 0; i < raw.lineCount(); ++i) {
        const QByteArrayView line = raw.lineBytes(i);
        Check(QByteArrayView(bytes).sliced(at).startsWith(line), "raw line is not the file's");
        Check(!line.contains('\r') && !line.contains('\n'), "raw line holds a terminator");
        const QString decoded = raw.line(i);
        Check(!decoded.contains(u'\r') && !decoded.contains(u'\n'), "decoded line ends");
        text += decoded;
        at += line.size();
        if (at < bytes.size()) {
            const qsizetype end =
                bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n' ? 2 : 1;
            Check(bytes[at] == '\r' || bytes[at] == '\n', "raw line stops before its end");
            text += QString::fromLatin1(bytes.constData() + at, end);
            at += end;
        }
    }
    Check(at == bytes.size(), "raw lines do not cover the file");
    qsizetype walked = 0;
    raw.forEachLine(0, raw.lineCount() - 1, [&](qsizetype i, QByteArrayView line) {
        Check(i == walked && line == raw.lineBytes(i), "a walked line differs");
        ++walked;
        return true;
    });
    Check(walked == raw.lineCount(), "the walk misses lines");
    Check(raw.line(raw.lineCount()).isEmpty(), "line beyond the last");
    Check(text == raw.text(), "raw lines differ from the raw text");
}

qsizetype CountProblems(const std::vector<TableProblem> &problems, TableProblem::Kind kind,
                        const QString *section = nullptr)
{
    qsizetype n = 0;
    for (const TableProblem &p : problems)
        n += p.kind == kind && (!section || p.section == *section) ? 1 : 0;
    return n;
}

// The checker's problems: in order, on lines of the file, and where the loader's result
// shows them, as many as it shows. listed is the caption whose records the model holds.
void CheckProblems(const QByteArray &bytes, const HeadlessTableWindow &window,
                   const QString &listed)
{
    using Kind = TableProblem::Kind;
    const std::vector<TableProblem> problems = Engine::CheckTableBytes(bytes);
    const qsizetype lines = RawText::fromBytes(bytes).lineCount();
    for (std::size_t i = 0; i < problems.size(); ++i) {
        Check(problems[i].line >= 1 && problems[i].line <= lines, "problem beyond the lines");
        Check(!problems[i].message.isEmpty() && !problems[i].message.contains(u'\n'),
              "message not one line");
        if (i > 0)
            Check(problems[i - 1].line < problems[i].line ||
                      (problems[i - 1].line == problems[i].line &&
                       Engine::ProblemKindName(problems[i - 1].kind) <
                           Engine::ProblemKindName(problems[i].kind)),
                  "problems out of order");
    }

    // Each tab but the first is one header that made a tab.
    qsizetype blankEnds = 0;
    qsizetype endLike = 0;
    for (qsizetype t = 1; t < window.tabs().size(); ++t) {
        const QString &caption = window.tabs()[t];
        blankEnds += caption.startsWith(u' ') || caption.endsWith(u' ') ? 1 : 0;
        QString core = caption;
        while (!core.isEmpty() && (core.front() == u' ' || core.front() == u'\t'))
            core.remove(0, 1);
        while (!core.isEmpty() && (core.back() == u' ' || core.back() == u'\t'))
            core.chop(1);
        endLike += AsciiLower(core) == QStringLiteral("end") ? 1 : 0;
    }
    Check(CountProblems(problems, Kind::SectionBlank) == blankEnds, "section-blank count");
    Check(CountProblems(problems, Kind::EndNotEnd) == endLike, "end-not-end count");

    // The first tab shows the raw text: a section of its name is never seen listed.
    if (listed == Engine::OpenCaption || listed == Engine::UnparsedCaption ||
        !window.tabs().contains(listed))
        return;
    Check(CountProblems(problems, Kind::Unreachable, &listed) == 0, "a listed section unreachable");
    const Listing &listing = window.listModel().listing();
    QSet<QString> names;
    for (int r = 0; r < listing.rowCount(); ++r)
        names.insert(listing.cell(r, 0));
    Check(CountProblems(problems, Kind::DuplicateName, &listed) ==
              listing.rowCount() - names.size(),
          "duplicate-name count");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    static QTemporaryDir dir(FuzzTempRoot() + QStringLiteral("/rowlens-fuzz-XXXXXX"));
    static const QString path = dir.path() + QStringLiteral("/fuzz.tbl");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data + 2), static_cast<qint64>(size - 2));
    }

    CheckRawText(QByteArray(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2)));

    HeadlessTableWindow window;
    Engine::LoadFile(window, path, Engine::OpenCaption);
    Check(window.tabs().value(0) == Engine::UnparsedCaption, "first tab");
    Check(window.statusPanel(1) == QStringLiteral("Ready"), "status after opening");
    CheckModel(window.listModel());

    // One more choice than there are tabs: the section before the first header.
    const qsizetype choice = data[0] % (window.tabs().size() + 1);
    const QString caption = choice < window.tabs().size() ? window.tabs()[choice] : QString();
    window.clickTab(caption);
    Check(window.statusPanel(1) == QStringLiteral("Ready"), "status after the tab click");
    CheckModel(window.listModel());
    CheckProblems(QByteArray(reinterpret_cast<const char *>(data + 2), qsizetype(size - 2)), window,
                  caption);

    window.clickColumn(data[1] % (window.listModel().columnCount() + 1));
    CheckModel(window.listModel());
    if (window.listModel().rowCount() > 0)
        window.clickRow(data[1] % window.listModel().rowCount());

    // The listing left over is formatted once more when the file is opened again.
    Engine::LoadFile(window, path, Engine::OpenCaption);
    CheckModel(window.listModel());
    return 0;
}
