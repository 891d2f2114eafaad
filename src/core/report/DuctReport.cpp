#include "report/DuctReport.h"

#include "controls/TxEntryGrid.h"
#include "duct/DuctSheet.h"
#include "units/NumberText.h"

namespace oravent {

namespace {

constexpr const char* RoughnessLineFormats[RoughnessCount] = {
    "Smooth\t%0.4f\tmm", "Medium Smooth\t%0.4f\tmm", "Average\t%0.4f\tmm",
    "Medium Rough\t%0.4f\tmm", "Rough\t%0.4f\tmm"};

} // namespace

std::vector<TReportLine> BuildDuctReportLines(const TDuctReportRows& Rows,
                                              const TDuctSheetValues& Sheet,
                                              const std::vector<std::string>& SelectedSize) {
    using enum TReportStyle;
    std::vector<TReportLine> Lines;
    Lines.reserve(26);
    auto Add = [&Lines](TReportStyle Style, std::string Text) {
        Lines.push_back({Style, std::move(Text)});
    };
    Add(Regular, "");
    Add(BoldUnderline, "Oravent Report");
    Add(Regular, "");
    Add(Bold, "Results");
    for (const TDuctReportRow& Row : Rows)
        Add(Regular, Row[0] + '\t' + Row[1] + '\t' + Row[2]);
    Add(Regular, "");
    if (!SelectedSize.empty()) {
        Add(Bold, "Selected Size");
        for (const std::string& Line : SelectedSize)
            Add(Regular, Line);
        Add(Regular, "");
    }
    Add(Bold, "Intermediate Values");
    Add(Regular, FormatNumber("Friction Factor\t%0.4f", Sheet.FrictionFactor));
    Add(Regular, FormatNumber("Air Density\t%0.4f\tkg/cum", Sheet.DuctAir.Density));
    Add(Regular,
        FormatNumber("Dynamic Viscosity\t%0.3f\tuPa-s", Sheet.DuctAir.Viscosity * 1000000.0));
    Add(Regular, "");
    Add(Bold, "Roughness Settings");
    for (int K = 0; K < RoughnessCount; ++K)
        Add(Regular, FormatNumber(RoughnessLineFormats[K], Sheet.RoughnessTable[K] * 1000.0));
    Add(Regular, "");
    return Lines;
}

std::string DuctClipboardLine(const std::array<std::string, DuctReportRowCount>& Values) {
    std::string Line = "Oravent";
    for (const std::string& V : Values) {
        Line += ',';
        Line += V;
    }
    return Line;
}

TDuctReportRows DuctReportRows(const TCellTable& Grid) {
    TDuctReportRows Rows;
    for (int R = 0; R < DuctReportRowCount; ++R)
        for (int C = 0; C < 3; ++C)
            Rows[R][C] = Grid.Cell(C, R + 1);
    return Rows;
}

std::array<std::string, DuctReportRowCount> DuctValueTexts(const TCellTable& Grid) {
    std::array<std::string, DuctReportRowCount> Values;
    for (int R = 0; R < DuctReportRowCount; ++R)
        Values[R] = Grid.Cell(1, R + 1);
    return Values;
}

} // namespace oravent
