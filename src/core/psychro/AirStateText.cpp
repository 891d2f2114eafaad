#include "psychro/AirStateText.h"

#include "units/NumberText.h"

namespace oravent {

namespace {

struct TTempText {
    double DryBulb = 0;
    bool HasWetBulb = false;
    double WetBulb = 0;
};

// Splits at the first "/" only: a second slash makes the wet bulb part
// unreadable, so "20/15/3" is a conversion error.
TTempText ParseTempText(std::string_view Text) {
    TTempText T;
    T.HasWetBulb = ParseNumberPair(Text, T.DryBulb, T.WetBulb);
    return T;
}

} // namespace

bool StrToAirState(std::string_view Text, TAirStateRec& Rec, double P, double RHDefault) {
    const TTempText T = ParseTempText(Text);
    double DB = T.DryBulb;
    if (!(DB >= kLowestDryBulb)) DB = kLowestDryBulb;
    if (DB > kHighestDryBulbState) DB = kHighestDryBulbState;
    bool Moved = DB != T.DryBulb;
    double WB;
    if (T.HasWetBulb) {
        WB = T.WetBulb;
        if (WB > DB) WB = DB;
        const double Floor = WetBulb(P, DB, kWetBulbFloorHumidity, 3);
        if (!(WB >= Floor)) WB = Floor;
        Moved = Moved || WB != T.WetBulb;
    } else {
        WB = WetBulb(P, DB, RHDefault, 3);
    }
    SetState(Rec, P, DB, WB, 0);
    return Moved;
}

void StrToDryWetBulb(std::string_view Text, double& DB, double& WB, double P) {
    const TTempText T = ParseTempText(Text);
    double D = T.DryBulb;
    if (!(D >= kLowestDryBulb))
        D = kLowestDryBulb;
    else if (D > kHighestDryBulbPair)
        D = kHighestDryBulbPair;
    if (!T.HasWetBulb) {
        WB = WetBulb(P, D, 0.5, 3);
        DB = D;
        return;
    }
    double W = T.WetBulb;
    TAirStateRec Trial;
    bool Failed = false;
    std::string EngineMessage; // why the engine refused the pair, if it did
    try {
        SetState(Trial, P, D, W, 0);
        Failed = !CheckAirState(Trial).empty();
    } catch (const EPsychroError& E) {
        Failed = true;
        EngineMessage = E.what();
    }
    if (Failed) {
        ResetReferenceState();
        try {
            W = WetBulb(P, D, 0.5, 3);
        } catch (const EPsychroError&) {
            // The trial record holds the state that failed its check, or
            // nothing computed when the engine refused the pair; then the
            // engine's reason is the better message (the check of an empty
            // record would only read "Bad data...").
            throw EPsychroError(EngineMessage.empty() ? CheckAirState(Trial) : EngineMessage);
        }
    }
    DB = D;
    WB = W;
}

std::string CheckAirState(const TAirStateRec& Rec) {
    if (Rec.DryBulb > 99) return "Dry bulb too high...";
    if (Rec.WetBulb > 99) return "Wet bulb too high...";
    if (!(Rec.DryBulb >= -60)) return "Dry bulb too low...";
    if (!(Rec.WetBulb >= -60)) return "Wet bulb too low...";
    if (!(Rec.WetBulb - Rec.DryBulb <= 0.1)) return "Wet Bulb > Dry Bulb \u00b0C...";
    if (Rec.RelHumidity < -0.01) return "Low Relative Humidity...";
    if (!(Rec.RelHumidity <= 1.01)) return "High Relative Humidity...";
    if (Rec.AbsHumidity < -0.00001) return "Absolute Humidity < 0 g/kg...";
    if (PsyStatus() != 0) return "Bad data...";
    return {};
}

std::string AirStateToStr(const TAirStateRec& Rec, std::string_view Fmt) {
    return FormatNumber(Fmt, Rec.DryBulb) + "/" + FormatNumber(Fmt, Rec.WetBulb);
}

} // namespace oravent
