// Moist air state files (.psx): exactly one TAirStateRec, the 15 doubles in
// field order as IEEE-754 little-endian, 120 bytes, no header. Longer files
// are read for their first record only. Also the check a stored state must
// pass before it is shown as valid: a file is not the engine's output, so it
// may hold NaN, infinities or an implausible state.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "psychro/Hygrocalc.h"

namespace oravent {

inline constexpr std::size_t AirStateFileSize = sizeof(TAirStateRec); // 120
inline constexpr std::string_view AirStateFileExt = "psx";
inline constexpr std::string_view AirStateFileFilter = "Moist Air State (*.psx)|*.psx";
inline constexpr std::string_view ReadErrorPrefix = "Error reading file ";

// A .psx file that cannot be read ("Error reading file <name>") or written
// ("Unable to write to <name>").
class EAirStateFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The record of the first 120 bytes; false (Rec unchanged) when there are
// fewer.
bool AirStateFromBytes(std::string_view Bytes, TAirStateRec& Rec);
// The 120 bytes of a record.
std::string AirStateToBytes(const TAirStateRec& Rec);

// Reads at most the first 120 bytes of the file. Raises EAirStateFileError
// "Error reading file " + FileName when it cannot be opened or holds fewer;
// Rec is then unchanged.
void ReadAirStateFile(const std::string& FileName, TAirStateRec& Rec);
// Replaces the file atomically with the record. Raises EAirStateFileError
// "Unable to write to " + FileName when the file system refuses.
void WriteAirStateFile(const std::string& FileName, const TAirStateRec& Rec);

// Empty when a stored state may be shown as valid, otherwise the message:
// CheckAirState's (the engine's status of an earlier call is cleared
// first: it says nothing about a stored state), then "Bad data..." when
// any of the eleven shown fields (pressure to specific heat) is not finite.
std::string CheckStoredAirState(const TAirStateRec& Rec);

} // namespace oravent
