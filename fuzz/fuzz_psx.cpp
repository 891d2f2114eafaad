// Fuzzes the moist-air state file reader (psychro/AirStateFile.h): any bytes
// as a .psx file, from memory and from disk.
// Checks besides "no crash": fewer than 120 bytes read as nothing (memory)
// or "Error reading file <name>" (disk) with the record unchanged; otherwise
// the record is the first 120 bytes exactly (written back it gives them
// again), disk and memory agree, and a state that the stored-state check
// passes has every shown field finite and within what the check promises.
#include <fstream>

#include "FuzzCheck.h"
#include "psychro/AirStateFile.h"
#include "psychro/AirStateText.h"
#include "psychro/Hygrocalc.h"

using namespace oravent;
using oravent::fuzz::Num;
using oravent::fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    TAirStateRec Rec{};
    Rec.DryBulb = 12.5; // a mark to see an unchanged record by
    const bool Read = AirStateFromBytes(Bytes, Rec);
    FUZZ_CHECK(Read == (Size >= AirStateFileSize), Shown(Bytes));
    if (!Read) {
        FUZZ_CHECK(Rec.DryBulb == 12.5, "a short input changed the record");
    } else {
        FUZZ_CHECK(AirStateToBytes(Rec) == Bytes.substr(0, AirStateFileSize),
                   "the record is not the file's first 120 bytes");
    }

    const std::string Name = fuzz::ScratchFolder() + "state.psx";
    std::ofstream(Name, std::ios::binary | std::ios::trunc).write(Bytes.data(), Bytes.size());
    TAirStateRec FromDisk{};
    FromDisk.DryBulb = 12.5;
    try {
        ReadAirStateFile(Name, FromDisk);
        FUZZ_CHECK(Read, "a short file was read");
        FUZZ_CHECK(AirStateToBytes(FromDisk) == AirStateToBytes(Rec), "disk and memory differ");
    } catch (const EAirStateFileError& E) {
        FUZZ_CHECK(!Read, E.what());
        FUZZ_CHECK(std::string(E.what()) == "Error reading file " + Name, E.what());
        FUZZ_CHECK(FromDisk.DryBulb == 12.5, "a failed read changed the record");
    }
    if (!Read) return 0;

    const std::string Message = CheckStoredAirState(Rec);
    ResetReferenceState();
    if (Message.empty()) {
        for (double V : {Rec.Pressure, Rec.DryBulb, Rec.WetBulb, Rec.Enthalpy, Rec.AbsHumidity,
                         Rec.RelHumidity, Rec.DewPoint, Rec.VapPressure, Rec.SatPressure,
                         Rec.Density, Rec.SpecificHeat})
            FUZZ_CHECK(std::isfinite(V), "a passed state holds " + Num(V));
        FUZZ_CHECK(Rec.DryBulb >= -60 && Rec.DryBulb <= 99, Num(Rec.DryBulb));
        FUZZ_CHECK(Rec.WetBulb >= -60 && Rec.WetBulb <= 99, Num(Rec.WetBulb));
        FUZZ_CHECK(Rec.WetBulb - Rec.DryBulb <= 0.1,
                   Num(Rec.WetBulb) + " over " + Num(Rec.DryBulb));
        FUZZ_CHECK(Rec.RelHumidity >= -0.01 && Rec.RelHumidity <= 1.01, Num(Rec.RelHumidity));
    }
    return 0;
}
