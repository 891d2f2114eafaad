#include "atmosphere/LocationText.h"

#include <algorithm>
#include <cmath>

#include "units/NumberText.h"

namespace oravent {

std::string LocationNumberText(std::string_view Format, double Value) {
    if (!std::isfinite(Value)) return std::string(MissingNumberText);
    return FormatNumber(Format, Value);
}

namespace {

// "%0.2f" of the magnitude followed by Positive (>= 0) or Negative.
std::string HemisphereText(double Value, std::string_view Format, char Positive, char Negative) {
    if (!std::isfinite(Value)) return std::string(MissingNumberText);
    return FormatNumber(Format, std::fabs(Value)) + (Value >= 0 ? Positive : Negative);
}

// A value and its unit after a blank, or "n/a" alone.
std::string WithUnit(std::string_view Format, double Value, std::string_view Unit) {
    if (!std::isfinite(Value)) return std::string(MissingNumberText);
    return FormatNumber(Format, Value) + " " + std::string(Unit);
}

std::string Quoted(std::string_view Text) {
    return "\"" + std::string(Text) + "\"";
}

} // namespace

std::string LatitudeText(double Value) {
    return HemisphereText(Value, "%0.2f", 'N', 'S');
}

std::string LongitudeText(double Value) {
    return HemisphereText(Value, "%0.2f", 'E', 'W');
}

std::string TimeZoneText(double Value) {
    if (!std::isfinite(Value)) return std::string(MissingNumberText);
    std::string Text = FormatNumber("%0.2f", std::fabs(Value));
    if (Text.ends_with(".00")) return HemisphereText(Value, "%0.0f", 'E', 'W');
    while (Text.back() == '0')
        Text.pop_back();
    return Text + (Value >= 0 ? 'E' : 'W');
}

// Numbers are shown from the decimal they were written as (LocationNumber),
// so 28.225 stored as a float still rounds to 28.23.
TLocationDetailTexts LocationDetailTexts(const TLocationRec& Rec) {
    auto N = [](float V) { return LocationNumber(V); };
    std::string Cooling;
    if (!std::isfinite(Rec.CoolingDryBulb) && !std::isfinite(Rec.CoolingWetBulb))
        Cooling = MissingNumberText;
    else
        Cooling = LocationNumberText("%0.1f", N(Rec.CoolingDryBulb)) + "/" +
                  LocationNumberText("%0.1f", N(Rec.CoolingWetBulb)) + " °C";
    return {
        "Latitude," + LatitudeText(N(Rec.Latitude)),
        "Longitude," + LongitudeText(N(Rec.Longitude)),
        "TimeZone," + TimeZoneText(N(Rec.TimeZone)),
        "Altitude," + Quoted(WithUnit("%0.0f", N(Rec.Altitude), "m")),
        "Cooling," + Quoted(Cooling),
        "Heating," + Quoted(WithUnit("%0.1f", N(Rec.HeatingDryBulb), "°C")),
        "\"Wind Speed\"," + Quoted(WithUnit("%0.1f", N(Rec.WindSpeed), "m/s")),
        "\"Max DryBulb\"," + Quoted(WithUnit("%0.1f", N(Rec.MaxDryBulb), "°C")),
        "\"Min DryBulb\"," + Quoted(WithUnit("%0.1f", N(Rec.MinDryBulb), "°C")),
        "\"DB Range\"," + Quoted(WithUnit("%0.1f", N(Rec.DryBulbRange), "°C")),
    };
}

std::vector<std::string> SplitQuotedCells(std::string_view Text) {
    std::vector<std::string> Cells(1);
    bool InQuotes = false;
    for (char C : Text) {
        if (C == '"')
            InQuotes = !InQuotes;
        else if (C == ',' && !InQuotes)
            Cells.emplace_back();
        else
            Cells.back() += C;
    }
    return Cells;
}

TLocationDetails LocationDetails(const TLocationRec& Rec) {
    const TLocationDetailTexts Texts = LocationDetailTexts(Rec);
    TLocationDetails Rows;
    for (int R = 0; R < LocationDetailRowCount; ++R) {
        std::vector<std::string> Cells = SplitQuotedCells(Texts[R]);
        Rows[R].Caption = Cells[0];
        if (Cells.size() > 1) Rows[R].Value = Cells[1];
    }
    return Rows;
}

std::string LocationSelectionText(std::string_view Name, std::string_view Region) {
    return FormatText("%s, %s", {std::string(Name), std::string(Region)});
}

std::string SettingText(std::string_view Text) {
    std::string Out(Text);
    for (char& C : Out)
        if (static_cast<unsigned char>(C) < ' ') C = ' ';
    return Out;
}

std::string RecordStatusText(int Position, int Count) {
    return FormatText("Record %d of %d",
                      {static_cast<long long>(Position), static_cast<long long>(Count)});
}

// ---- Folding -----------------------------------------------------------------

namespace {

// Base letters of U+00C0..U+017F, sixteen to a row: '#' marks a letter that
// folds to two ("ae", "th", "ss", "ij", "oe"), '*' one that stays (× ÷).
constexpr std::string_view FoldRows = "aaaaaa#ceeeeiiii"  // U+00C0
                                      "dnooooo*ouuuuy##"  // U+00D0
                                      "aaaaaa#ceeeeiiii"  // U+00E0
                                      "dnooooo*ouuuuy#y"  // U+00F0
                                      "aaaaaaccccccccdd"  // U+0100
                                      "ddeeeeeeeeeegggg"  // U+0110
                                      "gggghhhhiiiiiiii"  // U+0120
                                      "ii##jjkkklllllll"  // U+0130
                                      "lllnnnnnnnnnoooo"  // U+0140
                                      "oo##rrrrrrssssss"  // U+0150
                                      "ssttttttuuuuuuuu"  // U+0160
                                      "uuuuwwyyyzzzzzzs"; // U+0170
static_assert(FoldRows.size() == 0x180 - 0xC0);

std::string_view Ligature(char32_t C) {
    switch (C) {
    case 0xC6:
    case 0xE6:
        return "ae";
    case 0xDE:
    case 0xFE:
        return "th";
    case 0xDF:
        return "ss";
    case 0x132:
    case 0x133:
        return "ij";
    default:
        return "oe"; // U+0152, U+0153
    }
}

} // namespace

std::string FoldForSearch(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
        const auto B = static_cast<unsigned char>(Text[I]);
        if (B < 0x80) {
            Out += (B >= 'A' && B <= 'Z') ? static_cast<char>(B + 32) : static_cast<char>(B);
            continue;
        }
        // Two-byte sequences of U+00C0..U+017F: lead bytes C3, C4, C5.
        if (B >= 0xC3 && B <= 0xC5 && I + 1 < Text.size()) {
            const auto T = static_cast<unsigned char>(Text[I + 1]);
            if ((T & 0xC0) == 0x80) {
                const char32_t C = ((B & 0x1F) << 6) | (T & 0x3F);
                if (C >= 0xC0) {
                    const char Base = FoldRows[C - 0xC0];
                    if (Base == '#')
                        Out += Ligature(C);
                    else if (Base == '*')
                        Out.append(Text.substr(I, 2));
                    else
                        Out += Base;
                    ++I;
                    continue;
                }
            }
        }
        Out += static_cast<char>(B);
    }
    return Out;
}

bool LocationNameLess(std::string_view FoldedA, std::string_view A, std::string_view FoldedB,
                      std::string_view B) {
    if (FoldedA != FoldedB) return FoldedA < FoldedB;
    return A < B;
}

void SortLocationNames(std::vector<std::string>& Names) {
    std::vector<std::pair<std::string, std::string>> Keyed;
    Keyed.reserve(Names.size());
    for (std::string& N : Names)
        Keyed.emplace_back(FoldForSearch(N), std::move(N));
    std::sort(Keyed.begin(), Keyed.end());
    for (std::size_t I = 0; I < Names.size(); ++I)
        Names[I] = std::move(Keyed[I].second);
}

} // namespace oravent
