// Fuzzes the number formatter (units/NumberText.h): FormatText with any
// format string and arguments, FormatValueText in every format mode, and
// the significant-digit helpers.
// Input: one byte of choices, the format string up to "\n", then the
// arguments (8 bytes a double, or the rest as a text).
// Checks besides "no crash": every failure is an EConvertError; the text
// stays within the width and precision limits; "%0.Nf", "%0.Ne" and "%0.Ng"
// write a number that reads back within half a unit of its last digit, with
// the exponent as "E", an optional "-" and at least three digits; a result
// that shows as zero has no sign; NaN and infinities are "NAN", "INF" and
// "-INF".
#include <algorithm>

#include "FuzzCheck.h"
#include "units/NumberText.h"

using namespace oravent;
using oravent::fuzz::Num;
using oravent::fuzz::Shown;

namespace {

// Checks the text of one number written with "%0.<Prec><Conv>".
void CheckPlainConversion(double V, int Prec, char Conv) {
    const std::string Fmt = "%0." + std::to_string(Prec) + Conv;
    const std::string T = FormatNumber(Fmt, V);
    const std::string What = Num(V) + " with " + Fmt + " gives " + Shown(T);
    if (std::isnan(V)) {
        FUZZ_CHECK(T == "NAN", What);
        return;
    }
    if (std::isinf(V)) {
        FUZZ_CHECK(T == (V < 0 ? "-INF" : "INF"), What);
        return;
    }
    double Back = 0;
    try {
        Back = StrToFloat(T);
    } catch (const EConvertError&) {
        // Rounding up the largest doubles may write a number beyond them.
        const bool Beyond = std::fabs(V) > 1e307 && T.find("E308") != std::string::npos;
        FUZZ_CHECK(Beyond, What + ", which does not read back");
        return;
    }
    if (Back == 0) FUZZ_CHECK(T.front() != '-', What + ": a zero with a sign");
    const std::size_t E = T.find('E');
    double HalfUnit;
    if (Conv == 'f') {
        FUZZ_CHECK(E == std::string::npos, What);
        HalfUnit = 0.5 * std::pow(10.0, -Prec);
    } else {
        const bool General = Conv == 'g';
        if (E != std::string::npos) {
            std::size_t I = E + 1;
            if (I < T.size() && T[I] == '-') ++I;
            FUZZ_CHECK(T.size() - I >= 3, What + ": fewer than three exponent digits");
            for (; I < T.size(); ++I)
                FUZZ_CHECK(T[I] >= '0' && T[I] <= '9', What + ": exponent");
        } else {
            FUZZ_CHECK(General || V == 0, What + ": no exponent");
        }
        // Significant digits: Prec after the first one ("e"), Prec in all ("g").
        const int Sig = General ? std::max(Prec, 1) : Prec + 1;
        const double Mag = V == 0 ? 0 : std::floor(std::log10(std::fabs(V)));
        HalfUnit = 0.5 * std::pow(10.0, Mag - Sig + 1) * 10; // a carry may add a digit
    }
    const double Tolerance = HalfUnit * (1 + 1e-9) + std::fabs(V) * 1e-15;
    FUZZ_CHECK(std::fabs(Back - V) <= Tolerance, What + " reads back as " + Num(Back));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    fuzz::TFuzzInput In(Data, Size);
    const std::uint8_t Choice = In.Byte();
    const std::string FormatStr(In.Until('\n'));
    const std::string_view ArgBytes = In.Rest();
    fuzz::TFuzzInput Args(reinterpret_cast<const std::uint8_t*>(ArgBytes.data()), ArgBytes.size());
    const double V1 = Args.Double();
    const double V2 = Args.Double();
    const std::string Text(Args.Rest());

    // Any format with up to three arguments of the kinds the choice names.
    auto Arg = [&](int K) -> TFormatArg {
        switch ((Choice >> (2 * K)) & 3) {
        case 0:
            return K == 0 ? V1 : V2;
        case 1:
            return static_cast<long long>(std::isfinite(V1) ? std::fmod(V1, 9.2e18) : 0);
        default:
            return Text;
        }
    };
    try {
        std::string T;
        switch (Choice >> 6) {
        case 0:
            T = FormatText(FormatStr, {});
            break;
        case 1:
            T = FormatText(FormatStr, {Arg(0)});
            break;
        case 2:
            T = FormatText(FormatStr, {Arg(0), Arg(1)});
            break;
        default:
            T = FormatText(FormatStr, {Arg(0), Arg(1), Arg(2)});
            break;
        }
        const std::size_t Bound =
            FormatStr.size() * (MaxFormatWidth + MaxFormatPrecision + 330) + Text.size() * 3;
        FUZZ_CHECK(T.size() <= Bound,
                   Shown(FormatStr) + " gives " + std::to_string(T.size()) + " characters");
    } catch (const EConvertError&) {
    }

    const auto Type = static_cast<TFormatType>(Choice & 3);
    const int SigDigs = static_cast<int>((Choice >> 2) & 15) - 2;
    const int Decimals = static_cast<int>(Choice >> 4) - 3;
    try {
        FormatValueText(V1, FormatStr, Type, SigDigs, Decimals);
    } catch (const EConvertError&) {
    }
    if (std::isfinite(V1)) {
        const int Max = static_cast<int>(Choice) - 100;
        const int D = DecimalsForSigDigs(SigDigs, Max, V1);
        FUZZ_CHECK(D >= 0 && D <= std::clamp(Max, 0, 100), std::to_string(D));
    }
    const int FD = FormatStrDecimals(FormatStr);
    FUZZ_CHECK(FD >= 0 && FD <= 9, std::to_string(FD));

    const int Prec = Choice % 21;
    CheckPlainConversion(V1, Prec, 'f');
    CheckPlainConversion(V2, Prec, 'e');
    CheckPlainConversion(V2, Prec, 'g');
    return 0;
}
