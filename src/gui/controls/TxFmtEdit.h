// Formatted numeric edit: a one-line edit that filters typed characters by
// its format string, checks the value against limits when the user leaves
// it, and shows a value held in base units in a chosen unit. TFmtEditLabel is
// the clickable units label that switches the unit of its linked edits.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QPointer>
#include <QVariant>

#include "units/NumberText.h"
#include "units/TxConv.h"

namespace oravent::gui {

class TFmtEditLabel;

class TxCustomEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TxCustomEdit(QWidget* Parent = nullptr);
    ~TxCustomEdit() override;

    QString FormatStr() const { return FFormatStr; }
    void SetFormatStr(const QString& Value);
    TFormatType FormatType() const { return FFormatType; }
    void SetFormatType(TFormatType Value) { FFormatType = Value; }
    int SigDigs() const { return FSigDigs; }
    void SetSigDigs(int Value) { FSigDigs = Value; }
    TUnitsType UnitsType() const { return FUnitsType; }
    void SetUnitsType(TUnitsType Value);
    int UnitsValue() const { return FUnitsValue; }
    void SetUnitsValue(int Value);
    int UnitsBase() const { return FUnitsBase; }
    void SetUnitsBase(int Value);
    double RangeLo() const { return FRangeLo; }
    void SetRangeLo(double Value) { FRangeLo = Value; }
    double RangeHi() const { return FRangeHi; }
    void SetRangeHi(double Value) { FRangeHi = Value; }
    TFmtEditLabel* UnitsLabel() const { return FUnitsLabel; }
    void SetUnitsLabel(TFmtEditLabel* Label);
    double Factor() const { return FFactor; }
    double Offset() const { return FOffset; }
    int Decimals() const { return FDecimals; }

    // The modified mark: set by typing, cleared on focus entry and commit.
    bool Modified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    QString SavedText() const { return FSavedText; }

    virtual bool CanModify() const { return true; }
    // Restores the text from focus entry when it was modified.
    virtual void Revert();
    // Checks and reformats the text; false when a limit had to be applied.
    virtual bool FormatText();
    // The signal of a clamped value: a beep, and a cue naming the limits
    // (LimitsCueText) below the edit.
    virtual void RangeError();
    // The name and the unit caption the cues give: the accessible name, and
    // the caption of the shown unit when a units type is set.
    virtual QString CueName() const { return accessibleName(); }
    virtual QString CueUnit() const { return FUnitsType != utNone ? FUnitsCaption : QString(); }
    // The check run when the user leaves or presses Enter. Returns false when
    // the text was clamped (the edit then keeps the focus).
    virtual bool ConfirmText();

    // The value in base units: a double, a qlonglong for whole-number
    // formats, or a QString (pairs, text formats, unreadable text).
    QVariant GetValue() const;
    void SetValue(const QVariant& Value);
    // Re-shows the value after a unit change.
    void ApplyUnits();
    // Saves the text for Revert and clears the modified mark, as focus entry.
    void SaveText();
    // Copies format, units, factor, offset, decimals and text (not limits,
    // label or events).
    void Assign(const TxCustomEdit& Source);

    // Confirms a value still being typed, as if the user had left the edit.
    static void CommitEdit(TxCustomEdit* Edit);

signals:
    // After the unit was changed through the units label.
    void OnUnitsEdited();
    // The window's exit event: when the user leaves the edit.
    void OnExit();

protected:
    bool event(QEvent* E) override;
    void keyPressEvent(QKeyEvent* E) override;
    void focusInEvent(QFocusEvent* E) override;
    void focusOutEvent(QFocusEvent* E) override;

    // Character filter for one typed character (already past Escape,
    // Backspace and Enter handling).
    void TypeChar(QChar Ch);
    void DeleteCharBeforeCaret();
    void DoExit();
    // The focus left for another window or a menu: the next focus entry by
    // their return keeps the modified text (see focusInEvent).
    void SuspendFocus() { FFocusSuspended = true; }

private:
    friend class TFmtEditLabel;
    QString FFormatStr = QStringLiteral("%0.1f");
    TFormatType FFormatType = ft_Fixed;
    int FSigDigs = 5;
    TUnitsType FUnitsType = utNone;
    int FUnitsValue = 0;
    int FUnitsBase = 0;
    double FRangeLo = 0.0;
    double FRangeHi = 0.0;
    TFmtEditLabel* FUnitsLabel = nullptr;
    double FFactor = 1.0;
    double FOffset = 0.0;
    int FDecimals = 0;
    QString FUnitsCaption;
    QString FSavedText;
    bool FModified = false;
    // The focus went to another window or a menu, not to another control.
    bool FFocusSuspended = false;
};

// The published edit box that windows place.
class TFmtEdit : public TxCustomEdit {
    Q_OBJECT
public:
    explicit TFmtEdit(QWidget* Parent = nullptr);
};

// A label showing the unit caption of its linked edits; a click opens the
// units picker and switches every linked edit to the picked unit.
class TFmtEditLabel : public QLabel {
    Q_OBJECT
public:
    explicit TFmtEditLabel(QWidget* Parent = nullptr);
    ~TFmtEditLabel() override;

    void Link(TxCustomEdit* Edit);
    void Unlink(TxCustomEdit* Edit);
    QList<TxCustomEdit*> Edits() const;

    // What a click does, with the picker placed 5 pixels right of and below
    // the screen point At.
    void Click(QPoint At);

signals:
    // The label's ordinary click event, after the unit switch.
    void OnClick();

protected:
    void mouseReleaseEvent(QMouseEvent* E) override;

private:
    QList<QPointer<TxCustomEdit>> FEdits;
};

} // namespace oravent::gui
