// Mouse and focus on the grid: selecting and dragging a selection (with the
// edge-scroll timer), sizing and moving columns and rows from the header
// cells, the click on the current cell that opens the editor, double-click
// and wheel, and what entering and leaving the grid do to the editor.
#include <QApplication>
#include <QMouseEvent>

#include <algorithm>

#include "controls/TxGrids.h"

namespace oravent::gui {

namespace {

// How near a header line the mouse must be to grab it, in pixels.
constexpr int SizingSlop = 3;

} // namespace

int TxCustomGrid::SizingLineAt(QPoint P, bool Horizontal) const {
    const int VW = viewport()->width(), VH = viewport()->height();
    return Horizontal ? FLayout.ColLineAt(P.x(), P.y(), SizingSlop, VW, VH)
                      : FLayout.RowLineAt(P.x(), P.y(), SizingSlop, VW, VH);
}

void TxCustomGrid::MoveBy(int DCol, int DRow, bool Extend) {
    if (HasOption(xgoRowSelect)) DCol = 0;
    FocusCell(FCol + DCol, FRow + DRow, !Extend);
}

void TxCustomGrid::SelectTimerTick() {
    if (FMouseState != TMouseState::Selecting) {
        FSelectTimer.stop();
        return;
    }
    const int DC = EdgeScrollStep(FLastMouse.x(), viewport()->width());
    const int DR = EdgeScrollStep(FLastMouse.y(), viewport()->height());
    if (DC == 0 && DR == 0) {
        FSelectTimer.stop();
        return;
    }
    MoveBy(DC, DR, HasOption(xgoRangeSelect));
}

void TxCustomGrid::mousePressEvent(QMouseEvent* E) {
    const QPoint P = E->position().toPoint();
    FLastMouse = P;
    CommitEditor();
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    struct ClearReselect {
        TxCustomGrid* G;
        ~ClearReselect() { G->FReselect = false; }
    } Clear{this};
    if (E->button() != Qt::LeftButton) return;
    if (HasOption(xgoColSizing)) {
        const int C = SizingLineAt(P, true);
        if (C >= 0) {
            FMouseState = TMouseState::ColSizing;
            FSizingIndex = C;
            FSizingOrigin = P.x();
            FSizingStart = FLayout.Cols.Sizes[C];
            return;
        }
    }
    if (HasOption(xgoRowSizing)) {
        const int R = SizingLineAt(P, false);
        if (R >= 0) {
            FMouseState = TMouseState::RowSizing;
            FSizingIndex = R;
            FSizingOrigin = P.y();
            FSizingStart = FLayout.Rows.Sizes[R];
            return;
        }
    }
    const QPoint Cell = MouseCoord(P);
    if (Cell.x() < 0) return;
    if (Cell.x() < FixedCols() || Cell.y() < FixedRows()) {
        // Dragging a header cell moves its column or row.
        if (Cell.y() < FixedRows() && Cell.x() >= FixedCols() && HasOption(xgoColMoving)) {
            FMouseState = TMouseState::ColMoving;
            FSizingIndex = Cell.x();
            viewport()->setCursor(Qt::SizeHorCursor);
        } else if (Cell.x() < FixedCols() && Cell.y() >= FixedRows() && HasOption(xgoRowMoving)) {
            FMouseState = TMouseState::RowMoving;
            FSizingIndex = Cell.y();
            viewport()->setCursor(Qt::SizeVerCursor);
        }
        return;
    }
    if (HasOption(xgoEditing)) {
        if (Cell.x() == FCol && Cell.y() == FRow && !FReselect)
            ShowEditor();
        else
            FocusCell(Cell.x(), Cell.y(), true, true);
    } else {
        const bool Extend = (E->modifiers() & Qt::ShiftModifier) && HasOption(xgoRangeSelect);
        FocusCell(Cell.x(), Cell.y(), !Extend);
        FMouseState = TMouseState::Selecting;
    }
    emit OnClick();
}

void TxCustomGrid::mouseMoveEvent(QMouseEvent* E) {
    const QPoint P = E->position().toPoint();
    FLastMouse = P;
    switch (FMouseState) {
    case TMouseState::ColSizing:
        FLayout.Cols.Sizes[FSizingIndex] = std::max(1, FSizingStart + P.x() - FSizingOrigin);
        FHasColWidths = true;
        UpdateScrollBars();
        PlaceEditor();
        InvalidateGrid();
        return;
    case TMouseState::RowSizing:
        FLayout.Rows.Sizes[FSizingIndex] = std::max(1, FSizingStart + P.y() - FSizingOrigin);
        FHasRowHeights = true;
        UpdateScrollBars();
        PlaceEditor();
        InvalidateGrid();
        return;
    case TMouseState::Selecting: {
        if (!viewport()->rect().contains(P)) {
            if (!FSelectTimer.isActive()) FSelectTimer.start();
            return;
        }
        const QPoint Cell = MouseCoord(P);
        if (Cell.x() >= FixedCols() && Cell.y() >= FixedRows() &&
            (Cell.x() != FCol || Cell.y() != FRow))
            FocusCell(Cell.x(), Cell.y(), !HasOption(xgoRangeSelect));
        return;
    }
    case TMouseState::ColMoving:
    case TMouseState::RowMoving:
        return;
    case TMouseState::None:
        break;
    }
    if ((HasOption(xgoColSizing) && SizingLineAt(P, true) >= 0))
        viewport()->setCursor(Qt::SplitHCursor);
    else if (HasOption(xgoRowSizing) && SizingLineAt(P, false) >= 0)
        viewport()->setCursor(Qt::SplitVCursor);
    else
        viewport()->unsetCursor();
}

void TxCustomGrid::mouseReleaseEvent(QMouseEvent* E) {
    const TMouseState Was = FMouseState;
    FMouseState = TMouseState::None;
    FSelectTimer.stop();
    if (Was == TMouseState::ColSizing) ColWidthsChanged();
    if (Was == TMouseState::ColMoving || Was == TMouseState::RowMoving) {
        viewport()->unsetCursor();
        const QPoint Cell = MouseCoord(E->position().toPoint());
        if (Was == TMouseState::ColMoving && Cell.x() >= FixedCols() && Cell.x() != FSizingIndex)
            MoveColumn(FSizingIndex, Cell.x());
        if (Was == TMouseState::RowMoving && Cell.y() >= FixedRows() && Cell.y() != FSizingIndex)
            MoveRow(FSizingIndex, Cell.y());
    }
    QAbstractScrollArea::mouseReleaseEvent(E);
}

void TxCustomGrid::mouseDoubleClickEvent(QMouseEvent* E) {
    if (E->button() == Qt::LeftButton) {
        DblClick();
        FReselect = false;
        return;
    }
    mousePressEvent(E);
}

void TxCustomGrid::DblClick() {
    emit OnDblClick();
}

void TxCustomGrid::wheelEvent(QWheelEvent* E) {
    const int Delta = E->angleDelta().y();
    if (Delta == 0) return;
    const int R = std::clamp(FRow + (Delta < 0 ? 1 : -1), FixedRows(), RowCount() - 1);
    if (R != FRow) FocusCell(FCol, R, true);
    E->accept();
}

// ---- Focus ----------------------------------------------------------------

void TxCustomGrid::focusInEvent(QFocusEvent* E) {
    QAbstractScrollArea::focusInEvent(E);
    InvalidateGrid();
    const bool FromChild = FFocusFromEditor;
    const bool Resumed = FSuspendedFocus && (E->reason() == Qt::PopupFocusReason ||
                                             E->reason() == Qt::ActiveWindowFocusReason);
    FFocusFromEditor = false;
    FSuspendedFocus = false;
    // Focus back from the editor or a pop-up, or the window coming back to
    // the front with the grid focused as before, is not entering the grid.
    if (FromChild || Resumed) return;
    GridEntered();
}

void TxCustomGrid::GridEntered() {
    if (HasOption(xgoAlwaysShowEditor)) FEditorMode = true;
    if (FEditorMode) OpenEditor();
}

void TxCustomGrid::focusOutEvent(QFocusEvent* E) {
    QAbstractScrollArea::focusOutEvent(E);
    InvalidateGrid();
    QWidget* Now = QApplication::focusWidget();
    if (Now && isAncestorOf(Now)) return; // into the editor
    if (E->reason() == Qt::ActiveWindowFocusReason || E->reason() == Qt::PopupFocusReason) {
        FSuspendedFocus = true;
        return;
    }
    FocusLeftGrid();
}

void TxCustomGrid::FocusLeftGrid() {
    if (FEditorMode && !HasOption(xgoAlwaysShowEditor)) HideEditor();
    InvalidateGrid();
}

void TxCustomGrid::resizeEvent(QResizeEvent* E) {
    QAbstractScrollArea::resizeEvent(E);
    UpdateScrollBars();
    PlaceEditor();
}

} // namespace oravent::gui
