// Checks of a duct sheet that a reader filled, shared by the calculation
// file and settings harnesses.
#pragma once

#include "FuzzCheck.h"
#include "duct/DuctFiles.h"

namespace oravent::fuzz {

inline bool AirFinite(const TAirStateRec& R) {
    const double* F = &R.Pressure;
    for (int I = 0; I < 15; ++I)
        if (!std::isfinite(F[I])) return false;
    return true;
}

// The values a reader may leave: the nine keys within their limits, the air
// a finite state within the text's limits, the roughness of the category.
inline void CheckReadSheet(const DuctSheet& S, const std::string& What) {
    for (const TDuctValueKey& K : DuctValueKeys) {
        const double V = S.*K.Field;
        const bool Inside = K.Lo == 0 ? V > 0 && V <= K.Hi : V >= K.Lo && V <= K.Hi;
        FUZZ_CHECK(std::isfinite(V) && Inside, What + ": " + std::string(K.Key) + " " + Num(V));
    }
    FUZZ_CHECK(S.kIndex >= 0 && S.kIndex < RoughnessCount, What + ": kIndex");
    FUZZ_CHECK(S.Roughness == S.RoughnessTable[S.kIndex], What + ": roughness");
    FUZZ_CHECK(AirFinite(S.DuctAir), What + ": air not finite");
    FUZZ_CHECK(S.DuctAir.DryBulb >= -60 && S.DuctAir.DryBulb <= 99,
               What + ": dry bulb " + Num(S.DuctAir.DryBulb));
    FUZZ_CHECK(S.DuctAir.Pressure == S.Barometer, What + ": air at another pressure");
}

// What the window does next: solve. A solved sheet holds finite sizes.
inline void CheckSolve(DuctSheet S, const std::string& What) {
    S.UpdateIntermediates();
    S.Iterate();
    if (!S.Solved) return;
    for (double V : {S.PRate, S.Volume, S.Velocity, S.Diameter, S.Height, S.Width})
        FUZZ_CHECK(std::isfinite(V) && V > 0, What + ": solved with " + Num(V));
}

} // namespace oravent::fuzz
