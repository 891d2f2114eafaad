// oravent-calc duct: typed text in the shown unit to the duct document's edit
// step, the start sheet, and the texts both outputs share.
#include <charconv>
#include <cmath>
#include <sys/stat.h>

#include "calc_duct.h"
#include "calc_json.h"
#include "common/TxIniFiles.h"
#include "duct/DuctFiles.h"
#include "psychro/AirStateText.h"
#include "units/NumberText.h"

namespace oravent::calc {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
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

std::string Quoted(std::string_view text) {
    return "'" + Shown(text) + "'";
}

double NumberOrThrow(std::string_view text) {
    double v = 0;
    if (!ParseNumber(text, v)) throw EBadValue(Quoted(text) + " is not a number");
    return v;
}

int RoughnessFromText(std::string_view text) {
    double v = 0;
    if (ParseNumber(text, v)) {
        if (v == std::floor(v) && v >= 0 && v < RoughnessCount) return static_cast<int>(v);
        throw EBadValue("roughness index " + Quoted(text) + " is not one of 0..4");
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
    std::string names;
    for (int k = 0; k < RoughnessCount; ++k) {
        if (squeeze(RoughnessName(k)) == want) return k;
        names += (k ? ", " : "") + std::string(RoughnessName(k));
    }
    throw EBadValue(Quoted(text) + " is not a roughness (0..4 or " + names + ")");
}

EBadValue NotATemperature(std::string_view text) {
    return EBadValue(Quoted(text) + " is not a temperature (dry bulb[/wet bulb])");
}

// The "db/wb" text in the row's base unit (°C), converted number by number.
std::string BaseTemperatureText(std::string_view text, const TRowConversion& c) {
    const std::size_t slash = text.find('/');
    double db = 0, wb = 0;
    if (!ParseNumber(text.substr(0, slash), db)) throw NotATemperature(text);
    std::string out;
    AppendNumber(out, c.Base(db));
    if (slash != std::string_view::npos) {
        if (!ParseNumber(text.substr(slash + 1), wb)) throw NotATemperature(text);
        out += '/';
        AppendNumber(out, c.Base(wb));
    }
    return out;
}

std::string MovedNote(const DuctSheet& s, const TDuctUnits& u) {
    const TRowConversion& t = u.Row(TDuctRow::Temperature);
    return "taken as " + TemperatureText(s, u) + " " + t.Caption + " (dry bulb " +
           FormatPair("%0.1f to %0.1f", t.Shown(kLowestDryBulb), t.Shown(kHighestDryBulbState)) +
           " " + t.Caption + ", wet bulb from that of 1 % humidity up to the dry bulb)";
}

// The engine refuses either the pressure itself or the sheet's air at that
// pressure; saturated air at 20 °C tells which.
EBadValue BarometerRefused(const DuctSheet& s, double p, const TDuctUnits& u,
                           const EPsychroError& e) {
    bool pressureOk = true;
    try {
        TAirStateRec probe{};
        SetState(probe, p, 20.0, 20.0, 0);
    } catch (const EPsychroError&) {
        pressureOk = false;
    }
    ResetReferenceState();
    if (!pressureOk) return EBadValue(e.what());
    return EBadValue("the air " + TemperatureText(s, u) + " " +
                     u.Row(TDuctRow::Temperature).Caption +
                     " cannot be kept at this pressure: " + e.what());
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// What a calculation file key must hold, from the read defaults table.
std::string ExpectedText(std::string_view key) {
    for (const TDuctValueKey& k : DuctValueKeys) {
        if (k.Key != key) continue;
        std::string lo, hi;
        AppendNumber(lo, k.Lo);
        AppendNumber(hi, k.Hi);
        return k.Lo == 0 ? "a number greater than 0 and at most " + hi
                         : "a number from " + lo + " to " + hi;
    }
    return "one of 0.." + std::to_string(RoughnessCount - 1);
}

} // namespace

TDuctUnits::TDuctUnits(bool imperial) : Imperial(imperial) {
    for (const TDuctRowDef& d : DuctRows) {
        Rows[static_cast<int>(d.Row)] =
            DuctRowConversion(d, imperial ? UnitChoice(d, TUnitSystem::Imperial) : 0);
    }
    const TDuctRowDef& lengthRow = DuctRowDef(TDuctRow::Diameter);
    Length = CatalogueConversion(lengthRow.UnitsType, imperial ? lengthRow.Imperial : 0);
    Area = CatalogueConversion(utArea, imperial ? CatalogueIndex(utArea, "ft²") : 0);
    Density = CatalogueConversion(utDensity, imperial ? CatalogueIndex(utDensity, "lb/ft³") : 0);
    Viscosity =
        CatalogueConversion(utViscosity, imperial ? CatalogueIndex(utViscosity, "lbm/ft·s") : 0);
}

double TDuctUnits::Shown(const DuctSheet& S, TDuctRow R) const {
    return Row(R).Shown(ValueAsNumber(DuctRowValue(S, R)));
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string Shown(std::string_view s, std::size_t maxChars) {
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

bool ParseNumber(std::string_view text, double& value) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    return ec == std::errc() && p == end && std::isfinite(value);
}

void AppendNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    char buf[32];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, ec == std::errc() ? p : buf);
}

std::string QuantityNames() {
    std::string names;
    for (const TDuctRowDef& d : DuctRows)
        names += (names.empty() ? "" : ", ") + std::string(d.Quantity);
    return names;
}

std::string TemperatureText(const DuctSheet& s, const TDuctUnits& u) {
    const TRowConversion& t = u.Row(TDuctRow::Temperature);
    const double db = t.Shown(s.DuctAir.DryBulb);
    const double wb = t.Shown(s.DuctAir.WetBulb);
    if (!std::isfinite(db) || !std::isfinite(wb)) return "?";
    return FormatPair("%0.1f/%0.1f", db, wb);
}

std::string ApplyEdit(DuctSheet& s, std::optional<TDuctRow> row, std::string_view text,
                      const TDuctUnits& u) {
    if (!row) {
        s.SolveRectangle();
        s.Iterate();
        return {};
    }
    const TDuctRowDef& d = DuctRowDef(*row);
    const TRowConversion& c = u.Row(d.Row);
    text = TrimBlanks(text);
    TFieldValue value;
    double number = 0;
    switch (d.Op) {
    case TDuctOp::SetAirState:
        value = BaseTemperatureText(text, c);
        break;
    case TDuctOp::SetRoughnessIndex:
        value = static_cast<long long>(RoughnessFromText(text));
        break;
    default:
        number = c.Base(NumberOrThrow(text));
        if (!std::isfinite(number)) throw EBadValue(Quoted(text) + " is out of range");
        value = number;
        break;
    }
    try {
        return CommitDuctEdit(s, d.Row, value).TemperatureMoved ? MovedNote(s, u) : "";
    } catch (const EConvertError&) {
        // The text has been read: the rows refuse only a temperature text
        // and a flow or size that is not greater than 0.
        if (d.Op == TDuctOp::SetAirState) throw NotATemperature(text);
        std::string caption(DuctRowCaption(d));
        for (char& ch : caption)
            ch = Lower(ch);
        throw EBadValue(Quoted(text) + ": the " + caption + " must be greater than 0");
    } catch (const EPsychroError& err) {
        ResetReferenceState();
        if (d.Op == TDuctOp::SetBarometer) throw BarometerRefused(s, number, u, err);
        throw EBadValue("temperature " + Quoted(text) + ": " + err.what());
    }
}

void StartSheet(const TDuctOptions& o, DuctSheet& s) {
    s.SetAirOverride(o.Density, o.Viscosity);
    s.ResetToDefaults();
    if (!o.File.empty()) {
        const std::string file = Shown(o.File, 1000);
        if (!FileExists(o.File)) throw EBadValue("cannot read calculation file '" + file + "'");
        const TMemIniFile ini(o.File);
        std::vector<std::string> replaced;
        try {
            replaced = ReadCalculation(ini, s);
        } catch (const std::exception& err) {
            const std::string temp =
                ini.ReadText(DuctSettingsSection, "Temperature", CalculationTemperatureDefault);
            throw EBadValue(file + ": Temperature " + Quoted(temp) +
                            " cannot be used: " + err.what());
        }
        // A value the window would replace by its default is not what the
        // file asks for: the sheet is not sized from it.
        if (!replaced.empty()) {
            std::string msg = file + ":";
            for (std::size_t i = 0; i < replaced.size(); ++i) {
                const std::string& kv = replaced[i];
                msg += (i ? "; " : " ") + Quoted(kv) + " cannot be used (" +
                       ExpectedText(kv.substr(0, kv.find('='))) + " expected)";
            }
            throw EBadValue(msg);
        }
        // The file's air replaced the state the override was applied to.
        s.SetAirOverride(o.Density, o.Viscosity);
    }
    s.UpdateIntermediates();
}

} // namespace oravent::calc
