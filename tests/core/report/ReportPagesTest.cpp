// Page breaks of a printed report: each line on exactly one page, whole, in
// order; a page starts at its first line.
#include <gtest/gtest.h>

#include <limits>

#include "report/ReportPages.h"

using namespace oravent;

namespace oravent {
void PrintTo(const TPageSpan& P, std::ostream* Os) {
    *Os << "{" << P.First << ", " << P.End << ", " << P.Top << "}";
}
} // namespace oravent

namespace {

// Lines of equal height Step, one below the other from the top.
std::vector<TLineBox> EvenLines(int Count, double Step) {
    std::vector<TLineBox> Lines;
    for (int I = 0; I < Count; ++I)
        Lines.push_back({I * Step, Step});
    return Lines;
}

struct TPagesCase {
    const char* Name;
    std::vector<TLineBox> Lines;
    double PageHeight;
    std::vector<TPageSpan> Pages;
};

class PaginateLinesCases : public ::testing::TestWithParam<TPagesCase> {};

TEST_P(PaginateLinesCases, GivesThePages) {
    const TPagesCase& C = GetParam();
    EXPECT_EQ(PaginateLines(C.Lines, C.PageHeight), C.Pages);
}

const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Reports, PaginateLinesCases,
    ::testing::Values(
        TPagesCase{"NoLinesOneEmptyPage", {}, 100, {{0, 0, 0}}},
        TPagesCase{"AllOnOnePage", EvenLines(5, 20), 100, {{0, 5, 0}}},
        // The fifth line ends exactly at the foot: it stays.
        TPagesCase{"LineEndingAtTheFootStays", EvenLines(6, 20), 100, {{0, 5, 0}, {5, 6, 100}}},
        // A line crossing the foot goes wholly to the next page, which
        // starts at its top.
        TPagesCase{
            "CrossingLineMovesWhole", EvenLines(8, 30), 100, {{0, 3, 0}, {3, 6, 90}, {6, 8, 180}}},
        // Gaps between lines (leading) are left at the foot, not carried.
        TPagesCase{"GapsBetweenLines",
                   {{0, 40}, {45, 40}, {90, 40}, {135, 40}},
                   100,
                   {{0, 2, 0}, {2, 4, 90}}},
        TPagesCase{"LineHigherThanAPageHasItsOwn",
                   {{0, 10}, {10, 250}, {260, 10}},
                   100,
                   {{0, 1, 0}, {1, 2, 10}, {2, 3, 260}}},
        TPagesCase{"FirstLineBelowTheFirstPage", {{150, 20}, {170, 20}}, 100, {{0, 2, 150}}},
        TPagesCase{
            "ZeroPageHeightOneLineAPage", EvenLines(3, 10), 0, {{0, 1, 0}, {1, 2, 10}, {2, 3, 20}}},
        TPagesCase{"NotANumberHeightNeverLosesALine",
                   {{0, 10}, {10, NaN}, {20, 10}},
                   100,
                   {{0, 1, 0}, {1, 3, 10}}},
        TPagesCase{"UnboundedPageTakesAll", EvenLines(1000, 12.5), Inf, {{0, 1000, 0}}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Many lines of a height that does not divide the page: every line on one
// page, pages in order, no line crossing a page's foot, no page empty.
TEST(PaginateLines, LongTextsShareOutEveryLineOnce) {
    for (const double Step : {11.7, 13.0, 29.99}) {
        for (const double Page : {100.0, 287.3, 841.89}) {
            SCOPED_TRACE(::testing::Message() << Step << " on " << Page);
            const auto Lines = EvenLines(503, Step);
            const auto Pages = PaginateLines(Lines, Page);
            std::size_t Next = 0;
            for (const TPageSpan& P : Pages) {
                EXPECT_EQ(P.First, Next);
                EXPECT_GT(P.End, P.First);
                EXPECT_DOUBLE_EQ(P.Top, Lines[P.First].Top);
                const TLineBox& Last = Lines[P.End - 1];
                EXPECT_LE(Last.Top + Last.Height - P.Top, Page);
                // The page was full: the next line would not have fitted.
                if (P.End < Lines.size()) {
                    EXPECT_GT(Lines[P.End].Top + Lines[P.End].Height - P.Top, Page);
                }
                Next = P.End;
            }
            EXPECT_EQ(Next, Lines.size());
        }
    }
}

} // namespace
