// oravent-calc duct, run in process: the worked example, edits, units,
// calculation file, a 1,000-line schedule and malformed schedules.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "core/common/TestFiles.h"
#include "core/tools/ToolRun.h"

namespace oravent {
namespace {

using nlohmann::json;
using test::PutFile;
using test::TToolRun;

class CalcDuctTool : public ::testing::Test {
protected:
    TToolRun Run(const std::vector<std::string>& Args, const std::string& In = " ") {
        return test::RunTool(&calc::RunDuct, Args, In);
    }
    std::string Path(std::string_view Name) const { return Dir / Name; }

    test::TTempDir Dir;
};

// Leading number of a text, read without the locale.
double ToNumber(std::string_view t) {
    double v = std::nan("");
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
}

// Shortest round-trip text, independent of the locale.
std::string Num(double v) {
    char buf[32];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, p);
}

std::vector<std::string> CsvFields(const std::string& Line) {
    std::vector<std::string> f;
    std::stringstream ls(Line);
    for (std::string cell; std::getline(ls, cell, ',');)
        f.push_back(cell);
    return f;
}

const std::vector<std::string> TestAir = {"--density", "1.2", "--viscosity", "18.2e-6"};

std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(CalcDuctTool, ReproducesTheWorkedExample) {
    const TToolRun r = Run(TestAir);
    ASSERT_EQ(r.Status, 0) << r.Err;
    const json j = r.Json();
    EXPECT_EQ(j["solved"], true);
    EXPECT_EQ(j["passes"], 2);
    EXPECT_NEAR(j["diameter"].get<double>(), 0.8200, 0.00005);
    EXPECT_NEAR(j["height"].get<double>(), 0.55, 1e-12);
    EXPECT_NEAR(j["width"].get<double>(), 1.05, 0.005);
    EXPECT_NEAR(j["velocity"].get<double>(), 9.469, 0.0005);
    EXPECT_NEAR(j["reynolds"].get<double>(), 5.12e5, 0.005e5);
    EXPECT_NEAR(j["friction_factor"].get<double>(), 0.01524, 0.000005);
    EXPECT_EQ(j["last_flow"], json({"Pressure", "Flow"}));
    EXPECT_EQ(j["last_size"], json({"Diam", "Height"}));
}

TEST_F(CalcDuctTool, EditsRunInOrderFromTheSolvedSheet) {
    const TToolRun r = Run(With(TestAir, {"solve", "velocity=10"}));
    ASSERT_EQ(r.Status, 0) << r.Err;
    const json j = r.Json();
    EXPECT_EQ(j["passes"], 5);
    EXPECT_NEAR(j["diameter"].get<double>(), 0.8942, 0.00005);
    EXPECT_NEAR(j["volume"].get<double>(), 6.280, 0.0005);
    EXPECT_EQ(j["last_flow"], json({"Velocity", "Pressure"}));
}

TEST_F(CalcDuctTool, ArithmeticFailureIsReportedWithExitOne) {
    // A velocity this small makes the diameter underflow to 0.
    const TToolRun r = Run(With(TestAir, {"solve", "velocity=1e-200"}));
    EXPECT_EQ(r.Status, 1);
    const json j = r.Json();
    EXPECT_EQ(j["failure"], "No solution with the last values!");
    EXPECT_EQ(j["failed_edit"], "velocity=1e-200");
    EXPECT_NE(r.Err.find("No solution with the last values!"), std::string::npos);
}

struct UsageCase {
    const char* Name;
    std::vector<std::string> Args;
    const char* ErrPart;
};

TEST_F(CalcDuctTool, BadUsageExitsTwoWithAMessage) {
    const UsageCase cases[] = {
        {"TextForNumber", {"volume=abc"}, "'abc' is not a number"},
        {"UnknownEdit", {"flow=3"}, "'flow=3' is not an edit"},
        {"IdIsNoEdit", {"id=3"}, "'id=3' is not an edit"},
        {"UnknownOption", {"--fast"}, "unknown option '--fast'"},
        {"NaNValue", {"prate=nan"}, "is not a number"},
        {"InfiniteValue", {"height=inf"}, "is not a number"},
        {"BadRoughness", {"roughness=7"}, "not one of 0..4"},
        {"BadTemperature", {"temperature=warm"}, "is not a temperature"},
        {"DensityNotPositive", {"--density", "-1"}, "not a positive number"},
        {"MissingValue", {"--csv"}, "--csv needs a value"},
        {"MissingFile", {"--file", "/nonexistent/Oravent.ini"}, "cannot read calculation file"},
        // Flow and size quantities must be positive: a negative volume or side
        // would otherwise come back as a solved sheet.
        {"NegativeVolume", {"volume=-1"}, "the volume flow must be greater than 0"},
        {"NegativeVelocity", {"velocity=-3"}, "the round duct velocity must be greater than 0"},
        {"ZeroPressureRate", {"prate=0"}, "the pressure rate must be greater than 0"},
        {"ZeroHeight", {"height=0"}, "the clear height must be greater than 0"},
        {"NegativeWidth", {"width=-1"}, "the clear width must be greater than 0"},
        {"NegativeDiameter", {"diameter=-0.5"}, "the equivalent diameter must be greater than 0"},
        {"ImperialNegativeWidth", {"--imperial", "width=-2"}, "'-2': the clear width must"},
        {"ImperialOverflow", {"--imperial", "height=1e308"}, "'1e308' is out of range"},
        {"ImperialTemperatureText", {"--imperial", "temperature=68/"}, "is not a temperature"},
        {"ImperialTemperatureWord", {"--imperial", "temperature=warm"}, "is not a temperature"},
        {"PressureOutOfRange", {"barometer=5"}, "barometer=5: Pressure out of range"},
        {"UnsortedSeries",
         {"--standard", "--rect-series", "100 300 200"},
         "rectangular series must rise from the smallest size: 200 comes after 300"},
        {"AspectBelowOne", {"--standard", "--aspect-limit", "0.5"}, "aspect ratio limit must be"},
        {"LimitWithoutStandard", {"--velocity-limit", "6"}, "are for --standard"},
        {"AirNotKeptAtPressure",
         {"barometer=500"},
         "barometer=500: the air 19.5/13.4 \xC2\xB0"
         "C cannot be kept at this pressure: "},
    };
    for (const UsageCase& c : cases) {
        const TToolRun r = Run(c.Args);
        EXPECT_EQ(r.Status, 2) << c.Name;
        EXPECT_NE(r.Err.find(c.ErrPart), std::string::npos) << c.Name << ": " << r.Err;
        EXPECT_TRUE(r.Out.empty()) << c.Name;
    }
}

// The standard sizes of the worked example: the round choice agrees with
// the sheet solved at that diameter, every rectangle within the limits.
TEST_F(CalcDuctTool, StandardSizesFollowTheSolvedSheet) {
    const json j = Run(With(TestAir, {"--standard"})).Json();
    const json& c = j["standard"]["choice"]["round"];
    ASSERT_TRUE(c.is_object()) << j["standard"].dump();
    EXPECT_EQ(c["diameter"], 0.9);
    const json at = Run(With(TestAir, {"volume=5", "diameter=0.9"})).Json();
    EXPECT_NEAR(c["prate"].get<double>(), at["prate"].get<double>(), 1e-5);
    EXPECT_NEAR(c["velocity"].get<double>(), at["velocity"].get<double>(), 1e-9);
    EXPECT_EQ(j["units"]["standard"]["candidates"]["velocity_pressure"], "Pa");

    const TToolRun r = Run(With(TestAir, {"--imperial", "--standard", "--fixed-height", "14",
                                          "--aspect-limit", "3", "volume=5000"}));
    ASSERT_EQ(r.Status, 0) << r.Err;
    const json doc = r.Json();
    const json& s = doc["standard"];
    ASSERT_FALSE(s["rectangular"].empty());
    for (const json& x : s["rectangular"]) {
        EXPECT_EQ(x["height"], 14);
        const double w = x["width"].get<double>();
        EXPECT_EQ(w, std::round(w)); // whole inches
        EXPECT_LE(std::max(w, 14.0) / std::min(w, 14.0), 3.0);
    }
    EXPECT_TRUE(s["choice"]["rectangular"]["fits"].get<bool>());
}

TEST_F(CalcDuctTool, ScheduleWithStandardSizesAddsTheChoices) {
    PutFile(Path("s.csv"), "id,volume,prate\nA,5,1\nB,abc,1\nC,900,0.5\n");
    const TToolRun r = Run(With(TestAir, {"--standard", "--csv", Path("s.csv")}));
    EXPECT_EQ(r.Status, 1) << r.Err; // B has an error, C no fitting size
    std::stringstream out(r.Out);
    std::string line;
    std::getline(out, line);
    const std::vector<std::string> head = CsvFields(line);
    const auto col = [&](std::string_view name) {
        return std::find(head.begin(), head.end(), name) - head.begin();
    };
    ASSERT_EQ(head.back(), "error");
    std::vector<std::vector<std::string>> rows;
    while (std::getline(out, line))
        rows.push_back(CsvFields(line + ",")); // keep a trailing empty error field
    ASSERT_EQ(rows.size(), 3u);
    for (const auto& row : rows)
        EXPECT_EQ(row.size(), head.size());
    EXPECT_EQ(rows[0][col("round_diameter")], "0.9");
    EXPECT_EQ(ToNumber(rows[0][col("rect_height")]) * ToNumber(rows[0][col("rect_width")]),
              0.55 * 1.05);
    EXPECT_EQ(rows[1][col("round_diameter")], "");
    EXPECT_EQ(rows[2][col("round_diameter")], ""); // 900 m³/s: no series size carries it
}

TEST_F(CalcDuctTool, RoughnessByNameOrIndex) {
    const TToolRun byName = Run(With(TestAir, {"roughness=medium rough", "solve"}));
    const TToolRun byIndex = Run(With(TestAir, {"roughness=3", "solve"}));
    ASSERT_EQ(byName.Status, 0) << byName.Err;
    EXPECT_EQ(byName.Out, byIndex.Out);
    const json j = byName.Json();
    EXPECT_EQ(j["roughness_name"], "Medium Rough");
    EXPECT_NEAR(j["roughness"].get<double>(), 0.0009, 1e-15);
}

// Every number of an output object has its unit under the same key, except
// the dimensionless ones.
void ExpectUnitsNamed(const json& Obj, const json& Units) {
    for (const auto& [k, v] : Obj.items()) {
        if (k == "units") continue;
        if (v.is_object()) {
            ExpectUnitsNamed(v, Units[k]);
        } else if (v.is_number() || k == "temperature" || k == "roughness_table") {
            const bool none = k == "passes" || k == "roughness_index" || k == "reynolds" ||
                              k == "friction_factor" || k == "rel_humidity" ||
                              k == "vapour_mole_fraction" || k == "code";
            EXPECT_EQ(Units.contains(k), !none) << k;
        }
    }
}

TEST_F(CalcDuctTool, ImperialReadsAndWritesTheImperialUnits) {
    const TToolRun si = Run(With(TestAir, {"volume=2", "prate=0.8", "height=0.3"}));
    const double cfm = 2 * 2118.8800032893155;
    const double iwg = 0.8 * 0.12236594555735139;
    const double inch = 39.37007874015748;
    const TToolRun imp = Run(With(TestAir, {"--imperial", "volume=" + Num(cfm), "prate=" + Num(iwg),
                                            "height=" + Num(0.3 * inch)}));
    ASSERT_EQ(si.Status, 0) << si.Err;
    ASSERT_EQ(imp.Status, 0) << imp.Err;
    const json s = si.Json(), i = imp.Json();
    for (const char* k : {"diameter", "width", "roughness", "fixed_side"})
        EXPECT_NEAR(i[k].get<double>(), s[k].get<double>() * inch, 1e-4) << k;
    EXPECT_NEAR(i["velocity"].get<double>(), s["velocity"].get<double>() * 196.8503937007874, 1e-3);
    EXPECT_NEAR(i["barometer"].get<double>(), 101.325 * 0.1450376807894691, 1e-9);
    EXPECT_NEAR(i["area"].get<double>(), s["area"].get<double>() / 0.09290304, 1e-9);
    EXPECT_NEAR(i["density"].get<double>(), 1.2 / 16.018463373960138, 1e-9);
    EXPECT_NEAR(i["air"]["dry_bulb"].get<double>(), 19.5 * 1.8 + 32, 1e-9);
    EXPECT_EQ(i["temperature"], "67.1/56.1");
    EXPECT_EQ(i["units"]["volume"], "cfm");
    EXPECT_EQ(i["units"]["area"], "ft²");
    EXPECT_EQ(i["units"]["air"]["kinematic_viscosity"], "ft²/s");
    // One unit system throughout: no imperial unit is the SI one.
    ExpectUnitsNamed(s, s["units"]);
    ExpectUnitsNamed(i, i["units"]);
    for (const auto& [k, v] : s["units"].items()) {
        if (!v.is_object()) {
            EXPECT_NE(i["units"][k], v) << k;
        }
    }
    for (const auto& [k, v] : s["units"]["air"].items())
        EXPECT_NE(i["units"]["air"][k], v) << k;
    // A temperature typed in °F reaches the sheet in °C.
    const TToolRun f = Run({"--imperial", "temperature=68/59"});
    ASSERT_EQ(f.Status, 0) << f.Err;
    EXPECT_EQ(f.Json()["temperature"], "68.0/59.0");
    EXPECT_NEAR(f.Json()["air"]["dry_bulb"].get<double>(), 68, 1e-9);
}

TEST_F(CalcDuctTool, TemperatureMovedByTheAirStateLimitsIsNoted) {
    const struct {
        std::vector<std::string> Args;
        const char* Note; // nullptr: no note
    } cases[] = {
        {{"temperature=500"}, "temperature=500: taken as 99.0/"},
        {{"temperature=20/25"}, "temperature=20/25: taken as 20.0/20.0"},
        // Moved by less than the text's last decimal: still moved.
        {{"temperature=99.04/40"},
         "temperature=99.04/40: taken as 99.0/40.0 \xC2\xB0"
         "C (dry bulb -60.0 to 99.0 \xC2\xB0"
         "C, wet bulb"},
        {{"--imperial", "temperature=300"}, "taken as 210.2/"},
        {{"temperature=20/14"}, nullptr},
        {{"temperature=99/40"}, nullptr},
    };
    for (const auto& c : cases) {
        const TToolRun r = Run(c.Args);
        EXPECT_EQ(r.Status, 0) << r.Err;
        if (c.Note) {
            EXPECT_NE(r.Err.find(c.Note), std::string::npos) << r.Err;
        } else {
            EXPECT_TRUE(r.Err.empty()) << r.Err;
        }
    }
    PutFile(Path("t.csv"), "id,temperature\nA,20/14\nB,-100\n");
    const TToolRun batch = Run({"--csv", Path("t.csv")});
    EXPECT_EQ(batch.Status, 0) << batch.Err;
    EXPECT_NE(batch.Err.find("t.csv:3: column 2 (temperature): taken as -60.0/"), std::string::npos)
        << batch.Err;
    EXPECT_EQ(batch.Err.find("t.csv:2"), std::string::npos) << batch.Err;
}

TEST_F(CalcDuctTool, DensityAndViscosityReplaceTheEngineAir) {
    const TToolRun engine = Run({});
    const TToolRun given = Run({"--density", "1.0", "--viscosity", "2e-5", "barometer=90"});
    ASSERT_EQ(given.Status, 0) << given.Err;
    EXPECT_EQ(given.Json()["density"], 1.0);
    EXPECT_EQ(given.Json()["viscosity"], 2e-5);
    EXPECT_NE(engine.Json()["density"], 1.0);
}

TEST_F(CalcDuctTool, StartsFromTheCalculationFile) {
    PutFile(Path("Oravent.ini"), "[Settings]\r\nBarometer=95.000\r\nTemperature=25.0/18.0\r\n"
                                 "kIndex=0\r\nVolume=3.000\r\nDiameter=0.700\r\n");
    const TToolRun r = Run(With(TestAir, {"--file", Path("Oravent.ini")}));
    ASSERT_EQ(r.Status, 0) << r.Err;
    const json j = r.Json();
    EXPECT_EQ(j["barometer"], 95.0);
    EXPECT_EQ(j["prate"], 1.0); // not in the file: the default
    EXPECT_EQ(j["volume"], 3.0);
    EXPECT_EQ(j["roughness_index"], 0);
    EXPECT_EQ(j["temperature"], "25.0/18.0");
    EXPECT_EQ(j["density"], 1.2); // the override outlives the file's air
}

TEST_F(CalcDuctTool, CalculationFileWithUnusableValuesIsRefused) {
    const struct {
        const char* Text;
        const char* ErrPart;
    } cases[] = {
        {"Volume=-3.000",
         "Oravent.ini: 'Volume=-3.000' cannot be used (a number greater than 0 and at most"},
        {"PRate=abc\nkIndex=9", "'PRate=abc' cannot be used (a number greater than 0 and at most "
                                "1e+06 expected); 'kIndex=9' cannot be used (one of 0..4"},
        {"Barometer=500", "'Barometer=500' cannot be used (a number from 70 to 120 expected)"},
        {"Temperature=warm", "Oravent.ini: Temperature 'warm' cannot be used: "},
    };
    for (const auto& c : cases) {
        PutFile(Path("Oravent.ini"), std::string("[Settings]\n") + c.Text + "\n");
        const TToolRun r = Run({"--file", Path("Oravent.ini")});
        EXPECT_EQ(r.Status, 2) << c.Text;
        EXPECT_NE(r.Err.find(c.ErrPart), std::string::npos) << r.Err;
        EXPECT_TRUE(r.Out.empty()) << c.Text;
    }
}

TEST_F(CalcDuctTool, SizesAThousandLineSchedule) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> vol(0.05, 20.0), pr(0.3, 3.0), h(0.2, 1.2);
    std::string csv = "id,volume,prate,height,roughness\n";
    std::vector<double> volumes;
    for (int i = 0; i < 1000; ++i) {
        const double v = vol(rng);
        volumes.push_back(v);
        csv += "D" + std::to_string(i) + "," + Num(v) + "," + Num(pr(rng)) + "," + Num(h(rng)) +
               "," + std::to_string(i % 5) + "\n";
    }
    PutFile(Path("in.csv"), csv);
    const TToolRun r = Run(With(TestAir, {"--csv", Path("in.csv")}));
    ASSERT_EQ(r.Status, 0) << r.Err.substr(0, 2000);
    std::istringstream out(r.Out);
    std::string line;
    std::getline(out, line);
    EXPECT_EQ(line.rfind("line,id,solved,passes,", 0), 0u);
    int n = 0;
    while (std::getline(out, line)) {
        ++n;
        const std::vector<std::string> f = CsvFields(line);
        ASSERT_GE(f.size(), 20u) << line;
        EXPECT_EQ(f[1], "D" + std::to_string(n - 1));
        EXPECT_EQ(f[2], "true") << line;
        const double q = ToNumber(f[8]), d = ToNumber(f[10]);
        EXPECT_EQ(q, volumes[n - 1]);
        EXPECT_GT(d, 0.0);
    }
    EXPECT_EQ(n, 1000);
}

TEST_F(CalcDuctTool, ScheduleLineMatchesTheSingleSheet) {
    const std::string csv = "volume,prate,height\n2.5,0.9,0.35\n";
    PutFile(Path("one.csv"), csv);
    const TToolRun batch = Run(With(TestAir, {"--csv", Path("one.csv")}));
    const TToolRun piped = Run(With(TestAir, {"--csv", "-"}), csv);
    const TToolRun single = Run(With(TestAir, {"volume=2.5", "prate=0.9", "height=0.35"}));
    ASSERT_EQ(batch.Status, 0) << batch.Err;
    ASSERT_EQ(single.Status, 0) << single.Err;
    EXPECT_EQ(piped.Out, batch.Out);
    const std::vector<std::string> f = CsvFields(batch.Out.substr(batch.Out.find('\n') + 1));
    ASSERT_GE(f.size(), 12u);
    EXPECT_EQ(ToNumber(f[9]), single.Json()["diameter"].get<double>());
    EXPECT_EQ(ToNumber(f[11]), single.Json()["width"].get<double>());
}

struct MalformedCase {
    const char* Name;
    std::string Text;
    int Status;
    std::vector<std::string> ErrParts;
    int OutLines; // -1: no output expected at all
};

TEST_F(CalcDuctTool, MalformedSchedulesGiveClearMessages) {
    std::string binary;
    std::mt19937 rng(11);
    for (int i = 0; i < 4096; ++i)
        binary += static_cast<char>(rng() & 0xFF);
    const MalformedCase cases[] = {
        {"Empty", "", 2, {"empty", "header"}, -1},
        {"BlankLinesOnly", "\n\r\n  \n", 2, {"empty"}, -1},
        {"Binary", binary, 2, {"in.csv:1"}, -1},
        {"UnknownColumn", "volume,flow\n1,2\n", 2, {"in.csv:1: column 2", "'flow'"}, -1},
        {"DuplicateColumn", "volume,Volume\n1,2\n", 2, {"column 2", "named twice"}, -1},
        {"MissingColumns",
         "volume,prate,height\n1,1,0.3\n2,1\n",
         1,
         {"in.csv:3: column 3 (height) is missing"},
         3},
        {"ExtraColumn", "volume,prate\n1,1,9\n", 1, {"in.csv:2: column 3: extra field '9'"}, 2},
        {"TextInNumberColumn",
         "volume,prate\n1,1\nabc,1\n3,1\n",
         1,
         {"in.csv:3: column 1 (volume): 'abc' is not a number"},
         4},
        {"BinaryInDataLine",
         std::string("volume,prate\n\x01\xff\x00,1\n", 19),
         1,
         {"in.csv:2: column 1 (volume)", "\\x01\\xFF\\x00"},
         2},
        {"UnterminatedQuote", "volume,prate\n\"1,1\n", 1, {"in.csv:2: unterminated quote"}, 2},
        {"FailureInLine",
         "prate,velocity\n1,1e-200\n",
         1,
         {"in.csv:2: column 2 (velocity): No solution"},
         2},
        {"NegativeInLine",
         "volume,prate\n1,-1\n2,1\n",
         1,
         {"in.csv:2: column 2 (prate): '-1': the pressure rate must be greater than 0"},
         3},
    };
    for (const MalformedCase& c : cases) {
        PutFile(Path("in.csv"), c.Text);
        const TToolRun r = Run(With(TestAir, {"--csv", Path("in.csv")}));
        EXPECT_EQ(r.Status, c.Status) << c.Name << ": " << r.Err;
        for (const std::string& part : c.ErrParts) {
            EXPECT_NE(r.Err.find(part), std::string::npos) << c.Name << ": " << r.Err;
        }
        if (c.OutLines < 0) {
            EXPECT_TRUE(r.Out.empty()) << c.Name;
        } else {
            int lines = 0;
            for (char ch : r.Out)
                lines += ch == '\n';
            EXPECT_EQ(lines, c.OutLines) << c.Name << ": " << r.Out;
        }
        if (c.Status == 1) {
            // the bad line carries its message in the error column
            EXPECT_NE(r.Out.find(c.ErrParts[0].substr(c.ErrParts[0].find(": ") + 2)),
                      std::string::npos)
                << c.Name << ": " << r.Out;
        }
    }
}

} // namespace
} // namespace oravent
