// Compact Align: the arithmetic that fits a three-column entry grid's
// columns to their texts and a window to the grid. The window measures
// (text widths, frame, row height, status bar) and applies the result. The
// technical window frame's Align is the same arithmetic with its tool bar
// and two more pixels in the height (TechFormAlign).
#pragma once

namespace oravent {

struct TCompactAlignInput {
    int TextWidths[3] = {}; // widest cell text of each column, header included
    int FrameWidth = 0;     // window width − client width
    int FrameHeight = 0;    // window height − client height (menu bar included)
    int GridLineWidth = 1;
    bool SingleBorder = false; // the grid draws a single-line border
    int Row0Height = 16;
    int RowCount = 10;
    int StatusBarHeight = 0;
    int ToolBarHeight = 0;   // a tool bar above the grid (the technical frame's)
    int ExtraHeight = 0;     // pixels added to the height (the technical frame adds 2)
    int MaxHeight = 400;     // a taller window is cut to this ...
    int ScrollBarWidth = 19; // ... and widened by this for a vertical scroll bar
};

struct TCompactAlignResult {
    int ColWidths[3] = {};
    int Width = 0, Height = 0;
    bool HeightCapped = false;
};

// Columns fitted to their texts, the window fitted to those columns.
TCompactAlignResult CompactAlign(const TCompactAlignInput& In);
// The window fitted to the columns as they are.
TCompactAlignResult FitToColumns(const TCompactAlignInput& In, const int (&ColWidths)[3]);
// The technical frame's Align: CompactAlign with the tool bar's height and
// 2 pixels more in the window height (In.ExtraHeight is ignored).
TCompactAlignResult TechFormAlign(TCompactAlignInput In, int ToolBarHeight);

} // namespace oravent
