// The location picker through a fake window over a small fixture database:
// preselection, "+All", code 0, missing files, a database named with a
// point, the search field, accepting and the stored choices.
#include <gtest/gtest.h>

#include "atmosphere/SelectLocationCommands.h"
#include "common/TxIniFiles.h"
#include "core/atmosphere/LocationFixture.h"

namespace oravent {
namespace {

class TFakePicker : public TSelectLocationView {
public:
    std::vector<std::string> Databases, Regions;
    int DatabaseSel = -2, RegionSel = -2, PlaceSel = -2;
    int PlaceShows = 0;
    TLocationDetails Details;
    std::string Panels[2] = {"x", "x"};
    std::vector<std::string> Messages;
    std::string Filter = "typed";

    void ShowDatabases(const std::vector<std::string>& N, int S) override {
        Databases = N;
        DatabaseSel = S;
    }
    void ShowRegions(const std::vector<std::string>& N, int S) override {
        Regions = N;
        RegionSel = S;
    }
    void ShowPlaces(int S) override {
        PlaceSel = S;
        ++PlaceShows;
    }
    void ShowDetails(const TLocationDetails& Rows) override { Details = Rows; }
    void ShowStatus(int Panel, std::string_view Text) override { Panels[Panel] = Text; }
    void ShowMessage(std::string_view M) override { Messages.emplace_back(M); }
    void ShowFilter(std::string_view T) override { Filter = T; }
};

// The names of the place list as the window shows them.
std::vector<std::string> Listed(const TSelectLocationCommands& C) {
    std::vector<std::string> Names;
    for (int I = 0; I < C.PlaceCount(); ++I)
        Names.push_back(C.PlaceName(I));
    return Names;
}

int IndexOf(const std::vector<std::string>& List, std::string_view Name) {
    const auto It = std::find(List.begin(), List.end(), Name);
    return It == List.end() ? -1 : static_cast<int>(It - List.begin());
}

struct TPicker {
    test::TLocationFixture F;
    TFakePicker V;
    TSelectLocationCommands C{V, F.Dir.Path()};
    TMemIniFile Store{""};

    // Creation with stored choices, then the first showing.
    void Open(std::string_view Database, std::string_view Region, std::string_view Place) {
        Store.WriteText("SelectLocationForm", "Database", Database);
        Store.WriteText("SelectLocationForm", "Region", Region);
        Store.WriteText("SelectLocationForm", "Place", Place);
        C.Create(Store);
        EXPECT_EQ(V.Panels[0] + V.Panels[1], "");
        C.Activate();
    }
    void PickDatabase(std::string_view Name) { C.DatabasePicked(IndexOf(C.Databases(), Name)); }
    void PickRegion(std::string_view Name) { C.RegionPicked(IndexOf(C.Regions(), Name)); }
};

TEST(SelectLocation, StoredPlaceAndRegionArePreselectedWithDetailsAndPosition) {
    TPicker P;
    P.Open("South Africa", "Gauteng", "Johannesburg");
    EXPECT_EQ(P.V.Databases,
              (std::vector<std::string>{"+All", "South Africa", "St. Helena", "United States"}));
    EXPECT_EQ(P.V.DatabaseSel, 1);
    EXPECT_EQ(P.V.Regions, (std::vector<std::string>{"+All", "Gauteng", "Western Cape"}));
    EXPECT_EQ(P.V.RegionSel, 1);
    EXPECT_EQ(Listed(P.C), (std::vector<std::string>{"Johannesburg", "Pretoria"}));
    EXPECT_EQ(P.V.PlaceSel, 0);
    EXPECT_EQ(P.V.Details[0].Value, "26.10S");
    EXPECT_EQ(P.V.Details[4].Value, "29.4/18.9 °C");
    EXPECT_EQ(P.V.Panels[0], "Record 2 of 4"); // second record of South Africa.wdb
    EXPECT_EQ(P.V.Panels[1], "Johannesburg, Gauteng");
    EXPECT_EQ(P.C.SelectionText(), "Johannesburg, Gauteng");
    EXPECT_EQ(P.C.PlaceLoc(0).RecNo, 1);
    EXPECT_TRUE(P.V.Messages.empty());
    EXPECT_EQ(P.V.Filter, "");
}

TEST(SelectLocation, LastLocationReselectsPlaceAndRegion) {
    TPicker P;
    P.Store.WriteText("SelectLocationForm", "Database", "United States");
    P.C.Create(P.Store);
    P.C.SetLastLocation("  Springfield ,  Illinois ");
    EXPECT_EQ(P.C.PlaceName(), "Springfield");
    EXPECT_EQ(P.C.RegionName(), "Illinois");
    P.C.Activate();
    EXPECT_EQ(P.C.ShownRegion(), "Illinois");
    ASSERT_TRUE(P.C.HasCurrent());
    EXPECT_EQ(P.C.Current().Name, "Springfield");
    EXPECT_EQ(P.C.SelectionText(), "Springfield, Illinois");
}

TEST(SelectLocation, AllListsByDatabaseCodeAndNamesTheCountry) {
    TPicker P;
    P.Open("+All", "United States", "Atlanta");
    EXPECT_EQ(P.V.Regions,
              (std::vector<std::string>{"+All", "South Africa", "St. Helena", "United States"}));
    // Places whose DatabaseCode is 3, whatever their region.
    EXPECT_EQ(Listed(P.C),
              (std::vector<std::string>{"Atlanta", "Denver", "Springfield", "Zürich Gulch"}));
    EXPECT_EQ(P.C.SelectionText(), "Atlanta, United States");
    EXPECT_EQ(P.V.Panels[0], "Record 8 of 9"); // position in +All.wdb
    EXPECT_EQ(P.V.Details[2].Value, "5W");
    // The "+All" region of "+All": every place, with its region from the
    // index of its own country (the same code names another region there).
    P.PickRegion("+All");
    EXPECT_EQ(P.C.PlaceCount(), 9);
    P.C.PlaceClicked(IndexOf(Listed(P.C), "Denver"));
    EXPECT_EQ(P.C.SelectionText(), "Denver, Colorado");
    P.C.PlaceClicked(IndexOf(Listed(P.C), "Pretoria"));
    EXPECT_EQ(P.C.SelectionText(), "Pretoria, Gauteng");
    P.C.PlaceClicked(IndexOf(Listed(P.C), "Springfield"));
    EXPECT_EQ(P.C.SelectionText(), "Springfield, Illinois");
}

TEST(SelectLocation, RegionCodeZeroListsEveryRecordOfTheDatabase) {
    TPicker P;
    P.Open("South Africa", "+All", "");
    EXPECT_EQ(Listed(P.C), (std::vector<std::string>{"Cape Town", "Hendrina Komati Power Station X",
                                                     "Johannesburg", "Pretoria"}));
    EXPECT_EQ(P.C.SelectionText(), "Cape Town, Western Cape");
    // A 31-character name shows in full.
    P.C.PlaceClicked(1);
    EXPECT_EQ(P.V.Panels[1], test::LongName + ", Western Cape");
    EXPECT_EQ(test::LongName.size(), 31u);
}

TEST(SelectLocation, StoredChoicesThatAreGone) {
    // An unknown region or place falls back to the first entry.
    TPicker A;
    A.Open("United States", "Alaska", "Juneau");
    EXPECT_EQ(A.C.ShownRegion(), "+All");
    EXPECT_EQ(A.C.SelectionText(), "Atlanta, Georgia");
    // Nothing stored: the first database, "+All", and its first place.
    TPicker B;
    B.Open("", "", "");
    EXPECT_EQ(B.C.ShownDatabase(), "+All");
    EXPECT_EQ(B.C.PlaceCount(), 9);
    // An unknown database selects none: the message names an empty database.
    TPicker C;
    C.Open("Atlantis", "", "");
    EXPECT_EQ(C.V.DatabaseSel, -1);
    ASSERT_EQ(C.V.Messages.size(), 1u);
    EXPECT_EQ(C.V.Messages[0], "The  Database has not been installed...\r\n"
                               "Please install the Halvorn Terralog Database.");
}

TEST(SelectLocation, MissingRecordFileSaysSoAndLeavesNothingToAccept) {
    TPicker P;
    P.Open("South Africa", "Gauteng", "Pretoria");
    ASSERT_TRUE(P.C.HasCurrent());
    std::filesystem::remove(P.F.Dir / "United States.wdb");
    P.PickDatabase("United States");
    ASSERT_EQ(P.V.Messages.size(), 1u);
    EXPECT_EQ(P.V.Messages[0], "The United States Database has not been installed...\r\n"
                               "Please install the Halvorn Terralog Database.");
    EXPECT_EQ(P.C.PlaceCount(), 0);
    EXPECT_TRUE(P.V.Regions.empty());
    EXPECT_EQ(P.V.Panels[1], "");
    EXPECT_FALSE(P.C.Accept());
    EXPECT_EQ(P.C.ModalResult(), TSelectLocationCommands::mrNone);
    // Back to a database that is there.
    P.PickDatabase("South Africa");
    EXPECT_TRUE(P.C.Accept());
}

TEST(SelectLocation, DatabaseNamedWithAPointReadsItsShortFile) {
    TPicker P;
    P.Open("St. Helena", "", "");
    EXPECT_TRUE(P.V.Messages.empty());
    EXPECT_EQ(Listed(P.C), (std::vector<std::string>{"Jamestown"}));
    EXPECT_EQ(P.C.SelectionText(), "Jamestown, Jamestown District");
    EXPECT_EQ(P.V.Details[1].Value, "5.72W");
}

TEST(SelectLocation, MissingIndexGivesEmptyLists) {
    TPicker P;
    std::filesystem::remove(P.F.Dir / "Regions.idx");
    P.Open("South Africa", "Gauteng", "Pretoria");
    EXPECT_TRUE(P.V.Databases.empty());
    EXPECT_EQ(P.C.PlaceCount(), 0);
    EXPECT_FALSE(P.C.HasCurrent());
}

TEST(SelectLocation, SearchNarrowsWithoutCaseOrAccents) {
    TPicker P;
    P.Open("+All", "+All", "Pretoria");
    const struct {
        const char* Typed;
        std::vector<std::string> Listed;
        const char* Selected; // "" for none
    } Steps[] = {
        {"z", {"Zürich Gulch"}, "Zürich Gulch"},
        {"",
         {"Atlanta", "Cape Town", "Denver", "Hendrina Komati Power Station X", "Jamestown",
          "Johannesburg", "Pretoria", "Springfield", "Zürich Gulch"},
         "Zürich Gulch"},
        {"ZUR", {"Zürich Gulch"}, "Zürich Gulch"},
        {"zurx", {}, ""},
        {"t",
         {"Atlanta", "Cape Town", "Hendrina Komati Power Station X", "Jamestown", "Pretoria"},
         "Atlanta"},
        {"to", {"Cape Town", "Jamestown", "Pretoria"}, "Cape Town"},
        {"tow", {"Cape Town", "Jamestown"}, "Cape Town"},
        {"own", {"Cape Town", "Jamestown"}, "Cape Town"},
    };
    for (const auto& S : Steps) {
        P.C.SetFilter(S.Typed);
        EXPECT_EQ(Listed(P.C), S.Listed) << S.Typed;
        const std::string Selected =
            P.V.PlaceSel >= 0 ? P.C.PlaceName(P.V.PlaceSel) : std::string();
        EXPECT_EQ(Selected, S.Selected) << S.Typed;
        EXPECT_EQ(P.C.HasCurrent(), *S.Selected != '\0') << S.Typed;
        if (*S.Selected) {
            EXPECT_EQ(P.C.Current().Name, S.Selected) << S.Typed;
        }
    }
    // The search stays while another region is picked.
    P.PickRegion("United States");
    EXPECT_TRUE(Listed(P.C).empty());
    P.C.SetFilter("spr");
    EXPECT_EQ(Listed(P.C), (std::vector<std::string>{"Springfield"}));
    // The search keeps the selected place while it is listed.
    P.C.SetFilter("");
    P.C.PlaceClicked(IndexOf(Listed(P.C), "Springfield"));
    P.C.SetFilter("i");
    EXPECT_EQ(P.C.PlaceName(P.V.PlaceSel), "Springfield");
}

TEST(SelectLocation, AcceptDoubleClickCancelAndClose) {
    TPicker P;
    P.Open("United States", "Colorado", "Denver");
    EXPECT_TRUE(P.C.PlaceDoubleClicked(1));
    EXPECT_EQ(P.C.ModalResult(), TSelectLocationCommands::mrOk);
    EXPECT_EQ(P.C.Current().Name, "Zürich Gulch");
    P.C.Close(P.Store);
    EXPECT_EQ(P.Store.ReadText("SelectLocationForm", "Database", "?"), "United States");
    EXPECT_EQ(P.Store.ReadText("SelectLocationForm", "Region", "?"), "Colorado");
    EXPECT_EQ(P.Store.ReadText("SelectLocationForm", "Place", "?"), "Zürich Gulch");
    // The caller reads the choice after the window closed.
    EXPECT_EQ(P.C.SelectionText(), "Zürich Gulch, Colorado");
    EXPECT_EQ(P.C.PlaceCount(), 0);
    // The next showing starts over from the stored choices.
    P.C.Activate();
    EXPECT_EQ(P.C.ModalResult(), TSelectLocationCommands::mrNone);
    EXPECT_EQ(P.C.Current().Name, "Zürich Gulch");
    P.C.Cancel();
    EXPECT_EQ(P.C.ModalResult(), TSelectLocationCommands::mrCancel);
    // Closed with nothing selected: the place is stored empty.
    P.C.SetFilter("nothing like it");
    P.C.Close(P.Store);
    EXPECT_EQ(P.Store.ReadText("SelectLocationForm", "Place", "?"), "");
}

} // namespace
} // namespace oravent
