// oravent-calc duct --csv: one duct per line of a CSV schedule. The header
// names the columns (an optional id and the rows' quantity names); each line
// starts from the same start sheet and applies its cells from left to right.
// Results go out as CSV, one line per input line, with an error column.
#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "calc_csv.h"
#include "calc_duct.h"

namespace oravent::calc {

namespace {

bool ReadWholeFile(const std::string& path, std::FILE* in, std::string& data) {
    std::FILE* f = path == "-" ? in : std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char buf[1 << 16];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        data.append(buf, n);
    const bool ok = !std::ferror(f);
    if (f != in) std::fclose(f);
    return ok;
}

constexpr std::string_view ResultColumns =
    "solved,passes,barometer,temperature,roughness,prate,volume,velocity,diameter,height,width,"
    "area,reynolds,friction_factor,density,viscosity,last_flow,last_size";

// The ResultColumns of a sheet, in the shown units (no final comma).
void AppendResults(std::string& buf, const DuctSheet& s, const TDuctUnits& u) {
    buf += s.Solved ? "true," : "false,";
    buf += std::to_string(s.Passes);
    buf += ',';
    AppendNumber(buf, u.Shown(s, TDuctRow::Barometer));
    buf += ',';
    buf += TemperatureText(s, u);
    buf += ',';
    buf += std::to_string(s.kIndex);
    for (double v :
         {u.Shown(s, TDuctRow::PRate), u.Shown(s, TDuctRow::Volume), u.Shown(s, TDuctRow::Velocity),
          u.Shown(s, TDuctRow::Diameter), u.Shown(s, TDuctRow::Height), u.Shown(s, TDuctRow::Width),
          u.Area.Shown(s.Area), s.Reynolds, s.FrictionFactor, u.Density.Shown(s.DuctAir.Density),
          u.Viscosity.Shown(s.DuctAir.Viscosity)}) {
        buf += ',';
        AppendNumber(buf, v);
    }
    buf += ',';
    buf += FlowQuantityName(s.LastFlow0);
    buf += '/';
    buf += FlowQuantityName(s.LastFlow1);
    buf += ',';
    buf += SizeQuantityName(s.LastSize0);
    buf += '/';
    buf += SizeQuantityName(s.LastSize1);
}

// A column: a row of the sheet, or (no row) the id.
struct TColumn {
    std::optional<TDuctRow> Row;
    std::string Name;
};

} // namespace

int RunDuctCsv(const TDuctOptions& o, const TCalcStreams& io) {
    const TDuctUnits u(o.Imperial);
    const std::string src = Shown(o.Csv == "-" ? "<stdin>" : o.Csv, 1000);
    const char* const srcText = src.c_str();
    std::string data;
    if (!ReadWholeFile(o.Csv, io.In, data)) {
        std::fprintf(io.Err, "%s: cannot read '%s': %s\n", DuctProg, srcText, std::strerror(errno));
        return 2;
    }
    TCsvLines lines(data);

    // Header: the first line that is not blank.
    std::string_view line;
    long lineNo = 0;
    bool haveHeader = false;
    while (lines.Next(line)) {
        ++lineNo;
        if (!TrimBlanks(line).empty()) {
            haveHeader = true;
            break;
        }
    }
    if (!haveHeader) {
        std::fprintf(io.Err,
                     "%s: %s: the file is empty; expected a header line naming the columns, "
                     "for example volume,prate\n",
                     DuctProg, srcText);
        return 2;
    }
    if (line.find('\0') != std::string_view::npos) {
        std::fprintf(io.Err, "%s: %s:%ld: not a text file (NUL byte in the header line)\n",
                     DuctProg, srcText, lineNo);
        return 2;
    }
    std::vector<std::string_view> fields;
    std::vector<std::string> unquoted;
    if (!SplitCsv(line, fields, unquoted)) {
        std::fprintf(io.Err, "%s: %s:%ld: unterminated quote in the header line\n", DuctProg,
                     srcText, lineNo);
        return 2;
    }
    std::vector<TColumn> cols;
    int idCol = -1;
    for (std::size_t c = 0; c < fields.size(); ++c) {
        const std::string_view name = TrimBlanks(fields[c]);
        const bool isId = SameTextNoCase(name, "id");
        const std::optional<TDuctRow> row = DuctRowByQuantity(name);
        if (!isId && !row) {
            std::fprintf(io.Err, "%s: %s:%ld: column %zu: '%s' is not a column name (id, %s)\n",
                         DuctProg, srcText, lineNo, c + 1, Shown(name).c_str(),
                         QuantityNames().c_str());
            return 2;
        }
        for (const TColumn& prev : cols) {
            if (prev.Row == row) {
                std::fprintf(io.Err, "%s: %s:%ld: column %zu: '%s' is named twice\n", DuctProg,
                             srcText, lineNo, c + 1, Shown(name).c_str());
                return 2;
            }
        }
        if (isId) idCol = static_cast<int>(c);
        cols.push_back({row, row ? std::string(DuctRowDef(*row).Quantity) : "id"});
    }

    DuctSheet start;
    StartSheet(o, start);

    std::FILE* out = io.Out;
    if (!o.Output.empty() && o.Output != "-") {
        out = std::fopen(o.Output.c_str(), "wb");
        if (out == nullptr) {
            std::fprintf(io.Err, "%s: cannot write '%s': %s\n", DuctProg,
                         Shown(o.Output, 1000).c_str(), std::strerror(errno));
            return 2;
        }
    }
    std::string buf;
    buf.reserve(1 << 20);
    buf += "line,";
    if (idCol >= 0) buf += "id,";
    buf += ResultColumns;
    if (o.Standard) {
        buf += ',';
        buf += StandardColumns;
    }
    buf += ",error\n";

    long bad = 0, unsolved = 0, total = 0;
    DuctSheet s;
    std::string error, note;
    while (lines.Next(line)) {
        ++lineNo;
        if (TrimBlanks(line).empty()) continue;
        ++total;
        s = start;
        error.clear();
        bool ran = false;
        if (!SplitCsv(line, fields, unquoted)) {
            error = "unterminated quote";
        } else if (fields.size() < cols.size()) {
            const std::size_t c = fields.size();
            error = "column " + std::to_string(c + 1) + " (" + cols[c].Name +
                    ") is missing: the line has " + std::to_string(fields.size()) +
                    " field(s), the header " + std::to_string(cols.size());
        } else if (fields.size() > cols.size()) {
            error = "column " + std::to_string(cols.size() + 1) + ": extra field '" +
                    Shown(TrimBlanks(fields[cols.size()])) + "' (the header has " +
                    std::to_string(cols.size()) + " columns)";
        } else {
            for (std::size_t c = 0; c < cols.size(); ++c) {
                const std::string_view cell = TrimBlanks(fields[c]);
                if (!cols[c].Row || cell.empty()) continue;
                try {
                    note = ApplyEdit(s, cols[c].Row, cell, u);
                    ran = true;
                } catch (const EBadValue& e) {
                    error =
                        "column " + std::to_string(c + 1) + " (" + cols[c].Name + "): " + e.what();
                    break;
                }
                if (!note.empty()) {
                    std::fprintf(io.Err, "%s: %s:%ld: column %zu (%s): %s\n", DuctProg, srcText,
                                 lineNo, c + 1, cols[c].Name.c_str(), note.c_str());
                }
                if (s.Failed()) {
                    error = "column " + std::to_string(c + 1) + " (" + cols[c].Name +
                            "): " + std::string(NoSolutionMessage);
                    break;
                }
            }
            if (error.empty() && !ran) ApplyEdit(s, std::nullopt, {}, u);
        }
        if (!error.empty()) {
            ++bad;
            std::fprintf(io.Err, "%s: %s:%ld: %s\n", DuctProg, srcText, lineNo, error.c_str());
        } else if (!s.Solved) {
            ++unsolved;
        }
        buf += std::to_string(lineNo);
        buf += ',';
        if (idCol >= 0) {
            if (static_cast<std::size_t>(idCol) < fields.size())
                AppendCsvText(buf, TrimBlanks(fields[idCol]));
            buf += ',';
        }
        if (error.empty()) {
            AppendResults(buf, s, u);
            if (o.Standard) AppendStandardColumns(buf, s, o, u);
        } else {
            buf += "false,,,,,,,,,,,,,,,,,"; // the 18 result fields, empty
            if (o.Standard) buf += ",,,,,,,";
        }
        buf += ',';
        AppendCsvText(buf, error);
        buf += '\n';
        if (buf.size() > (1 << 20) - 4096) {
            std::fwrite(buf.data(), 1, buf.size(), out);
            buf.clear();
        }
    }
    std::fwrite(buf.data(), 1, buf.size(), out);
    const bool writeFailed = std::fflush(out) != 0 || std::ferror(out);
    if (out != io.Out) std::fclose(out);
    if (writeFailed) {
        std::fprintf(io.Err, "%s: writing the results failed\n", DuctProg);
        return 2;
    }
    if (bad + unsolved > 0) {
        std::fprintf(io.Err, "%s: %s: %ld of %ld line(s) not solved (%ld with errors)\n", DuctProg,
                     srcText, bad + unsolved, total, bad);
        return 1;
    }
    return 0;
}

} // namespace oravent::calc
