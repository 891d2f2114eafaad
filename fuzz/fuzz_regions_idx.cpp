// Fuzzes the region index reader (atmosphere/LocationDatabase.h
// TRegionIndex): any bytes as "Regions.idx".
// Checks besides "no crash": every region a database lists has the code the
// index gives it, and a code other than 0 names a key of that database
// whose code it is (the lookups the picker uses to name a place's region
// and country agree with the index).
#include "FuzzCheck.h"
#include "atmosphere/LocationDatabase.h"

using namespace oravent;
using oravent::fuzz::Shown;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    const TRegionIndex Index = TRegionIndex::FromText(Bytes);
    int Looked = 0;
    for (const std::string& Db : Index.Databases()) {
        for (const std::string& Region : Index.Regions(Db)) {
            if (++Looked > 2000) return 0; // enough for one input
            const int Code = Index.Code(Db, Region);
            if (Code == 0) continue;
            const std::string& Name = Index.NameOf(Db, Code);
            FUZZ_CHECK(!Name.empty(), Shown(Db) + "/" + Shown(Region));
            FUZZ_CHECK(Index.Code(Db, Name) == Code,
                       Shown(Db) + ": " + Shown(Name) + " is not " + std::to_string(Code));
        }
    }
    return 0;
}
