#include "duct/DuctCommands.h"

#include <algorithm>
#include <exception>
#include <iterator>

#include "psychro/Hygrocalc.h"
#include "units/NumberText.h"

namespace oravent {

TDuctCommands::TDuctCommands(TDuctView& View) : FView(View) {
    Sheet.ResetToDefaults();
}

void TDuctCommands::LoadSettings(const TCustomIniFile& Store) {
    LoadDuctSettings(Store, Sheet, View);
    LoadStandardSizeSettings(Store, SizeSettings);
}

void TDuctCommands::ApplyUnits() {
    for (const TDuctRowDef& D : DuctRows) {
        const int R = static_cast<int>(D.Row);
        if (HasUnits(D)) FView.SetRowUnits(R, D.UnitsType, D.UnitsBase, View.Units[R]);
    }
}

void TDuctCommands::Start() {
    SettleDuctSheet(Sheet);
    ShowValues();
    ShowGroups();
    ShowStatus();
}

void TDuctCommands::ShowValues() {
    for (const TDuctRowDef& D : DuctRows)
        FView.ShowRowValue(static_cast<int>(D.Row), DuctRowValue(Sheet, D.Row));
}

void TDuctCommands::ShowGroups() {
    FView.ShowStatus(1, FlowGroupText(Sheet));
    FView.ShowStatus(2, SizeGroupText(Sheet));
    std::vector<int> Rows;
    for (TDuctRow R : KnownDuctRows(Sheet))
        Rows.push_back(static_cast<int>(R));
    FView.ShowKnownRows(Rows);
}

void TDuctCommands::ShowStatus() {
    FView.ShowStatus(0, SolvedText(Sheet.Solved));
}

void TDuctCommands::CommitEdit(int Row) {
    const TDuctRowDef* D = DuctRowDef(Row);
    if (D == nullptr) return;
    Recorded([&] {
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
    });
}

// The values are shown before the results change: the report reads them
// from the grid.
void TDuctCommands::Solve() {
    Recorded([&] {
        Sheet.SolveRectangle();
        Sheet.Iterate();
        ShowIteration(true);
        FView.ResultsChanged();
    });
}

void TDuctCommands::ResetToDefaults() {
    Recorded([&] {
        Sheet.ResetToDefaults();
        Sheet.SolveRectangle();
        Sheet.Iterate();
        ShowIteration(false);
    });
}

void TDuctCommands::SetRoughnessTable(const double (&Table)[RoughnessCount]) {
    if (std::equal(std::begin(Table), std::end(Table), std::begin(Sheet.RoughnessTable))) return;
    Recorded([&] {
        Sheet.SetRoughnessTable(Table);
        Sheet.SolveRectangle();
        Sheet.Iterate();
        ShowIteration(true);
        FView.ResultsChanged();
    });
}

void TDuctCommands::EnterStandardSize(const TSizeCandidate& Size) {
    // The rows take millimetres.
    std::vector<std::pair<TDuctRow, double>> Entries = {{TDuctRow::Volume, Sheet.Volume}};
    if (Size.Shape == TSizeShape::Round) {
        Entries.emplace_back(TDuctRow::Diameter, Size.Diameter * 1000.0);
    } else {
        Entries.emplace_back(TDuctRow::Height, Size.Height * 1000.0);
        Entries.emplace_back(TDuctRow::Width, Size.Width * 1000.0);
    }
    for (const auto& [Row, Value] : Entries) {
        const TDuctRowDef& D = DuctRowDef(Row);
        if (!(Value >= D.Lo * (1 - 1e-9) && Value <= D.Hi * (1 + 1e-9))) {
            FView.ShowError(std::string(DuctRowCaption(D)) + " must lie between " +
                            ShortestRealText(D.Lo) + " and " + ShortestRealText(D.Hi) + " mm.");
            return;
        }
    }
    if (!SelectedSize()) FDesignPRate = Sheet.PRate;
    Recorded([&] {
        for (const auto& [Row, Value] : Entries)
            ApplyDuctValue(Sheet, Row, Value);
        FSelectedSize = Size;
        Sheet.Iterate();
        ShowIteration(false);
        FView.ResultsChanged();
    });
}

std::optional<TSizeCandidate> TDuctCommands::SelectedSize() const {
    if (!FSelectedSize) return std::nullopt;
    return SheetAtSize(Sheet, *FSelectedSize);
}

DuctSheet TDuctCommands::SizingSheet() const {
    if (!SelectedSize()) return Sheet;
    DuctSheet Design = Sheet;
    Design.EnterPRate(FDesignPRate);
    Design.EnterVolume(Design.Volume);
    return Design.Iterate() ? Design : Sheet;
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
    Recorded([&] {
        for (const TDuctRowDef& D : DuctRows) {
            if (HasUnits(D)) View.Units[static_cast<int>(D.Row)] = UnitChoice(D, System);
        }
        ApplyUnits();
        ShowValues();
        FView.ResultsChanged();
    });
}

void TDuctCommands::UnitsPicked(int Row) {
    Recorded([&] {
        const TDuctRowDef* D = DuctRowDef(Row);
        if (D != nullptr && HasUnits(*D)) View.Units[Row] = FView.RowUnits(Row);
        FView.ResultsChanged();
    });
}

void TDuctCommands::Activate() {
    Sheet.UpdateIntermediates();
}

std::vector<std::string> TDuctCommands::OpenCalculation(const TCustomIniFile& File) {
    std::vector<std::string> Replaced;
    Recorded([&] {
        Replaced = ReadCalculation(File, Sheet);
        if (!SettleDuctSheet(Sheet)) FView.ShowError(NoSolutionMessage);
        ShowValues();
        ShowGroups();
        ShowStatus();
        FView.ResultsChanged();
    });
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
    SaveStandardSizeSettings(Store, SizeSettings);
}

// ---- History -----------------------------------------------------------------------

template <class TCommand> void TDuctCommands::Recorded(TCommand&& Command) {
    TState Before{Sheet, View};
    Command();
    if (SameState(Before)) return;
    FUndo.push_back(std::move(Before));
    if (FUndo.size() > HistoryLimit) FUndo.erase(FUndo.begin());
    FRedo.clear();
    FView.HistoryChanged();
}

bool TDuctCommands::SameState(const TState& A) const {
    return SameDuctValues(A.Sheet, Sheet) &&
           std::equal(std::begin(A.View.Units), std::end(A.View.Units), std::begin(View.Units));
}

void TDuctCommands::Restore(const TState& State) {
    Sheet = State.Sheet;
    std::copy(std::begin(State.View.Units), std::end(State.View.Units), std::begin(View.Units));
    ApplyUnits();
    ShowValues();
    ShowGroups();
    ShowStatus();
    FView.ResultsChanged();
    FView.HistoryChanged();
}

void TDuctCommands::Step(std::vector<TState>& From, std::vector<TState>& To) {
    if (From.empty()) return;
    To.push_back({Sheet, View});
    TState State = std::move(From.back());
    From.pop_back();
    Restore(State);
}

void TDuctCommands::Undo() {
    Step(FUndo, FRedo);
}

void TDuctCommands::Redo() {
    Step(FRedo, FUndo);
}

std::string_view TDuctCommands::Description(int Row) {
    const TDuctRowDef* D = DuctRowDef(Row);
    return D ? D->Description : std::string_view{};
}

} // namespace oravent
