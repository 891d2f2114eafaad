// oravent-calc duct --standard: the standard sizes for the solved sheet, as
// the Standard Sizes window lists them (JSON), and the two choices as extra
// CSV columns. The series and limits are the defaults unless options replace
// them; the core reads and checks them as it does the window's fields.
#include <cmath>
#include <memory>

#include "calc_duct.h"

namespace oravent::calc {

namespace {

TSeriesSystem SystemOf(const TDuctOptions& o) {
    return o.Imperial ? TSeriesSystem::Imperial : TSeriesSystem::Metric;
}

TSizeTableUnits TableUnits(const TDuctOptions& o) {
    return SizeTableUnits(o.Imperial ? TUnitSystem::Imperial : TUnitSystem::Metric);
}

// A series size in the shown length unit without the conversion's last-digit
// noise: 12 in, not 12.000000000000002.
void PutSize(TJson& j, TJson& units, std::string_view key, double metres, const TDuctUnits& u) {
    PutQuantity(j, units, key, metres, u.Length);
    j[std::string(key)] = std::round(u.Length.Shown(metres) * 1e9) / 1e9;
}

TJson CandidateJson(const TSizeCandidate& c, const TDuctUnits& u, const TSizeTableUnits& t,
                    TJson& units) {
    TJson j;
    if (c.Shape == TSizeShape::Rectangular) {
        PutSize(j, units, "height", c.Height, u);
        PutSize(j, units, "width", c.Width, u);
        j["aspect"] = c.Aspect;
        PutQuantity(j, units, "diameter", c.Diameter, u.Length);
    } else {
        PutSize(j, units, "diameter", c.Diameter, u);
    }
    const double na = std::nan("");
    PutQuantity(j, units, "velocity", c.Solved ? c.Velocity : na, u.Row(TDuctRow::Velocity));
    PutQuantity(j, units, "velocity_pressure", c.Solved ? c.VelocityPressure : na,
                t.VelocityPressure);
    PutQuantity(j, units, "prate", c.Solved ? c.PRate : na, u.Row(TDuctRow::PRate));
    j["solved"] = c.Solved;
    j["fits"] = c.Fits;
    j["chosen"] = c.Chosen;
    return j;
}

} // namespace

void ResolveStandardOptions(TDuctOptions& o) {
    const TSizeTableUnits t = TableUnits(o);
    TStandardSizeTexts texts = StandardSizeTexts({}, t);
    for (std::size_t i = 0; i < SeriesFields.size(); ++i) {
        if (SeriesFields[i].first != SystemOf(o)) continue;
        const auto& given =
            SeriesFields[i].second == TSizeShape::Round ? o.RoundSeries : o.RectSeries;
        if (given) texts.Series[i] = *given;
    }
    if (o.AspectLimit) texts.AspectLimit = *o.AspectLimit;
    if (o.FixedHeight) texts.FixedHeight = *o.FixedHeight;
    if (o.VelocityLimit) texts.VelocityLimit = *o.VelocityLimit;
    try {
        o.Sizes = ReadStandardSizeTexts(texts, t);
        o.SizeSeries = std::make_shared<TSeriesMetres>(o.Sizes, SystemOf(o));
    } catch (const ESizeSeriesError& e) {
        throw EBadValue(e.what());
    }
}

TJson StandardJson(const DuctSheet& s, const TDuctOptions& o, const TDuctUnits& u, TJson& units) {
    const TSizeTableUnits t = TableUnits(o);
    const TSizeCandidates c = StandardSizeCandidates(s, o.Sizes, SystemOf(o));
    TJson j, ju = TJson::object();
    j["series"] = o.Imperial ? "imperial" : "si";
    j["aspect_limit"] = o.Sizes.AspectLimit;
    PutQuantity(j, ju, "fixed_height", o.Sizes.FixedHeight > 0 ? o.Sizes.FixedHeight : std::nan(""),
                u.Length);
    // (null: every height of the series; null velocity limit: none)
    PutQuantity(j, ju, "velocity_limit",
                o.Sizes.VelocityLimit > 0 ? o.Sizes.VelocityLimit : std::nan(""),
                u.Row(TDuctRow::Velocity));
    TJson candidateUnits = TJson::object();
    const auto list = [&](const std::vector<TSizeCandidate>& v) {
        TJson a = TJson::array();
        for (const TSizeCandidate& x : v)
            a.push_back(CandidateJson(x, u, t, candidateUnits));
        return a;
    };
    j["round"] = list(c.Round);
    j["rectangular"] = list(c.Rectangular);
    TJson choice;
    choice["round"] = c.RoundChoice >= 0
                          ? CandidateJson(c.Round[c.RoundChoice], u, t, candidateUnits)
                          : TJson(nullptr);
    choice["rectangular"] =
        c.RectangularChoice >= 0
            ? CandidateJson(c.Rectangular[c.RectangularChoice], u, t, candidateUnits)
            : TJson(nullptr);
    j["choice"] = std::move(choice);
    j["message"] = c.Message.empty() ? TJson(nullptr) : TJson(c.Message);
    TSizeCandidate any; // names every unit, also when the lists are empty
    any.Shape = TSizeShape::Rectangular;
    CandidateJson(any, u, t, candidateUnits);
    ju["candidates"] = std::move(candidateUnits);
    units["standard"] = std::move(ju);
    return j;
}

void AppendStandardColumns(std::string& buf, const DuctSheet& s, const TDuctOptions& o,
                           const TDuctUnits& u) {
    const TSizeChoice c = StandardSizeChoice(s, o.Sizes, *o.SizeSeries);
    const auto put = [&](double v) {
        buf += ',';
        AppendNumber(buf, v);
    };
    if (c.Round) {
        put(u.Length.Shown(c.Round->Diameter));
        put(u.Row(TDuctRow::Velocity).Shown(c.Round->Velocity));
        put(u.Row(TDuctRow::PRate).Shown(c.Round->PRate));
    } else {
        buf += ",,,";
    }
    if (c.Rectangular) {
        put(u.Length.Shown(c.Rectangular->Height));
        put(u.Length.Shown(c.Rectangular->Width));
        put(u.Row(TDuctRow::Velocity).Shown(c.Rectangular->Velocity));
        put(u.Row(TDuctRow::PRate).Shown(c.Rectangular->PRate));
    } else {
        buf += ",,,,";
    }
}

} // namespace oravent::calc
