// Grid control: a table with fixed header rows and columns, resizable
// columns and rows, a current cell, a range selection and an in-place editor
// that is a formatted edit configured per column by a format string.
// TxCustomGrid holds all behaviour, TxDrawGrid leaves the cells to its owner,
// TxStringGrid stores a text and an object per cell. Cell geometry and key
// navigation are the core's (controls/GridGeometry.h, GridNavigation.h).
//
// Events are Qt signals named as the grid's events (OnDoSetData, ...),
// without the sender (QObject::sender() gives it). An argument a handler
// answers through (CanSelect, Value, Key, CanEditShow) is a non-const
// reference: connect such signals directly (the default on the user-interface
// thread); each handler sees the answer of the ones before it. QSignalSpy
// counts these signals but cannot record the reference argument.
//
// Sources: TxGrids.cpp (properties, current cell, scrolling, the editor's
// life), TxGridKeys.cpp (keys), TxGridMouse.cpp (mouse and focus),
// TxGridPaint.cpp (drawing), TxInplaceEdit.cpp, TxStringGrid.cpp.
#pragma once

#include <QAbstractScrollArea>
#include <QColor>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <stdexcept>
#include <vector>

#include "controls/GridGeometry.h"
#include "controls/TxFmtEdit.h"

class QPainter;

namespace oravent::gui {

// A refused grid request ("Grid index out of range", ...).
class EGridError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TxGridOption : unsigned {
    xgoFixedVertLine = 1u << 0,
    xgoFixedHorzLine = 1u << 1,
    xgoVertLine = 1u << 2,
    xgoHorzLine = 1u << 3,
    xgoRangeSelect = 1u << 4,
    xgoDrawFocusSelected = 1u << 5,
    xgoRowSizing = 1u << 6,
    xgoColSizing = 1u << 7,
    xgoRowMoving = 1u << 8,
    xgoColMoving = 1u << 9,
    xgoEditing = 1u << 10,
    xgoTabs = 1u << 11,
    xgoRowSelect = 1u << 12,
    xgoAlwaysShowEditor = 1u << 13,
    xgoThumbTracking = 1u << 14,
};
using TxGridOptions = unsigned;

enum class TScrollStyle { None, Horizontal, Vertical, Both };
enum class TBorderStyle { None, Single };

struct TGridDrawState {
    bool Selected = false;
    bool Focused = false;
    bool Fixed = false;
};

using oravent::TGridRect;

class TxCustomGrid;

// A size given in pixels of the classic 8-point dialog font (13-pixel line),
// scaled to the widget's font so that text fits at any font and screen scale.
int ClassicPx(const QWidget* W, int Pixels);

// The in-place editor: a borderless formatted edit that asks its grid
// whether typing may change the text and hands navigation keys to it.
class TxInplaceEdit : public TxCustomEdit {
    Q_OBJECT
public:
    explicit TxInplaceEdit(TxCustomGrid* Grid);
    TxCustomGrid* Grid() const { return FGrid; }
    bool CanModify() const override;
    // The cues name the cell being edited as its grid does.
    QString CueName() const override;
    QString CueUnit() const override;

protected:
    bool event(QEvent* E) override;
    void keyPressEvent(QKeyEvent* E) override;
    void focusOutEvent(QFocusEvent* E) override;
    void mouseDoubleClickEvent(QMouseEvent* E) override;
    void wheelEvent(QWheelEvent* E) override;

private:
    TxCustomGrid* FGrid;
};

class TxCustomGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TxCustomGrid(QWidget* Parent = nullptr);
    ~TxCustomGrid() override;

    // ---- Size and layout --------------------------------------------------
    int ColCount() const { return FLayout.Cols.Count(); }
    void SetColCount(int Value);
    int RowCount() const { return FLayout.Rows.Count(); }
    void SetRowCount(int Value);
    int FixedCols() const { return FLayout.Cols.Fixed; }
    void SetFixedCols(int Value);
    int FixedRows() const { return FLayout.Rows.Fixed; }
    void SetFixedRows(int Value);
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    QString DefaultColFormatStr() const { return FDefaultColFormatStr; }
    void SetDefaultColFormatStr(const QString& Value);
    QString ColFormatStr(int Index) const;
    void SetColFormatStr(int Index, const QString& Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TxGridOptions Options() const { return FOptions; }
    void SetOptions(TxGridOptions Value);
    bool HasOption(TxGridOption O) const { return (FOptions & O) != 0; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    QColor FixedColor() const { return FFixedColor; }
    void SetFixedColor(const QColor& Value);
    QColor Color() const { return FColor; }
    void SetColor(const QColor& Value);
    bool DefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool Value) { FDefaultDrawing = Value; }
    // Saved layout lists: empty unless per-column or per-row values were set.
    QStringList ColWidthsList() const;
    QStringList ColFormatStrList() const;
    QStringList RowHeightsList() const;
    // Restores saved lists: one value per column or row in index order;
    // values beyond the grid, and values that are not numbers, are skipped.
    void SetColWidthsList(const QStringList& L);
    void SetColFormatStrList(const QStringList& L);
    void SetRowHeightsList(const QStringList& L);

    // ---- Current cell, selection and scrolling ---------------------------
    int Col() const { return FCol; }
    void SetCol(int Value);
    int Row() const { return FRow; }
    void SetRow(int Value);
    TGridRect Selection() const;
    int TopRow() const { return FLayout.Rows.First; }
    void SetTopRow(int Value);
    int LeftCol() const { return FLayout.Cols.First; }
    void SetLeftCol(int Value);
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // Rectangle of a cell in viewport coordinates; empty when not visible.
    QRect CellRect(int ACol, int ARow) const;
    // The cell under a viewport point, or (-1, -1).
    QPoint MouseCoord(QPoint P) const;
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);

    // ---- In-place editor -------------------------------------------------
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    int EditorCol() const { return FEditorCol; }
    int EditorRow() const { return FEditorRow; }
    TxInplaceEdit* InplaceEditor() const { return FEditor; }
    bool EditorVisible() const;
    int EditLimit() const { return FEditLimit; }
    void SetEditLimit(int Value) { FEditLimit = Value; }
    void ShowEditor();
    void HideEditor();
    void OpenEditor();
    void StoreEditorText();
    void CommitEditor();
    // Escape in the editor: the text from when editing began comes back and
    // the editor closes without storing it; no OnDoSetData, EditorMode off.
    void CancelEditor();
    // The re-select request: a click on the current cell while it is raised
    // selects the cell again instead of only opening the editor.
    void RequestReselect() { FReselect = true; }
    bool ReselectRequested() const { return FReselect; }

    // ---- Operations for descendants and the editor ------------------------
    virtual bool SelectCell(int ACol, int ARow);
    virtual bool CanEditShow();
    virtual bool CanEditModify() const { return FEditLimit != -1; }
    virtual QString GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const QString& Value);
    // Loads the editor from the current cell (step 3 of opening it).
    virtual void LoadEditor();
    // Gives the editor its format (and whatever else a descendant wants)
    // before the cell text is loaded.
    virtual void ConfigureEditor(TxInplaceEdit* Editor);
    // Step 1 of storing: the editor takes its column's format again.
    virtual void PrepareEditorStore(TxInplaceEdit* Editor);
    virtual void DoSetData(int ACol, int ARow);
    // The name and the unit caption of a cell for the editor's cues (a
    // value beyond the limits, a refused character); none here.
    virtual QString CellCueName(int /*ACol*/, int /*ARow*/) const { return {}; }
    virtual QString CellCueUnit(int /*ACol*/, int /*ARow*/) const { return {}; }
    virtual void DblClick();
    // Key handling shared by the grid and its editor.
    virtual void GridKeyDown(QKeyEvent* E);
    virtual void GridKeyPress(QKeyEvent* E);
    // The grid or its editor lost the focus to a widget outside the grid.
    virtual void FocusLeftGrid();
    // The focus came into the grid from outside (not back from its editor).
    virtual void GridEntered();
    // Moves the current cell (SelectCell may refuse), scrolls it into view
    // and opens or commits the editor. Force runs the selection even when
    // the cell does not change.
    bool FocusCell(int ACol, int ARow, bool MoveAnchor, bool Force = false);

signals:
    // After the default drawing of a cell.
    void OnDrawCell(QPainter& Canvas, int ACol, int ARow, const QRect& Rect,
                    oravent::gui::TGridDrawState State);
    // Before the current cell moves; a handler may refuse by clearing CanSelect.
    void OnSelectCell(int ACol, int ARow, bool& CanSelect);
    // When the editor loads a cell text; a handler may change Value.
    void OnGetEditText(int ACol, int ARow, QString& Value);
    // After the editor's text was stored in the cell.
    void OnSetEditText(int ACol, int ARow, const QString& Value);
    // After a column or row was moved.
    void OnColumnMoved(int FromIndex, int ToIndex);
    void OnRowMoved(int FromIndex, int ToIndex);
    // After scrolling.
    void OnTopLeftChanged();
    // After any change of column widths, a new DefaultColWidth included.
    void OnColWidthsChanged();
    // After every commit of the in-place editor, changed or not.
    void OnDoSetData(int ACol, int ARow);
    // When the grid decides whether the editor may open; a handler may
    // clear CanEditShow.
    void OnCanEditShow(int ACol, int ARow, bool& CanEditShow);
    // A press on a normal cell, after the grid handled it; a double click.
    void OnClick();
    void OnDblClick();
    // Offered every key before the grid handles it; setting Key to 0 eats it.
    void OnKeyDown(int& Key, Qt::KeyboardModifiers Modifiers);

protected:
    void paintEvent(QPaintEvent* E) override;
    void keyPressEvent(QKeyEvent* E) override;
    void mousePressEvent(QMouseEvent* E) override;
    void mouseMoveEvent(QMouseEvent* E) override;
    void mouseReleaseEvent(QMouseEvent* E) override;
    void mouseDoubleClickEvent(QMouseEvent* E) override;
    void wheelEvent(QWheelEvent* E) override;
    void focusInEvent(QFocusEvent* E) override;
    void focusOutEvent(QFocusEvent* E) override;
    void resizeEvent(QResizeEvent* E) override;
    bool focusNextPrevChild(bool Next) override;

    virtual void DrawCell(QPainter& P, int ACol, int ARow, const QRect& Rect, TGridDrawState State);
    // Text of a cell for the default drawing.
    virtual QString CellText(int /*ACol*/, int /*ARow*/) const { return {}; }
    virtual void ColWidthsChanged();
    virtual void TopLeftChanged();
    void InvalidateCell(int ACol, int ARow);
    void InvalidateGrid();
    bool GridHasFocus() const;
    int VertLineWidth() const { return FLayout.Cols.Line; }
    int HorzLineWidth() const { return FLayout.Rows.Line; }
    void UpdateScrollBars();
    void ScrollIntoView(int ACol, int ARow);
    void PlaceEditor();
    void CheckColIndex(int Index) const;
    void CheckRowIndex(int Index) const;
    // The next focus entry comes back from a child of the grid (not entering).
    void FocusFromChild() { FFocusFromEditor = !hasFocus(); }
    // Makes a cell current without selection events or editor changes.
    void SetCurrentDirect(int ACol, int ARow);
    virtual void DrawFocusRect(QPainter& P, const QRect& R);
    // Moves a column's or row's cell data along with it (string grid).
    virtual void MoveColumnData(int /*FromIndex*/, int /*ToIndex*/) {}
    virtual void MoveRowData(int /*FromIndex*/, int /*ToIndex*/) {}

private:
    friend class TxInplaceEdit;
    // Line widths of the layout from the options and GridLineWidth.
    void SyncLineWidths();
    // Closes the editor: Store commits its text (StoreEditorText, then
    // DoSetData); otherwise the text is reverted and nothing is stored.
    void CloseEditor(bool Store);
    void MoveBy(int DCol, int DRow, bool Extend);
    // Column (Horizontal) or row sizing line under a viewport point, or -1.
    int SizingLineAt(QPoint P, bool Horizontal) const;
    void SelectTimerTick();

    // Widths, heights, fixed counts, LeftCol/TopRow and line widths.
    TGridLayout FLayout;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 16;
    std::vector<QString> FColFormats;
    bool FHasColWidths = false;
    bool FHasRowHeights = false;
    bool FHasColFormats = false;
    QString FDefaultColFormatStr = QStringLiteral("%S");
    int FGridLineWidth = 1;
    TxGridOptions FOptions = xgoFixedVertLine | xgoFixedHorzLine | xgoVertLine | xgoHorzLine |
                             xgoRangeSelect | xgoEditing;
    TScrollStyle FScrollBars = TScrollStyle::Both;
    TBorderStyle FBorderStyle = TBorderStyle::Single;
    QColor FFixedColor;
    QColor FColor;
    bool FDefaultDrawing = true;
    int FCol = 1, FRow = 1;
    int FAnchorCol = 1, FAnchorRow = 1;
    bool FEditorMode = false;
    int FEditorCol = -1, FEditorRow = -1;
    int FEditLimit = 0;
    TxInplaceEdit* FEditor = nullptr;
    bool FReselect = false;
    bool FInScrollUpdate = false;
    bool FFocusFromEditor = false;
    bool FSuspendedFocus = false;
    bool FCommitting = false;
    // Mouse states.
    enum class TMouseState { None, Selecting, ColSizing, RowSizing, ColMoving, RowMoving };
    TMouseState FMouseState = TMouseState::None;
    int FSizingIndex = -1;
    int FSizingOrigin = 0;
    int FSizingStart = 0;
    QTimer FSelectTimer;
    QPoint FLastMouse;
};

// A grid whose cells its owner draws in OnDrawCell.
class TxDrawGrid : public TxCustomGrid {
    Q_OBJECT
public:
    using TxCustomGrid::TxCustomGrid;
};

class TxStringGrid;

// A row or column of a string grid seen as a list of texts.
class TxGridStrings {
public:
    TxGridStrings(TxStringGrid& Grid, bool IsRow, int Index)
        : FGrid(Grid), FIsRow(IsRow), FIndex(Index) {}
    int Count() const;
    QString Get(int I) const;
    void Put(int I, const QString& S);
    // Fills the cells from the first entry on; entries beyond the grid are
    // ignored.
    void Assign(const QStringList& L);
    QStringList ToList() const;
    [[noreturn]] void Insert(int, const QString&);
    [[noreturn]] void Delete(int);

private:
    TxStringGrid& FGrid;
    bool FIsRow;
    int FIndex;
};

class TxStringGrid : public TxDrawGrid {
    Q_OBJECT
public:
    explicit TxStringGrid(QWidget* Parent = nullptr);

    QString Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const QString& Value);
    QObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, QObject* Value);
    TxGridStrings Rows(int ARow);
    TxGridStrings Cols(int ACol);
    // Removes a row: the rows below move up, the current row becomes the
    // removed row's index and RowCount drops by one.
    void RemoveRow(int ARow);

    bool AlwaysShowCell() const { return FAlwaysShowCell; }
    void SetAlwaysShowCell(bool Value);

    QString GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const QString& Value) override;

protected:
    QString CellText(int ACol, int ARow) const override;
    void MoveColumnData(int FromIndex, int ToIndex) override;
    void MoveRowData(int FromIndex, int ToIndex) override;
    void DrawCell(QPainter& P, int ACol, int ARow, const QRect& Rect,
                  TGridDrawState State) override;
    // Text colour of a cell (descendants grey out disabled rows).
    virtual QColor CellTextColor(int ACol, int ARow) const;

private:
    struct TCell {
        QString Text;
        QPointer<QObject> Object;
    };
    static quint64 Key(int C, int R) { return (quint64(quint32(C)) << 32) | quint64(quint32(R)); }
    QHash<quint64, TCell> FCells;
    bool FAlwaysShowCell = false;
};

} // namespace oravent::gui
