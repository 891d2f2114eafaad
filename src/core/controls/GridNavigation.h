// Grid navigation: which cell a navigation key of a grid control makes
// current, and what it scrolls. Arrows move by one cell, Page Up and Page
// Down by a visible page, Home and End to the first and last column (row
// with whole-row selection), Ctrl with them to the corners or the visible
// rows, Ctrl with left and right scrolls without moving, Tab and Shift+Tab
// step through the cells with wrapping. The widget maps its keys to TGridKey,
// applies the scrolling and then moves the cell (its selection check may
// still refuse the move).
#pragma once

#include <optional>

#include "controls/GridGeometry.h"

namespace oravent {

enum class TGridKey { Up, Down, Left, Right, PageUp, PageDown, Home, End, Tab, BackTab };

struct TGridKeyMods {
    bool Shift = false;
    bool Ctrl = false;
};

// The grid options that steer navigation.
struct TGridNavOptions {
    bool RangeSelect = true;  // Shift with a move keeps the anchor (extends)
    bool RowSelect = false;   // whole rows: left and right do not change the column
    bool Tabs = false;        // Tab and Shift+Tab move between cells
    bool RightToLeft = false; // left and right swap
};

// What a key does: scroll first, then move the current cell.
struct TGridKeyMove {
    std::optional<int> LeftCol; // the new first scrolled column
    std::optional<int> TopRow;  // the new first scrolled row
    bool Move = false;          // the current cell moves to (Col, Row)
    int Col = 0, Row = 0;       // within the scrolled (non-fixed) cells
    bool MoveAnchor = true;     // false: the selection anchor stays
};

// The move for Key with the current cell (Col, Row) in a viewport of
// ViewW x ViewH pixels. A page is the number of wholly visible scrolled rows
// (at least 1) before any scrolling. Tab keys without Options.Tabs do
// nothing.
TGridKeyMove GridKeyMove(TGridKey Key, TGridKeyMods Mods, const TGridLayout& Layout, int Col,
                         int Row, int ViewW, int ViewH, const TGridNavOptions& Options);

} // namespace oravent
