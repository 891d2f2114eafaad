// Standard sizes: the duct that can be bought for the duct the sheet solved.
// Size series are data (millimetres for the metric series, inches for the
// imperial ones, smallest first) that the user can edit. For a solved sheet
// the candidates are the series' round sizes and rectangles around the
// solved diameter, each evaluated by solving a copy of the sheet at that
// size (flow and size known, as when the engineer types them), so that a
// candidate's numbers are the ones the sheet shows once the size is entered.
//
// The choice of each list is its smallest candidate that fits: a pressure
// drop rate within the sheet's and, when a limit is set, a velocity (flow /
// the candidate's own area) within the limit. Rectangles are compared by
// area, then aspect ratio, then height.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/TxIniFiles.h"
#include "duct/DuctSheet.h"

namespace oravent {

enum class TSizeShape { Round, Rectangular };
enum class TSeriesSystem { Metric, Imperial };

// The four series, each rising, in millimetres (metric) or inches (imperial).
struct TSizeSeriesSet {
    std::vector<double> MetricRound, MetricRect, ImperialRound, ImperialRect;
    std::vector<double>& Of(TSeriesSystem System, TSizeShape Shape);
    const std::vector<double>& Of(TSeriesSystem System, TSizeShape Shape) const;
    bool operator==(const TSizeSeriesSet&) const = default;
};

// Spiral-seam round duct 63 … 1600 mm; rectangular sides 100 … 2400 mm in
// 50 mm steps; round 3 … 24 in every inch, then every 2 in to 60 in;
// rectangular sides 4 … 96 in every 2 in.
const TSizeSeriesSet& DefaultSizeSeries();

// Metres in one unit of the series: 0.001 (mm) or 0.0254 (in).
double SeriesUnitMetres(TSeriesSystem System);
// A size of the series in metres, the double nearest to the exact value
// (700 mm is 0.7, 12 in is 0.3048).
double SeriesMetres(double Size, TSeriesSystem System);
// "mm" or "in".
std::string_view SeriesUnitCaption(TSeriesSystem System);
// "metric round", "metric rectangular", "imperial round", "imperial rectangular".
std::string SeriesName(TSeriesSystem System, TSizeShape Shape);

// A typed series, a limit or a stored value that cannot be used; the text
// says which and why.
class ESizeSeriesError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Sizes separated by blanks, commas or semicolons, "." as the decimal
// separator, smallest first. Raises ESizeSeriesError, naming the series,
// for an empty list, a word that is not a number, a size that is not
// greater than 0, a size out of order or given twice, more than
// MaxSeriesLength sizes.
inline constexpr std::size_t MaxSeriesLength = 500;
std::vector<double> ParseSizeSeries(std::string_view Text, TSeriesSystem System, TSizeShape Shape);
// "63 80 100": each size as its shortest text, one blank between.
std::string SizeSeriesText(const std::vector<double>& Sizes);

// What the standard-size search uses besides the sheet; kept per user.
struct TStandardSizeSettings {
    TSizeSeriesSet Series = DefaultSizeSeries();
    double AspectLimit = 4.0;   // longer side / shorter side, at least 1
    double FixedHeight = 0.0;   // m; 0: every height of the series
    double VelocityLimit = 0.0; // m/s; 0: no limit
    bool operator==(const TStandardSizeSettings&) const = default;
};
inline constexpr double MaxAspectLimit = 100.0;

// Section "StandardSizes": "MetricRound", "MetricRect", "ImperialRound",
// "ImperialRect" (series texts), "AspectLimit", "FixedHeight" (m),
// "VelocityLimit" (m/s). A stored value that cannot be used keeps the
// setting's current value.
inline constexpr std::string_view StandardSizesSection = "StandardSizes";
void LoadStandardSizeSettings(const TCustomIniFile& Store, TStandardSizeSettings& Settings);
void SaveStandardSizeSettings(TCustomIniFile& Store, const TStandardSizeSettings& Settings);

// One standard size evaluated for the sheet.
struct TSizeCandidate {
    TSizeShape Shape = TSizeShape::Round;
    double Height = 0.0, Width = 0.0; // m; 0 for a round size
    double Diameter = 0.0;            // m: the round size or the equivalent diameter
    double Aspect = 1.0;              // longer side / shorter side; 1 for a round size
    double PRate = 0.0;               // Pa/m
    double Velocity = 0.0;            // m/s: volume flow / the size's own area
    double VelocityPressure = 0.0;    // Pa: ρ·v²/2 with that velocity
    bool Solved = false;              // the sheet solved at this size
    bool Fits = false;                // within the pressure rate and the velocity limit
    bool Chosen = false;              // the list's choice
    double Area() const;              // m²
    // Same shape and sizes.
    bool SameSize(const TSizeCandidate& Other) const;
};

struct TSizeCandidates {
    TSeriesSystem System = TSeriesSystem::Metric;
    std::vector<TSizeCandidate> Round, Rectangular; // rising size
    int RoundChoice = -1, RectangularChoice = -1;   // index in the list; -1: none fits
    // Why the lists are empty or hold no choice; empty when both have one.
    std::string Message;
};

// The candidates for a solved sheet; for an unsolved sheet both lists are
// empty and Message says to solve it first. Round: two sizes below the
// choice and three above (or the largest sizes when none fits). Rectangular:
// for each height of the series (or the fixed height) the narrowest width
// within the aspect limit that fits, width not below height unless the
// height is fixed; with a fixed height also two widths below and three
// above. Heights stop at the first one whose square passes (no taller one
// can be smaller). Sizes outside the sheet's size rows' limits (50 … 2400
// mm) are left out.
TSizeCandidates StandardSizeCandidates(const DuctSheet& Sheet,
                                       const TStandardSizeSettings& Settings, TSeriesSystem System);

// The series of one system in metres, only the sizes the sheet's size rows
// take; made once for many sheets.
struct TSeriesMetres {
    TSeriesMetres(const TStandardSizeSettings& Settings, TSeriesSystem System);
    std::vector<double> Round, Sides;
};

// The two choices alone (the same as the lists' chosen candidates),
// evaluating as few sizes as it can; for batch runs.
struct TSizeChoice {
    std::optional<TSizeCandidate> Round, Rectangular;
};
TSizeChoice StandardSizeChoice(const DuctSheet& Sheet, const TStandardSizeSettings& Settings,
                               TSeriesSystem System);
TSizeChoice StandardSizeChoice(const DuctSheet& Sheet, const TStandardSizeSettings& Settings,
                               const TSeriesMetres& Series);

// The sheet solved at one size (m): the volume flow and the size known, as
// entering them does. Fits and Chosen are left false.
TSizeCandidate EvaluateRound(const DuctSheet& Sheet, double Diameter);
TSizeCandidate EvaluateRectangle(const DuctSheet& Sheet, double Height, double Width);

// The candidate the sheet is now: round when its diameter is D, rectangular
// when its height and width are H and W (each to 1e-9 of itself); nothing
// otherwise or when the sheet is not solved. Its numbers are the sheet's.
std::optional<TSizeCandidate> SheetAtSize(const DuctSheet& Sheet, const TSizeCandidate& Size);

} // namespace oravent
