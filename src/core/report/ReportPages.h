// Page breaks of a printed report: lines laid out one below the other (in
// any length unit) are shared out over pages of a given height so that each
// line is printed once and whole. The report window measures the lines in
// the printer's units and draws each page's lines.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace oravent {

// A laid-out line: its top edge, measured from the top of the text, and its
// height.
struct TLineBox {
    double Top = 0;
    double Height = 0;
};

// The lines [First, End) of one page; Top is the text position shown at the
// page's top edge (the first line's top; 0 on the first page).
struct TPageSpan {
    std::size_t First = 0;
    std::size_t End = 0;
    double Top = 0;
    bool operator==(const TPageSpan&) const = default;
};

// Pages for Lines (in order, top to bottom) on pages PageHeight high: a line
// stays on the current page when its bottom is within the page, otherwise it
// starts the next page, wholly. A line higher than a page has a page of its
// own (and is cut at its foot); a first line that does not fit below the
// top of the text moves the first page's top to it. Always at least one page: a text without
// lines prints one empty page.
std::vector<TPageSpan> PaginateLines(std::span<const TLineBox> Lines, double PageHeight);

} // namespace oravent
