// The pressure calculator through a fake window whose edits show values
// with their formats, and a picker run over the fixture database.
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "atmosphere/AltBaromCommands.h"
#include "common/TxRegistry.h"
#include "core/atmosphere/LocationFixture.h"
#include "psychro/Hygrocalc.h"

namespace oravent {
namespace {

constexpr auto kPa = TAltBaromEdit::Pressure;
constexpr auto kAlt = TAltBaromEdit::Altitude;

// The picker window: the real picker over the fixture; Choose plays the
// user (return true for OK).
class TFakePickerDialog : public TLocationPickerDialog, public TSelectLocationView {
public:
    test::TLocationFixture F;
    TSelectLocationCommands C{*this, F.Dir.Path()};
    TMemIniFile Store{""};
    std::function<bool(TSelectLocationCommands&)> Choose;
    int Shown = 0;

    TFakePickerDialog() { C.Create(Store); }
    bool Execute(std::string_view LastLocation) override {
        ++Shown;
        C.SetLastLocation(LastLocation);
        C.Activate();
        const bool Ok = Choose(C) && C.Accept();
        if (!Ok) C.Cancel();
        C.Close(Store);
        return C.ModalResult() == TSelectLocationCommands::mrOk;
    }
    std::string SelectionText() const override { return C.SelectionText(); }
    TLocationRec Record() const override { return C.Current(); }

    void ShowDatabases(const std::vector<std::string>&, int) override {}
    void ShowRegions(const std::vector<std::string>&, int) override {}
    void ShowPlaces(int) override {}
    void ShowDetails(const TLocationDetails&) override {}
    void ShowStatus(int, std::string_view) override {}
    void ShowMessage(std::string_view) override {}
};

// Two formatted edits: a value shown is the text of its format read back,
// typing leaves the edit modified until it is left.
class TFakeBarometer : public TAltBaromView {
public:
    TAltBaromCommands* Commands = nullptr;
    double Values[2] = {NAN, NAN};
    int Units[2] = {-1, -1};
    bool Modified[2] = {false, false};
    int Focused = -1;
    std::string Status = "unset";
    std::vector<std::string> Errors;
    TFakePickerDialog* Picker = nullptr;

    void SetEditUnits(TAltBaromEdit E, int Shown) override { Units[int(E)] = Shown; }
    int EditUnits(TAltBaromEdit E) const override { return Units[int(E)]; }
    double EditValue(TAltBaromEdit E) const override { return Values[int(E)]; }
    void ShowEditValue(TAltBaromEdit E, double V) override {
        Values[int(E)] = StrToFloat(FormatNumber(AltBaromEditDef(E).FormatStr, V));
    }
    void ShowStatus(std::string_view Text) override { Status = Text; }
    void ShowError(std::string_view M) override { Errors.emplace_back(M); }
    void CommitFocusedEdit() override {
        if (Focused >= 0) Leave();
    }
    TLocationPickerDialog* LocationPicker() override { return Picker; }

    void Type(TAltBaromEdit E, double V) {
        Focused = int(E);
        Values[Focused] = V;
        Modified[Focused] = true;
    }
    // Enter, Tab or an arrow key: the edit is left.
    void Leave() {
        if (Focused >= 0 && Modified[Focused]) {
            Modified[Focused] = false;
            Commands->EditLeft(static_cast<TAltBaromEdit>(Focused));
        }
        Focused = -1;
    }
};

struct TBarometer {
    TFakeBarometer V;
    TAltBaromCommands C{V};
    TMemIniFile Common{""};
    TBarometer() { V.Commands = &C; }
    // Creation, then the host's showing.
    void Show(double Host) {
        C.Create(Common);
        C.Start(Host);
        C.Activate();
    }
};

TEST(AltBarom, StandardPressureShowsSeaLevelAndAnAltitudeGivesItsPressure) {
    TBarometer B;
    B.Show(101.325);
    EXPECT_EQ(B.V.Status, "Ready...");
    EXPECT_NEAR(B.V.Values[1], 0.0, 0.05);
    B.V.Type(kAlt, 1500);
    B.V.Leave();
    EXPECT_EQ(B.V.Status, "Altitude modified by user");
    EXPECT_EQ(B.V.Values[0], 84.556); // shown with three decimals
    EXPECT_NEAR(B.C.Pressure(), AtmPressure(1500), 1e-12);
    B.C.Accept();
    EXPECT_EQ(B.C.ModalResult(), TAltBaromCommands::mrOk);
    EXPECT_EQ(B.C.Pressure(), 84.556); // what the edit shows goes back to the host
    EXPECT_EQ(B.C.Altitude(), 1500.0);
}

TEST(AltBarom, AcceptWithoutLeavingCommitsTheTypedPressure) {
    TBarometer B;
    B.Show(101.325);
    B.V.Type(kPa, 90.0);
    B.C.Accept();
    EXPECT_EQ(B.V.Status, "Pressure modified by user");
    EXPECT_EQ(B.C.Pressure(), 90.0);
    EXPECT_NEAR(B.C.Altitude(), std::round(Altitude(90.0) * 10) / 10, 1e-9);
    EXPECT_GT(B.C.Altitude(), 900.0);
}

TEST(AltBarom, CancelStillStoresWhatWasShowingAndTheNextOpeningTakesTheHostValue) {
    TBarometer B;
    B.Show(101.325);
    B.V.Type(kPa, 95.5);
    B.V.Leave();
    B.C.Cancel();
    B.C.Close(B.Common);
    EXPECT_EQ(B.C.ModalResult(), TAltBaromCommands::mrCancel);
    EXPECT_EQ(B.Common.ReadReal("Barometer", "Pressure", 0), 95.5);
    EXPECT_NEAR(B.Common.ReadReal("Barometer", "Altitude", 0), Altitude(95.5), 0.05);
    // Next time: created again from the store, then the host's value.
    TBarometer Next;
    Next.Common.SetFileText("[Barometer]\nPressure=95.5\nAltitude=12\n");
    Next.C.Create(Next.Common);
    EXPECT_EQ(Next.V.Values[0], 95.5); // the stored pair shows until the host sets its own
    EXPECT_EQ(Next.V.Values[1], 12.0);
    Next.C.Start(101.325);
    EXPECT_EQ(Next.V.Values[0], 101.325);
    EXPECT_EQ(Next.C.ModalResult(), TAltBaromCommands::mrNone);
}

TEST(AltBarom, EngineRefusalKeepsThePairAndSaysWhy) {
    const struct {
        const char* Label;
        TAltBaromEdit Edit;
        double Typed;
        const char* Message;
    } Cases[] = {
        {"PressureAboveEngine", kPa, 500.0, "Pressure out of range"},
        {"UnreadablePressure", kPa, NAN, "Pressure is not a number"},
        {"AltitudeAboveEngine", kAlt, 50000.0, "Altitude out of range"},
    };
    for (const auto& Case : Cases) {
        TBarometer B;
        B.Show(90.0);
        const double P = B.C.Pressure(), Z = B.C.Altitude();
        B.V.Type(Case.Edit, Case.Typed);
        B.V.Leave();
        ASSERT_EQ(B.V.Errors.size(), 1u) << Case.Label;
        EXPECT_NE(B.V.Errors[0].find(Case.Message), std::string::npos) << Case.Label;
        EXPECT_EQ(B.C.Pressure(), P) << Case.Label;
        EXPECT_EQ(B.C.Altitude(), Z) << Case.Label;
        EXPECT_EQ(B.V.Values[0], 90.0) << Case.Label; // the edits show the pair again
        EXPECT_EQ(B.V.Status, "Ready...") << Case.Label;
        EXPECT_EQ(PsyStatus(), psOk) << Case.Label;
    }
}

TEST(AltBarom, SettingsRoundTripThroughTheRegistryWithTheirKinds) {
    test::TTempDir Dir;
    TRegistryIniFile Store("Software\\Halvorn\\Common", Dir / "registry.reg");
    TBarometerSettings S;
    S.Units[0] = 2;
    S.Units[1] = 1;
    S.Values[0] = 84.556;
    S.Values[1] = 1500.25;
    S.LastLocation = "Zürich Gulch, Colorado";
    WriteBarometerSettings(Store, S);
    const std::string File = test::GetFile(Dir / "registry.reg");
    EXPECT_NE(File.find("\"Pressure units\"=dword:00000002"), std::string::npos) << File;
    EXPECT_NE(File.find("\"Pressure\"=hex:"), std::string::npos) << File;
    const TBarometerSettings R = ReadBarometerSettings(Store);
    EXPECT_EQ(R.Units[0], 2);
    EXPECT_EQ(R.Units[1], 1);
    EXPECT_EQ(R.Values[0], 84.556);
    EXPECT_EQ(R.Values[1], 1500.25);
    EXPECT_EQ(R.LastLocation, S.LastLocation);
    // Values of another kind take their defaults instead of stopping the window.
    Store.WriteText("Barometer", "Pressure", "high");
    Store.WriteText("Barometer", "Altitude units", "x");
    Store.WriteReal("Barometer", "LastLocation", 3.0);
    const TBarometerSettings D = ReadBarometerSettings(Store);
    EXPECT_EQ(D.Values[0], 101.325);
    EXPECT_EQ(D.Units[1], 0);
    EXPECT_EQ(D.LastLocation, "");
}

TEST(AltBarom, UnusableStoredValuesTakeTheirDefaults) {
    TMemIniFile Common("");
    Common.SetFileText("[Barometer]\nPressure units=99\nAltitude units=-1\nPressure=nan\n"
                       "Altitude=1e999\n");
    const TBarometerSettings S = ReadBarometerSettings(Common);
    EXPECT_EQ(S.Units[0], 0);
    EXPECT_EQ(S.Units[1], 0);
    EXPECT_EQ(S.Values[0], 101.325);
    EXPECT_EQ(S.Values[1], 0.0);
    // A place name with a line break (a damaged record) is stored with a blank.
    TBarometerSettings W;
    W.LastLocation = "Den\r\nver, Colorado";
    WriteBarometerSettings(Common, W);
    EXPECT_EQ(ReadBarometerSettings(Common).LastLocation, "Den  ver, Colorado");
}

TEST(AltBarom, UnitsAreRestoredAndStoredOnClose) {
    TBarometer B;
    B.Common.SetFileText("[Barometer]\nPressure units=1\nAltitude units=1\n");
    B.Show(101.325);
    EXPECT_EQ(B.V.Units[0], 1);
    EXPECT_EQ(B.V.Units[1], 1);
    B.V.Units[0] = 2; // the user picked another unit
    B.C.Close(B.Common);
    EXPECT_EQ(B.Common.ReadInt("Barometer", "Pressure units", -1), 2);
    EXPECT_EQ(B.Common.ReadInt("Barometer", "Altitude units", -1), 1);
}

// The picker's choice: the place named Name in the shown list.
std::function<bool(TSelectLocationCommands&)> Pick(std::string Database, std::string Region,
                                                   std::string Name) {
    return [=](TSelectLocationCommands& C) {
        for (std::size_t I = 0; I < C.Databases().size(); ++I)
            if (C.Databases()[I] == Database) C.DatabasePicked(static_cast<int>(I));
        for (std::size_t I = 0; I < C.Regions().size(); ++I)
            if (C.Regions()[I] == Region) C.RegionPicked(static_cast<int>(I));
        for (int I = 0; I < C.PlaceCount(); ++I)
            if (C.PlaceName(I) == Name) C.PlaceClicked(I);
        return C.HasCurrent() && C.Current().Name == Name;
    };
}

TEST(AltBarom, SearchForLocationTakesThePlacesAltitude) {
    const struct {
        const char* Label;
        const char* Database;
        const char* Region;
        const char* Name;
        double Altitude; // NaN: unchanged
        const char* Status;
        const char* LastLocation;
    } Cases[] = {
        {"WithDesignWeather", "South Africa", "Gauteng", "Johannesburg", 1694,
         "Johannesburg: 29.4/18.9 °C", "Johannesburg, Gauteng"},
        {"WithoutDesignWeather", "United States", "Colorado", "Denver", 1609,
         "Denver: no design weather", "Denver, Colorado"},
    };
    for (const auto& Case : Cases) {
        TBarometer B;
        TFakePickerDialog Picker;
        B.V.Picker = &Picker;
        B.Show(101.325);
        Picker.Choose = Pick(Case.Database, Case.Region, Case.Name);
        B.C.SearchLocation();
        EXPECT_EQ(B.V.Status, Case.Status) << Case.Label;
        EXPECT_EQ(B.C.Altitude(), Case.Altitude) << Case.Label;
        EXPECT_EQ(B.V.Values[1], Case.Altitude) << Case.Label;
        EXPECT_NEAR(B.C.Pressure(), AtmPressure(Case.Altitude), 1e-12) << Case.Label;
        EXPECT_EQ(B.C.LastLocation(), Case.LastLocation) << Case.Label;
    }
}

TEST(AltBarom, PlaceWithoutAltitudeKeepsTheAltitude) {
    TBarometer B;
    TFakePickerDialog Picker;
    Picker.F.States[0].Altitude = TLocationRec::Missing; // Denver
    Picker.F.Write();
    B.V.Picker = &Picker;
    B.Show(95.0);
    const double Z = B.C.Altitude();
    Picker.Choose = Pick("United States", "Colorado", "Denver");
    B.C.SearchLocation();
    EXPECT_EQ(B.C.Altitude(), Z);
    EXPECT_EQ(B.C.Pressure(), 95.0);
    EXPECT_EQ(B.V.Status, "Denver: no altitude given, the altitude is unchanged");
    EXPECT_TRUE(B.V.Errors.empty());
}

TEST(AltBarom, PickerCancelledOrNotYetCreatedChangesNothing) {
    TBarometer B;
    B.Show(101.325);
    B.C.SearchLocation(); // no picker before the first activation's creation
    EXPECT_EQ(B.V.Status, "Ready...");
    TFakePickerDialog Picker;
    B.V.Picker = &Picker;
    Picker.Choose = [](TSelectLocationCommands&) { return false; };
    B.C.SearchLocation();
    EXPECT_EQ(Picker.Shown, 1);
    EXPECT_EQ(B.V.Status, "Ready...");
    EXPECT_EQ(B.C.LastLocation(), "");
    EXPECT_NEAR(B.C.Altitude(), 0.0, 0.05);
}

TEST(AltBarom, LastLocationReselectsThePlaceAndRegionNextTime) {
    TBarometer B;
    TFakePickerDialog Picker;
    B.V.Picker = &Picker;
    B.Show(101.325);
    Picker.Choose = Pick("+All", "+All", "Springfield");
    B.C.SearchLocation();
    EXPECT_EQ(B.C.LastLocation(), "Springfield, Illinois");
    B.C.Close(B.Common);
    EXPECT_EQ(B.Common.ReadText("Barometer", "LastLocation", ""), "Springfield, Illinois");
    // The next time the picker opens: the same place and region, untouched.
    TBarometer Next;
    Next.Common.SetFileText("[Barometer]\nLastLocation=Springfield, Illinois\n");
    TFakePickerDialog Again;
    Again.Store.WriteText("SelectLocationForm", "Database", "United States");
    Again.C.Create(Again.Store);
    Next.V.Picker = &Again;
    Next.Show(101.325);
    std::string Region, Place;
    Again.Choose = [&](TSelectLocationCommands& C) {
        Region = C.ShownRegion();
        Place = C.HasCurrent() ? C.Current().Name : "";
        return true;
    };
    Next.C.SearchLocation();
    EXPECT_EQ(Region, "Illinois");
    EXPECT_EQ(Place, "Springfield");
    EXPECT_EQ(Next.C.Altitude(), 180.0);
}

} // namespace
} // namespace oravent
