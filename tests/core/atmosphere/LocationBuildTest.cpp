// Building a database folder from a CSV of places, and checking a folder.
#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "atmosphere/LocationBuild.h"
#include "atmosphere/LocationSearch.h"
#include "core/atmosphere/LocationFixture.h"

namespace oravent {
namespace {

using test::GetFile;
using test::PutFile;
using test::TTempDir;

const std::string kHeader = std::string(LocationCsvHeader) + "\n";

const std::string kGood =
    kHeader + "South Africa,Gauteng,Johannesburg,-26.13,28.23,2,1694,29.4,18.9,1.2,3.5,32,-2,14\r\n"
              "United States,Colorado,Denver,39.74,-104.98,-7,1609,,,,,,,\r\n"
              "Schweiz,Zürich,Zürich,47.37,8.54,1,408,,,,,,,\n"
              "\"United States\",\"District of Columbia\",\"Washington, D.C.\",38.9,-77.04,-5,7,,,"
              ",,,,\n"
              "South Africa,Western Cape,Cape Town,-33.93,18.42,2,42,,,,,,,\n"
              "\n";

TEST(LocationBuild, CodesInSortedOrderAndEveryPlaceInAll) {
    const TLocationBuild B = BuildLocationDatabase(kGood);
    ASSERT_TRUE(B.Problems.empty()) << LocationProblemText(B.Problems[0]);
    EXPECT_EQ(B.Places, 5);
    ASSERT_EQ(B.Index.size(), 4u);
    EXPECT_EQ(B.Index[0].Name, "+All");
    EXPECT_EQ(B.Index[0].Keys,
              (std::vector<std::pair<std::string, int>>{
                  {"+All", 0}, {"Schweiz", 1}, {"South Africa", 2}, {"United States", 3}}));
    EXPECT_EQ(B.Index[3].Keys, (std::vector<std::pair<std::string, int>>{
                                   {"+All", 0}, {"Colorado", 1}, {"District of Columbia", 2}}));
    ASSERT_EQ(B.Files.size(), 4u);
    EXPECT_EQ(B.Files[0].first, "+All.wdb");
    EXPECT_EQ(B.Files[0].second.size(), 5u);
    EXPECT_EQ(B.Files[3].first, "United States.wdb");
    const TLocationRec& Washington = B.Files[3].second[1];
    EXPECT_EQ(Washington.Name, "Washington, D.C.");
    EXPECT_EQ(Washington.DatabaseCode, 3);
    EXPECT_EQ(Washington.RegionCode, 2);
    EXPECT_TRUE(std::isnan(Washington.CoolingDryBulb));
    EXPECT_EQ(B.Files[2].second[1].RegionCode, 2); // Cape Town, Western Cape
}

TEST(LocationBuild, WrittenFolderChecksCleanAndReadsBack) {
    TTempDir Dir;
    const TLocationBuild B = BuildLocationDatabase(kGood);
    WriteLocationDatabase(Dir / "db", B);
    EXPECT_TRUE(CheckLocationDatabase(Dir / "db").empty());
    const TRegionIndex Index(Dir / "db/Regions.idx");
    const auto All = ReadLocationFile(Dir / "db/+All.wdb");
    ASSERT_TRUE(All);
    const auto Found = FindPlaces(Index, "+All", All->Records, "zurich");
    ASSERT_EQ(Found.size(), 1u);
    EXPECT_EQ(Found[0].Database, "Schweiz");
    EXPECT_EQ(Found[0].Region, "Zürich");
    EXPECT_EQ(LocationNumber(All->Records[Found[0].RecNo].Latitude), 47.37);
}

struct TRefusal {
    const char* Label;
    std::string Body; // after the header line
    int Line;
    const char* Message;
};

const TRefusal kRefusals[] = {
    {"FewFields", "A,B,C,1,2,3,4\n", 2, "7 fields; a place has 14"},
    {"NotANumber", "A,B,C,abc,,,,,,,,,,\n", 2, "latitude 'abc' is not a number"},
    {"CommaDecimal", "A,B,C,\"1,5\",,,,,,,,,,\n", 2, "latitude '1,5' is not a number"},
    {"LatitudeRange", "A,B,C,95,,,,,,,,,,\n", 2, "latitude '95' is outside -90 to 90"},
    {"NegativeWind", "A,B,C,,,,,,,,-1,,,\n", 2, "wind_speed '-1' is outside 0 to 100"},
    {"PointInDatabase", "St. Helena,B,C,,,,,,,,,,,\n", 2, "holds a point"},
    {"BracketInDatabase", "A[1],B,C,,,,,,,,,,,\n", 2, "holds '[' or ']'"},
    {"SlashInDatabase", "A/B,B,C,,,,,,,,,,,\n", 2, "holds '/'"},
    {"DatabaseAll", "+all,B,C,,,,,,,,,,,\n", 2, "reserved"},
    {"EqualsInRegion", "A,B=1,C,,,,,,,,,,,\n", 2, "holds '='"},
    {"SemicolonRegion", "A,;B,C,,,,,,,,,,,\n", 2, "starts with ';'"},
    {"EmptyName", "A,B,,,,,,,,,,,,\n", 2, "name is empty"},
    {"NameTooLong", "A,B,Llanfairpwllgwyngyllgogerychwyrn,,,,,,,,,,,\n", 2,
     "32 characters long; at most 31 fit"},
    {"NotWindows1252", "A,B,Łódź,,,,,,,,,,,\n", 2, "Windows-1252 cannot hold"},
    {"ControlCharacter", "A,B,\"C\tD\",,,,,,,,,,,\n", 2, "control character"},
    {"NotUtf8", "A,B,Z\xFCrich,,,,,,,,,,,\n", 2, "not UTF-8"},
    {"OpenQuote", "A,B,C,,,,,,,,,,,\nA,B,\"D,,,,,,,,,,,\n", 3, "a quote is not closed"},
    {"QuoteInside", "A,B,C\"D,,,,,,,,,,,\n", 2, "a quote inside an unquoted field"},
    {"DatabaseCase", "Chile,B,C,,,,,,,,,,,\nCHILE,B,D,,,,,,,,,,,\n", 3,
     "database 'CHILE' is spelt 'Chile' on line 2"},
    {"RegionCase", "A,Valparaíso,C,,,,,,,,,,,\nA,VALPARAÍSO,D,,,,,,,,,,,\n", 3,
     "region 'VALPARAÍSO' is spelt 'Valparaíso' on line 2"},
    {"LineAfterQuotedBreak", "A,\"B\nC\",D,,,,,,,,,,,\nA,B,,,,,,,,,,,,\n", 4, "name is empty"},
};

class LocationBuildRefusals : public ::testing::TestWithParam<TRefusal> {};

TEST_P(LocationBuildRefusals, LineReportedAndNothingToWrite) {
    const TRefusal& R = GetParam();
    const TLocationBuild B = BuildLocationDatabase(kHeader + R.Body);
    ASSERT_FALSE(B.Problems.empty());
    const TLocationProblem& P = B.Problems.back();
    EXPECT_EQ(P.Line, R.Line) << P.Message;
    EXPECT_NE(P.Message.find(R.Message), std::string::npos) << P.Message;
    EXPECT_TRUE(B.Files.empty());
    TTempDir Dir;
    EXPECT_THROW(WriteLocationDatabase(Dir / "db", B), std::logic_error);
    EXPECT_FALSE(std::filesystem::exists(Dir / "db"));
}

INSTANTIATE_TEST_SUITE_P(Rows, LocationBuildRefusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& Info) { return std::string(Info.param.Label); });

TEST(LocationBuild, EveryUnusableLineIsReportedInOrder) {
    const TLocationBuild B = BuildLocationDatabase(
        kHeader + "A,B,C,,,,,,,,,,,\nA,B,C,x,,,,,,,,,,\nA,B,C,,,,,,,,,,,\nA,B,,,,,,,,,,,,\n");
    ASSERT_EQ(B.Problems.size(), 2u);
    EXPECT_EQ(LocationProblemText(B.Problems[0]), "line 3: latitude 'x' is not a number");
    EXPECT_EQ(B.Problems[1].Line, 5);
}

TEST(LocationBuild, HeaderAndEmptyInputs) {
    const struct {
        std::string Csv;
        const char* Message;
    } Cases[] = {
        {"", "the CSV is empty"},
        {kHeader, "no places"},
        {"database,region,name\nA,B,C\n", "the first line must be the header"},
        {"\xEF\xBB\xBF" + kHeader + "\n\n", "no places"}, // a byte order mark is skipped
    };
    for (const auto& C : Cases) {
        const TLocationBuild B = BuildLocationDatabase(C.Csv);
        ASSERT_EQ(B.Problems.size(), 1u) << C.Csv;
        EXPECT_NE(B.Problems[0].Message.find(C.Message), std::string::npos)
            << B.Problems[0].Message;
    }
}

TEST(LocationBuild, RefusedWhenTheFolderCannotBeWritten) {
    TTempDir Dir;
    PutFile(Dir / "file", "x");
    EXPECT_THROW(WriteLocationDatabase(Dir / "file/db", BuildLocationDatabase(kGood)),
                 ELocationError);
}

// A sound folder spoilt one way: the message the check gives.
struct TSpoilt {
    const char* Label;
    void (*Spoil)(const test::TLocationFixture&);
    const char* Message;
};

void RemoveFile(const test::TLocationFixture& F, const char* Name) {
    std::filesystem::remove(F.Dir / Name);
}

const TSpoilt kSpoilt[] = {
    {"NoIndex", [](const auto& F) { RemoveFile(F, "Regions.idx"); }, "Regions.idx is missing"},
    {"NoRecordFile", [](const auto& F) { RemoveFile(F, "St.wdb"); },
     "database 'St. Helena': its record file St.wdb is missing"},
    {"TornTail",
     [](const auto& F) { PutFile(F.Dir / "St.wdb", GetFile(F.Dir / "St.wdb") + "abc"); },
     "St.wdb: 87 bytes are not whole records of 84 bytes; the last 3 are ignored"},
    {"LongLengthByte",
     [](const auto& F) {
         std::string B = GetFile(F.Dir / "St.wdb");
         B[8] = static_cast<char>(200);
         PutFile(F.Dir / "St.wdb", B);
     },
     "name length 200 is above 31"},
    {"UnknownRegion",
     [](const auto& F) {
         auto R = F.States;
         R[1].RegionCode = 9;
         WriteLocationFile(F.Dir / "United States.wdb", R);
     },
     "United States.wdb record 2 'Springfield': region code 9 is not in the index of 'United "
     "States'"},
    {"WrongDatabaseCode",
     [](const auto& F) {
         auto R = F.Helena;
         R[0].DatabaseCode = 1;
         WriteLocationFile(F.Dir / "St.wdb", R);
     },
     "St.wdb record 1 'Jamestown': database code 1; '+All' gives 'St. Helena' the code 2"},
    {"CountsDiffer",
     [](const auto& F) {
         auto R = F.States;
         R.pop_back();
         WriteLocationFile(F.Dir / "United States.wdb", R);
     },
     "+All.wdb holds 4 records of 'United States', its own file 3"},
    {"InfiniteNumber",
     [](const auto& F) {
         auto R = F.Helena;
         R[0].Altitude = INFINITY;
         WriteLocationFile(F.Dir / "St.wdb", R);
     },
     "St.wdb record 1 'Jamestown': altitude is infinite"},
    {"LatitudeRange",
     [](const auto& F) {
         auto R = F.Helena;
         R[0].Latitude = -91;
         WriteLocationFile(F.Dir / "St.wdb", R);
     },
     "latitude -91 is outside -90 to 90"},
    {"CodeNotANumber",
     [](const auto& F) {
         PutFile(F.Dir / "Regions.idx", GetFile(F.Dir / "Regions.idx") + "[Extra]\r\nA=x\r\n");
     },
     "'Extra': region 'A' has the code 'x', not a whole number"},
    {"NotInAll",
     [](const auto& F) {
         PutFile(F.Dir / "Regions.idx", GetFile(F.Dir / "Regions.idx") + "[Extra]\r\n");
     },
     "database 'Extra' is not listed in '+All'"},
    {"SharedCode",
     [](const auto& F) {
         PutFile(F.Dir / "Regions.idx",
                 GetFile(F.Dir / "Regions.idx") + "[Extra]\r\nA=1\r\nB=1\r\n");
     },
     "'Extra': regions 'A' and 'B' share the code 1"},
};

class LocationCheckProblems : public ::testing::TestWithParam<TSpoilt> {};

TEST_P(LocationCheckProblems, OneMessagePerProblem) {
    test::TLocationFixture F;
    ASSERT_EQ(CheckLocationDatabase(F.Dir.Path()), std::vector<std::string>{});
    GetParam().Spoil(F);
    const std::vector<std::string> Problems = CheckLocationDatabase(F.Dir.Path());
    ASSERT_FALSE(Problems.empty());
    bool Found = false;
    for (const std::string& P : Problems)
        Found = Found || P.find(GetParam().Message) != std::string::npos;
    EXPECT_TRUE(Found) << ::testing::PrintToString(Problems);
}

INSTANTIATE_TEST_SUITE_P(Rows, LocationCheckProblems, ::testing::ValuesIn(kSpoilt),
                         [](const auto& Info) { return std::string(Info.param.Label); });

TEST(LocationCheck, RecordProblemsOfAFileAreCounted) {
    test::TLocationFixture F;
    std::vector<TLocationRec> Many(80, F.Helena[0]);
    for (TLocationRec& R : Many)
        R.RegionCode = 5;
    WriteLocationFile(F.Dir / "St.wdb", Many);
    const std::vector<std::string> Problems = CheckLocationDatabase(F.Dir.Path());
    int Records = 0;
    for (const std::string& P : Problems)
        Records += P.starts_with("St.wdb record");
    EXPECT_EQ(Records, MaxRecordProblems);
    EXPECT_NE(
        std::find(Problems.begin(), Problems.end(), "St.wdb: 30 more problems in its records"),
        Problems.end());
}

} // namespace
} // namespace oravent
