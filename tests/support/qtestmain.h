#pragma once
// ROWLENS_QTEST_MAIN(TestClass): the entry point of a Qt Test program, as QTEST_MAIN, that
// returns only once the threads the run started have left the process.
//
// The test framework's own watchdog thread (and any thread the code under test joined with
// QThread::wait()) is waited for before main returns, but the operating system thread still
// tears itself down a moment longer and frees its thread data only then. The leak check at
// exit would otherwise now and then catch that moment and report the data as lost.

#include <QApplication>
#include <QTest>
#include <chrono>
#include <filesystem>
#include <iterator>
#include <system_error>
#include <thread>

namespace TestSupport {

// The number of threads of this process, or 0 where the system does not list them.
inline long ThreadCount()
{
    std::error_code error;
    const std::filesystem::directory_iterator tasks("/proc/self/task", error);
    return error ? 0
                 : static_cast<long>(std::distance(tasks, std::filesystem::directory_iterator()));
}

// Waits, at most about two seconds, until no more than `threads` threads are left.
inline void AwaitThreadsEnded(long threads)
{
    for (int attempt = 0; attempt < 200 && ThreadCount() > threads; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace TestSupport

#define ROWLENS_QTEST_MAIN(TestObject)                                                             \
    static int RunTestObject(int argc, char *argv[])                                               \
    {                                                                                              \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestObject tc;                                                                             \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }                                                                                              \
    int main(int argc, char *argv[])                                                               \
    {                                                                                              \
        const long threads = TestSupport::ThreadCount();                                           \
        const int result = RunTestObject(argc, argv);                                              \
        TestSupport::AwaitThreadsEnded(threads);                                                   \
        return result;                                                                             \
    }
