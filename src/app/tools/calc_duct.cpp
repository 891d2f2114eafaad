// oravent-calc duct: the duct sheet of the main window on the command line.
//
//   oravent-calc duct [options] [edit ...]           one sheet, JSON on stdout
//   oravent-calc duct [options] --csv FILE [-o OUT]  one duct per CSV line
//
// The sheet starts from its reset values (or from a calculation file given
// with --file), runs what the main window runs when it is activated
// (UpdateIntermediates), then applies the edits in order, each followed by
// Iterate. Without any edit it runs the Solve command (SolveRectangle,
// Iterate). The first edit that ends in an arithmetic failure stops the
// sheet (or the CSV line) and is reported.
//
// Exit status: 0 everything solved, 1 some sheet or line did not solve or had
// an error, 2 bad usage (unknown option or column, unreadable file or a value
// in it that cannot be used, bad value on the command line).
#include <string>
#include <vector>

#include "calc_duct.h"
#include "calc_json.h"

namespace oravent::calc {

namespace {

void PrintHelp(std::FILE* to) {
    const TDuctUnits si(false), imp(true);
    const std::string indent(21, ' ');
    std::string edits, imperial;
    const auto addImperial = [&](const std::string& caption) {
        if (imperial.find(caption + ",") == std::string::npos) imperial += caption + ", ";
    };
    for (const TDuctRowDef& d : DuctRows) {
        std::string line = "  " + std::string(d.Quantity) + "=VALUE";
        line.resize(indent.size(), ' ');
        line += DuctRowCaption(d);
        if (HasUnits(d)) {
            line += ", " + si.Row(d.Row).Caption + " (" + imp.Row(d.Row).Caption + ")";
            addImperial(imp.Row(d.Row).Caption);
        }
        if (d.Op == TDuctOp::SetAirState) line += ": dry bulb[/wet bulb], e.g. 20/14";
        if (d.Op == TDuctOp::SetRoughnessIndex) {
            line += ": 0..4 or\n" + indent;
            for (int k = 0; k < RoughnessCount; ++k)
                line += (k ? ", " : "") + std::string(RoughnessName(k));
        }
        edits += line + "\n";
    }
    for (const TRowConversion* c : {&imp.Area, &imp.Density, &imp.Viscosity})
        addImperial(c->Caption);
    imperial.pop_back(); // the last blank
    imperial += "\n" + std::string(19, ' ') + "and the air record in imperial units";
    std::fprintf(
        to,
        "usage: oravent-calc duct [options] [edit ...]\n"
        "       oravent-calc duct [options] --csv FILE [-o OUT]\n"
        "\n"
        "Sizes a duct as the main window does: the sheet starts from its reset values\n"
        "(or from a calculation file), the edits are applied in order and the sheet is\n"
        "iterated after each. Without edits the sheet is solved as it stands. The result\n"
        "is JSON; its \"units\" object names the unit of every quantity.\n"
        "\n"
        "edits (SI units, lengths in m; imperial units with --imperial):\n"
        "%s"
        "  solve              the Solve command: rectangle, then iterate\n"
        "Rates, flows, velocities and lengths must be greater than 0. A temperature\n"
        "outside the air state's limits is moved to them, with a note on stderr.\n"
        "\n"
        "options:\n"
        "  --file PATH      start from a calculation file (Oravent.ini); a value in it\n"
        "                   that cannot be used is an error\n"
        "  --csv FILE       one duct per line; the header names the columns, which are\n"
        "                   the edit names above and an optional id; cells are applied\n"
        "                   from left to right, empty cells are skipped ('-' = stdin)\n"
        "  -o, --output OUT write the CSV results to OUT instead of standard output\n"
        "  --imperial       read and write %s\n"
        "  --density RHO    air density in kg/m\xC2\xB3 instead of the engine's\n"
        "  --viscosity MU   dynamic viscosity in Pa\xC2\xB7s instead of the engine's\n"
        "  --standard       add the standard sizes for the solved sheet: JSON key\n"
        "                   \"standard\" (round and rectangular candidates, the choice of\n"
        "                   each); with --csv the two choices as extra columns\n"
        "  --round-series LIST, --rect-series LIST\n"
        "                   the series to use, sizes in mm (in with --imperial),\n"
        "                   smallest first, e.g. \"100 125 160\"\n"
        "  --aspect-limit A longest rectangle side over the shortest (default 4)\n"
        "  --fixed-height H every rectangle this high (mm, or in with --imperial)\n"
        "  --velocity-limit V  candidates faster than this do not fit (m/s, or fpm\n"
        "                   with --imperial)\n"
        "\n"
        "exit status: 0 all solved, 1 something did not solve, 2 bad usage (unknown\n"
        "option or column, unreadable file or unusable value in it, bad value given)\n",
        edits.c_str(), imperial.c_str());
}

// Returns 0 to go on, 2 after a usage error (message printed), 3 after --help.
int ParseArgs(const std::vector<std::string>& args, TDuctOptions& o, const TCalcStreams& io) {
    auto needValue = [&](std::size_t& i, const std::string& opt, std::string& into) {
        if (i + 1 >= args.size()) {
            std::fprintf(io.Err, "%s: %s needs a value\n", DuctProg, opt.c_str());
            return false;
        }
        into = args[++i];
        return true;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string v;
        if (a == "--help" || a == "-h") {
            PrintHelp(io.Out);
            return 3;
        } else if (a == "--imperial") {
            o.Imperial = true;
        } else if (a == "--metric" || a == "--si") {
            o.Imperial = false;
        } else if (a == "--file" || a == "--csv" || a == "-o" || a == "--output") {
            if (!needValue(i, a, v)) return 2;
            (a == "--file" ? o.File : a == "--csv" ? o.Csv : o.Output) = v;
        } else if (a == "--standard") {
            o.Standard = true;
        } else if (a == "--round-series" || a == "--rect-series" || a == "--aspect-limit" ||
                   a == "--fixed-height" || a == "--velocity-limit") {
            if (!needValue(i, a, v)) return 2;
            (a == "--round-series"   ? o.RoundSeries
             : a == "--rect-series"  ? o.RectSeries
             : a == "--aspect-limit" ? o.AspectLimit
             : a == "--fixed-height" ? o.FixedHeight
                                     : o.VelocityLimit) = v;
        } else if (a == "--density" || a == "--viscosity") {
            if (!needValue(i, a, v)) return 2;
            double x = 0;
            if (!ParseNumber(v, x) || !(x > 0)) {
                std::fprintf(io.Err, "%s: %s '%s' is not a positive number\n", DuctProg, a.c_str(),
                             Shown(v).c_str());
                return 2;
            }
            (a == "--density" ? o.Density : o.Viscosity) = x;
        } else if (a == "solve") {
            o.Edits.push_back({std::nullopt, "", a});
        } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9')) {
            std::fprintf(io.Err, "%s: unknown option '%s' (--help lists them)\n", DuctProg,
                         Shown(a).c_str());
            return 2;
        } else {
            const std::size_t eq = a.find('=');
            const std::optional<TDuctRow> row =
                eq == std::string::npos
                    ? std::nullopt
                    : DuctRowByQuantity(TrimBlanks(std::string_view(a).substr(0, eq)));
            if (!row) {
                std::fprintf(io.Err, "%s: '%s' is not an edit (name=value with %s)\n", DuctProg,
                             Shown(a).c_str(), QuantityNames().c_str());
                return 2;
            }
            o.Edits.push_back({row, a.substr(eq + 1), a});
        }
    }
    if (!o.Csv.empty() && !o.Edits.empty()) {
        std::fprintf(io.Err, "%s: edits on the command line and --csv do not go together\n",
                     DuctProg);
        return 2;
    }
    if (!o.Standard &&
        (o.RoundSeries || o.RectSeries || o.AspectLimit || o.FixedHeight || o.VelocityLimit)) {
        std::fprintf(io.Err, "%s: the series and limits are for --standard\n", DuctProg);
        return 2;
    }
    if (o.Csv.empty() && !o.Output.empty()) {
        std::fprintf(io.Err, "%s: --output is for --csv\n", DuctProg);
        return 2;
    }
    return 0;
}

TJson SheetJson(const DuctSheet& s, const TDuctOptions& o, const TDuctUnits& u,
                const std::string& failure, const std::string& failedEdit) {
    TJson j;
    TJson units = TJson::object();
    j["solved"] = s.Solved;
    j["passes"] = s.Passes;
    j["failure"] = failure.empty() ? TJson(nullptr) : TJson(failure);
    if (!failedEdit.empty()) j["failed_edit"] = failedEdit;
    j["units_system"] = u.Imperial ? "imperial" : "si";
    j["units"] = TJson::object(); // filled below, kept in this place
    const auto row = [&](TDuctRow r) {
        PutQuantity(j, units, DuctRowDef(r).Quantity, ValueAsNumber(DuctRowValue(s, r)), u.Row(r));
    };
    const TRowConversion& temp = u.Row(TDuctRow::Temperature);
    row(TDuctRow::Barometer);
    j["temperature"] = TemperatureText(s, u);
    units["temperature"] = temp.Caption;
    PutQuantity(j, units, "dry_bulb", s.DuctAir.DryBulb, temp);
    PutQuantity(j, units, "wet_bulb", s.DuctAir.WetBulb, temp);
    j["roughness_index"] = s.kIndex;
    j["roughness_name"] = std::string(RoughnessName(s.kIndex));
    PutQuantity(j, units, "roughness", s.Roughness, u.Length);
    for (TDuctRow r : {TDuctRow::PRate, TDuctRow::Volume, TDuctRow::Velocity, TDuctRow::Diameter,
                       TDuctRow::Height, TDuctRow::Width})
        row(r);
    PutQuantity(j, units, "area", s.Area, u.Area);
    j["reynolds"] = s.Reynolds;
    j["friction_factor"] = s.FrictionFactor;
    // PRate = PRateFactor·Volume²/Diameter⁵: a density.
    PutQuantity(j, units, "prate_factor", s.PRateFactor, u.Density);
    PutQuantity(j, units, "fixed_side", s.FixedSide, u.Length);
    PutQuantity(j, units, "density", s.DuctAir.Density, u.Density);
    PutQuantity(j, units, "viscosity", s.DuctAir.Viscosity, u.Viscosity);
    TJson table = TJson::array();
    for (double k : s.RoughnessTable)
        table.push_back(u.Length.Shown(k));
    j["roughness_table"] = std::move(table);
    units["roughness_table"] = u.Length.Caption;
    TJson air, airUnits = TJson::object();
    PutAirState(air, airUnits, s.DuctAir, u.Imperial);
    j["air"] = std::move(air);
    units["air"] = std::move(airUnits);
    j["last_flow"] = TJson::array(
        {std::string(FlowQuantityName(s.LastFlow0)), std::string(FlowQuantityName(s.LastFlow1))});
    j["last_size"] = TJson::array(
        {std::string(SizeQuantityName(s.LastSize0)), std::string(SizeQuantityName(s.LastSize1))});
    if (o.Standard) j["standard"] = StandardJson(s, o, u, units);
    j["units"] = std::move(units);
    return j;
}

int RunSingle(const TDuctOptions& o, const TCalcStreams& io) {
    const TDuctUnits u(o.Imperial);
    DuctSheet s;
    StartSheet(o, s);
    std::vector<TEdit> edits = o.Edits;
    if (edits.empty()) edits.push_back({std::nullopt, "", "solve"});
    std::string failure, failedEdit;
    for (const TEdit& e : edits) {
        std::string note;
        try {
            note = ApplyEdit(s, e.Row, e.Text, u);
        } catch (const EBadValue& err) {
            std::fprintf(io.Err, "%s: %s: %s\n", DuctProg, Shown(e.Arg).c_str(), err.what());
            return 2;
        }
        if (!note.empty()) {
            std::fprintf(io.Err, "%s: %s: %s\n", DuctProg, Shown(e.Arg).c_str(), note.c_str());
        }
        if (s.Failed()) {
            failure = NoSolutionMessage;
            failedEdit = e.Arg;
            std::fprintf(io.Err, "%s: %s: %s\n", DuctProg, Shown(e.Arg).c_str(), failure.c_str());
            break;
        }
    }
    WriteJson(io.Out, SheetJson(s, o, u, failure, failedEdit));
    return s.Solved ? 0 : 1;
}

} // namespace

int RunDuct(const std::vector<std::string>& args, const TCalcStreams& io) {
    TDuctOptions o;
    const int rc = ParseArgs(args, o, io);
    if (rc == 3) return 0;
    if (rc != 0) return rc;
    try {
        if (o.Standard) ResolveStandardOptions(o);
        return o.Csv.empty() ? RunSingle(o, io) : RunDuctCsv(o, io);
    } catch (const std::exception& e) {
        std::fprintf(io.Err, "%s: %s\n", DuctProg, e.what());
        return 2;
    }
}

} // namespace oravent::calc
