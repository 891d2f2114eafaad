// Speed of the location picker over a world-sized database: 30,000 places
// in 200 databases of 10 regions, all listed under "+All". One keystroke in
// the search field (the first letter over the whole list, a further letter,
// a deleted letter that widens the list again, a text nothing matches), and
// the picker's opening: index, record file, folded names, the sorted list
// of every place.
#include <cstdlib>
#include <string>

#include <benchmark/benchmark.h>

#include "LocationWorld.h"
#include "atmosphere/SelectLocationCommands.h"

namespace {

using namespace oravent;
using namespace oravent::bench;

class TNoWindow : public TSelectLocationView {
public:
    void ShowDatabases(const std::vector<std::string>&, int) override {}
    void ShowRegions(const std::vector<std::string>&, int) override {}
    void ShowPlaces(int Selected) override { benchmark::DoNotOptimize(Selected); }
    void ShowDetails(const TLocationDetails&) override {}
    void ShowStatus(int, std::string_view) override {}
    void ShowMessage(std::string_view) override { std::abort(); }
};

// The picker open on "+All", region "+All": every place listed.
struct TOpenPicker {
    TNoWindow View;
    TSelectLocationCommands Picker{View, WorldFolder()};
    TMemIniFile Store{""};
    TOpenPicker() {
        Store.WriteText("SelectLocationForm", "Database", "+All");
        Store.WriteText("SelectLocationForm", "Region", "+All");
        Picker.Create(Store);
        Picker.Activate();
        if (Picker.PlaceCount() != Databases * PlacesPer) std::abort();
    }
};

// One keystroke: the search text goes from From to To.
void Keystroke(benchmark::State& State, const char* From, const char* To) {
    TOpenPicker P;
    int Listed = 0;
    for (auto _ : State) {
        State.PauseTiming();
        P.Picker.SetFilter(From);
        State.ResumeTiming();
        P.Picker.SetFilter(To);
        Listed = P.Picker.PlaceCount();
    }
    State.counters["listed"] = Listed;
}

void BM_SearchFirstLetter(benchmark::State& State) {
    Keystroke(State, "", "s");
}
BENCHMARK(BM_SearchFirstLetter)->Unit(benchmark::kMillisecond);

void BM_SearchNextLetter(benchmark::State& State) {
    Keystroke(State, "s", "sa");
}
BENCHMARK(BM_SearchNextLetter)->Unit(benchmark::kMillisecond);

void BM_SearchAccentFolded(benchmark::State& State) {
    Keystroke(State, "zu", "zur");
}
BENCHMARK(BM_SearchAccentFolded)->Unit(benchmark::kMillisecond);

void BM_SearchLetterDeleted(benchmark::State& State) {
    Keystroke(State, "sa", "s");
}
BENCHMARK(BM_SearchLetterDeleted)->Unit(benchmark::kMillisecond);

void BM_SearchNothingMatches(benchmark::State& State) {
    Keystroke(State, "", "q");
}
BENCHMARK(BM_SearchNothingMatches)->Unit(benchmark::kMillisecond);

void BM_SearchClearedAgain(benchmark::State& State) {
    Keystroke(State, "zur", "");
}
BENCHMARK(BM_SearchClearedAgain)->Unit(benchmark::kMillisecond);

// Opening: creation with the stored choices, activation (index, 2.5 MB
// record file, folded names, the sorted list of 30,000), closing.
void BM_PickerOpenAll(benchmark::State& State) {
    TNoWindow View;
    TMemIniFile Store("");
    Store.WriteText("SelectLocationForm", "Database", "+All");
    Store.WriteText("SelectLocationForm", "Region", "+All");
    for (auto _ : State) {
        TSelectLocationCommands Picker(View, WorldFolder());
        Picker.Create(Store);
        Picker.Activate();
        benchmark::DoNotOptimize(Picker.PlaceCount());
        Picker.Close(Store);
    }
}
BENCHMARK(BM_PickerOpenAll)->Unit(benchmark::kMillisecond);

// Opening on one country's region, as after a place was picked there.
void BM_PickerOpenCountry(benchmark::State& State) {
    TNoWindow View;
    TMemIniFile Store("");
    Store.WriteText("SelectLocationForm", "Database", "Country 7");
    Store.WriteText("SelectLocationForm", "Region", "Region 3");
    for (auto _ : State) {
        TSelectLocationCommands Picker(View, WorldFolder());
        Picker.Create(Store);
        Picker.Activate();
        benchmark::DoNotOptimize(Picker.PlaceCount());
        Picker.Close(Store);
    }
}
BENCHMARK(BM_PickerOpenCountry)->Unit(benchmark::kMillisecond);

} // namespace
