// Main window speed: program start to the first shown window, beside a
// minimal Qt Widgets program started the same way in the same run, and one
// committed edit to the repainted grid.
//
// The start benchmarks run this program again as a child ("--child
// minimal|oravent"): the child creates its application and window, shows
// it, waits until it is exposed and exits. Run on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise (xcb under Xvfb measures a real
// display server).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

#include "app/DuctTool.h"

extern char** environ;

namespace {

std::string Self;

void StartChild(benchmark::State& State, const char* Kind) {
    for (auto _ : State) {
        char* Argv[] = {Self.data(), const_cast<char*>("--child"), const_cast<char*>(Kind),
                        nullptr};
        pid_t Pid = 0;
        if (posix_spawn(&Pid, Self.c_str(), nullptr, nullptr, Argv, environ) != 0) {
            State.SkipWithError("cannot start the child");
            return;
        }
        int Status = 0;
        waitpid(Pid, &Status, 0);
        if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) {
            State.SkipWithError("the child failed");
            return;
        }
    }
}

void BM_StartMinimalQtWindow(benchmark::State& State) {
    StartChild(State, "minimal");
}
BENCHMARK(BM_StartMinimalQtWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartOravent(benchmark::State& State) {
    StartChild(State, "oravent");
}
BENCHMARK(BM_StartOravent)->Unit(benchmark::kMillisecond)->UseRealTime();

// One committed edit of the volume flow, alternating two values, through the
// grid's committed-data event, then a synchronous repaint of the grid.
void BM_CommittedEditToRepaint(benchmark::State& State) {
    oravent::gui::TDuctUForm::MessageHook = [](const QString&) {};
    oravent::gui::TDuctUForm F;
    F.show();
    if (!QTest::qWaitForWindowExposed(&F)) State.SkipWithError("window not shown");
    oravent::gui::TEntryGrid* G = F.Grid();
    bool Flip = false;
    for (auto _ : State) {
        Flip = !Flip;
        G->SetValue(1, 5, Flip ? 2.5 : 3.5);
        emit G->OnDoSetData(1, 5);
        G->viewport()->repaint();
    }
    oravent::gui::TDuctUForm::MessageHook = nullptr;
}
BENCHMARK(BM_CommittedEditToRepaint)->Unit(benchmark::kMicrosecond);

int RunChild(int argc, char** argv, const char* Kind) {
    QApplication App(argc, argv);
    QWidget* W = nullptr;
    if (std::strcmp(Kind, "minimal") == 0)
        W = new QMainWindow;
    else
        W = new oravent::gui::TDuctUForm;
    W->show();
    const bool Shown = QTest::qWaitForWindowExposed(W);
    delete W;
    return Shown ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Settings of the benchmark's own, never the user's.
    static QTemporaryDir Config;
    if (!std::getenv("ORAVENT_BENCH_CONFIG")) {
        setenv("ORAVENT_BENCH_CONFIG", Config.path().toLocal8Bit().constData(), 1);
    }
    setenv("XDG_CONFIG_HOME", std::getenv("ORAVENT_BENCH_CONFIG"), 1);
    if (argc == 3 && std::strcmp(argv[1], "--child") == 0) return RunChild(argc, argv, argv[2]);
    Self = argv[0];
    QApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
