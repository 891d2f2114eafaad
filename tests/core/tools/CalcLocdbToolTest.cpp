// oravent-calc locdb and pressure --place, run in process over folders the
// tests build.
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/common/TestFiles.h"
#include "core/tools/ToolRun.h"
#include "psychro/Hygrocalc.h"

namespace oravent {
namespace {

using test::RunTool;
using test::TToolRun;

const char* const kCsv =
    "database,region,name,latitude,longitude,timezone,altitude,cooling_db,cooling_wb,heating_db,"
    "wind_speed,max_db,min_db,db_range\n"
    "South Africa,Gauteng,Johannesburg,-26.13,28.23,2,1694,29.4,18.9,1.2,3.5,32,-2,14\n"
    "United States,Colorado,Denver,39.74,-104.98,-7,1609,,,,,,,\n"
    "United States,Illinois,Springfield,39.8,-89.65,-6,180,,,,,,,\n"
    "United States,Missouri,Springfield,37.21,-93.29,-6,396,,,,,,,\n"
    "United States,District of Columbia,\"Washington, D.C.\",38.9,-77.04,-5,7,,,,,,,\n"
    "United States,Washington,Seattle,47.61,-122.33,-8,,,,,,,,\n"
    "Schweiz,Zürich,Zürich,47.37,8.54,1,408,,,,,,,\n";

// A database folder built by the tool itself.
struct TBuilt {
    test::TTempDir Dir;
    std::string Folder = Dir / "db";
    TBuilt() {
        test::PutFile(Dir / "places.csv", kCsv);
        const TToolRun R =
            RunTool(&calc::RunLocdb, {"build", Dir / "places.csv", "--folder", Folder});
        EXPECT_EQ(R.Status, 0) << R.Err;
    }
    TToolRun Locdb(std::vector<std::string> Args) const {
        Args.push_back("--folder=" + Folder);
        return RunTool(&calc::RunLocdb, Args);
    }
    TToolRun Pressure(const std::string& Place) const {
        return RunTool(&calc::RunPressure, {"--place", Place, "--folder", Folder});
    }
};

TEST(CalcLocdbTool, BuildWritesTheFolderAndItChecksClean) {
    TBuilt B;
    const TToolRun Again =
        RunTool(&calc::RunLocdb, {"build", B.Dir / "places.csv", "--folder", B.Folder});
    ASSERT_EQ(Again.Status, 0) << Again.Err;
    const auto J = Again.Json();
    EXPECT_EQ(J["databases"], 3);
    EXPECT_EQ(J["regions"], 7);
    EXPECT_EQ(J["places"], 7);
    for (const auto& F : J["files"])
        EXPECT_TRUE(std::filesystem::exists(B.Folder + "/" + F.get<std::string>())) << F;
    const TToolRun Check = B.Locdb({"check"});
    EXPECT_EQ(Check.Status, 0) << Check.Out;
    EXPECT_TRUE(Check.Json()["problems"].empty());
}

TEST(CalcLocdbTool, BuildRefusesUnusableLinesAndWritesNothing) {
    test::TTempDir Dir;
    test::PutFile(Dir / "bad.csv", std::string(kCsv) + "St. Helena,X,Jamestown,,,,,,,,,,,\n"
                                                       "A,B,C,200,,,,,,,,,,\n");
    const TToolRun R = RunTool(&calc::RunLocdb, {"build", Dir / "bad.csv", "--folder", Dir / "db"});
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Out, "");
    EXPECT_NE(R.Err.find("bad.csv: line 9: database name 'St. Helena' holds a point"),
              std::string::npos)
        << R.Err;
    EXPECT_NE(R.Err.find("bad.csv: line 10: latitude '200' is outside -90 to 90"),
              std::string::npos)
        << R.Err;
    EXPECT_NE(R.Err.find("nothing was written"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(Dir / "db"));
}

TEST(CalcLocdbTool, ListDatabasesPlacesAndARegion) {
    TBuilt B;
    TToolRun R = B.Locdb({"list"});
    ASSERT_EQ(R.Status, 0) << R.Err;
    auto J = R.Json();
    ASSERT_EQ(J["databases"].size(), 4u);
    EXPECT_EQ(J["databases"][0]["name"], "+All");
    EXPECT_EQ(J["databases"][0]["records"], 7);
    EXPECT_EQ(J["databases"][2]["name"], "South Africa");
    EXPECT_EQ(J["databases"][2]["code"], 2);

    R = B.Locdb({"list", "united states"});
    ASSERT_EQ(R.Status, 0) << R.Err;
    J = R.Json();
    EXPECT_EQ(J["database"], "United States");
    EXPECT_EQ(J["count"], 5);
    EXPECT_EQ(J["places"][0]["name"], "Denver");
    EXPECT_EQ(J["places"][0]["region"], "Colorado");
    EXPECT_EQ(J["places"][0]["latitude"], 39.74); // the decimal written, not the float
    EXPECT_TRUE(J["places"][0]["cooling_dry_bulb"].is_null());
    EXPECT_EQ(J["units"]["altitude"], "m");

    R = B.Locdb({"list", "+All", "Schweiz"});
    ASSERT_EQ(R.Status, 0) << R.Err;
    J = R.Json();
    ASSERT_EQ(J["count"], 1);
    EXPECT_EQ(J["places"][0]["name"], "Zürich");
    EXPECT_EQ(J["places"][0]["database"], "Schweiz");
    EXPECT_EQ(J["places"][0]["record"], 7);
}

TEST(CalcLocdbTool, SearchIgnoresCaseAndAccents) {
    TBuilt B;
    const TToolRun R = B.Locdb({"search", "ZUR"});
    ASSERT_EQ(R.Status, 0) << R.Err;
    const auto J = R.Json();
    ASSERT_EQ(J["count"], 1);
    EXPECT_EQ(J["places"][0]["name"], "Zürich");
    EXPECT_EQ(J["places"][0]["region"], "Zürich");
    EXPECT_EQ(B.Locdb({"search", "spring"}).Json()["count"], 2);
}

TEST(CalcLocdbTool, PressureOfAPlace) {
    TBuilt B;
    const struct {
        const char* Place;
        const char* Name;
        const char* Region;
        double Altitude;
    } Cases[] = {
        {"Denver", "Denver", "Colorado", 1609},
        {"denver, colorado", "Denver", "Colorado", 1609},
        {"Springfield, Missouri", "Springfield", "Missouri", 396},
        {"Springfield, United States, x", "", "", 0}, // no such region
        {"Washington, D.C.", "Washington, D.C.", "District of Columbia", 7},
        {"Zurich", "Zürich", "Zürich", 408},
    };
    for (const auto& C : Cases) {
        const TToolRun R = B.Pressure(C.Place);
        if (!*C.Name) {
            EXPECT_EQ(R.Status, 1) << C.Place;
            continue;
        }
        ASSERT_EQ(R.Status, 0) << C.Place << R.Err;
        const auto J = R.Json();
        EXPECT_EQ(J["place"], C.Name);
        EXPECT_EQ(J["region"], C.Region);
        EXPECT_EQ(J["altitude"], C.Altitude);
        EXPECT_EQ(J["pressure"].get<double>(), AtmPressure(C.Altitude));
        EXPECT_EQ(J["units"]["pressure"], "kPa");
    }
    EXPECT_NEAR(B.Pressure("Denver").Json()["pressure"].get<double>(), 83.4, 0.05);
}

TEST(CalcLocdbTool, SeveralPlacesOfTheNameAreListed) {
    TBuilt B;
    const TToolRun R = B.Pressure("Springfield");
    EXPECT_EQ(R.Status, 2);
    EXPECT_EQ(R.Out, "");
    EXPECT_NE(R.Err.find("'Springfield' names 2 places"), std::string::npos) << R.Err;
    EXPECT_NE(R.Err.find("  Springfield, Illinois (United States)\n"), std::string::npos) << R.Err;
    EXPECT_NE(R.Err.find("  Springfield, Missouri (United States)\n"), std::string::npos) << R.Err;
}

struct TToolFailure {
    const char* Name;
    std::vector<std::string> Args; // "@" stands for the folder
    bool Pressure;
    int Status;
    const char* Message;
};

TEST(CalcLocdbTool, FailuresAndUsage) {
    const TToolFailure Cases[] = {
        {"NoPlace", {"--place", "Atlantis", "--folder", "@"}, true, 1, "no place named 'Atlantis'"},
        {"NoAltitude",
         {"--place", "Seattle", "--folder", "@"},
         true,
         1,
         "'Seattle' has no altitude in the database"},
        {"PlaceWithoutValue", {"--place"}, true, 2, "--place needs a value"},
        {"PlaceAndAltitude",
         {"--place", "Denver", "--altitude", "3"},
         true,
         2,
         "unexpected argument '--altitude'"},
        {"NoCommand", {}, false, 2, "give a command"},
        {"UnknownCommand", {"drop"}, false, 2, "unknown command 'drop'"},
        {"BuildWithoutFolder", {"build", "x.csv"}, false, 2, "build needs --folder DIR"},
        {"BuildUnreadable",
         {"build", "/nonexistent/x.csv", "--folder", "@"},
         false,
         1,
         "cannot read /nonexistent/x.csv"},
        {"UnknownDatabase",
         {"list", "Atlantis", "--folder", "@"},
         false,
         1,
         "no database 'Atlantis' in Regions.idx"},
        {"UnknownRegion",
         {"list", "Schweiz", "Bern", "--folder", "@"},
         false,
         1,
         "no region 'Bern' in Regions.idx"},
        {"SearchTwoWords",
         {"search", "a", "b", "--folder", "@"},
         false,
         2,
         "search takes one TEXT"},
    };
    TBuilt B;
    for (const TToolFailure& C : Cases) {
        std::vector<std::string> Args = C.Args;
        for (std::string& A : Args)
            if (A == "@") A = B.Folder;
        const TToolRun R = RunTool(C.Pressure ? &calc::RunPressure : &calc::RunLocdb, Args);
        EXPECT_EQ(R.Status, C.Status) << C.Name << R.Err;
        EXPECT_EQ(R.Out, "") << C.Name;
        EXPECT_NE(R.Err.find(C.Message), std::string::npos) << C.Name << ": " << R.Err;
    }
}

TEST(CalcLocdbTool, MissingRecordFileAndCheckProblems) {
    TBuilt B;
    std::filesystem::remove(B.Folder + "/+All.wdb");
    TToolRun R = B.Pressure("Denver");
    EXPECT_EQ(R.Status, 1);
    EXPECT_NE(R.Err.find("The +All Database has not been installed...\r\nPlease install the "
                         "Halvorn Terralog Database."),
              std::string::npos)
        << R.Err;
    R = B.Locdb({"check"});
    EXPECT_EQ(R.Status, 1);
    EXPECT_EQ(R.Json()["problems"][0], "database '+All': its record file +All.wdb is missing");
}

} // namespace
} // namespace oravent
