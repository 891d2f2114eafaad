// The entry grid widget: the property sheet every window is built on. A
// string grid over the core row model (TEntryGridModel) that adds the
// editing aids over the value cell (pull-down list, spin buttons,
// property-editor button, check box), the keys and double-click of
// enumeration rows, the units picker on the units column and the colours.
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QListWidget>
#include <QSet>

#include <memory>
#include <string>
#include <vector>

#include "controls/TxEntryGrid.h"
#include "controls/TxGrids.h"

namespace oravent::gui {

class TEntryGrid;

// A small button of an editing aid with a glyph drawn to its size.
class TAidButton : public QAbstractButton {
    Q_OBJECT
public:
    enum class TGlyph { TriangleDown, TriangleUp, Dots };
    TAidButton(TGlyph Glyph, QWidget* Parent);
    TGlyph Glyph() const { return FGlyph; }

protected:
    void paintEvent(QPaintEvent* E) override;

private:
    TGlyph FGlyph;
};

// The drop-down list of an enumeration row: a pop-up list that commits the
// selected item on every key release and hides itself when it loses focus.
class TMyListBox : public QListWidget {
    Q_OBJECT
public:
    explicit TMyListBox(TEntryGrid* Grid);

protected:
    void keyPressEvent(QKeyEvent* E) override;
    void keyReleaseEvent(QKeyEvent* E) override;
    bool event(QEvent* E) override;
    void mousePressEvent(QMouseEvent* E) override;
    void focusOutEvent(QFocusEvent* E) override;

private:
    bool IsOutside(const QPointF& Global) const;
    TEntryGrid* FGrid;
};

class TEntryGrid : public TxStringGrid {
    Q_OBJECT
public:
    explicit TEntryGrid(QWidget* Parent = nullptr);
    ~TEntryGrid() override;

    TEntryGridModel& Model() { return *FModel; }
    // Row messages go to a message box unless another reporter is set.
    void SetReporter(TEntryGridReporter* Reporter);

    // ---- Row definitions and values ----------------------------------------
    char Delim() const { return FModel->Delim(); }
    void SetDelim(char D) { FModel->SetDelim(D); }
    QStringList Lines() const;
    void SetLines(const QStringList& Lines);
    void SetRows(const QStringList& Rows) { SetLines(Rows); }
    TFieldValue GetValue(int ACol, int ARow) const { return FModel->GetValue(ACol, ARow); }
    void SetValue(int ACol, int ARow, const TFieldValue& Value);

    // ---- Row operations (messages as the model reports them) ---------------
    void SetUnits(int Row, TUnitsType UnitsType, int UnitsBase, int UnitsValue,
                  TFormatType FormatType, double Factor = 1.0, double Offset = 0.0);
    void SetSigDigs(int Row, int Digits) { FModel->SetSigDigs(Row, Digits); }
    void SetPropEditor(int Row, TPropEditHandler Handler);
    void SetRowEnabled(int Row, bool Enabled);
    bool GetRowEnabled(int Row) const { return FModel->GetRowEnabled(Row); }
    double GetRangeLo(int Row) { return FModel->GetRangeLo(Row); }
    double GetRangeHi(int Row) { return FModel->GetRangeHi(Row); }
    int GetUnitsValue(int Row) { return FModel->GetUnitsValue(Row); }
    void SetUnitsValue(int Row, int Index);
    bool HasUnits(int Row) const { return FModel->HasUnits(Row); }
    int UnitsColumn() const { return FModel->UnitsColumn(); }
    void SetUnitsColumn(int Col) { FModel->SetUnitsColumn(Col); }
    void SetUnitsPicker(TUnitsPickerProc Picker) { FModel->SetUnitsPicker(std::move(Picker)); }
    void ApplyUnits(int Row, TNumField& Field) { FModel->ApplyUnits(Row, Field); }

    // The units picker the windows install: the pop-up list for a number
    // field with units, at the screen point (X, Y); then the row's units are
    // applied again.
    static void ShowRowUnitsPicker(TEntryGridModel& Grid, int Row, int X, int Y, TField* Field);

    // ---- Colours ----------------------------------------------------------
    QColor ColorEditCol() const { return FColorEditCol.isValid() ? FColorEditCol : Color(); }
    void SetColorEditCol(const QColor& C);
    QColor ColorEditMode() const { return FColorEditMode.isValid() ? FColorEditMode : Color(); }
    void SetColorEditMode(const QColor& C) { FColorEditMode = C; }
    QColor ColorEditModeText() const;
    void SetColorEditModeText(const QColor& C) { FColorEditModeText = C; }

    // ---- Known rows ---------------------------------------------------------
    // Rows whose values the user gave (the others were worked out): the
    // value cell of a known, enabled row is drawn in the accent colour
    // (QPalette::Link) and bold (a highlighted cell keeps the highlight's
    // text colour). Setting replaces the marks; rebuilding the rows clears
    // them.
    void SetKnownRows(const QList<int>& Rows);
    QList<int> KnownRows() const;
    bool IsKnownRow(int Row) const { return FKnownRows.contains(Row); }

    // ---- Editing aids (for windows and tests) -----------------------------
    TAidButton* PullDownButton() const { return FPullDown; }
    TAidButton* SpinUpButton() const { return FSpinUp; }
    TAidButton* SpinDownButton() const { return FSpinDown; }
    TAidButton* PropEditorButton() const { return FPropEd; }
    QCheckBox* CheckBox() const { return FCheck; }
    TMyListBox* DropList() const { return FList; }
    bool DropListShown() const;
    void HideAids();
    void ShowDropList();
    void HideDropList(bool FocusSheet);
    // Actions behind the aids.
    void PropEditorClick();
    // F4, or Alt+Down: runs the current row's property editor or opens its
    // list, as a click on the row's button does.
    static bool IsEditingAidKey(const QKeyEvent* E);
    void SpinClick(bool Up);
    void CheckBoxClick();
    void StepEnum(bool Next);
    // The list committed an item.
    void ListChoose(int Index);

    bool SelectCell(int ACol, int ARow) override;
    bool CanEditShow() override;
    // The row's caption and unit caption.
    QString CellCueName(int ACol, int ARow) const override;
    QString CellCueUnit(int ACol, int ARow) const override;
    void DblClick() override;
    void GridKeyDown(QKeyEvent* E) override;
    void GridEntered() override;

signals:
    // After the units of a row were changed from the units column, by any
    // mouse button.
    void OnAfterRightClick(int ARow);

protected:
    void ConfigureEditor(TxInplaceEdit* Editor) override;
    void PrepareEditorStore(TxInplaceEdit* Editor) override;
    void LoadEditor() override;
    void DrawCell(QPainter& P, int ACol, int ARow, const QRect& Rect,
                  TGridDrawState State) override;
    QColor CellTextColor(int ACol, int ARow) const override;
    void mousePressEvent(QMouseEvent* E) override;
    void mouseMoveEvent(QMouseEvent* E) override;
    void mouseReleaseEvent(QMouseEvent* E) override;
    void ColWidthsChanged() override;
    void TopLeftChanged() override;
    void resizeEvent(QResizeEvent* E) override;
    void moveEvent(QMoveEvent* E) override;
    bool event(QEvent* E) override;

private:
    friend class TMyListBox;
    class TTable;
    class TBoxReporter;
    void EnsureAids();
    // Selection without the window's event: the current-row state and the
    // aids of the cell.
    void ShowAidsFor(int ACol, int ARow);
    void PlaceAids();
    bool IsEnumValueCell(QPoint ViewportPos) const;
    bool CurrentIsEnabledEnum() const;

    std::unique_ptr<TTable> FTable;
    std::unique_ptr<TBoxReporter> FBoxReporter;
    std::unique_ptr<TEntryGridModel> FModel;
    QColor FColorEditCol, FColorEditMode, FColorEditModeText;
    QPointer<TAidButton> FPullDown, FSpinUp, FSpinDown, FPropEd;
    QPointer<QCheckBox> FCheck;
    TMyListBox* FList = nullptr;
    int FAidsRow = -1;
    QSet<int> FKnownRows;
};

} // namespace oravent::gui
