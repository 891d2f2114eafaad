// The air state window for the presenter's tests: a real entry-grid row
// model over an in-memory table, so values cross the cell texts in their
// shown units as in the window, plus a status, messages and a clipboard.
#pragma once

#include <string>
#include <vector>

#include "controls/TechFrame.h"
#include "controls/TxEntryGrid.h"
#include "psychro/TxAirStateBox.h"

namespace oravent::test {

class TFakeAirStateView : public TAirStateView {
public:
    TMemCellTable Table;
    TRowMessageList RowMessages;
    TEntryGridModel Grid{Table, &RowMessages};
    int DataCount = 0;
    std::string StatusText;
    std::vector<std::string> Messages;
    std::string Clipboard;
    bool OpenEnabled = false;
    std::vector<int> Known;
    TAirConWindowState Placed, Current;
    std::string Caption;
    bool Modal = false;
    int Closed = 0; // the modal result the window was closed with
    // An edit in progress: the text typed into a row's value cell, committed
    // by CommitEdit.
    int PendingRow = 0;
    std::string PendingText;
    TAirStateBox* Box = nullptr;

    void SetGridLines(const std::vector<std::string>& Lines) override {
        Grid.SetLines(Lines);
        DataCount = static_cast<int>(Lines.size()) - 1;
    }
    void SetGridData(const std::vector<TFieldValue>& Values) override {
        oravent::SetGridData(Grid, DataCount, Values,
                             [&](std::string_view M) { Messages.emplace_back(M); });
    }
    void SetRowUnits(int Row, TUnitsType Type, int Base, int Shown, TFormatType F) override {
        Grid.SetUnits(Row, Type, Base, Shown, F);
    }
    void SetRowSigDigs(int Row, int Digits) override { Grid.SetSigDigs(Row, Digits); }
    bool RowHasUnits(int Row) const override { return Grid.HasUnits(Row); }
    int RowUnits(int Row) const override {
        return const_cast<TEntryGridModel&>(Grid).GetUnitsValue(Row);
    }
    void SetRowUnitsValue(int Row, int Index) override { Grid.SetUnitsValue(Row, Index); }
    TFieldValue RowValue(int Row) const override { return Grid.GetValue(1, Row); }
    void SetRowEnabled(int Row, bool Enabled) override { Grid.SetRowEnabled(Row, Enabled); }
    bool RowEnabled(int Row) const override { return Grid.GetRowEnabled(Row); }
    const TCellTable& Cells() const override { return Table; }
    void CommitEdit() override {
        if (PendingRow == 0) return;
        const int Row = PendingRow;
        PendingRow = 0;
        Table.SetCell(1, Row, PendingText);
        if (Box) Box->SetData(Row);
    }
    void ShowKnownRows(const std::vector<int>& Rows) override { Known = Rows; }
    void ShowStatus(std::string_view Text) override { StatusText = Text; }
    void ShowMessage(std::string_view Text) override { Messages.emplace_back(Text); }
    void SetClipboardText(const std::string& Text) override { Clipboard = Text; }
    std::string ClipboardText() const override { return Clipboard; }
    void SetOpenEnabled(bool Enabled) override { OpenEnabled = Enabled; }
    void PlaceWindow(const TAirConWindowState& State, std::string_view Title, bool M) override {
        Placed = Current = State;
        Caption = Title;
        Modal = M;
    }
    TAirConWindowState WindowState() const override { return Current; }
    void CloseWindow(int Result) override { Closed = Result; }

    // The user types Text into a row's value cell and commits it.
    void Type(int Row, const std::string& Text) {
        Table.SetCell(1, Row, Text);
        Box->SetData(Row);
    }
    std::string Cell(int Row) const { return Table.Cell(1, Row); }
};

// A presenter over a fake view for a point, set up as a window is when it
// is created and shown (SetupTools, SetRowStates, Activate).
struct TAirStateWindow {
    TPsyPoint Point;
    TFakeAirStateView View;
    TAirStateBox Box{View, Point};
    explicit TAirStateWindow(const TAirStateRec& State)
        : Point(nullptr, "Node", 1, "Moist Air", State) {
        View.Box = &Box;
        Box.SetupTools();
        Box.SetRowStates();
        Box.Activate();
    }
};

} // namespace oravent::test
