// oravent-calc duct: the duct sheet of the main window on the command line.
//
//   oravent-calc duct [options] [edit ...]           one sheet, JSON on stdout
//   oravent-calc duct [options] --csv FILE [-o OUT]  one duct per CSV line
//
// The sheet starts from its reset values (or from a calculation file given
// with --file), runs what the main window runs when it is activated
// (UpdateIntermediates), then applies the edits in order, each followed by
// Iterate. Without any edit it runs the Solve command (SolveRectangle,
// Iterate). The first edit that ends in an arithmetic failure stops the
// sheet (or the CSV line) and is reported.
//
// Exit status: 0 everything solved, 1 some sheet or line did not solve or had
// an error, 2 bad usage (unknown option or column, unreadable file, bad value
// on the command line).
#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

#include "calc_commands.h"
#include "common/TxIniFiles.h"
#include "duct/DuctSheet.h"
#include "psychro/AirStateText.h"
#include "psychro/Hygrocalc.h"
#include "units/NumberText.h"
#include "units/TxConv.h"

namespace oravent::calc {

namespace {

constexpr const char* Prog = "oravent-calc duct";

// A value that cannot be used: the text of the message says why.
class EBadValue : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Quantities that can be given, in the order of the main window's rows.
enum class Qty {
    Id,
    Barometer,
    Temperature,
    Roughness,
    PRate,
    Volume,
    Velocity,
    Diameter,
    Height,
    Width,
    Solve
};

struct QtyName {
    std::string_view Name;
    Qty Q;
};
constexpr QtyName QtyNames[] = {
    {"id", Qty::Id},
    {"barometer", Qty::Barometer},
    {"temperature", Qty::Temperature},
    {"roughness", Qty::Roughness},
    {"prate", Qty::PRate},
    {"volume", Qty::Volume},
    {"velocity", Qty::Velocity},
    {"diameter", Qty::Diameter},
    {"height", Qty::Height},
    {"width", Qty::Width},
};

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::optional<Qty> FindQty(std::string_view name) {
    for (const QtyName& q : QtyNames) {
        if (SameText(q.Name, name)) return q.Q;
    }
    return std::nullopt;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Length of the valid UTF-8 sequence at s[i] (0 when it is not one).
std::size_t Utf8Length(std::string_view s, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = c >= 0xF0 && c <= 0xF4  ? 4
                          : c >= 0xE0             ? 3
                          : c >= 0xC2 && c < 0xE0 ? 2
                                                  : 0;
    if (n == 0 || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    }
    return n;
}

// Text safe to show in a message: printable ASCII and valid UTF-8 as they
// are, other bytes as \xNN, cut after maxChars characters.
std::string Shown(std::string_view s, std::size_t maxChars = 40) {
    std::string out;
    std::size_t shown = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (++shown > maxChars) {
            out += "...";
            break;
        }
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const std::size_t n = Utf8Length(s, i)) {
                out.append(s.substr(i, n));
                i += n;
                continue;
            }
        }
        char buf[8];
        std::snprintf(buf, sizeof buf, "\\x%02X", c);
        out += buf;
        ++i;
    }
    return out;
}

// --- units --------------------------------------------------------------------

// Display units of the tool: SI base units, or the Imperial column of the main
// window's units table. Lengths are metres in SI, inches in Imperial.
struct TUnits {
    struct Conv {
        double Factor = 1, Offset = 0;
        std::string Caption;
    };
    Conv Barometer, Temperature, PRate, Volume, Velocity, Length;

    explicit TUnits(bool imperial) {
        Set(Barometer, utPressure, imperial ? 2 : 0);
        Set(Temperature, utTemperature, imperial ? 1 : 0);
        Set(PRate, utPressureRateGas, imperial ? 2 : 0);
        Set(Volume, utAirFlowPrim, imperial ? 4 : 0);
        Set(Velocity, utVelocity, imperial ? 1 : 0);
        Set(Length, utLengthPrim, imperial ? 3 : 0);
    }
    static void Set(Conv& c, TUnitsType type, int shown) {
        std::string fmt;
        GetUnitsConversion(type, shown, 0, fmt, c.Offset, c.Factor, c.Caption);
    }
    static double In(const Conv& c, double v) { return ConvertFromUnits(v, c.Factor, c.Offset); }
    static double Out(const Conv& c, double v) { return ConvertToUnits(v, c.Factor, c.Offset); }
};

// --- number text ----------------------------------------------------------------

// A finite number written with "." (optional sign and exponent), nothing else.
bool ParseNumber(std::string_view text, double& value) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    return ec == std::errc() && p == end && std::isfinite(value);
}

double NumberOrThrow(std::string_view text) {
    double v = 0;
    if (!ParseNumber(text, v)) {
        throw EBadValue("'" + Shown(Trim(text)) + "' is not a number");
    }
    return v;
}

// A flow or size quantity: zero or less has no meaning for a duct (a negative
// volume or side would otherwise come back as a solved sheet of nonsense).
double PositiveOrThrow(std::string_view text, std::string_view what) {
    const double v = NumberOrThrow(text);
    if (!(v > 0)) {
        throw EBadValue("'" + Shown(Trim(text)) + "': the " + std::string(what) +
                        " must be greater than 0");
    }
    return v;
}

// Shortest text that reads back as the same double; "null" when not finite.
void AppendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char buf[32];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, ec == std::errc() ? p : buf);
}

std::string NumberText(double v) {
    std::string s;
    AppendNumber(s, v);
    return s;
}

// --- the sheet and its edits ------------------------------------------------------

int RoughnessFromText(std::string_view text) {
    text = Trim(text);
    double v = 0;
    if (ParseNumber(text, v)) {
        if (v == std::floor(v) && v >= 0 && v < RoughnessCount) return static_cast<int>(v);
        throw EBadValue("roughness index '" + Shown(text) + "' is not one of 0..4");
    }
    // Names compare without case, blanks, "-" and "_": "medium-rough", "MediumRough".
    auto squeeze = [](std::string_view s) {
        std::string r;
        for (char c : s) {
            if (c != ' ' && c != '-' && c != '_') r += Lower(c);
        }
        return r;
    };
    const std::string want = squeeze(text);
    for (int k = 0; k < RoughnessCount; ++k) {
        if (squeeze(RoughnessName(k)) == want) return k;
    }
    throw EBadValue("'" + Shown(text) +
                    "' is not a roughness (0..4 or Smooth, Medium Smooth, Average, Medium "
                    "Rough, Rough)");
}

// The state of a "db/wb" temperature text in the shown unit, at the sheet's
// barometer. The state's limits may move the temperatures (a dry bulb out of
// range, a wet bulb above the dry bulb); note then says what was taken.
TAirStateRec AirFromText(std::string_view text, const DuctSheet& sheet, const TUnits& u,
                         std::string& note) {
    text = Trim(text);
    const auto notTemperature = [&] {
        return EBadValue("'" + Shown(text) + "' is not a temperature (dry bulb[/wet bulb])");
    };
    std::string celsius(text);
    if (u.Temperature.Factor != 1.0 || u.Temperature.Offset != 0.0) {
        const std::size_t slash = text.find('/');
        double db = 0, wb = 0;
        if (!ParseNumber(text.substr(0, slash), db)) throw notTemperature();
        celsius = NumberText(TUnits::In(u.Temperature, db));
        if (slash != std::string_view::npos) {
            if (!ParseNumber(text.substr(slash + 1), wb)) throw notTemperature();
            celsius += '/';
            celsius += NumberText(TUnits::In(u.Temperature, wb));
        }
    }
    TAirStateRec rec = sheet.DuctAir;
    try {
        StrToAirState(celsius, rec, sheet.Barometer, 0.5);
    } catch (const EConvertError&) {
        throw notTemperature();
    } catch (const EPsychroError& e) {
        ResetReferenceState();
        throw EBadValue("temperature '" + Shown(text) + "': " + e.what());
    }
    const std::size_t slash = text.find('/');
    double db = 0, wb = 0;
    if (ParseNumber(text.substr(0, slash), db)) {
        const double takenDb = TUnits::Out(u.Temperature, rec.DryBulb);
        const double takenWb = TUnits::Out(u.Temperature, rec.WetBulb);
        bool moved = std::fabs(takenDb - db) > 0.05;
        if (slash != std::string_view::npos && ParseNumber(text.substr(slash + 1), wb)) {
            moved = moved || std::fabs(takenWb - wb) > 0.05;
        }
        if (moved) {
            note = "taken as " + FormatPair("%0.1f/%0.1f", takenDb, takenWb) + " " +
                   u.Temperature.Caption + " (dry bulb " +
                   FormatPair("%0.1f to %0.1f", TUnits::Out(u.Temperature, kLowestDryBulb),
                              TUnits::Out(u.Temperature, kHighestDryBulbState)) +
                   " " + u.Temperature.Caption +
                   ", wet bulb from that of 1 % humidity up to the dry bulb)";
        }
    }
    return rec;
}

std::string TemperatureText(const DuctSheet& s, const TUnits& u) {
    const double db = TUnits::Out(u.Temperature, s.DuctAir.DryBulb);
    const double wb = TUnits::Out(u.Temperature, s.DuctAir.WetBulb);
    if (!std::isfinite(db) || !std::isfinite(wb)) return "?";
    return FormatPair("%0.1f/%0.1f", db, wb);
}

// Applies one edit as the main window does for a committed row, then Iterate.
// Raises EBadValue for a value that cannot be used (the sheet is unchanged).
// note receives what the caller should tell about a value that was moved.
void ApplyEdit(DuctSheet& s, Qty q, std::string_view text, const TUnits& u, std::string& note) {
    note.clear();
    switch (q) {
    case Qty::Id:
        return;
    case Qty::Solve:
        s.SolveRectangle();
        break;
    case Qty::Barometer: {
        const double p = TUnits::In(u.Barometer, NumberOrThrow(text));
        try {
            s.SetBarometer(p);
        } catch (const EPsychroError& e) {
            ResetReferenceState();
            // The engine refuses either the pressure itself or the sheet's air
            // at that pressure; saturated air at 20 °C tells which.
            bool pressureOk = true;
            try {
                TAirStateRec probe{};
                SetState(probe, p, 20.0, 20.0, 0);
            } catch (const EPsychroError&) {
                pressureOk = false;
            }
            ResetReferenceState();
            if (!pressureOk) throw EBadValue(e.what());
            throw EBadValue("the air " + TemperatureText(s, u) + " " + u.Temperature.Caption +
                            " cannot be kept at this pressure: " + e.what());
        }
        break;
    }
    case Qty::Temperature:
        s.SetAirState(AirFromText(text, s, u, note));
        break;
    case Qty::Roughness:
        s.SetRoughnessIndex(RoughnessFromText(text));
        break;
    case Qty::PRate:
        s.EnterPRate(TUnits::In(u.PRate, PositiveOrThrow(text, "pressure rate")));
        break;
    case Qty::Volume:
        s.EnterVolume(TUnits::In(u.Volume, PositiveOrThrow(text, "volume flow")));
        break;
    case Qty::Velocity:
        s.EnterVelocity(TUnits::In(u.Velocity, PositiveOrThrow(text, "velocity")));
        break;
    case Qty::Diameter:
        s.EnterDiameter(TUnits::In(u.Length, PositiveOrThrow(text, "diameter")));
        break;
    case Qty::Height:
        s.EnterHeight(TUnits::In(u.Length, PositiveOrThrow(text, "height")));
        break;
    case Qty::Width:
        s.EnterWidth(TUnits::In(u.Length, PositiveOrThrow(text, "width")));
        break;
    }
    s.Iterate();
}

// --- options ----------------------------------------------------------------------

struct TEdit {
    Qty Q;
    std::string Text;
    std::string Arg; // as given, for messages
};

struct TOptions {
    bool Imperial = false;
    double Density = 0, Viscosity = 0;
    std::string File, Csv, Output;
    std::vector<TEdit> Edits;
};

void PrintHelp(std::FILE* to) {
    std::fputs("usage: oravent-calc duct [options] [edit ...]\n"
               "       oravent-calc duct [options] --csv FILE [-o OUT]\n"
               "\n"
               "Sizes a duct as the main window does: the sheet starts from its reset values\n"
               "(or from a calculation file), the edits are applied in order and the sheet is\n"
               "iterated after each. Without edits the sheet is solved as it stands.\n"
               "\n"
               "edits (SI base units; Imperial units with --imperial):\n"
               "  barometer=P      barometric pressure, kPa (Psi)\n"
               "  temperature=T    dry bulb[/wet bulb], \xC2\xB0"
               "C (\xC2\xB0"
               "F), e.g. 20/14\n"
               "  roughness=K      0..4 or Smooth, Medium Smooth, Average, Medium Rough, Rough\n"
               "  prate=R          pressure drop rate, Pa/m (iwg/100')\n"
               "  volume=Q         volume flow, m\xC2\xB3/s (cfm)\n"
               "  velocity=V       round-duct velocity, m/s (fpm)\n"
               "  diameter=D       equivalent round diameter, m (inch)\n"
               "  height=H         clear height, m (inch)\n"
               "  width=W          clear width, m (inch)\n"
               "  solve            the Solve command: rectangle, then iterate\n"
               "Rates, flows, velocities and lengths must be greater than 0. A temperature\n"
               "outside the air state's limits is moved to them, with a note on stderr.\n"
               "\n"
               "options:\n"
               "  --file PATH      start from a calculation file (Oravent.ini)\n"
               "  --csv FILE       one duct per line; the header names the columns, which are\n"
               "                   the edit names above and an optional id; cells are applied\n"
               "                   from left to right, empty cells are skipped ('-' = stdin)\n"
               "  -o, --output OUT write the CSV results to OUT instead of standard output\n"
               "  --imperial       read and write Psi, \xC2\xB0"
               "F, iwg/100', cfm, fpm and inch\n"
               "  --density RHO    air density in kg/m\xC2\xB3 instead of the engine's\n"
               "  --viscosity MU   dynamic viscosity in Pa\xC2\xB7s instead of the engine's\n"
               "\n"
               "exit status: 0 all solved, 1 something did not solve, 2 bad usage\n",
               to);
}

// Returns 0 to go on, 2 after a usage error (message printed), 3 after --help.
int ParseArgs(const std::vector<std::string>& args, TOptions& o) {
    auto needValue = [&](std::size_t& i, const std::string& opt, std::string& into) {
        if (i + 1 >= args.size()) {
            std::fprintf(stderr, "%s: %s needs a value\n", Prog, opt.c_str());
            return false;
        }
        into = args[++i];
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        if (a == "--help" || a == "-h") {
            PrintHelp(stdout);
            return 3;
        } else if (a == "--imperial") {
            o.Imperial = true;
        } else if (a == "--metric" || a == "--si") {
            o.Imperial = false;
        } else if (a == "--file" || a == "--csv" || a == "-o" || a == "--output") {
            if (!needValue(i, a, v)) return 2;
            (a == "--file" ? o.File : a == "--csv" ? o.Csv : o.Output) = v;
        } else if (a == "--density" || a == "--viscosity") {
            if (!needValue(i, a, v)) return 2;
            double x = 0;
            if (!ParseNumber(v, x) || !(x > 0)) {
                std::fprintf(stderr, "%s: %s '%s' is not a positive number\n", Prog, a.c_str(),
                             Shown(v).c_str());
                return 2;
            }
            (a == "--density" ? o.Density : o.Viscosity) = x;
        } else if (a == "solve") {
            o.Edits.push_back({Qty::Solve, "", a});
        } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
            std::fprintf(stderr, "%s: unknown option '%s' (--help lists them)\n", Prog,
                         Shown(a).c_str());
            return 2;
        } else {
            const std::size_t eq = a.find('=');
            // Qty::Id (not an edit) also stands for an unknown name.
            const Qty q = eq == std::string::npos
                              ? Qty::Id
                              : FindQty(Trim(a.substr(0, eq))).value_or(Qty::Id);
            if (q == Qty::Id) {
                std::fprintf(stderr,
                             "%s: '%s' is not an edit (name=value with barometer, temperature, "
                             "roughness, prate, volume, velocity, diameter, height, width)\n",
                             Prog, Shown(a).c_str());
                return 2;
            }
            o.Edits.push_back({q, a.substr(eq + 1), a});
        }
    }
    if (!o.Csv.empty() && !o.Edits.empty()) {
        std::fprintf(stderr, "%s: edits on the command line and --csv do not go together\n", Prog);
        return 2;
    }
    if (o.Csv.empty() && !o.Output.empty()) {
        std::fprintf(stderr, "%s: --output is for --csv\n", Prog);
        return 2;
    }
    return 0;
}

// --- start state -------------------------------------------------------------------

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The reset sheet, or the calculation file read over it as the Open command
// does, then UpdateIntermediates as on activation. False after a message.
bool StartSheet(const TOptions& o, DuctSheet& s) {
    s.SetAirOverride(o.Density, o.Viscosity);
    s.ResetToDefaults();
    if (!o.File.empty()) {
        if (!FileExists(o.File)) {
            std::fprintf(stderr, "%s: cannot read calculation file '%s'\n", Prog,
                         Shown(o.File, 1000).c_str());
            return false;
        }
        constexpr std::string_view Sec = "Settings";
        TMemIniFile ini(o.File);
        s.Barometer = ini.ReadReal(Sec, "Barometer", 101.325);
        const std::string temp = ini.ReadText(Sec, "Temperature", "19.5/13.37");
        s.kIndex = ini.ReadInt(Sec, "kIndex", 3);
        s.PRate = ini.ReadReal(Sec, "PRate", 1.0);
        s.Volume = ini.ReadReal(Sec, "Volume", 5.0);
        s.Velocity = ini.ReadReal(Sec, "Velocity", 9.4);
        s.Diameter = ini.ReadReal(Sec, "Diameter", 0.835);
        s.Height = ini.ReadReal(Sec, "Height", 0.55);
        s.Width = ini.ReadReal(Sec, "Width", 1.1);
        const std::pair<const char*, double> flowAndSize[] = {
            {"PRate", s.PRate},       {"Volume", s.Volume}, {"Velocity", s.Velocity},
            {"Diameter", s.Diameter}, {"Height", s.Height}, {"Width", s.Width}};
        for (const auto& [key, v] : flowAndSize) {
            if (!(v > 0)) {
                std::fprintf(stderr, "%s: %s: %s %s must be greater than 0\n", Prog,
                             Shown(o.File, 1000).c_str(), key, NumberText(v).c_str());
                return false;
            }
        }
        TAirStateRec rec = s.DuctAir;
        try {
            StrToAirState(temp, rec, s.Barometer, 0.5);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s: Temperature '%s' cannot be used: %s\n", Prog,
                         Shown(o.File, 1000).c_str(), Shown(temp).c_str(), e.what());
            return false;
        }
        s.DuctAir = rec;
        if (s.kIndex < 0 || s.kIndex >= RoughnessCount) {
            std::fprintf(stderr, "%s: %s: kIndex %d is not 0..4; taken as %d\n", Prog,
                         Shown(o.File, 1000).c_str(), s.kIndex,
                         s.kIndex < 0 ? 0 : RoughnessCount - 1);
        }
        s.UpdateRoughness();
        s.SetAirOverride(o.Density, o.Viscosity);
    }
    s.UpdateIntermediates();
    return true;
}

// --- single sheet as JSON ------------------------------------------------------------

void JsonString(std::string& out, std::string_view s) {
    out += '"';
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    out += '"';
}

std::string SheetJson(const DuctSheet& s, const TUnits& u, bool imperial,
                      const std::string& failure, const std::string& failedEdit) {
    std::string j = "{\n";
    auto key = [&](std::string_view k) {
        j += "  ";
        JsonString(j, k);
        j += ": ";
    };
    auto num = [&](std::string_view k, double v) {
        key(k);
        AppendNumber(j, v);
        j += ",\n";
    };
    auto str = [&](std::string_view k, std::string_view v) {
        key(k);
        JsonString(j, v);
        j += ",\n";
    };
    key("solved");
    j += s.Solved ? "true,\n" : "false,\n";
    num("passes", s.Passes);
    key("failure");
    if (failure.empty()) {
        j += "null,\n";
    } else {
        JsonString(j, failure);
        j += ",\n";
    }
    if (!failedEdit.empty()) str("failed_edit", failedEdit);
    str("units_system", imperial ? "imperial" : "si");
    key("units");
    j += "{";
    const std::pair<std::string_view, const std::string*> units[] = {
        {"barometer", &u.Barometer.Caption}, {"temperature", &u.Temperature.Caption},
        {"prate", &u.PRate.Caption},         {"volume", &u.Volume.Caption},
        {"velocity", &u.Velocity.Caption},   {"length", &u.Length.Caption}};
    for (const auto& [k, c] : units) {
        JsonString(j, k);
        j += ": ";
        JsonString(j, *c);
        j += ", ";
    }
    j += "\"area\": \"m\xC2\xB2\", \"density\": \"kg/m\xC2\xB3\", \"viscosity\": "
         "\"Pa\xC2\xB7s\"},\n";
    num("barometer", TUnits::Out(u.Barometer, s.Barometer));
    str("temperature", TemperatureText(s, u));
    num("dry_bulb", TUnits::Out(u.Temperature, s.DuctAir.DryBulb));
    num("wet_bulb", TUnits::Out(u.Temperature, s.DuctAir.WetBulb));
    num("roughness_index", s.kIndex);
    str("roughness_name", RoughnessName(s.kIndex));
    num("roughness", TUnits::Out(u.Length, s.Roughness));
    num("prate", TUnits::Out(u.PRate, s.PRate));
    num("volume", TUnits::Out(u.Volume, s.Volume));
    num("velocity", TUnits::Out(u.Velocity, s.Velocity));
    num("diameter", TUnits::Out(u.Length, s.Diameter));
    num("height", TUnits::Out(u.Length, s.Height));
    num("width", TUnits::Out(u.Length, s.Width));
    num("area", s.Area);
    num("reynolds", s.Reynolds);
    num("friction_factor", s.FrictionFactor);
    num("prate_factor", s.PRateFactor);
    num("fixed_side", TUnits::Out(u.Length, s.FixedSide));
    num("density", s.DuctAir.Density);
    num("viscosity", s.DuctAir.Viscosity);
    key("roughness_table");
    j += "[";
    for (int k = 0; k < RoughnessCount; ++k) {
        if (k > 0) j += ", ";
        AppendNumber(j, TUnits::Out(u.Length, s.RoughnessTable[k]));
    }
    j += "],\n";
    // The whole air record in base units, as the engine filled it.
    key("air");
    const TAirStateRec& a = s.DuctAir;
    const std::pair<std::string_view, double> air[] = {
        {"Pressure", a.Pressure}, {"DryBulb", a.DryBulb},           {"WetBulb", a.WetBulb},
        {"Enthalpy", a.Enthalpy}, {"AbsHumidity", a.AbsHumidity},   {"RelHumidity", a.RelHumidity},
        {"DewPoint", a.DewPoint}, {"VapPressure", a.VapPressure},   {"SatPressure", a.SatPressure},
        {"Density", a.Density},   {"SpecificHeat", a.SpecificHeat}, {"Viscosity", a.Viscosity}};
    j += "{";
    bool first = true;
    for (const auto& [k, v] : air) {
        if (!first) j += ", ";
        first = false;
        JsonString(j, k);
        j += ": ";
        AppendNumber(j, v);
    }
    j += "},\n";
    key("last_flow");
    j += "[";
    JsonString(j, FlowQuantityName(s.LastFlow0));
    j += ", ";
    JsonString(j, FlowQuantityName(s.LastFlow1));
    j += "],\n";
    key("last_size");
    j += "[";
    JsonString(j, SizeQuantityName(s.LastSize0));
    j += ", ";
    JsonString(j, SizeQuantityName(s.LastSize1));
    j += "]\n}\n";
    return j;
}

int RunSingle(const TOptions& o) {
    const TUnits u(o.Imperial);
    DuctSheet s;
    if (!StartSheet(o, s)) return 2;
    std::vector<TEdit> edits = o.Edits;
    if (edits.empty()) edits.push_back({Qty::Solve, "", "solve"});
    std::string failure, failedEdit, note;
    for (const TEdit& e : edits) {
        try {
            ApplyEdit(s, e.Q, e.Text, u, note);
        } catch (const EBadValue& err) {
            std::fprintf(stderr, "%s: %s: %s\n", Prog, Shown(e.Arg).c_str(), err.what());
            return 2;
        }
        if (!note.empty()) {
            std::fprintf(stderr, "%s: %s: %s\n", Prog, Shown(e.Arg).c_str(), note.c_str());
        }
        if (s.Failed()) {
            failure = NoSolutionMessage;
            failedEdit = e.Arg;
            std::fprintf(stderr, "%s: %s: %s\n", Prog, Shown(e.Arg).c_str(), failure.c_str());
            break;
        }
    }
    const std::string json = SheetJson(s, u, o.Imperial, failure, failedEdit);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return s.Solved ? 0 : 1;
}

// --- CSV batch ---------------------------------------------------------------------

bool ReadWholeFile(const std::string& path, std::string& data) {
    std::FILE* f = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    const bool ok = !std::ferror(f);
    if (f != stdin) std::fclose(f);
    return ok;
}

// Splits one CSV line (without its line end) into fields. Fields may be
// quoted with '"' ('""' inside is one quote); their text is kept in
// unquoted, which is reserved so that it never moves. False for an
// unterminated quote.
bool SplitCsv(std::string_view line, std::vector<std::string_view>& fields,
              std::vector<std::string>& unquoted) {
    fields.clear();
    unquoted.clear();
    unquoted.reserve(line.size() / 2 + 1); // at most one quoted field per two bytes
    std::size_t i = 0;
    for (;;) {
        std::size_t start = i;
        while (start < line.size() && line[start] == ' ')
            ++start;
        if (start < line.size() && line[start] == '"') {
            std::string v;
            std::size_t k = start + 1;
            for (;;) {
                if (k >= line.size()) return false;
                if (line[k] == '"') {
                    if (k + 1 < line.size() && line[k + 1] == '"') {
                        v += '"';
                        k += 2;
                        continue;
                    }
                    ++k;
                    break;
                }
                v += line[k++];
            }
            while (k < line.size() && line[k] != ',')
                ++k; // blanks after the quote
            unquoted.push_back(std::move(v));
            fields.push_back(unquoted.back());
            i = k;
        } else {
            const std::size_t comma = line.find(',', i);
            const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
            fields.push_back(line.substr(i, end - i));
            i = end;
        }
        if (i >= line.size()) break;
        ++i; // the comma
        if (i == line.size()) {
            fields.push_back({});
            break;
        }
    }
    return true;
}

void AppendCsvText(std::string& out, std::string_view s) {
    if (s.find_first_of(",\"\n\r") == std::string_view::npos) {
        out += s;
        return;
    }
    out += '"';
    for (char c : s) {
        if (c == '"') out += '"';
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    out += '"';
}

// solved,passes,barometer,...,last_size of a sheet (18 fields, no final comma).
void AppendResults(std::string& buf, const DuctSheet& s, const TUnits& u) {
    buf += s.Solved ? "true," : "false,";
    buf += std::to_string(s.Passes);
    buf += ',';
    AppendNumber(buf, TUnits::Out(u.Barometer, s.Barometer));
    buf += ',';
    buf += TemperatureText(s, u);
    buf += ',';
    buf += std::to_string(s.kIndex);
    for (double v : {TUnits::Out(u.PRate, s.PRate), TUnits::Out(u.Volume, s.Volume),
                     TUnits::Out(u.Velocity, s.Velocity), TUnits::Out(u.Length, s.Diameter),
                     TUnits::Out(u.Length, s.Height), TUnits::Out(u.Length, s.Width), s.Area,
                     s.Reynolds, s.FrictionFactor, s.DuctAir.Density, s.DuctAir.Viscosity}) {
        buf += ',';
        AppendNumber(buf, v);
    }
    buf += ',';
    buf += FlowQuantityName(s.LastFlow0);
    buf += '/';
    buf += FlowQuantityName(s.LastFlow1);
    buf += ',';
    buf += SizeQuantityName(s.LastSize0);
    buf += '/';
    buf += SizeQuantityName(s.LastSize1);
}

struct TColumn {
    Qty Q;
    std::string Name;
};

int RunCsv(const TOptions& o) {
    const TUnits u(o.Imperial);
    const std::string src = o.Csv == "-" ? "<stdin>" : o.Csv;
    std::string data;
    if (!ReadWholeFile(o.Csv, data)) {
        std::fprintf(stderr, "%s: cannot read '%s': %s\n", Prog, Shown(src, 1000).c_str(),
                     std::strerror(errno));
        return 2;
    }
    std::string_view rest(data);
    if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);
    auto nextLine = [&](std::string_view& line) {
        if (rest.empty()) return false;
        const std::size_t nl = rest.find('\n');
        line = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view{} : rest.substr(nl + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    };

    // Header: the first line that is not blank.
    std::string_view line;
    long lineNo = 0;
    bool haveHeader = false;
    while (nextLine(line)) {
        ++lineNo;
        if (!Trim(line).empty()) {
            haveHeader = true;
            break;
        }
    }
    if (!haveHeader) {
        std::fprintf(stderr,
                     "%s: %s: the file is empty; expected a header line naming the columns, "
                     "for example volume,prate\n",
                     Prog, Shown(src, 1000).c_str());
        return 2;
    }
    if (line.find('\0') != std::string_view::npos) {
        std::fprintf(stderr, "%s: %s:%ld: not a text file (NUL byte in the header line)\n", Prog,
                     Shown(src, 1000).c_str(), lineNo);
        return 2;
    }
    std::vector<std::string_view> fields;
    std::vector<std::string> unquoted;
    if (!SplitCsv(line, fields, unquoted)) {
        std::fprintf(stderr, "%s: %s:%ld: unterminated quote in the header line\n", Prog,
                     Shown(src, 1000).c_str(), lineNo);
        return 2;
    }
    std::vector<TColumn> cols;
    int idCol = -1;
    for (std::size_t c = 0; c < fields.size(); ++c) {
        const std::string_view name = Trim(fields[c]);
        const std::optional<Qty> q = FindQty(name);
        if (!q) {
            std::fprintf(stderr,
                         "%s: %s:%ld: column %zu: '%s' is not a column name (id, barometer, "
                         "temperature, roughness, prate, volume, velocity, diameter, height, "
                         "width)\n",
                         Prog, Shown(src, 1000).c_str(), lineNo, c + 1, Shown(name).c_str());
            return 2;
        }
        for (const TColumn& prev : cols) {
            if (prev.Q == *q) {
                std::fprintf(stderr, "%s: %s:%ld: column %zu: '%s' is named twice\n", Prog,
                             Shown(src, 1000).c_str(), lineNo, c + 1, Shown(name).c_str());
                return 2;
            }
        }
        if (*q == Qty::Id) idCol = static_cast<int>(c);
        cols.push_back({*q, std::string(QtyNames[static_cast<int>(*q)].Name)});
    }

    DuctSheet start;
    if (!StartSheet(o, start)) return 2;

    std::FILE* out = stdout;
    if (!o.Output.empty() && o.Output != "-") {
        out = std::fopen(o.Output.c_str(), "wb");
        if (out == nullptr) {
            std::fprintf(stderr, "%s: cannot write '%s': %s\n", Prog, Shown(o.Output, 1000).c_str(),
                         std::strerror(errno));
            return 2;
        }
    }
    std::string buf;
    buf.reserve(1 << 20);
    buf += "line,";
    if (idCol >= 0) buf += "id,";
    buf += "solved,passes,barometer,temperature,roughness,prate,volume,velocity,diameter,"
           "height,width,area,reynolds,friction_factor,density,viscosity,last_flow,last_size,"
           "error\n";

    long bad = 0, unsolved = 0, total = 0;
    DuctSheet s;
    std::string error, note;
    while (nextLine(line)) {
        ++lineNo;
        if (Trim(line).empty()) continue;
        ++total;
        s = start;
        error.clear();
        bool ran = false;
        if (!SplitCsv(line, fields, unquoted)) {
            error = "unterminated quote";
        } else if (fields.size() < cols.size()) {
            const std::size_t c = fields.size();
            error = "column " + std::to_string(c + 1) + " (" + cols[c].Name +
                    ") is missing: the line has " + std::to_string(fields.size()) +
                    " field(s), the header " + std::to_string(cols.size());
        } else if (fields.size() > cols.size()) {
            error = "column " + std::to_string(cols.size() + 1) + ": extra field '" +
                    Shown(Trim(fields[cols.size()])) + "' (the header has " +
                    std::to_string(cols.size()) + " columns)";
        } else {
            for (std::size_t c = 0; c < cols.size(); ++c) {
                const std::string_view cell = Trim(fields[c]);
                if (cols[c].Q == Qty::Id || cell.empty()) continue;
                try {
                    ApplyEdit(s, cols[c].Q, cell, u, note);
                    ran = true;
                } catch (const EBadValue& e) {
                    error =
                        "column " + std::to_string(c + 1) + " (" + cols[c].Name + "): " + e.what();
                    break;
                }
                if (!note.empty()) {
                    std::fprintf(stderr, "%s: %s:%ld: column %zu (%s): %s\n", Prog,
                                 Shown(src, 1000).c_str(), lineNo, c + 1, cols[c].Name.c_str(),
                                 note.c_str());
                }
                if (s.Failed()) {
                    error = "column " + std::to_string(c + 1) + " (" + cols[c].Name +
                            "): " + std::string(NoSolutionMessage);
                    break;
                }
            }
            if (error.empty() && !ran) ApplyEdit(s, Qty::Solve, "", u, note);
        }
        if (!error.empty()) {
            ++bad;
            std::fprintf(stderr, "%s: %s:%ld: %s\n", Prog, Shown(src, 1000).c_str(), lineNo,
                         error.c_str());
        } else if (!s.Solved) {
            ++unsolved;
        }
        const bool ok = error.empty();
        buf += std::to_string(lineNo);
        buf += ',';
        if (idCol >= 0) {
            if (static_cast<std::size_t>(idCol) < fields.size())
                AppendCsvText(buf, Trim(fields[idCol]));
            buf += ',';
        }
        if (ok) {
            AppendResults(buf, s, u);
        } else {
            buf += "false,,,,,,,,,,,,,,,,,"; // 18 empty-result fields
        }
        buf += ',';
        AppendCsvText(buf, error);
        buf += '\n';
        if (buf.size() > (1 << 20) - 4096) {
            std::fwrite(buf.data(), 1, buf.size(), out);
            buf.clear();
        }
    }
    std::fwrite(buf.data(), 1, buf.size(), out);
    const bool writeFailed = std::fflush(out) != 0 || std::ferror(out);
    if (out != stdout) std::fclose(out);
    if (writeFailed) {
        std::fprintf(stderr, "%s: writing the results failed\n", Prog);
        return 2;
    }
    if (bad + unsolved > 0) {
        std::fprintf(stderr, "%s: %s: %ld of %ld line(s) not solved (%ld with errors)\n", Prog,
                     Shown(src, 1000).c_str(), bad + unsolved, total, bad);
        return 1;
    }
    return 0;
}

} // namespace

int RunDuct(const std::vector<std::string>& args) {
    TOptions o;
    const int rc = ParseArgs(args, o);
    if (rc == 3) return 0;
    if (rc != 0) return rc;
    try {
        return o.Csv.empty() ? RunSingle(o) : RunCsv(o);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", Prog, e.what());
        return 2;
    }
}

} // namespace oravent::calc
