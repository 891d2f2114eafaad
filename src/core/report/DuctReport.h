// The duct report as styled lines, and the one-line clipboard copy of the
// duct sheet's values. Produces text only: the report window renders the
// lines (font, tab stops) and the main window supplies the cell texts of its
// grid as shown. Numbers are written by the program's own formatter ("."
// decimal separator whatever the locale).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace oravent {

class TCellTable;
struct TDuctSheetValues;

enum class TReportStyle { Regular, Bold, BoldUnderline };

struct TReportLine {
    TReportStyle Style = TReportStyle::Regular;
    std::string Text;
    bool operator==(const TReportLine&) const = default;
};

// Tab stops of the duct report's paragraphs, in points.
inline constexpr std::array<double, 3> DuctReportTabs = {100.0, 160.0, 200.0};

// Caption, value and units cell texts of the duct grid's rows 1..9.
inline constexpr int DuctReportRowCount = 9;
using TDuctReportRow = std::array<std::string, 3>;
using TDuctReportRows = std::array<TDuctReportRow, DuctReportRowCount>;

// The 26 lines of the duct report: title, "Results" with the nine rows as
// shown (cells joined by tabs), "Intermediate Values" (friction factor, air
// density in kg/m³, viscosity in µPa·s) and "Roughness Settings" (the five
// table entries in mm), with empty lines between the groups and at both ends.
// Lines of a selected standard size (SelectedSizeLines) add a "Selected Size"
// group after the results.
std::vector<TReportLine> BuildDuctReportLines(const TDuctReportRows& Rows,
                                              const TDuctSheetValues& Sheet,
                                              const std::vector<std::string>& SelectedSize = {});

// "Oravent," followed by the nine value texts joined by ",", without a
// trailing separator or line break. Texts are taken as they are.
std::string DuctClipboardLine(const std::array<std::string, DuctReportRowCount>& Values);

// The cell texts of rows 1..9 of a grid (columns 0..2, or column 1 only);
// cells the grid lacks read as empty text.
TDuctReportRows DuctReportRows(const TCellTable& Grid);
std::array<std::string, DuctReportRowCount> DuctValueTexts(const TCellTable& Grid);

} // namespace oravent
