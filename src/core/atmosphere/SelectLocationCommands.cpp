#include "atmosphere/SelectLocationCommands.h"

#include <algorithm>
#include <set>

#include "common/TextCodec.h"
#include "common/TxRegistry.h"
#include "units/NumberText.h"

namespace oravent {

std::string MissingDatabaseMessage(std::string_view Database) {
    return "The " + std::string(Database) +
           " Database has not been installed...\r\nPlease install the Halvorn Terralog Database.";
}

namespace {

constexpr std::string_view KeyDatabase = "Database", KeyRegion = "Region", KeyPlace = "Place";

std::string ReadStored(const TCustomIniFile& Store, std::string_view Ident) {
    try {
        return Store.ReadText(SelectLocationSection, Ident, "");
    } catch (const ERegistryException&) {
        return {};
    }
}

// Position of Name in List: the same text first, else the same without
// regard to case; -1 when absent.
int FindName(const std::vector<std::string>& List, std::string_view Name) {
    const auto Same = std::find(List.begin(), List.end(), Name);
    if (Same != List.end()) return static_cast<int>(Same - List.begin());
    for (std::size_t I = 0; I < List.size(); ++I)
        if (SameText(List[I], Name)) return static_cast<int>(I);
    return -1;
}

bool HasControl(std::string_view Text) {
    return std::any_of(Text.begin(), Text.end(),
                       [](char C) { return static_cast<unsigned char>(C) < ' '; });
}

// Names in list order, each once (without regard to case); blank names and
// names with control characters (a damaged index) left out.
std::vector<std::string> ListOrder(std::vector<std::string> Names) {
    std::vector<std::string> Out;
    std::set<std::string> Seen; // folded
    for (std::string& N : Names) {
        if (TrimBlanks(N).empty() || HasControl(N)) continue;
        if (Seen.insert(FoldCase(N)).second) Out.push_back(std::move(N));
    }
    SortLocationNames(Out);
    return Out;
}

const TLocationDetails NoDetails{};

} // namespace

TSelectLocationCommands::TSelectLocationCommands(TSelectLocationView& View, std::string DataFolder)
    : FView(View), FFolder(std::move(DataFolder)) {}

TSelectLocationCommands::~TSelectLocationCommands() = default;

void TSelectLocationCommands::Create(const TCustomIniFile& Store) {
    FDatabaseName = ReadStored(Store, KeyDatabase);
    FRegionName = ReadStored(Store, KeyRegion);
    FPlaceName = ReadStored(Store, KeyPlace);
    FView.ShowStatus(0, "");
    FView.ShowStatus(1, "");
}

void TSelectLocationCommands::SetLastLocation(std::string_view Text) {
    FSelectionText = Text;
    FPlaceName = TrimBlanks(GetDelimitedToken(1, ',', Text));
    FRegionName = TrimBlanks(GetDelimitedToken(2, ',', Text));
}

std::string TSelectLocationCommands::ShownDatabase() const {
    return FDatabaseSel >= 0 ? FDatabases[FDatabaseSel] : std::string();
}

std::string TSelectLocationCommands::ShownRegion() const {
    return FRegionSel >= 0 ? FRegions[FRegionSel] : std::string();
}

const std::string& TSelectLocationCommands::PlaceName(int Row) const {
    return FRecords[FShown.at(Row)].Name;
}

void TSelectLocationCommands::Activate() {
    FModalResult = mrNone;
    FIndex = std::make_unique<TRegionIndex>(RegionIndexPath(FFolder));
    FDatabases = ListOrder(FIndex->Databases());
    FDatabaseSel =
        FDatabaseName.empty() ? (FDatabases.empty() ? -1 : 0) : FindName(FDatabases, FDatabaseName);
    FDatabaseName = ShownDatabase();
    FView.ShowDatabases(FDatabases, FDatabaseSel);
    FFilter.clear();
    FFoldedFilter.clear();
    FView.ShowFilter("");
    OpenDatabase();
}

void TSelectLocationCommands::DatabasePicked(int Index) {
    if (Index < -1 || Index >= static_cast<int>(FDatabases.size())) return;
    FDatabaseSel = Index;
    OpenDatabase();
}

void TSelectLocationCommands::RegionPicked(int Index) {
    if (Index < -1 || Index >= static_cast<int>(FRegions.size())) return;
    FRegionSel = Index;
    FillPlaces();
}

void TSelectLocationCommands::PlaceClicked(int Row) {
    if (Row < 0 || Row >= PlaceCount()) return;
    FPlaceSel = Row;
    ReadSelected();
}

bool TSelectLocationCommands::PlaceDoubleClicked(int Row) {
    PlaceClicked(Row);
    return Accept();
}

// The previous file is closed first. A missing file leaves no regions and
// no places, so nothing from the database shown before can be accepted.
void TSelectLocationCommands::OpenDatabase() {
    FRecords.clear();
    FFolded.clear();
    const std::string Database = ShownDatabase();
    std::optional<TLocationFile> File;
    if (FIndex) File = ReadLocationFile(LocationFileName(FFolder, Database));
    if (!File) {
        FView.ShowMessage(MissingDatabaseMessage(Database));
        FRegions.clear();
        FRegionSel = -1;
        FView.ShowRegions(FRegions, FRegionSel);
        ClearPlaces();
        return;
    }
    FRecords = std::move(File->Records);
    FFolded.reserve(FRecords.size());
    for (const TLocationRec& Rec : FRecords)
        FFolded.push_back(FoldForSearch(Rec.Name));
    FRegions = ListOrder(FIndex->Regions(Database));
    FRegionSel = FindName(FRegions, FRegionName);
    if (FRegionSel < 0 && !FRegions.empty()) FRegionSel = 0;
    FRegionName = ShownRegion();
    FView.ShowRegions(FRegions, FRegionSel);
    FillPlaces();
}

void TSelectLocationCommands::ClearPlaces() {
    FEntries.clear();
    FShown.clear();
    FPlaceSel = -1;
    FView.ShowPlaces(-1);
    ReadSelected();
}

void TSelectLocationCommands::FillPlaces() {
    const std::string Database = ShownDatabase();
    const int Code = FIndex ? FIndex->Code(Database, ShownRegion()) : 0;
    const bool ByDatabase = SameText(Database, AllDatabases);
    FEntries.clear();
    for (std::size_t I = 0; I < FRecords.size(); ++I) {
        const TLocationRec& R = FRecords[I];
        if (Code == 0 || (ByDatabase ? R.DatabaseCode : R.RegionCode) == Code)
            FEntries.push_back(static_cast<std::int32_t>(I));
    }
    std::sort(FEntries.begin(), FEntries.end(), [&](std::int32_t A, std::int32_t B) {
        if (FFolded[A] != FFolded[B]) return FFolded[A] < FFolded[B];
        if (FRecords[A].Name != FRecords[B].Name) return FRecords[A].Name < FRecords[B].Name;
        return A < B;
    });
    ApplyFilter(false);
    int Row = -1;
    for (int I = 0; I < PlaceCount() && Row < 0; ++I)
        if (PlaceName(I) == FPlaceName) Row = I;
    for (int I = 0; I < PlaceCount() && Row < 0; ++I)
        if (SameText(PlaceName(I), FPlaceName)) Row = I;
    if (Row < 0 && PlaceCount() > 0) Row = 0;
    FPlaceSel = Row;
    FView.ShowPlaces(FPlaceSel);
    ReadSelected();
}

// Narrowing (the text grew): only the places listed now can stay.
void TSelectLocationCommands::ApplyFilter(bool Narrowing) {
    const std::vector<std::int32_t>& From = Narrowing ? FShown : FEntries;
    if (FFoldedFilter.empty()) {
        FShown = From;
        return;
    }
    std::vector<std::int32_t> Out;
    Out.reserve(From.size());
    for (std::int32_t RecNo : From)
        if (FoldedContains(FFolded[RecNo], FFoldedFilter)) Out.push_back(RecNo);
    FShown = std::move(Out);
}

void TSelectLocationCommands::SetFilter(std::string_view Text) {
    std::string Folded = FoldForSearch(Text);
    const bool Narrowing = Folded.starts_with(FFoldedFilter);
    const std::int32_t Before = FPlaceSel >= 0 ? FShown[FPlaceSel] : -1;
    FFilter = Text;
    FFoldedFilter = std::move(Folded);
    ApplyFilter(Narrowing);
    int Row = -1;
    if (Before >= 0) {
        const auto It = std::find(FShown.begin(), FShown.end(), Before);
        if (It != FShown.end()) Row = static_cast<int>(It - FShown.begin());
    }
    if (Row < 0 && !FShown.empty()) Row = 0;
    FPlaceSel = Row;
    FView.ShowPlaces(FPlaceSel);
    const std::int32_t After = FPlaceSel >= 0 ? FShown[FPlaceSel] : -1;
    if (After != Before || After < 0) ReadSelected();
}

void TSelectLocationCommands::ReadSelected() {
    if (FPlaceSel < 0 || FPlaceSel >= PlaceCount()) {
        FHasCurrent = false;
        FView.ShowDetails(NoDetails);
        FView.ShowStatus(0, "");
        FView.ShowStatus(1, "");
        return;
    }
    const std::int32_t RecNo = FShown[FPlaceSel];
    FCurrent = FRecords[RecNo];
    FHasCurrent = true;
    FView.ShowDetails(LocationDetails(FCurrent));
    FRegionName = SettleRegionName(FCurrent);
    FSelectionText = LocationSelectionText(FCurrent.Name, FRegionName);
    FView.ShowStatus(0, RecordStatusText(RecNo + 1, RecordCount()));
    FView.ShowStatus(1, FSelectionText);
}

// The record's region: the shown database's name, or under "+All" the
// database of its DatabaseCode; then, for a record with a region, the shown
// region, or under a shown "+All" region the region of its RegionCode in
// that database (the database's name stays when the index has none).
std::string TSelectLocationCommands::SettleRegionName(const TLocationRec& Rec) {
    const std::string Database = ShownDatabase();
    std::string Name =
        SameText(Database, AllDatabases) ? FIndex->DatabaseNameOf(Rec.DatabaseCode) : Database;
    if (Rec.RegionCode != 0) {
        const std::string Region = ShownRegion();
        if (!SameText(Region, AllDatabases)) {
            Name = Region;
        } else {
            const std::string& Found = FIndex->NameOf(Name, Rec.RegionCode);
            if (!Found.empty()) Name = Found;
        }
    }
    return Name;
}

bool TSelectLocationCommands::Accept() {
    if (!FHasCurrent || FPlaceSel < 0) return false;
    FModalResult = mrOk;
    return true;
}

void TSelectLocationCommands::Cancel() {
    FModalResult = mrCancel;
}

void TSelectLocationCommands::Close(TCustomIniFile& Store) {
    FDatabaseName = ShownDatabase();
    FRegionName = ShownRegion();
    FPlaceName = FPlaceSel >= 0 && FPlaceSel < PlaceCount() ? PlaceName(FPlaceSel) : std::string();
    // The file and the lists are released whether or not the save succeeds.
    struct TRelease {
        TSelectLocationCommands& C;
        ~TRelease() { C.Release(); }
    } Release{*this};
    auto* Registry = dynamic_cast<TRegistryIniFile*>(&Store);
    if (Registry) Registry->BeginUpdate();
    try {
        Store.WriteText(SelectLocationSection, KeyDatabase, SettingText(FDatabaseName));
        Store.WriteText(SelectLocationSection, KeyRegion, SettingText(FRegionName));
        Store.WriteText(SelectLocationSection, KeyPlace, SettingText(FPlaceName));
    } catch (...) {
        if (Registry) Registry->EndUpdate();
        throw;
    }
    if (Registry) Registry->EndUpdate();
}

void TSelectLocationCommands::Release() {
    FRecords.clear();
    FFolded.clear();
    FEntries.clear();
    FShown.clear();
    FPlaceSel = -1;
    FIndex.reset();
}

} // namespace oravent
