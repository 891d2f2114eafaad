#include "duct/DuctDocument.h"

#include <algorithm>
#include <cmath>

#include "psychro/AirStateText.h"
#include "units/NumberText.h"

namespace oravent {

namespace {

constexpr double MetresPerMillimetre = 0.001;

// A flow or size value: finite and greater than 0 (a duct of no size or a
// negative flow would otherwise come back as a solved sheet of nonsense).
double PositiveValue(const TDuctRowDef& D, const TFieldValue& Value) {
    const double V = ValueAsNumber(Value);
    if (!(V > 0) || !std::isfinite(V)) {
        throw EConvertError(std::string(DuctRowCaption(D)) + ": " + ValueAsText(Value) +
                            " must be greater than 0");
    }
    return V;
}

} // namespace

const TDuctRowDef* DuctRowDef(int Row) {
    return (Row >= 1 && Row <= DuctRowCount) ? &DuctRows[Row - 1] : nullptr;
}

std::optional<TDuctRow> DuctRowByQuantity(std::string_view Quantity) {
    for (const TDuctRowDef& D : DuctRows) {
        if (SameTextNoCase(D.Quantity, Quantity)) return D.Row;
    }
    return std::nullopt;
}

TDuctEditOutcome ApplyDuctValue(DuctSheet& Sheet, TDuctRow Row, const TFieldValue& Value) {
    const TDuctRowDef& D = DuctRowDef(Row);
    TDuctEditOutcome Outcome;
    switch (D.Op) {
    case TDuctOp::SetBarometer: {
        const double P = ValueAsNumber(Value);
        if (!std::isfinite(P)) throw EConvertError("Barometer: not a number");
        Sheet.SetBarometer(P);
        break;
    }
    case TDuctOp::SetAirState: {
        TAirStateRec State = Sheet.DuctAir;
        Outcome.TemperatureMoved = StrToAirState(ValueAsText(Value), State, Sheet.Barometer, 0.5);
        Sheet.SetAirState(State);
        break;
    }
    case TDuctOp::SetRoughnessIndex: {
        const long long K = ValueAsInteger(Value);
        if (K < 0 || K >= RoughnessCount) {
            throw EConvertError("Duct Roughness: " + std::to_string(K) + " is not one of 0..4");
        }
        Sheet.SetRoughnessIndex(static_cast<int>(K));
        break;
    }
    case TDuctOp::EnterPRate:
        Sheet.EnterPRate(PositiveValue(D, Value));
        break;
    case TDuctOp::EnterVolume:
        Sheet.EnterVolume(PositiveValue(D, Value));
        break;
    case TDuctOp::EnterVelocity:
        Sheet.EnterVelocity(PositiveValue(D, Value));
        break;
    case TDuctOp::EnterDiameter:
        Sheet.EnterDiameter(PositiveValue(D, Value) * MetresPerMillimetre);
        break;
    case TDuctOp::EnterHeight:
        Sheet.EnterHeight(PositiveValue(D, Value) * MetresPerMillimetre);
        break;
    case TDuctOp::EnterWidth:
        Sheet.EnterWidth(PositiveValue(D, Value) * MetresPerMillimetre);
        break;
    }
    return Outcome;
}

TDuctEditOutcome CommitDuctEdit(DuctSheet& Sheet, TDuctRow Row, const TFieldValue& Value) {
    const TDuctEditOutcome Outcome = ApplyDuctValue(Sheet, Row, Value);
    Sheet.Iterate();
    return Outcome;
}

namespace {

// The values a solve may change, with the quantities they are.
constexpr double TDuctSheetValues::*SolvedFields[] = {
    &TDuctSheetValues::PRate,    &TDuctSheetValues::Volume, &TDuctSheetValues::Velocity,
    &TDuctSheetValues::Diameter, &TDuctSheetValues::Height, &TDuctSheetValues::Width};

// Equal to within the iteration's own accuracy: it stops on the rate
// factor's tolerance, so a solve from a solved sheet moves the solved values
// by up to about 1e-6 of themselves.
bool Near(double A, double B) {
    return A == B || std::fabs(A - B) <= 1e-5 * std::max(std::fabs(A), std::fabs(B));
}

} // namespace

bool SettleDuctSheet(DuctSheet& Sheet) {
    DuctSheet Solved = Sheet;
    // The friction factor and the rate factor of the values as they are (the
    // window's activation computes them before any solve).
    Solved.UpdateIntermediates();
    Solved.SolveRectangle();
    Solved.Iterate();
    if (Solved.Failed()) {
        Sheet.Solved = false;
        return false;
    }
    bool Same = true;
    for (auto Field : SolvedFields)
        Same = Same && Near(Sheet.*Field, Solved.*Field);
    if (Same) {
        for (auto Field : SolvedFields)
            Solved.*Field = Sheet.*Field;
    }
    Sheet = Solved;
    return true;
}

bool SameDuctValues(const TDuctSheetValues& A, const TDuctSheetValues& B) {
    for (auto Field : SolvedFields) {
        if (!Near(A.*Field, B.*Field)) return false;
    }
    for (int K = 0; K < RoughnessCount; ++K) {
        if (!Near(A.RoughnessTable[K], B.RoughnessTable[K])) return false;
    }
    return Near(A.Barometer, B.Barometer) && Near(A.DuctAir.DryBulb, B.DuctAir.DryBulb) &&
           Near(A.DuctAir.WetBulb, B.DuctAir.WetBulb) && A.kIndex == B.kIndex &&
           A.LastFlow0 == B.LastFlow0 && A.LastFlow1 == B.LastFlow1 && A.LastSize0 == B.LastSize0 &&
           A.LastSize1 == B.LastSize1 && A.Solved == B.Solved;
}

std::vector<TDuctRow> KnownDuctRows(const TDuctSheetValues& Sheet) {
    const auto FlowKnown = [&](int Q) { return Sheet.LastFlow0 == Q || Sheet.LastFlow1 == Q; };
    const auto SizeKnown = [&](int S) { return Sheet.LastSize0 == S || Sheet.LastSize1 == S; };
    std::vector<TDuctRow> Rows;
    if (FlowKnown(fqPressure)) Rows.push_back(TDuctRow::PRate);
    if (FlowKnown(fqFlow)) Rows.push_back(TDuctRow::Volume);
    if (FlowKnown(fqVelocity)) Rows.push_back(TDuctRow::Velocity);
    if (FlowKnown(fqSize)) Rows.push_back(TDuctRow::Diameter);
    if (SizeKnown(sqHeight)) Rows.push_back(TDuctRow::Height);
    if (SizeKnown(sqWidth)) Rows.push_back(TDuctRow::Width);
    return Rows;
}

TFieldValue DuctRowValue(const DuctSheet& Sheet, TDuctRow Row) {
    switch (Row) {
    case TDuctRow::Barometer:
        return Sheet.Barometer;
    case TDuctRow::Temperature:
        return AirStateToStr(Sheet.DuctAir, "%0.1f");
    case TDuctRow::Roughness:
        return static_cast<long long>(Sheet.kIndex);
    case TDuctRow::PRate:
        return Sheet.PRate;
    case TDuctRow::Volume:
        return Sheet.Volume;
    case TDuctRow::Velocity:
        return Sheet.Velocity;
    case TDuctRow::Diameter:
        return Sheet.Diameter / MetresPerMillimetre;
    case TDuctRow::Height:
        return Sheet.Height / MetresPerMillimetre;
    case TDuctRow::Width:
        return Sheet.Width / MetresPerMillimetre;
    }
    return std::string{};
}

std::string_view SolvedText(bool Solved) {
    return Solved ? "Solved..." : "Not Solved";
}

namespace {

// "[A, B]", built by appending (GCC 12 warns falsely about "literal" +
// std::string at -O3).
std::string Bracketed(std::string_view A, std::string_view B) {
    std::string S(1, '[');
    S.append(A).append(", ").append(B).push_back(']');
    return S;
}

} // namespace

std::string FlowGroupText(const DuctSheet& Sheet) {
    return Bracketed(FlowQuantityName(Sheet.LastFlow0), FlowQuantityName(Sheet.LastFlow1));
}

std::string SizeGroupText(const DuctSheet& Sheet) {
    return Bracketed(SizeQuantityName(Sheet.LastSize0), SizeQuantityName(Sheet.LastSize1));
}

TRowConversion DuctRowConversion(const TDuctRowDef& D, int ShownIndex) {
    TRowConversion C;
    if (HasUnits(D)) {
        GetUnitsConversion(D.UnitsType, ShownIndex, D.UnitsBase, C.FormatStr, C.Offset, C.Factor,
                           C.Caption);
    }
    return C;
}

} // namespace oravent
