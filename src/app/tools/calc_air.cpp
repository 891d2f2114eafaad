// oravent-calc air / pressure / altitude: the moist-air engine and the
// standard atmosphere from the command line. Values are in base units (kPa,
// °C, kJ/kg, kg/kg, fraction, kg/m³); results are printed as JSON with a
// "units" object.
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "calc_commands.h"
#include "calc_json.h"
#include "psychro/AirStateFile.h"
#include "psychro/AirStateText.h"
#include "psychro/Hygrocalc.h"
#include "psychro/TxAirconItems.h"
#include "units/NumberText.h"

namespace oravent::calc {

namespace {

const char* const kAirUsage =
    "usage: oravent-calc air [--pressure P | --altitude Z] L=VALUE L=VALUE [--save FILE.psx]\n"
    "       oravent-calc air --open FILE.psx [--save FILE.psx]\n"
    "  Completes a moist-air state from two properties and prints it as JSON;\n"
    "  --open prints the state a .psx file holds (no \"code\": it names no pair),\n"
    "  --save also writes the state as a .psx file (a state that fails the\n"
    "  plausibility checks is not written).\n"
    "  P in kPa (default 101.325), Z in m (standard atmosphere).\n"
    "  Property letters, values in base units:\n"
    "    t dry bulb (C)          b wet bulb (C)          h enthalpy (kJ/kg dry air)\n"
    "    w humidity ratio (kg/kg) f relative humidity (0..1) d dew point (C)\n"
    "    v vapour pressure (kPa)  s saturation pressure (kPa) r density (kg/m3)\n"
    "  example: oravent-calc air --pressure 101.325 t=20 f=0.5\n";

struct UsageError {
    std::string Message;
};

double ParseValue(std::string_view what, std::string_view text) {
    try {
        return StrToFloat(text);
    } catch (const EConvertError&) {
        throw UsageError{std::string(what) + ": '" + std::string(text) + "' is not a number"};
    }
}

// Reads "--name VALUE" or "--name=VALUE" at args[i]; advances i past it.
std::optional<std::string> OptionValue(const std::vector<std::string>& args, std::size_t& i,
                                       std::string_view name) {
    const std::string& a = args[i];
    if (a == name) {
        if (i + 1 >= args.size()) throw UsageError{std::string(name) + " needs a value"};
        return args[++i];
    }
    if (a.size() > name.size() && a.compare(0, name.size(), name) == 0 && a[name.size()] == '=')
        return a.substr(name.size() + 1);
    return std::nullopt;
}

// Field of TAirStateRec named by a property letter (not p, c or z).
double* FieldOf(TAirStateRec& s, char letter) {
    switch (letter) {
    case 't':
        return &s.DryBulb;
    case 'b':
        return &s.WetBulb;
    case 'h':
        return &s.Enthalpy;
    case 'w':
        return &s.AbsHumidity;
    case 'f':
        return &s.RelHumidity;
    case 'd':
        return &s.DewPoint;
    case 'v':
        return &s.VapPressure;
    case 's':
        return &s.SatPressure;
    case 'r':
        return &s.Density;
    default:
        return nullptr;
    }
}

int Fail(std::FILE* err, const char* command, const std::string& message, int status) {
    std::fprintf(err, "oravent-calc %s: %s\n", command, message.c_str());
    if (status == 2 && std::string_view(command) == "air") std::fputs(kAirUsage, err);
    return status;
}

// A .psx file that cannot be read or holds an implausible state: exit status 2,
// without the usage text.
struct FileError {
    std::string Message;
};

// The state of a .psx file, refused unless it passes the checks a state
// shown as valid must pass.
TAirStateRec OpenStateFile(const std::string& name) {
    TAirStateRec s;
    try {
        ReadAirStateFile(name, s);
    } catch (const EAirStateFileError& e) {
        throw FileError{e.what()};
    }
    const std::string message = CheckStoredAirState(s);
    if (!message.empty()) throw FileError{name + ": " + message};
    return s;
}

// Prints the state (with its pair code when it has one) and writes it to
// save when asked; an implausible state is not written (status 1).
int PrintState(const TAirStateRec& s, std::optional<int> code, const std::string& save,
               const TCalcStreams& io) {
    if (!save.empty()) {
        const std::string message = CheckAirState(s);
        if (!message.empty()) return Fail(io.Err, "air", message + " (nothing written)", 1);
        try {
            WriteAirStateFile(save, s);
        } catch (const EAirStateFileError& e) {
            return Fail(io.Err, "air", e.what(), 1);
        }
    }
    TJson j, units = TJson::object();
    if (code) j["code"] = *code;
    j["units"] = TJson::object();
    PutAirState(j, units, s, false);
    j["units"] = std::move(units);
    WriteJson(io.Out, j);
    return 0;
}

} // namespace

int RunAir(const std::vector<std::string>& args, const TCalcStreams& io) {
    try {
        std::optional<double> pressure, altitude;
        std::optional<std::string> open, save;
        std::string letters;
        TAirStateRec in;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (a == "--help" || a == "-h") {
                std::fputs(kAirUsage, io.Out);
                return 0;
            }
            if (auto v = OptionValue(args, i, "--pressure")) {
                pressure = ParseValue("--pressure", *v);
                continue;
            }
            if (auto v = OptionValue(args, i, "--altitude")) {
                altitude = ParseValue("--altitude", *v);
                continue;
            }
            if (auto v = OptionValue(args, i, "--open")) {
                open = *v;
                continue;
            }
            if (auto v = OptionValue(args, i, "--save")) {
                save = *v;
                continue;
            }
            if (a.size() < 3 || a[1] != '=')
                throw UsageError{"unexpected argument '" + a + "' (expected L=VALUE)"};
            const char letter = a[0];
            double* field = FieldOf(in, letter);
            if (!field)
                throw UsageError{std::string("unknown property letter '") + letter +
                                 "' (use one of t b h w f d v s r)"};
            if (letters.find(letter) != std::string::npos)
                throw UsageError{std::string("property '") + letter + "' given twice"};
            *field = ParseValue(std::string(1, letter), std::string_view(a).substr(2));
            letters += letter;
        }
        if (pressure && altitude) throw UsageError{"give --pressure or --altitude, not both"};
        if (open && open->empty()) throw UsageError{"--open needs a file name"};
        if (save && save->empty()) throw UsageError{"--save needs a file name"};
        if (open) {
            if (pressure || altitude || !letters.empty())
                throw UsageError{"--open takes no properties, --pressure or --altitude"};
            try {
                return PrintState(OpenStateFile(*open), std::nullopt, save.value_or(""), io);
            } catch (const FileError& e) {
                std::fprintf(io.Err, "oravent-calc air: %s\n", e.Message.c_str());
                return 2;
            }
        }
        if (letters.size() != 2) throw UsageError{"give exactly two properties"};
        const int code = TAirCombin::PairCode(letters[0], letters[1]);
        if (code < 0)
            throw UsageError{std::string("the pair ") + letters[0] + " and " + letters[1] +
                             " does not define a state"};
        try {
            in.Pressure = altitude ? AtmPressure(*altitude) : pressure.value_or(101.325);
            TAirStateRec out;
            AirState(out, in, code);
            return PrintState(out, code, save.value_or(""), io);
        } catch (const EPsychroError& e) {
            return Fail(io.Err, "air", e.what(), 1);
        }
    } catch (const UsageError& e) {
        return Fail(io.Err, "air", e.Message, 2);
    }
}

namespace {

// A quantity of the standard atmosphere: key and unit kind (unit 0 is used).
struct TAtmQuantity {
    const char* Key;
    TUnitsType Type;
};
constexpr TAtmQuantity AltitudeQty{"altitude", utAltitude}, PressureQty{"pressure", utPressure};

// One standard-atmosphere conversion: reads "--<Option> VALUE", converts it
// and prints both values as JSON, the given value first.
int RunConversion(const std::vector<std::string>& args, const TCalcStreams& io, const char* command,
                  const char* option, const char* usage, TAtmQuantity in, TAtmQuantity out,
                  double (*convert)(double)) {
    try {
        std::optional<double> value;
        for (std::size_t i = 0; i < args.size(); ++i) {
            if (auto v = OptionValue(args, i, option))
                value = ParseValue(option, *v);
            else
                throw UsageError{"unexpected argument '" + args[i] + "'"};
        }
        if (!value) throw UsageError{usage};
        try {
            const double result = convert(*value);
            TJson j, units = TJson::object();
            j["units"] = TJson::object();
            PutQuantity(j, units, in.Key, *value, CatalogueConversion(in.Type, 0));
            PutQuantity(j, units, out.Key, result, CatalogueConversion(out.Type, 0));
            j["units"] = std::move(units);
            WriteJson(io.Out, j);
            return 0;
        } catch (const EPsychroError& e) {
            return Fail(io.Err, command, e.what(), 1);
        }
    } catch (const UsageError& e) {
        return Fail(io.Err, command, e.Message, 2);
    }
}

} // namespace

int RunPressure(const std::vector<std::string>& args, const TCalcStreams& io) {
    for (const std::string& a : args)
        if (a == "--place" || a.starts_with("--place=")) return RunPressureAtPlace(args, io);
    return RunConversion(
        args, io, "pressure", "--altitude",
        "usage: oravent-calc pressure --altitude Z (m) | --place \"NAME[, REGION]\" "
        "[--folder DIR]",
        AltitudeQty, PressureQty, &AtmPressure);
}

int RunAltitude(const std::vector<std::string>& args, const TCalcStreams& io) {
    return RunConversion(args, io, "altitude", "--pressure",
                         "usage: oravent-calc altitude --pressure P (kPa)", PressureQty,
                         AltitudeQty, &Altitude);
}

} // namespace oravent::calc
