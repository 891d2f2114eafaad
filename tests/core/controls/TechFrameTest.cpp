// The technical window frame's rules without a window: Align's window
// arithmetic with a tool bar, the generic XML copy of the sheet, and which
// command an access key runs.
#include <gtest/gtest.h>

#include "controls/CompactAlign.h"
#include "controls/TechFrame.h"
#include "controls/TxEntryGrid.h"

using namespace oravent;

namespace {

// ---------------------------------------------------------------------------
// Align: the frame's window under a two-row tool bar.

struct AlignCase {
    const char* Name;
    int Texts[3];
    int Rows;
    bool SingleBorder;
    int Cols[3];
    int Width, Height;
    bool Capped;
};

// Frame 8 x 30, rows 16 high, lines 1, tool bar 52, status bar 19, the
// frame's allowance 2.
TCompactAlignInput FrameInput(const AlignCase& C) {
    TCompactAlignInput In;
    for (int I = 0; I < 3; ++I)
        In.TextWidths[I] = C.Texts[I];
    In.FrameWidth = 8;
    In.FrameHeight = 30;
    In.Row0Height = 16;
    In.RowCount = C.Rows;
    In.SingleBorder = C.SingleBorder;
    In.ToolBarHeight = 52;
    In.StatusBarHeight = 19;
    In.ExtraHeight = 2;
    return In;
}

class TechAlign : public ::testing::TestWithParam<AlignCase> {};

TEST_P(TechAlign, FitsColumnsAndWindow) {
    const AlignCase& C = GetParam();
    const TCompactAlignResult R = CompactAlign(FrameInput(C));
    EXPECT_EQ(R.ColWidths[0], C.Cols[0]);
    EXPECT_EQ(R.ColWidths[1], C.Cols[1]);
    EXPECT_EQ(R.ColWidths[2], C.Cols[2]);
    EXPECT_EQ(R.Width, C.Width);
    EXPECT_EQ(R.Height, C.Height);
    EXPECT_EQ(R.HeightCapped, C.Capped);
}

// Width = frame 8 + lines 3 + E + columns; height = E + 17 x rows + 52 +
// 19 + 30 + 2, at most 400 (then 19 wider). Every column's widest text is
// at least 50, so the value column is never narrower than 75.
const AlignCase AlignCases[] = {
    {"NarrowTextsGiveTheMinimumColumns",
     {10, 5, 0},
     3,
     false,
     {90, 75, 65},
     8 + 3 - 1 + 230,
     -1 + 51 + 103,
     false},
    {"WideTextsSetTheColumns",
     {200, 100, 80},
     13,
     false,
     {210, 125, 95},
     8 + 3 - 1 + 430,
     -1 + 221 + 103,
     false},
    {"SingleBorderAddsThree",
     {10, 5, 0},
     3,
     true,
     {90, 75, 65},
     8 + 3 + 3 + 230,
     3 + 51 + 103,
     false},
    {"ManyRowsStopAt400AndWidenBy19",
     {10, 5, 0},
     40,
     false,
     {90, 75, 65},
     8 + 3 - 1 + 230 + 19,
     400,
     true},
    {"SeventeenRowsStayUnder400",
     {10, 5, 0},
     17,
     false,
     {90, 75, 65},
     8 + 3 - 1 + 230,
     -1 + 289 + 103,
     false},
    {"EighteenRowsAreCapped", {10, 5, 0}, 18, false, {90, 75, 65}, 8 + 3 - 1 + 230 + 19, 400, true},
};
INSTANTIATE_TEST_SUITE_P(Cases, TechAlign, ::testing::ValuesIn(AlignCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(TechAlign, ToolBarAndAllowanceAreTheOnlyDifferenceFromTheMainWindow) {
    TCompactAlignInput In = FrameInput(AlignCases[1]);
    const TCompactAlignResult Frame = CompactAlign(In);
    In.ToolBarHeight = 0;
    In.ExtraHeight = 0;
    const TCompactAlignResult Main = CompactAlign(In);
    EXPECT_EQ(Frame.Height - Main.Height, 52 + 2);
    EXPECT_EQ(Frame.Width, Main.Width);
}

// ---------------------------------------------------------------------------
// Copy to XML

TMemCellTable Sheet(const std::vector<std::array<std::string, 3>>& Rows) {
    TMemCellTable T(3, static_cast<int>(Rows.size()));
    for (int R = 0; R < static_cast<int>(Rows.size()); ++R)
        for (int C = 0; C < 3; ++C)
            T.SetCell(C, R, Rows[R][C]);
    return T;
}

const std::string Head = "<?xml version=\"1.0\"?>\r\n"
                         "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
                         "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n";

struct XmlCase {
    const char* Name;
    std::vector<std::array<std::string, 3>> Rows;
    std::string Body; // after the two head lines
};

class TechXml : public ::testing::TestWithParam<XmlCase> {};

TEST_P(TechXml, Text) {
    EXPECT_EQ(TechFrameXml(Sheet(GetParam().Rows)), Head + GetParam().Body);
}

const XmlCase XmlCases[] = {
    {"MoistAirDryBulb",
     {{"Property", "Value", "Units"}, {"Name", "Moist Air", ""}, {"Dry Bulb", "20.0", "°C"}},
     "<Moist_Air>\r\n  <Dry_Bulb Units=\"°C\">20.0</Dry_Bulb>\r\n</Moist_Air>"},
    {"HeaderAndNameOnly", {{"Property", "Value", "Units"}, {"Name", "Air", ""}}, "<Air>\r\n</Air>"},
    {"EveryBlankBecomesAnUnderscore",
     {{"P", "V", "U"}, {"N", " a  b ", ""}, {"Rel Humidity x", "50.0", "%"}},
     "<_a__b_>\r\n  <Rel_Humidity_x Units=\"%\">50.0</Rel_Humidity_x>\r\n</_a__b_>"},
    {"RowsInOrderWithEmptyCells",
     {{"P", "V", "U"}, {"N", "X", ""}, {"A", "1", "kPa"}, {"B", "", ""}},
     "<X>\r\n  <A Units=\"kPa\">1</A>\r\n  <B Units=\"\"></B>\r\n</X>"},
    {"MarkupIsCopiedAsItIs",
     {{"P", "V", "U"}, {"N", "a&b", ""}, {"C<D", "\"1\"", "m>"}},
     "<a&b>\r\n  <C<D Units=\"m>\">\"1\"</C<D>\r\n</a&b>"},
    {"NoRowsAtAll", {}, "<>\r\n</>"},
};
INSTANTIATE_TEST_SUITE_P(Cases, TechXml, ::testing::ValuesIn(XmlCases),
                         [](const auto& I) { return std::string(I.param.Name); });

// ---------------------------------------------------------------------------
// Access keys

TEST(AccessKeys, KeyOfACaption) {
    const std::pair<const char*, char> Cases[] = {
        {"&Open", 'O'}, {"S&olve", 'O'}, {"Clip screen", 0}, {"Fish && &Chips", 'C'}, {"&&", 0},
        {"End&", 0},    {"", 0},         {"&1st", '1'},
    };
    for (const auto& [Caption, Key] : Cases)
        EXPECT_EQ(AccessKeyOf(Caption), Key) << Caption;
}

TEST(AccessKeys, FirstAvailableCommandInPrecedenceOrderWins) {
    // The frame lists Accept and Cancel first, then the tool bar's order.
    std::vector<TAccessKeyCommand> C = {
        {"&Accept"},       {"&Cancel"},       {"&Open"}, {"&Save"},  {"&Copy"},
        {"&Paste"},        {"S&olve"},        {"&View"}, {"&Print"}, {"&Align"},
        {"&Reset", false}, {"&About", false}, {"&Help"},
    };
    struct Case {
        char Key;
        int Owner;
    } Cases[] = {{'A', 0},  {'a', 0},  {'C', 1},  {'O', 2}, {'P', 5},
                 {'R', -1}, {'H', 12}, {'X', -1}, {0, -1}};
    for (const Case& K : Cases)
        EXPECT_EQ(AccessKeyOwner(C, K.Key), K.Owner) << K.Key;
    // With Accept, Open and Paste hidden the next in line takes their keys.
    C[0].Available = C[2].Available = C[5].Available = false;
    EXPECT_EQ(AccessKeyOwner(C, 'A'), 9);
    EXPECT_EQ(AccessKeyOwner(C, 'O'), 6);
    EXPECT_EQ(AccessKeyOwner(C, 'P'), 8);
}

} // namespace
