#include "controls/TxFields.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace oravent {

namespace {

bool ContainsAnyOf(std::string_view Text, std::string_view Chars) {
    return Text.find_first_of(Chars) != std::string_view::npos;
}

char LowerAscii(char C) {
    return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

double CheckedFinite(double Value) {
    if (!std::isfinite(Value)) throw EConvertError("number out of range");
    return Value;
}

// Round half to even into a 64-bit integer, or fail when it does not fit.
long long RoundToInteger(double Value) {
    CheckedFinite(Value);
    const double R = std::nearbyint(Value);
    // 2^63 is exactly representable; anything at or above it does not fit.
    if (R >= 9223372036854775808.0 || R < -9223372036854775808.0)
        throw EConvertError("integer out of range");
    return static_cast<long long>(R);
}

double TextToNumber(std::string_view Text) {
    return CheckedFinite(StrToFloat(TrimControls(Text)));
}

std::string NumberToText(double Value) {
    char Buf[64];
    auto Res = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::general, 15);
    std::string Out;
    for (const char* P = Buf; P != Res.ptr; ++P) {
        if (*P == 'e') {
            Out += 'E';
            if (P + 1 != Res.ptr && P[1] == '+') ++P;
        } else {
            Out += *P;
        }
    }
    return Out;
}

} // namespace

bool SameTextNoCase(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (std::size_t i = 0; i < A.size(); ++i)
        if (LowerAscii(A[i]) != LowerAscii(B[i])) return false;
    return true;
}

std::string_view TrimControls(std::string_view Text) {
    while (!Text.empty() && static_cast<unsigned char>(Text.front()) <= ' ')
        Text.remove_prefix(1);
    while (!Text.empty() && static_cast<unsigned char>(Text.back()) <= ' ')
        Text.remove_suffix(1);
    return Text;
}

double ValueAsNumber(const TFieldValue& Value) {
    if (auto* D = std::get_if<double>(&Value)) return CheckedFinite(*D);
    if (auto* I = std::get_if<long long>(&Value)) return static_cast<double>(*I);
    if (auto* B = std::get_if<bool>(&Value)) return *B ? 1.0 : 0.0;
    return TextToNumber(std::get<std::string>(Value));
}

long long ValueAsInteger(const TFieldValue& Value) {
    if (auto* I = std::get_if<long long>(&Value)) return *I;
    if (auto* B = std::get_if<bool>(&Value)) return *B ? 1 : 0;
    return RoundToInteger(ValueAsNumber(Value));
}

bool ValueAsBool(const TFieldValue& Value) {
    if (auto* B = std::get_if<bool>(&Value)) return *B;
    if (auto* S = std::get_if<std::string>(&Value)) {
        const std::string_view T = TrimControls(*S);
        if (SameTextNoCase(T, "true")) return true;
        if (SameTextNoCase(T, "false")) return false;
    }
    return ValueAsNumber(Value) != 0.0;
}

std::string ValueAsText(const TFieldValue& Value) {
    if (auto* S = std::get_if<std::string>(&Value)) return *S;
    if (auto* B = std::get_if<bool>(&Value)) return *B ? "True" : "False";
    if (auto* I = std::get_if<long long>(&Value)) return std::to_string(*I);
    const double D = std::get<double>(Value);
    if (std::isnan(D)) return "NAN";
    if (std::isinf(D)) return D > 0 ? "INF" : "-INF";
    return NumberToText(D);
}

bool HasStrFormat(std::string_view FormatStr) {
    return ContainsAnyOf(FormatStr, "sS");
}
bool HasIntFormat(std::string_view FormatStr) {
    return ContainsAnyOf(FormatStr, "dD");
}
bool HasRealFormat(std::string_view FormatStr) {
    return ContainsAnyOf(FormatStr, "fFgG");
}
bool HasPairFormat(std::string_view FormatStr) {
    return ContainsAnyOf(FormatStr, "/");
}

int TEnumField::IndexOf(std::string_view Text) const {
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (SameTextNoCase(Items[i], Text)) return static_cast<int>(i);
    return -1;
}

namespace {

std::string NumberFieldText(const TNumField& F, const TFieldValue& Value) {
    const double Shown = CheckedFinite(ConvertToUnits(ValueAsNumber(Value), F.Factor, F.Offset));
    if (HasIntFormat(F.FormatStr)) return FormatText(F.FormatStr, {RoundToInteger(Shown)});
    if (!HasRealFormat(F.FormatStr)) return std::string();
    switch (F.FormatType) {
    case ft_Auto:
        return FormatNumber(SigDigsFormatStr(F.SigDigs, 12, Shown), Shown);
    case ft_AutoOverride:
        if (std::pow(10.0, 2 - F.Decimals()) > Shown)
            return FormatNumber(SigDigsFormatStr(F.SigDigs, 12, Shown), Shown);
        return FormatNumber(F.FormatStr, Shown);
    case ft_Fixed:
    case ft_Manual:
    default:
        return FormatNumber(F.FormatStr, Shown);
    }
}

std::string PairFieldText(const TDelimNumField& F, const TFieldValue& Value) {
    double First = 0, Second = 0;
    ParseNumberPair(ValueAsText(Value), First, Second);
    First = CheckedFinite(ConvertToUnits(CheckedFinite(First), F.Factor, F.Offset));
    Second = CheckedFinite(ConvertToUnits(CheckedFinite(Second), F.Factor, F.Offset));
    return FormatPair(F.FormatStr, First, Second);
}

} // namespace

std::string FieldValueToText(const TField& Field, const TFieldValue& Value) {
    try {
        if (auto* P = AsDelimNumField(&Field)) return PairFieldText(*P, Value);
        if (auto* N = AsNumField(&Field)) return NumberFieldText(*N, Value);
        if (auto* E = AsEnumField(&Field)) {
            const long long Index = ValueAsInteger(Value);
            if (Index < 0 || Index >= static_cast<long long>(E->Items.size())) return std::string();
            return E->Items[static_cast<std::size_t>(Index)];
        }
        if (AsBoolField(&Field)) return ValueAsBool(Value) ? CheckedText : UncheckedText;
        return FormatString(Field.FormatStr, ValueAsText(Value));
    } catch (const std::exception&) {
        return std::string();
    }
}

TFieldValue FieldTextToValue(const TField& Field, std::string_view Text) {
    try {
        if (auto* P = AsDelimNumField(&Field)) {
            const std::string_view Pair = Text.empty() ? std::string_view("0.0/0.0") : Text;
            double First = 0, Second = 0;
            const bool Two = ParseNumberPair(Pair, First, Second);
            First = CheckedFinite(ConvertFromUnits(CheckedFinite(First), P->Factor, P->Offset));
            if (!Two) return FormatNumber("%0.04g", First);
            Second = CheckedFinite(ConvertFromUnits(CheckedFinite(Second), P->Factor, P->Offset));
            return FormatPair(P->FormatStr, First, Second);
        }
        if (auto* N = AsNumField(&Field)) {
            const double Shown = CheckedFinite(StrToFloat(CleanNumberText(Text)));
            const double Base = CheckedFinite(ConvertFromUnits(Shown, N->Factor, N->Offset));
            if (HasIntFormat(N->FormatStr)) return RoundToInteger(Base);
            return Base;
        }
        if (auto* E = AsEnumField(&Field)) return static_cast<long long>(E->IndexOf(Text));
        if (AsBoolField(&Field)) return SameTextNoCase(Text, CheckedText);
    } catch (const std::exception&) {
        // Unreadable: the caller gets the cell text.
    }
    return std::string(Text);
}

} // namespace oravent
