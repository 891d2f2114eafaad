// Field classes: value to value-cell text and back, by class.
#include <gtest/gtest.h>

#include <cmath>

#include "controls/TxFields.h"

using namespace oravent;

namespace {

std::string Text(const TFieldValue& V) {
    return std::holds_alternative<std::string>(V) ? std::get<std::string>(V) : "<not text>";
}

TEST(TxFields, ConstructorDefaults) {
    TNumField N(ekSpin, "%0.3f", 0.5, 9, 0.25);
    EXPECT_EQ(N.EditorKind, ekSpin);
    EXPECT_TRUE(N.Enabled);
    EXPECT_FALSE(N.OnPropEdit);
    EXPECT_EQ(N.UnitsType, utNone);
    EXPECT_EQ(N.UnitsValue, 0);
    EXPECT_EQ(N.UnitsBase, 0);
    EXPECT_EQ(N.Factor, 1);
    EXPECT_EQ(N.Offset, 0);
    EXPECT_EQ(N.FormatType, ft_Fixed);
    EXPECT_EQ(N.SigDigs, 5);
    EXPECT_EQ(N.Decimals(), 3);
    N.FormatStr = "%0.1f";
    EXPECT_EQ(N.Decimals(), 1); // follows the format string
    EXPECT_EQ(N.SpinStep, 0.25);

    TEnumField E({"a", "b"});
    EXPECT_EQ(E.EditorKind, ekPullDown);
    EXPECT_EQ(E.FormatStr, "");
    TBoolField B;
    EXPECT_EQ(B.EditorKind, ekCheckBox);
    EXPECT_EQ(B.FormatStr, "");
}

TEST(TxFields, ClassTestsMostSpecificFirst) {
    TDelimNumField P(0, "%0.1f/%0.1f", 0, 0, 1);
    TNumField N(0, "%0.1f", 0, 0, 1);
    TField T(0, "%S");
    EXPECT_NE(AsDelimNumField(&P), nullptr);
    EXPECT_NE(AsNumField(&P), nullptr); // a pair row is also a number field
    EXPECT_EQ(AsDelimNumField(&N), nullptr);
    EXPECT_EQ(AsNumField(&T), nullptr);
    EXPECT_EQ(AsEnumField(&T), nullptr);
    EXPECT_EQ(AsBoolField(&T), nullptr);
}

TEST(TxFields, PairRow) {
    TDelimNumField P(0, "%0.1f/%0.1f", -60, 90, 1);
    EXPECT_EQ(FieldValueToText(P, std::string("13/12")), "13.0/12.0");
    EXPECT_EQ(Text(FieldTextToValue(P, "13.0/12.0")), "13.0/12.0");
    // A single number pairs with the shown value of 0.
    EXPECT_EQ(FieldValueToText(P, 25.0), "25.0/0.0");
    EXPECT_EQ(Text(FieldTextToValue(P, "25")), "25");
    // An empty cell reads as 0.0/0.0 in the row's format.
    EXPECT_EQ(Text(FieldTextToValue(P, "")), "0.0/0.0");
    // In °F, both numbers convert; a lone number pairs with the offset.
    P.Factor = 1.8;
    P.Offset = 32;
    EXPECT_EQ(FieldValueToText(P, std::string("20/10")), "68.0/50.0");
    EXPECT_EQ(FieldValueToText(P, 20.0), "68.0/32.0");
    EXPECT_EQ(Text(FieldTextToValue(P, "68.0/50.0")), "20.0/10.0");
    // Unreadable texts: empty cell on write, the text itself on read.
    EXPECT_EQ(FieldValueToText(P, std::string("x/1")), "");
    EXPECT_EQ(Text(FieldTextToValue(P, "warm")), "warm");
}

struct NumCase {
    const char* Name;
    const char* Format;
    TFormatType Type;
    double Factor;
    double Value;
    const char* Shown;
};

class NumberFieldText : public ::testing::TestWithParam<NumCase> {};

TEST_P(NumberFieldText, Shows) {
    const NumCase& C = GetParam();
    TNumField N(0, C.Format, 0, 0, 1);
    N.FormatType = C.Type;
    N.Factor = C.Factor;
    EXPECT_EQ(FieldValueToText(N, C.Value), C.Shown);
}

INSTANTIATE_TEST_SUITE_P(
    TxFields, NumberFieldText,
    ::testing::Values(
        NumCase{"AutoOverrideBelowThresholdUsesSigDigs", "%0.3f", ft_AutoOverride, 1, 0.05,
                "0.0500"},
        NumCase{"AutoOverrideAtThresholdUsesFormat", "%0.3f", ft_AutoOverride, 1, 0.1, "0.100"},
        NumCase{"AutoOverrideNegativeUsesSigDigs", "%0.1f", ft_AutoOverride, 1, -1, "-1.000"},
        NumCase{"AutoSigDigs", "%0.1f", ft_Auto, 1, 0.000012345, "0.0000123"},
        NumCase{"AutoLarge", "%0.1f", ft_Auto, 1, 98765.4, "98765"},
        NumCase{"FixedRoundsHalfAway", "%0.2f", ft_Fixed, 1, 0.125, "0.13"},
        NumCase{"ManualUsesFormat", "%0.2f", ft_Manual, 1, 2.5, "2.50"},
        NumCase{"IntegerRounds", "%d", ft_Fixed, 1, 2.6, "3"},
        NumCase{"IntegerTiesToEven", "%d", ft_Fixed, 1, 2.5, "2"},
        NumCase{"FactorThousand", "%0.0f", ft_Fixed, 1000, 0.5, "500"},
        NumCase{"GeneralFormat", "%0.4g", ft_Fixed, 1, 1200, "1200"},
        NumCase{"NeitherIntNorReal", "%S", ft_Fixed, 1, 3, ""}),
    [](const auto& I) { return std::string(I.param.Name); });

TEST(TxFields, NumberTextToValue) {
    TNumField N(0, "%0.3f", 0, 0, 1);
    EXPECT_EQ(std::get<double>(FieldTextToValue(N, "101.325")), 101.325);
    EXPECT_EQ(std::get<double>(FieldTextToValue(N, "")), 0.0); // cleaned to "0"
    EXPECT_EQ(std::get<double>(FieldTextToValue(N, " 1 2.5 ")), 12.5);
    EXPECT_EQ(Text(FieldTextToValue(N, "abc")), "abc");
    N.Factor = 1000;
    EXPECT_DOUBLE_EQ(std::get<double>(FieldTextToValue(N, "500")), 0.5);
    TNumField I(0, "%d", 0, 100, 1);
    const TFieldValue V = FieldTextToValue(I, "3");
    ASSERT_TRUE(std::holds_alternative<long long>(V));
    EXPECT_EQ(std::get<long long>(V), 3);
}

TEST(TxFields, NumberValueConversionFailuresGiveEmptyText) {
    TNumField N(0, "%0.3f", 0, 0, 1);
    EXPECT_EQ(FieldValueToText(N, std::string("abc")), "");
    EXPECT_EQ(FieldValueToText(N, std::nan("")), "");
    EXPECT_EQ(FieldValueToText(N, HUGE_VAL), "");
    EXPECT_EQ(FieldValueToText(N, std::string("12.5")), "12.500"); // a numeric text is taken
    EXPECT_EQ(FieldValueToText(N, 7LL), "7.000");
    TNumField I(0, "%d", 0, 0, 1);
    EXPECT_EQ(FieldValueToText(I, 1e30), ""); // does not fit an integer
}

TEST(TxFields, EnumRow) {
    TEnumField E({"Smooth", "Medium Smooth", "Average"});
    EXPECT_EQ(FieldValueToText(E, 2LL), "Average");
    EXPECT_EQ(FieldValueToText(E, 2.0), "Average");
    EXPECT_EQ(FieldValueToText(E, 7LL), "");
    EXPECT_EQ(FieldValueToText(E, -1LL), "");
    EXPECT_EQ(FieldValueToText(E, std::string("x")), "");
    EXPECT_EQ(std::get<long long>(FieldTextToValue(E, "average")), 2);
    EXPECT_EQ(std::get<long long>(FieldTextToValue(E, "Rough")), -1);
}

TEST(TxFields, CheckRow) {
    TBoolField B;
    EXPECT_EQ(FieldValueToText(B, true), "[x]");
    EXPECT_EQ(FieldValueToText(B, false), "[ ]");
    EXPECT_EQ(FieldValueToText(B, 1LL), "[x]");
    EXPECT_EQ(FieldValueToText(B, std::string("maybe")), "");
    EXPECT_TRUE(std::get<bool>(FieldTextToValue(B, "[X]")));
    EXPECT_FALSE(std::get<bool>(FieldTextToValue(B, "[ ]")));
    EXPECT_FALSE(std::get<bool>(FieldTextToValue(B, "x")));
}

TEST(TxFields, TextRow) {
    TField T(0, "%S");
    EXPECT_EQ(FieldValueToText(T, std::string("hello")), "hello");
    EXPECT_EQ(FieldValueToText(T, 2.5), "2.5");
    EXPECT_EQ(FieldValueToText(T, 0.1 + 0.2), "0.3");
    EXPECT_EQ(Text(FieldTextToValue(T, "any text")), "any text");
    TField Fixed(0, "fixed text");
    EXPECT_EQ(FieldValueToText(Fixed, std::string("ignored")), "fixed text");
}

TEST(TxFields, ValueCoercions) {
    EXPECT_EQ(ValueAsText(1e20), "1E20");
    EXPECT_EQ(ValueAsText(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(ValueAsText(true), "True");
    EXPECT_EQ(ValueAsText(42LL), "42");
    EXPECT_EQ(ValueAsInteger(2.5), 2);
    EXPECT_EQ(ValueAsInteger(std::string("3.5")), 4);
    EXPECT_TRUE(ValueAsBool(std::string("TRUE")));
    EXPECT_FALSE(ValueAsBool(0.0));
    EXPECT_THROW(ValueAsNumber(std::string("1,5")), EConvertError);
    EXPECT_THROW(ValueAsInteger(1e300), EConvertError);
}

} // namespace
