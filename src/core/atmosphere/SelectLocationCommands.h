// The location picker without its window (TSelectLocationForm's logic):
// activation with the stored choices, opening a database, the region and
// place lists, the search that narrows the place list, the current record
// with its details, status texts and selection text, accepting and closing
// with the stored "Database", "Region" and "Place".
//
// The window implements TSelectLocationView over its drop-down lists, place
// list, details table, status bar and message box, and forwards the user's
// actions here:
//   creation            Create(program store)
//   each showing        Activate()
//   database picked     DatabasePicked(index in Databases())
//   region picked       RegionPicked(index in Regions())
//   place clicked       PlaceClicked(row), double click PlaceDoubleClicked(row)
//   search text typed   SetFilter(text)
//   Accept / Cancel     Accept() (false: nothing to accept, stay open) / Cancel()
//   closing, every time Close(program store)
// The place list is read through PlaceCount() and PlaceName(row) after each
// ShowPlaces, so a list of thousands of places is not copied per keystroke.
//
// The files are read from the shared data folder given at construction. The
// record file of the shown database is read whole when it is opened, and
// each name's folded form is computed then, once, for the search.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "atmosphere/LocationDatabase.h"
#include "atmosphere/LocationText.h"
#include "common/TxIniFiles.h"

namespace oravent {

// The window's own texts and sizes.
inline constexpr std::string_view SelectLocationSection = "SelectLocationForm";
inline constexpr std::string_view SelectLocationTitle = "Select Location";
inline constexpr std::string_view SelectLocationAccept = "&Accept";
inline constexpr std::string_view SelectLocationCancel = "&Cancel";
inline constexpr int SelectLocationStatusWidths[2] = {110, 200};
inline constexpr int SelectLocationCaptionWidth = 100; // details table, first column

// The object attached to a listed place: its 0-based record number.
struct TLocRec {
    std::int32_t RecNo = -1;
};

// "The <name> Database has not been installed..." CR LF "Please install the
// Halvorn Terralog Database."
std::string MissingDatabaseMessage(std::string_view Database);

class TSelectLocationView {
public:
    virtual ~TSelectLocationView() = default;
    // The sorted database and region lists with the selected entry (-1: none).
    virtual void ShowDatabases(const std::vector<std::string>& Names, int Selected) = 0;
    virtual void ShowRegions(const std::vector<std::string>& Names, int Selected) = 0;
    // The place list changed (read PlaceCount/PlaceName); Selected is the
    // selected row, -1 for none.
    virtual void ShowPlaces(int Selected) = 0;
    // The details table: ten rows of caption and value (all empty: no place).
    virtual void ShowDetails(const TLocationDetails& Rows) = 0;
    // Panel 0 "Record %d of %d", panel 1 the selection text.
    virtual void ShowStatus(int Panel, std::string_view Text) = 0;
    // A message the user must acknowledge.
    virtual void ShowMessage(std::string_view Message) = 0;
    // The search field's text was set (emptied when the picker opens).
    virtual void ShowFilter(std::string_view Text) { (void)Text; }
};

class TSelectLocationCommands {
public:
    static constexpr int mrNone = 0, mrOk = 1, mrCancel = 2;

    TSelectLocationCommands(TSelectLocationView& View, std::string DataFolder);
    ~TSelectLocationCommands();

    // Creation: the stored choices from section "SelectLocationForm" of the
    // program's store (a value of another kind reads as empty); the status
    // panels cleared.
    void Create(const TCustomIniFile& Store);
    // The selection text becomes Text; PlaceName its first comma-separated
    // field and RegionName its second, blanks trimmed.
    void SetLastLocation(std::string_view Text);

    // Every showing: reads the index, lists the databases, selects the
    // stored one (none when it is not listed; the first when none is
    // stored), empties the search, opens the database.
    void Activate();
    void DatabasePicked(int Index);
    void RegionPicked(int Index);
    void PlaceClicked(int Row);
    // Selects the row and accepts.
    bool PlaceDoubleClicked(int Row);
    // Narrows the place list to names containing Text, without regard to
    // case or accents ("zur" finds "Zürich"). The selected place stays
    // selected while it is listed, else the first listed place is selected.
    void SetFilter(std::string_view Text);

    // Result OK when a place is selected; false (result unchanged) when
    // there is none to accept.
    bool Accept();
    void Cancel();
    int ModalResult() const { return FModalResult; }
    // Closing: the shown database and region and the selected place become
    // the stored choices and are saved; the file and lists are released.
    // The selection text and the current record stay readable.
    void Close(TCustomIniFile& Store);

    // The stored choices.
    const std::string& DatabaseName() const { return FDatabaseName; }
    const std::string& RegionName() const { return FRegionName; }
    const std::string& PlaceName() const { return FPlaceName; }

    // What is shown.
    const std::vector<std::string>& Databases() const { return FDatabases; }
    const std::vector<std::string>& Regions() const { return FRegions; }
    int SelectedDatabase() const { return FDatabaseSel; }
    int SelectedRegion() const { return FRegionSel; }
    std::string ShownDatabase() const;
    std::string ShownRegion() const;
    int PlaceCount() const { return static_cast<int>(FShown.size()); }
    const std::string& PlaceName(int Row) const;
    TLocRec PlaceLoc(int Row) const { return {FShown.at(Row)}; }
    int SelectedPlace() const { return FPlaceSel; }
    const std::string& Filter() const { return FFilter; }
    // Records of the open file (0 when none is open).
    int RecordCount() const { return static_cast<int>(FRecords.size()); }

    // The current record and its selection text ("Name, Region").
    bool HasCurrent() const { return FHasCurrent; }
    const TLocationRec& Current() const { return FCurrent; }
    const std::string& SelectionText() const { return FSelectionText; }

private:
    void OpenDatabase();
    void FillPlaces();
    void ApplyFilter(bool Narrowing);
    void SelectPlace(int Row);
    void ReadSelected();
    void ClearPlaces();
    void Release();
    std::string SettleRegionName(const TLocationRec& Rec);

    TSelectLocationView& FView;
    std::string FFolder;
    std::string FDatabaseName, FRegionName, FPlaceName;
    std::unique_ptr<TRegionIndex> FIndex;
    std::vector<std::string> FDatabases, FRegions;
    int FDatabaseSel = -1, FRegionSel = -1;
    // The open record file and the folded names, by record number.
    std::vector<TLocationRec> FRecords;
    std::vector<std::string> FFolded;
    // Record numbers of the region's places in list order, and of the
    // places the search leaves.
    std::vector<std::int32_t> FEntries, FShown;
    int FPlaceSel = -1;
    std::string FFilter, FFoldedFilter;
    TLocationRec FCurrent;
    bool FHasCurrent = false;
    std::string FSelectionText;
    int FModalResult = mrNone;
};

// What the pressure calculator asks of the picker's window.
class TLocationPickerDialog {
public:
    virtual ~TLocationPickerDialog() = default;
    // Hands LastLocation to the picker (SetLastLocation), shows it modally;
    // true when it closed with OK.
    virtual bool Execute(std::string_view LastLocation) = 0;
    // After OK: the selection text and the picked place.
    virtual std::string SelectionText() const = 0;
    virtual TLocationRec Record() const = 0;
};

} // namespace oravent
