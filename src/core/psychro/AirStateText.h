// Air state text: the "db/wb" temperature text (dry bulb and optional wet
// bulb in °C) turned into a full moist-air state and back, and the
// plausibility check of a computed state.
//
// Nothing here shows a message. Failures reach the caller as typed errors:
// text that is not a number raises EConvertError (units/NumberText.h), an
// engine failure raises EPsychroError, and CheckAirState returns its message
// as text. The window or tool that called decides how to show them.
#pragma once

#include <string>
#include <string_view>

#include "psychro/Hygrocalc.h"

namespace oravent {

// Limits of the temperature text, °C.
constexpr double kLowestDryBulb = -60.0;
constexpr double kHighestDryBulbState = 99.0; // StrToAirState clamps to this
constexpr double kHighestDryBulbPair = 150.0; // StrToDryWetBulb clamps to this
// Relative humidity of the lowest wet bulb accepted with an explicit pair.
constexpr double kWetBulbFloorHumidity = 0.01;

// Full state of a temperature text at pressure P (kPa). The dry bulb is
// clamped to -60..99 °C; a wet bulb above the dry bulb becomes the dry bulb,
// one below the 1 % humidity wet bulb becomes that; without a wet bulb the
// one of RHDefault is taken. Returns true when the dry bulb or the given wet
// bulb was moved to one of these limits. Raises EConvertError or EPsychroError.
bool StrToAirState(std::string_view Text, TAirStateRec& Rec, double P, double RHDefault);

// Dry bulb and wet bulb of a temperature text. The dry bulb is clamped to
// -60..150 °C; an implausible pair is replaced by the 50 % wet bulb. Raises
// EConvertError for bad text, EPsychroError only when the substitute fails
// too: with the check message of the trial state, or the engine's reason when
// the engine refused the pair itself.
void StrToDryWetBulb(std::string_view Text, double& DB, double& WB, double P);

// Empty for a plausible state, otherwise the message of the first failed
// check ("Dry bulb too high...", ..., "Bad data...").
std::string CheckAirState(const TAirStateRec& Rec);

// Fmt + "/" + Fmt applied to DryBulb and WetBulb ("%0.1f" gives "13.0/12.0").
std::string AirStateToStr(const TAirStateRec& Rec, std::string_view Fmt);

} // namespace oravent
