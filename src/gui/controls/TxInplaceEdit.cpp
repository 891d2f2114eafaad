// The grid's in-place editor: a borderless formatted edit that hands the
// navigation keys, its double-click and the wheel to its grid.
#include <QApplication>
#include <QKeyEvent>

#include "controls/TxGrids.h"

namespace oravent::gui {

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

QString TxInplaceEdit::CueName() const {
    return FGrid->CellCueName(FGrid->EditorCol(), FGrid->EditorRow());
}

QString TxInplaceEdit::CueUnit() const {
    return FGrid->CellCueUnit(FGrid->EditorCol(), FGrid->EditorRow());
}

bool TxInplaceEdit::event(QEvent* E) {
    // While a cell is being edited, Escape cancels the edit and is not a
    // window's shortcut (a dialog's Cancel takes it only when no cell is).
    if (E->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(E)->key() == Qt::Key_Escape && FGrid->EditorCol() >= 0) {
        E->accept();
        return true;
    }
    return TxCustomEdit::event(E);
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
    // F4 and Alt+Down belong to the grid: they open the row's editing aid.
    if ((Key == Qt::Key_F4 && !(Mods & ~Qt::KeypadModifier)) ||
        (Key == Qt::Key_Down && (Mods & ~Qt::KeypadModifier) == Qt::AltModifier)) {
        ToGrid();
        return;
    }
    switch (Key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!Alt) {
            // The grid's keys; Escape there cancels the edit (CancelEditor).
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
        emit FGrid->OnKeyDown(K, Mods);
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
    emit FGrid->OnKeyDown(K, Mods);
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

} // namespace oravent::gui
