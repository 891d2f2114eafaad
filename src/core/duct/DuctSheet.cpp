#include "duct/DuctSheet.h"

#include <cmath>
#include <numbers>

#include "duct/DuctFriction.h"
#include "duct/DuctMath.h"

namespace oravent {

using namespace ductmath;

namespace {

constexpr double Pi = std::numbers::pi;
constexpr double PRateFactorTolerance = 1e-6;
constexpr int LastCountedPass = 20; // a pass with counter 20 ends the loop unsolved
// A rectangle side is taken when its equivalent diameter is this close
// (relative) to the sheet's diameter.
constexpr double SideTolerance = 1e-6;

} // namespace

std::string_view FlowQuantityName(int Q) {
    switch (Q) {
    case fqPressure:
        return "Pressure";
    case fqFlow:
        return "Flow";
    case fqVelocity:
        return "Velocity";
    case fqSize:
        return "Size";
    default:
        return "?";
    }
}

std::string_view SizeQuantityName(int S) {
    switch (S) {
    case sqDiam:
        return "Diam";
    case sqHeight:
        return "Height";
    case sqWidth:
        return "Width";
    default:
        return "?";
    }
}

std::string_view RoughnessName(int K) {
    static constexpr std::string_view Names[RoughnessCount] = {"Smooth", "Medium Smooth", "Average",
                                                               "Medium Rough", "Rough"};
    return (K >= 0 && K < RoughnessCount) ? Names[K] : std::string_view{};
}

DuctSheet::DuctSheet() : Root(nullptr) {
    BindRoot();
}

DuctSheet::DuctSheet(const DuctSheet& Other) : Root(nullptr) {
    *this = Other;
}

DuctSheet& DuctSheet::operator=(const DuctSheet& Other) {
    if (this != &Other) {
        TDuctSheetValues::operator=(Other);
        Root = Other.Root;
        FFailed = Other.FFailed;
        FEditFailed = Other.FEditFailed;
        FDensityOverride = Other.FDensityOverride;
        FViscosityOverride = Other.FViscosityOverride;
        BindRoot();
    }
    return *this;
}

void DuctSheet::BindRoot() {
    Root.Fn = [this](double X) { return SideResidual(X); };
}

// --- group bookkeeping --------------------------------------------------------

void DuctSheet::MarkFlow(int Q) {
    if (Q != LastFlow0) {
        LastFlow1 = LastFlow0;
        LastFlow0 = static_cast<std::uint8_t>(Q);
    }
}

void DuctSheet::MarkSize(int S) {
    if (S != LastSize0) {
        LastSize1 = LastSize0;
        LastSize0 = static_cast<std::uint8_t>(S);
    }
}

// --- failure bookkeeping ------------------------------------------------------

void DuctSheet::Guard(void (DuctSheet::*Op)()) {
    try {
        (this->*Op)();
    } catch (const EMathError&) {
        FEditFailed = true;
    }
}

// --- air ----------------------------------------------------------------------

void DuctSheet::SetAirOverride(double Density, double Viscosity) {
    FDensityOverride = Density > 0.0 ? Density : 0.0;
    FViscosityOverride = Viscosity > 0.0 ? Viscosity : 0.0;
    ApplyAirOverride();
}

void DuctSheet::ApplyAirOverride() {
    if (FDensityOverride > 0.0) DuctAir.Density = FDensityOverride;
    if (FViscosityOverride > 0.0) DuctAir.Viscosity = FViscosityOverride;
}

// --- edit operations ----------------------------------------------------------

void DuctSheet::SetBarometer(double P) {
    FEditFailed = false;
    TAirStateRec air = DuctAir;
    SetState(air, P, DuctAir.DryBulb, DuctAir.WetBulb, 0);
    Barometer = P;
    DuctAir = air;
    ApplyAirOverride();
    Guard(&DuctSheet::UpdateIntermediatesOrFail);
}

void DuctSheet::SetAirState(const TAirStateRec& State) {
    FEditFailed = false;
    DuctAir = State;
    ApplyAirOverride();
    Guard(&DuctSheet::UpdateIntermediatesOrFail);
}

void DuctSheet::SetRoughnessIndex(int K) {
    FEditFailed = false;
    if (K < 0 || K >= RoughnessCount) return;
    kIndex = K;
    Roughness = RoughnessTable[K];
    Guard(&DuctSheet::UpdateIntermediatesOrFail);
}

void DuctSheet::EnterPRate(double V) {
    FEditFailed = false;
    PRate = V;
    MarkFlow(fqPressure);
    if (!IsFlowKnown(fqSize)) MarkSize(sqDiam);
}

void DuctSheet::EnterVolume(double V) {
    FEditFailed = false;
    Volume = V;
    MarkFlow(fqFlow);
    if (!IsFlowKnown(fqSize)) MarkSize(sqDiam);
}

void DuctSheet::EnterVelocity(double V) {
    FEditFailed = false;
    Velocity = V;
    MarkFlow(fqVelocity);
    if (!IsFlowKnown(fqSize)) MarkSize(sqDiam);
}

void DuctSheet::EnterDiameter(double D) {
    FEditFailed = false;
    Diameter = D;
    MarkSize(sqDiam);
    Guard(&DuctSheet::SolveRectangleOrFail);
    MarkFlow(fqSize);
}

void DuctSheet::EnterHeight(double H) {
    FEditFailed = false;
    Height = H;
    MarkSize(sqHeight);
    Guard(&DuctSheet::SolveRectangleOrFail);
}

void DuctSheet::EnterWidth(double W) {
    FEditFailed = false;
    Width = W;
    MarkSize(sqWidth);
    Guard(&DuctSheet::SolveRectangleOrFail);
}

void DuctSheet::SetRoughnessTable(const double (&Table)[RoughnessCount]) {
    for (int i = 0; i < RoughnessCount; ++i)
        RoughnessTable[i] = Table[i];
    UpdateRoughness();
}

void DuctSheet::UpdateRoughness() {
    if (kIndex < 0) kIndex = 0;
    if (kIndex >= RoughnessCount) kIndex = RoughnessCount - 1;
    Roughness = RoughnessTable[kIndex];
}

void DuctSheet::ResetToDefaults() {
    for (int i = 0; i < RoughnessCount; ++i)
        RoughnessTable[i] = DefaultRoughness[i];
    FrictionFactor = 0.015;
    Barometer = 101.325;
    SetState(DuctAir, 101.325, 19.5, 13.37, 0);
    ApplyAirOverride();
    kIndex = 2;
    Roughness = RoughnessTable[2];
    PRate = 1.0;
    Volume = 5.0;
    Diameter = 0.835;
    Area = 0.835 * 0.835 * Pi / 4.0;
    Velocity = 5.0 / Area;
    Height = 0.55;
    Width = 1.1;
    LastFlow0 = fqPressure;
    LastFlow1 = fqFlow;
    LastSize0 = sqDiam;
    LastSize1 = sqHeight;
    FEditFailed = false;
}

// --- calculations -------------------------------------------------------------

double DuctSheet::SideResidual(double X) const {
    return Diameter - EquivalentDiameter(X, FixedSide);
}

bool DuctSheet::UpdateIntermediates() {
    FEditFailed = false;
    Guard(&DuctSheet::UpdateIntermediatesOrFail);
    return !FEditFailed;
}

bool DuctSheet::SolveRectangle() {
    FEditFailed = false;
    Guard(&DuctSheet::SolveRectangleOrFail);
    return !FEditFailed;
}

void DuctSheet::UpdateIntermediatesOrFail() {
    const double rho = DuctAir.Density;
    Area = Finite(Finite(Diameter * Diameter) * Pi * 0.25);
    Velocity = Div(Volume, Area);
    Reynolds = ReynoldsNumber(rho, Velocity, Diameter, DuctAir.Viscosity);
    FrictionFactor = DarcyFriction(Reynolds, Diameter, Roughness, FrictionFactor);
    PRateFactor = Finite(8.0 * rho * FrictionFactor / (Pi * Pi));
}

bool DuctSheet::SideGivesDiameter(double Side) const {
    if (!(Side > 0.0) || !std::isfinite(Side)) return false;
    try {
        return std::fabs(EquivalentDiameter(Side, FixedSide) - Diameter) <=
               SideTolerance * std::fabs(Diameter);
    } catch (const EMathError&) {
        return false;
    }
}

// The secant search can end flat (status 14 returns its start value), stall
// or land on a side of another diameter; the side it found is kept only when
// it gives the diameter, and is otherwise found by bracketing, which raises
// EMathError when no rectangle has the diameter.
double DuctSheet::CheckedSide(double Side) const {
    return SideGivesDiameter(Side) ? Side : RectangleSide(Diameter, FixedSide, Side);
}

// Status 11 means either that the start side already gives the diameter as
// a square (the result is the start) or that the search met an arithmetic
// failure (the result is 0). Only the first gives up the kept side for the
// diameter; after a failure the kept side is kept and the other one is
// found by bracketing (CheckedSide), since a rectangle with any positive
// side has every positive diameter.
void DuctSheet::SolveHeight() {
    FixedSide = Width;
    Height = Root.Solve(Width);
    if (Root.Status == TRoot::rsStartOrFail && Height == FixedSide) {
        Width = Diameter;
        FixedSide = Diameter;
        Height = Root.Solve(Diameter);
    }
    Height = CheckedSide(Height);
}

void DuctSheet::SolveWidth() {
    FixedSide = Height;
    Width = Root.Solve(Height);
    if (Root.Status == TRoot::rsStartOrFail && Width == FixedSide) {
        Height = Diameter;
        FixedSide = Diameter;
        Width = Root.Solve(Diameter);
    }
    Width = CheckedSide(Width);
}

void DuctSheet::SolveRectangleOrFail() {
    if (!IsSizeKnown(sqHeight)) {
        SolveHeight();
    } else if (IsSizeKnown(sqWidth)) {
        Diameter = EquivalentDiameter(Height, Width);
        MarkFlow(fqSize);
    } else {
        SolveWidth();
    }
}

void DuctSheet::SolveFlowPair() {
    const double rho = DuctAir.Density;
    const double f = FrictionFactor;
    const double K = PRateFactor;
    const bool pressure = IsFlowKnown(fqPressure);
    const bool flow = IsFlowKnown(fqFlow);
    const bool velocity = IsFlowKnown(fqVelocity);
    const bool size = IsFlowKnown(fqSize);
    // Velocity²·ρ·f/2: the dynamic-pressure term of Darcy–Weisbach per unit D.
    auto velocityTerm = [&] { return Finite(Finite(Velocity * Velocity) * (0.5 * rho * f)); };

    if (pressure && flow) {
        Diameter = Pow(Div(Finite(Volume * Volume) * K, PRate), 0.2);
        SolveRectangleOrFail();
    } else if (pressure && velocity) {
        Diameter = Div(velocityTerm(), PRate);
        Area = Finite(Finite(Diameter * Diameter) * Pi / 4.0);
        Volume = Finite(Velocity * Area);
        SolveRectangleOrFail();
    } else if (flow && velocity) {
        Area = Div(Volume, Velocity);
        Diameter = Sqrt(4.0 * Area / Pi);
        PRate = Div(velocityTerm(), Diameter);
        SolveRectangleOrFail();
    } else if (velocity && size) {
        PRate = Div(velocityTerm(), Diameter);
        Area = Finite(Finite(Diameter * Diameter) * Pi / 4.0);
        Volume = Finite(Velocity * Area);
    } else if (pressure && size) {
        const double d5 = Finite(std::pow(Diameter, 5.0));
        Volume = Sqrt(Div(Finite(d5 * PRate), K));
    } else if (flow && size) {
        const double d5 = Finite(std::pow(Diameter, 5.0));
        PRate = Div(Finite(Finite(Volume * Volume) * K), d5);
    }
}

bool DuctSheet::Iterate() {
    Solved = false;
    FFailed = false;
    Passes = 0;
    if (FEditFailed) {
        FEditFailed = false;
        FFailed = true;
        return false;
    }
    try {
        for (int n = 0;; ++n) {
            const double kOld = PRateFactor;
            ++Passes;
            SolveFlowPair();
            UpdateIntermediatesOrFail();
            const bool converged = std::fabs(PRateFactor - kOld) <= PRateFactorTolerance;
            if (n >= LastCountedPass) break;
            if (converged) {
                Solved = true;
                break;
            }
        }
    } catch (const EMathError&) {
        FFailed = true;
        Solved = false;
    }
    return Solved;
}

} // namespace oravent
