// Edit rules: the decisions of the formatted numeric edit and the entry
// grid's editing aids that need no widget. Which typed character a format
// accepts, the limit check with its 0.5 % tolerance and clamping, checking
// and reformatting a typed text, the value <-> text rules of a formatted edit,
// and the sizes of the pop-up lists.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "units/NumberText.h"
#include "units/TxConv.h"

namespace oravent {

// The class of a format for the character filter: tested in this order,
// pair ("/"), whole number ("d"), float ("f", "g"), anything else.
enum class TEditCharClass { Pair, Whole, Float, General, Any };
TEditCharClass EditCharClass(std::string_view FormatStr);

// Whether the typed character Ch may enter a text under FormatStr.
// Control characters are not judged here.
bool EditCharAllowed(std::string_view FormatStr, char32_t Ch);

// The character that enters the text when Ch is typed between Before and
// After (the text on either side of the caret once the selection that the
// character replaces is gone): Ch itself, or 0 when it is refused. In number
// fields (float, general and pair formats) a comma is the decimal point: it
// enters "." while the number at the caret (for a pair, the part between
// slashes) has none, and is refused once it has one. Other formats follow
// EditCharAllowed; text formats keep the comma.
char32_t EditTypedChar(std::string_view FormatStr, std::string_view Before, std::string_view After,
                       char32_t Ch);

// Limits in stored units and the conversion to shown units.
struct TEditLimits {
    double RangeLo = 0.0;
    double RangeHi = 0.0;
    double Factor = 1.0;
    double Offset = 0.0;
};

// Limit check of a value V in shown units. Returns false and sets V to the
// limit it crossed when V lies below lo (or above hi) by more than 0.5 % of
// the limit, or at all when that limit is 0. Equal limits (or both 0) never
// clamp.
bool CheckEditLimits(double& V, const TEditLimits& Limits);

// The visible cue that stands in for the beep (many desktops have no bell).
// Name is the field's name ("Volume Flow"); an empty name leaves out the
// "Name: " before the text.
//
// A value beyond the limits: "Volume Flow: 21.19 to 1220496 cfm", the limits
// in shown units written as a typed value is (FormatStr, FormatType,
// SigDigs; the part before "/" of a pair format), then the unit caption if
// any. Empty for text formats and when the limits cannot be written.
std::string LimitsCueText(std::string_view Name, const TEditLimits& Limits,
                          std::string_view FormatStr, TFormatType FormatType, int SigDigs,
                          std::string_view UnitCaption);
// A refused character: 'Volume Flow: "x" is not accepted; type digits, "-"
// and "."', the accepted characters by the format's class; a comma refused
// because the number has its point already: 'Volume Flow: "," is not
// accepted; the number has a "." already'.
std::string RefusedCharCueText(std::string_view Name, std::string_view FormatStr, char32_t Ch);

// What checking a typed text gave.
struct TEditFormatResult {
    std::string Text;     // the new text (unchanged when nothing applied)
    bool InRange = true;  // false when a limit had to be applied
    bool Changed = false; // Text differs from the input
};

// Checks and reformats a typed text: text formats apply FormatStr; pairs
// keep both numbers (or the first only, under the part of FormatStr before
// "/"), whole numbers round ties to even, floats follow FormatValueText by
// FormatType.
// Text that cannot be read stays as typed, in range.
TEditFormatResult FormatEditText(std::string_view Text, std::string_view FormatStr,
                                 TFormatType FormatType, int SigDigs, int Decimals,
                                 const TEditLimits& Limits);

// The value an edit text stands for: a number in stored units (whole formats
// give a whole number, ties to even), or a text (pairs, text formats,
// unreadable text). Text formats apply FormatStr to the text; every other
// format follows the entry grid's number and pair rows (TxFields.h).
using TEditValue = std::variant<double, long long, std::string>;

TEditValue EditTextToValue(std::string_view Text, std::string_view FormatStr, double Factor,
                           double Offset);
// The text written for a value; empty when it cannot be formatted. The
// decimals for ft_AutoOverride are those of FormatStr.
std::string EditValueToText(const TEditValue& Value, std::string_view FormatStr,
                            TFormatType FormatType, int SigDigs, double Factor, double Offset);

// Height of the units picker for Count lines of ItemHeight: (Count + 0.5)
// item heights, ties to even.
int UnitsPickerHeight(int Count, int ItemHeight);
// Width of the units picker: 10 more than the widest of 50 and each caption.
int UnitsPickerWidth(int WidestCaption);

// Drop-down list of an enumeration row: height for Count items (at most 5
// plus one line), width from the cell and the widest item.
int DropListHeight(int Count, int ItemHeight);
int DropListWidth(int CellWidth, int GridLineWidth, int WidestItem);

} // namespace oravent
