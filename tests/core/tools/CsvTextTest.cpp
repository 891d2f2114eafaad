// The CSV text of oravent-calc duct --csv (calc_csv.h): lines, fields with
// quotes, and fields written so that they split back unchanged.
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "calc_csv.h"

namespace oravent {
namespace {

std::vector<std::string> Lines(std::string_view Text) {
    calc::TCsvLines L(Text);
    std::vector<std::string> Out;
    for (std::string_view Line; L.Next(Line);)
        Out.emplace_back(Line);
    return Out;
}

TEST(CsvText, LinesDropTheMarkAndCarriageReturns) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Lines("\xEF\xBB\xBFid,volume\r\nA,1\r\n"), (V{"id,volume", "A,1"}));
    EXPECT_EQ(Lines("a\n\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(Lines("a\r\r\nb\n"), (V{"a\r", "b"})); // only the last \r before \n goes
    EXPECT_EQ(Lines(""), V{});
}

struct TSplitCase {
    const char* Name;
    std::string_view Line;
    bool Ok;
    std::vector<std::string> Fields;
};

class CsvSplit : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(CsvSplit, FieldsAsWritten) {
    const TSplitCase& C = GetParam();
    std::vector<std::string_view> Fields;
    std::vector<std::string> Unquoted;
    ASSERT_EQ(calc::SplitCsv(C.Line, Fields, Unquoted), C.Ok);
    if (!C.Ok) return;
    EXPECT_EQ(std::vector<std::string>(Fields.begin(), Fields.end()), C.Fields);

    // Written again field by field, the line splits into the same fields.
    std::string Out;
    for (std::size_t I = 0; I < Fields.size(); ++I) {
        if (I) Out += ',';
        calc::AppendCsvText(Out, Fields[I]);
    }
    std::vector<std::string_view> Again;
    std::vector<std::string> Unquoted2;
    ASSERT_TRUE(calc::SplitCsv(Out, Again, Unquoted2)) << Out;
    EXPECT_EQ(std::vector<std::string>(Again.begin(), Again.end()), C.Fields) << Out;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CsvSplit,
    ::testing::Values(TSplitCase{"Plain", "id,volume,prate", true, {"id", "volume", "prate"}},
                      TSplitCase{"BlanksKept", " a , b ", true, {" a ", " b "}},
                      TSplitCase{"TrailingComma", "a,", true, {"a", ""}},
                      TSplitCase{"Empty", "", true, {""}},
                      TSplitCase{
                          "Quoted", "\"0,5\",\"say \"\"hi\"\"\"", true, {"0,5", "say \"hi\""}},
                      TSplitCase{"BlanksAroundQuotes", "  \"x\" junk,y", true, {"x", "y"}},
                      TSplitCase{"QuoteInsideUnquoted", "a\"b,c", true, {"a\"b", "c"}},
                      TSplitCase{"Unterminated", "a,\"open", false, {}},
                      TSplitCase{"UnterminatedAfterDoubled", "\"a\"\"", false, {}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

} // namespace
} // namespace oravent
