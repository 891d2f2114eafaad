// The program's printf-style formatter: FormatText and its shortcuts.
//
// Digits come from std::to_chars, which is exact and ignores the locale:
// the value's decimal expansion is taken at 18 significant digits and then
// rounded half away from zero to what the conversion asks for. Text rules:
//   - "." is the decimal point; no thousands separators are written.
//   - "g"/"e" write the exponent as "E", a "-" only for a negative exponent,
//     and at least three exponent digits ("1E003", "1.8E-005").
//   - A result that shows as zero carries no sign: -0.0 and -0.0004 with
//     "%0.3f" both give "0.000".
//   - NaN is written "NAN", infinities "INF" and "-INF" (whatever the
//     conversion letter; a "0" flag does not pad them).
//   - Precisions above MaxPrecision and widths above MaxWidth are clamped to
//     those limits, so a format such as "%0.99999f" cannot exhaust memory.
//   - Without a precision, "f", "g" and "e" use 6.
#include "units/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace oravent {

namespace {

constexpr int MaxPrecision = MaxFormatPrecision;
constexpr int MaxWidth = MaxFormatWidth;
constexpr int SigDigits = 18; // digits of the decimal expansion that count

[[noreturn]] void BadFormat(std::string_view FormatStr) {
    std::string Shown(FormatStr.substr(0, 80));
    if (FormatStr.size() > 80) Shown += "...";
    throw EConvertError("Format '" + Shown + "' invalid or incompatible with argument");
}

// A finite, non-negative value as decimal digits: Value = 0.D[0]D[1]... is
// not used; instead Value = D[0].D[1]D[2]... x 10^Exp. Count digits are
// significant; every digit after them is zero.
struct TDecimal {
    char Digits[SigDigits + 2];
    int Count = 0; // 0 means the value is zero
    int Exp = 0;
};

// The magnitude of Value at 18 significant digits.
void Decompose(double Value, TDecimal& D) {
    Value = std::fabs(Value);
    if (Value == 0) {
        D.Count = 0;
        D.Exp = 0;
        return;
    }
    char Buf[48];
    auto Res =
        std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific, SigDigits - 1);
    // Buf: d.ddddddddddddddddde[+-]xx
    D.Digits[0] = Buf[0];
    std::memcpy(D.Digits + 1, Buf + 2, SigDigits - 1);
    const char* P = Buf + 2 + (SigDigits - 1) + 1; // after 'e'
    bool NegExp = *P == '-';
    ++P;
    int E = 0;
    for (; P < Res.ptr; ++P)
        E = E * 10 + (*P - '0');
    D.Exp = NegExp ? -E : E;
    int N = SigDigits;
    while (N > 0 && D.Digits[N - 1] == '0')
        --N;
    D.Count = N;
}

// Round D half away from zero so that it keeps at most Keep significant
// digits (Keep may be 0 or negative: everything is below the last place).
void RoundTo(TDecimal& D, int Keep) {
    if (D.Count == 0 || Keep >= D.Count) return;
    if (Keep < 0) {
        D.Count = 0;
        return;
    }
    const bool Up = D.Digits[Keep] >= '5';
    D.Count = Keep;
    if (!Up) {
        while (D.Count > 0 && D.Digits[D.Count - 1] == '0')
            --D.Count;
        if (D.Count == 0) D.Exp = 0;
        return;
    }
    // Add one unit in the last kept place.
    int I = Keep - 1;
    while (I >= 0 && D.Digits[I] == '9')
        --I;
    if (I < 0) {
        // 9.99.. -> 10.0..: one digit "1", one place higher. For Keep == 0
        // (the first digit was the rounding digit) the same holds.
        D.Digits[0] = '1';
        D.Count = 1;
        D.Exp += 1;
        return;
    }
    ++D.Digits[I];
    D.Count = I + 1;
}

char DigitAt(const TDecimal& D, int I) {
    return (I >= 0 && I < D.Count) ? D.Digits[I] : '0';
}

void AppendExponent(std::string& Out, int Exp) {
    Out += 'E';
    if (Exp < 0) {
        Out += '-';
        Exp = -Exp;
    }
    char Buf[8];
    int N = 0;
    do {
        Buf[N++] = static_cast<char>('0' + Exp % 10);
        Exp /= 10;
    } while (Exp > 0);
    while (N < 3)
        Buf[N++] = '0';
    while (N > 0)
        Out += Buf[--N];
}

// Digits of D in fixed notation with Decimals places (D already rounded).
void AppendFixed(std::string& Out, const TDecimal& D, int Decimals, bool KeepPoint) {
    if (D.Count == 0 || D.Exp < 0) {
        Out += '0';
    } else {
        for (int I = 0; I <= D.Exp; ++I)
            Out += DigitAt(D, I);
    }
    if (Decimals > 0 || KeepPoint) Out += '.';
    for (int I = 1; I <= Decimals; ++I)
        Out += D.Count == 0 ? '0' : DigitAt(D, D.Exp + I);
}

// Mantissa d.ddd with Decimals places, then the exponent.
void AppendScientific(std::string& Out, const TDecimal& D, int Decimals, bool KeepPoint) {
    Out += D.Count == 0 ? '0' : D.Digits[0];
    if (Decimals > 0 || KeepPoint) Out += '.';
    for (int I = 1; I <= Decimals; ++I)
        Out += DigitAt(D, I);
    AppendExponent(Out, D.Count == 0 ? 0 : D.Exp);
}

struct TSpec {
    bool Left = false, Zero = false, Plus = false, Space = false, Alt = false;
    int Width = 0;
    int Precision = -1; // -1: none given
    char Conv = 0;
};

// Pads Body (whose first SignLen characters are the sign) to the width.
void Emit(std::string& Out, const TSpec& S, std::string_view Body, std::size_t SignLen,
          bool ZeroPadOk) {
    const std::size_t W = static_cast<std::size_t>(S.Width);
    if (Body.size() >= W) {
        Out += Body;
        return;
    }
    const std::size_t Pad = W - Body.size();
    if (S.Left) {
        Out += Body;
        Out.append(Pad, ' ');
    } else if (S.Zero && ZeroPadOk) {
        Out += Body.substr(0, SignLen);
        Out.append(Pad, '0');
        Out += Body.substr(SignLen);
    } else {
        Out.append(Pad, ' ');
        Out += Body;
    }
}

std::size_t AppendSign(std::string& Body, bool Negative, const TSpec& S) {
    if (Negative)
        Body += '-';
    else if (S.Plus)
        Body += '+';
    else if (S.Space)
        Body += ' ';
    else
        return 0;
    return 1;
}

void FormatFloat(std::string& Out, const TSpec& S, double Value) {
    std::string Body;
    Body.reserve(32);
    const char C = static_cast<char>(S.Conv | 0x20); // lower case
    if (std::isnan(Value) || std::isinf(Value)) {
        std::size_t SignLen = 0;
        if (std::isnan(Value)) {
            Body = "NAN";
        } else {
            SignLen = AppendSign(Body, Value < 0, S);
            Body += "INF";
        }
        Emit(Out, S, Body, SignLen, false);
        return;
    }
    TDecimal D;
    Decompose(Value, D);
    const bool Neg = std::signbit(Value);
    if (C == 'f' || C == 'd') {
        const int Decimals = C == 'd' ? 0 : (S.Precision < 0 ? 6 : S.Precision);
        RoundTo(D, D.Exp + 1 + Decimals);
        const std::size_t SignLen = AppendSign(Body, Neg && D.Count > 0, S);
        if (C == 'd') {
            std::string Digits;
            AppendFixed(Digits, D, 0, false);
            if (S.Precision > 0 && Digits.size() < static_cast<std::size_t>(S.Precision))
                Body.append(static_cast<std::size_t>(S.Precision) - Digits.size(), '0');
            Body += Digits;
            Emit(Out, S, Body, SignLen, S.Precision < 0);
        } else {
            AppendFixed(Body, D, Decimals, S.Alt);
            Emit(Out, S, Body, SignLen, true);
        }
        return;
    }
    if (C == 'e') {
        const int Decimals = S.Precision < 0 ? 6 : S.Precision;
        RoundTo(D, Decimals + 1);
        const std::size_t SignLen = AppendSign(Body, Neg && D.Count > 0, S);
        AppendScientific(Body, D, Decimals, S.Alt);
        Emit(Out, S, Body, SignLen, true);
        return;
    }
    // "g": P significant digits, fixed for -4 <= exponent < P, else scientific.
    const int P = S.Precision < 0 ? 6 : (S.Precision == 0 ? 1 : S.Precision);
    RoundTo(D, P);
    const std::size_t SignLen = AppendSign(Body, Neg && D.Count > 0, S);
    if (D.Count == 0) {
        AppendFixed(Body, D, S.Alt ? P - 1 : 0, S.Alt);
    } else if (D.Exp >= -4 && D.Exp < P) {
        // Decimals: the digits after the point, trailing zeros dropped
        // unless "#" asks to keep P significant digits.
        const int Shown = S.Alt ? P : D.Count;
        AppendFixed(Body, D, std::max(0, Shown - 1 - D.Exp), S.Alt);
    } else {
        AppendScientific(Body, D, S.Alt ? P - 1 : D.Count - 1, S.Alt);
    }
    Emit(Out, S, Body, SignLen, true);
}

void FormatInteger(std::string& Out, const TSpec& S, long long Value) {
    std::string Body;
    const std::size_t SignLen = AppendSign(Body, Value < 0, S);
    char Buf[24];
    // Magnitude without overflow for LLONG_MIN.
    const unsigned long long Mag = Value < 0 ? 0ULL - static_cast<unsigned long long>(Value)
                                             : static_cast<unsigned long long>(Value);
    auto Res = std::to_chars(Buf, Buf + sizeof Buf, Mag);
    std::string_view Digits(Buf, static_cast<std::size_t>(Res.ptr - Buf));
    if (S.Precision > 0 && Digits.size() < static_cast<std::size_t>(S.Precision))
        Body.append(static_cast<std::size_t>(S.Precision) - Digits.size(), '0');
    Body += Digits;
    Emit(Out, S, Body, SignLen, S.Precision < 0);
}

// Cuts Text to at most Max bytes without splitting a UTF-8 sequence.
std::string_view CutUtf8(std::string_view Text, std::size_t Max) {
    if (Text.size() <= Max) return Text;
    std::size_t N = Max;
    while (N > 0 && (static_cast<unsigned char>(Text[N]) & 0xC0) == 0x80)
        --N;
    return Text.substr(0, N);
}

void FormatTextArg(std::string& Out, const TSpec& S, std::string_view Text) {
    if (S.Precision >= 0) Text = CutUtf8(Text, static_cast<std::size_t>(S.Precision));
    TSpec T = S;
    T.Zero = false;
    Emit(Out, T, Text, 0, false);
}

// Reads a decimal number of the format string, saturating at Limit.
int ReadCount(std::string_view F, std::size_t& I, int Limit) {
    int N = 0;
    while (I < F.size() && F[I] >= '0' && F[I] <= '9') {
        N = std::min(Limit, N * 10 + (F[I] - '0'));
        ++I;
    }
    return N;
}

void FormatArgs(std::string& Out, std::string_view F, const TFormatArg* Args, std::size_t NArgs) {
    Out.reserve(Out.size() + F.size() + 16);
    std::size_t Next = 0;
    std::size_t I = 0;
    while (I < F.size()) {
        const std::size_t Pct = F.find('%', I);
        if (Pct == std::string_view::npos) {
            Out.append(F.substr(I));
            break;
        }
        Out.append(F.substr(I, Pct - I));
        I = Pct + 1;
        if (I < F.size() && F[I] == '%') {
            Out += '%';
            ++I;
            continue;
        }
        TSpec S;
        for (; I < F.size(); ++I) {
            const char C = F[I];
            if (C == '-')
                S.Left = true;
            else if (C == '0')
                S.Zero = true;
            else if (C == '+')
                S.Plus = true;
            else if (C == ' ')
                S.Space = true;
            else if (C == '#')
                S.Alt = true;
            else
                break;
        }
        S.Width = ReadCount(F, I, MaxWidth);
        if (I < F.size() && F[I] == '.') {
            ++I;
            S.Precision = ReadCount(F, I, MaxPrecision);
        }
        if (I >= F.size()) BadFormat(F);
        S.Conv = F[I++];
        if (Next >= NArgs) BadFormat(F);
        const TFormatArg& A = Args[Next++];
        switch (S.Conv) {
        case 'f':
        case 'F':
        case 'g':
        case 'G':
        case 'e':
        case 'E':
            if (const double* V = std::get_if<double>(&A))
                FormatFloat(Out, S, *V);
            else if (const long long* L = std::get_if<long long>(&A))
                FormatFloat(Out, S, static_cast<double>(*L));
            else
                BadFormat(F);
            break;
        case 'd':
        case 'D':
            if (const long long* L = std::get_if<long long>(&A)) {
                FormatInteger(Out, S, *L);
            } else if (const double* V = std::get_if<double>(&A)) {
                // A double for a whole-number conversion: nearest integer,
                // ties to even, written without a range limit.
                double R = *V;
                if (std::isfinite(R)) {
                    R = std::round(R);
                    if (std::fabs(*V - std::trunc(*V)) == 0.5 && std::fmod(R, 2.0) != 0)
                        R -= std::copysign(1.0, *V);
                }
                FormatFloat(Out, S, R);
            } else {
                BadFormat(F);
            }
            break;
        case 's':
        case 'S':
            if (const std::string* T = std::get_if<std::string>(&A))
                FormatTextArg(Out, S, *T);
            else
                BadFormat(F);
            break;
        default:
            BadFormat(F);
        }
    }
}

} // namespace

std::string FormatText(std::string_view FormatStr, std::initializer_list<TFormatArg> Args) {
    std::string Out;
    FormatArgs(Out, FormatStr, Args.begin(), Args.size());
    return Out;
}

std::string FormatNumber(std::string_view FormatStr, double Value) {
    const TFormatArg Arg(Value);
    std::string Out;
    FormatArgs(Out, FormatStr, &Arg, 1);
    return Out;
}

std::string FormatPair(std::string_view FormatStr, double First, double Second) {
    const TFormatArg Args[2] = {First, Second};
    std::string Out;
    FormatArgs(Out, FormatStr, Args, 2);
    return Out;
}

std::string FormatString(std::string_view FormatStr, std::string_view Text) {
    const TFormatArg Arg(std::string{Text});
    std::string Out;
    FormatArgs(Out, FormatStr, &Arg, 1);
    return Out;
}

std::string ShortestRealText(double Value) {
    if (std::isnan(Value)) return "NAN";
    if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
    std::string Text;
    for (int Precision = 15; Precision <= 17; ++Precision) {
        Text = FormatNumber("%0." + std::to_string(Precision) + "g", Value);
        try {
            if (StrToFloat(Text) == Value) break;
        } catch (const std::exception&) {
            // try the next precision
        }
    }
    return Text;
}

} // namespace oravent
