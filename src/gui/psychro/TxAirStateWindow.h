// TAirStateBox: the air state window. Twelve rows (the point's name and its
// eleven properties) on the item window frame; the user types any property,
// the two entered most recently that form a usable pair define the state and
// stand out in bold accent colour. Every rule is the presenter's
// (oravent::TAirStateBox in psychro/TxAirStateBox.h): this window implements
// its view over the entry grid, status bar and clipboard and forwards each
// event to it. The window opens help page "airstatedlg.htm" of the shared
// data folder with the desktop's handler.
//
// The dialog component (TAirStateDlg, TxAirStateDialog.h) creates one for
// each showing, configures it, runs it modally and destroys it. (The file
// names differ from the core's psychro/TxAirStateBox.h and TxAirStateDlg.h,
// which the same include paths reach.)
#pragma once

#include <memory>

#include "psychro/TxAirConBox.h"
#include "psychro/TxAirStateBox.h"

namespace oravent::gui {

class TAirStateBox : public TAirConBox {
    Q_OBJECT
public:
    // Creation: the tools, hints and hooks, the twelve rows, the pair reset
    // to dry bulb and wet bulb, Align.
    explicit TAirStateBox(oravent::TPsyPoint& Item, QWidget* Parent = nullptr);
    ~TAirStateBox() override;

    oravent::TAirStateBox& Presenter() { return *FBox; }
    const oravent::TAirStateBox& Presenter() const { return *FBox; }
    oravent::TPsyPoint& Item() { return FBox->Item(); }

    // Execute's set-up from the dialog component (see the presenter).
    void Configure(oravent::TAirStateDlg& Dlg);

    // The help page this window opens.
    static QString HelpFile();
    void ShowHelp();

    // ---- The frame's and the item window's operations --------------------------
    void AcceptActionExecute() override;
    void CancelActionExecute() override;
    // The air state XML document instead of the frame's generic one.
    void CopytoXML1Click() override;
    bool LoadFromFile(const QString& Path) override;
    bool SaveToFile(const QString& Path) override;
    bool SaveAllowed() override;
    QString InitialDir() const override;
    QString FileFilter() const override;
    QString DefaultSuffix() const override;
    void ShowValues() override;
    void SetupTools() override;
    // Any end of the window runs the presenter's closing step once.
    void done(int Result) override;

protected:
    // Showing and every activation show the point and take it as the last
    // valid state; deactivation commits the edit and rolls an error back.
    void showEvent(QShowEvent* E) override;
    void FormActivate() override;
    void FormDeactivate() override;

private:
    class TView;
    std::unique_ptr<TView> FView;
    std::unique_ptr<oravent::TAirStateBox> FBox;
};

} // namespace oravent::gui
