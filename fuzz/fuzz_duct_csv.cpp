// Fuzzes the CSV schedule of oravent-calc duct --csv: the line and field
// reader (calc_csv.h), and the whole batch run over the text.
// Input: one byte of choices, then the CSV text.
// Checks besides "no crash": every field that SplitCsv reads, written with
// AppendCsvText, splits back to the same field; the batch run ends with
// status 0, 1 or 2, and when it takes the header it writes a header and one
// result line per line that is not blank, each with the header's columns.
#include <cstdio>
#include <cstdlib>

#include "FuzzCheck.h"
#include "calc_csv.h"
#include "calc_duct.h"

using namespace oravent;
using oravent::fuzz::Shown;

namespace {

// The field as AppendCsvText can give it back: line breaks become blanks.
std::string Writable(std::string_view F) {
    std::string S(F);
    for (char& C : S)
        if (C == '\r' || C == '\n') C = ' ';
    return S;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    fuzz::TFuzzInput In(Data, Size);
    const std::uint8_t Choice = In.Byte();
    const std::string_view Text = In.Rest();

    calc::TCsvLines Lines(Text);
    std::string_view Line;
    std::vector<std::string_view> Fields, Fields2;
    std::vector<std::string> Unquoted, Unquoted2;
    long Filled = 0;
    bool First = true;
    while (Lines.Next(Line)) {
        FUZZ_CHECK(Line.find('\n') == std::string_view::npos, Shown(Line));
        const bool Blank = calc::TrimBlanks(Line).empty();
        if (!Blank && !First) ++Filled;
        if (!Blank) First = false;
        if (!calc::SplitCsv(Line, Fields, Unquoted)) continue;
        std::string Out;
        for (std::size_t I = 0; I < Fields.size(); ++I) {
            if (I) Out += ',';
            calc::AppendCsvText(Out, Fields[I]);
        }
        FUZZ_CHECK(calc::SplitCsv(Out, Fields2, Unquoted2),
                   Shown(Line) + " written as " + Shown(Out));
        FUZZ_CHECK(Fields2.size() == Fields.size(), Shown(Line) + " written as " + Shown(Out));
        for (std::size_t I = 0; I < Fields.size(); ++I)
            FUZZ_CHECK(Fields2[I] == Writable(Fields[I]), Shown(Line) + ": field " +
                                                              Shown(Fields[I]) + " comes back as " +
                                                              Shown(Fields2[I]));
    }

    // The whole batch, for a schedule of a few lines (each line solves a sheet).
    if (Filled > 24 || Text.empty()) return 0;
    std::string Input(Text);
    char* OutBuf = nullptr;
    std::size_t OutLen = 0;
    calc::TCalcStreams Io;
    Io.In = fmemopen(Input.data(), Input.size(), "r");
    Io.Out = open_memstream(&OutBuf, &OutLen);
    Io.Err = std::fopen("/dev/null", "w");
    FUZZ_CHECK(Io.In && Io.Out && Io.Err, "streams");
    calc::TDuctOptions Options;
    Options.Imperial = Choice & 1;
    Options.Csv = "-";
    const int Status = calc::RunDuctCsv(Options, Io);
    std::fclose(Io.In);
    std::fclose(Io.Out);
    std::fclose(Io.Err);
    const std::string Out(OutBuf, OutLen);
    std::free(OutBuf);
    FUZZ_CHECK(Status >= 0 && Status <= 2, std::to_string(Status));
    if (Out.empty()) {
        FUZZ_CHECK(Status == 2, "no output, status " + std::to_string(Status));
        return 0;
    }
    calc::TCsvLines Results(Out);
    std::string_view Header, Result;
    FUZZ_CHECK(Results.Next(Header) && calc::SplitCsv(Header, Fields2, Unquoted2), Shown(Out, 400));
    const std::size_t Columns = Fields2.size();
    long Count = 0;
    while (Results.Next(Result)) {
        ++Count;
        FUZZ_CHECK(calc::SplitCsv(Result, Fields, Unquoted) && Fields.size() == Columns,
                   "result " + Shown(Result) + " for " + Shown(Text, 300));
    }
    FUZZ_CHECK(Count == Filled, std::to_string(Count) + " results for " + std::to_string(Filled) +
                                    " lines of " + Shown(Text, 300));
    return 0;
}
