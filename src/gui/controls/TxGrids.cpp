// The grid control's own state: sizes, formats, options, the current cell,
// scrolling and the in-place editor's life (opening, storing, committing).
#include "controls/TxGrids.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace oravent::gui {

namespace {

const char* const SIndexOutOfRange = "Grid index out of range";
const char* const SFixedColTooBig = "Fixed column count must be less than column count";
const char* const SFixedRowTooBig = "Fixed row count must be less than row count";
const char* const SGridTooLarge = "Grid too large for operation";

constexpr int MaxFormatLength = 12;

bool IsFocusWithin(const QWidget* Grid) {
    const QWidget* F = QApplication::focusWidget();
    return F && (F == Grid || Grid->isAncestorOf(F));
}

} // namespace

int ClassicPx(const QWidget* W, int Pixels) {
    const int LineHeight = QFontMetrics(W->font()).height();
    return std::max(Pixels, static_cast<int>(std::lround(Pixels * LineHeight / 13.0)));
}

// ---------------------------------------------------------------------------
// TxCustomGrid

TxCustomGrid::TxCustomGrid(QWidget* Parent) : QAbstractScrollArea(Parent) {
    FDefaultColWidth = ClassicPx(this, 64);
    FDefaultRowHeight = ClassicPx(this, 16);
    FFixedColor = palette().color(QPalette::Button);
    FColor = palette().color(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::StyledPanel);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    FLayout.Cols.SetCount(5, FDefaultColWidth);
    FLayout.Rows.SetCount(5, FDefaultRowHeight);
    FColFormats.resize(5, FDefaultColFormatStr);
    SyncLineWidths();
    FSelectTimer.setInterval(60);
    connect(&FSelectTimer, &QTimer::timeout, this, &TxCustomGrid::SelectTimerTick);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int V) {
        if (!FInScrollUpdate) SetTopRow(FixedRows() + V);
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int V) {
        if (!FInScrollUpdate) SetLeftCol(FixedCols() + V);
    });
    SetScrollBars(TScrollStyle::Both);
}

TxCustomGrid::~TxCustomGrid() {
    // The editor goes first, while the grid it reports to is still whole.
    setFocusProxy(nullptr);
    delete FEditor;
    FEditor = nullptr;
}

void TxCustomGrid::SyncLineWidths() {
    FLayout.Cols.Line = (FOptions & (xgoFixedVertLine | xgoVertLine)) ? FGridLineWidth : 0;
    FLayout.Rows.Line = (FOptions & (xgoFixedHorzLine | xgoHorzLine)) ? FGridLineWidth : 0;
}

void TxCustomGrid::CheckColIndex(int Index) const {
    if (Index < 0 || Index >= ColCount()) throw EGridError(SIndexOutOfRange);
}

void TxCustomGrid::CheckRowIndex(int Index) const {
    if (Index < 0 || Index >= RowCount()) throw EGridError(SIndexOutOfRange);
}

void TxCustomGrid::SetColCount(int Value) {
    Value = std::max(1, Value);
    if (!GridAxisFits(Value, FDefaultColWidth, FGridLineWidth)) throw EGridError(SGridTooLarge);
    if (Value == ColCount()) return;
    if (FEditorCol >= Value) CommitEditor();
    FLayout.Cols.SetCount(Value, FDefaultColWidth);
    FColFormats.resize(static_cast<size_t>(Value), FDefaultColFormatStr);
    FCol = std::clamp(FCol, FixedCols(), Value - 1);
    FAnchorCol = std::clamp(FAnchorCol, FixedCols(), Value - 1);
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetRowCount(int Value) {
    Value = std::max(1, Value);
    if (!GridAxisFits(Value, FDefaultRowHeight, FGridLineWidth)) throw EGridError(SGridTooLarge);
    if (Value == RowCount()) return;
    if (FEditorRow >= Value) CommitEditor();
    FLayout.Rows.SetCount(Value, FDefaultRowHeight);
    FRow = std::clamp(FRow, FixedRows(), Value - 1);
    FAnchorRow = std::clamp(FAnchorRow, FixedRows(), Value - 1);
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetFixedCols(int Value) {
    if (Value < 0) throw EGridError(SIndexOutOfRange);
    if (Value >= ColCount()) throw EGridError(SFixedColTooBig);
    TGridAxis& A = FLayout.Cols;
    A.Fixed = Value;
    FCol = std::max(FCol, Value);
    FAnchorCol = std::max(FAnchorCol, Value);
    A.First = std::max(A.First, Value);
    if (A.First > Value) A.First = std::max(Value, std::min(A.First, FCol));
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetFixedRows(int Value) {
    if (Value < 0) throw EGridError(SIndexOutOfRange);
    if (Value >= RowCount()) throw EGridError(SFixedRowTooBig);
    TGridAxis& A = FLayout.Rows;
    A.Fixed = Value;
    FRow = std::max(FRow, Value);
    FAnchorRow = std::max(FAnchorRow, Value);
    A.First = std::max(Value, std::min(A.First, FRow));
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = std::max(0, Value);
    FLayout.Cols.Sizes.assign(FLayout.Cols.Sizes.size(), FDefaultColWidth);
    FHasColWidths = false;
    ColWidthsChanged();
}

void TxCustomGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = std::max(0, Value);
    FLayout.Rows.Sizes.assign(FLayout.Rows.Sizes.size(), FDefaultRowHeight);
    FHasRowHeights = false;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

int TxCustomGrid::ColWidths(int Index) const {
    CheckColIndex(Index);
    return FLayout.Cols.Sizes[Index];
}

void TxCustomGrid::SetColWidths(int Index, int Value) {
    CheckColIndex(Index);
    FLayout.Cols.Sizes[Index] = std::max(0, Value);
    FHasColWidths = true;
    ColWidthsChanged();
}

int TxCustomGrid::RowHeights(int Index) const {
    CheckRowIndex(Index);
    return FLayout.Rows.Sizes[Index];
}

void TxCustomGrid::SetRowHeights(int Index, int Value) {
    CheckRowIndex(Index);
    FLayout.Rows.Sizes[Index] = std::max(0, Value);
    FHasRowHeights = true;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

void TxCustomGrid::SetDefaultColFormatStr(const QString& Value) {
    FDefaultColFormatStr = Value.left(MaxFormatLength);
    FColFormats.assign(FColFormats.size(), FDefaultColFormatStr);
    FHasColFormats = false;
    InvalidateGrid();
}

QString TxCustomGrid::ColFormatStr(int Index) const {
    CheckColIndex(Index);
    return FColFormats[Index];
}

void TxCustomGrid::SetColFormatStr(int Index, const QString& Value) {
    CheckColIndex(Index);
    FColFormats[Index] = Value.left(MaxFormatLength);
    FHasColFormats = true;
}

void TxCustomGrid::SetGridLineWidth(int Value) {
    FGridLineWidth = std::max(0, Value);
    SyncLineWidths();
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

void TxCustomGrid::SetOptions(TxGridOptions Value) {
    if (Value & xgoRowSelect) Value &= ~static_cast<unsigned>(xgoAlwaysShowEditor);
    FOptions = Value;
    SyncLineWidths();
    verticalScrollBar()->setTracking(HasOption(xgoThumbTracking));
    horizontalScrollBar()->setTracking(HasOption(xgoThumbTracking));
    if (!HasOption(xgoEditing) || HasOption(xgoRowSelect)) HideEditor();
    if (HasOption(xgoAlwaysShowEditor) && GridHasFocus()) ShowEditor();
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    const bool H = Value == TScrollStyle::Horizontal || Value == TScrollStyle::Both;
    const bool V = Value == TScrollStyle::Vertical || Value == TScrollStyle::Both;
    setHorizontalScrollBarPolicy(H ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(V ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    UpdateScrollBars();
}

void TxCustomGrid::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    setFrameShape(Value == TBorderStyle::Single ? QFrame::StyledPanel : QFrame::NoFrame);
}

void TxCustomGrid::SetFixedColor(const QColor& Value) {
    FFixedColor = Value;
    InvalidateGrid();
}

void TxCustomGrid::SetColor(const QColor& Value) {
    FColor = Value;
    InvalidateGrid();
}

QStringList TxCustomGrid::ColWidthsList() const {
    QStringList L;
    if (FHasColWidths)
        for (int W : FLayout.Cols.Sizes)
            L << QString::number(W);
    return L;
}

QStringList TxCustomGrid::ColFormatStrList() const {
    QStringList L;
    if (FHasColFormats)
        for (const QString& F : FColFormats)
            L << F;
    return L;
}

QStringList TxCustomGrid::RowHeightsList() const {
    QStringList L;
    if (FHasRowHeights)
        for (int H : FLayout.Rows.Sizes)
            L << QString::number(H);
    return L;
}

void TxCustomGrid::SetColWidthsList(const QStringList& L) {
    bool Any = false;
    for (int I = 0; I < std::min<int>(static_cast<int>(L.size()), ColCount()); ++I) {
        bool Ok = false;
        const int W = L[I].trimmed().toInt(&Ok);
        if (!Ok || W < 0) continue;
        FLayout.Cols.Sizes[I] = W;
        Any = true;
    }
    if (!Any) return;
    FHasColWidths = true;
    ColWidthsChanged();
}

void TxCustomGrid::SetColFormatStrList(const QStringList& L) {
    for (int I = 0; I < std::min<int>(static_cast<int>(L.size()), ColCount()); ++I) {
        FColFormats[I] = L[I].left(MaxFormatLength);
        FHasColFormats = true;
    }
}

void TxCustomGrid::SetRowHeightsList(const QStringList& L) {
    for (int I = 0; I < std::min<int>(static_cast<int>(L.size()), RowCount()); ++I) {
        bool Ok = false;
        const int H = L[I].trimmed().toInt(&Ok);
        if (!Ok || H < 0) continue;
        FLayout.Rows.Sizes[I] = H;
        FHasRowHeights = true;
    }
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

void TxCustomGrid::SetCol(int Value) {
    if (Value < FixedCols() || Value >= ColCount()) throw EGridError(SIndexOutOfRange);
    FocusCell(Value, FRow, true);
}

void TxCustomGrid::SetRow(int Value) {
    if (Value < FixedRows() || Value >= RowCount()) throw EGridError(SIndexOutOfRange);
    FocusCell(FCol, Value, true);
}

TGridRect TxCustomGrid::Selection() const {
    TGridRect R = TGridRect::Spanning(FCol, FRow, FAnchorCol, FAnchorRow);
    if (HasOption(xgoRowSelect)) {
        R.Left = FixedCols();
        R.Right = ColCount() - 1;
    }
    return R;
}

int TxCustomGrid::VisibleColCount() const {
    return FLayout.Cols.FullyVisible(viewport()->width());
}

int TxCustomGrid::VisibleRowCount() const {
    return FLayout.Rows.FullyVisible(viewport()->height());
}

QRect TxCustomGrid::CellRect(int ACol, int ARow) const {
    const std::optional<TGridCellBox> B =
        FLayout.CellBox(ACol, ARow, viewport()->width(), viewport()->height());
    return B ? QRect(B->Left, B->Top, B->Width, B->Height) : QRect();
}

QPoint TxCustomGrid::MouseCoord(QPoint P) const {
    const auto [C, R] = FLayout.CellAt(P.x(), P.y());
    return {C, R};
}

void TxCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    CheckColIndex(FromIndex);
    CheckColIndex(ToIndex);
    if (FromIndex == ToIndex) return;
    CommitEditor();
    MoveEntry(FLayout.Cols.Sizes, FromIndex, ToIndex);
    MoveEntry(FColFormats, FromIndex, ToIndex);
    MoveColumnData(FromIndex, ToIndex);
    InvalidateGrid();
    emit OnColumnMoved(FromIndex, ToIndex);
}

void TxCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckRowIndex(FromIndex);
    CheckRowIndex(ToIndex);
    if (FromIndex == ToIndex) return;
    CommitEditor();
    MoveEntry(FLayout.Rows.Sizes, FromIndex, ToIndex);
    MoveRowData(FromIndex, ToIndex);
    InvalidateGrid();
    emit OnRowMoved(FromIndex, ToIndex);
}

void TxCustomGrid::SetTopRow(int Value) {
    Value = FLayout.Rows.ClampFirst(Value, viewport()->height());
    if (Value == FLayout.Rows.First) return;
    FLayout.Rows.First = Value;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
    TopLeftChanged();
}

void TxCustomGrid::SetLeftCol(int Value) {
    Value = FLayout.Cols.ClampFirst(Value, viewport()->width());
    if (Value == FLayout.Cols.First) return;
    FLayout.Cols.First = Value;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
    TopLeftChanged();
}

void TxCustomGrid::TopLeftChanged() {
    emit OnTopLeftChanged();
}

void TxCustomGrid::ColWidthsChanged() {
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
    emit OnColWidthsChanged();
}

void TxCustomGrid::UpdateScrollBars() {
    FInScrollUpdate = true;
    TGridAxis& Rows = FLayout.Rows;
    TGridAxis& Cols = FLayout.Cols;
    const int MaxTop = Rows.MaxFirst(viewport()->height());
    const int MaxLeft = Cols.MaxFirst(viewport()->width());
    Rows.First = Rows.ClampFirst(Rows.First, viewport()->height());
    Cols.First = Cols.ClampFirst(Cols.First, viewport()->width());
    verticalScrollBar()->setRange(0, std::max(0, MaxTop - Rows.Fixed));
    verticalScrollBar()->setPageStep(std::max(1, VisibleRowCount()));
    verticalScrollBar()->setValue(Rows.First - Rows.Fixed);
    horizontalScrollBar()->setRange(0, std::max(0, MaxLeft - Cols.Fixed));
    horizontalScrollBar()->setPageStep(std::max(1, VisibleColCount()));
    horizontalScrollBar()->setValue(Cols.First - Cols.Fixed);
    FInScrollUpdate = false;
}

void TxCustomGrid::ScrollIntoView(int ACol, int ARow) {
    const int Top = FLayout.Rows.ScrollTo(ARow, viewport()->height());
    if (Top != TopRow()) SetTopRow(Top);
    const int Left = FLayout.Cols.ScrollTo(ACol, viewport()->width());
    if (Left != LeftCol()) SetLeftCol(Left);
}

bool TxCustomGrid::SelectCell(int ACol, int ARow) {
    bool Can = true;
    emit OnSelectCell(ACol, ARow, Can);
    return Can;
}

bool TxCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor, bool Force) {
    ACol = std::clamp(ACol, FixedCols(), ColCount() - 1);
    ARow = std::clamp(ARow, FixedRows(), RowCount() - 1);
    if (!Force && ACol == FCol && ARow == FRow) {
        if (MoveAnchor && (FAnchorCol != ACol || FAnchorRow != ARow)) {
            FAnchorCol = ACol;
            FAnchorRow = ARow;
            InvalidateGrid();
        }
        return true;
    }
    if (!SelectCell(ACol, ARow)) return false;
    FCol = ACol;
    FRow = ARow;
    if (MoveAnchor || !HasOption(xgoRangeSelect)) {
        FAnchorCol = ACol;
        FAnchorRow = ARow;
    }
    ScrollIntoView(ACol, ARow);
    InvalidateGrid();
    if (FEditorCol >= 0 && (FEditorCol != FCol || FEditorRow != FRow)) CommitEditor();
    OpenEditor();
    return true;
}

void TxCustomGrid::SetEditorMode(bool Value) {
    if (Value)
        ShowEditor();
    else
        HideEditor();
}

bool TxCustomGrid::EditorVisible() const {
    return FEditor && FEditor->isVisible();
}

bool TxCustomGrid::GridHasFocus() const {
    return IsFocusWithin(this);
}

bool TxCustomGrid::CanEditShow() {
    bool Can = HasOption(xgoEditing) && !HasOption(xgoRowSelect) && FEditorMode && isVisible() &&
               (HasOption(xgoAlwaysShowEditor) || GridHasFocus());
    if (Can) emit OnCanEditShow(FCol, FRow, Can);
    return Can;
}

void TxCustomGrid::ShowEditor() {
    FEditorMode = true;
    OpenEditor();
}

void TxCustomGrid::HideEditor() {
    FEditorMode = false;
    CommitEditor();
}

void TxCustomGrid::OpenEditor() {
    if (!CanEditShow()) return;
    if (!FEditor) FEditor = new TxInplaceEdit(this);
    if (FEditorCol >= 0 && (FEditorCol != FCol || FEditorRow != FRow)) CommitEditor();
    if (FEditorCol != FCol || FEditorRow != FRow) LoadEditor();
    PlaceEditor();
    FEditor->show();
    const bool Focused = hasFocus();
    // While it is open the editor holds the grid's focus, so that a window
    // focusing the grid puts the caret into the editor.
    setFocusProxy(FEditor);
    if (Focused) FEditor->setFocus(Qt::OtherFocusReason);
}

QString TxCustomGrid::GetEditText(int ACol, int ARow) {
    QString Value = CellText(ACol, ARow);
    emit OnGetEditText(ACol, ARow, Value);
    return Value;
}

void TxCustomGrid::SetEditText(int ACol, int ARow, const QString& Value) {
    emit OnSetEditText(ACol, ARow, Value);
}

void TxCustomGrid::LoadEditor() {
    FEditorCol = FCol;
    FEditorRow = FRow;
    ConfigureEditor(FEditor);
    FEditor->setMaxLength(FEditLimit > 0 ? FEditLimit : 32767);
    FEditor->setText(GetEditText(FCol, FRow));
    FEditor->SaveText();
    FEditor->selectAll();
}

void TxCustomGrid::ConfigureEditor(TxInplaceEdit* Editor) {
    const QString Format = ColFormatStr(FEditorCol);
    if (Editor->FormatStr() != Format) Editor->SetFormatStr(Format);
}

void TxCustomGrid::PrepareEditorStore(TxInplaceEdit* Editor) {
    ConfigureEditor(Editor);
}

void TxCustomGrid::SetCurrentDirect(int ACol, int ARow) {
    FCol = FAnchorCol = std::clamp(ACol, FixedCols(), ColCount() - 1);
    FRow = FAnchorRow = std::clamp(ARow, FixedRows(), RowCount() - 1);
    InvalidateGrid();
}

void TxCustomGrid::StoreEditorText() {
    if (FEditorCol < 0 || !FEditor) return;
    PrepareEditorStore(FEditor);
    FEditor->ConfirmText();
    SetEditText(FEditorCol, FEditorRow, FEditor->text());
}

void TxCustomGrid::DoSetData(int ACol, int ARow) {
    emit OnDoSetData(ACol, ARow);
}

void TxCustomGrid::CommitEditor() {
    CloseEditor(true);
}

void TxCustomGrid::CancelEditor() {
    if (FEditorCol < 0 || !FEditor || FCommitting) return;
    FEditorMode = false;
    CloseEditor(false);
    InvalidateCell(FCol, FRow);
    // An editor that is always shown opens again on the stored text.
    if (HasOption(xgoAlwaysShowEditor)) ShowEditor();
}

void TxCustomGrid::CloseEditor(bool Store) {
    if (FEditorCol < 0 || !FEditor || FCommitting) return;
    FCommitting = true;
    const int C = FEditorCol, R = FEditorRow;
    const bool HadFocus = FEditor->hasFocus();
    struct Finish {
        TxCustomGrid* G;
        bool HadFocus;
        ~Finish() {
            G->FEditorCol = G->FEditorRow = -1;
            G->setFocusProxy(nullptr);
            G->FEditor->hide();
            G->FCommitting = false;
            if (HadFocus && G->isVisible()) G->setFocus(Qt::OtherFocusReason);
        }
    } Done{this, HadFocus};
    if (!Store) {
        FEditor->Revert();
        return;
    }
    StoreEditorText();
    DoSetData(C, R);
}

void TxCustomGrid::PlaceEditor() {
    if (!FEditor || FEditorCol < 0) return;
    const QRect R = CellRect(FEditorCol, FEditorRow);
    if (R.isEmpty())
        FEditor->move(-10000, -10000);
    else
        FEditor->setGeometry(R);
}

void TxCustomGrid::InvalidateCell(int ACol, int ARow) {
    const QRect R = CellRect(ACol, ARow);
    if (!R.isEmpty()) viewport()->update(R.adjusted(-2, -2, 2, 2));
}

void TxCustomGrid::InvalidateGrid() {
    viewport()->update();
}

} // namespace oravent::gui
