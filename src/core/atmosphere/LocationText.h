// What a place looks like as text: the ten rows of the picker's details
// table, the selection text, the status texts, the order of the picker's
// lists, and the folded form of names that the search compares
// ("Zürich", "ZURICH" and "zurich" fold alike).
//
// Every number that is not finite (a missing value, NaN) is shown as "n/a".
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "atmosphere/LocationDatabase.h"

namespace oravent {

inline constexpr std::string_view MissingNumberText = "n/a";

// FormatNumber(Format, Value), or "n/a" when Value is not finite.
std::string LocationNumberText(std::string_view Format, double Value);
// "%0.2f" of the magnitude and N (>= 0) or S: -26.1 -> "26.10S".
std::string LatitudeText(double Value);
// "%0.2f" of the magnitude and E (>= 0) or W: 28.23 -> "28.23E".
std::string LongitudeText(double Value);
// Whole hours as "%0.0f" of the magnitude and E or W: -5 -> "5W". An offset
// that is not whole keeps its fraction: 5.5 -> "5.5E", 5.75 -> "5.75E".
std::string TimeZoneText(double Value);

// The ten row texts of the details table, cells split at commas outside
// double quotes: Latitude,26.10S / Altitude,"1694 m" / "Wind Speed","3.5 m/s".
inline constexpr int LocationDetailRowCount = 10;
using TLocationDetailTexts = std::array<std::string, LocationDetailRowCount>;
TLocationDetailTexts LocationDetailTexts(const TLocationRec& Rec);
// The cells of a row text: split at commas outside double quotes, the
// quotes removed ("Wind Speed","3.5 m/s" -> Wind Speed | 3.5 m/s).
std::vector<std::string> SplitQuotedCells(std::string_view Text);

// A row of the details table as the window shows it: caption and value.
struct TLocationDetailRow {
    std::string Caption;
    std::string Value;
};
using TLocationDetails = std::array<TLocationDetailRow, LocationDetailRowCount>;
TLocationDetails LocationDetails(const TLocationRec& Rec);

// "%s, %s": "Johannesburg, Gauteng".
std::string LocationSelectionText(std::string_view Name, std::string_view Region);
// A name or selection text as a setting can hold it: control characters
// (line breaks from a damaged record) become blanks.
std::string SettingText(std::string_view Text);
// "Record %d of %d" with a 1-based position.
std::string RecordStatusText(int Position, int Count);

// Folded form for searching and ordering: lower case, Latin letters with
// their accents removed (é -> e, Ø -> o, ß -> ss, Æ -> ae, Œ -> oe, Þ -> th),
// every other character unchanged. Folding is done once per name.
std::string FoldForSearch(std::string_view Text);
// Whether a folded name contains a folded search text (an empty text is
// contained in every name).
inline bool FoldedContains(std::string_view FoldedName, std::string_view FoldedText) {
    return FoldedName.find(FoldedText) != std::string_view::npos;
}
// The order of the picker's lists and of the tool's output: by folded name,
// then by the name's bytes ("Aachen" < "Århus" < "Berlin" < "berlin"
// after "Berlin").
bool LocationNameLess(std::string_view FoldedA, std::string_view A, std::string_view FoldedB,
                      std::string_view B);
// Sorts names in that order (folding each once).
void SortLocationNames(std::vector<std::string>& Names);

} // namespace oravent
