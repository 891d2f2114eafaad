// The standard sizes as the window shows them: units taken from the duct
// window's unit choices, column captions, cell texts with their sort keys,
// the settings as editable texts and back, and the report's "Selected size"
// lines. The window only puts these texts into widgets.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "duct/DuctDocument.h"
#include "duct/DuctFiles.h"
#include "duct/StandardSizes.h"

namespace oravent {

struct TSizeTableUnits {
    TSeriesSystem System = TSeriesSystem::Metric;
    TRowConversion Size;             // from m: mm or in
    TRowConversion Volume;           // from m³/s: the volume flow row's unit
    TRowConversion Velocity;         // from m/s: the velocity row's unit
    TRowConversion PRate;            // from Pa/m: the pressure rate row's unit
    TRowConversion VelocityPressure; // from Pa: Pa or InchWg
};

// The imperial series when the diameter row shows inches or feet, else the
// metric ones; velocity and pressure rate in their rows' units.
TSizeTableUnits SizeTableUnits(const TDuctViewSettings& View);
// The units of a whole unit set.
TSizeTableUnits SizeTableUnits(TUnitSystem System);

// A cell: its text and the number it sorts by.
struct TSizeTableCell {
    std::string Text;
    double Key = 0.0;
};

// Round: "Diameter (mm)", "Velocity (m/s)", "Velocity Pressure (Pa)",
// "Pressure Rate (Pa/m)", "Fits". Rectangular: "Height (mm)", "Width (mm)",
// "Aspect", "Equivalent Diameter (mm)", then the round list's last four.
std::vector<std::string> SizeTableCaptions(TSizeShape Shape, const TSizeTableUnits& Units);
// The cells of a candidate in the order of the captions. "Fits" reads "yes",
// "no" or "not solved", with "choice" for the chosen candidate.
std::vector<TSizeTableCell> SizeTableCells(const TSizeCandidate& C, const TSizeTableUnits& Units);
// "900 mm" or "500 × 1200 mm".
std::string SizeText(const TSizeCandidate& C, const TSizeTableUnits& Units);

// What the window's heading says: "5.000 m³/s at 1.000 Pa/m: solved
// diameter 820 mm", or why there is nothing to propose.
std::string SizeTableHeading(const DuctSheet& Sheet, const TSizeTableUnits& Units);

// The settings as the window's fields hold them: the four series (metric
// round, metric rectangular, imperial round, imperial rectangular), the
// aspect limit, the fixed height in the series' unit and the velocity limit
// in the velocity row's unit; an empty field means no fixed height or no
// limit.
struct TStandardSizeTexts {
    std::array<std::string, 4> Series;
    std::string AspectLimit, FixedHeight, VelocityLimit;
    bool operator==(const TStandardSizeTexts&) const = default;
};
// The field of each series: (Metric, Round), (Metric, Rectangular), (Imperial, Round), (Imperial,
// Rectangular).
inline constexpr std::array<std::pair<TSeriesSystem, TSizeShape>, 4> SeriesFields = {{
    {TSeriesSystem::Metric, TSizeShape::Round},
    {TSeriesSystem::Metric, TSizeShape::Rectangular},
    {TSeriesSystem::Imperial, TSizeShape::Round},
    {TSeriesSystem::Imperial, TSizeShape::Rectangular},
}};
TStandardSizeTexts StandardSizeTexts(const TStandardSizeSettings& S, const TSizeTableUnits& Units);
// Raises ESizeSeriesError with a message naming the field that cannot be used.
TStandardSizeSettings ReadStandardSizeTexts(const TStandardSizeTexts& T,
                                            const TSizeTableUnits& Units);

// The report's lines for a selected size (tab-separated caption, value and
// unit), below a "Selected Size" heading the report adds: the size, the
// aspect ratio and equivalent diameter of a rectangle, velocity, velocity
// pressure and pressure rate.
std::vector<std::string> SelectedSizeLines(const TSizeCandidate& C, const TSizeTableUnits& Units);

} // namespace oravent
