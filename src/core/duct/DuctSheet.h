// The duct sheet: one straight duct carrying air of a given state. From the
// two most recently entered quantities of the flow (pressure drop rate,
// volume flow, velocity, diameter) it finds the others with Darcy–Weisbach
// and a Colebrook friction factor; from the diameter and the most recently
// entered side of a rectangle it finds the other side (Huebscher). All
// values are in SI base units (kPa, °C, Pa/m, m³/s, m/s, m).
//
// Arithmetic failures: inside Iterate a failure ends the iteration at once
// (values assigned before it stay), Solved becomes false and Failed() is
// true; the window then shows NoSolutionMessage. A failure inside an edit
// operation (for example both sides of a rectangle that have no equivalent
// diameter) leaves the values assigned before it and is remembered: the next
// Iterate ends at once as failed. Root searches never fail (TRoot status 11);
// a side they leave that does not give the diameter is searched again by
// bracketing, which fails only when no rectangle has the diameter (a
// diameter that is not a positive number, or a side beyond a double's range).
#pragma once

#include <cstdint>
#include <string_view>

#include "duct/TRoot.h"
#include "psychro/Hygrocalc.h"

namespace oravent {

// The message the window shows when an iteration ends in an arithmetic failure.
inline constexpr std::string_view NoSolutionMessage = "No solution with the last values!";

// Quantity numbers of the flow group and of the size group.
enum : std::uint8_t { fqPressure = 0, fqFlow = 1, fqVelocity = 2, fqSize = 3 };
enum : std::uint8_t { sqDiam = 0, sqHeight = 1, sqWidth = 2 };

// "Pressure", "Flow", "Velocity", "Size"; "?" for another number.
std::string_view FlowQuantityName(int Q);
// "Diam", "Height", "Width"; "?" for another number.
std::string_view SizeQuantityName(int S);

inline constexpr int RoughnessCount = 5;
// "Smooth", "Medium Smooth", "Average", "Medium Rough", "Rough"; "" outside 0..4.
std::string_view RoughnessName(int K);
inline constexpr double DefaultRoughness[RoughnessCount] = {0.00003, 0.00009, 0.00015, 0.0009,
                                                            0.003};

// The values of the sheet. Kept apart from the operations so that a sheet can
// be copied and its root finder rebound to the copy.
struct TDuctSheetValues {
    double Barometer = 101.325; // kPa
    TAirStateRec DuctAir{};
    int kIndex = 2; // 0..4
    double RoughnessTable[RoughnessCount] = {0.00003, 0.00009, 0.00015, 0.0009, 0.003};
    double Roughness = 0.00015; // m
    double PRate = 1.0;         // Pa/m
    double Volume = 5.0;        // m³/s
    double Velocity = 0.0;      // m/s
    double Diameter = 0.835;    // m
    double Height = 0.55;       // m
    double Width = 1.1;         // m
    double Area = 0.0;          // m²
    double FrictionFactor = 0.015;
    double Reynolds = 0.0;
    double PRateFactor = 0.0; // kg/m³: PRate = PRateFactor·Volume²/Diameter⁵
    double FixedSide = 0.0;   // m
    std::uint8_t LastFlow0 = fqPressure, LastFlow1 = fqFlow;
    std::uint8_t LastSize0 = sqDiam, LastSize1 = sqHeight;
    bool Solved = false;
    // Passes run by the last Iterate (0 when it ended before the first pass).
    int Passes = 0;
};

class DuctSheet : public TDuctSheetValues {
public:
    // Creates the root finder; the values are those of the declarations
    // above until ResetToDefaults (which the owner calls) fills the air.
    DuctSheet();
    DuctSheet(const DuctSheet& Other);
    DuctSheet& operator=(const DuctSheet& Other);

    TRoot Root;

    // Edit operations, one per row of the main window. None iterates.
    // SetBarometer refills DuctAir at the new pressure through the engine;
    // when the engine refuses (EPsychroError) Barometer and DuctAir keep
    // their values and the error propagates.
    void SetBarometer(double P);
    void SetAirState(const TAirStateRec& State);
    // K outside 0..4 is ignored (the sheet keeps its category).
    void SetRoughnessIndex(int K);
    void EnterPRate(double V);
    void EnterVolume(double V);
    void EnterVelocity(double V);
    void EnterDiameter(double D);
    void EnterHeight(double H);
    void EnterWidth(double W);

    // Solves the sheet: at most 21 passes; returns Solved.
    bool Iterate();
    // Brings diameter, height and width into agreement. False when an
    // arithmetic failure stopped it (remembered for the next Iterate).
    bool SolveRectangle();
    // Area, Velocity, Reynolds, FrictionFactor, PRateFactor. False when an
    // arithmetic failure stopped it (remembered for the next Iterate).
    bool UpdateIntermediates();
    void ResetToDefaults();
    void SetRoughnessTable(const double (&Table)[RoughnessCount]);
    // kIndex forced into 0..4, then Roughness := RoughnessTable[kIndex]; for
    // loaders that set kIndex directly from stored values.
    void UpdateRoughness();

    void MarkFlow(int Q);
    void MarkSize(int S);
    bool IsFlowKnown(int Q) const { return Q == LastFlow0 || Q == LastFlow1; }
    bool IsSizeKnown(int S) const { return S == LastSize0 || S == LastSize1; }

    // Diameter − EquivalentDiameter(X, FixedSide); raises EMathError.
    double SideResidual(double X) const;

    // True when the last Iterate ended in an arithmetic failure.
    bool Failed() const { return FFailed; }
    // True when an edit operation met an arithmetic failure since the last Iterate.
    bool EditFailed() const { return FEditFailed; }

    // Replaces the engine's density (kg/m³) and viscosity (Pa·s) in every
    // state the sheet takes from now on (and in the current one); a value
    // that is not positive removes the replacement. For gases of known
    // properties and hand checks.
    void SetAirOverride(double Density, double Viscosity);

private:
    void BindRoot();
    void ApplyAirOverride();
    void UpdateIntermediatesOrFail();
    void SolveRectangleOrFail();
    void SolveFlowPair();
    void SolveHeight();
    void SolveWidth();
    bool SideGivesDiameter(double Side) const;
    double CheckedSide(double Side) const;
    void Guard(void (DuctSheet::*Op)());

    bool FFailed = false;
    bool FEditFailed = false;
    double FDensityOverride = 0.0;
    double FViscosityOverride = 0.0;
};

} // namespace oravent
