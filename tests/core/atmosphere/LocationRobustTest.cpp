// Robustness: random and mutated record files, region indexes and CSVs.
// Readers never crash or hang; the picker works over whatever it finds; a
// CSV the build accepts always gives a folder that checks clean.
#include <random>

#include <gtest/gtest.h>

#include "atmosphere/LocationBuild.h"
#include "atmosphere/SelectLocationCommands.h"
#include "common/TextCodec.h"
#include "core/atmosphere/LocationFixture.h"

namespace oravent {
namespace {

using namespace std::literals;

std::string RandomBytes(std::mt19937& Rng, std::size_t MaxSize) {
    std::string B(std::uniform_int_distribution<std::size_t>(0, MaxSize)(Rng), '\0');
    for (char& C : B)
        C = static_cast<char>(Rng());
    return B;
}

std::string Mutate(std::string Text, std::mt19937& Rng, std::string_view Special) {
    const int Steps = std::uniform_int_distribution<int>(1, 6)(Rng);
    for (int S = 0; S < Steps; ++S) {
        const std::size_t Pos = Text.empty() ? 0 : Rng() % (Text.size() + 1);
        switch (Rng() % 4) {
        case 0:
            if (Pos < Text.size()) Text[Pos] ^= static_cast<char>(1 << (Rng() % 8));
            break;
        case 1:
            Text.insert(Pos, 1, Special[Rng() % Special.size()]);
            break;
        case 2:
            if (Pos < Text.size()) Text.erase(Pos, Rng() % 12);
            break;
        default:
            Text.insert(Pos, Text.substr(Pos, Rng() % 20));
        }
    }
    return Text;
}

class TSilentPicker : public TSelectLocationView {
public:
    void ShowDatabases(const std::vector<std::string>&, int) override {}
    void ShowRegions(const std::vector<std::string>&, int) override {}
    void ShowPlaces(int) override {}
    void ShowDetails(const TLocationDetails&) override {}
    void ShowStatus(int, std::string_view) override {}
    void ShowMessage(std::string_view) override {}
};

TEST(LocationRobust, RandomRecordFilesReadAsWholeRecords) {
    std::mt19937 Rng(1234);
    for (int Round = 0; Round < 2000; ++Round) {
        const std::string Bytes = RandomBytes(Rng, 400);
        const TLocationFile F = ParseLocationFile(Bytes);
        ASSERT_EQ(F.Records.size(), Bytes.size() / 84);
        ASSERT_EQ(F.TailBytes, Bytes.size() % 84);
        for (const TLocationRec& R : F.Records) {
            ASSERT_TRUE(IsValidUtf8(R.Name));
            ASSERT_LE(Utf8ToCp1252(R.Name).size(), 31u);
            (void)LocationDetails(R); // every number shows, "n/a" or not
        }
    }
}

TEST(LocationRobust, PickerAndCheckOverMutatedFolders) {
    std::mt19937 Rng(99);
    test::TLocationFixture F;
    const std::string Index = test::GetFile(F.Dir / "Regions.idx");
    const std::string Records = test::GetFile(F.Dir / "+All.wdb");
    for (int Round = 0; Round < 150; ++Round) {
        test::PutFile(F.Dir / "Regions.idx", Mutate(Index, Rng,
                                                    "[]=;+.\r\n \x00\xFC"
                                                    "0x$-"sv));
        test::PutFile(F.Dir / "+All.wdb", Round % 3 ? Mutate(Records, Rng, "\x00\xFF\x1F\x7F"sv)
                                                    : RandomBytes(Rng, 300));
        TSilentPicker V;
        TSelectLocationCommands C(V, F.Dir.Path());
        TMemIniFile Store("");
        C.Create(Store);
        C.SetLastLocation(Mutate("Denver, Colorado", Rng, ",; \x00"sv));
        C.Activate();
        for (int D = 0; D < static_cast<int>(C.Databases().size()); ++D) {
            C.DatabasePicked(D);
            for (int R = 0; R < static_cast<int>(C.Regions().size()); ++R) {
                C.RegionPicked(R);
                for (int P = 0; P < C.PlaceCount(); ++P)
                    C.PlaceClicked(P);
                C.SetFilter(RandomBytes(Rng, 3));
                C.SetFilter("");
                ASSERT_EQ(C.Accept(), C.PlaceCount() > 0);
            }
        }
        C.Close(Store);
        (void)CheckLocationDatabase(F.Dir.Path());
    }
}

TEST(LocationRobust, AnyAcceptedCsvBuildsAFolderThatChecksClean) {
    std::mt19937 Rng(7);
    const std::string Csv =
        std::string(LocationCsvHeader) +
        "\nSouth Africa,Gauteng,Johannesburg,-26.13,28.23,2,1694,29.4,18.9,1.2,3.5,32,-2,14\n"
        "Schweiz,Zürich,Zürich,47.37,8.54,1,408,,,,,,,\n"
        "\"United States\",\"District of Columbia\",\"Washington, D.C.\",38.9,-77.04,-5,7,,,,,,,\n";
    int Accepted = 0;
    for (int Round = 0; Round < 400; ++Round) {
        const std::string Text = Mutate(Csv, Rng, ",\"\n\r.-e[]=;+/\xC3\xBC\x01 9");
        const TLocationBuild B = BuildLocationDatabase(Text);
        if (!B.Problems.empty()) {
            ASSERT_TRUE(B.Files.empty());
            continue;
        }
        ++Accepted;
        test::TTempDir Dir;
        WriteLocationDatabase(Dir / "db", B);
        ASSERT_EQ(CheckLocationDatabase(Dir / "db"), std::vector<std::string>{}) << Text;
    }
    EXPECT_GT(Accepted, 10);
}

} // namespace
} // namespace oravent
