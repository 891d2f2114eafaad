// The air, pressure and altitude commands of the built oravent-calc tool.
// Skipped when the tool has not been built in this build tree.
#include <sys/wait.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "psychro/Hygrocalc.h"

namespace oravent {
namespace {

const std::string kTool = std::string(ORAVENT_BINARY_DIR) + "/Halvorn/Oravent/oravent-calc";

struct TRun {
    int Status = -1;
    std::string Out;
};

// Runs the tool with the arguments (already shell-safe), stdout captured,
// stderr merged when asked.
TRun RunTool(const std::string& args, bool mergeErr = false) {
    TRun r;
    const std::string cmd = "'" + kTool + "' " + args + (mergeErr ? " 2>&1" : " 2>/dev/null");
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    std::array<char, 512> buf;
    while (std::fgets(buf.data(), buf.size(), p))
        r.Out += buf.data();
    const int st = pclose(p);
    r.Status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

double JsonNumber(const std::string& json, const std::string& key) {
    const auto pos = json.find("\"" + key + "\": ");
    if (pos == std::string::npos) return -1e300;
    // from_chars: the test process may run under a decimal-comma locale.
    const char* first = json.data() + pos + key.size() + 4;
    double v = -1e300;
    std::from_chars(first, json.data() + json.size(), v);
    return v;
}

class CalcAirTool : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kTool)) GTEST_SKIP() << "oravent-calc not built";
    }
};

TEST_F(CalcAirTool, PrintsFullStateOfAPair) {
    const TRun r = RunTool("air --pressure 101.325 t=20 f=0.5");
    ASSERT_EQ(r.Status, 0) << r.Out;
    TAirStateRec s;
    SetState(s, 101.325, 20, 0.5, 3);
    EXPECT_NEAR(JsonNumber(r.Out, "WetBulb"), s.WetBulb, 1e-6);
    EXPECT_NEAR(JsonNumber(r.Out, "Density"), s.Density, 1e-8);
    EXPECT_NEAR(JsonNumber(r.Out, "Viscosity"), s.Viscosity, 1e-12);
    EXPECT_EQ(JsonNumber(r.Out, "Code"), 3);
}

TEST_F(CalcAirTool, AltitudeInsteadOfPressure) {
    const TRun r = RunTool("air --altitude 1500 f=0.4 t=25");
    ASSERT_EQ(r.Status, 0);
    EXPECT_NEAR(JsonNumber(r.Out, "Pressure"), AtmPressure(1500), 1e-6);
    EXPECT_NEAR(JsonNumber(r.Out, "RelHumidity"), 0.4, 1e-9);
}

TEST_F(CalcAirTool, PressureAndAltitudeCommands) {
    TRun r = RunTool("pressure --altitude 1000");
    ASSERT_EQ(r.Status, 0);
    EXPECT_NEAR(JsonNumber(r.Out, "Pressure"), 89.875, 0.001);
    r = RunTool("altitude --pressure=89.875");
    ASSERT_EQ(r.Status, 0);
    EXPECT_NEAR(JsonNumber(r.Out, "Altitude"), 1000, 0.1);
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

class CalcAirToolErrors : public ::testing::TestWithParam<TToolError> {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kTool)) GTEST_SKIP() << "oravent-calc not built";
    }
};

TEST_P(CalcAirToolErrors, MessageOnStderrAndExitStatus) {
    const auto& e = GetParam();
    EXPECT_EQ(RunTool(e.Args).Out, ""); // nothing on stdout
    const TRun r = RunTool(e.Args, true);
    EXPECT_EQ(r.Status, e.Status) << r.Out;
    EXPECT_NE(r.Out.find(e.Message), std::string::npos) << r.Out;
}

INSTANTIATE_TEST_SUITE_P(Rows, CalcAirToolErrors, ::testing::ValuesIn(kToolErrors),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
} // namespace oravent
