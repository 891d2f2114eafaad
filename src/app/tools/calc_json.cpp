#include "calc_json.h"

#include <stdexcept>
#include <string>

namespace oravent::calc {

namespace {

// A field of the air record; Imperial names its imperial unit. The
// kinematic viscosity is an area per second: the area units with "/s".
struct TAirField {
    std::string_view Key;
    double TAirStateRec::*Field;
    TUnitsType Type; // utNone: dimensionless
    std::string_view Imperial;
    bool PerSecond = false;
};

constexpr TAirField AirFields[] = {
    {"pressure", &TAirStateRec::Pressure, utPressure, "Psi"},
    {"dry_bulb", &TAirStateRec::DryBulb, utTemperature, "°F"},
    {"wet_bulb", &TAirStateRec::WetBulb, utTemperature, "°F"},
    {"enthalpy", &TAirStateRec::Enthalpy, utEnthalpy, "Btu/lb"},
    {"abs_humidity", &TAirStateRec::AbsHumidity, utHumidity, "gr/lb"},
    {"rel_humidity", &TAirStateRec::RelHumidity, utNone, ""},
    {"dew_point", &TAirStateRec::DewPoint, utTemperature, "°F"},
    {"vap_pressure", &TAirStateRec::VapPressure, utPressure, "Psi"},
    {"sat_pressure", &TAirStateRec::SatPressure, utPressure, "Psi"},
    {"density", &TAirStateRec::Density, utDensity, "lb/ft³"},
    {"specific_heat", &TAirStateRec::SpecificHeat, utSpecificHeat, "Btu/lb°F"},
    {"specific_volume", &TAirStateRec::Reserved1, utSpecificVol, "ft³/lb"},
    {"vapour_mole_fraction", &TAirStateRec::Reserved2, utNone, ""},
    {"viscosity", &TAirStateRec::Viscosity, utViscosity, "lbm/ft·s"},
    {"kinematic_viscosity", &TAirStateRec::Reserved3, utArea, "ft²", true},
};

} // namespace

TRowConversion CatalogueConversion(TUnitsType Type, int Shown, int Base) {
    TRowConversion C;
    GetUnitsConversion(Type, Shown, Base, C.FormatStr, C.Offset, C.Factor, C.Caption);
    return C;
}

int CatalogueIndex(TUnitsType Type, std::string_view Caption) {
    for (int I = 0; I < UnitsCount(Type); ++I) {
        if (UnitsCaption(Type, I) == Caption) return I;
    }
    throw std::logic_error("no unit '" + std::string(Caption) + "' in the catalogue");
}

void PutQuantity(TJson& Obj, TJson& Units, std::string_view Key, double Base,
                 const TRowConversion& C) {
    const std::string K(Key);
    Obj[K] = C.Shown(Base);
    Units[K] = C.Caption;
}

void PutAirState(TJson& Obj, TJson& Units, const TAirStateRec& Air, bool Imperial) {
    for (const TAirField& F : AirFields) {
        if (F.Type == utNone) {
            Obj[std::string(F.Key)] = Air.*F.Field;
            continue;
        }
        TRowConversion C =
            CatalogueConversion(F.Type, Imperial ? CatalogueIndex(F.Type, F.Imperial) : 0);
        if (F.PerSecond) C.Caption += "/s";
        PutQuantity(Obj, Units, F.Key, Air.*F.Field, C);
    }
}

void WriteJson(std::FILE* To, const TJson& Doc) {
    const std::string Text = Doc.dump(2, ' ', false, TJson::error_handler_t::replace) + "\n";
    std::fwrite(Text.data(), 1, Text.size(), To);
}

} // namespace oravent::calc
