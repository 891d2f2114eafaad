// A world-sized location database for the picker's benchmarks: 30,000
// places in 200 databases of 10 regions, all listed under "+All", with
// names made of syllables, some with Latin accents. Written once into a
// temporary folder and removed when the program ends.
#pragma once

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "atmosphere/LocationDatabase.h"

namespace oravent::bench {

inline constexpr int Databases = 200, RegionsPer = 10, PlacesPer = 150; // 30,000 places

// Place names from syllables, some with Latin accents.
inline std::string PlaceName(std::mt19937& Rng) {
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

inline const std::string& WorldFolder() {
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

} // namespace oravent::bench
