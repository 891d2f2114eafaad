// Fuzzes the standard sizes' settings as a user types them
// (duct/StandardSizeTable.h: ReadStandardSizeTexts) and the candidates they
// give for the worked example and for a sheet chosen by the input.
// Input: the seven field texts (four series, aspect limit, fixed height,
// velocity limit) separated by line feeds; metric units, or imperial when
// the input starts with "I".
// Checks besides "no crash": a text is read or refused with ESizeSeriesError
// only; read series rise and hold at most MaxSeriesLength sizes; the fields
// written back read to the same settings; every rectangle keeps the aspect
// limit and the fixed height, every candidate lies within the size rows'
// limits, and the batch choice is the lists' choice.
#include <stdexcept>
#include <vector>

#include "FuzzCheck.h"
#include "duct/StandardSizeTable.h"

using namespace oravent;
using oravent::fuzz::Num;
using oravent::fuzz::Shown;

namespace {

DuctSheet Sheet(double Volume, double PRate) {
    DuctSheet S;
    S.ResetToDefaults();
    S.SetAirOverride(1.2, 18.2e-6);
    S.UpdateIntermediates();
    S.EnterPRate(PRate);
    S.EnterVolume(Volume);
    S.Iterate();
    return S;
}

void CheckCandidates(const DuctSheet& S, const TStandardSizeSettings& Set, TSeriesSystem Sys,
                     const std::string& What) {
    const TSizeCandidates C = StandardSizeCandidates(S, Set, Sys);
    const TSizeChoice Fast = StandardSizeChoice(S, Set, Sys);
    for (const auto* List : {&C.Round, &C.Rectangular}) {
        for (const TSizeCandidate& X : *List) {
            for (double M : {X.Height, X.Width, X.Shape == TSizeShape::Round ? X.Diameter : 0.0})
                FUZZ_CHECK(M == 0 || (M >= 0.05 * (1 - 1e-9) && M <= 2.4 * (1 + 1e-9)),
                           What + ": size " + Num(M));
            if (X.Shape == TSizeShape::Rectangular) {
                FUZZ_CHECK(X.Aspect <= Set.AspectLimit * (1 + 1e-9),
                           What + ": aspect " + Num(X.Aspect));
                FUZZ_CHECK(Set.FixedHeight <= 0 || X.Height == Set.FixedHeight, What + ": height");
            }
        }
    }
    FUZZ_CHECK(Fast.Round.has_value() == (C.RoundChoice >= 0), What + ": round choice");
    if (Fast.Round) FUZZ_CHECK(Fast.Round->SameSize(C.Round[C.RoundChoice]), What + ": round");
    FUZZ_CHECK(Fast.Rectangular.has_value() == (C.RectangularChoice >= 0), What + ": rect choice");
    if (Fast.Rectangular)
        FUZZ_CHECK(Fast.Rectangular->SameSize(C.Rectangular[C.RectangularChoice]),
                   What + ": rectangle");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    const bool Imperial = !Bytes.empty() && Bytes[0] == 'I';
    const TSizeTableUnits U =
        SizeTableUnits(Imperial ? TUnitSystem::Imperial : TUnitSystem::Metric);
    std::vector<std::string> Fields;
    for (std::size_t From = 0; From <= Bytes.size();) {
        const std::size_t End = std::min(Bytes.find('\n', From), Bytes.size());
        Fields.emplace_back(Bytes.substr(From, End - From));
        From = End + 1;
    }
    Fields.resize(7);
    TStandardSizeTexts T;
    for (int I = 0; I < 4; ++I)
        T.Series[I] = Fields[I];
    T.AspectLimit = Fields[4];
    T.FixedHeight = Fields[5];
    T.VelocityLimit = Fields[6];
    const std::string What = "fields " + Shown(Bytes, 300);

    TStandardSizeSettings Set;
    try {
        Set = ReadStandardSizeTexts(T, U);
    } catch (const ESizeSeriesError&) {
        return 0;
    }
    for (const std::vector<double>* S : {&Set.Series.MetricRound, &Set.Series.MetricRect,
                                         &Set.Series.ImperialRound, &Set.Series.ImperialRect}) {
        FUZZ_CHECK(!S->empty() && S->size() <= MaxSeriesLength, What + ": length");
        for (std::size_t I = 1; I < S->size(); ++I)
            FUZZ_CHECK((*S)[I - 1] < (*S)[I], What + ": order");
    }
    const TStandardSizeSettings Again = ReadStandardSizeTexts(StandardSizeTexts(Set, U), U);
    FUZZ_CHECK(Again.Series == Set.Series && Again.AspectLimit == Set.AspectLimit, What + ": back");
    FUZZ_CHECK(std::fabs(Again.FixedHeight - Set.FixedHeight) <= 1e-9 * Set.FixedHeight,
               What + ": fixed height " + Num(Again.FixedHeight));
    FUZZ_CHECK(std::fabs(Again.VelocityLimit - Set.VelocityLimit) <= 1e-9 * Set.VelocityLimit,
               What + ": velocity limit " + Num(Again.VelocityLimit));

    const TSeriesSystem Sys = Imperial ? TSeriesSystem::Imperial : TSeriesSystem::Metric;
    CheckCandidates(Sheet(5, 1), Set, Sys, What);
    // A second sheet from the input's length: small and large flows.
    CheckCandidates(Sheet(0.02 + static_cast<double>(Size % 97) * 0.3, 0.2 + (Size % 13) * 0.3),
                    Set, Sys, What + " (second sheet)");
    return 0;
}
