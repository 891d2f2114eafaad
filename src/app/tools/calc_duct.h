// Inside oravent-calc duct: what the single sheet (calc_duct.cpp) and the CSV
// batch (calc_duct_csv.cpp) share. The rows, their units and the edit step
// come from the duct document; this layer reads the typed text in the shown
// unit and words the messages.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "calc_commands.h"
#include "calc_json.h"
#include "duct/DuctDocument.h"
#include "duct/StandardSizeTable.h"

namespace oravent::calc {

inline constexpr const char* DuctProg = "oravent-calc duct";

// A value or file that cannot be used: the text says why.
class EBadValue : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Shown units of the tool: unit 0 of every kind (kPa, °C, Pa/m, m³/s, m/s,
// m, m², kg/m³, kg/m·s), or the rows' Imperial choice with ft², lb/ft³ and
// lbm/ft·s. Row conversions start from the row's base unit, the others from
// the SI base unit of their kind.
struct TDuctUnits {
    bool Imperial = false;
    std::array<TRowConversion, DuctRowCount + 1> Rows; // by row number
    TRowConversion Length, Area, Density, Viscosity;

    explicit TDuctUnits(bool Imperial);
    const TRowConversion& Row(TDuctRow R) const { return Rows[static_cast<int>(R)]; }
    // Shown value of a numeric row.
    double Shown(const DuctSheet& S, TDuctRow R) const;
};

// ---- text ----------------------------------------------------------------------

std::string_view TrimBlanks(std::string_view s);
// Text safe to show in a message: printable ASCII and valid UTF-8 as they are,
// other bytes as \xNN, cut after maxChars characters.
std::string Shown(std::string_view s, std::size_t maxChars = 40);
// A finite number written with "." (optional sign and exponent), nothing else.
bool ParseNumber(std::string_view text, double& value);
// Shortest text that reads back as the same double; "null" when not finite.
void AppendNumber(std::string& out, double v);
// "barometer, temperature, ..., width": the quantity names of the rows.
std::string QuantityNames();

// ---- edits ---------------------------------------------------------------------

// One edit: a row and the text typed for it, or (no row) the Solve command.
struct TEdit {
    std::optional<TDuctRow> Row;
    std::string Text;
    std::string Arg; // as given, for messages
};

// Commits an edit as the duct window does (the row's sheet operation, then
// Iterate); Solve runs SolveRectangle and Iterate. Raises EBadValue for text
// the row cannot take (the sheet is then unchanged). Returns the note to show
// when the air state's limits moved the temperature, else "".
std::string ApplyEdit(DuctSheet& s, std::optional<TDuctRow> row, std::string_view text,
                      const TDuctUnits& u);

// The sheet's "db/wb" text in the shown unit, one decimal; "?" when not finite.
std::string TemperatureText(const DuctSheet& s, const TDuctUnits& u);

// ---- options -------------------------------------------------------------------

struct TDuctOptions {
    bool Imperial = false;
    double Density = 0, Viscosity = 0;
    std::string File, Csv, Output;
    std::vector<TEdit> Edits;
    // --standard and its series and limits as typed (the series' unit, mm
    // or in; the velocity limit in the velocity's unit); Sizes once read.
    bool Standard = false;
    std::optional<std::string> RoundSeries, RectSeries, AspectLimit, FixedHeight, VelocityLimit;
    TStandardSizeSettings Sizes;
    std::shared_ptr<const TSeriesMetres> SizeSeries; // of Sizes, for every CSV line
};

// ---- standard sizes (calc_duct_standard.cpp) ------------------------------------

// Reads the typed series and limits over the defaults into o.Sizes; raises
// EBadValue with the reason.
void ResolveStandardOptions(TDuctOptions& o);
// The "standard" object of the JSON output; its units go to units["standard"].
TJson StandardJson(const DuctSheet& s, const TDuctOptions& o, const TDuctUnits& u, TJson& units);
// The extra CSV columns: the chosen round size and rectangle with their
// velocity and pressure rate (empty cells when none fits).
inline constexpr std::string_view StandardColumns =
    "round_diameter,round_velocity,round_prate,rect_height,rect_width,rect_velocity,rect_prate";
void AppendStandardColumns(std::string& buf, const DuctSheet& s, const TDuctOptions& o,
                           const TDuctUnits& u);

// The reset sheet, or the calculation file read over it as the Open command
// does, then UpdateIntermediates as on activation. Raises EBadValue for a
// file that cannot be read or holds a value that cannot be used.
void StartSheet(const TDuctOptions& o, DuctSheet& s);

int RunDuctCsv(const TDuctOptions& o, const TCalcStreams& io); // calc_duct_csv.cpp

} // namespace oravent::calc
