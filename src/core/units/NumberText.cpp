// Number text above the formatter: the format modes of TFormatType, the
// significant-digit rule, the tolerant clean-up and reading of typed
// numbers, and the small text tools.
#include "units/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "units/TxConv.h"

namespace oravent {

namespace {

// The text quoted in an error message: long input is cut so that a message
// box stays readable.
std::string Quoted(std::string_view Text) {
    std::string S = "'";
    S.append(Text.substr(0, 60));
    if (Text.size() > 60) S += "...";
    S += "'";
    return S;
}

[[noreturn]] void NotANumber(std::string_view Text) {
    throw EConvertError(Quoted(Text) + " is not a valid number");
}

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// Nearest integer, ties to even (the whole-number rule).
double RoundHalfEven(double V) {
    if (!std::isfinite(V)) return V;
    double R = std::round(V);
    if (std::fabs(V - std::trunc(V)) == 0.5 && std::fmod(R, 2.0) != 0) R -= std::copysign(1.0, V);
    return R;
}

std::string_view TrimLeft(std::string_view S) {
    std::size_t I = 0;
    while (I < S.size() && static_cast<unsigned char>(S[I]) <= ' ')
        ++I;
    return S.substr(I);
}

std::string_view Trim(std::string_view S) {
    S = TrimLeft(S);
    std::size_t N = S.size();
    while (N > 0 && static_cast<unsigned char>(S[N - 1]) <= ' ')
        --N;
    return S.substr(0, N);
}

// Deletes every occurrence of C after the first one.
void KeepFirst(std::string& S, char C) {
    const std::size_t First = S.find(C);
    if (First == std::string::npos) return;
    std::size_t Out = First + 1;
    for (std::size_t I = First + 1; I < S.size(); ++I)
        if (S[I] != C) S[Out++] = S[I];
    S.resize(Out);
}

// An integer as the exponent check reads it: optional sign, then digits.
// Sets Huge when the magnitude exceeds 300 (also when it exceeds any
// integer type); false when the text is not an integer.
bool ReadExponent(std::string_view S, bool& Huge) {
    std::size_t I = 0;
    if (I < S.size() && (S[I] == '+' || S[I] == '-')) ++I;
    if (I == S.size()) return false;
    long Magnitude = 0;
    for (; I < S.size(); ++I) {
        if (!IsDigit(S[I])) return false;
        if (Magnitude <= 300) Magnitude = Magnitude * 10 + (S[I] - '0');
    }
    Huge = Magnitude > 300;
    return true;
}

// True for text that the clean-up would leave as it is: an optional leading
// "-", digits with at most one ".", at least one digit. Reading such text can
// skip the clean-up and its copy.
bool IsPlainNumber(std::string_view S) {
    std::size_t I = (!S.empty() && S[0] == '-') ? 1 : 0;
    bool Point = false, Digit = false;
    for (; I < S.size(); ++I) {
        if (IsDigit(S[I]))
            Digit = true;
        else if (S[I] == '.' && !Point)
            Point = true;
        else
            return false;
    }
    return Digit;
}

double ReadTypedNumber(std::string_view Text) {
    return IsPlainNumber(Text) ? StrToFloat(Text) : StrToFloat(CleanNumberText(Text));
}

// Clean-up of one number (no "/"), blanks already removed.
std::string CleanSingle(std::string S, std::string_view Original) {
    if (S.empty()) return "0";
    for (char& C : S)
        if (C == 'e') C = 'E';
    KeepFirst(S, 'E');
    if (S.size() > 1) {
        std::size_t Out = 1;
        for (std::size_t I = 1; I < S.size(); ++I)
            if (S[I] != '-' || S[I - 1] == 'E') S[Out++] = S[I];
        S.resize(Out);
    }
    if (S == "-") return "0";
    KeepFirst(S, '.');
    if (S[0] == 'E') S.insert(S.begin(), '1');
    const std::size_t E = S.find('E');
    if (E != std::string::npos && E + 1 < S.size()) {
        std::string After = S.substr(E + 1);
        if (const std::size_t Dot = After.find('.'); Dot != std::string::npos) After.erase(Dot, 1);
        bool Huge = false;
        if (!ReadExponent(After, Huge))
            throw EConvertError(Quoted(Original) + " is not a valid number (bad exponent)");
        if (Huge) After.resize(2);
        S.resize(E + 1);
        S += After;
    }
    return S;
}

} // namespace

TFormatKind FormatKind(std::string_view F) {
    bool Slash = false, Whole = false, Float = false;
    for (const char C : F) {
        switch (C) {
        case 's':
        case 'S':
            return TFormatKind::Text;
        case '/':
            Slash = true;
            break;
        case 'd':
        case 'D':
            Whole = true;
            break;
        case 'f':
        case 'F':
        case 'g':
        case 'G':
            Float = true;
            break;
        default:
            break;
        }
    }
    if (Slash) return TFormatKind::Pair;
    if (Whole) return TFormatKind::Whole;
    if (Float) return TFormatKind::Float;
    return TFormatKind::None;
}

bool IsGeneralFormat(std::string_view F) {
    return F.find_first_of("gG") != std::string_view::npos;
}

int FormatStrDecimals(std::string_view F) {
    const std::size_t Dot = F.find('.');
    if (Dot == std::string_view::npos || Dot + 1 >= F.size() || !IsDigit(F[Dot + 1])) return 0;
    return F[Dot + 1] - '0';
}

int DecimalsForSigDigs(int SigDigs, int MaxDecimals, double Value) {
    MaxDecimals = std::clamp(MaxDecimals, 0, 100);
    const std::string T = FormatNumber("%0." + std::to_string(MaxDecimals) + "f", Value);
    const std::size_t Dot = T.find('.');
    const int L = static_cast<int>(Dot == std::string::npos ? T.size() : Dot);
    int Result;
    if (L == 1) {
        int Zeros = 0;
        std::size_t I = Dot == std::string::npos ? T.size() : Dot + 1;
        while (I < T.size() && T[I] == '0') {
            ++Zeros;
            ++I;
        }
        const bool AllZero = I >= T.size();
        Result = AllZero ? 3 : 3 + Zeros;
    } else {
        Result = SigDigs > L ? SigDigs - L : 0;
    }
    return std::clamp(Result, 0, MaxDecimals);
}

std::string SigDigsFormatStr(int SigDigs, int MaxDecimals, double Value) {
    return "%0." + std::to_string(DecimalsForSigDigs(SigDigs, MaxDecimals, Value)) + "f";
}

std::string FormatValueText(double Value, std::string_view FormatStr, TFormatType FormatType,
                            int SigDigs, int Decimals) {
    switch (FormatKind(FormatStr)) {
    case TFormatKind::Text:
        return FormatString(FormatStr, "");
    case TFormatKind::Pair:
        return FormatPair(FormatStr, Value, 0);
    case TFormatKind::Whole:
        return FormatNumber(FormatStr, RoundHalfEven(Value));
    case TFormatKind::Float:
    case TFormatKind::None:
        break;
    }
    switch (FormatType) {
    case ft_Auto:
        return FormatNumber(SigDigsFormatStr(SigDigs, 12, Value), Value);
    case ft_AutoOverride: {
        static constexpr double Powers[] = {100, 10, 1, 0.1, 0.01, 0.001, 1e-4, 1e-5, 1e-6, 1e-7};
        const double Threshold =
            (Decimals >= 0 && Decimals <= 9) ? Powers[Decimals] : std::pow(10.0, 2 - Decimals);
        if (Threshold > Value) return FormatNumber(SigDigsFormatStr(SigDigs, 12, Value), Value);
        return FormatNumber(FormatStr, Value);
    }
    case ft_Fixed:
    case ft_Manual:
    default:
        return FormatNumber(FormatStr, Value);
    }
}

std::string CleanNumberText(std::string_view Text) {
    std::string S = RemoveSpaces(Text);
    const std::size_t Slash = S.find('/');
    if (Slash != std::string::npos) {
        KeepFirst(S, '/');
        // An empty part stays empty: cleaning never makes up a number, the
        // reader decides what a missing one means (ParseNumberPair).
        auto Part = [&Text](std::string P) {
            return P.empty() ? std::string() : CleanSingle(std::move(P), Text);
        };
        return Part(S.substr(0, Slash)) + "/" + Part(S.substr(Slash + 1));
    }
    return CleanSingle(std::move(S), Text);
}

// Accepted: optional blanks, optional sign, digits with at most one ".",
// at least one digit, optional exponent E/e with optional sign and at least
// one digit, optional blanks. Nothing else ("inf", "nan", hex, commas).
double StrToFloat(std::string_view Text) {
    const std::string_view T = Trim(Text);
    std::size_t I = 0;
    bool Neg = false;
    if (I < T.size() && (T[I] == '+' || T[I] == '-')) {
        Neg = T[I] == '-';
        ++I;
    }
    const std::size_t Start = I;
    std::size_t Digits = 0, LeadInt = 0, LeadFracZeros = 0;
    bool SeenNonZero = false;
    bool Point = false;
    for (; I < T.size(); ++I) {
        const char C = T[I];
        if (IsDigit(C)) {
            ++Digits;
            if (C != '0') SeenNonZero = true;
            if (!Point && SeenNonZero) ++LeadInt;
            if (Point && !SeenNonZero) ++LeadFracZeros;
        } else if (C == '.' && !Point) {
            Point = true;
        } else {
            break;
        }
    }
    if (Digits == 0) NotANumber(Text);
    long Exp = 0;
    if (I < T.size() && (T[I] == 'e' || T[I] == 'E')) {
        ++I;
        bool NegExp = false;
        if (I < T.size() && (T[I] == '+' || T[I] == '-')) {
            NegExp = T[I] == '-';
            ++I;
        }
        const std::size_t ExpStart = I;
        for (; I < T.size() && IsDigit(T[I]); ++I)
            if (Exp < 100000) Exp = Exp * 10 + (T[I] - '0');
        if (I == ExpStart) NotANumber(Text);
        if (NegExp) Exp = -Exp;
    }
    if (I != T.size()) NotANumber(Text);
    double V = 0;
    const auto Res =
        std::from_chars(T.data() + Start, T.data() + T.size(), V, std::chars_format::general);
    if (Res.ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large is an error.
        const long Magnitude = static_cast<long>(LeadInt) + Exp -
                               (LeadInt == 0 ? static_cast<long>(LeadFracZeros) : 0);
        if (!SeenNonZero || Magnitude <= 0)
            V = 0;
        else
            throw EConvertError(Quoted(Text) + " is out of range");
    } else if (Res.ec != std::errc() || Res.ptr != T.data() + T.size()) {
        NotANumber(Text);
    }
    return Neg ? -V : V;
}

bool ParseNumberPair(std::string_view Text, double& First, double& Second) {
    const std::size_t Slash = Text.find('/');
    if (Slash == std::string_view::npos) {
        First = StrToFloat(Text);
        Second = 0;
        return false;
    }
    const std::string_view Before = Text.substr(0, Slash);
    const std::string_view After = Text.substr(Slash + 1);
    if (Trim(Before).empty()) throw EConvertError(Quoted(Text) + " has no number before \"/\"");
    const double A = StrToFloat(Before);
    if (Trim(After).empty()) {
        // "20/" is the first number alone, as "20" is; no second one is made up.
        First = A;
        Second = 0;
        return false;
    }
    const double B = StrToFloat(After);
    First = A;
    Second = B;
    return true;
}

TParsedValue ParseValueText(std::string_view Text, std::string_view FormatStr, double Factor,
                            double Offset) {
    switch (FormatKind(FormatStr)) {
    case TFormatKind::Text:
        return FormatString(FormatStr, Text);
    case TFormatKind::Pair: {
        double First = 0, Second = 0;
        if (ParseNumberPair(Text, First, Second))
            return FormatPair(FormatStr, ConvertFromUnits(First, Factor, Offset),
                              ConvertFromUnits(Second, Factor, Offset));
        return FormatNumber("%0.4g", ConvertFromUnits(First, Factor, Offset));
    }
    case TFormatKind::Whole:
        return RoundHalfEven(ReadTypedNumber(Text));
    case TFormatKind::Float:
    case TFormatKind::None:
        break;
    }
    return ReadTypedNumber(Text);
}

std::string RemoveSpaces(std::string_view Text) {
    std::string S;
    S.reserve(Text.size());
    for (const char C : Text)
        if (C != ' ') S += C;
    return S;
}

// Blanks here are every character up to and including the space: a tab or
// a carriage return at the edge of a token is never part of it.
std::string GetDelimitedToken(int Count, char Delim, std::string_view Text) {
    std::string_view Rest = Trim(Text);
    std::string_view Token;
    bool More = true;
    for (int I = 1; I <= Count; ++I) {
        if (!More) return {};
        const std::size_t Pos = Rest.find(Delim);
        if (Pos == std::string_view::npos) {
            Token = Rest;
            Rest = {};
            More = false;
        } else {
            Token = Rest.substr(0, Pos);
            Rest = TrimLeft(Rest.substr(Pos + 1));
        }
    }
    return std::string(Token);
}

std::string ReplaceChar(char FromChar, char ToChar, std::string_view Text) {
    std::string S(Text);
    for (char& C : S)
        if (C == FromChar) C = ToChar;
    return S;
}

} // namespace oravent
