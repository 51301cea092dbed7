// Speed of comparing two table files of 10k, 100k and 1M records (8 fields each, CR LF)
// where the new file is a changed copy of the old one: every 50th record has a changed
// value, every 200th a field more, every 1000th is gone and every 1000th is new, and
// every 20th name repeats. Listing the new file's big section (read, parse, format) is the
// yardstick in the same run; the comparison reads two files, so about twice that is the
// mark to be near. Counters report records (of one file) per second.

#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/tablediff.h"
#include "viewer/engine/tableloader.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <random>
#include <utility>

using namespace Engine;

namespace {

const char *const Classes[] = {"Frigate", "Scout", "Tug", "Hauler", "Cruiser"};

bool writeTable(const QString &path, int records, bool changed)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    std::mt19937 random(777);
    auto number = [&random](int low, int high) {
        return QByteArray::number(std::uniform_int_distribution<int>(low, high)(random));
    };
    QByteArray text = "; generated fleet\r\n#Fleet\t; all ships\r\n";
    for (int i = 0; i < records; ++i) {
        // Both files draw the same numbers, so only the edits below differ.
        const QByteArray mass = number(10, 99999) + '.' + number(0, 9);
        const QByteArray crew = number(1, 500);
        const QByteArray cost = number(100, 999999);
        if (changed && i % 1000 == 999)
            continue;
        const QByteArray name = QByteArray::number(i % 20 == 19 ? i - 1 : i).rightJustified(7, '0');
        text += "$Name: Ship " + name + "\r\n";
        text += QByteArray("$Class:\t") + Classes[i % 5] + "\r\n";
        text += "$Mass: " + mass + "\r\n";
        text += "$Crew: " + (changed && i % 50 == 7 ? crew + "1" : crew) + "\r\n";
        text += "$Speed: 12.5 ; knots\r\n";
        text += "$Cost: " + cost + "\r\n";
        text += "$Faction: Tarn\r\n";
        text += "$Hull: 40\r\n";
        if (changed && i % 200 == 3)
            text += "$Refit: 2031\r\n";
        if (changed && i % 1000 == 500)
            text += "$Name: New ship " + name + "\r\n$Mass: 1\r\n";
        if (text.size() > (1 << 22)) {
            file.write(text);
            text.clear();
        }
    }
    text += "#Fleet End\r\n#Docks\r\n$Name: Home\r\n";
    return file.write(text) == text.size();
}

// One pair of generated files per size, kept for the whole run.
const std::pair<QString, QString> &tableFiles(int records)
{
    static QTemporaryDir dir;
    static std::map<int, std::pair<QString, QString>> files;
    auto found = files.find(records);
    if (found == files.end()) {
        const QString before = dir.filePath(QStringLiteral("old%1.tbl").arg(records));
        const QString after = dir.filePath(QStringLiteral("new%1.tbl").arg(records));
        if (!writeTable(before, records, false) || !writeTable(after, records, true))
            return files[0];
        found = files.emplace(records, std::pair{before, after}).first;
    }
    return found->second;
}

void setRate(benchmark::State &state, int records)
{
    state.counters["records/s"] =
        benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_CompareFiles(benchmark::State &state)
{
    const int records = int(state.range(0));
    const auto &[before, after] = tableFiles(records);
    std::size_t changes = 0;
    for (auto _ : state) {
        const TableComparison comparison = Engine::CompareFiles(before, after);
        changes = comparison.sections.empty() ? 0 : comparison.sections[0].changed.size();
        benchmark::DoNotOptimize(changes);
    }
    state.counters["changes"] = double(changes);
    setRate(state, records);
}

// The yardstick: what a tab click on the new file's big section costs.
void BM_ListSection(benchmark::State &state)
{
    const int records = int(state.range(0));
    const QString &path = tableFiles(records).second;
    HeadlessTableWindow window;
    for (auto _ : state) {
        Engine::LoadFile(window, path, QStringLiteral("Fleet"));
        benchmark::DoNotOptimize(window.listModel().rowCount());
    }
    setRate(state, records);
}

} // namespace

BENCHMARK(BM_ListSection)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareFiles)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
