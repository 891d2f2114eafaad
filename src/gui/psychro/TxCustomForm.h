// TRootForm: the plain window every small technical window derives from
// (the technical window frame, the pressure calculator): a dialog over its
// owner with the modal results 1 (OK) and 2 (Cancel), and one way to show a
// message that tests can take over.
//
// It is a dialog window, not a Qt tool window: while a tool window is
// active Qt keeps its owner's shortcuts live, so the owner's Ctrl+C, F9 and
// menu access keys would meet the window's own as ambiguous shortcuts and
// neither would act.
#pragma once

#include <QDialog>

#include <functional>

namespace oravent::gui {

class TRootForm : public QDialog {
    Q_OBJECT
public:
    // Modal results.
    static constexpr int mrOk = 1;
    static constexpr int mrCancel = 2;

    explicit TRootForm(QWidget* Parent = nullptr);

    // Shows Text in a message box over the window, or hands it to
    // MessageHook when one is set (tests collect the texts there).
    void ShowMessage(const QString& Text);
    static std::function<void(const QString&)> MessageHook;
};

} // namespace oravent::gui
