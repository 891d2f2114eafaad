// Speed of the location picker over a world-sized database: 30,000 places
// in 200 databases of 10 regions, all listed under "+All". One keystroke in
// the search field (the first letter over the whole list, a further letter,
// a deleted letter that widens the list again, a text nothing matches), and
// the picker's opening: index, record file, folded names, the sorted list
// of every place.
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <benchmark/benchmark.h>
#include <unistd.h>

#include "atmosphere/LocationDatabase.h"
#include "atmosphere/SelectLocationCommands.h"

namespace {

using namespace oravent;

constexpr int Databases = 200, RegionsPer = 10, PlacesPer = 150; // 30,000 places

// Place names from syllables, some with Latin accents.
std::string PlaceName(std::mt19937& Rng) {
    static const char* const Syllables[] = {
        "san", "ta",   "ber", "lin", "zü",   "rich", "mo", "ná", "co",  "ville", "burg", "ham",
        "ø",   "ster", "ka",  "la",  "port", "é",    "ri", "do", "new", "vik",   "ça"};
    std::string Name;
    const int Count = 2 + static_cast<int>(Rng() % 4);
    for (int I = 0; I < Count; ++I)
        Name += Syllables[Rng() % std::size(Syllables)];
    Name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(Name[0])));
    if (Rng() % 5 == 0) Name += " City";
    return Name;
}

// The database folder, written once and removed when the program ends.
struct TWorld {
    std::string Folder;
    ~TWorld() {
        std::error_code Ec;
        std::filesystem::remove_all(Folder, Ec);
    }
};

const std::string& WorldFolder() {
    static const TWorld World{[] {
        std::string Pattern =
            (std::filesystem::temp_directory_path() / "oravent-bench-XXXXXX").string();
        if (!::mkdtemp(Pattern.data())) std::abort();
        std::mt19937 Rng(42);
        std::vector<TIndexSection> Index{{"+All", {{"+All", 0}}}};
        std::vector<TLocationRec> All;
        for (int D = 1; D <= Databases; ++D) {
            const std::string Name = "Country " + std::to_string(D);
            Index[0].Keys.emplace_back(Name, D);
            TIndexSection Section{Name, {{"+All", 0}}};
            for (int R = 1; R <= RegionsPer; ++R)
                Section.Keys.emplace_back("Region " + std::to_string(R), R);
            Index.push_back(std::move(Section));
            std::vector<TLocationRec> Own;
            for (int P = 0; P < PlacesPer; ++P) {
                TLocationRec Rec;
                Rec.DatabaseCode = D;
                Rec.RegionCode = 1 + P % RegionsPer;
                Rec.Name = PlaceName(Rng);
                Rec.Latitude = static_cast<float>(Rng() % 180) - 90;
                Rec.Altitude = static_cast<float>(Rng() % 3000);
                Own.push_back(Rec);
            }
            WriteLocationFile(Pattern + "/" + LocationFileBaseName(Name), Own);
            All.insert(All.end(), Own.begin(), Own.end());
        }
        WriteLocationFile(Pattern + "/+All.wdb", All);
        WriteRegionIndex(Pattern + "/Regions.idx", Index);
        return Pattern;
    }()};
    return World.Folder;
}

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
