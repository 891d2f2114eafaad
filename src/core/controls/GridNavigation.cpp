#include "controls/GridNavigation.h"

#include <algorithm>

namespace oravent {

TGridKeyMove GridKeyMove(TGridKey Key, TGridKeyMods Mods, const TGridLayout& Layout, int Col,
                         int Row, int ViewW, int ViewH, const TGridNavOptions& Options) {
    const TGridAxis& Cols = Layout.Cols;
    const TGridAxis& Rows = Layout.Rows;
    const int LastCol = Cols.Count() - 1, LastRow = Rows.Count() - 1;
    const bool Extend = Mods.Shift && Options.RangeSelect;
    const int Page = std::max(1, Rows.FullyVisible(ViewH));
    if (Options.RightToLeft && (Key == TGridKey::Left || Key == TGridKey::Right))
        Key = Key == TGridKey::Left ? TGridKey::Right : TGridKey::Left;

    TGridKeyMove M;
    M.MoveAnchor = !Extend;
    auto MoveTo = [&](int C, int R) {
        M.Move = true;
        M.Col = std::clamp(C, Cols.Fixed, LastCol);
        M.Row = std::clamp(R, Rows.Fixed, LastRow);
    };
    // Arrows; whole-row selection keeps the column.
    auto MoveBy = [&](int DCol, int DRow) {
        MoveTo(Options.RowSelect ? Col : Col + DCol, Row + DRow);
    };

    switch (Key) {
    case TGridKey::Up:
        MoveBy(0, -1);
        break;
    case TGridKey::Down:
        MoveBy(0, 1);
        break;
    case TGridKey::Left:
    case TGridKey::Right: {
        const int D = Key == TGridKey::Left ? -1 : 1;
        if (Mods.Ctrl)
            M.LeftCol = Cols.ClampFirst(Cols.First + D, ViewW);
        else
            MoveBy(D, 0);
        break;
    }
    case TGridKey::PageUp:
        if (Mods.Ctrl) {
            MoveTo(Col, Rows.First);
        } else {
            M.TopRow = Rows.ClampFirst(Rows.First - Page, ViewH);
            MoveTo(Col, Row - Page);
        }
        break;
    case TGridKey::PageDown:
        if (Mods.Ctrl) {
            MoveTo(Col, Rows.First + Page - 1);
        } else {
            M.TopRow = Rows.ClampFirst(Rows.First + Page, ViewH);
            MoveTo(Col, Row + Page);
        }
        break;
    case TGridKey::Home:
        if (Mods.Ctrl)
            MoveTo(Cols.Fixed, Rows.Fixed);
        else if (Options.RowSelect)
            MoveTo(Col, Rows.Fixed);
        else
            MoveTo(Cols.Fixed, Row);
        break;
    case TGridKey::End:
        if (Mods.Ctrl)
            MoveTo(LastCol, LastRow);
        else if (Options.RowSelect)
            MoveTo(Col, LastRow);
        else
            MoveTo(LastCol, Row);
        break;
    case TGridKey::Tab:
    case TGridKey::BackTab: {
        if (!Options.Tabs) break;
        int C = Col, R = Row;
        if (Key == TGridKey::BackTab || Mods.Shift) {
            if (--C < Cols.Fixed) {
                C = LastCol;
                if (--R < Rows.Fixed) R = LastRow;
            }
        } else if (++C > LastCol) {
            C = Cols.Fixed;
            if (++R > LastRow) R = Rows.Fixed;
        }
        MoveTo(C, R);
        M.MoveAnchor = true;
        break;
    }
    }
    return M;
}

} // namespace oravent
