#include "controls/TxFmtEdit.h"

#include <QCursor>
#include <QKeyEvent>
#include <QTimer>

#include "controls/Beep.h"
#include "controls/EditRules.h"
#include "controls/TxFields.h"
#include "units/TxUnitsForm.h"

namespace oravent::gui {

namespace {

bool IsTextFormat(const QString& F) {
    return HasStrFormat(F.toStdString());
}
bool IsWholeFormat(const QString& F) {
    return HasIntFormat(F.toStdString());
}
bool IsPairFormat(const QString& F) {
    return HasPairFormat(F.toStdString());
}

QVariant ToVariant(const TEditValue& V) {
    if (auto* D = std::get_if<double>(&V)) return *D;
    if (auto* I = std::get_if<long long>(&V)) return static_cast<qlonglong>(*I);
    return QString::fromStdString(std::get<std::string>(V));
}

TEditValue FromVariant(const QVariant& V) {
    switch (V.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return static_cast<long long>(V.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return V.toDouble();
    default:
        return V.toString().toStdString();
    }
}

} // namespace

TxCustomEdit::TxCustomEdit(QWidget* Parent) : QLineEdit(Parent) {
    setText(QStringLiteral("0.0"));
    FDecimals = FormatStrDecimals(FFormatStr.toStdString());
    // Paste, cut, Delete and undo reach the text through the platform's
    // handling; they mark the text modified so that leaving checks it.
    connect(this, &QLineEdit::textEdited, this, [this] { FModified = true; });
}

TxCustomEdit::~TxCustomEdit() {
    if (FUnitsLabel) FUnitsLabel->Unlink(this);
}

void TxCustomEdit::SetFormatStr(const QString& Value) {
    FFormatStr = Value;
    // Decimals always follow the format, so that ft_AutoOverride compares
    // with the threshold of the format in use (the grid's editor changes
    // format from row to row).
    FDecimals = FormatStrDecimals(Value.toStdString());
    if (IsTextFormat(Value) && text() == QStringLiteral("0.0")) setText(QString());
}

void TxCustomEdit::SetUnitsType(TUnitsType Value) {
    FUnitsType = Value;
    FUnitsValue = ClampUnitsIndex(Value, FUnitsValue);
    FUnitsBase = ClampUnitsIndex(Value, FUnitsBase);
    FFactor = 1.0;
    FOffset = 0.0;
    ApplyUnits();
}

void TxCustomEdit::SetUnitsValue(int Value) {
    FUnitsValue = ClampUnitsIndex(FUnitsType, Value);
    ApplyUnits();
}

void TxCustomEdit::SetUnitsBase(int Value) {
    FUnitsBase = ClampUnitsIndex(FUnitsType, Value);
    ApplyUnits();
}

void TxCustomEdit::SetUnitsLabel(TFmtEditLabel* Label) {
    if (Label == FUnitsLabel) {
        if (Label) SetUnitsValue(FUnitsValue);
        return;
    }
    if (FUnitsLabel) FUnitsLabel->Unlink(this);
    FUnitsLabel = nullptr;
    if (!Label) return;
    // A units label belongs to a number.
    if (IsTextFormat(FFormatStr)) FFormatStr = QStringLiteral("%0.1f");
    FUnitsLabel = Label;
    Label->Link(this);
    SetUnitsValue(FUnitsValue);
}

void TxCustomEdit::Revert() {
    if (!FModified) return;
    setText(FSavedText);
    FModified = false;
}

bool TxCustomEdit::FormatText() {
    const TEditLimits Limits{FRangeLo, FRangeHi, FFactor, FOffset};
    const TEditFormatResult R = FormatEditText(text().toStdString(), FFormatStr.toStdString(),
                                               FFormatType, FSigDigs, FDecimals, Limits);
    if (R.Changed) {
        setText(QString::fromStdString(R.Text));
        FModified = true;
    }
    return R.InRange;
}

void TxCustomEdit::RangeError() {
    Beep();
    const TEditLimits Limits{FRangeLo, FRangeHi, FFactor, FOffset};
    ShowCue(this, rect(),
            QString::fromStdString(LimitsCueText(CueName().toStdString(), Limits,
                                                 FFormatStr.toStdString(), FFormatType, FSigDigs,
                                                 CueUnit().toStdString())));
}

bool TxCustomEdit::ConfirmText() {
    if (!FModified) return true;
    if (FormatText()) return true;
    // The text now holds the limit; the user stays in the edit to see it.
    FModified = true;
    QPointer<TxCustomEdit> Self(this);
    QTimer::singleShot(0, this, [Self] {
        if (Self && Self->isVisible()) Self->setFocus(Qt::OtherFocusReason);
    });
    RangeError();
    return false;
}

QVariant TxCustomEdit::GetValue() const {
    return ToVariant(
        EditTextToValue(text().toStdString(), FFormatStr.toStdString(), FFactor, FOffset));
}

void TxCustomEdit::SetValue(const QVariant& Value) {
    setText(QString::fromStdString(EditValueToText(FromVariant(Value), FFormatStr.toStdString(),
                                                   FFormatType, FSigDigs, FFactor, FOffset)));
}

void TxCustomEdit::ApplyUnits() {
    if (FUnitsType == utNone && (IsTextFormat(FFormatStr) || IsWholeFormat(FFormatStr))) return;
    const bool Pair = IsPairFormat(FFormatStr);
    const QVariant Old = GetValue();
    std::string Fmt;
    std::string Caption;
    GetUnitsConversion(FUnitsType, FUnitsValue, FUnitsBase, Fmt, FOffset, FFactor, Caption);
    FUnitsCaption = QString::fromStdString(Caption);
    if (FFormatType != ft_Manual && FUnitsType != utNone) FFormatStr = QString::fromStdString(Fmt);
    if (IsTextFormat(FFormatStr)) return;
    FDecimals = FormatStrDecimals(FFormatStr.toStdString());
    if (FUnitsLabel) FUnitsLabel->setText(QString::fromStdString(Caption));
    if (Pair) {
        if (!IsPairFormat(FFormatStr)) FFormatStr = FFormatStr + QLatin1Char('/') + FFormatStr;
        SetValue(Old.toString());
    } else if (Old.typeId() != QMetaType::QString) {
        SetValue(Old);
    }
    // A text that is not a number stays as it is.
}

void TxCustomEdit::SaveText() {
    FSavedText = text();
    FModified = false;
}

void TxCustomEdit::Assign(const TxCustomEdit& S) {
    FFormatStr = S.FFormatStr;
    FFormatType = S.FFormatType;
    FSigDigs = S.FSigDigs;
    FUnitsType = S.FUnitsType;
    FUnitsValue = S.FUnitsValue;
    FUnitsBase = S.FUnitsBase;
    FFactor = S.FFactor;
    FOffset = S.FOffset;
    FDecimals = S.FDecimals;
    setText(S.text());
}

void TxCustomEdit::CommitEdit(TxCustomEdit* Edit) {
    if (!Edit) return;
    Edit->ConfirmText();
    emit Edit->OnExit();
    Edit->FModified = false;
}

bool TxCustomEdit::event(QEvent* E) {
    if (E->type() == QEvent::ShortcutOverride) {
        auto* K = static_cast<QKeyEvent*>(E);
        // While the text is modified, Escape belongs to the edit (it reverts)
        // and not to a dialog's cancel button.
        if (K->key() == Qt::Key_Escape && FModified) {
            E->accept();
            return true;
        }
    }
    return QLineEdit::event(E);
}

void TxCustomEdit::DeleteCharBeforeCaret() {
    const int Start = hasSelectedText() ? selectionStart() : cursorPosition();
    if (Start <= 0) return;
    QString T = text();
    T.remove(Start - 1, 1);
    setText(T);
    setCursorPosition(Start - 1);
}

void TxCustomEdit::TypeChar(QChar Ch) {
    if (selectedText().size() >= 2) del(); // caret goes to the selection start
    FModified = true;
    // The text on either side of what the character replaces.
    const QString T = text();
    const int Start = hasSelectedText() ? selectionStart() : cursorPosition();
    const int End = Start + static_cast<int>(selectedText().size());
    const std::string Format = FFormatStr.toStdString();
    const char32_t In =
        EditTypedChar(Format, T.left(Start).toStdString(), T.mid(End).toStdString(), Ch.unicode());
    if (In != 0) {
        insert(QString(QChar(static_cast<char16_t>(In)))); // replaces a single selected character
        FModified = true;
    } else {
        Beep();
        ShowCue(this, rect(),
                QString::fromStdString(
                    RefusedCharCueText(CueName().toStdString(), Format, Ch.unicode())));
    }
}

void TxCustomEdit::keyPressEvent(QKeyEvent* E) {
    if (E->matches(QKeySequence::Copy) || E->matches(QKeySequence::Paste) ||
        E->matches(QKeySequence::Cut)) {
        if (!E->matches(QKeySequence::Copy) && (!CanModify() || isReadOnly())) {
            E->accept();
            return;
        }
        QLineEdit::keyPressEvent(E);
        return;
    }
    const int Key = E->key();
    const bool Writable = CanModify() && !isReadOnly();
    if (Key == Qt::Key_Escape) {
        const bool Was = FModified;
        Revert();
        // An unmodified edit lets the Escape through to a dialog.
        if (Was)
            E->accept();
        else
            E->ignore();
        return;
    }
    if (Key == Qt::Key_Backspace) {
        if (Writable) {
            FModified = true;
            DeleteCharBeforeCaret();
        }
        E->accept();
        return;
    }
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        if (!Writable) {
            E->accept();
            return;
        }
        // A clamped value keeps the Enter here; otherwise a dialog's default
        // button may take it, as it does in the platform's own edit.
        if (ConfirmText())
            E->ignore();
        else
            E->accept();
        return;
    }
    const QString T = E->text();
    const auto Mods = E->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!T.isEmpty() && T.at(0).isPrint() && Mods == Qt::NoModifier) {
        if (Writable) {
            for (QChar Ch : T)
                TypeChar(Ch);
        }
        E->accept();
        return;
    }
    // Arrows, Home, End, Delete, select-all: the platform's handling.
    if (Key == Qt::Key_Delete && !Writable) {
        E->accept();
        return;
    }
    QLineEdit::keyPressEvent(E);
}

void TxCustomEdit::focusInEvent(QFocusEvent* E) {
    // Coming back from another window or a menu is not entering the edit
    // again: a text typed before stays modified, so leaving still checks it.
    const bool Resumed = FFocusSuspended && (E->reason() == Qt::ActiveWindowFocusReason ||
                                             E->reason() == Qt::PopupFocusReason);
    FFocusSuspended = false;
    if (!Resumed) SaveText();
    QLineEdit::focusInEvent(E);
}

void TxCustomEdit::focusOutEvent(QFocusEvent* E) {
    QLineEdit::focusOutEvent(E);
    // Switching windows or opening a menu is not leaving the edit.
    if (E->reason() == Qt::ActiveWindowFocusReason || E->reason() == Qt::PopupFocusReason) {
        SuspendFocus();
        return;
    }
    DoExit();
}

void TxCustomEdit::DoExit() {
    ConfirmText();
    emit OnExit();
}

TFmtEdit::TFmtEdit(QWidget* Parent) : TxCustomEdit(Parent) {
    setMaxLength(32767);
}

TFmtEditLabel::TFmtEditLabel(QWidget* Parent) : QLabel(Parent) {
    setCursor(Qt::PointingHandCursor);
}

TFmtEditLabel::~TFmtEditLabel() {
    const auto Edits = FEdits;
    FEdits.clear();
    for (const auto& E : Edits)
        if (E) E->FUnitsLabel = nullptr;
}

void TFmtEditLabel::Link(TxCustomEdit* Edit) {
    if (!Edit) return;
    for (const auto& E : FEdits)
        if (E == Edit) return;
    FEdits.append(Edit);
}

void TFmtEditLabel::Unlink(TxCustomEdit* Edit) {
    FEdits.removeIf([Edit](const QPointer<TxCustomEdit>& E) { return !E || E == Edit; });
}

QList<TxCustomEdit*> TFmtEditLabel::Edits() const {
    QList<TxCustomEdit*> L;
    for (const auto& E : FEdits)
        if (E) L.append(E.data());
    return L;
}

void TFmtEditLabel::Click(QPoint At) {
    const QList<TxCustomEdit*> L = Edits();
    if (!L.isEmpty()) {
        const int Index = TUnitsForm::PickForEdit(L.first(), At + QPoint(5, 5), this);
        // The picker is modal: an edit may have gone while it was open, and
        // an event handler may drop another one.
        const QList<QPointer<TxCustomEdit>> Linked = FEdits;
        for (const QPointer<TxCustomEdit>& E : Linked) {
            if (!E) continue;
            E->SetUnitsValue(Index);
            if (E) emit E->OnUnitsEdited();
        }
    }
    emit OnClick();
}

void TFmtEditLabel::mouseReleaseEvent(QMouseEvent* E) {
    QLabel::mouseReleaseEvent(E);
    if (E->button() == Qt::LeftButton && rect().contains(E->position().toPoint()))
        Click(QCursor::pos());
}

} // namespace oravent::gui
