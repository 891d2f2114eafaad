// Entry grid field types: the field object behind each row of an entry grid
// (TField, TNumField, TDelimNumField, TEnumField, TBoolField), the value type
// that crosses the sheet (TFieldValue), and the conversions between a row's
// value and its value-cell text, chosen by the field's class (most specific
// class first). No toolkit code; the row model (TxEntryGrid.h) and the Qt
// widgets build on this.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "units/NumberText.h"
#include "units/TxConv.h"

namespace oravent {

// A value crossing the sheet: a text (pair rows, text rows, unreadable
// cells), a number in base units, an integer (enumeration index, whole-number
// rows) or a Boolean (check rows). The default value is the empty text.
using TFieldValue = std::variant<std::string, double, long long, bool>;

// Coercions between the alternatives, as a row needs them. Each raises
// EConvertError when the value cannot be taken as asked (a text that is not
// a number, a number that is not finite or does not fit).
double ValueAsNumber(const TFieldValue& Value);
long long ValueAsInteger(const TFieldValue& Value); // numbers rounded half to even
bool ValueAsBool(const TFieldValue& Value);         // "true"/"false" or a number
// Never fails: numbers with up to 15 significant digits and "." as the
// decimal separator, Booleans as "True"/"False".
std::string ValueAsText(const TFieldValue& Value);

inline bool IsTextValue(const TFieldValue& Value) {
    return std::holds_alternative<std::string>(Value);
}

// Text helpers of row texts and cell texts: ASCII letters compared without
// regard to case; blanks and control characters trimmed from both ends.
bool SameTextNoCase(std::string_view A, std::string_view B);
std::string_view TrimControls(std::string_view Text);

// Letter tests on a format string. Each is a plain substring test on the
// whole string; the caller's order of tests decides where several match.
bool HasStrFormat(std::string_view FormatStr);  // contains s or S
bool HasIntFormat(std::string_view FormatStr);  // contains d or D
bool HasRealFormat(std::string_view FormatStr); // contains f, F, g or G
bool HasPairFormat(std::string_view FormatStr); // contains "/"

// Editing aid of a row (EditorKind).
enum TEditorKind : unsigned char {
    ekNone = 0,
    ekPropEditor = 1,
    ekPullDown = 2,
    ekSpin = 3,
    ekCheckBox = 4,
};

// Property editor of a row: takes the row's value, may change it, and returns
// 1 to accept the changed value or 2 to cancel; other results are ignored.
using TPropEditHandler = std::function<int(TFieldValue& Value)>;

// Plain text row; base of all fields.
class TField {
public:
    TField(int EditorKind, std::string FormatStr)
        : FormatStr(std::move(FormatStr)), EditorKind(static_cast<unsigned char>(EditorKind)) {}
    virtual ~TField() = default;
    TField(const TField&) = delete;
    TField& operator=(const TField&) = delete;

    std::string FormatStr;
    unsigned char EditorKind = ekNone;
    bool Enabled = true;
    TPropEditHandler OnPropEdit;
};

// A single number, held in base units and shown in UnitsValue.
class TNumField : public TField {
public:
    TNumField(int EditorKind, std::string FormatStr, double RangeLo, double RangeHi,
              double SpinStep)
        : TField(EditorKind, std::move(FormatStr)), RangeLo(RangeLo), RangeHi(RangeHi),
          SpinStep(SpinStep) {}

    double RangeLo = 0; // base units
    double RangeHi = 0; // base units
    double SpinStep = 1;
    TUnitsType UnitsType = utNone;
    int UnitsValue = 0; // shown unit index
    int UnitsBase = 0;  // held unit index
    double Factor = 1;  // shown = held * Factor + Offset
    double Offset = 0;
    TFormatType FormatType = ft_Fixed;
    int SigDigs = 5;

    // FormatStrDecimals(FormatStr), always in step with FormatStr.
    int Decimals() const { return FormatStrDecimals(FormatStr); }
    // The limits in shown units.
    double ShownRangeLo() const { return ConvertToUnits(RangeLo, Factor, Offset); }
    double ShownRangeHi() const { return ConvertToUnits(RangeHi, Factor, Offset); }
};

// Two numbers shown as "a/b" (such as dry bulb/wet bulb); both share the
// row's range, units, factor and offset. Its value is always a text.
class TDelimNumField : public TNumField {
public:
    using TNumField::TNumField;
};

// One of a list of names; the value is a 0-based index into Items.
class TEnumField : public TField {
public:
    explicit TEnumField(std::vector<std::string> Items)
        : TField(ekPullDown, std::string()), Items(std::move(Items)) {}
    std::vector<std::string> Items;
    // Index of Text in Items, compared without regard to (ASCII) case; -1 when absent.
    int IndexOf(std::string_view Text) const;
};

// A check value, shown as "[x]" or "[ ]".
class TBoolField : public TField {
public:
    TBoolField() : TField(ekCheckBox, std::string()) {}
};

inline constexpr const char* CheckedText = "[x]";
inline constexpr const char* UncheckedText = "[ ]";

// The value-cell text of a row's value. Any conversion failure gives the
// empty text; never throws.
std::string FieldValueToText(const TField& Field, const TFieldValue& Value);
// The row's value read from its value-cell text. Never throws: what cannot be
// read comes back as the cell text itself.
TFieldValue FieldTextToValue(const TField& Field, std::string_view Text);

// Field class tests, most specific first.
inline const TDelimNumField* AsDelimNumField(const TField* F) {
    return dynamic_cast<const TDelimNumField*>(F);
}
inline TNumField* AsNumField(TField* F) {
    return dynamic_cast<TNumField*>(F);
}
inline const TNumField* AsNumField(const TField* F) {
    return dynamic_cast<const TNumField*>(F);
}
inline TEnumField* AsEnumField(TField* F) {
    return dynamic_cast<TEnumField*>(F);
}
inline const TEnumField* AsEnumField(const TField* F) {
    return dynamic_cast<const TEnumField*>(F);
}
inline const TBoolField* AsBoolField(const TField* F) {
    return dynamic_cast<const TBoolField*>(F);
}

} // namespace oravent
