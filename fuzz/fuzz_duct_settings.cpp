// Fuzzes the duct window's stored settings (duct/DuctFiles.h:
// LoadDuctSettings) read from a settings file of any bytes through the
// registry store, then saved and loaded again.
// Input: the settings file (registry export format).
// Checks besides "no crash": loading never fails; it leaves the sheet's
// values within their limits, a finite air state, a roughness category in
// range, remembered groups, column widths and unit choices in range, and a
// sheet that solves to finite sizes; what SaveDuctSettings writes loads back
// to the same values.
#include "DuctChecks.h"
#include "common/TxRegistry.h"

using namespace oravent;
using oravent::fuzz::Num;
using oravent::fuzz::Shown;

namespace {

void CheckView(const DuctSheet& S, const TDuctViewSettings& V, const std::string& What) {
    FUZZ_CHECK(S.LastFlow0 <= 3 && S.LastFlow1 <= 3 && S.LastSize0 <= 2 && S.LastSize1 <= 2,
               What + ": groups");
    for (int C = 0; C < GridColumnCount; ++C)
        FUZZ_CHECK(V.ColWidths[C] == DesignedColumnWidths[C] ||
                       (V.ColWidths[C] >= MinColumnWidth && V.ColWidths[C] <= MaxColumnWidth),
                   What + ": column width " + std::to_string(V.ColWidths[C]));
    for (const TDuctRowDef& D : DuctRows) {
        if (!HasUnits(D)) continue;
        const int U = V.Units[static_cast<int>(D.Row)];
        FUZZ_CHECK(U >= 0 && U < UnitsCount(D.UnitsType), What + ": unit " + std::to_string(U));
    }
    for (double R : S.RoughnessTable)
        FUZZ_CHECK(std::isfinite(R), What + ": roughness " + Num(R));
    FUZZ_CHECK(S.FrictionFactor == 0.015, What);
}

const std::string& KeyPath() {
    static const std::string Path = "Software\\Halvorn\\Oravent";
    return Path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string_view Bytes(reinterpret_cast<const char*>(Data), Size);
    const std::string File = fuzz::ScratchFolder() + "/registry.reg";
    const std::string Copy = fuzz::ScratchFolder() + "/saved.reg";
    FUZZ_CHECK(fuzz::WriteFile(File, Bytes), File);
    FUZZ_CHECK(fuzz::WriteFile(Copy, ""), Copy); // an old empty file: a batch reads it once
    const std::string What = "settings " + Shown(Bytes, 300);

    DuctSheet Sheet;
    Sheet.ResetToDefaults();
    TDuctViewSettings View;
    {
        const TRegistryIniFile Store(KeyPath(), File);
        LoadDuctSettings(Store, Sheet, View);
    }
    ResetReferenceState();
    fuzz::CheckReadSheet(Sheet, What);
    CheckView(Sheet, View, What);
    fuzz::CheckSolve(Sheet, What);

    {
        TRegistryIniFile Store(KeyPath(), Copy);
        Store.BeginUpdate();
        SaveDuctSettings(Store, Sheet, View);
        Store.EndUpdate();
    }
    FUZZ_CHECK(fuzz::MakeOld(Copy), Copy);
    DuctSheet Again;
    Again.ResetToDefaults();
    TDuctViewSettings View2;
    {
        const TRegistryIniFile Store(KeyPath(), Copy);
        LoadDuctSettings(Store, Again, View2);
    }
    const std::string What2 = What + " saved and loaded";
    for (const TDuctValueKey& K : DuctValueKeys)
        FUZZ_CHECK(Again.*K.Field == Sheet.*K.Field,
                   What2 + ": " + std::string(K.Key) + " " + Num(Again.*K.Field));
    for (int K = 0; K < RoughnessCount; ++K)
        FUZZ_CHECK(Again.RoughnessTable[K] == Sheet.RoughnessTable[K], What2 + ": roughness");
    FUZZ_CHECK(Again.kIndex == Sheet.kIndex && Again.LastFlow0 == Sheet.LastFlow0 &&
                   Again.LastFlow1 == Sheet.LastFlow1 && Again.LastSize0 == Sheet.LastSize0 &&
                   Again.LastSize1 == Sheet.LastSize1,
               What2);
    FUZZ_CHECK(std::fabs(Again.DuctAir.DryBulb - Sheet.DuctAir.DryBulb) <= 0.05 + 1e-9,
               What2 + ": dry bulb " + Num(Again.DuctAir.DryBulb));
    for (int C = 0; C < GridColumnCount; ++C)
        FUZZ_CHECK(View2.ColWidths[C] == View.ColWidths[C], What2 + ": column width");
    for (int R = 0; R <= DuctRowCount; ++R)
        FUZZ_CHECK(View2.Units[R] == View.Units[R], What2 + ": unit");
    return 0;
}
