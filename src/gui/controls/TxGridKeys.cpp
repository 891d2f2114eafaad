// Keys on the grid: the navigation keys go to the core's GridKeyMove, F2
// and Enter open and close the editor, a printable character opens it with
// that character.
#include <QApplication>
#include <QKeyEvent>

#include <optional>

#include "controls/GridNavigation.h"
#include "controls/TxGrids.h"

namespace oravent::gui {

namespace {

std::optional<TGridKey> ToGridKey(int Key) {
    switch (Key) {
    case Qt::Key_Up:
        return TGridKey::Up;
    case Qt::Key_Down:
        return TGridKey::Down;
    case Qt::Key_Left:
        return TGridKey::Left;
    case Qt::Key_Right:
        return TGridKey::Right;
    case Qt::Key_PageUp:
        return TGridKey::PageUp;
    case Qt::Key_PageDown:
        return TGridKey::PageDown;
    case Qt::Key_Home:
        return TGridKey::Home;
    case Qt::Key_End:
        return TGridKey::End;
    case Qt::Key_Tab:
        return TGridKey::Tab;
    case Qt::Key_Backtab:
        return TGridKey::BackTab;
    default:
        return std::nullopt;
    }
}

} // namespace

void TxCustomGrid::GridKeyDown(QKeyEvent* E) {
    int Key = E->key();
    const auto Mods = E->modifiers();
    emit OnKeyDown(Key, Mods);
    if (Key == 0) return;
    if (Key == Qt::Key_Escape) {
        CancelEditor();
        return;
    }
    if (Key == Qt::Key_F2) {
        ShowEditor();
        if (EditorVisible()) {
            FEditor->deselect();
            FEditor->end(false);
        }
        return;
    }
    const std::optional<TGridKey> NavKey = ToGridKey(Key);
    if (!NavKey) return;
    TGridNavOptions Nav;
    Nav.RangeSelect = HasOption(xgoRangeSelect);
    Nav.RowSelect = HasOption(xgoRowSelect);
    Nav.Tabs = HasOption(xgoTabs);
    Nav.RightToLeft = layoutDirection() == Qt::RightToLeft;
    const TGridKeyMods KeyMods{(Mods & Qt::ShiftModifier) != 0, (Mods & Qt::ControlModifier) != 0};
    const TGridKeyMove M = GridKeyMove(*NavKey, KeyMods, FLayout, FCol, FRow, viewport()->width(),
                                       viewport()->height(), Nav);
    if (M.LeftCol) SetLeftCol(*M.LeftCol);
    if (M.TopRow) SetTopRow(*M.TopRow);
    if (M.Move) FocusCell(M.Col, M.Row, M.MoveAnchor);
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
    if (Key == Qt::Key_Escape && FEditorCol < 0) {
        // No cell is being edited: Escape belongs to the window (a dialog's
        // Cancel), after the key-down event had its say.
        int K = Key;
        emit OnKeyDown(K, E->modifiers());
        if (K == 0)
            E->accept();
        else
            E->ignore();
        return;
    }
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        GridKeyPress(E);
        E->accept();
        return;
    }
    GridKeyDown(E);
    // Navigation keys are not typed into the editor; Tab only with tabs.
    const std::optional<TGridKey> NavKey = ToGridKey(Key);
    const bool IsTab = NavKey == TGridKey::Tab || NavKey == TGridKey::BackTab;
    const bool Nav = Key == Qt::Key_F2 || (NavKey && (!IsTab || HasOption(xgoTabs)));
    if (!Nav) GridKeyPress(E);
    E->accept();
}

bool TxCustomGrid::focusNextPrevChild(bool Next) {
    // With tabs the grid keeps Tab for moving between cells.
    if (HasOption(xgoTabs)) return false;
    return QAbstractScrollArea::focusNextPrevChild(Next);
}

} // namespace oravent::gui
