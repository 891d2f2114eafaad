// Entry grid row model: turns row-definition texts ("caption; format; unit;
// flag; low; high[; step]") into field objects and cell texts, moves values
// between base units, shown units and cell text, applies units, and keeps the
// current-row editing state (field, format, limits) that the editing side
// asks for. It works on an abstract table of cell texts (TCellTable), which
// the Qt entry grid widget implements; TMemCellTable is a plain in-memory
// table. Row messages go through TEntryGridReporter. No toolkit code here.
//
// The Qt widget `TEntryGrid` owns one TEntryGridModel, implements TCellTable
// (and usually TEntryGridReporter with a message box) and forwards the row
// operations. Both src/core and src/gui are include roots, so the widget's
// files must not be called TxEntryGrid.h / TxFields.h.
#pragma once

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "controls/TxFields.h"

namespace oravent {

// The table the row model works on: cell texts addressed [column, row],
// row 0 being the header row.
class TCellTable {
public:
    virtual ~TCellTable() = default;
    virtual int ColCount() const = 0;
    virtual int RowCount() const = 0;
    virtual void SetRowCount(int Rows) = 0;
    // Out-of-range cells read as empty text; writes to them are ignored.
    virtual std::string Cell(int ACol, int ARow) const = 0;
    virtual void SetCell(int ACol, int ARow, const std::string& Text) = 0;
    // Redraw requests; a table without a screen ignores them.
    virtual void InvalidateCell(int /*ACol*/, int /*ARow*/) {}
    virtual void InvalidateAll() {}
    // Called first by BuildRows: every editing aid must be hidden because the
    // fields they point at are about to be destroyed.
    virtual void BeforeBuildRows() {}
};

// A plain in-memory table (3 columns, 4 rows unless told otherwise).
class TMemCellTable : public TCellTable {
public:
    explicit TMemCellTable(int Cols = 3, int Rows = 4);
    int ColCount() const override { return Cols_; }
    int RowCount() const override { return static_cast<int>(Cells_.size()); }
    void SetRowCount(int Rows) override;
    void SetColCount(int Cols);
    std::string Cell(int ACol, int ARow) const override;
    void SetCell(int ACol, int ARow, const std::string& Text) override;
    void InvalidateCell(int, int) override { ++Redraws; }
    void InvalidateAll() override { ++Repaints; }
    void BeforeBuildRows() override { ++Rebuilds; }

    int Redraws = 0;
    int Repaints = 0;
    int Rebuilds = 0;

private:
    int Cols_;
    std::vector<std::vector<std::string>> Cells_;
};

// How a row message is shown: an error dialog (error icon) or a plain
// message box; both have a single OK button.
enum class TRowMessageKind { Error, Plain };

// Receives the row messages ("Error initialising A", "Error setting units,
// row 3", ...). The GUI shows a message box; tests collect the texts.
class TEntryGridReporter {
public:
    virtual ~TEntryGridReporter() = default;
    virtual void ShowRowMessage(const std::string& Text, TRowMessageKind Kind) = 0;
};

// A reporter that keeps every message, for tests and tools.
class TRowMessageList : public TEntryGridReporter {
public:
    void ShowRowMessage(const std::string& Text, TRowMessageKind Kind) override {
        Messages.push_back(Text);
        Kinds.push_back(Kind);
    }
    std::vector<std::string> Messages;
    std::vector<TRowMessageKind> Kinds;
};

// A row operation called with a row index outside the sheet where the
// caller's error is raised rather than reported (GetRangeLo, GetRangeHi,
// GetUnitsValue, SetUnitsValue, HasUnits).
class ERowIndexError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

// ApplyUnits could not apply a row's units (unit index outside the kind's
// list, unknown kind, a factor that is zero or not finite).
class EUnitsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TEntryGridModel;

// The editing aids a selected row offers (enabled rows only): buttons by the
// row's EditorKind, the pull-down list and check box by its field class.
struct TRowAids {
    bool PropEditor = false;
    bool Spin = false;
    bool PullDown = false;
    bool CheckBox = false;
};

// Runs the units picker for a row: (grid, row, screen X, screen Y, field).
// The picker writes the chosen index into the field's UnitsValue and calls
// ApplyUnits(Row, field).
using TUnitsPickerProc =
    std::function<void(TEntryGridModel& Grid, int Row, int X, int Y, TField* Field)>;

class TEntryGridModel {
public:
    explicit TEntryGridModel(TCellTable& Table, TEntryGridReporter* Reporter = nullptr);
    TEntryGridModel(const TEntryGridModel&) = delete;
    TEntryGridModel& operator=(const TEntryGridModel&) = delete;

    TCellTable& Table() { return Table_; }
    const TCellTable& Table() const { return Table_; }
    void SetReporter(TEntryGridReporter* Reporter) { Reporter_ = Reporter; }

    // ---- Row definitions -------------------------------------------------
    char Delim() const { return Delim_; }
    void SetDelim(char Delim) { Delim_ = Delim; } // takes effect at the next BuildRows
    const std::vector<std::string>& Lines() const { return Lines_; }
    // Copies the texts and rebuilds all rows (line 0 is the header).
    void SetLines(std::vector<std::string> Lines);
    void SetRows(std::initializer_list<std::string_view> Rows);
    void SetRows(const std::vector<std::string>& Rows) { SetLines(Rows); }
    // Drops every field (and with them units, digits, editors, enabled
    // states) and builds the rows again from Lines.
    void BuildRows();

    // Fields of the text cut at Delim, each trimmed of blanks and control
    // characters; a delimiter at the very end gives no empty last field.
    static std::vector<std::string> SplitFields(std::string_view Text, char Delim);
    // Builds data row ARow from Lines[ARow] (fills its cells, appends its field).
    void ParseRow(int ARow);

    // ---- Values ----------------------------------------------------------
    // Column 1: the row's value (base units for numeric rows; index, Boolean
    // or text for the others). Other columns: the cell text. A row outside
    // the sheet gives the empty text. Never reports.
    TFieldValue GetValue(int ACol, int ARow) const;
    // Column 1: the value-cell text made from the value (empty when it cannot
    // be converted). Other columns: the value's text. Outside the sheet:
    // nothing is written.
    void SetValue(int ACol, int ARow, const TFieldValue& Value);

    // ---- Units -----------------------------------------------------------
    // The row must be numeric. With utNone, Factor and Offset are taken from
    // the arguments. On failure the shown unit falls back to index 0; a
    // second failure reports "Error setting units, row N" and leaves the
    // row's units as they were before the call.
    void SetUnits(int Row, TUnitsType UnitsType, int UnitsBase, int UnitsValue,
                  TFormatType FormatType, double Factor = 1.0, double Offset = 0.0);
    // Re-shows a numeric row after its units changed; the held value stays.
    // Raises EUnitsError (changing nothing) when the units cannot be applied.
    void ApplyUnits(int Row, TNumField& Field);
    void SetSigDigs(int Row, int Digits);
    // Numeric rows: the limits in shown units; other rows 0. These four raise
    // ERowIndexError for a row outside the sheet.
    double GetRangeLo(int Row);
    double GetRangeHi(int Row);
    int GetUnitsValue(int Row);
    void SetUnitsValue(int Row, int Index);
    bool HasUnits(int Row) const;
    // The row's caption and unit caption as the sheet shows them, for texts
    // about the row: column 0 and column 2; a two-column sheet writes the
    // unit after the first comma of the caption. Empty outside the sheet.
    std::string RowCaption(int Row) const;
    std::string RowUnitCaption(int Row) const;
    int UnitsColumn() const { return UnitsColumn_; }
    void SetUnitsColumn(int Col) { UnitsColumn_ = Col; }
    void SetUnitsPicker(TUnitsPickerProc Picker) { UnitsPicker_ = std::move(Picker); }
    bool HasUnitsPicker() const { return static_cast<bool>(UnitsPicker_); }

    // ---- Row settings ----------------------------------------------------
    void SetPropEditor(int Row, TPropEditHandler Handler);
    void SetRowEnabled(int Row, bool Enabled);
    bool GetRowEnabled(int Row) const; // true for a row outside the sheet

    // ---- Fields ----------------------------------------------------------
    int FieldCount() const { return static_cast<int>(Fields_.size()); }
    // The row's field, or nullptr when the row has none.
    TField* Field(int Row);
    const TField* Field(int Row) const;

    // ---- Current-row editing state ---------------------------------------
    // Cell selection (state part): columns 0 and 2 change nothing; any
    // other column makes ARow current, taking its field, format,
    // format type and (enabled number rows) limits in shown units. Defaults
    // are format "%S", ft_Fixed and limits 0 and 0.
    void SelectCell(int ACol, int ARow);
    int CurrentRow() const { return CurrentRow_; }
    TField* CurrentField() const { return CurrentField_; }
    TNumField* CurrentNumField() const { return CurrentNumField_; }
    TEnumField* CurrentEnumField() const { return CurrentEnumField_; }
    const std::string& CurrentFormatStr() const { return CurrentFormatStr_; }
    TFormatType CurrentFormatType() const { return CurrentFormatType_; }
    double CurrentRangeLo() const { return CurrentRangeLo_; }
    double CurrentRangeHi() const { return CurrentRangeHi_; }
    void SetCurrentFormatStr(std::string FormatStr) { CurrentFormatStr_ = std::move(FormatStr); }

    // The aids to show when ARow's value cell is selected; none for a
    // disabled row, a row without a field or a row outside the sheet.
    TRowAids AidsForRow(int ARow) const;

    // Whether the in-place editor may open on a cell: never in column 0 or 2,
    // on an enumeration row, on a disabled row or outside the sheet.
    bool CanEditCell(int ACol, int ARow) const;

    // ---- Editing actions (the widget fires OnDoSetData when these return true)
    // Spin buttons on the current number field: moves the value to the next
    // multiple of SpinStep above (Up) or below, clamped to the limits.
    bool Spin(bool Up);
    // Enumeration row: next/previous item, wrapping at both ends.
    bool StepEnum(int Row, bool Next);
    // Runs the row's property editor if it has one; returns the editor's
    // result (1 accepted and stored, 2 cancelled), 0 when none ran.
    int RunPropEditor(int Row);
    // Units column click: runs the installed picker for a row with a field,
    // then takes the field's format as the current format. False when no
    // picker or no field.
    bool RunUnitsPicker(int Row, int X, int Y);
    // Reads the row's value and writes it back, so that it is shown again.
    void ReshowValue(int Row);

private:
    bool InSheet(int Row) const { return Row >= 0 && Row < Table_.RowCount(); }
    void Report(const std::string& Text, TRowMessageKind Kind = TRowMessageKind::Plain);
    void ReportRow(const char* Text, int Row);
    TNumField* NumFieldOrReport(int Row, const char* Message);
    void CheckRowIndex(int Row, const char* Operation) const;
    // The row's field for the operations that raise ERowIndexError outside
    // the sheet; a row inside it without a field reports Message + row.
    TField* QueryField(int Row, const char* Operation, const char* Message);
    void ApplyUnitsReading(int Row, TNumField& Field, double ReadFactor, double ReadOffset);
    bool ApplyUnitsWithFallback(int Row, TNumField& Field, double ReadFactor, double ReadOffset);
    void ResetCurrent();

    TCellTable& Table_;
    TEntryGridReporter* Reporter_;
    char Delim_ = ';';
    std::vector<std::string> Lines_;
    std::vector<std::unique_ptr<TField>> Fields_;
    int UnitsColumn_ = 2;
    TUnitsPickerProc UnitsPicker_;

    int CurrentRow_ = -1;
    TField* CurrentField_ = nullptr;
    TNumField* CurrentNumField_ = nullptr;
    TEnumField* CurrentEnumField_ = nullptr;
    std::string CurrentFormatStr_ = "%S";
    TFormatType CurrentFormatType_ = ft_Fixed;
    double CurrentRangeLo_ = 0;
    double CurrentRangeHi_ = 0;
};

} // namespace oravent
