// Fuzzes the location record file reader (atmosphere/LocationDatabase.h):
// any bytes as a .wdb file.
// Checks besides "no crash": the whole 84-byte records are read and the
// tail is counted, never read; a name is at most 31 Windows-1252
// characters; a record written back reads the same (names as they were
// shown, every number bit for bit, NaN as NaN); the details table the picker
// shows never prints "nan" or "inf" (a missing number shows "n/a").
#include <cstring>

#include "FuzzCheck.h"
#include "atmosphere/LocationDatabase.h"
#include "atmosphere/LocationText.h"

using namespace oravent;
using oravent::fuzz::Shown;

namespace {

bool SameFloat(float A, float B) {
    return std::memcmp(&A, &B, sizeof A) == 0 || (std::isnan(A) && std::isnan(B));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    const TLocationFile File = ParseLocationFile(Bytes);
    FUZZ_CHECK(File.Records.size() == Size / 84, std::to_string(File.Records.size()));
    FUZZ_CHECK(File.TailBytes == Size % 84, std::to_string(File.TailBytes));
    for (const TLocationRec& R : File.Records) {
        // UTF-8 of at most 31 Windows-1252 characters: 3 bytes each at most.
        FUZZ_CHECK(R.Name.size() <= 31 * 3, Shown(R.Name));
        const TLocationRec Back =
            DecodeLocationRec(reinterpret_cast<const unsigned char*>(EncodeLocationRec(R).data()));
        FUZZ_CHECK(Back.Name == R.Name, Shown(R.Name) + " came back as " + Shown(Back.Name));
        FUZZ_CHECK(Back.DatabaseCode == R.DatabaseCode && Back.RegionCode == R.RegionCode,
                   "codes changed on the way back");
        for (const TLocationField& F : LocationFields)
            FUZZ_CHECK(SameFloat(Back.*F.Field, R.*F.Field), std::string(F.Name));
        for (const TLocationDetailRow& Row : LocationDetails(R)) {
            for (const char* Bad : {"nan", "NaN", "inf", "INF"})
                FUZZ_CHECK(Row.Value.find(Bad) == std::string::npos,
                           Row.Caption + ": " + Row.Value);
        }
    }
    return 0;
}
