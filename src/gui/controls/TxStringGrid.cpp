// The string grid: a text and an object per cell, stored sparsely, and a
// row or column seen as a list of texts.
#include <QPainter>

#include <algorithm>

#include "controls/TxGrids.h"

namespace oravent::gui {

namespace {

const char* const STooManyDeleted = "Too many rows or columns deleted";
const char* const SNoInsertDelete = "Cannot insert or delete rows from grid";

} // namespace

// ---------------------------------------------------------------------------
// TxGridStrings

int TxGridStrings::Count() const {
    return FIsRow ? FGrid.ColCount() : FGrid.RowCount();
}

QString TxGridStrings::Get(int I) const {
    return FIsRow ? FGrid.Cells(I, FIndex) : FGrid.Cells(FIndex, I);
}

void TxGridStrings::Put(int I, const QString& S) {
    if (FIsRow)
        FGrid.SetCells(I, FIndex, S);
    else
        FGrid.SetCells(FIndex, I, S);
}

void TxGridStrings::Assign(const QStringList& L) {
    const int N = std::min<int>(static_cast<int>(L.size()), Count());
    for (int I = 0; I < N; ++I)
        Put(I, L[I]);
}

QStringList TxGridStrings::ToList() const {
    QStringList L;
    for (int I = 0; I < Count(); ++I)
        L << Get(I);
    return L;
}

void TxGridStrings::Insert(int, const QString&) {
    throw EGridError(SNoInsertDelete);
}
void TxGridStrings::Delete(int) {
    throw EGridError(SNoInsertDelete);
}

// ---------------------------------------------------------------------------
// TxStringGrid

TxStringGrid::TxStringGrid(QWidget* Parent) : TxDrawGrid(Parent) {}

QString TxStringGrid::Cells(int ACol, int ARow) const {
    CheckColIndex(ACol);
    CheckRowIndex(ARow);
    auto It = FCells.constFind(Key(ACol, ARow));
    return It == FCells.cend() ? QString() : It->Text;
}

void TxStringGrid::SetCells(int ACol, int ARow, const QString& Value) {
    CheckColIndex(ACol);
    CheckRowIndex(ARow);
    auto It = FCells.find(Key(ACol, ARow));
    if (It == FCells.end()) {
        if (Value.isEmpty()) return;
        FCells.insert(Key(ACol, ARow), TCell{Value, nullptr});
    } else {
        if (It->Text == Value) return;
        It->Text = Value;
        if (Value.isEmpty() && !It->Object) FCells.erase(It);
    }
    InvalidateCell(ACol, ARow);
}

QObject* TxStringGrid::Objects(int ACol, int ARow) const {
    CheckColIndex(ACol);
    CheckRowIndex(ARow);
    auto It = FCells.constFind(Key(ACol, ARow));
    return It == FCells.cend() ? nullptr : It->Object.data();
}

void TxStringGrid::SetObjects(int ACol, int ARow, QObject* Value) {
    CheckColIndex(ACol);
    CheckRowIndex(ARow);
    FCells[Key(ACol, ARow)].Object = Value;
}

TxGridStrings TxStringGrid::Rows(int ARow) {
    CheckRowIndex(ARow);
    return TxGridStrings(*this, true, ARow);
}

TxGridStrings TxStringGrid::Cols(int ACol) {
    CheckColIndex(ACol);
    return TxGridStrings(*this, false, ACol);
}

void TxStringGrid::RemoveRow(int ARow) {
    CheckRowIndex(ARow);
    if (RowCount() - 1 <= FixedRows()) throw EGridError(STooManyDeleted);
    CommitEditor();
    for (int R = ARow; R < RowCount() - 1; ++R)
        for (int C = 0; C < ColCount(); ++C) {
            auto It = FCells.constFind(Key(C, R + 1));
            if (It == FCells.cend())
                FCells.remove(Key(C, R));
            else
                FCells.insert(Key(C, R), *It);
        }
    for (int C = 0; C < ColCount(); ++C)
        FCells.remove(Key(C, RowCount() - 1));
    const int NewRow = std::clamp(ARow, FixedRows(), RowCount() - 2);
    SetRowCount(RowCount() - 1);
    FocusCell(Col(), NewRow, true);
    InvalidateGrid();
}

void TxStringGrid::MoveColumnData(int FromIndex, int ToIndex) {
    QHash<quint64, TCell> Moved;
    for (auto It = FCells.cbegin(); It != FCells.cend(); ++It) {
        const int C = static_cast<int>(It.key() >> 32),
                  R = static_cast<int>(It.key() & 0xffffffffu);
        Moved.insert(Key(MovedIndex(C, FromIndex, ToIndex), R), It.value());
    }
    FCells.swap(Moved);
}

void TxStringGrid::MoveRowData(int FromIndex, int ToIndex) {
    QHash<quint64, TCell> Moved;
    for (auto It = FCells.cbegin(); It != FCells.cend(); ++It) {
        const int C = static_cast<int>(It.key() >> 32),
                  R = static_cast<int>(It.key() & 0xffffffffu);
        Moved.insert(Key(C, MovedIndex(R, FromIndex, ToIndex)), It.value());
    }
    FCells.swap(Moved);
}

void TxStringGrid::SetAlwaysShowCell(bool Value) {
    FAlwaysShowCell = Value;
    InvalidateGrid();
}

QString TxStringGrid::CellText(int ACol, int ARow) const {
    auto It = FCells.constFind(Key(ACol, ARow));
    return It == FCells.cend() ? QString() : It->Text;
}

QString TxStringGrid::GetEditText(int ACol, int ARow) {
    return TxCustomGrid::GetEditText(ACol, ARow);
}

void TxStringGrid::SetEditText(int ACol, int ARow, const QString& Value) {
    if (Cells(ACol, ARow) != Value) SetCells(ACol, ARow, Value);
    TxCustomGrid::SetEditText(ACol, ARow, Value);
}

QColor TxStringGrid::CellTextColor(int, int) const {
    return palette().color(QPalette::Text);
}

void TxStringGrid::DrawCell(QPainter& P, int ACol, int ARow, const QRect& Rect,
                            TGridDrawState State) {
    TxCustomGrid::DrawCell(P, ACol, ARow, Rect, State);
    if (State.Selected && !FAlwaysShowCell && (!isEnabled() || !GridHasFocus())) {
        // An unfocused grid shows no highlight unless asked to.
        P.fillRect(Rect, Color());
        const QString T = CellText(ACol, ARow);
        if (!T.isEmpty()) {
            P.save();
            P.setClipRect(Rect);
            P.setPen(CellTextColor(ACol, ARow));
            P.drawText(Rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       T);
            P.restore();
        }
    }
}

} // namespace oravent::gui
