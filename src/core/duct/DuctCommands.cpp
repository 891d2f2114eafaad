#include "duct/DuctCommands.h"

#include <exception>

#include "psychro/Hygrocalc.h"

namespace oravent {

TDuctCommands::TDuctCommands(TDuctView& View) : FView(View) {
    Sheet.ResetToDefaults();
}

void TDuctCommands::LoadSettings(const TCustomIniFile& Store) {
    LoadDuctSettings(Store, Sheet, View);
}

void TDuctCommands::ApplyUnits() {
    for (const TDuctRowDef& D : DuctRows) {
        const int R = static_cast<int>(D.Row);
        if (HasUnits(D)) FView.SetRowUnits(R, D.UnitsType, D.UnitsBase, View.Units[R]);
    }
}

void TDuctCommands::ShowValues() {
    for (const TDuctRowDef& D : DuctRows)
        FView.ShowRowValue(static_cast<int>(D.Row), DuctRowValue(Sheet, D.Row));
}

void TDuctCommands::ShowGroups() {
    FView.ShowStatus(1, FlowGroupText(Sheet));
    FView.ShowStatus(2, SizeGroupText(Sheet));
}

void TDuctCommands::ShowStatus() {
    FView.ShowStatus(0, SolvedText(Sheet.Solved));
}

void TDuctCommands::CommitEdit(int Row) {
    const TDuctRowDef* D = DuctRowDef(Row);
    if (D == nullptr) return;
    try {
        ApplyDuctValue(Sheet, D->Row, FView.RowValue(Row));
    } catch (const std::exception& E) {
        ResetReferenceState();
        FView.ShowError(E.what());
        ShowValues();
        return;
    }
    Sheet.Iterate();
    ShowIteration(false);
    FView.ResultsChanged();
}

// The values are shown before the results change: the report reads them
// from the grid.
void TDuctCommands::Solve() {
    Sheet.SolveRectangle();
    Sheet.Iterate();
    ShowIteration(true);
    FView.ResultsChanged();
}

void TDuctCommands::ResetToDefaults() {
    Sheet.ResetToDefaults();
    Sheet.SolveRectangle();
    Sheet.Iterate();
    ShowIteration(false);
}

void TDuctCommands::ShowIteration(bool ValuesAfterFailure) {
    ShowStatus();
    if (Sheet.Failed()) FView.ShowError(NoSolutionMessage);
    if (!Sheet.Failed() || ValuesAfterFailure) {
        ShowValues();
        ShowGroups();
    }
}

void TDuctCommands::SetUnitSystem(TUnitSystem System) {
    for (const TDuctRowDef& D : DuctRows) {
        if (HasUnits(D)) View.Units[static_cast<int>(D.Row)] = UnitChoice(D, System);
    }
    ApplyUnits();
    ShowValues();
    FView.ResultsChanged();
}

void TDuctCommands::UnitsPicked(int Row) {
    const TDuctRowDef* D = DuctRowDef(Row);
    if (D != nullptr && HasUnits(*D)) View.Units[Row] = FView.RowUnits(Row);
    FView.ResultsChanged();
}

void TDuctCommands::Activate() {
    Sheet.UpdateIntermediates();
}

std::vector<std::string> TDuctCommands::OpenCalculation(const TCustomIniFile& File) {
    std::vector<std::string> Replaced = ReadCalculation(File, Sheet);
    ShowValues();
    return Replaced;
}

void TDuctCommands::SaveCalculation(TCustomIniFile& File) const {
    WriteCalculation(File, Sheet);
}

void TDuctCommands::SaveSettings(TCustomIniFile& Store) {
    for (const TDuctRowDef& D : DuctRows) {
        if (HasUnits(D))
            View.Units[static_cast<int>(D.Row)] = FView.RowUnits(static_cast<int>(D.Row));
    }
    SaveDuctSettings(Store, Sheet, View);
}

std::string_view TDuctCommands::Description(int Row) {
    const TDuctRowDef* D = DuctRowDef(Row);
    return D ? D->Description : std::string_view{};
}

} // namespace oravent
