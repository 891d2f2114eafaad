// oravent-calc duct, run as a program: the worked example, edits, units,
// calculation file, a 1,000-line schedule and malformed schedules.
#include <sys/wait.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

namespace oravent {
namespace {

namespace fs = std::filesystem;

const std::string Tool = std::string(ORAVENT_BINARY_DIR) + "/Halvorn/Oravent/oravent-calc";

struct ToolRun {
    int Status = -1;
    std::string Out, Err;
};

std::string ReadFile(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

void WriteFile(const fs::path& p, const std::string& text) {
    std::ofstream f(p, std::ios::binary);
    f << text;
}

std::string Quote(const std::string& a) {
    std::string q = "'";
    for (char c : a) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q += c;
        }
    }
    return q + "'";
}

class CalcDuctTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fs::exists(Tool)) << Tool << " is missing: build the oravent-calc target";
        Dir = fs::temp_directory_path() /
              ("oravent-calc-duct-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(Dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(Dir, ec);
    }

    ToolRun Run(const std::vector<std::string>& args) {
        std::string cmd = Quote(Tool) + " duct";
        for (const std::string& a : args)
            cmd += " " + Quote(a);
        cmd += " >" + Quote((Dir / "out").string()) + " 2>" + Quote((Dir / "err").string()) +
               " </dev/null";
        const int raw = std::system(cmd.c_str());
        ToolRun r;
        r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + (WIFSIGNALED(raw) ? WTERMSIG(raw) : 0);
        r.Out = ReadFile(Dir / "out");
        r.Err = ReadFile(Dir / "err");
        return r;
    }

    fs::path Dir;
};

// Leading number of a text, read without the locale.
double ToNumber(std::string_view t) {
    double v = std::nan("");
    std::from_chars(t.data(), t.data() + t.size(), v);
    return v;
}

// The number after "key": in the tool's JSON.
double JsonNumber(const std::string& json, const std::string& key) {
    const std::string k = "\n  \"" + key + "\": ";
    const std::size_t p = json.find(k);
    if (p == std::string::npos) return std::nan("");
    return ToNumber(std::string_view(json).substr(p + k.size()));
}

// Shortest round-trip text, independent of the locale.
std::string Num(double v) {
    char buf[32];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, p);
}

const std::vector<std::string> TestAir = {"--density", "1.2", "--viscosity", "18.2e-6"};

std::vector<std::string> With(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST_F(CalcDuctTool, ReproducesTheWorkedExample) {
    const ToolRun r = Run(TestAir);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"solved\": true"), std::string::npos) << r.Out;
    EXPECT_EQ(JsonNumber(r.Out, "passes"), 2);
    EXPECT_NEAR(JsonNumber(r.Out, "diameter"), 0.8200, 0.00005);
    EXPECT_NEAR(JsonNumber(r.Out, "height"), 0.55, 1e-12);
    EXPECT_NEAR(JsonNumber(r.Out, "width"), 1.05, 0.005);
    EXPECT_NEAR(JsonNumber(r.Out, "velocity"), 9.469, 0.0005);
    EXPECT_NEAR(JsonNumber(r.Out, "reynolds"), 5.12e5, 0.005e5);
    EXPECT_NEAR(JsonNumber(r.Out, "friction_factor"), 0.01524, 0.000005);
    EXPECT_NE(r.Out.find("\"last_flow\": [\"Pressure\", \"Flow\"]"), std::string::npos);
    EXPECT_NE(r.Out.find("\"last_size\": [\"Diam\", \"Height\"]"), std::string::npos);
}

TEST_F(CalcDuctTool, EditsRunInOrderFromTheSolvedSheet) {
    const ToolRun r = Run(With(TestAir, {"solve", "velocity=10"}));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(JsonNumber(r.Out, "passes"), 5);
    EXPECT_NEAR(JsonNumber(r.Out, "diameter"), 0.8942, 0.00005);
    EXPECT_NEAR(JsonNumber(r.Out, "volume"), 6.280, 0.0005);
    EXPECT_NE(r.Out.find("[\"Velocity\", \"Pressure\"]"), std::string::npos);
}

TEST_F(CalcDuctTool, ArithmeticFailureIsReportedWithExitOne) {
    // A velocity this small makes the diameter underflow to 0.
    const ToolRun r = Run(With(TestAir, {"solve", "velocity=1e-200"}));
    EXPECT_EQ(r.Status, 1);
    EXPECT_NE(r.Out.find("\"failure\": \"No solution with the last values!\""), std::string::npos)
        << r.Out;
    EXPECT_NE(r.Out.find("\"failed_edit\": \"velocity=1e-200\""), std::string::npos);
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
        {"NegativeVelocity", {"velocity=-3"}, "the velocity must be greater than 0"},
        {"ZeroPressureRate", {"prate=0"}, "the pressure rate must be greater than 0"},
        {"ZeroHeight", {"height=0"}, "the height must be greater than 0"},
        {"NegativeWidth", {"width=-1"}, "the width must be greater than 0"},
        {"NegativeDiameter", {"diameter=-0.5"}, "the diameter must be greater than 0"},
        {"ImperialTemperatureText", {"--imperial", "temperature=68/"}, "is not a temperature"},
        {"ImperialTemperatureWord", {"--imperial", "temperature=warm"}, "is not a temperature"},
        {"PressureOutOfRange", {"barometer=5"}, "barometer=5: Pressure out of range"},
        {"AirNotKeptAtPressure",
         {"barometer=500"},
         "barometer=500: the air 19.5/13.4 \xC2\xB0"
         "C cannot be kept at this pressure: "},
    };
    for (const UsageCase& c : cases) {
        const ToolRun r = Run(c.Args);
        EXPECT_EQ(r.Status, 2) << c.Name;
        EXPECT_NE(r.Err.find(c.ErrPart), std::string::npos) << c.Name << ": " << r.Err;
        EXPECT_TRUE(r.Out.empty()) << c.Name;
    }
}

TEST_F(CalcDuctTool, RoughnessByNameOrIndex) {
    const ToolRun byName = Run(With(TestAir, {"roughness=medium rough", "solve"}));
    const ToolRun byIndex = Run(With(TestAir, {"roughness=3", "solve"}));
    ASSERT_EQ(byName.Status, 0) << byName.Err;
    EXPECT_EQ(byName.Out, byIndex.Out);
    EXPECT_NE(byName.Out.find("\"roughness_name\": \"Medium Rough\""), std::string::npos);
    EXPECT_NEAR(JsonNumber(byName.Out, "roughness"), 0.0009, 1e-15);
}

TEST_F(CalcDuctTool, ImperialReadsAndWritesTheImperialUnits) {
    const ToolRun si = Run(With(TestAir, {"volume=2", "prate=0.8", "height=0.3"}));
    const double cfm = 2 * 2118.8800032893155;
    const double iwg = 0.8 * 0.12236594555735139;
    const double inch = 39.37007874015748;
    const ToolRun imp = Run(With(TestAir, {"--imperial", "volume=" + Num(cfm), "prate=" + Num(iwg),
                                           "height=" + Num(0.3 * inch)}));
    ASSERT_EQ(si.Status, 0) << si.Err;
    ASSERT_EQ(imp.Status, 0) << imp.Err;
    EXPECT_NEAR(JsonNumber(imp.Out, "diameter"), JsonNumber(si.Out, "diameter") * inch, 1e-4);
    EXPECT_NEAR(JsonNumber(imp.Out, "width"), JsonNumber(si.Out, "width") * inch, 1e-4);
    EXPECT_NEAR(JsonNumber(imp.Out, "velocity"), JsonNumber(si.Out, "velocity") * 196.8503937007874,
                1e-3);
    EXPECT_NEAR(JsonNumber(imp.Out, "barometer"), 101.325 * 0.1450376807894691, 1e-9);
    EXPECT_NE(imp.Out.find("\"temperature\": \"67.1/56.1\""), std::string::npos) << imp.Out;
    EXPECT_NE(imp.Out.find("\"volume\": \"cfm\""), std::string::npos);
    // A temperature typed in °F reaches the sheet in °C.
    const ToolRun f = Run({"--imperial", "temperature=68/59"});
    ASSERT_EQ(f.Status, 0) << f.Err;
    EXPECT_NE(f.Out.find("\"temperature\": \"68.0/59.0\""), std::string::npos) << f.Out;
}

TEST_F(CalcDuctTool, TemperatureMovedByTheAirStateLimitsIsNoted) {
    const ToolRun hot = Run({"temperature=500"});
    EXPECT_EQ(hot.Status, 0) << hot.Err;
    EXPECT_NE(hot.Err.find("temperature=500: taken as 99.0/"), std::string::npos) << hot.Err;
    const ToolRun swapped = Run({"temperature=20/25"});
    EXPECT_NE(swapped.Err.find("temperature=20/25: taken as 20.0/20.0"), std::string::npos)
        << swapped.Err;
    const ToolRun plain = Run({"temperature=20/14"});
    EXPECT_EQ(plain.Status, 0);
    EXPECT_TRUE(plain.Err.empty()) << plain.Err;
    WriteFile(Dir / "t.csv", "id,temperature\nA,20/14\nB,-100\n");
    const ToolRun batch = Run({"--csv", (Dir / "t.csv").string()});
    EXPECT_EQ(batch.Status, 0) << batch.Err;
    EXPECT_NE(batch.Err.find("t.csv:3: column 2 (temperature): taken as -60.0/"), std::string::npos)
        << batch.Err;
    EXPECT_EQ(batch.Err.find("t.csv:2"), std::string::npos) << batch.Err;
}

TEST_F(CalcDuctTool, DensityAndViscosityReplaceTheEngineAir) {
    const ToolRun engine = Run({});
    const ToolRun given = Run({"--density", "1.0", "--viscosity", "2e-5", "barometer=90"});
    ASSERT_EQ(given.Status, 0) << given.Err;
    EXPECT_EQ(JsonNumber(given.Out, "density"), 1.0);
    EXPECT_EQ(JsonNumber(given.Out, "viscosity"), 2e-5);
    EXPECT_NE(JsonNumber(engine.Out, "density"), 1.0);
}

TEST_F(CalcDuctTool, StartsFromTheCalculationFile) {
    WriteFile(Dir / "Oravent.ini", "[Settings]\r\nBarometer=95.000\r\nTemperature=25.0/18.0\r\n"
                                   "kIndex=0\r\nPRate=abc\r\nVolume=3.000\r\nDiameter=0.700\r\n");
    const ToolRun r = Run(With(TestAir, {"--file", (Dir / "Oravent.ini").string()}));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(JsonNumber(r.Out, "barometer"), 95.0);
    EXPECT_EQ(JsonNumber(r.Out, "prate"), 1.0); // not a number: the default
    EXPECT_EQ(JsonNumber(r.Out, "volume"), 3.0);
    EXPECT_EQ(JsonNumber(r.Out, "roughness_index"), 0);
    EXPECT_NE(r.Out.find("\"temperature\": \"25.0/18.0\""), std::string::npos);
}

TEST_F(CalcDuctTool, CalculationFileWithANegativeVolumeIsRefused) {
    WriteFile(Dir / "Oravent.ini", "[Settings]\nVolume=-3.000\n");
    const ToolRun r = Run({"--file", (Dir / "Oravent.ini").string()});
    EXPECT_EQ(r.Status, 2);
    EXPECT_NE(r.Err.find("Oravent.ini: Volume -3 must be greater than 0"), std::string::npos)
        << r.Err;
    EXPECT_TRUE(r.Out.empty());
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
    WriteFile(Dir / "in.csv", csv);
    const ToolRun r = Run(With(TestAir, {"--csv", (Dir / "in.csv").string()}));
    ASSERT_EQ(r.Status, 0) << r.Err.substr(0, 2000);
    std::istringstream out(r.Out);
    std::string line;
    std::getline(out, line);
    EXPECT_EQ(line.rfind("line,id,solved,passes,", 0), 0u);
    int n = 0;
    while (std::getline(out, line)) {
        ++n;
        std::vector<std::string> f;
        std::stringstream ls(line);
        for (std::string cell; std::getline(ls, cell, ',');)
            f.push_back(cell);
        ASSERT_GE(f.size(), 20u) << line;
        EXPECT_EQ(f[1], "D" + std::to_string(n - 1));
        EXPECT_EQ(f[2], "true") << line;
        // prate = K·Q²/D⁵ holds for the solved line.
        const double q = ToNumber(f[8]), d = ToNumber(f[10]);
        EXPECT_EQ(q, volumes[n - 1]);
        EXPECT_GT(d, 0.0);
    }
    EXPECT_EQ(n, 1000);
}

TEST_F(CalcDuctTool, ScheduleLineMatchesTheSingleSheet) {
    WriteFile(Dir / "one.csv", "volume,prate,height\n2.5,0.9,0.35\n");
    const ToolRun batch = Run(With(TestAir, {"--csv", (Dir / "one.csv").string()}));
    const ToolRun single = Run(With(TestAir, {"volume=2.5", "prate=0.9", "height=0.35"}));
    ASSERT_EQ(batch.Status, 0) << batch.Err;
    ASSERT_EQ(single.Status, 0) << single.Err;
    const std::string row = batch.Out.substr(batch.Out.find('\n') + 1);
    std::vector<std::string> f;
    std::stringstream ls(row);
    for (std::string cell; std::getline(ls, cell, ',');)
        f.push_back(cell);
    ASSERT_GE(f.size(), 12u);
    EXPECT_EQ(ToNumber(f[9]), JsonNumber(single.Out, "diameter"));
    EXPECT_EQ(ToNumber(f[11]), JsonNumber(single.Out, "width"));
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
        WriteFile(Dir / "in.csv", c.Text);
        const ToolRun r = Run(With(TestAir, {"--csv", (Dir / "in.csv").string()}));
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
