// The units catalogue: list sizes and index-0 units of every kind, shared
// lists, the conversions the windows rely on, clamping of bad indices, and
// the factors that are derived rather than written out.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>
#include <vector>

#include "units/NumberText.h"
#include "units/TxConv.h"

using namespace oravent;

namespace {

struct KindRow {
    TUnitsType Type;
    int Count;
    const char* Caption0;
    int ShareGroup; // kinds with the same non-zero group share one list
};

// Units column, index-0 caption and "same unit list as" of the catalogue.
const std::vector<KindRow> Kinds = {
    {utNone, 0, "", 0},
    {utAirFlowPrim, 5, "m³/s", 1},
    {utAirFlowSec, 5, "m³/s", 1},
    {utAirFlowSmall, 3, "l/s", 0},
    {utAirFlowRate, 5, "m³/s/m²", 0},
    {utAirPressDrop, 8, "kPa", 2},
    {utAltitude, 2, "m", 0},
    {utAngularSpeed, 3, "rpm", 0},
    {utArea, 5, "m²", 0},
    {utCondensateRate, 4, "g/s", 0},
    {utConductance, 4, "kW/°C", 0},
    {utConductivity, 4, "kW/m·K", 0},
    {utDensity, 3, "kg/m³", 0},
    {utDiameter, 5, "m", 0},
    {utDutyPrim, 5, "kW", 3},
    {utDutySec, 5, "kW", 3},
    {utDutyRate, 5, "W/m²", 0},
    {utEnergy, 5, "kJ", 0},
    {utEnergyPerVol, 3, "kW/cms", 0},
    {utEnthalpy, 2, "kJ/kg", 0},
    {utFinDensity, 4, "fpi", 0},
    {utHeatOfRespir, 3, "kJ/kg/day", 0},
    {utHeatTransCoeff, 2, "W/m²°C", 0},
    {utHumidity, 3, "kg/kg", 0},
    {utLengthBig, 2, "m", 0},
    {utLengthMeasure, 5, "m", 4},
    {utLengthPrim, 5, "m", 4},
    {utLengthSec, 5, "m", 4},
    {utLengthSmall, 3, "mm", 0},
    {utMass, 3, "kg", 0},
    {utMassSmall, 2, "g", 0},
    {utMassFlow, 6, "kg/s", 5},
    {utMassFlowGas, 6, "kg/s", 5},
    {utMassFlux, 6, "kg/m²s", 0},
    {utMetRate, 2, "W/P", 0},
    {utPeopleDensity, 2, "m²/P", 0},
    {utPower, 3, "kW", 0},
    {utPressure, 8, "kPa", 2},
    {utPressureBar, 6, "kPa", 0},
    {utPressureSteam, 8, "kPa", 2},
    {utPressureRateGas, 4, "Pa/m", 6},
    {utPressureRateLiquid, 4, "Pa/m", 6},
    {utProportion, 3, "", 0},
    {utRate, 3, "/sec", 0},
    {utSpecificHeat, 2, "kJ/kg·K", 0},
    {utSpecificVol, 2, "m³/kg", 0},
    {utTemperature, 3, "°C", 7},
    {utTemperatureChange, 3, "°C", 7},
    {utThermalCapacity, 2, "W-hr/m²°C", 0},
    {utThermalResist, 2, "m²°C/W", 0},
    {utTime, 3, "sec", 0},
    {utVelocity, 2, "m/s", 0},
    {utViscosity, 7, "kg/m·s", 0},
    {utVolume, 5, "m³", 0},
    {utVolumeFluid, 4, "kl", 0},
    {utWaterFlow, 6, "l/s", 0},
    {utWaterPressDrop, 8, "kPa", 2},
};

TEST(TxConvCatalogue, EveryKindHasItsUnitCountAndIndexZeroUnit) {
    ASSERT_EQ(Kinds.size(), static_cast<std::size_t>(UnitsTypeCount));
    for (std::size_t I = 0; I < Kinds.size(); ++I) {
        const KindRow& K = Kinds[I];
        SCOPED_TRACE("kind ordinal " + std::to_string(I));
        EXPECT_EQ(static_cast<std::size_t>(K.Type), I);
        EXPECT_EQ(UnitsCount(K.Type), K.Count);
        EXPECT_EQ(UnitsCaption(K.Type, 0), K.Caption0);
        if (K.Count == 0) continue;
        const TUnitEntry* E = UnitsEntry(K.Type, 0);
        ASSERT_NE(E, nullptr);
        EXPECT_EQ(E->Factor, 1.0);
        EXPECT_EQ(E->Offset, 0.0);
    }
}

TEST(TxConvCatalogue, SharedKindsShareOneListAndOthersDoNot) {
    for (const KindRow& A : Kinds) {
        for (const KindRow& B : Kinds) {
            if (A.Count == 0 || B.Count == 0 || A.Type == B.Type) continue;
            const bool Same = UnitsEntry(A.Type, 0) == UnitsEntry(B.Type, 0);
            const bool Expected = A.ShareGroup != 0 && A.ShareGroup == B.ShareGroup;
            EXPECT_EQ(Same, Expected) << int(A.Type) << " vs " << int(B.Type);
        }
    }
    // Shared lists give identical conversions for every index pair.
    for (int S = 0; S < 8; ++S) {
        for (int B = 0; B < 8; ++B) {
            std::string F1, C1, F2, C2;
            double O1 = 0, X1 = 1, O2 = 0, X2 = 1;
            GetUnitsConversion(utPressure, S, B, F1, O1, X1, C1);
            GetUnitsConversion(utWaterPressDrop, S, B, F2, O2, X2, C2);
            EXPECT_EQ(F1, F2);
            EXPECT_EQ(C1, C2);
            EXPECT_EQ(X1, X2);
            EXPECT_EQ(O1, O2);
        }
    }
}

// Every unit: a positive factor, a float format the formatter accepts, a
// caption that is unique within its kind, and a conversion that round-trips.
TEST(TxConvCatalogue, EveryUnitIsUsable) {
    for (const KindRow& K : Kinds) {
        std::set<std::string> Captions;
        for (int I = 0; I < K.Count; ++I) {
            SCOPED_TRACE(std::to_string(int(K.Type)) + "/" + std::to_string(I));
            const TUnitEntry* E = UnitsEntry(K.Type, I);
            ASSERT_NE(E, nullptr);
            EXPECT_GT(E->Factor, 0.0);
            EXPECT_TRUE(Captions.insert(E->Caption).second) << E->Caption;
            EXPECT_EQ(FormatKind(E->FormatStr), TFormatKind::Float) << E->FormatStr;
            EXPECT_NO_THROW(FormatNumber(E->FormatStr, 1.25));
            if (K.Type != utTemperature && K.Type != utTemperatureChange) {
                EXPECT_EQ(E->Offset, 0.0);
            }
            const double Shown = ConvertToUnits(12.5, E->Factor, E->Offset);
            EXPECT_NEAR(ConvertFromUnits(Shown, E->Factor, E->Offset), 12.5, 1e-12);
        }
    }
}

struct ConversionRow {
    const char* Name;
    TUnitsType Type;
    int Shown, Base;
    const char* Caption;
    const char* Format;
    double Factor, Offset;
};

class TxConvConversion : public ::testing::TestWithParam<ConversionRow> {};

TEST_P(TxConvConversion, GivesCaptionFormatFactorAndOffset) {
    const ConversionRow& R = GetParam();
    std::string Format, Caption;
    double Offset = -99, Factor = -99;
    GetUnitsConversion(R.Type, R.Shown, R.Base, Format, Offset, Factor, Caption);
    EXPECT_EQ(Caption, R.Caption);
    EXPECT_EQ(Format, R.Format);
    EXPECT_DOUBLE_EQ(Factor, R.Factor);
    EXPECT_DOUBLE_EQ(Offset, R.Offset);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TxConvConversion,
    ::testing::Values(
        ConversionRow{"Fahrenheit", utTemperature, 1, 0, "°F", "%0.1f", 1.8, 32},
        ConversionRow{"Kelvin", utTemperature, 2, 0, "K", "%0.2f", 1, 273.15},
        ConversionRow{"FahrenheitBaseToCelsius", utTemperature, 0, 1, "°C", "%0.1f", 1 / 1.8,
                      -32 / 1.8},
        ConversionRow{"KelvinBaseToFahrenheit", utTemperature, 1, 2, "°F", "%0.1f", 1.8,
                      32 - 273.15 * 1.8},
        ConversionRow{"ChangeFahrenheitBaseNoOffset", utTemperatureChange, 0, 1, "°C", "%0.1f",
                      1 / 1.8, 0},
        ConversionRow{"ChangeHasNoOffset", utTemperatureChange, 1, 0, "°F", "%0.1f", 1.8, 0},
        ConversionRow{"ChangeKelvinNoOffset", utTemperatureChange, 2, 0, "K", "%0.2f", 1, 0},
        ConversionRow{"MillimetreBaseToInch", utLengthPrim, 3, 2, "inch", "%0.2f",
                      0.03937007874015748, 0},
        ConversionRow{"Cfm", utAirFlowPrim, 4, 0, "cfm", "%0.2f", 2118.8800032893155, 0},
        ConversionRow{"InchWaterPer100Ft", utPressureRateGas, 2, 0, "iwg/100'", "%0.4f",
                      0.12236594555735139, 0},
        ConversionRow{"Percent", utProportion, 1, 0, "%", "%0.1f", 100, 0},
        ConversionRow{"ProportionEmptyCaption", utProportion, 0, 0, "", "%0.3f", 1, 0},
        ConversionRow{"EighthInch", utDiameter, 3, 0, "1/8\"", "%0.0f", 314.96062992125985, 0},
        ConversionRow{"Thou", utLengthSmall, 2, 0, "Thou\"", "%0.3f", 39.37007874015748, 0},
        ConversionRow{"MicroPascalSecond", utViscosity, 2, 0, "µPa·s", "%0.6g", 1e6, 0},
        ConversionRow{"BarometerInchHg", utPressureBar, 4, 0, "InchHg", "%0.4f", 0.295, 0},
        ConversionRow{"ShownIndexClamped", utAltitude, 9, 0, "ft", "%0.1f", 3.2808398950131235, 0},
        ConversionRow{"BaseIndexClamped", utAltitude, 0, -3, "m", "%0.1f", 1, 0},
        ConversionRow{"FpmFromMetresPerSecond", utVelocity, 1, 0, "fpm", "%0.1f", 196.8503937007874,
                      0}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(TxConvConversion, NoneKeepsTheCallersFactorAndOffset) {
    std::string Format = "x", Caption = "y";
    double Offset = 3, Factor = 7;
    GetUnitsConversion(utNone, 4, 2, Format, Offset, Factor, Caption);
    EXPECT_EQ(Caption, "");
    EXPECT_EQ(Format, "%0.1f");
    EXPECT_EQ(Factor, 7);
    EXPECT_EQ(Offset, 3);
}

// What a user sees: the stored value converted and written in the unit's
// own format.
TEST(TxConvConversion, StoredValuesShowAsExpected) {
    struct Row {
        TUnitsType Type;
        int Shown, Base;
        double Stored;
        const char* Text;
    };
    const Row Rows[] = {
        {utTemperature, 1, 0, 20, "68.0"},  {utTemperature, 2, 0, 0, "273.15"},
        {utTemperature, 0, 1, 68, "20.0"},  {utTemperature, 2, 1, 32, "273.15"},
        {utTemperature, 1, 1, 68, "68.0"},  {utTemperatureChange, 1, 0, 10, "18.0"},
        {utLengthPrim, 3, 2, 500, "19.69"}, {utAirFlowPrim, 4, 0, 1, "2118.88"},
        {utProportion, 1, 0, 0.5, "50.0"},  {utPressureBar, 1, 0, 101.325, "14.6959"},
        {utDiameter, 1, 0, 0.2506, "251"},
    };
    for (const Row& R : Rows) {
        std::string Format, Caption;
        double Offset = 0, Factor = 1;
        GetUnitsConversion(R.Type, R.Shown, R.Base, Format, Offset, Factor, Caption);
        EXPECT_EQ(FormatNumber(Format, ConvertToUnits(R.Stored, Factor, Offset)), R.Text)
            << Caption;
    }
    EXPECT_DOUBLE_EQ(ConvertToUnits(20, 1.8, 32), 68);
    EXPECT_DOUBLE_EQ(ConvertFromUnits(68, 1.8, 32), 20);
}

TEST(TxConvClamp, IndicesAreForcedIntoTheList) {
    struct Row {
        TUnitsType Type;
        int Index, Expected;
    };
    const Row Rows[] = {
        {utAltitude, 5, 1},       {utAltitude, -1, 0},      {utNone, 7, 7},
        {utNone, -7, -7},         {utViscosity, 6, 6},      {utViscosity, 7, 6},
        {utAltitude, INT_MIN, 0}, {utAltitude, INT_MAX, 1}, {utPressure, 3, 3},
    };
    for (const Row& R : Rows) {
        EXPECT_EQ(ClampUnitsIndex(R.Type, R.Index), R.Expected) << int(R.Type) << " " << R.Index;
    }
}

// A kind byte outside the enumeration (a corrupted file, a bad cast) reads
// nothing: it behaves as a kind without units.
TEST(TxConvClamp, KindOutsideTheEnumerationReadsNothing) {
    for (int Raw : {57, 58, 100, 255}) {
        const auto T = static_cast<TUnitsType>(Raw);
        EXPECT_EQ(UnitsCount(T), 0);
        EXPECT_EQ(UnitsEntry(T, 0), nullptr);
        EXPECT_EQ(UnitsCaption(T, 3), "");
        EXPECT_EQ(UnitsFormatStr(T, 3), "%0.1f");
        EXPECT_EQ(ClampUnitsIndex(T, 4), 4);
        std::string Format, Caption;
        double Offset = 5, Factor = 6;
        GetUnitsConversion(T, 1, 1, Format, Offset, Factor, Caption);
        EXPECT_EQ(Factor, 6);
        EXPECT_EQ(Offset, 5);
    }
    EXPECT_EQ(UnitsCaption(utViscosity, 99), "lbf·hr/ft²");
    EXPECT_EQ(UnitsFormatStr(utViscosity, -99), "%0.6g");
}

// The four factors computed from unit definitions, checked against values
// worked out independently (and against related units of the catalogue).
TEST(TxConvCatalogue, DerivedFactorsFollowTheUnitDefinitions) {
    struct Row {
        TUnitsType Type;
        int Index;
        const char* Caption;
        double Expected;
    };
    const Row Rows[] = {
        // 1 g/s in lb/hr: a thousandth of the kg/s -> lb/hr factor.
        {utCondensateRate, 3, "lb/hr", 7936.6414386555925 / 1000},
        // 1 W/m² in MBh/ft²: a thousandth of Btu/hr·ft².
        {utDutyRate, 3, "MBh/ft²", 0.31699828634688587 / 1000},
        // 1 W-hr/m²°C in Btu/ft²°F: 3.6 kJ / 1.055056 kJ/Btu * 0.09290304 / 1.8.
        {utThermalCapacity, 1, "Btu/ft²°F", 0.17611015908160327},
        // 1 kg/m·s in lbm/ft·s.
        {utViscosity, 4, "lbm/ft·s", 0.6719689751395068},
    };
    for (const Row& R : Rows) {
        const TUnitEntry* E = UnitsEntry(R.Type, R.Index);
        ASSERT_NE(E, nullptr);
        EXPECT_STREQ(E->Caption, R.Caption);
        EXPECT_NEAR(E->Factor / R.Expected, 1.0, 1e-9) << R.Caption;
    }
}

} // namespace
