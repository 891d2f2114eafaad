#include "controls/TxGrids.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace oravent::gui {

namespace {

const char* const SIndexOutOfRange = "Grid index out of range";
const char* const SFixedColTooBig = "Fixed column count must be less than column count";
const char* const SFixedRowTooBig = "Fixed row count must be less than row count";
const char* const STooManyDeleted = "Too many rows or columns deleted";
const char* const SGridTooLarge = "Grid too large for operation";
const char* const SNoInsertDelete = "Cannot insert or delete rows from grid";

constexpr int MaxFormatLength = 12;
constexpr int SizingSlop = 3;

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
// TxInplaceEdit

TxInplaceEdit::TxInplaceEdit(TxCustomGrid* Grid) : TxCustomEdit(Grid->viewport()), FGrid(Grid) {
    setFrame(false);
    setFocusPolicy(Qt::ClickFocus); // not a tab stop
    SetFormatStr(QStringLiteral("%S"));
    setTextMargins(0, 0, 0, 0); // the frameless edit keeps 2 pixels on its own
    setAutoFillBackground(true);
    hide();
}

bool TxInplaceEdit::CanModify() const {
    return FGrid->CanEditModify();
}

void TxInplaceEdit::keyPressEvent(QKeyEvent* E) {
    const int Key = E->key();
    const auto Mods = E->modifiers();
    const bool Alt = Mods & Qt::AltModifier;
    const bool Ctrl = Mods & Qt::ControlModifier;
    const bool Always = FGrid->HasOption(xgoAlwaysShowEditor);
    auto ToGrid = [&] {
        FGrid->GridKeyDown(E);
        E->accept();
    };
    switch (Key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!Alt) {
            // Escape and Tab reach the grid only; the text is not reset.
            ToGrid();
            return;
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Home:
        if (Always && (Ctrl || (cursorPosition() == 0 && !hasSelectedText()))) {
            ToGrid();
            return;
        }
        break;
    case Qt::Key_Right:
    case Qt::Key_End:
        if (Always && (Ctrl || (cursorPosition() == text().size() && !hasSelectedText()))) {
            ToGrid();
            return;
        }
        break;
    case Qt::Key_Insert:
        if (Mods == Qt::NoModifier) {
            ToGrid();
            return;
        }
        if ((Mods & Qt::ShiftModifier) && !FGrid->CanEditModify()) {
            E->accept();
            return;
        }
        break;
    case Qt::Key_Delete:
        if (!FGrid->CanEditModify()) {
            E->accept();
            return;
        }
        break;
    case Qt::Key_F2: {
        int K = Key;
        if (FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, K, Mods);
        deselect();
        end(false);
        E->accept();
        return;
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        FGrid->GridKeyPress(E);
        E->accept();
        return;
    default:
        break;
    }
    int K = Key;
    if (FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, K, Mods);
    if (K == 0) {
        E->accept();
        return;
    }
    TxCustomEdit::keyPressEvent(E);
}

void TxInplaceEdit::focusOutEvent(QFocusEvent* E) {
    // The grid decides what leaving means; no check of its own here.
    QLineEdit::focusOutEvent(E);
    if (E->reason() == Qt::ActiveWindowFocusReason || E->reason() == Qt::PopupFocusReason) {
        SuspendFocus(); // what was typed is still checked on the commit
        return;
    }
    QWidget* Now = QApplication::focusWidget();
    if (Now == FGrid) {
        FGrid->FFocusFromEditor = true;
        return;
    }
    if (Now && FGrid->isAncestorOf(Now)) return;
    FGrid->FocusLeftGrid();
}

void TxInplaceEdit::mouseDoubleClickEvent(QMouseEvent* E) {
    E->accept();
    FGrid->DblClick();
}

void TxInplaceEdit::wheelEvent(QWheelEvent* E) {
    QApplication::sendEvent(FGrid->viewport(), E);
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
    ResizeLists();
    FSelectTimer.setInterval(60);
    connect(&FSelectTimer, &QTimer::timeout, this, [this] {
        if (FMouseState != TMouseState::Selecting) {
            FSelectTimer.stop();
            return;
        }
        const QRect V = viewport()->rect();
        int DC = 0, DR = 0;
        if (FLastMouse.x() >= V.right()) DC = 1;
        if (FLastMouse.x() < 0) DC = -1;
        if (FLastMouse.y() >= V.bottom()) DR = 1;
        if (FLastMouse.y() < 0) DR = -1;
        if (DC == 0 && DR == 0) {
            FSelectTimer.stop();
            return;
        }
        MoveBy(DC, DR, HasOption(xgoRangeSelect));
    });
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int V) {
        if (!FInScrollUpdate) SetTopRow(FFixedRows + V);
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, [this](int V) {
        if (!FInScrollUpdate) SetLeftCol(FFixedCols + V);
    });
    SetScrollBars(TScrollStyle::Both);
}

TxCustomGrid::~TxCustomGrid() {
    // The editor goes first, while the grid it reports to is still whole.
    setFocusProxy(nullptr);
    delete FEditor;
    FEditor = nullptr;
}

void TxCustomGrid::ResizeLists() {
    FColWidths.resize(FColCount, FDefaultColWidth);
    FRowHeights.resize(FRowCount, FDefaultRowHeight);
    FColFormats.resize(FColCount, FDefaultColFormatStr);
}

void TxCustomGrid::CheckColIndex(int Index) const {
    if (Index < 0 || Index >= FColCount) throw EGridError(SIndexOutOfRange);
}

void TxCustomGrid::CheckRowIndex(int Index) const {
    if (Index < 0 || Index >= FRowCount) throw EGridError(SIndexOutOfRange);
}

void TxCustomGrid::SetColCount(int Value) {
    Value = std::max(1, Value);
    if (static_cast<long long>(Value) * (std::max(FDefaultColWidth, 1) + FGridLineWidth) > INT_MAX)
        throw EGridError(SGridTooLarge);
    if (Value == FColCount) return;
    if (FEditorCol >= Value) CommitEditor();
    FColCount = Value;
    if (FFixedCols >= FColCount) FFixedCols = FColCount - 1;
    ResizeLists();
    FCol = std::clamp(FCol, FFixedCols, FColCount - 1);
    FAnchorCol = std::clamp(FAnchorCol, FFixedCols, FColCount - 1);
    FLeftCol = std::clamp(FLeftCol, FFixedCols, FColCount - 1);
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetRowCount(int Value) {
    Value = std::max(1, Value);
    if (static_cast<long long>(Value) * (std::max(FDefaultRowHeight, 1) + FGridLineWidth) > INT_MAX)
        throw EGridError(SGridTooLarge);
    if (Value == FRowCount) return;
    if (FEditorRow >= Value) CommitEditor();
    FRowCount = Value;
    if (FFixedRows >= FRowCount) FFixedRows = FRowCount - 1;
    ResizeLists();
    FRow = std::clamp(FRow, FFixedRows, FRowCount - 1);
    FAnchorRow = std::clamp(FAnchorRow, FFixedRows, FRowCount - 1);
    FTopRow = std::clamp(FTopRow, FFixedRows, FRowCount - 1);
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetFixedCols(int Value) {
    if (Value < 0) throw EGridError(SIndexOutOfRange);
    if (Value >= FColCount) throw EGridError(SFixedColTooBig);
    FFixedCols = Value;
    FCol = std::max(FCol, Value);
    FAnchorCol = std::max(FAnchorCol, Value);
    FLeftCol = std::max(FLeftCol, Value);
    if (FLeftCol > Value && FColCount > Value) FLeftCol = std::max(Value, std::min(FLeftCol, FCol));
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetFixedRows(int Value) {
    if (Value < 0) throw EGridError(SIndexOutOfRange);
    if (Value >= FRowCount) throw EGridError(SFixedRowTooBig);
    FFixedRows = Value;
    FRow = std::max(FRow, Value);
    FAnchorRow = std::max(FAnchorRow, Value);
    FTopRow = std::max(Value, std::min(FTopRow, FRow));
    UpdateScrollBars();
    InvalidateGrid();
}

void TxCustomGrid::SetDefaultColWidth(int Value) {
    FDefaultColWidth = std::max(0, Value);
    FColWidths.assign(FColCount, FDefaultColWidth);
    FHasColWidths = false;
    ColWidthsChanged();
}

void TxCustomGrid::SetDefaultRowHeight(int Value) {
    FDefaultRowHeight = std::max(0, Value);
    FRowHeights.assign(FRowCount, FDefaultRowHeight);
    FHasRowHeights = false;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

int TxCustomGrid::ColWidths(int Index) const {
    CheckColIndex(Index);
    return FColWidths[Index];
}

void TxCustomGrid::SetColWidths(int Index, int Value) {
    CheckColIndex(Index);
    FColWidths[Index] = std::max(0, Value);
    FHasColWidths = true;
    ColWidthsChanged();
}

int TxCustomGrid::RowHeights(int Index) const {
    CheckRowIndex(Index);
    return FRowHeights[Index];
}

void TxCustomGrid::SetRowHeights(int Index, int Value) {
    CheckRowIndex(Index);
    FRowHeights[Index] = std::max(0, Value);
    FHasRowHeights = true;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

void TxCustomGrid::SetDefaultColFormatStr(const QString& Value) {
    FDefaultColFormatStr = Value.left(MaxFormatLength);
    FColFormats.assign(FColCount, FDefaultColFormatStr);
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
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

void TxCustomGrid::SetOptions(TxGridOptions Value) {
    if (Value & xgoRowSelect) Value &= ~static_cast<unsigned>(xgoAlwaysShowEditor);
    FOptions = Value;
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
        for (int W : FColWidths)
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
        for (int H : FRowHeights)
            L << QString::number(H);
    return L;
}

void TxCustomGrid::SetColWidthsList(const QStringList& L) {
    bool Any = false;
    for (int I = 0; I < std::min<int>(static_cast<int>(L.size()), FColCount); ++I) {
        bool Ok = false;
        const int W = L[I].trimmed().toInt(&Ok);
        if (!Ok || W < 0) continue;
        FColWidths[I] = W;
        Any = true;
    }
    if (!Any) return;
    FHasColWidths = true;
    ColWidthsChanged();
}

void TxCustomGrid::SetColFormatStrList(const QStringList& L) {
    for (int I = 0; I < std::min<int>(static_cast<int>(L.size()), FColCount); ++I) {
        FColFormats[I] = L[I].left(MaxFormatLength);
        FHasColFormats = true;
    }
}

void TxCustomGrid::SetRowHeightsList(const QStringList& L) {
    for (int I = 0; I < std::min<int>(static_cast<int>(L.size()), FRowCount); ++I) {
        bool Ok = false;
        const int H = L[I].trimmed().toInt(&Ok);
        if (!Ok || H < 0) continue;
        FRowHeights[I] = H;
        FHasRowHeights = true;
    }
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

void TxCustomGrid::SetCol(int Value) {
    if (Value < FFixedCols || Value >= FColCount) throw EGridError(SIndexOutOfRange);
    FocusCell(Value, FRow, true);
}

void TxCustomGrid::SetRow(int Value) {
    if (Value < FFixedRows || Value >= FRowCount) throw EGridError(SIndexOutOfRange);
    FocusCell(FCol, Value, true);
}

TGridRect TxCustomGrid::Selection() const {
    TGridRect R{std::min(FCol, FAnchorCol), std::min(FRow, FAnchorRow), std::max(FCol, FAnchorCol),
                std::max(FRow, FAnchorRow)};
    if (HasOption(xgoRowSelect)) {
        R.Left = FFixedCols;
        R.Right = FColCount - 1;
    }
    return R;
}

int TxCustomGrid::VertLineWidth() const {
    return (FOptions & (xgoFixedVertLine | xgoVertLine)) ? FGridLineWidth : 0;
}

int TxCustomGrid::HorzLineWidth() const {
    return (FOptions & (xgoFixedHorzLine | xgoHorzLine)) ? FGridLineWidth : 0;
}

namespace {

// Extent of the fixed part and the first index that fits no longer.
int FixedExtent(const std::vector<int>& Sizes, int Fixed, int Line) {
    int E = 0;
    for (int I = 0; I < Fixed; ++I)
        E += Sizes[I] + Line;
    return E;
}

int MaxFirst(const std::vector<int>& Sizes, int Fixed, int Line, int Avail) {
    const int Count = static_cast<int>(Sizes.size());
    if (Count <= Fixed) return Fixed;
    int Used = FixedExtent(Sizes, Fixed, Line) + Sizes[Count - 1] + Line;
    int First = Count - 1;
    while (First > Fixed && Used + Sizes[First - 1] + Line <= Avail) {
        --First;
        Used += Sizes[First] + Line;
    }
    return First;
}

int FullyVisible(const std::vector<int>& Sizes, int Fixed, int First, int Line, int Avail) {
    int X = FixedExtent(Sizes, Fixed, Line);
    int N = 0;
    for (int I = First; I < static_cast<int>(Sizes.size()); ++I) {
        if (X + Sizes[I] > Avail) break;
        X += Sizes[I] + Line;
        ++N;
    }
    return N;
}

} // namespace

int TxCustomGrid::VisibleColCount() const {
    return FullyVisible(FColWidths, FFixedCols, FLeftCol, VertLineWidth(), viewport()->width());
}

int TxCustomGrid::VisibleRowCount() const {
    return FullyVisible(FRowHeights, FFixedRows, FTopRow, HorzLineWidth(), viewport()->height());
}

QRect TxCustomGrid::CellRect(int ACol, int ARow) const {
    if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) return {};
    const int VL = VertLineWidth(), HL = HorzLineWidth();
    int X = 0, Y = 0;
    if (ACol < FFixedCols) {
        for (int I = 0; I < ACol; ++I)
            X += FColWidths[I] + VL;
    } else {
        if (ACol < FLeftCol) return {};
        X = FixedExtent(FColWidths, FFixedCols, VL);
        for (int I = FLeftCol; I < ACol; ++I)
            X += FColWidths[I] + VL;
    }
    if (ARow < FFixedRows) {
        for (int I = 0; I < ARow; ++I)
            Y += FRowHeights[I] + HL;
    } else {
        if (ARow < FTopRow) return {};
        Y = FixedExtent(FRowHeights, FFixedRows, HL);
        for (int I = FTopRow; I < ARow; ++I)
            Y += FRowHeights[I] + HL;
    }
    if (X >= viewport()->width() || Y >= viewport()->height()) return {};
    return QRect(X, Y, FColWidths[ACol], FRowHeights[ARow]);
}

QPoint TxCustomGrid::MouseCoord(QPoint P) const {
    auto Find = [](const std::vector<int>& Sizes, int Fixed, int First, int Line, int Pos) {
        int X = 0;
        const int Count = static_cast<int>(Sizes.size());
        for (int I = 0; I < Fixed; ++I) {
            if (Pos >= X && Pos < X + Sizes[I] + Line) return I;
            X += Sizes[I] + Line;
        }
        for (int I = First; I < Count; ++I) {
            if (Pos >= X && Pos < X + Sizes[I] + Line) return I;
            X += Sizes[I] + Line;
        }
        return -1;
    };
    if (P.x() < 0 || P.y() < 0) return {-1, -1};
    const int C = Find(FColWidths, FFixedCols, FLeftCol, VertLineWidth(), P.x());
    const int R = Find(FRowHeights, FFixedRows, FTopRow, HorzLineWidth(), P.y());
    if (C < 0 || R < 0) return {-1, -1};
    return {C, R};
}

void TxCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
    CheckColIndex(FromIndex);
    CheckColIndex(ToIndex);
    if (FromIndex == ToIndex) return;
    CommitEditor();
    auto MoveIn = [&](auto& V) {
        auto Item = V[FromIndex];
        V.erase(V.begin() + FromIndex);
        V.insert(V.begin() + ToIndex, Item);
    };
    MoveIn(FColWidths);
    MoveIn(FColFormats);
    MoveColumnData(FromIndex, ToIndex);
    InvalidateGrid();
    if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TxCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckRowIndex(FromIndex);
    CheckRowIndex(ToIndex);
    if (FromIndex == ToIndex) return;
    CommitEditor();
    auto Item = FRowHeights[FromIndex];
    FRowHeights.erase(FRowHeights.begin() + FromIndex);
    FRowHeights.insert(FRowHeights.begin() + ToIndex, Item);
    MoveRowData(FromIndex, ToIndex);
    InvalidateGrid();
    if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

void TxCustomGrid::SetTopRow(int Value) {
    const int Max = MaxFirst(FRowHeights, FFixedRows, HorzLineWidth(), viewport()->height());
    Value = std::clamp(Value, FFixedRows, std::max(FFixedRows, Max));
    if (Value == FTopRow) return;
    FTopRow = Value;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
    TopLeftChanged();
}

void TxCustomGrid::SetLeftCol(int Value) {
    const int Max = MaxFirst(FColWidths, FFixedCols, VertLineWidth(), viewport()->width());
    Value = std::clamp(Value, FFixedCols, std::max(FFixedCols, Max));
    if (Value == FLeftCol) return;
    FLeftCol = Value;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
    TopLeftChanged();
}

void TxCustomGrid::TopLeftChanged() {
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TxCustomGrid::ColWidthsChanged() {
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
    if (OnColWidthsChanged) OnColWidthsChanged(this);
}

void TxCustomGrid::UpdateScrollBars() {
    FInScrollUpdate = true;
    const int MaxTop = MaxFirst(FRowHeights, FFixedRows, HorzLineWidth(), viewport()->height());
    const int MaxLeft = MaxFirst(FColWidths, FFixedCols, VertLineWidth(), viewport()->width());
    FTopRow = std::clamp(FTopRow, FFixedRows, std::max(FFixedRows, MaxTop));
    FLeftCol = std::clamp(FLeftCol, FFixedCols, std::max(FFixedCols, MaxLeft));
    verticalScrollBar()->setRange(0, std::max(0, MaxTop - FFixedRows));
    verticalScrollBar()->setPageStep(std::max(1, VisibleRowCount()));
    verticalScrollBar()->setValue(FTopRow - FFixedRows);
    horizontalScrollBar()->setRange(0, std::max(0, MaxLeft - FFixedCols));
    horizontalScrollBar()->setPageStep(std::max(1, VisibleColCount()));
    horizontalScrollBar()->setValue(FLeftCol - FFixedCols);
    FInScrollUpdate = false;
}

void TxCustomGrid::ScrollIntoView(int ACol, int ARow) {
    if (ARow >= FFixedRows) {
        if (ARow < FTopRow)
            SetTopRow(ARow);
        else
            while (ARow >= FTopRow + std::max(1, VisibleRowCount()) && FTopRow < ARow) {
                const int Before = FTopRow;
                SetTopRow(FTopRow + 1);
                if (FTopRow == Before) break;
            }
    }
    if (ACol >= FFixedCols) {
        if (ACol < FLeftCol)
            SetLeftCol(ACol);
        else
            while (ACol >= FLeftCol + std::max(1, VisibleColCount()) && FLeftCol < ACol) {
                const int Before = FLeftCol;
                SetLeftCol(FLeftCol + 1);
                if (FLeftCol == Before) break;
            }
    }
}

bool TxCustomGrid::SelectCell(int ACol, int ARow) {
    bool Can = true;
    if (OnSelectCell) OnSelectCell(this, ACol, ARow, Can);
    return Can;
}

bool TxCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor, bool Force) {
    ACol = std::clamp(ACol, FFixedCols, FColCount - 1);
    ARow = std::clamp(ARow, FFixedRows, FRowCount - 1);
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
    if (Can && OnCanEditShow) OnCanEditShow(this, FCol, FRow, Can);
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
    if (OnGetEditText) OnGetEditText(this, ACol, ARow, Value);
    return Value;
}

void TxCustomGrid::SetEditText(int ACol, int ARow, const QString& Value) {
    if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
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
    FCol = FAnchorCol = std::clamp(ACol, FFixedCols, FColCount - 1);
    FRow = FAnchorRow = std::clamp(ARow, FFixedRows, FRowCount - 1);
    InvalidateGrid();
}

void TxCustomGrid::StoreEditorText() {
    if (FEditorCol < 0 || !FEditor) return;
    PrepareEditorStore(FEditor);
    FEditor->ConfirmText();
    SetEditText(FEditorCol, FEditorRow, FEditor->text());
}

void TxCustomGrid::DoSetData(int ACol, int ARow) {
    if (OnDoSetData) OnDoSetData(this, ACol, ARow);
}

void TxCustomGrid::CommitEditor() {
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

// ---- Keys -----------------------------------------------------------------

void TxCustomGrid::MoveBy(int DCol, int DRow, bool Extend) {
    if (HasOption(xgoRowSelect)) DCol = 0;
    FocusCell(FCol + DCol, FRow + DRow, !Extend);
}

void TxCustomGrid::GridKeyDown(QKeyEvent* E) {
    int Key = E->key();
    const auto Mods = E->modifiers();
    if (OnKeyDown) OnKeyDown(this, Key, Mods);
    if (Key == 0) return;
    const bool Shift = Mods & Qt::ShiftModifier;
    const bool Ctrl = Mods & Qt::ControlModifier;
    const bool Extend = Shift && HasOption(xgoRangeSelect);
    const bool Rtl = layoutDirection() == Qt::RightToLeft;
    if (Rtl && (Key == Qt::Key_Left || Key == Qt::Key_Right))
        Key = Key == Qt::Key_Left ? Qt::Key_Right : Qt::Key_Left;
    const int Page = std::max(1, VisibleRowCount());
    switch (Key) {
    case Qt::Key_Up:
        MoveBy(0, -1, Extend);
        break;
    case Qt::Key_Down:
        MoveBy(0, 1, Extend);
        break;
    case Qt::Key_Left:
        if (Ctrl)
            SetLeftCol(FLeftCol - 1);
        else
            MoveBy(-1, 0, Extend);
        break;
    case Qt::Key_Right:
        if (Ctrl)
            SetLeftCol(FLeftCol + 1);
        else
            MoveBy(1, 0, Extend);
        break;
    case Qt::Key_PageUp:
        if (Ctrl)
            FocusCell(FCol, FTopRow, !Extend);
        else {
            SetTopRow(FTopRow - Page);
            FocusCell(FCol, FRow - Page, !Extend);
        }
        break;
    case Qt::Key_PageDown:
        if (Ctrl)
            FocusCell(FCol, FTopRow + Page - 1, !Extend);
        else {
            SetTopRow(FTopRow + Page);
            FocusCell(FCol, FRow + Page, !Extend);
        }
        break;
    case Qt::Key_Home:
        if (Ctrl)
            FocusCell(FFixedCols, FFixedRows, !Extend);
        else if (HasOption(xgoRowSelect))
            FocusCell(FCol, FFixedRows, !Extend);
        else
            FocusCell(FFixedCols, FRow, !Extend);
        break;
    case Qt::Key_End:
        if (Ctrl)
            FocusCell(FColCount - 1, FRowCount - 1, !Extend);
        else if (HasOption(xgoRowSelect))
            FocusCell(FCol, FRowCount - 1, !Extend);
        else
            FocusCell(FColCount - 1, FRow, !Extend);
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (HasOption(xgoTabs)) {
            const bool Back = Key == Qt::Key_Backtab || Shift;
            int C = FCol, R = FRow;
            if (Back) {
                if (--C < FFixedCols) {
                    C = FColCount - 1;
                    if (--R < FFixedRows) R = FRowCount - 1;
                }
            } else if (++C >= FColCount) {
                C = FFixedCols;
                if (++R >= FRowCount) R = FFixedRows;
            }
            FocusCell(C, R, true);
        }
        break;
    case Qt::Key_F2:
        ShowEditor();
        if (EditorVisible()) {
            FEditor->deselect();
            FEditor->end(false);
        }
        break;
    default:
        break;
    }
}

void TxCustomGrid::GridKeyPress(QKeyEvent* E) {
    const int Key = E->key();
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        if (!HasOption(xgoAlwaysShowEditor)) {
            if (FEditorMode) {
                HideEditor();
                SelectCell(FCol, FRow);
            } else {
                ShowEditor();
            }
        } else if (EditorVisible()) {
            if (FEditor->selectedText() == FEditor->text() && !FEditor->text().isEmpty()) {
                FEditor->deselect();
                FEditor->end(false);
            } else {
                FEditor->selectAll();
            }
        }
        return;
    }
    const QString T = E->text();
    const auto Mods = E->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (T.isEmpty() || !T.at(0).isPrint() || Mods != Qt::NoModifier) return;
    if (!HasOption(xgoEditing) || HasOption(xgoRowSelect) || EditorVisible()) return;
    ShowEditor();
    if (EditorVisible()) {
        QKeyEvent Copy(E->type(), E->key(), E->modifiers(), E->text());
        QApplication::sendEvent(FEditor, &Copy);
    }
}

void TxCustomGrid::keyPressEvent(QKeyEvent* E) {
    const int Key = E->key();
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        GridKeyPress(E);
        E->accept();
        return;
    }
    GridKeyDown(E);
    const bool Nav = Key == Qt::Key_Up || Key == Qt::Key_Down || Key == Qt::Key_Left ||
                     Key == Qt::Key_Right || Key == Qt::Key_PageUp || Key == Qt::Key_PageDown ||
                     Key == Qt::Key_Home || Key == Qt::Key_End || Key == Qt::Key_F2 ||
                     ((Key == Qt::Key_Tab || Key == Qt::Key_Backtab) && HasOption(xgoTabs));
    if (!Nav) GridKeyPress(E);
    E->accept();
}

bool TxCustomGrid::focusNextPrevChild(bool Next) {
    // With tabs the grid keeps Tab for moving between cells.
    if (HasOption(xgoTabs)) return false;
    return QAbstractScrollArea::focusNextPrevChild(Next);
}

// ---- Mouse ----------------------------------------------------------------

int TxCustomGrid::SizingLineAt(QPoint P, bool Horizontal) const {
    // Horizontal: a column line inside the fixed rows; else a row line inside
    // the fixed columns.
    if (Horizontal) {
        const int FixedH = FixedExtent(FRowHeights, FFixedRows, HorzLineWidth());
        if (P.y() >= FixedH) return -1;
        for (int C = 0; C < FColCount; ++C) {
            const QRect R = CellRect(C, 0);
            if (R.isEmpty()) continue;
            const int Line = R.right() + 1;
            if (std::abs(P.x() - Line) <= SizingSlop) return C;
        }
    } else {
        const int FixedW = FixedExtent(FColWidths, FFixedCols, VertLineWidth());
        if (P.x() >= FixedW) return -1;
        for (int R = 0; R < FRowCount; ++R) {
            const QRect Rc = CellRect(0, R);
            if (Rc.isEmpty()) continue;
            const int Line = Rc.bottom() + 1;
            if (std::abs(P.y() - Line) <= SizingSlop) return R;
        }
    }
    return -1;
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
            FSizingStart = FColWidths[C];
            return;
        }
    }
    if (HasOption(xgoRowSizing)) {
        const int R = SizingLineAt(P, false);
        if (R >= 0) {
            FMouseState = TMouseState::RowSizing;
            FSizingIndex = R;
            FSizingOrigin = P.y();
            FSizingStart = FRowHeights[R];
            return;
        }
    }
    const QPoint Cell = MouseCoord(P);
    if (Cell.x() < 0) return;
    if (Cell.x() < FFixedCols || Cell.y() < FFixedRows) {
        // Dragging a header cell moves its column or row.
        if (Cell.y() < FFixedRows && Cell.x() >= FFixedCols && HasOption(xgoColMoving)) {
            FMouseState = TMouseState::ColMoving;
            FSizingIndex = Cell.x();
            viewport()->setCursor(Qt::SizeHorCursor);
        } else if (Cell.x() < FFixedCols && Cell.y() >= FFixedRows && HasOption(xgoRowMoving)) {
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
    if (OnClick) OnClick(this);
}

void TxCustomGrid::mouseMoveEvent(QMouseEvent* E) {
    const QPoint P = E->position().toPoint();
    FLastMouse = P;
    switch (FMouseState) {
    case TMouseState::ColSizing:
        FColWidths[FSizingIndex] = std::max(1, FSizingStart + P.x() - FSizingOrigin);
        FHasColWidths = true;
        UpdateScrollBars();
        PlaceEditor();
        InvalidateGrid();
        return;
    case TMouseState::RowSizing:
        FRowHeights[FSizingIndex] = std::max(1, FSizingStart + P.y() - FSizingOrigin);
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
        if (Cell.x() >= FFixedCols && Cell.y() >= FFixedRows &&
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
        if (Was == TMouseState::ColMoving && Cell.x() >= FFixedCols && Cell.x() != FSizingIndex)
            MoveColumn(FSizingIndex, Cell.x());
        if (Was == TMouseState::RowMoving && Cell.y() >= FFixedRows && Cell.y() != FSizingIndex)
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
    if (OnDblClick) OnDblClick(this);
}

void TxCustomGrid::wheelEvent(QWheelEvent* E) {
    const int Delta = E->angleDelta().y();
    if (Delta == 0) return;
    const int R = std::clamp(FRow + (Delta < 0 ? 1 : -1), FFixedRows, FRowCount - 1);
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

// ---- Drawing --------------------------------------------------------------

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
    if (OnDrawCell) OnDrawCell(this, P, ACol, ARow, Rect, State);
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
    std::vector<std::pair<int, int>> Cols, Rows; // index, position
    int X = 0;
    for (int C = 0; C < FFixedCols && X < VW; ++C) {
        Cols.emplace_back(C, X);
        X += FColWidths[C] + VL;
    }
    for (int C = FLeftCol; C < FColCount && X < VW; ++C) {
        Cols.emplace_back(C, X);
        X += FColWidths[C] + VL;
    }
    int Y = 0;
    for (int R = 0; R < FFixedRows && Y < VH; ++R) {
        Rows.emplace_back(R, Y);
        Y += FRowHeights[R] + HL;
    }
    for (int R = FTopRow; R < FRowCount && Y < VH; ++R) {
        Rows.emplace_back(R, Y);
        Y += FRowHeights[R] + HL;
    }
    // Area beyond the last column and row.
    if (X < VW) P.fillRect(QRect(X, 0, VW - X, VH), FColor);
    if (Y < VH) P.fillRect(QRect(0, Y, VW, VH - Y), FColor);
    const bool Focus = GridHasFocus();
    const TGridRect Sel = Selection();
    const QColor FixedLine = palette().color(QPalette::Dark);
    const QColor NormalLine = palette().color(QPalette::Midlight).darker(110);
    for (const auto& [R, RY] : Rows) {
        for (const auto& [C, CX] : Cols) {
            const QRect Rect(CX, RY, FColWidths[C], FRowHeights[R]);
            TGridDrawState S;
            S.Fixed = C < FFixedCols || R < FFixedRows;
            S.Selected = !S.Fixed && Sel.Contains(C, R);
            S.Focused = Focus && C == FCol && R == FRow;
            DrawCell(P, C, R, Rect, S);
            if (VL > 0 &&
                ((S.Fixed && HasOption(xgoFixedVertLine)) || (!S.Fixed && HasOption(xgoVertLine))))
                P.fillRect(QRect(Rect.right() + 1, RY, VL, FRowHeights[R] + HL),
                           S.Fixed ? FixedLine : NormalLine);
            else if (VL > 0)
                P.fillRect(QRect(Rect.right() + 1, RY, VL, FRowHeights[R] + HL), FColor);
            if (HL > 0 &&
                ((S.Fixed && HasOption(xgoFixedHorzLine)) || (!S.Fixed && HasOption(xgoHorzLine))))
                P.fillRect(QRect(CX, Rect.bottom() + 1, FColWidths[C] + VL, HL),
                           S.Fixed ? FixedLine : NormalLine);
            else if (HL > 0)
                P.fillRect(QRect(CX, Rect.bottom() + 1, FColWidths[C] + VL, HL), FColor);
        }
    }
    if (Focus && !EditorVisible()) {
        QRect R = CellRect(FCol, FRow);
        if (HasOption(xgoRowSelect)) {
            const QRect First = CellRect(std::max(FFixedCols, FLeftCol), FRow);
            if (!First.isEmpty())
                R = QRect(First.left(), First.top(), VW - First.left(), First.height());
        }
        if (!R.isEmpty()) DrawFocusRect(P, R);
    }
}

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

namespace {
// Where index I goes when the entry at From moves to To.
int MovedIndex(int I, int From, int To) {
    if (I == From) return To;
    if (From < To && I > From && I <= To) return I - 1;
    if (To < From && I >= To && I < From) return I + 1;
    return I;
}
} // namespace

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
