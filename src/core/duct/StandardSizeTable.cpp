#include "duct/StandardSizeTable.h"

#include <cmath>

#include "units/NumberText.h"

namespace oravent {

namespace {

TRowConversion RowUnits(TDuctRow Row, int Shown) {
    return DuctRowConversion(DuctRowDef(Row), Shown);
}

TSizeTableUnits MakeUnits(TSeriesSystem System, int VolumeUnits, int VelocityUnits,
                          int PRateUnits) {
    TSizeTableUnits U;
    U.System = System;
    U.Size.Factor = 1.0 / SeriesUnitMetres(System);
    U.Size.Caption = SeriesUnitCaption(System);
    U.Size.FormatStr = System == TSeriesSystem::Metric ? "%0.0f" : "%0.1f";
    U.Volume = RowUnits(TDuctRow::Volume, VolumeUnits);
    U.Velocity = RowUnits(TDuctRow::Velocity, VelocityUnits);
    U.PRate = RowUnits(TDuctRow::PRate, PRateUnits);
    // Velocity pressure from Pa (unit 1 of the pressure list): Pa or InchWg.
    const int Shown = System == TSeriesSystem::Metric ? 1 : 5;
    TRowConversion& P = U.VelocityPressure;
    GetUnitsConversion(utAirPressDrop, Shown, 1, P.FormatStr, P.Offset, P.Factor, P.Caption);
    if (System == TSeriesSystem::Metric) P.FormatStr = "%0.1f";
    return U;
}

// A converted value without the conversion's last-digit noise (12, not
// 12.000000000000002); a value that rounding would change more stays whole.
std::string CleanText(double X) {
    const double R = std::round(X * 1e6) / 1e6;
    return ShortestRealText(std::fabs(R - X) <= 1e-9 * std::fabs(X) ? R : X);
}

// X to five significant digits, for a limit in a message: 0.19685, 19685.
std::string LimitText(double X) {
    if (!(X > 0)) return ShortestRealText(X);
    const int K = 4 - static_cast<int>(std::floor(std::log10(X)));
    const double P = std::pow(10.0, std::abs(K)); // exact for the exponents met here
    return ShortestRealText(K >= 0 ? std::round(X * P) / P : std::round(X / P) * P);
}

// A size as a series gives it (900, 12.5); a size of the other system's
// series (650 mm in inches) with the unit's usual decimals.
std::string SizeNumber(double Metres, const TSizeTableUnits& U) {
    const double X = U.Size.Shown(Metres);
    const double R = std::round(X * 1e3) / 1e3;
    return std::fabs(R - X) <= 1e-9 * std::fabs(X) ? ShortestRealText(R)
                                                   : FormatNumber(U.Size.FormatStr, X);
}

TSizeTableCell Cell(const TRowConversion& C, double Value) {
    const double Shown = C.Shown(Value);
    return {FormatNumber(C.FormatStr, Shown), Shown};
}

std::string WithUnit(std::string_view Caption, const TRowConversion& C) {
    return std::string(Caption) + " (" + C.Caption + ")";
}

double ReadNumber(const std::string& Text, const std::string& Message) {
    try {
        return StrToFloat(Text);
    } catch (const std::exception&) {
        throw ESizeSeriesError(Message);
    }
}

bool Blank(const std::string& Text) {
    return Text.find_first_not_of(" \t") == std::string::npos;
}

} // namespace

TSizeTableUnits SizeTableUnits(const TDuctViewSettings& View) {
    const int Diam = View.Units[static_cast<int>(TDuctRow::Diameter)];
    const std::string Caption = UnitsCaption(utLengthPrim, Diam);
    const bool Imperial = Caption == "inch" || Caption == "ft";
    return MakeUnits(Imperial ? TSeriesSystem::Imperial : TSeriesSystem::Metric,
                     View.Units[static_cast<int>(TDuctRow::Volume)],
                     View.Units[static_cast<int>(TDuctRow::Velocity)],
                     View.Units[static_cast<int>(TDuctRow::PRate)]);
}

TSizeTableUnits SizeTableUnits(TUnitSystem System) {
    const auto Choice = [&](TDuctRow R) { return UnitChoice(DuctRowDef(R), System); };
    return MakeUnits(System == TUnitSystem::Metric ? TSeriesSystem::Metric
                                                   : TSeriesSystem::Imperial,
                     Choice(TDuctRow::Volume), Choice(TDuctRow::Velocity), Choice(TDuctRow::PRate));
}

std::vector<std::string> SizeTableCaptions(TSizeShape Shape, const TSizeTableUnits& U) {
    std::vector<std::string> C;
    if (Shape == TSizeShape::Round) {
        C.push_back(WithUnit("Diameter", U.Size));
    } else {
        C.push_back(WithUnit("Height", U.Size));
        C.push_back(WithUnit("Width", U.Size));
        C.push_back("Aspect");
        C.push_back(WithUnit("Equivalent Diameter", U.Size));
    }
    C.push_back(WithUnit("Velocity", U.Velocity));
    C.push_back(WithUnit("Velocity Pressure", U.VelocityPressure));
    C.push_back(WithUnit("Pressure Rate", U.PRate));
    C.push_back("Fits");
    return C;
}

std::vector<TSizeTableCell> SizeTableCells(const TSizeCandidate& C, const TSizeTableUnits& U) {
    std::vector<TSizeTableCell> Cells;
    if (C.Shape == TSizeShape::Round) {
        Cells.push_back({SizeNumber(C.Diameter, U), U.Size.Shown(C.Diameter)});
    } else {
        Cells.push_back({SizeNumber(C.Height, U), U.Size.Shown(C.Height)});
        Cells.push_back({SizeNumber(C.Width, U), U.Size.Shown(C.Width)});
        Cells.push_back({FormatNumber("%0.2f", C.Aspect), C.Aspect});
        Cells.push_back(Cell(U.Size, C.Diameter));
    }
    if (C.Solved) {
        Cells.push_back(Cell(U.Velocity, C.Velocity));
        Cells.push_back(Cell(U.VelocityPressure, C.VelocityPressure));
        Cells.push_back(Cell(U.PRate, C.PRate));
    } else {
        for (int I = 0; I < 3; ++I)
            Cells.push_back({"", HUGE_VAL});
    }
    if (C.Chosen)
        Cells.push_back({"choice", 2});
    else if (C.Fits)
        Cells.push_back({"yes", 1});
    else
        Cells.push_back({C.Solved ? "no" : "not solved", C.Solved ? 0.0 : -1.0});
    return Cells;
}

std::string SizeText(const TSizeCandidate& C, const TSizeTableUnits& U) {
    const std::string Unit = " " + U.Size.Caption;
    if (C.Shape == TSizeShape::Round) return SizeNumber(C.Diameter, U) + Unit;
    return SizeNumber(C.Height, U) + " \u00d7 " + SizeNumber(C.Width, U) + Unit;
}

std::string SizeTableHeading(const DuctSheet& Sheet, const TSizeTableUnits& U) {
    if (!Sheet.Solved) return "The sheet is not solved: solve it and the standard sizes follow.";
    return FormatNumber(U.Volume.FormatStr, U.Volume.Shown(Sheet.Volume)) + " " + U.Volume.Caption +
           " at " + FormatNumber(U.PRate.FormatStr, U.PRate.Shown(Sheet.PRate)) + " " +
           U.PRate.Caption + ": solved diameter " +
           FormatNumber(U.Size.FormatStr, U.Size.Shown(Sheet.Diameter)) + " " + U.Size.Caption;
}

TStandardSizeTexts StandardSizeTexts(const TStandardSizeSettings& S, const TSizeTableUnits& U) {
    TStandardSizeTexts T;
    for (std::size_t I = 0; I < SeriesFields.size(); ++I)
        T.Series[I] = SizeSeriesText(S.Series.Of(SeriesFields[I].first, SeriesFields[I].second));
    T.AspectLimit = ShortestRealText(S.AspectLimit);
    if (S.FixedHeight > 0) T.FixedHeight = CleanText(U.Size.Shown(S.FixedHeight));
    if (S.VelocityLimit > 0) T.VelocityLimit = CleanText(U.Velocity.Shown(S.VelocityLimit));
    return T;
}

TStandardSizeSettings ReadStandardSizeTexts(const TStandardSizeTexts& T, const TSizeTableUnits& U) {
    TStandardSizeSettings S;
    for (std::size_t I = 0; I < SeriesFields.size(); ++I) {
        const auto [System, Shape] = SeriesFields[I];
        S.Series.Of(System, Shape) = ParseSizeSeries(T.Series[I], System, Shape);
    }
    const std::string Aspect = "The aspect ratio limit must be a number from 1 to " +
                               ShortestRealText(MaxAspectLimit) +
                               " (the longer side over the shorter).";
    S.AspectLimit = Blank(T.AspectLimit) ? 0 : ReadNumber(T.AspectLimit, Aspect);
    if (!(S.AspectLimit >= 1 && S.AspectLimit <= MaxAspectLimit)) throw ESizeSeriesError(Aspect);

    const TDuctRowDef& Row = DuctRowDef(TDuctRow::Height);
    const std::string Height = "The fixed height must be a size from " +
                               SizeNumber(Row.Lo / 1000, U) + " to " +
                               SizeNumber(Row.Hi / 1000, U) + " " + U.Size.Caption +
                               ", or empty for any height of the series.";
    if (!Blank(T.FixedHeight)) {
        S.FixedHeight = U.Size.Base(ReadNumber(T.FixedHeight, Height));
        if (!(S.FixedHeight >= Row.Lo / 1000 * (1 - 1e-9) &&
              S.FixedHeight <= Row.Hi / 1000 * (1 + 1e-9)))
            throw ESizeSeriesError(Height);
    }
    // The velocity row's limits.
    const TDuctRowDef& VRow = DuctRowDef(TDuctRow::Velocity);
    const std::string Velocity = "The velocity limit must be a number from " +
                                 LimitText(U.Velocity.Shown(VRow.Lo)) + " to " +
                                 LimitText(U.Velocity.Shown(VRow.Hi)) + " " + U.Velocity.Caption +
                                 ", or empty for no limit.";
    if (!Blank(T.VelocityLimit)) {
        S.VelocityLimit = U.Velocity.Base(ReadNumber(T.VelocityLimit, Velocity));
        if (!(S.VelocityLimit >= VRow.Lo * (1 - 1e-9) && S.VelocityLimit <= VRow.Hi * (1 + 1e-9)))
            throw ESizeSeriesError(Velocity);
    }
    return S;
}

std::vector<std::string> SelectedSizeLines(const TSizeCandidate& C, const TSizeTableUnits& U) {
    std::vector<std::string> L;
    const auto Line = [&](std::string_view Caption, const TRowConversion& Conv, double Value) {
        L.push_back(std::string(Caption) + '\t' + FormatNumber(Conv.FormatStr, Conv.Shown(Value)) +
                    '\t' + Conv.Caption);
    };
    if (C.Shape == TSizeShape::Round) {
        L.push_back("Round Duct\t" + SizeNumber(C.Diameter, U) + '\t' + U.Size.Caption);
    } else {
        L.push_back("Rectangular Duct\t" + SizeNumber(C.Height, U) + " \u00d7 " +
                    SizeNumber(C.Width, U) + '\t' + U.Size.Caption);
        L.push_back("Aspect Ratio\t" + FormatNumber("%0.2f", C.Aspect));
        Line("Equivalent Diameter", U.Size, C.Diameter);
    }
    Line("Duct Velocity", U.Velocity, C.Velocity);
    Line("Velocity Pressure", U.VelocityPressure, C.VelocityPressure);
    Line("Pressure Rate", U.PRate, C.PRate);
    return L;
}

} // namespace oravent
