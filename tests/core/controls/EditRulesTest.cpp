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
    EXPECT_EQ(std::get<std::string>(EditTextToValue("", "%0.1f/%0.1f", 1, 0)), "0.0/0.0");
    // Text formats give and take the format applied to the text.
    EXPECT_EQ(std::get<std::string>(EditTextToValue("abc", "%S", 1, 0)), "abc");
    EXPECT_EQ(EditValueToText(std::string("abc"), "<%s>", ft_Fixed, 5, 1, 0), "<abc>");
    // Unreadable: the text itself on reading, an empty text on writing.
    EXPECT_EQ(std::get<std::string>(EditTextToValue("warm", "%0.1f", 1, 0)), "warm");
    EXPECT_EQ(EditValueToText(std::string("warm"), "%0.1f", ft_Fixed, 5, 1, 0), "");
}

} // namespace
