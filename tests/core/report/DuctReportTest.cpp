// Duct report lines and the clipboard line, read from a real entry-grid row
// model showing a sheet solved from its defaults, in metric and imperial units.
#include <algorithm>
#include <gtest/gtest.h>

#include "controls/TxEntryGrid.h"
#include "duct/DuctSheet.h"
#include "duct/DuctSheetRows.h"
#include "psychro/AirStateText.h"
#include "report/DuctReport.h"

using namespace oravent;

namespace {

DuctSheet SolvedDefaults() {
    DuctSheet S;
    S.ResetToDefaults();
    S.SolveRectangle();
    S.Iterate();
    return S;
}

// The duct grid as the main window shows it: rows, units (imperial unit
// indices as the window's Imperial command picks them) and values.
struct ShownGrid {
    explicit ShownGrid(const DuctSheet& S, bool Imperial) : Table(3, 10), Grid(Table, &Msgs) {
        Grid.SetRows(DuctSheetRowTexts());
        const int ImperialUnit[] = {0, 2, 1, 0, 2, 4, 1, 3, 3, 3};
        for (const auto& U : DuctSheetRowUnits)
            Grid.SetUnits(U.Row, U.Type, U.Base, Imperial ? ImperialUnit[U.Row] : U.Base, ft_Fixed);
        Grid.SetValue(1, 1, S.Barometer);
        Grid.SetValue(1, 2, AirStateToStr(S.DuctAir, "%0.1f"));
        Grid.SetValue(1, 3, static_cast<long long>(S.kIndex));
        Grid.SetValue(1, 4, S.PRate);
        Grid.SetValue(1, 5, S.Volume);
        Grid.SetValue(1, 6, S.Velocity);
        Grid.SetValue(1, 7, S.Diameter * 1000);
        Grid.SetValue(1, 8, S.Height * 1000);
        Grid.SetValue(1, 9, S.Width * 1000);
    }
    TMemCellTable Table;
    TRowMessageList Msgs;
    TEntryGridModel Grid;
};

TEST(DuctReport, LinesStylesAndOrder) {
    const DuctSheet S = SolvedDefaults();
    const ShownGrid G(S, false);
    const auto Lines = BuildDuctReportLines(DuctReportRows(G.Table), S);
    ASSERT_EQ(Lines.size(), 26u);
    using enum TReportStyle;
    const std::vector<std::pair<int, TReportLine>> Fixed = {
        {0, {Regular, ""}},
        {1, {BoldUnderline, "Oravent Report"}},
        {2, {Regular, ""}},
        {3, {Bold, "Results"}},
        {4, {Regular, "Barometer\t101.325\tkPa"}},
        {5, {Regular, "Average Temperature\t" + G.Table.Cell(1, 2) + "\t°C"}},
        {6, {Regular, "Duct Roughness\tAverage\t"}},
        {13, {Regular, ""}},
        {14, {Bold, "Intermediate Values"}},
        {18, {Regular, ""}},
        {19, {Bold, "Roughness Settings"}},
        {20, {Regular, "Smooth\t0.0300\tmm"}},
        {21, {Regular, "Medium Smooth\t0.0900\tmm"}},
        {22, {Regular, "Average\t0.1500\tmm"}},
        {23, {Regular, "Medium Rough\t0.9000\tmm"}},
        {24, {Regular, "Rough\t3.0000\tmm"}},
        {25, {Regular, ""}},
    };
    for (const auto& [Index, Line] : Fixed)
        EXPECT_EQ(Lines[Index], Line) << Index;
    // Every Results line has exactly the three cells of its grid row.
    for (int R = 1; R <= 9; ++R)
        EXPECT_EQ(Lines[3 + R].Text,
                  G.Table.Cell(0, R) + '\t' + G.Table.Cell(1, R) + '\t' + G.Table.Cell(2, R));
    EXPECT_EQ(Lines[15].Text.rfind("Friction Factor\t0.0", 0), 0u) << Lines[15].Text;
    EXPECT_EQ(Lines[16].Text.rfind("Air Density\t1.2", 0), 0u) << Lines[16].Text;
    EXPECT_TRUE(G.Msgs.Messages.empty());
}

// A selected standard size: its group follows the results, the rest moves down.
TEST(DuctReport, SelectedSizeGroupFollowsTheResults) {
    const DuctSheet S = SolvedDefaults();
    const ShownGrid G(S, false);
    const std::vector<std::string> Size = {"Round Duct\t900\tmm", "Duct Velocity\t7.86\tm/s"};
    const auto Lines = BuildDuctReportLines(DuctReportRows(G.Table), S, Size);
    const auto Plain = BuildDuctReportLines(DuctReportRows(G.Table), S);
    ASSERT_EQ(Lines.size(), 30u);
    EXPECT_EQ(Lines[14], (TReportLine{TReportStyle::Bold, "Selected Size"}));
    EXPECT_EQ(Lines[15].Text, Size[0]);
    EXPECT_EQ(Lines[16].Text, Size[1]);
    EXPECT_EQ(Lines[17].Text, "");
    EXPECT_TRUE(std::equal(Lines.begin() + 18, Lines.end(), Plain.begin() + 14));
}

TEST(DuctReport, ImperialResultsKeepIntermediatesInSI) {
    const DuctSheet S = SolvedDefaults();
    const ShownGrid Metric(S, false);
    const ShownGrid Imperial(S, true);
    const auto M = BuildDuctReportLines(DuctReportRows(Metric.Table), S);
    const auto I = BuildDuctReportLines(DuctReportRows(Imperial.Table), S);
    const char* Units[] = {"Psi", "°F", "", "iwg/100'", "cfm", "fpm", "inch", "inch", "inch"};
    for (int R = 0; R < 9; ++R) {
        const std::string& Text = I[4 + R].Text;
        EXPECT_EQ(Text.substr(Text.rfind('\t') + 1), Units[R]) << Text;
    }
    EXPECT_NE(M[4].Text, I[4].Text); // the value follows the unit too
    for (int L = 14; L < 26; ++L)
        EXPECT_EQ(I[L], M[L]) << L;
    EXPECT_NE(I[16].Text.find("\tkg/cum"), std::string::npos);
    EXPECT_NE(I[17].Text.find("\tuPa-s"), std::string::npos);
}

TEST(DuctReport, IntermediateNumbers) {
    struct Case {
        double Density, Viscosity, Friction, Average;
        const char *DensityLine, *ViscosityLine, *FrictionLine, *AverageLine;
    };
    const Case Cases[] = {
        {1.2, 18.2e-6, 0.0185, 0.00015, "Air Density\t1.2000\tkg/cum",
         "Dynamic Viscosity\t18.200\tuPa-s", "Friction Factor\t0.0185", "Average\t0.1500\tmm"},
        {1.18765, 1.82347e-5, 0.012345, 0.000000049, "Air Density\t1.1877\tkg/cum",
         "Dynamic Viscosity\t18.235\tuPa-s", "Friction Factor\t0.0123", "Average\t0.0000\tmm"},
    };
    for (const Case& C : Cases) {
        DuctSheet S;
        S.DuctAir.Density = C.Density;
        S.DuctAir.Viscosity = C.Viscosity;
        S.FrictionFactor = C.Friction;
        S.RoughnessTable[2] = C.Average;
        const auto Lines = BuildDuctReportLines({}, S);
        EXPECT_EQ(Lines[15].Text, C.FrictionLine);
        EXPECT_EQ(Lines[16].Text, C.DensityLine);
        EXPECT_EQ(Lines[17].Text, C.ViscosityLine);
        EXPECT_EQ(Lines[22].Text, C.AverageLine);
        EXPECT_EQ(Lines[4].Text, "\t\t"); // rows the grid lacks stay as empty cells
    }
}

TEST(DuctReport, ClipboardLineHasNineValues) {
    const DuctSheet S = SolvedDefaults();
    for (bool Imperial : {false, true}) {
        const ShownGrid G(S, Imperial);
        const std::string Line = DuctClipboardLine(DuctValueTexts(G.Table));
        std::vector<std::string> Parts;
        std::size_t Start = 0;
        for (std::size_t Comma; (Comma = Line.find(',', Start)) != std::string::npos;
             Start = Comma + 1)
            Parts.push_back(Line.substr(Start, Comma - Start));
        Parts.push_back(Line.substr(Start));
        ASSERT_EQ(Parts.size(), 10u) << Line;
        EXPECT_EQ(Parts[0], "Oravent");
        EXPECT_EQ(Parts[3], "Average");
        for (int R = 1; R <= 9; ++R)
            EXPECT_EQ(Parts[R], G.Table.Cell(1, R));
        EXPECT_EQ(Line.find('\n'), std::string::npos);
    }
    EXPECT_EQ(DuctClipboardLine({}), "Oravent,,,,,,,,,");
}

} // namespace
