// Speed of the location picker's window over a world-sized "+All" (30,000
// places in 200 databases): opening it (index and record file read, the
// sorted list, the list model filled, the window shown and the list
// painted), and one keystroke in its search field through to the repainted
// list (the presenter's narrowing, the model's reset, the selection kept in
// view). Run on the offscreen platform unless QT_QPA_PLATFORM says
// otherwise.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>

#include "LocationWorld.h"
#include "atmosphere/TxSelectLocation.h"
#include "common/AppFolders.h"
#include "common/TxRegistry.h"

namespace {

using namespace oravent;
using namespace oravent::gui;

// The picker's stored choice: "+All", every region.
void StoreAll() {
    TRegistryIniFile Store(AppRegistryKey());
    Store.WriteText("SelectLocationForm", "Database", "+All");
    Store.WriteText("SelectLocationForm", "Region", "+All");
}

void CheckAll(benchmark::State& State, const TSelectLocationForm& F) {
    if (F.PlaceList->model()->rowCount() != bench::Databases * bench::PlacesPer)
        State.SkipWithError("not every place is listed");
}

// Opening the created window: activation, list, showing, first paint.
void BM_PickerWindowOpenAll(benchmark::State& State) {
    StoreAll();
    TSelectLocationForm F(nullptr, bench::WorldFolder());
    for (auto _ : State) {
        F.Prepare("");
        F.show();
        F.PlaceList->viewport()->repaint();
        State.PauseTiming();
        CheckAll(State, F);
        F.done(TSelectLocationForm::mrCancel); // saves the settings file
        State.ResumeTiming();
    }
}
BENCHMARK(BM_PickerWindowOpenAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// The first opening of a program run also creates the window.
void BM_PickerWindowCreateAndOpenAll(benchmark::State& State) {
    StoreAll();
    for (auto _ : State) {
        auto* F = new TSelectLocationForm(nullptr, bench::WorldFolder());
        F->Prepare("");
        F->show();
        F->PlaceList->viewport()->repaint();
        State.PauseTiming();
        CheckAll(State, *F);
        F->done(TSelectLocationForm::mrCancel);
        delete F;
        State.ResumeTiming();
    }
}
BENCHMARK(BM_PickerWindowCreateAndOpenAll)->Unit(benchmark::kMillisecond)->UseRealTime();

// One key typed into the search field (Backspace when Key is 0), the search
// text being From before it, up to the repainted list.
void Keystroke(benchmark::State& State, const char* From, char Key) {
    StoreAll();
    TSelectLocationForm F(nullptr, bench::WorldFolder());
    F.Prepare("");
    F.show();
    if (!QTest::qWaitForWindowExposed(&F)) State.SkipWithError("window not shown");
    int Listed = 0;
    for (auto _ : State) {
        State.PauseTiming();
        F.SearchEdit->setText(QString::fromUtf8(From));
        F.SearchEdit->end(false);
        State.ResumeTiming();
        if (Key)
            QTest::keyClick(F.SearchEdit, Key);
        else
            QTest::keyClick(F.SearchEdit, Qt::Key_Backspace);
        F.PlaceList->viewport()->repaint();
        Listed = F.PlaceList->model()->rowCount();
    }
    State.counters["listed"] = Listed;
    F.done(TSelectLocationForm::mrCancel);
}

void BM_PickerKeyFirstLetter(benchmark::State& State) {
    Keystroke(State, "", 's');
}
BENCHMARK(BM_PickerKeyFirstLetter)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PickerKeyNextLetter(benchmark::State& State) {
    Keystroke(State, "s", 'a');
}
BENCHMARK(BM_PickerKeyNextLetter)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PickerKeyAccentFolded(benchmark::State& State) {
    Keystroke(State, "zu", 'r');
}
BENCHMARK(BM_PickerKeyAccentFolded)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PickerKeyLetterDeleted(benchmark::State& State) {
    Keystroke(State, "sa", 0);
}
BENCHMARK(BM_PickerKeyLetterDeleted)->Unit(benchmark::kMillisecond)->UseRealTime();

// The last letter deleted: all 30,000 places listed again.
void BM_PickerKeySearchCleared(benchmark::State& State) {
    Keystroke(State, "z", 0);
}
BENCHMARK(BM_PickerKeySearchCleared)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // Settings of the benchmark's own, never the user's.
    QTemporaryDir Config;
    setenv("XDG_CONFIG_HOME", Config.path().toLocal8Bit().constData(), 1);
    QApplication App(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
