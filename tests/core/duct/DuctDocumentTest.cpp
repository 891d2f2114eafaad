// Duct document: the row table against its own definition texts, committed
// edits, the calculation file and the window settings through real stores.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/TxIniFiles.h"
#include "common/TxRegistry.h"
#include "controls/CompactAlign.h"
#include "core/common/TestFiles.h"
#include "duct/DuctFiles.h"
#include "psychro/AirStateText.h"
#include "units/NumberText.h"

namespace oravent {
namespace {

using test::GetFile;
using test::PutFile;
using test::TTempDir;

DuctSheet SolvedDefaults() {
    DuctSheet S;
    S.ResetToDefaults();
    S.UpdateIntermediates();
    S.SolveRectangle();
    S.Iterate();
    return S;
}

std::vector<std::string> Fields(std::string_view Text) {
    std::vector<std::string> Out;
    for (;;) {
        const std::size_t Semi = Text.find(';');
        Out.emplace_back(TrimControls(Text.substr(0, Semi)));
        if (Semi == std::string_view::npos) return Out;
        Text.remove_prefix(Semi + 1);
    }
}

TEST(DuctDocument, RowTableAgreesWithItsTextsAndUnitSets) {
    const char* Metric[] = {"kPa", "°C", "", "Pa/m", "m³/s", "m/s", "mm", "mm", "mm"};
    const char* Imperial[] = {"Psi", "°F", "", "iwg/100'", "cfm", "fpm", "inch", "inch", "inch"};
    ASSERT_EQ(DuctRowTexts().size(), 10u);
    for (const TDuctRowDef& D : DuctRows) {
        const int R = static_cast<int>(D.Row);
        SCOPED_TRACE(R);
        EXPECT_EQ(DuctRowDef(R), &D);
        EXPECT_EQ(DuctRowByQuantity(D.Quantity), D.Row);
        EXPECT_EQ(DuctRowConversion(D, UnitChoice(D, TUnitSystem::Metric)).Caption, Metric[R - 1]);
        EXPECT_EQ(DuctRowConversion(D, UnitChoice(D, TUnitSystem::Imperial)).Caption,
                  Imperial[R - 1]);
        const auto F = Fields(D.Text);
        if (HasUnits(D)) {
            EXPECT_EQ(F[2], Metric[R - 1]); // the text's unit is the base unit
            EXPECT_EQ(StrToFloat(F[4]), D.Lo);
            EXPECT_EQ(StrToFloat(F[5]), D.Hi);
        }
    }
    EXPECT_EQ(DuctRowByQuantity("PRATE"), TDuctRow::PRate);
    EXPECT_FALSE(DuctRowByQuantity("speed"));
    EXPECT_EQ(DuctRowDef(0), nullptr);
    EXPECT_EQ(DuctRowDef(10), nullptr);
}

TEST(DuctDocument, CommittedEditsReachTheSheetInItsUnits) {
    DuctSheet S = SolvedDefaults();
    EXPECT_EQ(FlowGroupText(S), "[Pressure, Flow]");
    EXPECT_EQ(SizeGroupText(S), "[Diam, Height]");
    EXPECT_EQ(SolvedText(S.Solved), "Solved...");

    CommitDuctEdit(S, TDuctRow::Diameter, 600.0);
    EXPECT_DOUBLE_EQ(S.Diameter, 0.6);
    EXPECT_DOUBLE_EQ(std::get<double>(DuctRowValue(S, TDuctRow::Diameter)), 600.0);
    EXPECT_EQ(FlowGroupText(S), "[Size, Pressure]");

    CommitDuctEdit(S, TDuctRow::Roughness, 0LL);
    EXPECT_EQ(S.kIndex, 0);
    EXPECT_EQ(std::get<long long>(DuctRowValue(S, TDuctRow::Roughness)), 0);

    EXPECT_FALSE(CommitDuctEdit(S, TDuctRow::Temperature, std::string("20/14")).TemperatureMoved);
    EXPECT_EQ(std::get<std::string>(DuctRowValue(S, TDuctRow::Temperature)), "20.0/14.0");
    EXPECT_TRUE(CommitDuctEdit(S, TDuctRow::Temperature, std::string("130/20")).TemperatureMoved);
    EXPECT_EQ(S.DuctAir.DryBulb, 99.0);

    // Values a row cannot take leave the sheet as it was.
    const DuctSheet Before = S;
    EXPECT_THROW(ApplyDuctValue(S, TDuctRow::Volume, 0.0), EConvertError);
    EXPECT_THROW(ApplyDuctValue(S, TDuctRow::Width, -5.0), EConvertError);
    EXPECT_THROW(ApplyDuctValue(S, TDuctRow::Roughness, 5LL), EConvertError);
    EXPECT_THROW(ApplyDuctValue(S, TDuctRow::PRate, std::string("abc")), EConvertError);
    EXPECT_THROW(ApplyDuctValue(S, TDuctRow::Temperature, std::string("warm")), EConvertError);
    EXPECT_EQ(S.Volume, Before.Volume);
    EXPECT_EQ(S.Width, Before.Width);
    EXPECT_EQ(S.kIndex, Before.kIndex);
    EXPECT_EQ(S.DuctAir.DryBulb, Before.DuctAir.DryBulb);
}

// What was typed reopens as typed: every value is written to its last bit.
TEST(DuctCalculationFile, WritesExactSiValuesAndReadsThemBack) {
    TTempDir Dir;
    const std::string Name = Dir / "Oravent.ini";
    DuctSheet S = SolvedDefaults();
    S.Diameter = 0.81996;
    S.Height = 12 * 0.0254; // 12 in
    S.Width = 12 * 0.0254;
    S.Volume = 5000 * 0.00047194744322560; // 5000 cfm
    S.PRate = 0.0125 / 0.01;               // any double
    S.Velocity = 9.4687;
    S.kIndex = 0;
    SetState(S.DuctAir, 101.325, 19.5, 13.372, 0);
    {
        TIniFile F(Name);
        WriteCalculation(F, S);
    }
    const std::string Text = GetFile(Name);
    for (const char* Line : {"[Settings]", "Barometer=101.325", "Temperature=19.5/13.372",
                             "kIndex=0", "Velocity=9.4687", "Diameter=0.81996"})
        EXPECT_NE(Text.find(Line), std::string::npos) << Line << "\n" << Text;

    DuctSheet R = SolvedDefaults();
    R.kIndex = 2;
    R.LastFlow0 = fqVelocity;
    EXPECT_TRUE(ReadCalculation(TMemIniFile(Name), R).empty());
    for (double TDuctSheetValues::*F :
         {&TDuctSheetValues::Barometer, &TDuctSheetValues::PRate, &TDuctSheetValues::Volume,
          &TDuctSheetValues::Velocity, &TDuctSheetValues::Diameter, &TDuctSheetValues::Height,
          &TDuctSheetValues::Width})
        EXPECT_EQ(R.*F, S.*F);
    EXPECT_EQ(R.DuctAir.WetBulb, S.DuctAir.WetBulb);
    EXPECT_EQ(R.kIndex, 0);
    EXPECT_DOUBLE_EQ(R.Roughness, R.RoughnessTable[0]);
    EXPECT_EQ(R.LastFlow0, fqVelocity); // groups are not in the file

    // Files written with three decimals read as before.
    PutFile(Dir / "old.ini", "[Settings]\nBarometer=101.325\nTemperature=19.5/13.4\nkIndex=3\n"
                             "PRate=1.000\nVolume=5.000\nVelocity=9.469\nDiameter=0.820\n"
                             "Height=0.550\nWidth=1.100\n");
    EXPECT_TRUE(ReadCalculation(TMemIniFile(Dir / "old.ini"), R).empty());
    EXPECT_EQ(R.Diameter, 0.82);
    EXPECT_EQ(R.Velocity, 9.469);
    EXPECT_EQ(AirStateToStr(R.DuctAir, "%0.1f"), "19.5/13.4");
}

TEST(DuctCalculationFile, MissingOrUnusableValuesTakeTheirDefaults) {
    TTempDir Dir;
    DuctSheet S = SolvedDefaults();
    S.Volume = 2;
    EXPECT_TRUE(ReadCalculation(TMemIniFile(Dir / "none.ini"), S).empty());
    EXPECT_EQ(S.Barometer, 101.325);
    EXPECT_DOUBLE_EQ(S.DuctAir.WetBulb, 13.37);
    EXPECT_EQ(S.kIndex, 3);
    EXPECT_EQ(S.Volume, 5.0);
    EXPECT_EQ(S.Velocity, 9.4);
    EXPECT_EQ(S.Width, 1.1);

    PutFile(Dir / "bad.ini", "[Settings]\nPRate=abc\nDiameter=-0.5\nHeight=nan\nkIndex=9\n"
                             "Barometer=500\nVolume=1e999\nWidth=0.4\n");
    const auto Replaced = ReadCalculation(TMemIniFile(Dir / "bad.ini"), S);
    EXPECT_EQ(S.PRate, 1.0);
    EXPECT_EQ(S.Diameter, 0.835);
    EXPECT_EQ(S.Height, 0.55);
    EXPECT_EQ(S.kIndex, 3);
    EXPECT_EQ(S.Barometer, 101.325);
    EXPECT_EQ(S.Volume, 5.0);
    EXPECT_EQ(S.Width, 0.4);
    EXPECT_EQ(Replaced.size(), 6u);
    EXPECT_EQ(Replaced.front(), "Barometer=500");

    // An unreadable temperature refuses the whole file.
    PutFile(Dir / "temp.ini", "[Settings]\nTemperature=warm\nVolume=3\n");
    EXPECT_THROW(ReadCalculation(TMemIniFile(Dir / "temp.ini"), S), EConvertError);
    EXPECT_EQ(S.Volume, 5.0);
}

// Saturated air just below the boiling point: its "%0.1f" text rounds to a
// wet bulb at or above the boiling point (or a humidity beyond any state),
// which the engine refuses. Both files must still open to the same air.
TEST(DuctFiles, AirNearTheBoilingPointOpensAgain) {
    struct TCase {
        double Barometer;
        const char* Temperature;
    };
    for (const TCase& C :
         {TCase{70.75, "90.15/90.15"}, TCase{71.5, "90.45/90.45"}, TCase{76.25, "92.15/92.15"}}) {
        SCOPED_TRACE(C.Temperature);
        DuctSheet S = SolvedDefaults();
        S.Barometer = C.Barometer;
        ASSERT_NO_THROW(StrToAirState(C.Temperature, S.DuctAir, S.Barometer, 0.5));
        TMemIniFile Calc("");
        WriteCalculation(Calc, S);
        DuctSheet R = SolvedDefaults();
        EXPECT_NO_THROW(ReadCalculation(Calc, R)) << Calc.ReadText("Settings", "Temperature", "");
        EXPECT_NEAR(R.DuctAir.DryBulb, S.DuctAir.DryBulb, 0.05);

        TTempDir Dir;
        const std::string Store = Dir / "registry.reg";
        {
            TRegistryIniFile W("Software\\Halvorn\\Oravent", Store);
            SaveDuctSettings(W, S, TDuctViewSettings());
        }
        DuctSheet L;
        L.ResetToDefaults();
        TDuctViewSettings V;
        LoadDuctSettings(TRegistryIniFile("Software\\Halvorn\\Oravent", Store), L, V);
        EXPECT_NEAR(L.DuctAir.DryBulb, S.DuctAir.DryBulb, 0.05); // not the default 13 °C
        EXPECT_NEAR(L.DuctAir.WetBulb, S.DuctAir.WetBulb, 0.05);
    }
}

TEST(DuctSettings, FirstStartAndImperialRoundTrip) {
    TTempDir Dir;
    const std::string Store = Dir / "registry.reg";
    DuctSheet S;
    S.ResetToDefaults();
    TDuctViewSettings V;
    LoadDuctSettings(TRegistryIniFile("Software\\Halvorn\\Oravent", Store), S, V);
    EXPECT_EQ(AirStateToStr(S.DuctAir, "%0.1f"), "13.0/12.0");
    EXPECT_EQ(S.kIndex, 3);
    EXPECT_EQ(S.Roughness, 0.0009);
    EXPECT_EQ(S.Velocity, 9.4);
    EXPECT_EQ(FlowGroupText(S) + SizeGroupText(S), "[Pressure, Flow][Diam, Height]");
    EXPECT_EQ(V.ColWidths[0] * 10000 + V.ColWidths[1] * 100 + V.ColWidths[2], 1137565);
    for (const TDuctRowDef& D : DuctRows)
        EXPECT_EQ(V.Units[static_cast<int>(D.Row)], D.Metric);

    for (const TDuctRowDef& D : DuctRows)
        V.Units[static_cast<int>(D.Row)] = D.Imperial;
    V.ColWidths[1] = 140;
    S.RoughnessTable[2] = 0.0002;
    S.LastFlow0 = fqVelocity;
    S.Diameter = 0.81996;
    {
        TRegistryIniFile W("Software\\Halvorn\\Oravent", Store);
        SaveDuctSettings(W, S, V);
    }
    const std::string Text = GetFile(Store);
    std::string Units;
    for (const char* K :
         {"Units1", "Units2", "Units4", "Units5", "Units6", "Units7", "Units8", "Units9"}) {
        const std::string Key = std::string("\"") + K + "\"=dword:";
        const std::size_t At = Text.find(Key);
        ASSERT_NE(At, std::string::npos) << K;
        Units += Text.substr(At + Key.size() + 7, 1); // last of eight hex digits
    }
    EXPECT_EQ(Units, "21241333");

    DuctSheet R;
    R.ResetToDefaults();
    TDuctViewSettings RV;
    LoadDuctSettings(TRegistryIniFile("Software\\Halvorn\\Oravent", Store), R, RV);
    EXPECT_EQ(R.Diameter, 0.81996); // doubles keep every bit
    EXPECT_EQ(R.RoughnessTable[2], 0.0002);
    EXPECT_EQ(R.LastFlow0, fqVelocity);
    EXPECT_EQ(RV.ColWidths[1], 140);
    EXPECT_EQ(RV.Units[5], 4);
}

TEST(DuctSettings, GarbageInTheStoreStartsSane) {
    TTempDir Dir;
    const std::string Store = Dir / "registry.reg";
    PutFile(Store, "Windows Registry Editor Version 5.00\r\n\r\n"
                   "[HKEY_CURRENT_USER\\Software\\Halvorn\\Oravent\\Settings]\r\n"
                   "\"Barometer\"=\"high\"\r\n"                   // wrong kind
                   "\"Diameter\"=hex:00,00,00,00,00,00,f8,7f\r\n" // NaN
                   "\"Height\"=hex:00,00,00,00,00,00,f0,7f\r\n"   // +inf
                   "\"Width\"=hex:01,02\r\n"                      // short
                   "\"Volume\"=hex:00,00,00,00,00,00,f0,c3\r\n"   // -2^64
                   "\"kIndex\"=dword:ffffffff\r\n"
                   "\"Temperature\"=\"\xff\xfe/\"\r\n"
                   "\"LastFlow0\"=dword:00000063\r\n"
                   "\"GridCol0\"=dword:fffffff6\r\n"
                   "\"GridCol1\"=dword:7fffffff\r\n"
                   "\"Units5\"=dword:00000063\r\n"
                   "\"kAverage\"=hex:00,00,00,00,00,00,f8,ff\r\n");
    DuctSheet S;
    S.ResetToDefaults();
    TDuctViewSettings V;
    LoadDuctSettings(TRegistryIniFile("Software\\Halvorn\\Oravent", Store), S, V);
    EXPECT_EQ(S.Barometer, 101.325);
    EXPECT_EQ(S.Diameter, 0.835);
    EXPECT_EQ(S.Height, 0.55);
    EXPECT_EQ(S.Width, 1.1);
    EXPECT_EQ(S.Volume, 5.0);
    EXPECT_EQ(S.kIndex, 3);
    EXPECT_EQ(S.RoughnessTable[2], 0.00015);
    EXPECT_EQ(AirStateToStr(S.DuctAir, "%0.1f"), "13.0/12.0");
    EXPECT_EQ(S.LastFlow0, fqPressure);
    EXPECT_EQ(V.ColWidths[0], 113);
    EXPECT_EQ(V.ColWidths[1], 75);
    EXPECT_EQ(V.Units[5], 0);
    EXPECT_TRUE(S.UpdateIntermediates());
    EXPECT_TRUE(S.SolveRectangle());
    EXPECT_TRUE(S.Iterate());
}

TEST(CompactAlign, FitsColumnsAndCapsTheHeight) {
    TCompactAlignInput In;
    In.TextWidths[0] = 120;
    In.TextWidths[1] = 20;
    In.TextWidths[2] = 40;
    In.FrameWidth = 8;
    In.FrameHeight = 50;
    In.Row0Height = 16;
    In.StatusBarHeight = 20;
    TCompactAlignResult R = CompactAlign(In);
    EXPECT_EQ(R.ColWidths[0], 130); // text + 10
    EXPECT_EQ(R.ColWidths[1], 75);  // at least 50 + 25
    EXPECT_EQ(R.ColWidths[2], 65);  // at least 50 + 15
    EXPECT_EQ(R.Width, 8 + 3 - 1 + 270);
    EXPECT_EQ(R.Height, -1 + 17 * 10 + 20 + 50);
    EXPECT_FALSE(R.HeightCapped);

    In.Row0Height = 40;
    In.SingleBorder = true;
    R = CompactAlign(In);
    EXPECT_EQ(R.Height, 400);
    EXPECT_EQ(R.Width, 8 + 3 + 3 + 270 + 19);
    EXPECT_TRUE(R.HeightCapped);
}

} // namespace
} // namespace oravent
