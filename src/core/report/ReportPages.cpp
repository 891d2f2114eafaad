#include "report/ReportPages.h"

namespace oravent {

std::vector<TPageSpan> PaginateLines(std::span<const TLineBox> Lines, double PageHeight) {
    std::vector<TPageSpan> Pages{TPageSpan{}};
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        TPageSpan& Page = Pages.back();
        const bool Fits = Lines[I].Top + Lines[I].Height - Page.Top <= PageHeight;
        if (!Fits) {
            // A page that holds nothing yet takes the line whatever its
            // height, starting at it, so every line is placed.
            if (Page.End > Page.First)
                Pages.push_back(TPageSpan{I, I, Lines[I].Top});
            else
                Page.Top = Lines[I].Top;
        }
        Pages.back().End = I + 1;
    }
    return Pages;
}

} // namespace oravent
