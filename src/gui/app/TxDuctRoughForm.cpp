#include "app/TxDuctRoughForm.h"

#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

#include "controls/EntryGridWidget.h"
#include "duct/DuctSheet.h"
#include "duct/DuctSheetRows.h"

namespace oravent::gui {

namespace {

QToolButton* AddButton(QToolBar* Bar, const QString& Caption, const QString& Tip) {
    auto* B = new QToolButton(Bar);
    B->setText(Caption); // the '&' gives the button its Alt key
    B->setToolTip(Tip);
    B->setToolButtonStyle(Qt::ToolButtonTextOnly);
    B->setAutoRaise(true);
    // The designed 52 x 21 pixels, grown with the font.
    B->setMinimumSize(ClassicPx(B, 52), ClassicPx(B, 21));
    Bar->addWidget(B);
    return B;
}

// The size that shows every cell of the grid without scrolling.
QSize GridExtent(const TEntryGrid& G) {
    int W = 0, H = 0;
    for (int C = 0; C < G.ColCount(); ++C)
        W += G.ColWidths(C) + G.GridLineWidth();
    for (int R = 0; R < G.RowCount(); ++R)
        H += G.RowHeights(R) + G.GridLineWidth();
    const int Frame = 2 * G.frameWidth();
    return {W + Frame, H + Frame};
}

} // namespace

TDuctRoughForm::TDuctRoughForm(QWidget* Parent) : QDialog(Parent) {
    setWindowTitle(QStringLiteral("Duct Roughness"));

    ToolBar1 = new QToolBar(this);
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    DefaultsButton = AddButton(ToolBar1, QStringLiteral("&Defaults"),
                               QStringLiteral("Show the default roughness of every category"));
    AcceptButton = AddButton(ToolBar1, QStringLiteral("&Accept"),
                             QStringLiteral("Close and use these roughness values"));
    CancelButton = AddButton(ToolBar1, QStringLiteral("&Cancel"),
                             QStringLiteral("Close and keep the roughness values as they were"));
    connect(DefaultsButton, &QToolButton::clicked, this, &TDuctRoughForm::Defaults);
    connect(AcceptButton, &QToolButton::clicked, this, &TDuctRoughForm::accept);
    connect(CancelButton, &QToolButton::clicked, this, &TDuctRoughForm::reject);

    EntryGrid1 = new TEntryGrid(this);
    EntryGrid1->SetDelim(';');
    EntryGrid1->SetColCount(2);
    EntryGrid1->SetFixedCols(0);
    EntryGrid1->SetScrollBars(TScrollStyle::None);
    EntryGrid1->SetOptions(xgoFixedVertLine | xgoFixedHorzLine | xgoVertLine | xgoHorzLine |
                           xgoRangeSelect | xgoColSizing | xgoEditing);
    EntryGrid1->SetDefaultRowHeight(ClassicPx(EntryGrid1, 16));
    QStringList Rows;
    for (const std::string& T : RoughnessRowTexts())
        Rows << QString::fromStdString(T);
    EntryGrid1->SetRows(Rows);
    EntryGrid1->SetColWidths(0, ClassicPx(EntryGrid1, 125));
    EntryGrid1->SetColWidths(1, ClassicPx(EntryGrid1, 77));
    EntryGrid1->setMinimumSize(GridExtent(*EntryGrid1));
    // Escape while a cell is edited cancels the edit (the grid's editor
    // claims it); otherwise it reaches the dialog, which cancels.

    StatusBar1 = new QStatusBar(this);

    auto* L = new QVBoxLayout(this);
    L->setContentsMargins(0, 0, 0, 0);
    L->setSpacing(0);
    L->addWidget(ToolBar1);
    L->addWidget(EntryGrid1, 1);
    L->addWidget(StatusBar1);
    // As small as the designed window, and as large as the font needs.
    resize(minimumSizeHint());
}

void TDuctRoughForm::showEvent(QShowEvent* E) {
    QDialog::showEvent(E);
    EntryGrid1->setFocus(Qt::OtherFocusReason);
}

void TDuctRoughForm::Defaults() {
    for (int I = 0; I < RoughnessCount; ++I)
        EntryGrid1->SetValue(1, I + 1, DefaultRoughness[I] * 1000.0);
}

void TDuctRoughForm::accept() {
    done(mrOk);
}

void TDuctRoughForm::reject() {
    done(mrCancel);
}

void TDuctRoughForm::done(int Result) {
    // The open in-place editor is closed either way, so the next showing
    // starts from the cells; only Accept keeps what it holds.
    if (EntryGrid1->EditorCol() >= 0) {
        if (Result != mrOk) EntryGrid1->InplaceEditor()->Revert();
        EntryGrid1->HideEditor();
    }
    QDialog::done(Result);
}

bool EditRoughness(TDuctRoughForm& Form, DuctSheet& Sheet) {
    TEntryGrid& Grid = *Form.EntryGrid1;
    for (int I = 0; I < RoughnessCount; ++I)
        Grid.SetValue(1, I + 1, Sheet.RoughnessTable[I] * 1000.0);
    if (Form.exec() != TDuctRoughForm::mrOk) return false;
    double Table[RoughnessCount];
    for (int I = 0; I < RoughnessCount; ++I) {
        const TFieldValue V = Grid.GetValue(1, I + 1);
        const double* Mm = std::get_if<double>(&V);
        Table[I] = Mm && std::isfinite(*Mm) ? *Mm * 0.001 : Sheet.RoughnessTable[I];
    }
    Sheet.SetRoughnessTable(Table);
    return true;
}

} // namespace oravent::gui
