// Number text: the program's own locale-independent formatter for the format
// strings it uses ("%0.3f", "%0.4g", "%d", "%s", pairs such as "%0.1f/%0.1f",
// literal text around them), the format modes of TFormatType, and the tolerant
// reading of typed numbers. "." is the only decimal separator; rounding is
// half away from zero at 18 significant digits. Every failure is an
// EConvertError.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

namespace oravent {

// The one exception type of number text: text that is not a number, a
// malformed exponent, a format string that cannot take the argument.
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TFormatType : std::uint8_t { ft_Auto, ft_Fixed, ft_AutoOverride, ft_Manual };

// Kind of a format string, decided by the letters it contains, first rule
// first: "s"/"S" text, "/" pair, "d"/"D" whole number, "f"/"F"/"g"/"G" float.
enum class TFormatKind : std::uint8_t { Text, Pair, Whole, Float, None };
TFormatKind FormatKind(std::string_view FormatStr);
// True when the format contains "g" or "G" (a general float format).
bool IsGeneralFormat(std::string_view FormatStr);

// One argument of FormatText.
using TFormatArg = std::variant<double, long long, std::string>;

// printf-style formatting with the program's rules. Conversions: f, g, e, d,
// s (and upper-case forms); flags "-", "0", "+", " " and a width are honoured;
// "%%" is a percent sign. A numeric conversion given a text, or a text
// conversion given a number, raises EConvertError; a missing argument too,
// and so does an unknown conversion letter or a format ending inside a
// conversion. Further rules:
//   - "g" and "e" write the exponent as "E", a "-" only when it is negative,
//     and at least three digits: 1200 with "%0.1g" is "1E003".
//   - A result that shows as zero has no sign: -0.0 and -0.0004 with "%0.3f"
//     both give "0.000".
//   - NaN is written "NAN", infinities "INF" and "-INF".
//   - A double given to "d" is rounded to the nearest integer, ties to even.
//   - Without a precision, f/g/e use 6. Precisions above MaxFormatPrecision
//     and widths above MaxFormatWidth are clamped to them.
inline constexpr int MaxFormatPrecision = 100;
inline constexpr int MaxFormatWidth = 256;
std::string FormatText(std::string_view FormatStr, std::initializer_list<TFormatArg> Args);
// The common cases: one number, two numbers (pair formats), one text.
std::string FormatNumber(std::string_view FormatStr, double Value);
std::string FormatPair(std::string_view FormatStr, double First, double Second);
std::string FormatString(std::string_view FormatStr, std::string_view Text);
// The shortest "%g" text (15 to 17 significant digits) that StrToFloat reads
// back as exactly Value: 0.81996, 13.37, 2.3597372158999998. Files keep
// values this way, so a saved value reopens as typed. "NAN", "INF", "-INF"
// for values that are not finite.
std::string ShortestRealText(double Value);

// Text of a single value already in the shown unit. Decimals is
// FormatStrDecimals(FormatStr). Text formats give FormatStr applied to the
// empty text; pair formats write (Value, 0). A format that cannot take the
// value raises EConvertError (a control then shows empty text).
std::string FormatValueText(double Value, std::string_view FormatStr, TFormatType FormatType,
                            int SigDigs, int Decimals);
int DecimalsForSigDigs(int SigDigs, int MaxDecimals, double Value);
std::string SigDigsFormatStr(int SigDigs, int MaxDecimals, double Value);
int FormatStrDecimals(std::string_view FormatStr);

// Tolerant clean-up of typed number text (blanks, repeated "-", ".", "E",
// exponents above 300 cut to their first two characters). An empty text is
// "0"; an empty part of a pair stays empty ("20/" stays "20/"). Raises
// EConvertError for an exponent that is not an integer ("1E-", "1E+").
std::string CleanNumberText(std::string_view Text);
// Text to double with "." as the only separator; whole text must be a number
// (sign, digits with one ".", optional exponent; blanks and control
// characters at either end are ignored; "inf", "nan", hex and commas are
// not numbers). A value too small for a double reads as 0; one too large
// raises EConvertError.
double StrToFloat(std::string_view Text);
// True for "a/b" (both numbers), false for a single number (Second = 0).
// A "/" with nothing (or only blanks) after it is the first number alone:
// "20/" reads as "20", never as "20/0". Nothing before the "/" ("/15", "/")
// raises EConvertError, as does a part that is not a number ("1/2/3").
// First and Second are written only on success.
bool ParseNumberPair(std::string_view Text, double& First, double& Second);

// Typed text to a value. Number formats: the number in the shown unit (the
// caller converts it back with ConvertFromUnits); a whole-number format
// rounds it. Pair formats: a text; each number is converted back to the
// stored unit with Factor/Offset here and the pair is written with
// FormatStr, a single number with "%0.4g". Text formats: the text written
// with FormatStr.
using TParsedValue = std::variant<double, std::string>;
TParsedValue ParseValueText(std::string_view Text, std::string_view FormatStr, double Factor = 1.0,
                            double Offset = 0.0);

std::string RemoveSpaces(std::string_view Text);
// Token Count (from 1) of Text split at Delim; the text and each token's start
// are trimmed of blanks (every character up to and including the space).
// Empty when there are fewer tokens or Count < 1.
std::string GetDelimitedToken(int Count, char Delim, std::string_view Text);
std::string ReplaceChar(char FromChar, char ToChar, std::string_view Text);

} // namespace oravent
