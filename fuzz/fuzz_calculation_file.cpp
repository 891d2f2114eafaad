// Fuzzes the calculation file (Oravent.ini) through the duct document's
// reader (duct/DuctFiles.h): ReadCalculation over any INI bytes, then the
// file written back and opened again.
// Input: the file.
// Checks besides "no crash": only EConvertError or EPsychroError (from the
// temperature text), and then the sheet is unchanged; a file that opens
// leaves a sheet whose values are finite and within the keys' limits, whose
// air is a finite state of -60..99 °C at the barometer read, and which
// solves to finite sizes; the file that WriteCalculation writes opens again
// with the same air (dry bulb within 0.05 °C).
#include <cstring>

#include "DuctChecks.h"

using namespace oravent;
using oravent::fuzz::Shown;

namespace {

bool SameSheet(const DuctSheet& A, const DuctSheet& B) {
    for (const TDuctValueKey& K : DuctValueKeys)
        if (std::memcmp(&(A.*K.Field), &(B.*K.Field), sizeof(double)) != 0) return false;
    return A.kIndex == B.kIndex && A.Roughness == B.Roughness &&
           std::memcmp(&A.DuctAir, &B.DuctAir, sizeof A.DuctAir) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    TMemIniFile File("");
    File.SetFileText(Bytes);
    DuctSheet Sheet;
    Sheet.ResetToDefaults();
    const DuctSheet Before = Sheet;
    const std::string What = "file " + Shown(Bytes, 300);
    try {
        ReadCalculation(File, Sheet);
    } catch (const EConvertError&) {
        FUZZ_CHECK(SameSheet(Sheet, Before), What + ": failed open changed the sheet");
        return 0;
    } catch (const EPsychroError&) {
        FUZZ_CHECK(SameSheet(Sheet, Before), What + ": failed open changed the sheet");
        ResetReferenceState();
        return 0;
    }
    fuzz::CheckReadSheet(Sheet, What);
    fuzz::CheckSolve(Sheet, What);

    TMemIniFile Saved("");
    WriteCalculation(Saved, Sheet);
    DuctSheet Again;
    Again.ResetToDefaults();
    try {
        ReadCalculation(Saved, Again);
    } catch (const std::exception& E) {
        FUZZ_CHECK(false, What + ": the file it saves does not open: " + E.what());
    }
    fuzz::CheckReadSheet(Again, What + " saved and opened");
    FUZZ_CHECK(std::fabs(Again.DuctAir.DryBulb - Sheet.DuctAir.DryBulb) <= 0.05 + 1e-9,
               What + ": saved and opened at " + fuzz::Num(Again.DuctAir.DryBulb) + " °C");
    return 0;
}
