// The technical window frame's grid jobs: Align, SetGridData and the
// generic Copy to XML text.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "controls/CompactAlign.h"
#include "controls/TechFrame.h"
#include "controls/TxEntryGrid.h"

namespace oravent {
namespace {

// Window 8 pixels wider and 30 taller than its client area, a 50-pixel tool
// bar, a 19-pixel status bar, 16-pixel rows and 1-pixel grid lines.
TEST(TechFormAlign, FitsColumnsAndWindow) {
    struct TCase {
        const char* Name;
        int Texts[3];
        int Rows;
        bool Border;
        int Cols[3];
        int Width, Height;
    };
    // Height = 17 × rows + E + 50 + 19 + 30 + 2; width = 8 + E + columns + 3.
    const TCase Cases[] = {
        // Every text narrow: each column from 50 pixels (the middle one is
        // at least 50 + 25 by the same rule).
        {"NarrowTexts", {10, 20, 30}, 13, false, {90, 75, 65}, 8 - 1 + 230 + 3, 221 - 1 + 101},
        {"WideTexts", {120, 80, 70}, 13, false, {130, 105, 85}, 8 - 1 + 320 + 3, 221 - 1 + 101},
        {"SingleBorder", {10, 20, 30}, 13, true, {90, 75, 65}, 8 + 3 + 230 + 3, 221 + 3 + 101},
        // Many rows: 400 pixels high and 19 wider for the scroll bar.
        {"ManyRows", {10, 20, 30}, 30, false, {90, 75, 65}, 8 - 1 + 230 + 3 + 19, 400},
        {"LastRowsUnderTheCap", {10, 20, 30}, 17, false, {90, 75, 65}, 8 - 1 + 230 + 3, 389},
        {"FirstRowsOverTheCap", {10, 20, 30}, 18, false, {90, 75, 65}, 8 - 1 + 230 + 3 + 19, 400},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TCompactAlignInput In;
        for (int I = 0; I < 3; ++I)
            In.TextWidths[I] = C.Texts[I];
        In.FrameWidth = 8;
        In.FrameHeight = 30;
        In.SingleBorder = C.Border;
        In.RowCount = C.Rows;
        In.StatusBarHeight = 19;
        const TCompactAlignResult R = TechFormAlign(In, 50);
        for (int I = 0; I < 3; ++I)
            EXPECT_EQ(R.ColWidths[I], C.Cols[I]) << I;
        EXPECT_EQ(R.Width, C.Width);
        EXPECT_EQ(R.Height, C.Height);
        EXPECT_EQ(R.HeightCapped, C.Height == 400);
        // Compact Align is the same without the tool bar and the 2 pixels.
        const TCompactAlignResult Compact = CompactAlign(In);
        if (!R.HeightCapped) {
            EXPECT_EQ(Compact.Height, R.Height - 52);
        }
    }
}

std::vector<std::string> Lines() {
    return {"Property;Value;Units", "Name;%S", "Dry Bulb;%0.1f; °C;;-60;150",
            "Wet Bulb;%0.1f; °C;;-60;150"};
}

TEST(TechFrame, SetGridDataFormatsByRowAndSaysWhenTheCountDiffers) {
    struct TCase {
        std::vector<TFieldValue> Values;
        std::vector<std::string> Cells; // rows 1..3 afterwards
        bool Message;
    };
    const TCase Cases[] = {
        {{std::string("Moist Air"), 20.04, 14.96}, {"Moist Air", "20.0", "15.0"}, false},
        {{std::string("A"), 21.0}, {"A", "21.0", "0.0"}, true},
        {{std::string("B"), 1.0, 2.0, 3.0}, {"B", "1.0", "2.0"}, true},
    };
    for (const TCase& C : Cases) {
        TMemCellTable Table;
        TEntryGridModel Grid(Table);
        Grid.SetLines(Lines());
        std::vector<std::string> Messages;
        SetGridData(Grid, 3, C.Values, [&](std::string_view M) { Messages.emplace_back(M); });
        for (int R = 1; R <= 3; ++R)
            EXPECT_EQ(Table.Cell(1, R), C.Cells[static_cast<std::size_t>(R - 1)]) << R;
        EXPECT_EQ(Messages, C.Message ? std::vector<std::string>{"DataCount<>LineCount"}
                                      : std::vector<std::string>{});
    }
}

TEST(TechFrame, CopyToXmlNamesElementsAfterTheCells) {
    TMemCellTable Table;
    TEntryGridModel Grid(Table);
    Grid.SetLines(Lines());
    Grid.SetValue(1, 1, std::string("Moist Air"));
    Grid.SetValue(1, 2, 20.0);
    Table.SetCell(2, 2, "°C");
    EXPECT_EQ(GridToXml(Table), "<?xml version=\"1.0\"?>\r\n"
                                "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                                "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n"
                                "<Moist_Air>\r\n"
                                "  <Dry_Bulb Units=\"°C\">20.0</Dry_Bulb>\r\n"
                                "  <Wet_Bulb Units=\"°C\">0.0</Wet_Bulb>\r\n"
                                "</Moist_Air>");
    // Only the header and the name row: the opening lines and the closing tag.
    Grid.SetLines({"Property;Value;Units", "Name;%S"});
    Grid.SetValue(1, 1, std::string("A & B"));
    const std::string Xml = GridToXml(Table);
    EXPECT_EQ(Xml.substr(Xml.rfind("\r\n") - 7), "<A_&_B>\r\n</A_&_B>");
}

} // namespace
} // namespace oravent
