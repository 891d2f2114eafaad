#include "controls/EntryGridWidget.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyleOptionButton>

#include <algorithm>
#include <cmath>

#include "controls/EditRules.h"
#include "units/TxUnitsForm.h"

namespace oravent::gui {

// ---------------------------------------------------------------------------
// The table of cell texts the row model works on: this grid's cells.

class TEntryGrid::TTable : public TCellTable {
public:
    explicit TTable(TEntryGrid& G) : FG(G) {}
    int ColCount() const override { return FG.TxCustomGrid::ColCount(); }
    int RowCount() const override { return FG.TxCustomGrid::RowCount(); }
    void SetRowCount(int Rows) override { FG.TxCustomGrid::SetRowCount(Rows); }
    std::string Cell(int ACol, int ARow) const override {
        if (!InRange(ACol, ARow)) return {};
        return FG.Cells(ACol, ARow).toStdString();
    }
    void SetCell(int ACol, int ARow, const std::string& Text) override {
        if (InRange(ACol, ARow)) FG.SetCells(ACol, ARow, QString::fromStdString(Text));
    }
    void InvalidateCell(int ACol, int ARow) override { FG.InvalidateCell(ACol, ARow); }
    void InvalidateAll() override { FG.InvalidateGrid(); }
    void BeforeBuildRows() override {
        FG.HideDropList(false);
        FG.HideAids();
        FG.FKnownRows.clear();
    }

private:
    bool InRange(int C, int R) const {
        return C >= 0 && R >= 0 && C < ColCount() && R < RowCount();
    }
    TEntryGrid& FG;
};

// Row messages in a message box with one OK button.
class TEntryGrid::TBoxReporter : public TEntryGridReporter {
public:
    explicit TBoxReporter(TEntryGrid& G) : FG(G) {}
    void ShowRowMessage(const std::string& Text, TRowMessageKind Kind) override {
        QMessageBox Box(Kind == TRowMessageKind::Error ? QMessageBox::Critical
                                                       : QMessageBox::NoIcon,
                        QApplication::applicationName(), QString::fromStdString(Text),
                        QMessageBox::Ok, FG.window());
        Box.exec();
    }

private:
    TEntryGrid& FG;
};

// ---------------------------------------------------------------------------
// TAidButton

TAidButton::TAidButton(TGlyph Glyph, QWidget* Parent) : QAbstractButton(Parent), FGlyph(Glyph) {
    setFocusPolicy(Qt::NoFocus);
    resize(15, 15);
    hide();
}

void TAidButton::paintEvent(QPaintEvent*) {
    QPainter P(this);
    QStyleOptionButton Opt;
    Opt.initFrom(this);
    Opt.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    Opt.rect = rect();
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &Opt, &P, this);
    P.setRenderHint(QPainter::Antialiasing);
    P.setPen(Qt::NoPen);
    P.setBrush(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QRectF R = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QPointF C = R.center() + (isDown() ? QPointF(0.5, 0.5) : QPointF());
    if (FGlyph == TGlyph::Dots) {
        // Three dots, spaced by the button's width.
        const double D = std::max(1.5, R.width() / 8.0);
        const double Gap = D * 2.0;
        for (int I = -1; I <= 1; ++I)
            P.drawEllipse(QPointF(C.x() + I * Gap, C.y() + R.height() * 0.15), D / 2 + 0.3,
                          D / 2 + 0.3);
        return;
    }
    // A triangle about half the smaller side wide, a little less tall.
    const double W = std::max(4.0, std::min(R.width(), R.height() * 2.0) * 0.5);
    const double H = W * 0.55;
    QPainterPath Path;
    if (FGlyph == TGlyph::TriangleDown) {
        Path.moveTo(C.x() - W / 2, C.y() - H / 2);
        Path.lineTo(C.x() + W / 2, C.y() - H / 2);
        Path.lineTo(C.x(), C.y() + H / 2);
    } else {
        Path.moveTo(C.x() - W / 2, C.y() + H / 2);
        Path.lineTo(C.x() + W / 2, C.y() + H / 2);
        Path.lineTo(C.x(), C.y() - H / 2);
    }
    Path.closeSubpath();
    P.drawPath(Path);
}

// ---------------------------------------------------------------------------
// TMyListBox

TMyListBox::TMyListBox(TEntryGrid* Grid) : QListWidget(Grid), FGrid(Grid) {
    setWindowFlags(Qt::Popup | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_NoMouseReplay);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(true);
    setMouseTracking(true);
    hide();
}

void TMyListBox::keyPressEvent(QKeyEvent* E) {
    if (E->key() == Qt::Key_Escape || E->key() == Qt::Key_Return || E->key() == Qt::Key_Enter) {
        FGrid->HideDropList(true);
        E->accept();
        return;
    }
    QListWidget::keyPressEvent(E);
}

void TMyListBox::keyReleaseEvent(QKeyEvent* E) {
    QListWidget::keyReleaseEvent(E);
    if (isVisible() && !E->isAutoRepeat()) FGrid->ListChoose(currentRow());
}

bool TMyListBox::IsOutside(const QPointF& Global) const {
    return !QRect(mapToGlobal(QPoint(0, 0)), size()).contains(Global.toPoint());
}

bool TMyListBox::event(QEvent* E) {
    // While the pop-up is open it sees every mouse event; those outside it
    // are handled here.
    const auto T = E->type();
    if (T == QEvent::MouseButtonPress || T == QEvent::MouseButtonDblClick ||
        T == QEvent::MouseMove || T == QEvent::MouseButtonRelease) {
        auto* M = static_cast<QMouseEvent*>(E);
        const QPointF Global = M->globalPosition();
        if (IsOutside(Global)) {
            const QPoint VP = FGrid->viewport()->mapFromGlobal(Global.toPoint());
            const bool OverSheet = FGrid->viewport()->rect().contains(VP);
            const bool OverEnumCell = OverSheet && FGrid->IsEnumValueCell(VP);
            if (T == QEvent::MouseButtonPress || T == QEvent::MouseButtonDblClick)
                FGrid->HideDropList(true); // the press is not passed on
            else if (T == QEvent::MouseMove && OverSheet && !OverEnumCell)
                FGrid->HideDropList(true);
            else if (T == QEvent::MouseButtonRelease && OverEnumCell)
                FGrid->HideDropList(true);
            return true;
        }
    }
    return QListWidget::event(E);
}

void TMyListBox::mousePressEvent(QMouseEvent* E) {
    // Viewport coordinates: a press on an item commits it and closes.
    if (QListWidgetItem* Item = itemAt(E->position().toPoint())) {
        setCurrentItem(Item);
        const int Index = row(Item);
        FGrid->HideDropList(true);
        FGrid->ListChoose(Index);
        return;
    }
    QListWidget::mousePressEvent(E);
}

void TMyListBox::focusOutEvent(QFocusEvent* E) {
    QListWidget::focusOutEvent(E);
    if (E->reason() != Qt::PopupFocusReason) hide();
}

// ---------------------------------------------------------------------------
// TEntryGrid

TEntryGrid::TEntryGrid(QWidget* Parent) : TxStringGrid(Parent) {
    FTable = std::make_unique<TTable>(*this);
    FBoxReporter = std::make_unique<TBoxReporter>(*this);
    FModel = std::make_unique<TEntryGridModel>(*FTable, FBoxReporter.get());
    SetScrollBars(TScrollStyle::None);
    TxCustomGrid::SetColCount(3);
    TxCustomGrid::SetRowCount(4);
    SetFixedCols(0);
    SetDefaultColWidth(ClassicPx(this, 60));
    SetDefaultRowHeight(ClassicPx(this, 16));
    SetOptions(xgoFixedVertLine | xgoFixedHorzLine | xgoVertLine | xgoHorzLine | xgoRangeSelect |
               xgoColSizing | xgoEditing);
    SetColWidths(0, ClassicPx(this, 90));
    SetColWidths(1, ClassicPx(this, 60));
    SetColWidths(2, ClassicPx(this, 50));
    resize(ClassicPx(this, 206), ClassicPx(this, 72));
    SetCurrentDirect(1, 1);
    FList = new TMyListBox(this);
}

TEntryGrid::~TEntryGrid() {
    delete FList;
    FList = nullptr;
    // The aids live in the parent window; they go with the sheet.
    delete FPullDown.data();
    delete FSpinUp.data();
    delete FSpinDown.data();
    delete FPropEd.data();
    delete FCheck.data();
}

void TEntryGrid::SetReporter(TEntryGridReporter* Reporter) {
    FModel->SetReporter(Reporter ? Reporter : FBoxReporter.get());
}

QStringList TEntryGrid::Lines() const {
    QStringList L;
    for (const std::string& S : FModel->Lines())
        L << QString::fromStdString(S);
    return L;
}

void TEntryGrid::SetLines(const QStringList& Lines) {
    std::vector<std::string> V;
    V.reserve(static_cast<size_t>(Lines.size()));
    for (const QString& S : Lines)
        V.push_back(S.toStdString());
    FModel->SetLines(std::move(V));
}

void TEntryGrid::SetValue(int ACol, int ARow, const TFieldValue& Value) {
    FModel->SetValue(ACol, ARow, Value);
    if (ARow == FAidsRow && FCheck && FCheck->isVisible()) {
        const TFieldValue V = FModel->GetValue(1, ARow);
        if (const bool* B = std::get_if<bool>(&V)) FCheck->setChecked(*B);
    }
}

void TEntryGrid::SetUnits(int Row, TUnitsType UnitsType, int UnitsBase, int UnitsValue,
                          TFormatType FormatType, double Factor, double Offset) {
    FModel->SetUnits(Row, UnitsType, UnitsBase, UnitsValue, FormatType, Factor, Offset);
}

void TEntryGrid::SetPropEditor(int Row, TPropEditHandler Handler) {
    FModel->SetPropEditor(Row, std::move(Handler));
}

void TEntryGrid::SetRowEnabled(int Row, bool Enabled) {
    FModel->SetRowEnabled(Row, Enabled);
    InvalidateGrid();
    // The shown row's aids follow its new state at once: a disabled row
    // offers none, and one enabled again gets them back.
    if (FPullDown && isVisible() && Row == this->Row() && Col() != 0 && Col() != 2)
        ShowAidsFor(Col(), Row);
}

void TEntryGrid::SetUnitsValue(int Row, int Index) {
    FModel->SetUnitsValue(Row, Index);
}

void TEntryGrid::ShowRowUnitsPicker(TEntryGridModel& Grid, int Row, int X, int Y, TField* Field) {
    TNumField* N = AsNumField(Field);
    if (!N || N->UnitsType == utNone) return;
    TUnitsForm::PickForField(N->UnitsType, N->UnitsValue, QPoint(X, Y),
                             [N](int Index) { N->UnitsValue = Index; });
    try {
        Grid.ApplyUnits(Row, *N);
    } catch (const EUnitsError&) {
        // Only offered units can be picked; a failure keeps the old display.
    }
}

void TEntryGrid::SetColorEditCol(const QColor& C) {
    FColorEditCol = C;
    InvalidateGrid();
}

QColor TEntryGrid::ColorEditModeText() const {
    return FColorEditModeText.isValid() ? FColorEditModeText : palette().color(QPalette::Text);
}

// ---- Aids ------------------------------------------------------------------

void TEntryGrid::EnsureAids() {
    if (FPullDown) return;
    QWidget* Host = parentWidget() ? parentWidget() : this;
    FPullDown = new TAidButton(TAidButton::TGlyph::TriangleDown, Host);
    FSpinUp = new TAidButton(TAidButton::TGlyph::TriangleUp, Host);
    FSpinDown = new TAidButton(TAidButton::TGlyph::TriangleDown, Host);
    FPropEd = new TAidButton(TAidButton::TGlyph::Dots, Host);
    FCheck = new QCheckBox(Host);
    FCheck->setFocusPolicy(Qt::NoFocus);
    FCheck->resize(15, 15);
    FCheck->hide();
    // The pull-down acts on release, the others on a click.
    connect(FPullDown, &QAbstractButton::released, this, [this] {
        if (DropListShown())
            HideDropList(true);
        else
            ShowDropList();
    });
    connect(FSpinUp, &QAbstractButton::clicked, this, [this] { SpinClick(true); });
    connect(FSpinDown, &QAbstractButton::clicked, this, [this] { SpinClick(false); });
    connect(FPropEd, &QAbstractButton::clicked, this, [this] { PropEditorClick(); });
    connect(FCheck, &QAbstractButton::clicked, this, [this] { CheckBoxClick(); });
}

void TEntryGrid::HideAids() {
    for (QWidget* W :
         std::initializer_list<QWidget*>{FPullDown, FSpinUp, FSpinDown, FPropEd, FCheck})
        if (W) W->hide();
}

void TEntryGrid::PlaceAids() {
    if (!FPullDown || FAidsRow < 0 || FAidsRow >= RowCount()) return;
    QWidget* Host = FPullDown->parentWidget();
    const QRect Cell = CellRect(1, FAidsRow);
    if (Cell.isEmpty()) {
        HideAids();
        return;
    }
    const int H = RowHeights(FAidsRow);
    const QPoint TL = viewport()->mapTo(Host, Cell.topLeft());
    const int Right = TL.x() + Cell.width();
    FPullDown->setGeometry(Right - H, TL.y(), H, H);
    FPropEd->setGeometry(Right - H, TL.y(), H, H);
    const int SpinH = static_cast<int>(std::nearbyint(H / 2.0));
    FSpinUp->setGeometry(Right - H, TL.y(), H, SpinH);
    FSpinDown->setGeometry(Right - H, TL.y() + SpinH, H, SpinH);
    const int CheckH = std::min(H, 20);
    FCheck->setGeometry(TL.x() + 1, TL.y() + 1, CheckH - 2, CheckH);
    for (QWidget* W :
         std::initializer_list<QWidget*>{FPullDown, FSpinUp, FSpinDown, FPropEd, FCheck})
        W->raise();
}

bool TEntryGrid::SelectCell(int ACol, int ARow) {
    ShowAidsFor(ACol, ARow);
    // The window's event comes last and may refuse; the aids stay.
    return TxStringGrid::SelectCell(ACol, ARow);
}

void TEntryGrid::ShowAidsFor(int ACol, int ARow) {
    if (ACol == 0 || ACol == 2) {
        HideAids();
    } else {
        HideDropList(false);
        HideAids();
        FModel->SelectCell(ACol, ARow);
        const TField* F = FModel->Field(ARow);
        if (F && F->Enabled && ARow >= 1) {
            EnsureAids();
            FAidsRow = ARow;
            PlaceAids();
            const TRowAids Aids = FModel->AidsForRow(ARow);
            auto Show = [](QWidget* W) {
                W->setEnabled(true);
                W->show();
            };
            if (Aids.PropEditor) Show(FPropEd);
            if (Aids.Spin) {
                Show(FSpinUp);
                Show(FSpinDown);
            }
            if (Aids.PullDown) Show(FPullDown);
            if (Aids.CheckBox) {
                const TFieldValue V = FModel->GetValue(1, ARow);
                const bool* B = std::get_if<bool>(&V);
                FCheck->setChecked(B && *B);
                Show(FCheck);
            }
        }
    }
}

QString TEntryGrid::CellCueName(int, int ARow) const {
    return QString::fromStdString(FModel->RowCaption(ARow));
}

QString TEntryGrid::CellCueUnit(int, int ARow) const {
    return QString::fromStdString(FModel->RowUnitCaption(ARow));
}

void TEntryGrid::SetKnownRows(const QList<int>& Rows) {
    QSet<int> Known(Rows.begin(), Rows.end());
    if (Known == FKnownRows) return;
    FKnownRows = std::move(Known);
    InvalidateGrid();
}

QList<int> TEntryGrid::KnownRows() const {
    QList<int> L(FKnownRows.begin(), FKnownRows.end());
    std::sort(L.begin(), L.end());
    return L;
}

bool TEntryGrid::CanEditShow() {
    return TxStringGrid::CanEditShow() && FModel->CanEditCell(Col(), Row());
}

void TEntryGrid::LoadEditor() {
    // The property-editor and spin buttons make room for the editor; the
    // pull-down button and the check box stay.
    if (FPropEd) FPropEd->hide();
    if (FSpinUp) FSpinUp->hide();
    if (FSpinDown) FSpinDown->hide();
    TxStringGrid::LoadEditor();
}

void TEntryGrid::ConfigureEditor(TxInplaceEdit* Editor) {
    const QString Format = QString::fromStdString(FModel->CurrentFormatStr());
    if (Editor->FormatStr() != Format) Editor->SetFormatStr(Format);
    Editor->SetFormatType(FModel->CurrentFormatType());
    Editor->SetRangeLo(FModel->CurrentRangeLo());
    Editor->SetRangeHi(FModel->CurrentRangeHi());
    Editor->SetSigDigs(5);
    QPalette Pal = Editor->palette();
    Pal.setColor(QPalette::Base, ColorEditMode());
    Pal.setColor(QPalette::Window, ColorEditMode());
    Pal.setColor(QPalette::Text, ColorEditModeText());
    Editor->setPalette(Pal);
}

void TEntryGrid::PrepareEditorStore(TxInplaceEdit*) {
    // The editor keeps the format it was opened with.
}

bool TEntryGrid::CurrentIsEnabledEnum() const {
    const TEnumField* E = FModel->CurrentEnumField();
    return E && E->Enabled && FModel->CurrentRow() == Row() && FModel->Field(Row()) == E;
}

void TEntryGrid::StepEnum(bool Next) {
    if (!CurrentIsEnabledEnum()) return;
    const int R = Row();
    setFocus(Qt::OtherFocusReason);
    if (FModel->StepEnum(R, Next)) DoSetData(1, R);
}

void TEntryGrid::GridKeyDown(QKeyEvent* E) {
    const int Key = E->key();
    if (IsEditingAidKey(E)) {
        // F4 or Alt+Down: the row's editing aid, as a click on its button
        // (a value being typed is committed first).
        int K = Key;
        emit OnKeyDown(K, E->modifiers());
        if (K == 0) return;
        if (EditorMode()) CommitEditor();
        if (CurrentIsEnabledEnum())
            ShowDropList();
        else
            PropEditorClick();
        return;
    }
    if ((Key == Qt::Key_Left || Key == Qt::Key_Right) && CurrentIsEnabledEnum()) {
        int K = Key;
        emit OnKeyDown(K, E->modifiers());
        if (K == 0) return;
        const bool Rtl = layoutDirection() == Qt::RightToLeft;
        StepEnum((Key == Qt::Key_Right) != Rtl);
        return;
    }
    TxStringGrid::GridKeyDown(E);
}

bool TEntryGrid::IsEditingAidKey(const QKeyEvent* E) {
    const auto Mods = E->modifiers() & ~Qt::KeypadModifier;
    return (E->key() == Qt::Key_F4 && Mods == Qt::NoModifier) ||
           (E->key() == Qt::Key_Down && Mods == Qt::AltModifier);
}

void TEntryGrid::DblClick() {
    if (CurrentIsEnabledEnum()) {
        StepEnum(true);
        return;
    }
    TxStringGrid::DblClick();
}

void TEntryGrid::GridEntered() {
    TxStringGrid::GridEntered();
    RequestReselect();
    SelectCell(Col(), Row());
}

bool TEntryGrid::DropListShown() const {
    return FList && FList->isVisible();
}

void TEntryGrid::ShowDropList() {
    const TEnumField* E = FModel->CurrentEnumField();
    if (!E || !CurrentIsEnabledEnum()) return;
    const int R = Row();
    FList->clear();
    const int ItemH = DefaultRowHeight();
    const QFontMetrics FM(FList->font());
    int Widest = 0;
    for (const std::string& S : E->Items) {
        const QString T = QString::fromStdString(S);
        auto* Item = new QListWidgetItem(T, FList);
        Item->setSizeHint(QSize(0, ItemH));
        Widest = std::max(Widest, FM.horizontalAdvance(T));
    }
    const TFieldValue V = FModel->GetValue(1, R);
    if (const long long* I = std::get_if<long long>(&V)) {
        if (*I >= 0 && *I < FList->count()) FList->setCurrentRow(static_cast<int>(*I));
    }
    const QRect Cell = CellRect(1, R);
    const int Line = GridLineWidth();
    const QPoint TL =
        viewport()->mapToGlobal(QPoint(Cell.left() + Line, Cell.top() + Line + ItemH));
    const int Frame = 2 * FList->frameWidth();
    const int Count = static_cast<int>(E->Items.size());
    // The widest text plus what the list itself takes around a line of text.
    const int TextPad = 2 * (FList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) + Frame;
    FList->setGeometry(TL.x(), TL.y(), DropListWidth(Cell.width(), Line, Widest + TextPad),
                       DropListHeight(Count, ItemH) + Frame);
    FList->show();
    FList->raise();
    FList->activateWindow();
    FList->setFocus(Qt::PopupFocusReason);
}

void TEntryGrid::HideDropList(bool FocusSheet) {
    if (!FList || !FList->isVisible()) return;
    FList->hide();
    if (FocusSheet) {
        FocusFromChild();
        setFocus(Qt::OtherFocusReason);
    }
}

void TEntryGrid::ListChoose(int Index) {
    const int R = Row();
    if (Index < 0 || !FModel->CurrentEnumField()) return;
    FModel->SetValue(1, R, static_cast<long long>(Index));
    DoSetData(1, R);
}

bool TEntryGrid::IsEnumValueCell(QPoint ViewportPos) const {
    const QPoint Cell = MouseCoord(ViewportPos);
    if (Cell.x() != 1 || Cell.y() < 1) return false;
    const TField* F = FModel->Field(Cell.y());
    return F && AsEnumField(F) && F->Enabled;
}

void TEntryGrid::PropEditorClick() {
    const int R = Row();
    const TField* F = FModel->CurrentField();
    if (!F || F != FModel->Field(R) || !F->Enabled || F->EditorKind != ekPropEditor ||
        !F->OnPropEdit)
        return;
    const int Result = FModel->RunPropEditor(R);
    if (Result == 1) {
        DoSetData(1, R);
        setFocus(Qt::OtherFocusReason);
    } else if (Result == 2) {
        setFocus(Qt::OtherFocusReason);
    }
}

void TEntryGrid::SpinClick(bool Up) {
    const int R = Row();
    if (FModel->Spin(Up)) DoSetData(1, R);
}

void TEntryGrid::CheckBoxClick() {
    const int R = Row();
    const int C = Col();
    FModel->SetValue(C, R, FCheck->isChecked());
    DoSetData(C, R);
}

// ---- Mouse -----------------------------------------------------------------

void TEntryGrid::mousePressEvent(QMouseEvent* E) {
    const QPoint Cell = MouseCoord(E->position().toPoint());
    const int UC = FModel->UnitsColumn();
    if (UC >= 0 && Cell.x() == UC && Cell.y() >= 1 && FModel->Field(Cell.y()) &&
        FModel->HasUnitsPicker()) {
        // A value still in the editor is stored before its unit changes, so
        // it is read in the unit it was typed in.
        CommitEditor();
        const int R = Cell.y();
        const QPoint G = E->globalPosition().toPoint();
        FModel->RunUnitsPicker(R, G.x(), G.y());
        emit OnAfterRightClick(R);
        FModel->ReshowValue(R);
        SetCurrentDirect(1, R);
        RequestReselect();
        SetCurrentDirect(UC, R);
    }
    TxStringGrid::mousePressEvent(E);
}

void TEntryGrid::mouseMoveEvent(QMouseEvent* E) {
    if (DropListShown() && !IsEnumValueCell(E->position().toPoint())) HideDropList(true);
    TxStringGrid::mouseMoveEvent(E);
}

void TEntryGrid::mouseReleaseEvent(QMouseEvent* E) {
    if (DropListShown() && IsEnumValueCell(E->position().toPoint())) HideDropList(true);
    TxStringGrid::mouseReleaseEvent(E);
}

void TEntryGrid::ColWidthsChanged() {
    TxStringGrid::ColWidthsChanged();
    PlaceAids();
}

void TEntryGrid::TopLeftChanged() {
    TxStringGrid::TopLeftChanged();
    PlaceAids();
}

void TEntryGrid::resizeEvent(QResizeEvent* E) {
    TxStringGrid::resizeEvent(E);
    PlaceAids();
}

void TEntryGrid::moveEvent(QMoveEvent* E) {
    TxStringGrid::moveEvent(E);
    PlaceAids();
}

bool TEntryGrid::event(QEvent* E) {
    // The aids live beside the sheet: a disabled or hidden sheet takes them
    // away so they cannot act on it.
    if (E->type() == QEvent::EnabledChange) {
        InvalidateGrid();
        if (!isEnabled()) {
            HideDropList(false);
            HideAids();
        }
    } else if (E->type() == QEvent::Hide) {
        HideDropList(false);
        HideAids();
    }
    return TxStringGrid::event(E);
}

// ---- Drawing ---------------------------------------------------------------

QColor TEntryGrid::CellTextColor(int ACol, int ARow) const {
    if (ACol == 1 && ARow >= 1) {
        return FModel->GetRowEnabled(ARow) ? palette().color(QPalette::WindowText)
                                           : palette().color(QPalette::Disabled, QPalette::Text);
    }
    return palette().color(QPalette::Text);
}

void TEntryGrid::DrawCell(QPainter& P, int ACol, int ARow, const QRect& Rect,
                          TGridDrawState State) {
    if (ACol != 1 || ARow < FixedRows() || State.Fixed) {
        TxStringGrid::DrawCell(P, ACol, ARow, Rect, State);
        return;
    }
    const bool EditColOwn = ColorEditCol() != Color();
    bool Highlight = State.Selected &&
                     (!State.Focused || HasOption(xgoDrawFocusSelected) || HasOption(xgoRowSelect));
    const bool Unfocused = !isEnabled() || !GridHasFocus();
    // Unfocused, a selected value cell shows no highlight unless asked to,
    // and never when the value column has its own colour.
    if (Highlight && Unfocused && (EditColOwn || !AlwaysShowCell())) Highlight = false;
    P.fillRect(Rect, Highlight    ? palette().color(QPalette::Highlight)
                     : EditColOwn ? ColorEditCol()
                                  : Color());
    if (DefaultDrawing()) {
        const QString T = Cells(ACol, ARow);
        if (!T.isEmpty()) {
            P.save();
            P.setClipRect(Rect);
            // A value the user gave stands out from the worked-out ones: the
            // accent colour, and bold for themes where colours do not tell.
            const bool Known = FKnownRows.contains(ARow) && FModel->GetRowEnabled(ARow);
            if (Known) {
                QFont Bold = P.font();
                Bold.setBold(true);
                P.setFont(Bold);
            }
            P.setPen(Highlight ? palette().color(QPalette::HighlightedText)
                     : Known   ? palette().color(QPalette::Link)
                               : CellTextColor(ACol, ARow));
            P.drawText(Rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                       T);
            P.restore();
        }
    }
    emit OnDrawCell(P, ACol, ARow, Rect, State);
}

} // namespace oravent::gui
