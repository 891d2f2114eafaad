#include "duct/StandardSizes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <tuple>

#include "duct/DuctDocument.h"
#include "duct/DuctFriction.h"
#include "duct/DuctMath.h"
#include "units/NumberText.h"

namespace oravent {

namespace {

constexpr double Pi = std::numbers::pi;
// A candidate fits when its pressure rate (and velocity) is within the
// sheet's (the limit) to this share: the sheet's own iteration is accurate
// to about 1e-5, so a series size equal to the solved diameter fits.
constexpr double FitTolerance = 1e-6;
// Sizes below this share of the solved diameter give a pressure rate well
// above the sheet's and are not evaluated.
constexpr double ScreenShare = 1.0 - 1e-4;
// Largest size a series may hold, in its own unit.
constexpr double MaxSeriesSize = 1e5;

double RoundArea(double D) {
    return D * D * Pi * 0.25;
}

// Rectangles compare by area, then aspect ratio, then height.
std::tuple<double, double, double> RectangleOrder(double H, double W) {
    return {H * W, std::max(H, W) / std::min(H, W), H};
}

// The slice [From, To) of [First, Last) shown around a choice at index
// Choice: two below it and three above; without a choice the last three.
std::pair<std::size_t, std::size_t> Around(std::size_t First, std::size_t Last,
                                           std::optional<std::size_t> Choice) {
    if (!Choice) return {Last > First + 3 ? Last - 3 : First, Last};
    return {*Choice >= First + 2 ? *Choice - 2 : First, std::min(Last, *Choice + 4)};
}

std::vector<double> Steps(double From, double To, double Step) {
    std::vector<double> V;
    for (double X = From; X <= To + Step / 2; X += Step)
        V.push_back(X);
    return V;
}

TSizeSeriesSet MakeDefaults() {
    TSizeSeriesSet S;
    S.MetricRound = {63,  80,  100, 125, 150, 160, 200, 250,  300,  315,  355,  400, 450,
                     500, 560, 600, 630, 710, 800, 900, 1000, 1120, 1250, 1400, 1600};
    S.MetricRect = Steps(100, 2400, 50);
    S.ImperialRound = Steps(3, 24, 1);
    for (double X : Steps(26, 60, 2))
        S.ImperialRound.push_back(X);
    S.ImperialRect = Steps(4, 96, 2);
    return S;
}

// The sheet's size rows take lengths within these limits (m).
bool WithinSizeRows(double Metres) {
    const TDuctRowDef& Row = DuctRowDef(TDuctRow::Diameter);
    return Metres >= Row.Lo / 1000.0 * (1 - 1e-12) && Metres <= Row.Hi / 1000.0 * (1 + 1e-12);
}

// The sizes of a series in metres that the sheet's size rows take.
std::vector<double> UsableSizes(const std::vector<double>& Series, TSeriesSystem System) {
    std::vector<double> M;
    for (double X : Series) {
        const double D = SeriesMetres(X, System);
        if (WithinSizeRows(D)) M.push_back(D);
    }
    return M;
}

// The search shared by the lists and the choices: one working copy of the
// sheet, the fit test and the screens that pass over sizes too small to fit.
class TSizeSearch {
public:
    TSizeSearch(const DuctSheet& Sheet, const TStandardSizeSettings& Settings,
                const TSeriesMetres& Series)
        : FSheet(Sheet), FSettings(Settings), FRound(Series.Round), FSides(Series.Sides),
          FScreen(Sheet.Diameter * ScreenShare) {}

    const std::vector<double>& Round() const { return FRound; }
    const std::vector<double>& Sides() const { return FSides; }

    TSizeCandidate Evaluate(TSizeShape Shape, double H, double W) const {
        TSizeCandidate C =
            Shape == TSizeShape::Round ? EvaluateRound(FSheet, W) : EvaluateRectangle(FSheet, H, W);
        C.Fits = C.Solved && C.PRate <= FSheet.PRate * (1 + FitTolerance) &&
                 (FSettings.VelocityLimit <= 0 ||
                  C.Velocity <= FSettings.VelocityLimit * (1 + FitTolerance));
        return C;
    }
    TSizeCandidate Round(std::size_t I) const { return Evaluate(TSizeShape::Round, 0, FRound[I]); }

    // First round size that passes the screen.
    std::size_t FirstRound() const {
        return static_cast<std::size_t>(
            std::partition_point(
                FRound.begin(), FRound.end(),
                [&](double D) { return !(D >= FScreen && VelocityWithin(RoundArea(D))); }) -
            FRound.begin());
    }

    // The heights of the rectangles: the fixed one (when the rows accept
    // it) or every side.
    std::vector<double> Heights() const {
        if (FSettings.FixedHeight <= 0) return FSides;
        if (!WithinSizeRows(FSettings.FixedHeight)) return {};
        return {FSettings.FixedHeight};
    }
    bool FixedHeight() const { return FSettings.FixedHeight > 0; }

    // The widths [First, Last) a height may have: within the aspect limit,
    // not below the height unless it is fixed.
    std::pair<std::size_t, std::size_t> Widths(double H) const {
        const double A = FSettings.AspectLimit * (1 + 1e-12);
        const double Lo = FixedHeight() ? H / A : H * (1 - 1e-12);
        const auto First = std::lower_bound(FSides.begin(), FSides.end(), Lo);
        const auto Last = std::upper_bound(First, FSides.end(), H * A);
        return {static_cast<std::size_t>(First - FSides.begin()),
                static_cast<std::size_t>(Last - FSides.begin())};
    }
    // True when the first screened width of height H is H itself: taller
    // rectangles are all larger than this square.
    bool LastHeight(double H, std::size_t K) const {
        return !FixedHeight() && K < FSides.size() && FSides[K] == H;
    }
    // First width of the range that passes the screen (Last when none).
    // Passing, when below Last, is a width known to pass: the first of a
    // lower height (what passes for a height passes for a taller one).
    std::size_t FirstWidth(double H, std::size_t First, std::size_t Last,
                           std::size_t Passing = SIZE_MAX) const {
        if (First >= Last) return Last;
        std::size_t End = Last;
        if (Passing < Last) {
            if (Passing <= First) return First;
            End = Passing + 1;
        } else if (!PassesRectScreen(H, FSides[Last - 1])) {
            return Last;
        }
        return static_cast<std::size_t>(
            std::partition_point(FSides.begin() + static_cast<std::ptrdiff_t>(First),
                                 FSides.begin() + static_cast<std::ptrdiff_t>(End),
                                 [&](double W) { return !PassesRectScreen(H, W); }) -
            FSides.begin());
    }

private:
    bool VelocityWithin(double Area) const {
        return FSettings.VelocityLimit <= 0 ||
               FSheet.Volume / Area <= FSettings.VelocityLimit * (1 + FitTolerance);
    }
    bool PassesRectScreen(double H, double W) const {
        try {
            return EquivalentDiameter(H, W) >= FScreen && VelocityWithin(H * W);
        } catch (const EMathError&) {
            return false;
        }
    }

    const DuctSheet& FSheet;
    const TStandardSizeSettings& FSettings;
    const std::vector<double>& FRound;
    const std::vector<double>& FSides;
    double FScreen;
};

// A height's entry: its narrowest width from Start on that fits.
std::optional<std::pair<std::size_t, TSizeCandidate>>
FirstFit(const TSizeSearch& S, double H, std::size_t Start, std::size_t Last) {
    for (std::size_t K = Start; K < Last; ++K) {
        TSizeCandidate C = S.Evaluate(TSizeShape::Rectangular, H, S.Sides()[K]);
        if (C.Fits) return std::make_pair(K, C);
    }
    return std::nullopt;
}

bool SheetUsable(const DuctSheet& Sheet) {
    return Sheet.Solved && std::isfinite(Sheet.Diameter) && Sheet.Diameter > 0 &&
           std::isfinite(Sheet.Volume) && Sheet.Volume > 0 && std::isfinite(Sheet.PRate);
}

void MarkChoice(std::vector<TSizeCandidate>& List, const std::optional<TSizeCandidate>& Choice,
                int& Index) {
    Index = -1;
    if (!Choice) return;
    for (std::size_t I = 0; I < List.size(); ++I) {
        if (List[I].SameSize(*Choice)) {
            List[I].Chosen = true;
            Index = static_cast<int>(I);
        }
    }
}

} // namespace

// ---- Series -----------------------------------------------------------------------

std::vector<double>& TSizeSeriesSet::Of(TSeriesSystem System, TSizeShape Shape) {
    const bool Round = Shape == TSizeShape::Round;
    if (System == TSeriesSystem::Metric) return Round ? MetricRound : MetricRect;
    return Round ? ImperialRound : ImperialRect;
}

const std::vector<double>& TSizeSeriesSet::Of(TSeriesSystem System, TSizeShape Shape) const {
    return const_cast<TSizeSeriesSet*>(this)->Of(System, Shape);
}

const TSizeSeriesSet& DefaultSizeSeries() {
    static const TSizeSeriesSet Defaults = MakeDefaults();
    return Defaults;
}

double SeriesMetres(double Size, TSeriesSystem System) {
    return System == TSeriesSystem::Metric ? Size / 1000.0 : Size * 254.0 / 10000.0;
}

double SeriesUnitMetres(TSeriesSystem System) {
    return System == TSeriesSystem::Metric ? 0.001 : 0.0254;
}

std::string_view SeriesUnitCaption(TSeriesSystem System) {
    return System == TSeriesSystem::Metric ? "mm" : "in";
}

std::string SeriesName(TSeriesSystem System, TSizeShape Shape) {
    return std::string(System == TSeriesSystem::Metric ? "metric " : "imperial ") +
           (Shape == TSizeShape::Round ? "round" : "rectangular");
}

std::vector<double> ParseSizeSeries(std::string_view Text, TSeriesSystem System, TSizeShape Shape) {
    const std::string Name = "The " + SeriesName(System, Shape) + " series";
    const std::string Unit(SeriesUnitCaption(System));
    auto Fail = [&](const std::string& Why) { throw ESizeSeriesError(Name + Why); };
    std::vector<double> Sizes;
    std::size_t I = 0;
    while (I < Text.size()) {
        const auto Separator = [](char C) {
            return C == ' ' || C == '\t' || C == '\n' || C == '\r' || C == ',' || C == ';';
        };
        while (I < Text.size() && Separator(Text[I]))
            ++I;
        std::size_t J = I;
        while (J < Text.size() && !Separator(Text[J]))
            ++J;
        if (J == I) break;
        const std::string_view Word = Text.substr(I, J - I);
        const std::string Shown(Word.substr(0, 24));
        I = J;
        double X = 0;
        try {
            X = StrToFloat(Word);
        } catch (const std::exception&) {
            Fail(" holds '" + Shown + "', which is not a size in " + Unit + ".");
        }
        if (!(X > 0)) Fail(" holds " + Shown + ": sizes must be greater than 0.");
        if (X > MaxSeriesSize) Fail(" holds " + Shown + ", which is too large for a duct.");
        if (!Sizes.empty() && X == Sizes.back()) Fail(" holds " + Shown + " twice.");
        if (!Sizes.empty() && X < Sizes.back())
            Fail(" must rise from the smallest size: " + Shown + " comes after " +
                 ShortestRealText(Sizes.back()) + ".");
        if (Sizes.size() == MaxSeriesLength)
            Fail(" holds more than " + std::to_string(MaxSeriesLength) + " sizes.");
        Sizes.push_back(X);
    }
    if (Sizes.empty())
        Fail(" is empty: type its sizes in " + Unit + ", smallest first, for example " +
             (System == TSeriesSystem::Metric ? "100 125 160." : "4 6 8."));
    return Sizes;
}

std::string SizeSeriesText(const std::vector<double>& Sizes) {
    std::string T;
    for (double X : Sizes) {
        if (!T.empty()) T += ' ';
        T += ShortestRealText(X);
    }
    return T;
}

// ---- Settings ---------------------------------------------------------------------

namespace {

constexpr std::string_view SeriesKeys[4] = {"MetricRound", "MetricRect", "ImperialRound",
                                            "ImperialRect"};
constexpr std::pair<TSeriesSystem, TSizeShape> SeriesOfKey[4] = {
    {TSeriesSystem::Metric, TSizeShape::Round},
    {TSeriesSystem::Metric, TSizeShape::Rectangular},
    {TSeriesSystem::Imperial, TSizeShape::Round},
    {TSeriesSystem::Imperial, TSizeShape::Rectangular}};

// A stored number within [Lo, Hi] replaces Value; anything else keeps it.
void ReadLimit(const TCustomIniFile& Store, std::string_view Key, double Lo, double Hi,
               double& Value) {
    try {
        const std::string Text = Store.ReadText(StandardSizesSection, Key, "");
        if (Text.empty()) return;
        const double X = StrToFloat(Text);
        if (X >= Lo && X <= Hi) Value = X;
    } catch (const std::exception&) {
        // kept
    }
}

} // namespace

void LoadStandardSizeSettings(const TCustomIniFile& Store, TStandardSizeSettings& Settings) {
    for (int K = 0; K < 4; ++K) {
        try {
            const std::string Text = Store.ReadText(StandardSizesSection, SeriesKeys[K], "");
            if (Text.empty()) continue;
            const auto [System, Shape] = SeriesOfKey[K];
            Settings.Series.Of(System, Shape) = ParseSizeSeries(Text, System, Shape);
        } catch (const std::exception&) {
            // A stored series that cannot be used keeps the current one.
        }
    }
    ReadLimit(Store, "AspectLimit", 1.0, MaxAspectLimit, Settings.AspectLimit);
    double Height = Settings.FixedHeight;
    ReadLimit(Store, "FixedHeight", 0.0, 10.0, Height);
    if (Height == 0 || WithinSizeRows(Height)) Settings.FixedHeight = Height;
    ReadLimit(Store, "VelocityLimit", 0.0, DuctRowDef(TDuctRow::Velocity).Hi,
              Settings.VelocityLimit);
}

void SaveStandardSizeSettings(TCustomIniFile& Store, const TStandardSizeSettings& Settings) {
    for (int K = 0; K < 4; ++K) {
        const auto [System, Shape] = SeriesOfKey[K];
        Store.WriteText(StandardSizesSection, SeriesKeys[K],
                        SizeSeriesText(Settings.Series.Of(System, Shape)));
    }
    Store.WriteText(StandardSizesSection, "AspectLimit", ShortestRealText(Settings.AspectLimit));
    Store.WriteText(StandardSizesSection, "FixedHeight", ShortestRealText(Settings.FixedHeight));
    Store.WriteText(StandardSizesSection, "VelocityLimit",
                    ShortestRealText(Settings.VelocityLimit));
}

// ---- Candidates -------------------------------------------------------------------

double TSizeCandidate::Area() const {
    return Shape == TSizeShape::Round ? RoundArea(Diameter) : Height * Width;
}

bool TSizeCandidate::SameSize(const TSizeCandidate& Other) const {
    if (Shape != Other.Shape) return false;
    return Shape == TSizeShape::Round ? Diameter == Other.Diameter
                                      : Height == Other.Height && Width == Other.Width;
}

namespace {

// The sheet solved at diameter D with the volume flow and the size known,
// as entering the flow and then the size leaves it.
TSizeCandidate Solved(const DuctSheet& Sheet, double D, TSizeCandidate C) {
    DuctSheet Work = Sheet;
    Work.Diameter = D;
    Work.LastFlow0 = fqSize;
    Work.LastFlow1 = fqFlow;
    C.Diameter = D;
    C.Solved = Work.Iterate();
    if (!C.Solved) return C;
    C.PRate = Work.PRate;
    C.Velocity = C.Shape == TSizeShape::Round ? Work.Velocity : Work.Volume / (C.Height * C.Width);
    C.VelocityPressure = 0.5 * Work.DuctAir.Density * C.Velocity * C.Velocity;
    return C;
}

} // namespace

TSizeCandidate EvaluateRound(const DuctSheet& Sheet, double Diameter) {
    return Solved(Sheet, Diameter, TSizeCandidate{});
}

TSizeCandidate EvaluateRectangle(const DuctSheet& Sheet, double Height, double Width) {
    TSizeCandidate C;
    C.Shape = TSizeShape::Rectangular;
    C.Height = Height;
    C.Width = Width;
    C.Aspect = std::max(Height, Width) / std::min(Height, Width);
    try {
        return Solved(Sheet, EquivalentDiameter(Height, Width), C);
    } catch (const EMathError&) {
        return C; // not solved
    }
}

TSeriesMetres::TSeriesMetres(const TStandardSizeSettings& Settings, TSeriesSystem System)
    : Round(UsableSizes(Settings.Series.Of(System, TSizeShape::Round), System)),
      Sides(UsableSizes(Settings.Series.Of(System, TSizeShape::Rectangular), System)) {}

TSizeChoice StandardSizeChoice(const DuctSheet& Sheet, const TStandardSizeSettings& Settings,
                               TSeriesSystem System) {
    return StandardSizeChoice(Sheet, Settings, TSeriesMetres(Settings, System));
}

TSizeChoice StandardSizeChoice(const DuctSheet& Sheet, const TStandardSizeSettings& Settings,
                               const TSeriesMetres& Series) {
    TSizeChoice Choice;
    if (!SheetUsable(Sheet)) return Choice;
    const TSizeSearch S(Sheet, Settings, Series);
    for (std::size_t I = S.FirstRound(); I < S.Round().size(); ++I) {
        TSizeCandidate C = S.Round(I);
        if (C.Fits) {
            C.Chosen = true;
            Choice.Round = C;
            break;
        }
    }
    // Every height's narrowest screened width, smallest rectangle first; a
    // rectangle that does not fit gives way to the next width of its height.
    struct TOpen {
        double H;
        std::size_t K, Last; // width index and the end of the height's widths
    };
    std::vector<TOpen> Open;
    std::size_t Passing = SIZE_MAX;
    for (double H : S.Heights()) {
        const auto [First, Last] = S.Widths(H);
        const std::size_t K = S.FirstWidth(H, First, Last, Passing);
        if (K >= Last) continue;
        Passing = K;
        Open.push_back({H, K, Last});
        if (S.LastHeight(H, K)) break;
    }
    const auto Larger = [&](const TOpen& A, const TOpen& B) {
        return RectangleOrder(A.H, S.Sides()[A.K]) > RectangleOrder(B.H, S.Sides()[B.K]);
    };
    std::make_heap(Open.begin(), Open.end(), Larger);
    while (!Open.empty()) {
        std::pop_heap(Open.begin(), Open.end(), Larger);
        TOpen Next = Open.back();
        Open.pop_back();
        TSizeCandidate C = S.Evaluate(TSizeShape::Rectangular, Next.H, S.Sides()[Next.K]);
        if (C.Fits) {
            C.Chosen = true;
            Choice.Rectangular = C;
            break;
        }
        if (++Next.K < Next.Last) {
            Open.push_back(Next);
            std::push_heap(Open.begin(), Open.end(), Larger);
        }
    }
    return Choice;
}

TSizeCandidates StandardSizeCandidates(const DuctSheet& Sheet,
                                       const TStandardSizeSettings& Settings,
                                       TSeriesSystem System) {
    TSizeCandidates R;
    R.System = System;
    if (!SheetUsable(Sheet)) {
        R.Message = "The sheet is not solved: solve it and the standard sizes follow.";
        return R;
    }
    const TSeriesMetres Series(Settings, System);
    const TSizeSearch S(Sheet, Settings, Series);
    const TSizeChoice Choice = StandardSizeChoice(Sheet, Settings, Series);

    // Round: two sizes below the choice and three above, or the largest.
    std::optional<std::size_t> At;
    if (Choice.Round)
        At = static_cast<std::size_t>(
            std::lower_bound(S.Round().begin(), S.Round().end(), Choice.Round->Diameter) -
            S.Round().begin());
    const auto [From, To] = Around(0, S.Round().size(), At);
    for (std::size_t I = From; I < To; ++I)
        R.Round.push_back(S.Round(I));
    MarkChoice(R.Round, Choice.Round, R.RoundChoice);

    // Rectangular: each height's narrowest fitting width; with a fixed
    // height its neighbours too.
    std::size_t Passing = SIZE_MAX;
    for (double H : S.Heights()) {
        const auto [First, Last] = S.Widths(H);
        const std::size_t K = S.FirstWidth(H, First, Last, Passing);
        if (K < Last) Passing = K;
        const auto Fit = FirstFit(S, H, K, Last);
        if (!S.FixedHeight()) {
            if (Fit) R.Rectangular.push_back(Fit->second);
            if (S.LastHeight(H, K)) break;
            continue;
        }
        const auto [A, B] =
            Around(First, Last, Fit ? std::optional<std::size_t>(Fit->first) : std::nullopt);
        for (std::size_t W = A; W < B; ++W)
            R.Rectangular.push_back(S.Evaluate(TSizeShape::Rectangular, H, S.Sides()[W]));
    }
    MarkChoice(R.Rectangular, Choice.Rectangular, R.RectangularChoice);

    if (R.RoundChoice < 0) R.Message = "No round size of the series fits.";
    if (R.RectangularChoice < 0) {
        if (!R.Message.empty()) R.Message += ' ';
        R.Message += Settings.FixedHeight > 0 && S.Heights().empty()
                         ? "The fixed height is outside the sizes the sheet takes."
                         : "No rectangle of the series fits within the aspect ratio limit.";
    }
    return R;
}

std::optional<TSizeCandidate> SheetAtSize(const DuctSheet& Sheet, const TSizeCandidate& Size) {
    if (!SheetUsable(Sheet)) return std::nullopt;
    const auto Same = [](double A, double B) { return std::fabs(A - B) <= 1e-9 * std::fabs(B); };
    TSizeCandidate C = Size;
    if (Size.Shape == TSizeShape::Round) {
        if (!Same(Sheet.Diameter, Size.Diameter)) return std::nullopt;
        C.Velocity = Sheet.Velocity;
    } else {
        if (!Same(Sheet.Height, Size.Height) || !Same(Sheet.Width, Size.Width)) return std::nullopt;
        C.Velocity = Sheet.Volume / (Sheet.Height * Sheet.Width);
    }
    C.Diameter = Sheet.Diameter;
    C.PRate = Sheet.PRate;
    C.VelocityPressure = 0.5 * Sheet.DuctAir.Density * C.Velocity * C.Velocity;
    C.Solved = true;
    C.Chosen = true;
    return C;
}

} // namespace oravent
