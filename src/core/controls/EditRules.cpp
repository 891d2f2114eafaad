#include "controls/EditRules.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "controls/TxFields.h"

namespace oravent {

namespace {

bool HasAnyOf(std::string_view S, std::string_view Letters) {
    return S.find_first_of(Letters) != std::string_view::npos;
}

std::string_view BeforeSlash(std::string_view F) {
    return F.substr(0, F.find('/'));
}

// The entry grid's number row (a pair row when the format has a "/") whose
// value rules a formatted edit shares.
std::unique_ptr<TNumField> EditNumberField(std::string_view FormatStr, TFormatType FormatType,
                                           int SigDigs, double Factor, double Offset) {
    std::unique_ptr<TNumField> F =
        HasPairFormat(FormatStr)
            ? std::make_unique<TDelimNumField>(ekNone, std::string(FormatStr), 0.0, 0.0, 1.0)
            : std::make_unique<TNumField>(ekNone, std::string(FormatStr), 0.0, 0.0, 1.0);
    F->FormatType = FormatType;
    F->SigDigs = SigDigs;
    F->Factor = Factor;
    F->Offset = Offset;
    return F;
}

} // namespace

TEditCharClass EditCharClass(std::string_view FormatStr) {
    if (HasPairFormat(FormatStr)) return TEditCharClass::Pair;
    if (HasIntFormat(FormatStr)) return TEditCharClass::Whole;
    if (HasRealFormat(FormatStr))
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

namespace {

bool IsNumberClass(TEditCharClass C) {
    return C == TEditCharClass::Pair || C == TEditCharClass::Float || C == TEditCharClass::General;
}

// The number the caret stands in: for a pair the part between the slashes
// around the caret, otherwise the whole text.
bool NumberAtCaretHasPoint(bool Pair, std::string_view Before, std::string_view After) {
    if (Pair) {
        if (const std::size_t S = Before.rfind('/'); S != std::string_view::npos)
            Before.remove_prefix(S + 1);
        After = After.substr(0, After.find('/'));
    }
    return Before.find('.') != std::string_view::npos || After.find('.') != std::string_view::npos;
}

std::string Utf8(char32_t Ch) {
    std::string S;
    if (Ch < 0x80) {
        S += static_cast<char>(Ch);
    } else if (Ch < 0x800) {
        S += static_cast<char>(0xC0 | (Ch >> 6));
        S += static_cast<char>(0x80 | (Ch & 0x3F));
    } else if (Ch < 0x10000) {
        S += static_cast<char>(0xE0 | (Ch >> 12));
        S += static_cast<char>(0x80 | ((Ch >> 6) & 0x3F));
        S += static_cast<char>(0x80 | (Ch & 0x3F));
    } else {
        S += static_cast<char>(0xF0 | ((Ch >> 18) & 0x07));
        S += static_cast<char>(0x80 | ((Ch >> 12) & 0x3F));
        S += static_cast<char>(0x80 | ((Ch >> 6) & 0x3F));
        S += static_cast<char>(0x80 | (Ch & 0x3F));
    }
    return S;
}

std::string NamePrefix(std::string_view Name) {
    return Name.empty() ? std::string() : std::string(Name) + ": ";
}

} // namespace

char32_t EditTypedChar(std::string_view FormatStr, std::string_view Before, std::string_view After,
                       char32_t Ch) {
    const TEditCharClass Class = EditCharClass(FormatStr);
    if (Ch == U',' && IsNumberClass(Class))
        return NumberAtCaretHasPoint(Class == TEditCharClass::Pair, Before, After) ? 0 : U'.';
    return EditCharAllowed(FormatStr, Ch) ? Ch : 0;
}

std::string LimitsCueText(std::string_view Name, const TEditLimits& Limits,
                          std::string_view FormatStr, TFormatType FormatType, int SigDigs,
                          std::string_view UnitCaption) {
    if (HasStrFormat(FormatStr)) return {};
    const std::string_view Fmt = HasPairFormat(FormatStr) ? BeforeSlash(FormatStr) : FormatStr;
    const int Decimals = FormatStrDecimals(Fmt);
    try {
        std::string S = NamePrefix(Name);
        S += FormatValueText(ConvertToUnits(Limits.RangeLo, Limits.Factor, Limits.Offset), Fmt,
                             FormatType, SigDigs, Decimals);
        S += " to ";
        S += FormatValueText(ConvertToUnits(Limits.RangeHi, Limits.Factor, Limits.Offset), Fmt,
                             FormatType, SigDigs, Decimals);
        if (!UnitCaption.empty()) {
            S += ' ';
            S += UnitCaption;
        }
        return S;
    } catch (const std::exception&) {
        return {};
    }
}

std::string RefusedCharCueText(std::string_view Name, std::string_view FormatStr, char32_t Ch) {
    const TEditCharClass Class = EditCharClass(FormatStr);
    std::string S = NamePrefix(Name) + "\"" + Utf8(Ch) + "\" is not accepted; ";
    if (Ch == U',' && IsNumberClass(Class)) return S + "the number has a \".\" already";
    switch (Class) {
    case TEditCharClass::Pair:
        return S + "type digits, \"-\", \".\" and \"/\"";
    case TEditCharClass::Whole:
        return S + "type digits and \"-\"";
    case TEditCharClass::Float:
        return S + "type digits, \"-\" and \".\"";
    case TEditCharClass::General:
        return S + "type digits, \"-\", \".\" and \"E\"";
    case TEditCharClass::Any:
        break;
    }
    return {};
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
        if (HasStrFormat(FormatStr)) {
            NewText = FormatString(FormatStr, Text);
        } else {
            const std::string Clean = CleanNumberText(Text);
            if (HasPairFormat(FormatStr)) {
                double A = 0, B = 0;
                const bool Two = ParseNumberPair(Clean, A, B);
                const bool InA = CheckEditLimits(A, Limits);
                // A single number drops the second one; only what stays is
                // tested, so a dropped 0 never counts as out of range.
                const bool InB = !Two || CheckEditLimits(B, Limits);
                NewText =
                    Two ? FormatPair(FormatStr, A, B) : FormatNumber(BeforeSlash(FormatStr), A);
                R.InRange = InA && InB;
            } else {
                double V = StrToFloat(Clean);
                const bool In = CheckEditLimits(V, Limits);
                if (HasIntFormat(FormatStr))
                    NewText = FormatText(FormatStr, {ValueAsInteger(V)});
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
        if (HasStrFormat(FormatStr)) return FormatString(FormatStr, Text);
    } catch (const std::exception&) {
        return std::string(Text);
    }
    const auto Field = EditNumberField(FormatStr, ft_Fixed, 5, Factor, Offset);
    const TFieldValue V = FieldTextToValue(*Field, Text);
    if (auto* D = std::get_if<double>(&V)) return *D;
    if (auto* I = std::get_if<long long>(&V)) return *I;
    if (auto* S = std::get_if<std::string>(&V)) return *S;
    return std::string(Text);
}

std::string EditValueToText(const TEditValue& Value, std::string_view FormatStr,
                            TFormatType FormatType, int SigDigs, double Factor, double Offset) {
    TFieldValue V;
    if (auto* D = std::get_if<double>(&Value))
        V = *D;
    else if (auto* I = std::get_if<long long>(&Value))
        V = *I;
    else
        V = std::get<std::string>(Value);
    try {
        if (HasStrFormat(FormatStr))
            return FormatString(FormatStr, std::holds_alternative<double>(Value)
                                               ? FormatNumber("%0.15g", std::get<double>(Value))
                                               : ValueAsText(V));
    } catch (const std::exception&) {
        return {};
    }
    return FieldValueToText(*EditNumberField(FormatStr, FormatType, SigDigs, Factor, Offset), V);
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
