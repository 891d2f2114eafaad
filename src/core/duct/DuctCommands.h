// The duct window's commands without the window: what a committed edit,
// Solve, Reset to Defaults, Metric, Imperial, a units change, activation,
// Open, Save and the settings do, in which order, and what they show. The
// window implements TDuctView over its grid and status bar and forwards its
// events here; tests drive the same commands through a fake view.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "duct/DuctFiles.h"
#include "duct/StandardSizeTable.h"

namespace oravent {

// The window as the commands see it. Rows are grid rows 1..9.
class TDuctView {
public:
    virtual ~TDuctView() = default;
    // The row's value in its base unit (the grid's GetValue of the value cell).
    virtual TFieldValue RowValue(int Row) const = 0;
    virtual void ShowRowValue(int Row, const TFieldValue& Value) = 0;
    virtual void SetRowUnits(int Row, TUnitsType Type, int Base, int Shown) = 0;
    // The shown unit index the row has now.
    virtual int RowUnits(int Row) const = 0;
    // Panel 0 solved state, 1 flow group, 2 size group.
    virtual void ShowStatus(int Panel, std::string_view Text) = 0;
    // A message the user must acknowledge.
    virtual void ShowError(std::string_view Message) = 0;
    // The results changed: the report follows.
    virtual void ResultsChanged() = 0;
    // The rows whose values the engineer entered (KnownDuctRows), shown
    // apart from the solved ones.
    virtual void ShowKnownRows(const std::vector<int>& Rows) { (void)Rows; }
    // What Undo and Redo can do changed.
    virtual void HistoryChanged() {}
};

class TDuctCommands {
public:
    // The sheet takes its reset values.
    explicit TDuctCommands(TDuctView& View);

    DuctSheet Sheet;
    // Unit choices of the rows and column widths; read and written with the
    // settings. The unit choices follow every units change.
    TDuctViewSettings View;

    // Start: the stored settings over the reset sheet (before the rows exist).
    void LoadSettings(const TCustomIniFile& Store);
    // Gives the numeric rows their units from the unit choices.
    void ApplyUnits();
    // The sheet as the window first shows it: solved (SettleDuctSheet), its
    // values, groups and status. A sheet that cannot be solved shows its
    // stored values under "Not Solved", without a message.
    void Start();
    // Every row's value, the two group panels, the solved panel.
    void ShowValues();
    void ShowGroups();
    void ShowStatus();

    // A committed value of a row: its sheet operation, Iterate, the status;
    // values and groups after a normal end, the message after an arithmetic
    // failure; results changed either way. A value the sheet cannot take
    // shows its error and the sheet's values again, and nothing iterates.
    void CommitEdit(int Row);
    void Solve();
    void ResetToDefaults();
    void SetUnitSystem(TUnitSystem System);
    // The units of one row were changed in the grid.
    void UnitsPicked(int Row);
    // The window became active.
    void Activate();
    // An accepted roughness table: the sheet takes it and is solved again
    // (as Solve); nothing happens when the table is the same.
    void SetRoughnessTable(const double (&Table)[RoughnessCount]);

    // Undo and Redo over the commands that change the sheet or its units
    // (edits, Solve, Reset to Defaults, Open, the roughness table, unit
    // changes). A command that changes nothing leaves no step.
    bool CanUndo() const { return !FUndo.empty(); }
    bool CanRedo() const { return !FRedo.empty(); }
    void Undo();
    void Redo();
    // Steps kept; the oldest go first.
    static constexpr std::size_t HistoryLimit = 200;

    // Open: the calculation over the sheet, then solved and shown as at Start;
    // an arithmetic failure shows its message.
    // Returns the keys whose stored text was replaced by the default.
    // Raises what ReadCalculation raises (the sheet is then unchanged).
    std::vector<std::string> OpenCalculation(const TCustomIniFile& File);
    void SaveCalculation(TCustomIniFile& File) const;
    // Reads the shown units from the view, then writes every setting.
    void SaveSettings(TCustomIniFile& Store);

    // The standard-size search's series and limits, read and written with
    // the settings.
    TStandardSizeSettings SizeSettings;
    // The units of the standard-size table: those the rows show now.
    TSizeTableUnits SizeUnits() const { return SizeTableUnits(View); }
    // A standard size entered as typed: the volume flow again (so that the
    // flow stays), then the diameter, or the height and then the width;
    // then Iterate. One undo step. A size outside the rows' limits shows
    // the row's message and changes nothing.
    void EnterStandardSize(const TSizeCandidate& Size);
    // The size last entered with EnterStandardSize while the sheet still
    // holds it, with the sheet's numbers; nothing otherwise.
    std::optional<TSizeCandidate> SelectedSize() const;
    // The sheet the standard sizes are proposed for: the sheet itself or,
    // while it holds a size entered with EnterStandardSize, the sheet solved
    // again at the pressure rate it had before the first such size (with
    // the flow it has now), so that choosing a size does not move the list.
    DuctSheet SizingSheet() const;

    // Description of a row for the status bar; empty for the header.
    static std::string_view Description(int Row);

private:
    // What one step of the history holds.
    struct TState {
        DuctSheet Sheet;
        TDuctViewSettings View;
    };
    // Runs a command and keeps the state before it as an undo step when the
    // command changed the sheet or the unit choices.
    template <class TCommand> void Recorded(TCommand&& Command);
    void Restore(const TState& State);
    // Undo or Redo: the newest state of From is restored, the current one
    // goes to To.
    void Step(std::vector<TState>& From, std::vector<TState>& To);
    bool SameState(const TState& A) const;

    // The status after an iteration; the message after an arithmetic
    // failure; values and groups after a normal end (or always).
    void ShowIteration(bool ValuesAfterFailure);

    TDuctView& FView;
    std::vector<TState> FUndo, FRedo;
    std::optional<TSizeCandidate> FSelectedSize;
    double FDesignPRate = 0.0;
};

} // namespace oravent
