// Start-up times, and the idle CPU of the running tool, with the Qt view on the offscreen platform
// and no module attached; the real clock is used. Two times, each the median of five starts: to
// the shown main window, and to the scanner's first line, which follows the one-second start tick.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTimer>
#include <chrono>
#include <ctime>

#include "ui/qt/app_runner.h"
#include "ui/resource.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "marlinq_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

bool WaitShown(marlinq::qt::CAppRunner& runner) {
    QElapsedTimer t;
    t.start();
    while (runner.View().MainWindow() == nullptr || !runner.View().MainWindow()->isVisible()) {
        if (t.elapsed() > 20000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// The scanner's first line without a module: "Equipment is not ready!" (or the ready line when
// a module is attached after all).
bool WaitFirstScanLine(marlinq::qt::CAppRunner& runner) {
    QElapsedTimer t;
    t.start();
    for (;;) {
        auto* pane = qobject_cast<QPlainTextEdit*>(
            runner.View().Control(runner.View().MainHwnd(), marlinq::IDC_EDIT_LOG));
        if (pane != nullptr && pane->toPlainText().contains("Equipment ")) {
            return true;
        }
        if (t.elapsed() > 20000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}

enum class StartMark { WindowShown, FirstScanLine };

void StartTo(benchmark::State& state, StartMark mark) {
    App();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        marlinq::qt::CAppRunner runner;
        runner.Start();
        if (!WaitShown(runner)) {
            state.SkipWithError("the main window did not appear");
            return;
        }
        if (mark == StartMark::FirstScanLine && !WaitFirstScanLine(runner)) {
            state.SkipWithError("the scanner logged nothing");
            return;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        runner.Finish();
    }
}

void BM_StartToMainWindowShown(benchmark::State& state) {
    StartTo(state, StartMark::WindowShown);
}
BENCHMARK(BM_StartToMainWindowShown)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void BM_StartToFirstScanLine(benchmark::State& state) {
    StartTo(state, StartMark::FirstScanLine);
}
BENCHMARK(BM_StartToFirstScanLine)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5)
    ->DisplayAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

void BM_IdleCpuOverTenSeconds(benchmark::State& state) {
    App();
    for (auto _ : state) {
        marlinq::qt::CAppRunner runner;
        runner.Start();
        if (!WaitShown(runner)) {
            state.SkipWithError("the main window did not appear");
            return;
        }
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        const double cpu0 = CpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        QEventLoop idle;
        QTimer::singleShot(10000, &idle, &QEventLoop::quit);
        idle.exec();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        const double cpu = CpuSeconds() - cpu0;
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
        state.SetIterationTime(wall);
        runner.Finish();
    }
}
BENCHMARK(BM_IdleCpuOverTenSeconds)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
