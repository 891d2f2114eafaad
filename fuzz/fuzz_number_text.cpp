// Fuzzes the reading of typed numbers (units/NumberText.h): StrToFloat,
// CleanNumberText, ParseNumberPair, ParseValueText and GetDelimitedToken.
// Input: one byte of choices, a format string up to "\n", then the text.
// Checks besides "no crash": every failure is an EConvertError; StrToFloat
// accepts exactly its grammar and gives the correctly rounded double (zero
// for one too small, an error for one too large); a finite double written
// at 18 significant digits ("%0.17e") reads back as the same double; a
// whole-number format reads a whole number; a token holds no delimiter.
#include <cfloat>
#include <cstdlib>

#include <algorithm>

#include "FuzzCheck.h"
#include "units/NumberText.h"

using namespace oravent;
using oravent::fuzz::Num;
using oravent::fuzz::Shown;

namespace {

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

std::string_view Trimmed(std::string_view T) {
    while (!T.empty() && IsBlank(T.front()))
        T.remove_prefix(1);
    while (!T.empty() && IsBlank(T.back()))
        T.remove_suffix(1);
    return T;
}

// The correctly rounded double of a number text (C library, "C" locale).
double Reference(std::string_view Text) {
    return std::strtod(std::string(Trimmed(Text)).c_str(), nullptr);
}

// The grammar StrToFloat promises, written out on its own.
bool MatchesNumberGrammar(std::string_view T) {
    T = Trimmed(T);
    std::size_t I = 0;
    if (I < T.size() && (T[I] == '+' || T[I] == '-')) ++I;
    std::size_t Digits = 0;
    bool Point = false;
    for (; I < T.size(); ++I) {
        if (T[I] >= '0' && T[I] <= '9')
            ++Digits;
        else if (T[I] == '.' && !Point)
            Point = true;
        else
            break;
    }
    if (Digits == 0) return false;
    if (I < T.size() && (T[I] == 'e' || T[I] == 'E')) {
        ++I;
        if (I < T.size() && (T[I] == '+' || T[I] == '-')) ++I;
        const std::size_t Start = I;
        while (I < T.size() && T[I] >= '0' && T[I] <= '9')
            ++I;
        if (I == Start) return false;
    }
    return I == T.size();
}

void CheckStrToFloat(std::string_view Text) {
    const bool Grammar = MatchesNumberGrammar(Text);
    double V = 0;
    try {
        V = StrToFloat(Text);
    } catch (const EConvertError&) {
        if (!Grammar) return;
        // A number of the grammar may only fail for being too large.
        const double Ref = Reference(Text);
        FUZZ_CHECK(std::isinf(Ref), Shown(Text) + " refused, but it reads as " + Num(Ref));
        return;
    }
    FUZZ_CHECK(Grammar, Shown(Text) + " is not a number but reads as " + Num(V));
    FUZZ_CHECK(std::isfinite(V), Shown(Text) + " reads as " + Num(V));
    const double Ref = Reference(Text);
    const bool TooSmall = std::fabs(Ref) < DBL_MIN && V == 0;
    FUZZ_CHECK(V == Ref || TooSmall,
               Shown(Text) + " reads as " + Num(V) + ", correctly rounded " + Num(Ref));
}

void CheckRoundTrip(double V) {
    if (!std::isfinite(V)) return;
    const std::string T = FormatNumber("%0.17e", V);
    double Back = 0;
    try {
        Back = StrToFloat(T);
    } catch (const EConvertError& E) {
        FUZZ_CHECK(false, Num(V) + " written as " + Shown(T) + " does not read: " + E.what());
    }
    FUZZ_CHECK(Back == V, Num(V) + " written as " + Shown(T) + " reads back as " + Num(Back));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    fuzz::TFuzzInput In(Data, Size);
    const std::uint8_t Choice = In.Byte();
    const std::string FormatStr(In.Until('\n'));
    const std::string_view Text = In.Rest();

    CheckStrToFloat(Text);
    try {
        CheckRoundTrip(StrToFloat(Text));
    } catch (const EConvertError&) {
    }
    if (Text.size() >= 8) {
        double V;
        std::memcpy(&V, Text.data(), sizeof V);
        CheckRoundTrip(V);
    }

    try {
        const std::string Clean = CleanNumberText(Text);
        // The clean-up keeps at most one "/": a pair or a single number.
        FUZZ_CHECK(Clean.find('/') == Clean.rfind('/'), Shown(Clean));
        CheckStrToFloat(Clean);
    } catch (const EConvertError&) {
    }

    try {
        double First = 0, Second = 0;
        const bool Pair = ParseNumberPair(Text, First, Second);
        // A pair has a number after its "/"; "20/" is the first number alone.
        const std::size_t Slash = Text.find('/');
        const std::string_view After =
            Slash == std::string_view::npos ? std::string_view{} : Text.substr(Slash + 1);
        const bool Blank = std::all_of(After.begin(), After.end(),
                                       [](char C) { return static_cast<unsigned char>(C) <= ' '; });
        FUZZ_CHECK(Pair == !Blank, Shown(Text));
        FUZZ_CHECK(std::isfinite(First) && std::isfinite(Second), Shown(Text));
        if (!Pair)
            FUZZ_CHECK(Second == 0 && First == StrToFloat(Text.substr(0, Slash)), Shown(Text));
    } catch (const EConvertError&) {
    }

    try {
        const double Factor = (Choice & 1) ? 1.8 : 1.0, Offset = (Choice & 2) ? 32.0 : 0.0;
        const TParsedValue P = ParseValueText(Text, FormatStr, Factor, Offset);
        if (const double* D = std::get_if<double>(&P)) {
            FUZZ_CHECK(std::isfinite(*D), Shown(Text) + " with " + Shown(FormatStr));
            if (FormatKind(FormatStr) == TFormatKind::Whole)
                FUZZ_CHECK(std::nearbyint(*D) == *D, Shown(Text) + " gives " + Num(*D));
        }
    } catch (const EConvertError&) {
    }

    const int Count = static_cast<int>(Choice >> 2) - 4;
    const char Delim = FormatStr.empty() ? ';' : FormatStr.front();
    const std::string Token = GetDelimitedToken(Count, Delim, Text);
    FUZZ_CHECK(Token.find(Delim) == std::string::npos, Shown(Token));
    FUZZ_CHECK(Count >= 1 || Token.empty(), Shown(Token));
    FUZZ_CHECK(Text.find(Token) != std::string_view::npos, Shown(Token));
    return 0;
}
