#include "units/TxUnitsForm.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "controls/EditRules.h"
#include "controls/TxFmtEdit.h"

namespace oravent::gui {

namespace {
TUnitsForm* GCurrent = nullptr;
}

TUnitsForm::TUnitsForm(QWidget* Parent)
    : QDialog(Parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle(QStringLiteral("Units"));
    setModal(true);
    FList = new QListWidget(this);
    FList->setFrameShape(QFrame::NoFrame);
    FList->setUniformItemSizes(true);
    FList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* L = new QVBoxLayout(this);
    L->setContentsMargins(0, 0, 0, 0);
    L->addWidget(FList);
    // 13 pixels is the line of the classic 8-point dialog font; a larger
    // desktop font gets its own line height so captions are never cut.
    FItemHeight = std::max(13, QFontMetrics(FList->font()).height() + 1);
    resize(135, 147);
    FList->installEventFilter(this);
    FList->viewport()->installEventFilter(this);
    GCurrent = this;
}

TUnitsForm::~TUnitsForm() {
    if (GCurrent == this) GCurrent = nullptr;
}

TUnitsForm* TUnitsForm::Current() {
    return GCurrent;
}

void TUnitsForm::SetSourceField(TUnitsType Type, int UnitsValue, std::function<void(int)> Store) {
    FEditMode = false;
    FType = Type;
    FIndex = UnitsValue;
    FStore = std::move(Store);
}

void TUnitsForm::SetSourceEdit(TxCustomEdit* Edit) {
    FEditMode = true;
    FStore = nullptr;
    FType = Edit ? Edit->UnitsType() : utNone;
    FIndex = Edit ? Edit->UnitsValue() : 0;
}

void TUnitsForm::Fill() {
    FList->clear();
    const int N = UnitsCount(FType);
    const QFontMetrics FM(FList->font());
    int Widest = 0;
    for (int I = 0; I < N; ++I) {
        const QString Caption = QString::fromStdString(UnitsCaption(FType, I));
        auto* Item = new QListWidgetItem(Caption, FList);
        Item->setSizeHint(QSize(0, FItemHeight));
        Widest = std::max(Widest, FM.horizontalAdvance(Caption));
    }
    if (N > 0 && FIndex >= 0 && FIndex < N) FList->setCurrentRow(FIndex);
    const int H = N > 0 ? UnitsPickerHeight(N, FItemHeight) : height();
    // The list keeps a small margin around each caption; it is added so a
    // caption is never cut.
    const int TextPad = 2 * (FList->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
    setFixedSize(UnitsPickerWidth(Widest + TextPad), H);
}

int TUnitsForm::Result() const {
    return FList->currentRow();
}

void TUnitsForm::done(int R) {
    if (!FClosing) {
        FClosing = true;
        if (!FEditMode && FStore && Result() >= 0) FStore(Result());
    }
    QDialog::done(R);
}

bool TUnitsForm::eventFilter(QObject* Watched, QEvent* E) {
    if (E->type() == QEvent::KeyPress && Watched == FList) {
        const int Key = static_cast<QKeyEvent*>(E)->key();
        if (Key == Qt::Key_Return || Key == Qt::Key_Enter || Key == Qt::Key_Escape) {
            accept();
            return true;
        }
    }
    if ((E->type() == QEvent::MouseButtonPress || E->type() == QEvent::MouseButtonDblClick) &&
        Watched == FList->viewport()) {
        auto* M = static_cast<QMouseEvent*>(E);
        if (M->button() == Qt::LeftButton) {
            if (QListWidgetItem* Item = FList->itemAt(M->position().toPoint()))
                FList->setCurrentItem(Item);
        }
        accept();
        return true;
    }
    return QDialog::eventFilter(Watched, E);
}

void TUnitsForm::showEvent(QShowEvent* E) {
    QDialog::showEvent(E);
    activateWindow();
    FList->setFocus(Qt::ActiveWindowFocusReason);
}

int TUnitsForm::PickForEdit(TxCustomEdit* Edit, QPoint TopLeft, QWidget* Parent) {
    TUnitsForm Form(Parent);
    Form.SetSourceEdit(Edit);
    Form.move(TopLeft);
    Form.Fill();
    Form.exec();
    return Form.Result();
}

int TUnitsForm::PickForField(TUnitsType Type, int UnitsValue, QPoint TopLeft,
                             std::function<void(int)> Store, QWidget* Parent) {
    TUnitsForm Form(Parent);
    Form.SetSourceField(Type, UnitsValue, std::move(Store));
    Form.move(TopLeft);
    Form.Fill();
    Form.exec();
    return Form.Result();
}

} // namespace oravent::gui
