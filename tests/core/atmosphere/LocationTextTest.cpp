// A place as text: the details rows, the hemisphere and time-zone texts,
// missing numbers, the folding that the search compares and the list order.
#include <cmath>

#include <gtest/gtest.h>

#include "atmosphere/LocationText.h"
#include "core/atmosphere/LocationFixture.h"

namespace oravent {
namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

TEST(LocationText, HemispheresAndTimeZones) {
    const struct {
        std::string (*Text)(double);
        double Value;
        const char* Shown;
    } Cases[] = {
        {LatitudeText, -26.1, "26.10S"},  {LatitudeText, 26.125, "26.13N"},
        {LatitudeText, 0, "0.00N"},       {LatitudeText, -0.001, "0.00S"},
        {LongitudeText, 28.23, "28.23E"}, {LongitudeText, -104.98, "104.98W"},
        {TimeZoneText, -5, "5W"},         {TimeZoneText, 2, "2E"},
        {TimeZoneText, 0, "0E"},          {TimeZoneText, 5.5, "5.5E"},
        {TimeZoneText, 5.75, "5.75E"},    {TimeZoneText, -3.5, "3.5W"},
        {TimeZoneText, 12.75, "12.75E"},  {LatitudeText, NaN, "n/a"},
        {TimeZoneText, INFINITY, "n/a"},  {LongitudeText, -INFINITY, "n/a"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(C.Text(C.Value), C.Shown) << C.Value;
}

TEST(LocationText, TheTenDetailRows) {
    test::TLocationFixture F;
    const TLocationRec& Jo = F.SouthAfrica[1];
    const TLocationDetailTexts Texts = LocationDetailTexts(Jo);
    EXPECT_EQ(Texts[0], "Latitude,26.10S");
    EXPECT_EQ(Texts[3], "Altitude,\"1694 m\"");
    EXPECT_EQ(Texts[6], "\"Wind Speed\",\"3.5 m/s\"");
    const TLocationDetails Rows = LocationDetails(Jo);
    const char* const Expected[10][2] = {
        {"Latitude", "26.10S"},    {"Longitude", "28.23E"},     {"TimeZone", "2E"},
        {"Altitude", "1694 m"},    {"Cooling", "29.4/18.9 °C"}, {"Heating", "1.2 °C"},
        {"Wind Speed", "3.5 m/s"}, {"Max DryBulb", "32.0 °C"},  {"Min DryBulb", "-2.0 °C"},
        {"DB Range", "14.0 °C"},
    };
    for (int R = 0; R < 10; ++R) {
        EXPECT_EQ(Rows[R].Caption, Expected[R][0]) << R;
        EXPECT_EQ(Rows[R].Value, Expected[R][1]) << R;
    }
}

TEST(LocationText, MissingNumbersShowAsNotAvailable) {
    TLocationRec R; // every number missing
    const TLocationDetails Rows = LocationDetails(R);
    for (const TLocationDetailRow& Row : Rows)
        EXPECT_EQ(Row.Value, "n/a") << Row.Caption;
    R.CoolingWetBulb = 18.9f;
    R.WindSpeed = INFINITY;
    EXPECT_EQ(LocationDetails(R)[4].Value, "n/a/18.9 °C");
    EXPECT_EQ(LocationDetails(R)[6].Value, "n/a");
}

TEST(LocationText, CellsSplitAtCommasOutsideQuotes) {
    EXPECT_EQ(SplitQuotedCells("\"Wind Speed\",\"3,5 m/s\""),
              (std::vector<std::string>{"Wind Speed", "3,5 m/s"}));
    EXPECT_EQ(SplitQuotedCells("a,b,c"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitQuotedCells(""), (std::vector<std::string>{""}));
}

TEST(LocationText, SelectionAndStatusTexts) {
    EXPECT_EQ(LocationSelectionText("Johannesburg", "Gauteng"), "Johannesburg, Gauteng");
    EXPECT_EQ(LocationSelectionText("100% Town", "%s"), "100% Town, %s");
    EXPECT_EQ(RecordStatusText(2, 4), "Record 2 of 4");
}

TEST(LocationText, FoldingIgnoresCaseAndLatinAccents) {
    const struct {
        const char* Text;
        const char* Folded;
    } Cases[] = {
        {"Zürich", "zurich"},         {"ZÜRICH", "zurich"},      {"São Tomé", "sao tome"},
        {"Øster Ålby", "oster alby"}, {"Straße", "strasse"},     {"Ærøskøbing", "aeroskobing"},
        {"Œuilly", "oeuilly"},        {"Þórshöfn", "thorshofn"}, {"Šibenik", "sibenik"},
        {"Žabljak", "zabljak"},       {"ŸÿÝý", "yyyy"},          {"Łódź", "lodz"},
        {"Ţânţăreni", "tantareni"},   {"Ŧest Ũ", "test u"},      {"İzmir ı", "izmir i"},
        {"2×3÷4", "2×3÷4"},           {"Москва", "Москва"},      {"\xC3", "\xC3"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FoldForSearch(C.Text), C.Folded) << C.Text;
    EXPECT_TRUE(FoldedContains(FoldForSearch("Zürich"), FoldForSearch("zur")));
    EXPECT_TRUE(FoldedContains(FoldForSearch("Zürich"), ""));
    EXPECT_FALSE(FoldedContains(FoldForSearch("Zug"), FoldForSearch("zur")));
}

TEST(LocationText, ListOrderByFoldedNameThenBytes) {
    std::vector<std::string> Names = {"berlin", "Århus", "Zürich", "Berlin",
                                      "Aachen", "+All",  "Zug"};
    SortLocationNames(Names);
    EXPECT_EQ(Names, (std::vector<std::string>{"+All", "Aachen", "Århus", "Berlin", "berlin", "Zug",
                                               "Zürich"}));
}

} // namespace
} // namespace oravent
