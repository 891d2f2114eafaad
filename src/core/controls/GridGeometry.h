// Grid geometry: where the columns and rows of a grid control lie. One
// direction of a grid (TGridAxis: the widths of the columns or the heights of
// the rows, the fixed header count, the first scrolled entry shown and the
// line width), the positions, hit tests and scroll limits built on it, both
// directions together (TGridLayout: cell boxes, the cell under a point, the
// sizing lines), selected ranges and moving an entry. Pixel arithmetic only;
// the grid widget owns one TGridLayout and draws and scrolls by it.
#pragma once

#include <optional>
#include <utility>
#include <vector>

namespace oravent {

// One direction of a grid: its columns (widths) or its rows (heights).
// Position 0 is the viewport's left or top edge. The fixed entries come
// first, then the scrolled entries from First on; every entry is followed by
// a line of Line pixels.
struct TGridAxis {
    std::vector<int> Sizes; // one size per entry
    int Fixed = 1;          // header entries at the start, never scrolled
    int First = 1;          // first scrolled entry shown (LeftCol, TopRow)
    int Line = 1;           // width of the line after each entry

    int Count() const { return static_cast<int>(Sizes.size()); }
    // Pixels taken by the fixed entries with their lines.
    int FixedExtent() const;
    // The largest First that still shows the last entry in Avail pixels,
    // filled as far as it goes; Fixed when there are no scrolled entries.
    int MaxFirst(int Avail) const;
    // Value clamped to the scroll range Fixed .. MaxFirst(Avail).
    int ClampFirst(int Value, int Avail) const;
    // Number of scrolled entries from First that fit wholly in Avail.
    int FullyVisible(int Avail) const;
    // Start of entry Index; none when it is outside the axis, scrolled out
    // of view (before First) or starts at or beyond Avail.
    std::optional<int> Start(int Index, int Avail) const;
    // The entry under position Pos, its trailing line included; -1 when none.
    // Entries beyond Avail are found too.
    int IndexAt(int Pos) const;
    // The entries shown in Avail pixels, in drawing order, with their starts:
    // the fixed ones, then the scrolled ones from First.
    std::vector<std::pair<int, int>> Shown(int Avail) const;
    // The First that brings Index into view: Index itself when it lies
    // before First, otherwise one step at a time until Index is among the
    // wholly visible entries or the scroll range ends. Fixed entries and
    // entries already in view leave First as it is.
    int ScrollTo(int Index, int Avail) const;
    // Sets the number of entries, at least 1. New entries take DefaultSize;
    // Fixed shrinks to stay below the count and First to stay within it.
    void SetCount(int Value, int DefaultSize);
};

// Whether Count entries of DefaultSize (at least 1) with their lines stay
// within the pixel range of an int.
bool GridAxisFits(long long Count, int DefaultSize, int LineWidth);

// -1, 0 or 1: the direction a drag scrolls when the mouse is at Pos of a
// viewport Avail pixels long (before its start, inside, at or past its end).
int EdgeScrollStep(int Pos, int Avail);

// A cell's box in viewport pixels.
struct TGridCellBox {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

// A range of cells, corners included.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(int C, int R) const { return C >= Left && C <= Right && R >= Top && R <= Bottom; }
    // The range between two corner cells given in any order.
    static TGridRect Spanning(int Col1, int Row1, int Col2, int Row2);
};

// Both directions of a grid.
struct TGridLayout {
    TGridAxis Cols; // widths; Fixed = FixedCols, First = LeftCol
    TGridAxis Rows; // heights; Fixed = FixedRows, First = TopRow

    // The box of a cell in a viewport of ViewW x ViewH pixels; none when the
    // cell is outside the grid or not shown.
    std::optional<TGridCellBox> CellBox(int ACol, int ARow, int ViewW, int ViewH) const;
    // The cell under a viewport point; (-1, -1) when there is none.
    std::pair<int, int> CellAt(int X, int Y) const;
    // Sizing lines: with Y inside the fixed rows, the shown column whose
    // right line lies within Slop pixels of X (ColLineAt); with X inside the
    // fixed columns, the shown row whose bottom line lies within Slop pixels
    // of Y (RowLineAt). -1 when there is none.
    int ColLineAt(int X, int Y, int Slop, int ViewW, int ViewH) const;
    int RowLineAt(int X, int Y, int Slop, int ViewW, int ViewH) const;
};

// Where index I goes when the entry at From moves to To: the entries in
// between shift by one towards From.
int MovedIndex(int I, int From, int To);

// Moves the entry at From to To in V, as MovedIndex says. Both indices must
// be valid.
template <class T> void MoveEntry(std::vector<T>& V, int From, int To) {
    if (From == To) return;
    T Item = std::move(V[From]);
    V.erase(V.begin() + From);
    V.insert(V.begin() + To, std::move(Item));
}

} // namespace oravent
