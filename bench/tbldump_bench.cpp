// tbldump on generated files of 1M, 3M and 10M records (see fleettable.h; the 10M file is
// about 1.3 GB and is written to a temporary folder when the first benchmark needs it):
// listing the big section and listing it sorted by column 2, each as a separate process
// with its output thrown away, beside two yardsticks run on the same file in the same
// run: `wc -l` and a one-pass awk program that extracts the section's records.
//
// Times are wall-clock medians of separate runs. Counters: records per second, the
// process's CPU time (user and system, all threads) and its peak resident memory, in MB
// and as a multiple of the file's size (all taken from /usr/bin/time). With
// ROWLENS_BASELINE_TBLDUMP set to another tbldump, the tbldump benchmarks run for that program as
// well (Baseline...), for comparisons in one run.

#include "bench/fleettable.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

namespace {

// Extracts the records of section S as tab-separated lines, reading each line once.
const char *const AwkExtract = R"awk(
{ sub(/\r$/, "") }
/^#/ { h = substr($0, 2); t = index(h, "\t"); sec = t ? substr(h, 1, t - 1) : h; next }
sec == S && /^\$/ {
    c = index($0, ":"); if (!c) next
    n = substr($0, 2, c - 2); gsub(/^ +| +$/, "", n)
    v = substr($0, c + 2); s = index(v, ";"); if (s) v = substr(v, 1, s - 1)
    gsub(/\t/, " ", v); gsub(/^ +| +$/, "", v)
    if (n == "Name") { if (have) print row; row = v; have = 1; next }
    row = row "\t" v
}
END { if (have) print row }
)awk";

QTemporaryDir &tempDir()
{
    static QTemporaryDir dir;
    return dir;
}

const QString &tableFile(int records)
{
    static std::map<int, QString> files;
    auto found = files.find(records);
    if (found == files.end()) {
        const QString path = tempDir().filePath(QStringLiteral("fleet%1.tbl").arg(records));
        found = files.emplace(records, FleetTable::Write(path, records)).first;
    }
    return found->second;
}

struct Run
{
    double seconds = 0;
    double peakKiB = 0;
    double cpuSeconds = 0; // user and system time of the process
    bool ok = false;
};

// Runs program with arguments under /usr/bin/time, output to the null device.
Run runProcess(const QString &program, const QStringList &arguments)
{
    const QString memoryFile = tempDir().filePath(QStringLiteral("peak.txt"));
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QStringList timed{QStringLiteral("-f"), QStringLiteral("%M %U %S"), QStringLiteral("-o"),
                      memoryFile, program};
    timed += arguments;
    QElapsedTimer timer;
    timer.start();
    process.start(QStringLiteral("/usr/bin/time"), timed);
    const bool finished = process.waitForFinished(-1);
    Run run;
    run.seconds = double(timer.nsecsElapsed()) / 1e9;
    run.ok = finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    QFile memory(memoryFile);
    if (memory.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = memory.readAll().simplified().split(' ');
        if (fields.size() == 3) {
            run.peakKiB = fields[0].toDouble();
            run.cpuSeconds = fields[1].toDouble() + fields[2].toDouble();
        }
    }
    return run;
}

void measure(benchmark::State &state, const QString &program, const QStringList &arguments,
             int records)
{
    const QString &path = tableFile(records);
    if (path.isEmpty()) {
        state.SkipWithError("cannot write the table file");
        return;
    }
    QStringList args = arguments;
    args.replaceInStrings(QStringLiteral("FILE"), path);
    double peak = 0;
    double cpu = 0;
    for (auto _ : state) {
        const Run run = runProcess(program, args);
        if (!run.ok) {
            state.SkipWithError("the program failed");
            return;
        }
        state.SetIterationTime(run.seconds);
        peak = std::max(peak, run.peakKiB);
        cpu += run.cpuSeconds;
    }
    const double fileMiB = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    state.counters["records/s"] =
        benchmark::Counter(double(records), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = peak / 1024.0;
    state.counters["peak/file"] = peak / 1024.0 / fileMiB;
    state.counters["cpu_s"] = benchmark::Counter(cpu, benchmark::Counter::kAvgIterations);
}

QString tbldump()
{
    return QStringLiteral(TBLDUMP_PATH);
}

QString baseline()
{
    return qEnvironmentVariable("ROWLENS_BASELINE_TBLDUMP");
}

void BM_WcLines(benchmark::State &state)
{
    measure(state, QStringLiteral("wc"), {QStringLiteral("-l"), QStringLiteral("FILE")},
            int(state.range(0)));
}

void BM_AwkExtract(benchmark::State &state)
{
    measure(state, QStringLiteral("awk"),
            {QStringLiteral("-v"), QStringLiteral("S=Fleet"), QString::fromLatin1(AwkExtract),
             QStringLiteral("FILE")},
            int(state.range(0)));
}

void listSection(benchmark::State &state, const QString &program)
{
    measure(state, program, {QStringLiteral("FILE"), QStringLiteral("Fleet")}, int(state.range(0)));
}

void listSorted(benchmark::State &state, const QString &program)
{
    measure(state, program,
            {QStringLiteral("--sort"), QStringLiteral("2"), QStringLiteral("FILE"),
             QStringLiteral("Fleet")},
            int(state.range(0)));
}

void BM_Tbldump(benchmark::State &state)
{
    listSection(state, tbldump());
}

void BM_TbldumpSort2(benchmark::State &state)
{
    listSorted(state, tbldump());
}

void BM_BaselineTbldump(benchmark::State &state)
{
    listSection(state, baseline());
}

void BM_BaselineTbldumpSort2(benchmark::State &state)
{
    listSorted(state, baseline());
}

constexpr int M = 1000000;

void registerAll()
{
    auto common = [](benchmark::internal::Benchmark *b) {
        b->UseManualTime()->Iterations(1)->ReportAggregatesOnly(true)->Unit(
            benchmark::kMillisecond);
    };
    // Repetitions: 5 for 1M records, 3 for more (or ROWLENS_BENCH_LARGE_REPETITIONS) and
    // for the slow awk yardstick.
    bool set = false;
    const int large = qEnvironmentVariableIntValue("ROWLENS_BENCH_LARGE_REPETITIONS", &set);
    auto sized = [&](const char *name, void (*fn)(benchmark::State &),
                     std::initializer_list<int> sizes, int repetitions = 5) {
        for (const int size : sizes)
            common(benchmark::RegisterBenchmark(name, fn)->Arg(size)->Repetitions(
                size > M ? (set && large > 0 ? large : 3) : repetitions));
    };
    sized("BM_WcLines", BM_WcLines, {M, 10 * M});
    sized("BM_AwkExtract", BM_AwkExtract, {M}, 3);
    sized("BM_Tbldump", BM_Tbldump, {M, 10 * M});
    sized("BM_TbldumpSort2", BM_TbldumpSort2, {M, 3 * M, 10 * M});
    if (!baseline().isEmpty()) {
        sized("BM_BaselineTbldump", BM_BaselineTbldump, {M, 10 * M});
        sized("BM_BaselineTbldumpSort2", BM_BaselineTbldumpSort2, {M, 3 * M, 10 * M});
    }
}

} // namespace

int main(int argc, char **argv)
{
    registerAll();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
