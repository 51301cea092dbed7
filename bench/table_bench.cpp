// Speed of the table engine on generated files of 10k, 100k and 1M records (8 fields
// each, numeric and text, comments and tabs, CR LF; the 1M file is about 130 MB):
// opening a file ("#"), listing its big section, sorting that list by a numeric column,
// narrowing it to the rows holding a text, checking the file for problems, and its raw
// text (reading it, searching every line, the widest line). Listing, sorting and filtering
// also run on 10M records (a file of about 1.3 GB, written to a temporary folder when the
// first of them needs it). Counters report records per second.

#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/rawsearch.h"
#include "viewer/engine/rawtext.h"
#include "viewer/engine/tablecheck.h"
#include "viewer/engine/tableloader.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <random>

using namespace Engine;

namespace {

const char *const Classes[] = {"Frigate", "Scout", "Tug", "Hauler", "Cruiser"};
const char *const Factions[] = {"Tarn", "Ossery", "Vel", "Quorin"};

// With a problem, one record in the middle has the text "none" as its mass.
QString writeTable(const QString &path, int records, bool problem = false)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::mt19937 random(12345);
    auto number = [&random](int low, int high) {
        return QByteArray::number(std::uniform_int_distribution<int>(low, high)(random));
    };
    QByteArray text = "; generated fleet\r\n#Fleet\t; all ships\r\n";
    for (int i = 0; i < records; ++i) {
        if (i % 1000 == 0)
            text += "; block " + QByteArray::number(i) + "\r\n";
        text += "$Name: Ship " + QByteArray::number(i).rightJustified(6, '0') + "\r\n";
        text += QByteArray("$Class:\t") + Classes[i % 5] + "\r\n";
        text += "$Mass: " + number(10, 99999) + '.' + number(0, 9) + "\r\n";
        if (problem && i == records / 2)
            text += "$Mass: none\r\n";
        text += "$Crew: " + number(1, 500) + "\r\n";
        text += "$Speed: " + number(1, 40) + '.' + number(10, 99) + " ; knots\r\n";
        text += "$Cost: " + number(100, 999999) + "\r\n";
        text += QByteArray("$Faction: ") + Factions[i % 4] + "\r\n";
        text += "$Hull: " + number(1, 100) + "\r\n";
        if (text.size() > (1 << 22)) {
            file.write(text);
            text.clear();
        }
    }
    text += "#Fleet End\r\n#Docks\r\n$Name: Home\r\n";
    file.write(text);
    return path;
}

// One generated file per size (and with or without a problem), kept for the whole run.
const QString &tableFile(int records, bool problem = false)
{
    static QTemporaryDir dir;
    static std::map<std::pair<int, bool>, QString> files;
    auto found = files.find({records, problem});
    if (found == files.end()) {
        const QString path = dir.filePath(QStringLiteral("fleet%1%2.tbl")
                                              .arg(records)
                                              .arg(problem ? QStringLiteral("-none") : QString()));
        found =
            files.emplace(std::pair(records, problem), writeTable(path, records, problem)).first;
    }
    return found->second;
}

void setRate(benchmark::State &state, int records)
{
    state.counters["records/s"] =
        benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_OpenFile(benchmark::State &state)
{
    const int records = int(state.range(0));
    const QString &path = tableFile(records);
    HeadlessTableWindow window;
    for (auto _ : state)
        Engine::LoadFile(window, path, Engine::OpenCaption);
    setRate(state, records);
}

// Read, parse, format: the model is ready when LoadFile returns.
void BM_ListSection(benchmark::State &state)
{
    const int records = int(state.range(0));
    const QString &path = tableFile(records);
    HeadlessTableWindow window;
    for (auto _ : state) {
        Engine::LoadFile(window, path, QStringLiteral("Fleet"));
        benchmark::DoNotOptimize(window.listModel().rowCount());
    }
    setRate(state, records);
}

void BM_SortByNumericColumn(benchmark::State &state)
{
    const int records = int(state.range(0));
    HeadlessTableWindow window;
    Engine::LoadFile(window, tableFile(records), QStringLiteral("Fleet"));
    TableListModel &model = window.listModel();
    for (auto _ : state) {
        state.PauseTiming();
        model.setSorted(false);
        state.ResumeTiming();
        model.sortByColumn(2); // Mass
    }
    setRate(state, records);
}

// The find bar's filter on the listed section: a text that few rows hold, so that every
// cell is searched, and one that most rows hold early on.
void BM_FilterRows(benchmark::State &state)
{
    const int records = int(state.range(0));
    HeadlessTableWindow window;
    Engine::LoadFile(window, tableFile(records), QStringLiteral("Fleet"));
    TableListModel &model = window.listModel();
    model.sortByColumn(2); // filtered rows keep the sort order
    const QString texts[] = {QStringLiteral("ship 00012"), QStringLiteral("frig")};
    const QString &text = texts[state.range(1)];
    for (auto _ : state) {
        state.PauseTiming();
        model.setFilterText(QString());
        state.ResumeTiming();
        model.setFilterText(text);
        benchmark::DoNotOptimize(model.rowCount());
    }
    setRate(state, records);
}

// The checker reads the whole file; listing its big section (BM_ListSection) is the
// yardstick. A text in a numeric column makes it walk that section's lines once more to
// name the cell (the second argument: 1).
void BM_CheckFile(benchmark::State &state)
{
    const int records = int(state.range(0));
    const bool problem = state.range(1) != 0;
    const QString &path = tableFile(records, problem);
    for (auto _ : state) {
        const std::vector<TableProblem> problems = Engine::CheckTableFile(path);
        // A duplicate field and the text that shows.
        if (problems.size() != (problem ? 2 : 0))
            state.SkipWithError("unexpected problems in the generated file");
        benchmark::DoNotOptimize(problems.data());
    }
    setRate(state, records);
}

// The raw text of the file: reading it with its line index (argument 0), then a search
// for a text that no line holds, which walks every line (1), and the widest line (2).
void BM_RawText(benchmark::State &state)
{
    const int records = int(state.range(0));
    const QString &path = tableFile(records);
    const RawText loaded = RawText::load(path);
    for (auto _ : state) {
        switch (state.range(1)) {
        case 0:
            benchmark::DoNotOptimize(RawText::load(path).lineCount());
            break;
        case 1:
            if (FindLine(loaded, QStringLiteral("no such text"), 0))
                state.SkipWithError("found a text no line holds");
            break;
        default:
            benchmark::DoNotOptimize(loaded.widestLine(8));
        }
    }
    setRate(state, records);
}

} // namespace

BENCHMARK(BM_RawText)->ArgsProduct({{1000000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterRows)
    ->ArgsProduct({{10000, 100000, 1000000, 10000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFile)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListSection)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckFile)
    ->ArgsProduct({{10000, 100000, 1000000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortByNumericColumn)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
