// Drawing of the grid: cell backgrounds and texts, header edges, grid lines
// and the focus rectangle, cell by cell along the layout's shown columns
// and rows.
#include <QPainter>

#include "controls/TxGrids.h"

namespace oravent::gui {

void TxCustomGrid::DrawCell(QPainter& P, int ACol, int ARow, const QRect& Rect,
                            TGridDrawState State) {
    const bool Highlight = State.Selected && (!State.Focused || HasOption(xgoDrawFocusSelected) ||
                                              HasOption(xgoRowSelect));
    const QColor Bg = State.Fixed ? FFixedColor
                      : Highlight ? palette().color(QPalette::Highlight)
                                  : FColor;
    P.fillRect(Rect, Bg);
    if (State.Fixed && (FOptions & (xgoFixedVertLine | xgoFixedHorzLine))) {
        // A raised edge on header cells.
        P.setPen(palette().color(QPalette::Light));
        P.drawLine(Rect.topLeft(), Rect.topRight());
        P.drawLine(Rect.topLeft(), Rect.bottomLeft());
        P.setPen(palette().color(QPalette::Mid));
        P.drawLine(Rect.bottomLeft(), Rect.bottomRight());
        P.drawLine(Rect.topRight(), Rect.bottomRight());
    }
    if (FDefaultDrawing) {
        const QString T = CellText(ACol, ARow);
        if (!T.isEmpty()) {
            P.save();
            P.setClipRect(Rect);
            P.setPen(Highlight ? palette().color(QPalette::HighlightedText)
                               : palette().color(QPalette::Text));
            P.drawText(Rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       T);
            P.restore();
        }
    }
    emit OnDrawCell(P, ACol, ARow, Rect, State);
}

void TxCustomGrid::DrawFocusRect(QPainter& P, const QRect& R) {
    P.save();
    QPen Pen(palette().color(QPalette::Text));
    Pen.setStyle(Qt::DotLine);
    Pen.setWidth(1);
    P.setPen(Pen);
    P.setBrush(Qt::NoBrush);
    P.drawRect(R.adjusted(0, 0, -1, -1));
    P.restore();
}

void TxCustomGrid::paintEvent(QPaintEvent*) {
    QPainter P(viewport());
    const int VW = viewport()->width(), VH = viewport()->height();
    const int VL = VertLineWidth(), HL = HorzLineWidth();
    const std::vector<std::pair<int, int>> Cols = FLayout.Cols.Shown(VW); // index, position
    const std::vector<std::pair<int, int>> Rows = FLayout.Rows.Shown(VH);
    const int X =
        Cols.empty() ? 0 : Cols.back().second + FLayout.Cols.Sizes[Cols.back().first] + VL;
    const int Y =
        Rows.empty() ? 0 : Rows.back().second + FLayout.Rows.Sizes[Rows.back().first] + HL;
    // Area beyond the last column and row.
    if (X < VW) P.fillRect(QRect(X, 0, VW - X, VH), FColor);
    if (Y < VH) P.fillRect(QRect(0, Y, VW, VH - Y), FColor);
    const bool Focus = GridHasFocus();
    const TGridRect Sel = Selection();
    const QColor FixedLine = palette().color(QPalette::Dark);
    const QColor NormalLine = palette().color(QPalette::Midlight).darker(110);
    const int FixedCols = FLayout.Cols.Fixed, FixedRows = FLayout.Rows.Fixed;
    for (const auto& [R, RY] : Rows) {
        const int H = FLayout.Rows.Sizes[R];
        for (const auto& [C, CX] : Cols) {
            const int W = FLayout.Cols.Sizes[C];
            const QRect Rect(CX, RY, W, H);
            TGridDrawState S;
            S.Fixed = C < FixedCols || R < FixedRows;
            S.Selected = !S.Fixed && Sel.Contains(C, R);
            S.Focused = Focus && C == FCol && R == FRow;
            DrawCell(P, C, R, Rect, S);
            if (VL > 0 &&
                ((S.Fixed && HasOption(xgoFixedVertLine)) || (!S.Fixed && HasOption(xgoVertLine))))
                P.fillRect(QRect(Rect.right() + 1, RY, VL, H + HL),
                           S.Fixed ? FixedLine : NormalLine);
            else if (VL > 0)
                P.fillRect(QRect(Rect.right() + 1, RY, VL, H + HL), FColor);
            if (HL > 0 &&
                ((S.Fixed && HasOption(xgoFixedHorzLine)) || (!S.Fixed && HasOption(xgoHorzLine))))
                P.fillRect(QRect(CX, Rect.bottom() + 1, W + VL, HL),
                           S.Fixed ? FixedLine : NormalLine);
            else if (HL > 0)
                P.fillRect(QRect(CX, Rect.bottom() + 1, W + VL, HL), FColor);
        }
    }
    if (Focus && !EditorVisible()) {
        QRect R = CellRect(FCol, FRow);
        if (HasOption(xgoRowSelect)) {
            const QRect First = CellRect(std::max(FixedCols, LeftCol()), FRow);
            if (!First.isEmpty())
                R = QRect(First.left(), First.top(), VW - First.left(), First.height());
        }
        if (!R.isEmpty()) DrawFocusRect(P, R);
    }
}

} // namespace oravent::gui
