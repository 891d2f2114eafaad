// The JSON output of oravent-calc, one writer for every command. Keys are
// snake_case and keep the order they were put in; numbers are written at
// shortest round-trip precision, a number that is not finite as null, and
// text that is not UTF-8 with replacement characters. An object of
// quantities comes with a "units" object that names the unit of each
// quantity under the same key (dimensionless numbers and counts have none).
#pragma once

#include <cstdio>
#include <string_view>

#include <nlohmann/json.hpp>

#include "duct/DuctDocument.h"
#include "psychro/Hygrocalc.h"
#include "units/TxConv.h"

namespace oravent::calc {

using TJson = nlohmann::ordered_json;

// The catalogue's conversion from unit Base to unit Shown of a kind.
TRowConversion CatalogueConversion(TUnitsType Type, int Shown, int Base = 0);
// Index of the unit with this caption in the kind's list; raises
// std::logic_error when the catalogue has none (a fault of the caller).
int CatalogueIndex(TUnitsType Type, std::string_view Caption);

// Obj[Key] = the value in the shown unit, Units[Key] = the unit's caption.
void PutQuantity(TJson& Obj, TJson& Units, std::string_view Key, double Base,
                 const TRowConversion& C);

// Every field of a moist-air state, in SI base units or (Imperial) in
// Psi, °F, Btu/lb, gr/lb, lb/ft³, Btu/lb°F, ft³/lb, lbm/ft·s and ft²/s.
void PutAirState(TJson& Obj, TJson& Units, const TAirStateRec& Air, bool Imperial);

// The document, indented by two, and a line end.
void WriteJson(std::FILE* To, const TJson& Doc);

} // namespace oravent::calc
