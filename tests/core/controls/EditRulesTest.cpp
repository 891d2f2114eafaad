// Edit rules of the formatted edit: checking and reformatting typed text,
// and the edit's value <-> text rules, which follow the entry grid's number
// rows.
#include <gtest/gtest.h>

#include <string>

#include "controls/EditRules.h"

using namespace oravent;

namespace {

struct TypedCase {
    const char* Name;
    const char* Format;
    double Lo, Hi;
    const char* Typed;
    const char* Shown;
    bool InRange;
};

class EditTyped : public ::testing::TestWithParam<TypedCase> {};

TEST_P(EditTyped, ChecksAndReformats) {
    const TypedCase& C = GetParam();
    const TEditLimits Limits{C.Lo, C.Hi, 1.0, 0.0};
    const TEditFormatResult R =
        FormatEditText(C.Typed, C.Format, ft_Fixed, 5, FormatStrDecimals(C.Format), Limits);
    EXPECT_EQ(R.Text, C.Shown);
    EXPECT_EQ(R.InRange, C.InRange);
    EXPECT_EQ(R.Changed, R.Text != C.Typed);
}

INSTANTIATE_TEST_SUITE_P(
    EditRules, EditTyped,
    ::testing::Values(
        TypedCase{"WithinHalfPercentAbove", "%0.3f", 70, 120, "120.5", "120.500", true},
        TypedCase{"BeyondHigh", "%0.3f", 70, 120, "121", "120.000", false},
        TypedCase{"BeyondLow", "%0.3f", 70, 120, "69", "70.000", false},
        TypedCase{"ZeroHighHasNoTolerance", "%0.1f", -60, 0, "0.001", "0.0", false},
        TypedCase{"PairSingleNumberKeepsFirstPart", "%0.1f/%0.1f", 0, 0, "25", "25.0", true},
        // Nothing after the "/" is the first number alone, never "20.0/0.0".
        TypedCase{"PairEmptySecondIsTheFirstAlone", "%0.1f/%0.1f", -60, 90, "20/", "20.0", true},
        TypedCase{"PairBlankSecondIsTheFirstAlone", "%0.1f/%0.1f", -60, 90, "95 / ", "90.0", false},
        // Nothing before it is no number: left as typed for the reader to refuse.
        TypedCase{"PairEmptyFirstStaysAsTyped", "%0.1f/%0.1f", -60, 90, "/15", "/15", true},
        // Whole numbers round ties to even, as the grid's whole-number rows do.
        TypedCase{"WholeTieDown", "%d", 0, 0, "2.5", "2", true},
        TypedCase{"WholeTieUp", "%d", 0, 0, "3.5", "4", true},
        TypedCase{"WholeNegativeTie", "%d", 0, 0, "-2.5", "-2", true},
        TypedCase{"WholeClamped", "%d", 0, 100, "130", "100", false},
        // A pasted number too large for a whole number stays as typed.
        TypedCase{"WholeTooLargeStays", "%d", 0, 0, "99999999999999999999", "99999999999999999999",
                  true}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(EditRules, WholeNumberValuesRoundTiesToEven) {
    const TEditValue V = EditTextToValue("2.5", "%d", 1.0, 0.0);
    ASSERT_TRUE(std::holds_alternative<long long>(V));
    EXPECT_EQ(std::get<long long>(V), 2);
    EXPECT_EQ(EditValueToText(2.5, "%d", ft_Fixed, 5, 1.0, 0.0), "2");
    EXPECT_EQ(EditValueToText(3.5, "%d", ft_Fixed, 5, 1.0, 0.0), "4");
    EXPECT_EQ(EditValueToText(2.6, "%d", ft_Fixed, 5, 1.0, 0.0), "3");
    // Too large for a whole number: no text, and the text itself reads back.
    EXPECT_EQ(EditValueToText(1e30, "%d", ft_Fixed, 5, 1.0, 0.0), "");
    const TEditValue Big = EditTextToValue("1E30", "%d", 1.0, 0.0);
    ASSERT_TRUE(std::holds_alternative<std::string>(Big));
    EXPECT_EQ(std::get<std::string>(Big), "1E30");
}

TEST(EditRules, ValuesFollowTheGridsNumberRows) {
    // Numbers in stored units through the shown unit.
    EXPECT_EQ(EditValueToText(0.5, "%0.0f", ft_Fixed, 5, 1000, 0), "500");
    const TEditValue V = EditTextToValue("500", "%0.0f", 1000, 0);
    ASSERT_TRUE(std::holds_alternative<double>(V));
    EXPECT_DOUBLE_EQ(std::get<double>(V), 0.5);
    EXPECT_EQ(EditValueToText(0.05, "%0.3f", ft_AutoOverride, 5, 1, 0), "0.0500");
    EXPECT_EQ(EditValueToText(0.1, "%0.3f", ft_AutoOverride, 5, 1, 0), "0.100");
    // Pairs: both numbers, or a single one with "%0.4g"; an empty text is 0/0.
    EXPECT_EQ(EditValueToText(std::string("20/10"), "%0.1f/%0.1f", ft_Fixed, 5, 1.8, 32),
              "68.0/50.0");
    EXPECT_EQ(std::get<std::string>(EditTextToValue("68.0/50.0", "%0.1f/%0.1f", 1.8, 32)),
              "20.0/10.0");
    EXPECT_EQ(std::get<std::string>(EditTextToValue("25", "%0.1f/%0.1f", 1, 0)), "25");
    EXPECT_EQ(std::get<std::string>(EditTextToValue("68/", "%0.1f/%0.1f", 1.8, 32)), "20");
    EXPECT_EQ(std::get<std::string>(EditTextToValue("/50", "%0.1f/%0.1f", 1.8, 32)), "/50");
    EXPECT_EQ(std::get<std::string>(EditTextToValue("", "%0.1f/%0.1f", 1, 0)), "0.0/0.0");
    // Text formats give and take the format applied to the text.
    EXPECT_EQ(std::get<std::string>(EditTextToValue("abc", "%S", 1, 0)), "abc");
    EXPECT_EQ(EditValueToText(std::string("abc"), "<%s>", ft_Fixed, 5, 1, 0), "<abc>");
    // Unreadable: the text itself on reading, an empty text on writing.
    EXPECT_EQ(std::get<std::string>(EditTextToValue("warm", "%0.1f", 1, 0)), "warm");
    EXPECT_EQ(EditValueToText(std::string("warm"), "%0.1f", ft_Fixed, 5, 1, 0), "");
}

// ---------------------------------------------------------------------------
// Typed characters: the decimal comma

struct CharCase {
    const char* Name;
    const char* Format;
    const char* Before; // text before the caret, selection already gone
    const char* After;  // text after the caret
    char32_t Typed;
    char32_t Enters; // 0: refused
};

class EditTypedCharCase : public ::testing::TestWithParam<CharCase> {};

TEST_P(EditTypedCharCase, CommaIsTheDecimalPointOncePerNumber) {
    const CharCase& C = GetParam();
    EXPECT_EQ(static_cast<unsigned>(EditTypedChar(C.Format, C.Before, C.After, C.Typed)),
              static_cast<unsigned>(C.Enters));
}

INSTANTIATE_TEST_SUITE_P(
    EditRules, EditTypedCharCase,
    ::testing::Values(CharCase{"CommaIsPoint", "%0.3f", "2400", "", U',', U'.'},
                      CharCase{"CommaAfterPointRefused", "%0.3f", "2400.5", "", U',', 0},
                      CharCase{"PointAfterTheCaretCounts", "%0.3f", "24", "00.5", U',', 0},
                      CharCase{"GeneralFormat", "%0.4g", "1", "", U',', U'.'},
                      CharCase{"PairSecondNumberHasNone", "%0.1f/%0.1f", "20.5/15", "", U',', U'.'},
                      CharCase{"PairFirstNumberHasNone", "%0.1f/%0.1f", "20", "/15.5", U',', U'.'},
                      CharCase{"PairSecondNumberHasOne", "%0.1f/%0.1f", "20/1", ".5", U',', 0},
                      CharCase{"PairFirstNumberHasOne", "%0.1f/%0.1f", "2.0", "/15", U',', 0},
                      CharCase{"WholeRefusesComma", "%d", "12", "", U',', 0},
                      CharCase{"TextKeepsComma", "%S", "a.b", "", U',', U','},
                      CharCase{"DigitsPass", "%0.3f", "1.5", "", U'7', U'7'},
                      CharCase{"LettersRefused", "%0.3f", "", "", U'x', 0},
                      CharCase{"PairSlashPasses", "%0.1f/%0.1f", "20", "", U'/', U'/'}),
    [](const auto& I) { return std::string(I.param.Name); });

// ---------------------------------------------------------------------------
// The visible cues that stand in for the beep

struct LimitsCueCase {
    const char* Name;
    const char* Field;
    double Lo, Hi, Factor, Offset;
    const char* Format;
    const char* Unit;
    const char* Cue;
};

class EditLimitsCue : public ::testing::TestWithParam<LimitsCueCase> {};

TEST_P(EditLimitsCue, NamesTheLimitsInTheShownUnit) {
    const LimitsCueCase& C = GetParam();
    const TEditLimits Limits{C.Lo, C.Hi, C.Factor, C.Offset};
    EXPECT_EQ(LimitsCueText(C.Field, Limits, C.Format, ft_Fixed, 5, C.Unit), C.Cue);
}

INSTANTIATE_TEST_SUITE_P(
    EditRules, EditLimitsCue,
    ::testing::Values(LimitsCueCase{"Barometer", "Barometer", 70, 120, 1, 0, "%0.3f", "kPa",
                                    "Barometer: 70.000 to 120.000 kPa"},
                      // 0.01 and 576 m³/s at 2118.88 cfm per m³/s.
                      LimitsCueCase{"FlowInCfm", "Volume Flow", 0.01, 576, 2118.88, 0, "%0.2f",
                                    "cfm", "Volume Flow: 21.19 to 1220474.88 cfm"},
                      // A pair's limits are single numbers; -60 and 90 °C in °F.
                      LimitsCueCase{"PairInFahrenheit", "Average Temperature", -60, 90, 1.8, 32,
                                    "%0.1f/%0.1f", "\u00b0F",
                                    "Average Temperature: -76.0 to 194.0 \u00b0F"},
                      LimitsCueCase{"NoName", "", 0, 1, 100, 0, "%0.1f", "%", "0.0 to 100.0 %"},
                      LimitsCueCase{"NoUnit", "Count", 0, 100, 1, 0, "%d", "", "Count: 0 to 100"},
                      LimitsCueCase{"TextFormatHasNone", "Name", 0, 100, 1, 0, "%S", "", ""}),
    [](const auto& I) { return std::string(I.param.Name); });

// The cue names the very text a clamped value is given, whatever the format
// type: a value far beyond either limit is clamped to the number in the cue.
TEST(EditRules, LimitsCueShowsTheTextsTheClampWrites) {
    for (const TFormatType Type : {ft_Fixed, ft_Auto, ft_AutoOverride}) {
        for (const char* Format : {"%0.3f", "%0.1f", "%0.4g"}) {
            const TEditLimits Limits{0.0123, 8765.4321, 1.0, 0.0};
            const int Decimals = FormatStrDecimals(Format);
            const std::string Low = FormatEditText("-1e9", Format, Type, 5, Decimals, Limits).Text;
            const std::string High = FormatEditText("1e9", Format, Type, 5, Decimals, Limits).Text;
            EXPECT_EQ(LimitsCueText("R", Limits, Format, Type, 5, "u"),
                      "R: " + Low + " to " + High + " u")
                << Format << " type " << static_cast<int>(Type);
        }
    }
}

struct CharCueCase {
    const char* Name;
    const char* Field;
    const char* Format;
    char32_t Typed;
    const char* Cue;
};

class EditRefusedCharCue : public ::testing::TestWithParam<CharCueCase> {};

TEST_P(EditRefusedCharCue, SaysWhatIsNotAcceptedAndWhatIs) {
    const CharCueCase& C = GetParam();
    EXPECT_EQ(RefusedCharCueText(C.Field, C.Format, C.Typed), C.Cue);
}

INSTANTIATE_TEST_SUITE_P(
    EditRules, EditRefusedCharCue,
    ::testing::Values(
        CharCueCase{"Float", "Volume Flow", "%0.2f", U'x',
                    "Volume Flow: \"x\" is not accepted; type digits, \"-\" and \".\""},
        CharCueCase{"General", "Ratio", "%0.4g", U'x',
                    "Ratio: \"x\" is not accepted; type digits, \"-\", \".\" and \"E\""},
        CharCueCase{"Pair", "", "%0.1f/%0.1f", U'e',
                    "\"e\" is not accepted; type digits, \"-\", \".\" and \"/\""},
        CharCueCase{"Whole", "Count", "%d", U'.',
                    "Count: \".\" is not accepted; type digits and \"-\""},
        CharCueCase{"SecondDecimalComma", "Volume Flow", "%0.2f", U',',
                    "Volume Flow: \",\" is not accepted; the number has a \".\" already"},
        CharCueCase{"WholeComma", "Count", "%d", U',',
                    "Count: \",\" is not accepted; type digits and \"-\""},
        CharCueCase{"NonAscii", "", "%0.2f", U'\u00b0',
                    "\"\u00b0\" is not accepted; type digits, \"-\" and \".\""},
        CharCueCase{"TextRefusesNothing", "Name", "%S", U'x', ""}),
    [](const auto& I) { return std::string(I.param.Name); });

} // namespace
