// The air, pressure and altitude commands of oravent-calc, run in process.
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/common/TestFiles.h"
#include "core/tools/ToolRun.h"
#include "psychro/AirStateFile.h"
#include "psychro/Hygrocalc.h"

namespace oravent {
namespace {

using test::RunTool;
using test::TToolRun;

std::vector<std::string> Args(std::string_view Line) {
    std::vector<std::string> A;
    for (std::size_t I = 0; I < Line.size();) {
        const std::size_t Blank = std::min(Line.find(' ', I), Line.size());
        A.emplace_back(Line.substr(I, Blank - I));
        I = Blank + 1;
    }
    return A;
}

// "air t=20 f=0.5": the command by its name, then its arguments.
TToolRun RunLine(std::string_view Line) {
    std::vector<std::string> A = Args(Line);
    const std::string Command = A.front();
    A.erase(A.begin());
    return RunTool(Command == "air"        ? &calc::RunAir
                   : Command == "pressure" ? &calc::RunPressure
                                           : &calc::RunAltitude,
                   A);
}

TEST(CalcAirTool, PrintsFullStateOfAPair) {
    const TToolRun r = RunLine("air --pressure 101.325 t=20 f=0.5");
    ASSERT_EQ(r.Status, 0) << r.Err;
    TAirStateRec s;
    SetState(s, 101.325, 20, 0.5, 3);
    const auto j = r.Json();
    EXPECT_EQ(j["wet_bulb"].get<double>(), s.WetBulb);
    EXPECT_EQ(j["density"].get<double>(), s.Density);
    EXPECT_EQ(j["viscosity"].get<double>(), s.Viscosity);
    EXPECT_EQ(j["kinematic_viscosity"].get<double>(), s.Reserved3);
    EXPECT_EQ(j["code"], 3);
    EXPECT_EQ(j["units"]["pressure"], "kPa");
    EXPECT_EQ(j["units"]["abs_humidity"], "kg/kg");
    EXPECT_FALSE(j["units"].contains("rel_humidity"));
}

TEST(CalcAirTool, AltitudeInsteadOfPressure) {
    const TToolRun r = RunLine("air --altitude 1500 f=0.4 t=25");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NEAR(r.Json()["pressure"].get<double>(), AtmPressure(1500), 1e-6);
    EXPECT_NEAR(r.Json()["rel_humidity"].get<double>(), 0.4, 1e-9);
}

TEST(CalcAirTool, PressureAndAltitudeCommands) {
    TToolRun r = RunLine("pressure --altitude 1000");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NEAR(r.Json()["pressure"].get<double>(), 89.875, 0.001);
    EXPECT_EQ(r.Json()["units"]["altitude"], "m");
    r = RunLine("altitude --pressure=89.875");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NEAR(r.Json()["altitude"].get<double>(), 1000, 0.1);
    EXPECT_EQ(r.Json()["units"]["pressure"], "kPa");
}

struct TToolError {
    const char* Name;
    const char* Args;
    int Status;
    const char* Message;
};
const TToolError kToolErrors[] = {
    {"NoState", "air t=20 f=1.5", 1, "Relative humidity above 100 %"},
    {"WetAboveDry", "air t=20 b=25", 1, "Wet bulb above dry bulb"},
    {"UnusablePair", "air t=20 s=3", 2, "does not define a state"},
    {"OneProperty", "air t=20", 2, "exactly two properties"},
    {"UnknownLetter", "air t=20 q=3", 2, "unknown property letter"},
    {"NotANumber", "air t=20 f=abc", 2, "not a number"},
    {"BothPressureAndAltitude", "air --pressure 100 --altitude 0 t=20 f=0.5", 2, "not both"},
    {"PressureOutOfRange", "air --pressure -5 t=20 f=0.5", 1, "Pressure out of range"},
    {"AltitudeMissingValue", "pressure --altitude", 2, "needs a value"},
    {"AltitudeOutOfRange", "pressure --altitude 90000", 1, "Altitude out of range"},
    {"NegativePressure", "altitude --pressure -3", 1, "out of range"},
};

class CalcAirToolErrors : public ::testing::TestWithParam<TToolError> {};

TEST_P(CalcAirToolErrors, MessageOnStderrAndExitStatus) {
    const auto& e = GetParam();
    const TToolRun r = RunLine(e.Args);
    EXPECT_EQ(r.Out, ""); // nothing on stdout
    EXPECT_EQ(r.Status, e.Status) << r.Err;
    EXPECT_NE(r.Err.find(e.Message), std::string::npos) << r.Err;
}

INSTANTIATE_TEST_SUITE_P(Rows, CalcAirToolErrors, ::testing::ValuesIn(kToolErrors),
                         [](const auto& info) { return std::string(info.param.Name); });

// --save writes the completed state; --open prints it back with every
// number as it was, and can copy it to another file.
TEST(CalcAirTool, SaveAndOpenAStateFile) {
    test::TTempDir Dir;
    const std::string A = Dir / "a.psx", B = Dir / "b.psx";
    const TToolRun Saved = RunLine("air --pressure 95 t=24 f=0.4 --save " + A);
    ASSERT_EQ(Saved.Status, 0) << Saved.Err;
    TAirStateRec S;
    ReadAirStateFile(A, S);
    EXPECT_EQ(S.Pressure, 95);
    EXPECT_EQ(Saved.Json()["wet_bulb"].get<double>(), S.WetBulb);

    const TToolRun Opened = RunLine("air --open " + A + " --save=" + B);
    ASSERT_EQ(Opened.Status, 0) << Opened.Err;
    auto Expected = Saved.Json();
    Expected.erase("code");
    EXPECT_EQ(Opened.Json(), Expected);
    EXPECT_EQ(test::GetFile(B), test::GetFile(A));
}

// Files that cannot be read or hold no plausible state: exit status 2,
// nothing printed; a state that fails the checks is never written.
TEST(CalcAirTool, RefusesUnreadableAndImplausibleFiles) {
    test::TTempDir Dir;
    test::PutFile(Dir / "short.psx", std::string(100, '\0'));
    TAirStateRec Wet;
    SetState(Wet, 101.325, 20, 15, 0);
    Wet.WetBulb = 25;
    WriteAirStateFile(Dir / "wet.psx", Wet);
    TAirStateRec NaN = Wet;
    NaN.WetBulb = 15;
    NaN.Density = std::numeric_limits<double>::quiet_NaN();
    WriteAirStateFile(Dir / "nan.psx", NaN);
    struct TCase {
        std::string Args;
        int Status;
        std::string Message;
    };
    const TCase Cases[] = {
        {"air --open " + (Dir / "short.psx"), 2, "Error reading file " + (Dir / "short.psx")},
        {"air --open " + (Dir / "none.psx"), 2, "Error reading file " + (Dir / "none.psx")},
        {"air --open " + (Dir / "wet.psx"), 2, "Wet Bulb > Dry Bulb"},
        {"air --open " + (Dir / "nan.psx"), 2, "Bad data..."},
        {"air --open " + (Dir / "nan.psx") + " t=20 f=0.5", 2, "takes no properties"},
        {"air t=120 f=0.1 --save " + (Dir / "hot.psx"), 1, "Dry bulb too high..."},
        {"air t=20 f=0.5 --save " + (Dir / "no/such/c.psx"), 1, "Unable to write to"},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Args);
        const TToolRun R = RunLine(C.Args);
        EXPECT_EQ(R.Status, C.Status);
        EXPECT_EQ(R.Out, "");
        EXPECT_NE(R.Err.find(C.Message), std::string::npos) << R.Err;
    }
    EXPECT_FALSE(std::filesystem::exists(Dir / "hot.psx"));
}

} // namespace
} // namespace oravent
