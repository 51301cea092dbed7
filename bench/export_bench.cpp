// Speed of exporting the list on show to a file (display order, as shown) for sections of
// 10k, 100k and 1M records of 8 fields, in each format, and unpadded CSV. Listing the
// section (read, parse, format) in the same run is the yardstick. Counters report rows
// per second.

#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/listexport.h"
#include "viewer/engine/tableloader.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <random>

using namespace Engine;

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

QString writeTable(int records)
{
    const QString path = folder().filePath(QStringLiteral("fleet%1.tbl").arg(records));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    std::mt19937 random(4242);
    auto number = [&random](int low, int high) {
        return QByteArray::number(std::uniform_int_distribution<int>(low, high)(random));
    };
    QByteArray text = "#Fleet\r\n";
    for (int i = 0; i < records; ++i) {
        text += "$Name: Ship " + QByteArray::number(i) + "\r\n$Class: Scout, light\r\n";
        text += "$Mass: " + number(10, 99999) + '.' + number(0, 9) + "\r\n";
        text += "$Crew: " + number(1, 500) + "\r\n$Speed: " + number(1, 40) + ".5\r\n";
        text += "$Cost: " + number(100, 999999) + "\r\n$Faction: Tarn\r\n$Hull: 40\r\n";
        if (text.size() > (1 << 22)) {
            file.write(text);
            text.clear();
        }
    }
    file.write(text);
    return path;
}

// One window per size with the section listed, kept for the whole run.
HeadlessTableWindow &listed(int records)
{
    static std::map<int, std::unique_ptr<HeadlessTableWindow>> windows;
    auto &window = windows[records];
    if (!window) {
        window = std::make_unique<HeadlessTableWindow>();
        Engine::LoadFile(*window, writeTable(records), QStringLiteral("Fleet"));
    }
    return *window;
}

void setRate(benchmark::State &state, int records)
{
    state.counters["rows/s"] =
        benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate);
}

void BM_ListSection(benchmark::State &state)
{
    const int records = int(state.range(0));
    HeadlessTableWindow &window = listed(records);
    const QString file = window.currentFile();
    for (auto _ : state)
        Engine::LoadFile(window, file, QStringLiteral("Fleet"));
    setRate(state, records);
}

void BM_Export(benchmark::State &state)
{
    const int records = int(state.range(0));
    const auto format = static_cast<Engine::OutputFormat>(state.range(1));
    const bool unpadded = state.range(2) != 0;
    HeadlessTableWindow &window = listed(records);
    const QString target = folder().filePath(QStringLiteral("export.out"));
    for (auto _ : state) {
        const Engine::ExportResult result =
            Engine::ExportList(window.listModel(), {target, window.currentFile(), format, unpadded},
                               [](qint64, qint64) { return true; });
        if (result.status != Engine::ExportResult::Status::Written)
            state.SkipWithError(result.message.toStdString().c_str());
    }
    state.counters["MB"] = double(QFile(target).size()) / 1e6;
    setRate(state, records);
}

} // namespace

BENCHMARK(BM_ListSection)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
// Formats: 0 TSV, 1 CSV, 2 JSON.
BENCHMARK(BM_Export)
    ->ArgsProduct({{10000, 100000, 1000000}, {0, 1, 2}, {0}})
    ->Args({1000000, 1, 1})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
