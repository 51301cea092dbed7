// The main window on the offscreen platform, driven as a user drives it, on the generated
// fleet file (fleettable.h) of 1M records (about 133 MB): opening the file ("Ready" with
// the raw text painted), a click on the "Fleet" tab (until the list's first rows are
// painted), a click on a column header (sorted and painted again) and find as you type
// (each key's echo, and from the last key until the narrowed list is painted). Each case
// also reports the memory the process holds afterwards and its peak during the case, in
// MB and against the file's size. The problems panel checks a newly opened file on a
// thread of its own (reading it once more); the clicks are timed once that check is done.
// Yardsticks in the same run: the engine alone listing the section into a window without widgets
// (with the memory its listing takes) and sorting it by the same column.
//
//   window_bench [--window_10m] [benchmark options]
//
// --window_10m adds the same on 10M records; that file (about 1.3 GB) is generated on the
// fly in the temporary folder and removed at the end.

#include "bench/fleettable.h"
#include "viewer/engine/headlesswindow.h"
#include "viewer/engine/tableloader.h"
#include "viewer/engine/tablemodel.h"
#include "viewer/problemspanel.h"
#include "viewer/tblmainform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstring>
#include <map>
#include <memory>

namespace {

constexpr int M = 1000000;

// Kilobytes of a field of /proc/self/status ("VmRSS", "VmHWM").
double statusKiB(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble();
    }
    return 0;
}

// Starts the peak (VmHWM) afresh at what the process holds now.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

const QString &tableFile(int records)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto found = files.find(records);
    if (found == files.end()) {
        const QString path = dir.filePath(QStringLiteral("fleet%1.tbl").arg(records));
        found = files.emplace(records, FleetTable::Write(path, records)).first;
    }
    return found->second;
}

// Counts the paint events of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) : m_widget(widget) { widget->installEventFilter(this); }
    int count() const { return m_count; }
    // Gives the window its events until the widget was painted after before paints.
    bool waitPast(int before, int timeoutMs = 60000) const
    {
        QElapsedTimer waited;
        waited.start();
        while (m_count <= before && waited.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return m_count > before;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            ++m_count;
        return false;
    }

private:
    QWidget *m_widget;
    int m_count = 0;
};

// One window for the whole run, as the program shows it.
struct Window
{
    TBLMainForm form;
    QTabBar *tabs = nullptr;
    QTableView *list = nullptr;
    std::unique_ptr<PaintCounter> listPaints;
    QString open;

    Window()
    {
        form.resize(1000, 700);
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
        tabs = form.findChild<QTabBar *>(QStringLiteral("TabStrip1"));
        list = form.findChild<QTableView *>(QStringLiteral("ListView1"));
        listPaints = std::make_unique<PaintCounter>(list->viewport());
    }

    void ensureOpen(const QString &path)
    {
        if (open != path) {
            form.LoadFileOrReport(path, QStringLiteral("#"));
            open = path;
        }
        waitForCheck();
    }
    // The file open with its section listed.
    void ensureListed(const QString &path)
    {
        ensureOpen(path);
        if (tabs->currentIndex() != 1)
            listFleet();
    }
    // The problems panel's check of the opened file has ended.
    void waitForCheck() const
    {
        const auto *problems = form.findChild<ProblemsPanel *>();
        QElapsedTimer waited;
        waited.start();
        while (problems && problems->checking() && waited.elapsed() < 300000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // The raw tab, then (timed by the caller) the section's tab.
    void showRaw() { tabs->setCurrentIndex(0); }
    bool listFleet()
    {
        const int before = listPaints->count();
        tabs->setCurrentIndex(1);
        return listPaints->waitPast(before);
    }
};

std::unique_ptr<Window> shownWindow;

Window &window()
{
    if (!shownWindow)
        shownWindow = std::make_unique<Window>();
    return *shownWindow;
}

void memoryCounters(benchmark::State &state, const QString &path)
{
    QCoreApplication::processEvents(); // what the window does once it has painted
    const double fileMB = double(QFileInfo(path).size()) / (1024.0 * 1024.0);
    const double rss = statusKiB("VmRSS") / 1024.0;
    const double peak = statusKiB("VmHWM") / 1024.0;
    state.counters["file_MB"] = fileMB;
    state.counters["rss_MB"] = rss;
    state.counters["peak_MB"] = peak;
    state.counters["rss/file"] = rss / fileMB;
    state.counters["peak/file"] = peak / fileMB;
}

const QString *fileFor(benchmark::State &state)
{
    const QString &path = tableFile(int(state.range(0)));
    if (path.isEmpty()) {
        state.SkipWithError("cannot write the table file");
        return nullptr;
    }
    return &path;
}

// Yardstick: read, parse, format, model ready, without widgets; listing_MB is what the
// listing adds to the process.
void BM_EngineListing(benchmark::State &state)
{
    const QString *path = fileFor(state);
    if (!path)
        return;
    double listingMB = 0;
    for (auto _ : state) {
        auto window = std::make_unique<Engine::HeadlessTableWindow>();
        const double before = statusKiB("VmRSS");
        QElapsedTimer timer;
        timer.start();
        Engine::LoadFile(*window, *path, QStringLiteral("Fleet"));
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        listingMB = (statusKiB("VmRSS") - before) / 1024.0;
    }
    state.counters["listing_MB"] = listingMB;
    state.counters["listing/file"] = listingMB / (double(QFileInfo(*path).size()) / 1048576.0);
}

// Yardstick: the model's sort by "Mass" on the window thread.
void BM_EngineSort(benchmark::State &state)
{
    const QString *path = fileFor(state);
    if (!path)
        return;
    Engine::HeadlessTableWindow window;
    Engine::LoadFile(window, *path, QStringLiteral("Fleet"));
    for (auto _ : state) {
        window.listModel().setSorted(false);
        QElapsedTimer timer;
        timer.start();
        window.listModel().sortByColumn(2);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}

// Opening the file: the tabs and the raw text, until "Ready".
void BM_WindowOpen(benchmark::State &state)
{
    const QString *path = fileFor(state);
    if (!path)
        return;
    Window &w = window();
    for (auto _ : state) {
        state.PauseTiming();
        w.form.LoadFileOrReport(tableFile(1000), QStringLiteral("#"));
        w.waitForCheck();
        QCoreApplication::processEvents();
        resetPeak();
        state.ResumeTiming();
        QElapsedTimer timer;
        timer.start();
        w.form.LoadFileOrReport(*path, QStringLiteral("#"));
        QCoreApplication::processEvents();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    w.open = *path;
    memoryCounters(state, *path);
    w.waitForCheck();
}

// A click on the section's tab, from the raw text, until the first rows are painted.
void BM_WindowTabClick(benchmark::State &state)
{
    const QString *path = fileFor(state);
    if (!path)
        return;
    Window &w = window();
    w.ensureOpen(*path);
    w.form.listModel().setSorted(false);
    double before = 0;
    for (auto _ : state) {
        w.showRaw();
        QCoreApplication::processEvents();
        before = statusKiB("VmRSS") / 1024.0;
        resetPeak();
        QElapsedTimer timer;
        timer.start();
        if (!w.listFleet()) {
            state.SkipWithError("the list was not painted");
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    memoryCounters(state, *path);
    // What the raw text held before the click (the peak cannot be lower than that).
    state.counters["before_MB"] = before;
}

// A click on the "Mass" header of the listed section, until the sorted rows are painted.
void BM_WindowHeaderClick(benchmark::State &state)
{
    const QString *path = fileFor(state);
    if (!path)
        return;
    Window &w = window();
    w.ensureListed(*path);
    QHeaderView *header = w.list->horizontalHeader();
    resetPeak();
    for (auto _ : state) {
        w.form.listModel().setSorted(false);
        QCoreApplication::processEvents();
        const int before = w.listPaints->count();
        const QPoint mass(header->sectionViewportPosition(2) + header->sectionSize(2) / 2,
                          header->height() / 2);
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, mass);
        if (!w.listPaints->waitPast(before)) {
            state.SkipWithError("the list was not painted");
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    if (w.form.listModel().sortKey() != 2)
        state.SkipWithError("the click did not sort by Mass");
    memoryCounters(state, *path);
}

// Typing "ship 00012" into the find bar over the listed section: the time from the last
// key (its press, so the find bar's wait for more keys counts) until the narrowed list is
// painted; the slowest key's echo is a counter.
void BM_WindowFind(benchmark::State &state)
{
    const QString *path = fileFor(state);
    if (!path)
        return;
    Window &w = window();
    w.ensureListed(*path);
    auto *edit = w.form.findChild<QLineEdit *>(QStringLiteral("FindText"));
    const QString text = QStringLiteral("ship 00012");
    double slowestKey = 0;
    resetPeak();
    for (auto _ : state) {
        w.form.CloseFindBar();
        w.form.ShowFindBar();
        edit->clear();
        QCoreApplication::processEvents();
        // The paints counted when the model took the narrowed rows: the list is done once
        // it has been painted after that (possibly within the same round of events).
        int atReset = -1;
        const QMetaObject::Connection reset =
            QObject::connect(&w.form.listModel(), &QAbstractItemModel::modelReset, [&] {
                if (w.form.listModel().filterText() == text)
                    atReset = w.listPaints->count();
            });
        QElapsedTimer timer; // from the last key on
        for (const QChar c : text) {
            timer.start();
            QTest::keyClicks(edit, QString(c));
            slowestKey = std::max(slowestKey, double(timer.nsecsElapsed()) / 1e6);
            QTest::qWait(60); // a fast typist
        }
        QElapsedTimer waited;
        waited.start();
        while (atReset < 0 && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QObject::disconnect(reset);
        if (atReset < 0 || !w.listPaints->waitPast(atReset)) {
            state.SkipWithError("the narrowed list was not painted");
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
    state.counters["slowest_key_ms"] = slowestKey;
    state.counters["rows_found"] = w.form.listModel().rowCount();
    w.form.CloseFindBar();
    memoryCounters(state, *path);
}

void registerAll(bool large)
{
    auto common = [](benchmark::internal::Benchmark *b, int repetitions) {
        b->UseManualTime()
            ->Iterations(1)
            ->Repetitions(repetitions)
            ->ReportAggregatesOnly(true)
            ->Unit(benchmark::kMillisecond);
    };
    std::vector<int> sizes{M};
    if (large)
        sizes.push_back(10 * M);
    for (const int size : sizes) {
        // The large file is read from disk for each of its cases: one run each.
        const int repetitions = size > M ? 1 : 5;
        common(benchmark::RegisterBenchmark("BM_EngineListing", BM_EngineListing)->Arg(size),
               repetitions);
        common(benchmark::RegisterBenchmark("BM_EngineSort", BM_EngineSort)->Arg(size),
               repetitions);
        common(benchmark::RegisterBenchmark("BM_WindowOpen", BM_WindowOpen)->Arg(size),
               repetitions);
        common(benchmark::RegisterBenchmark("BM_WindowTabClick", BM_WindowTabClick)->Arg(size),
               repetitions);
        common(
            benchmark::RegisterBenchmark("BM_WindowHeaderClick", BM_WindowHeaderClick)->Arg(size),
            repetitions);
        common(benchmark::RegisterBenchmark("BM_WindowFind", BM_WindowFind)->Arg(size),
               repetitions);
    }
}

} // namespace

int main(int argc, char **argv)
{
    bool large = false;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window_10m") == 0)
            large = true;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    registerAll(large);
    benchmark::RunSpecifiedBenchmarks();
    shownWindow.reset();
    benchmark::Shutdown();
    return 0;
}
