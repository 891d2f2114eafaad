#include "controls/EditRules.h"

#include <algorithm>
#include <cmath>

namespace oravent {

namespace {

bool HasAnyOf(std::string_view S, std::string_view Letters) {
    return S.find_first_of(Letters) != std::string_view::npos;
}

bool IsTextFormat(std::string_view F) {
    return HasAnyOf(F, "sS");
}
bool IsPairFormat(std::string_view F) {
    return F.find('/') != std::string_view::npos;
}
bool IsWholeFormat(std::string_view F) {
    return HasAnyOf(F, "dD");
}
bool IsFloatFormat(std::string_view F) {
    return HasAnyOf(F, "fFgG");
}

std::string_view BeforeSlash(std::string_view F) {
    return F.substr(0, F.find('/'));
}

} // namespace

TEditCharClass EditCharClass(std::string_view FormatStr) {
    if (IsPairFormat(FormatStr)) return TEditCharClass::Pair;
    if (IsWholeFormat(FormatStr)) return TEditCharClass::Whole;
    if (IsFloatFormat(FormatStr))
        return HasAnyOf(FormatStr, "gG") ? TEditCharClass::General : TEditCharClass::Float;
    return TEditCharClass::Any;
}

bool EditCharAllowed(std::string_view FormatStr, char32_t Ch) {
    const bool Digit = Ch >= U'0' && Ch <= U'9';
    switch (EditCharClass(FormatStr)) {
    case TEditCharClass::Pair:
        return Digit || Ch == U'-' || Ch == U'.' || Ch == U'/';
    case TEditCharClass::Whole:
        return Digit || Ch == U'-';
    case TEditCharClass::Float:
        return Digit || Ch == U'-' || Ch == U'.';
    case TEditCharClass::General:
        return Digit || Ch == U'-' || Ch == U'.' || Ch == U'e' || Ch == U'E';
    case TEditCharClass::Any:
        break;
    }
    return true;
}

bool CheckEditLimits(double& V, const TEditLimits& L) {
    const double Lo = ConvertToUnits(L.RangeLo, L.Factor, L.Offset);
    const double Hi = ConvertToUnits(L.RangeHi, L.Factor, L.Offset);
    if (std::fabs(Lo - Hi) < 0.00001 || (Lo == 0.0 && Hi == 0.0)) return true;
    if (V < Lo) {
        if (Lo == 0.0 || std::fabs((Lo - V) / Lo) > 0.005) {
            V = Lo;
            return false;
        }
        return true;
    }
    if (V > Hi) {
        if (Hi == 0.0 || std::fabs((V - Hi) / Hi) > 0.005) {
            V = Hi;
            return false;
        }
        return true;
    }
    return true;
}

TEditFormatResult FormatEditText(std::string_view Text, std::string_view FormatStr,
                                 TFormatType FormatType, int SigDigs, int Decimals,
                                 const TEditLimits& Limits) {
    TEditFormatResult R;
    R.Text = std::string(Text);
    try {
        std::string NewText;
        if (IsTextFormat(FormatStr)) {
            NewText = FormatString(FormatStr, Text);
        } else {
            const std::string Clean = CleanNumberText(Text);
            if (IsPairFormat(FormatStr)) {
                double A = 0, B = 0;
                const bool Two = ParseNumberPair(Clean, A, B);
                const bool InA = CheckEditLimits(A, Limits);
                const bool InB = !Two || CheckEditLimits(B, Limits);
                NewText =
                    Two ? FormatPair(FormatStr, A, B) : FormatNumber(BeforeSlash(FormatStr), A);
                R.InRange = InA && InB;
            } else {
                double V = StrToFloat(Clean);
                const bool In = CheckEditLimits(V, Limits);
                if (IsWholeFormat(FormatStr))
                    NewText = FormatText(FormatStr, {static_cast<long long>(std::llround(V))});
                else
                    NewText = FormatValueText(V, FormatStr, FormatType, SigDigs, Decimals);
                R.InRange = In;
            }
        }
        R.Changed = NewText != R.Text;
        R.Text = std::move(NewText);
    } catch (const std::exception&) {
        // Text that is not a number stays as typed.
        R.Text = std::string(Text);
        R.InRange = true;
        R.Changed = false;
    }
    return R;
}

TEditValue EditTextToValue(std::string_view Text, std::string_view FormatStr, double Factor,
                           double Offset) {
    try {
        if (IsTextFormat(FormatStr)) return FormatString(FormatStr, Text);
        if (IsPairFormat(FormatStr)) {
            const std::string_view T = Text.empty() ? std::string_view("0.0/0.0") : Text;
            auto V = ParseValueText(T, FormatStr, Factor, Offset);
            if (auto* S = std::get_if<std::string>(&V)) return *S;
            return FormatNumber("%0.4g", std::get<double>(V));
        }
        const double Shown = StrToFloat(CleanNumberText(Text));
        const double Base = ConvertFromUnits(Shown, Factor, Offset);
        if (IsWholeFormat(FormatStr)) return static_cast<long long>(std::llround(Base));
        return Base;
    } catch (const std::exception&) {
        return std::string(Text);
    }
}

namespace {

double ValueAsNumber(const TEditValue& V) {
    if (auto* D = std::get_if<double>(&V)) return *D;
    if (auto* I = std::get_if<long long>(&V)) return static_cast<double>(*I);
    return StrToFloat(CleanNumberText(std::get<std::string>(V)));
}

std::string ValueAsText(const TEditValue& V) {
    if (auto* S = std::get_if<std::string>(&V)) return *S;
    if (auto* I = std::get_if<long long>(&V)) return std::to_string(*I);
    return FormatNumber("%0.15g", std::get<double>(V));
}

} // namespace

std::string EditValueToText(const TEditValue& Value, std::string_view FormatStr,
                            TFormatType FormatType, int SigDigs, int Decimals, double Factor,
                            double Offset) {
    try {
        if (IsTextFormat(FormatStr)) return FormatString(FormatStr, ValueAsText(Value));
        if (IsPairFormat(FormatStr)) {
            double A = 0, B = 0;
            if (std::holds_alternative<std::string>(Value))
                ParseNumberPair(CleanNumberText(std::get<std::string>(Value)), A, B);
            else
                A = ValueAsNumber(Value);
            return FormatPair(FormatStr, ConvertToUnits(A, Factor, Offset),
                              ConvertToUnits(B, Factor, Offset));
        }
        const double Shown = ConvertToUnits(ValueAsNumber(Value), Factor, Offset);
        if (IsWholeFormat(FormatStr))
            return FormatText(FormatStr, {static_cast<long long>(std::llround(Shown))});
        if (IsFloatFormat(FormatStr))
            return FormatValueText(Shown, FormatStr, FormatType, SigDigs, Decimals);
        return {};
    } catch (const std::exception&) {
        return {};
    }
}

int UnitsPickerHeight(int Count, int ItemHeight) {
    return static_cast<int>(std::nearbyint((Count + 0.5) * ItemHeight));
}

int UnitsPickerWidth(int WidestCaption) {
    return std::max(50, WidestCaption) + 10;
}

int DropListHeight(int Count, int ItemHeight) {
    return ItemHeight * (std::min(Count, 5) + 1);
}

int DropListWidth(int CellWidth, int GridLineWidth, int WidestItem) {
    const int W = CellWidth + GridLineWidth;
    const int Wide = WidestItem + 8;
    return (Wide > W && Wide < 200) ? Wide : W;
}

} // namespace oravent
