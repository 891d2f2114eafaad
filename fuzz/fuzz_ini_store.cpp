// Fuzzes the INI store (common/TxIniFiles.h): a file of any bytes read by
// the in-memory store (TMemIniFile) and by the direct store (TIniFile), then
// written, read back and changed.
// Input: one byte of choices, 8 bytes of a number, then the file.
// Checks besides "no crash": both stores read the same sections, idents and
// values from the same bytes; the file the in-memory store writes reads back
// to the same sections, idents and values; a number written with WriteReal
// reads back as the same double and an integer as the same integer; a
// direct write changes only the entry written; an erased section is gone;
// failures are EIniFileException only.
#include <map>

#include "FuzzCheck.h"
#include "common/TextCodec.h"
#include "common/TxIniFiles.h"

using namespace oravent;
using oravent::fuzz::Num;
using oravent::fuzz::Shown;

namespace {

// Sections, then per section its idents and their values, as the store
// answers them (at most 40 sections of 40 idents).
struct TIniModel {
    std::vector<std::string> Sections;
    std::vector<std::vector<std::pair<std::string, std::string>>> Entries;
};

TIniModel Model(const TCustomIniFile& F) {
    TIniModel M;
    F.ListSections(M.Sections);
    if (M.Sections.size() > 40) M.Sections.resize(40);
    for (const std::string& S : M.Sections) {
        std::vector<std::string> Idents;
        F.ListSectionIdents(S, Idents);
        if (Idents.size() > 40) Idents.resize(40);
        auto& E = M.Entries.emplace_back();
        for (const std::string& I : Idents)
            E.emplace_back(I, F.ReadText(S, I, "\x01missing"));
    }
    return M;
}

std::string Describe(const TIniModel& M) {
    std::string Out;
    for (std::size_t K = 0; K < M.Sections.size(); ++K) {
        Out += "[" + M.Sections[K] + "]";
        for (const auto& [I, V] : M.Entries[K])
            Out += " " + I + "=" + V;
        Out += ";";
    }
    return Shown(Out, 400);
}

void CheckSame(const TIniModel& A, const TIniModel& B, const std::string& What) {
    FUZZ_CHECK(A.Sections == B.Sections && A.Entries == B.Entries,
               What + ": " + Describe(A) + " vs " + Describe(B));
}

bool Storable(std::string_view S, std::string_view I, std::string_view V) {
    const std::string_view TS = TrimBlanks(S), TI = TrimBlanks(I);
    auto Break = [](std::string_view T) { return T.find_first_of("\r\n") != T.npos; };
    return !TS.empty() && !TI.empty() && !Break(S) && !Break(I) && !Break(V) &&
           TI.find('=') == TI.npos && TI.front() != ';' && TI.front() != '[';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    fuzz::TFuzzInput In(Data, Size);
    const std::uint8_t Choice = In.Byte();
    const double X = In.Double();
    const std::string_view Bytes = In.Rest();
    const std::string Dir = fuzz::ScratchFolder();
    const std::string Original = Dir + "/original.ini", Written = Dir + "/written.ini";
    std::remove(Written.c_str());
    FUZZ_CHECK(fuzz::WriteFile(Original, Bytes), Original);

    TMemIniFile Mem(Written);
    Mem.SetFileText(Bytes);
    const TIniModel Read = Model(Mem);
    TIniFile Direct(Original);
    CheckSame(Read, Model(Direct), "the in-memory and the direct store differ");

    Mem.UpdateFile();
    {
        const TMemIniFile Again(Written);
        CheckSame(Read, Model(Again), "the written file reads back differently");
    }

    // Where to write: a section and an ident of the file, or new ones.
    std::string Section = "Fuzz", Ident = "Value";
    if (!Read.Sections.empty()) {
        const std::size_t K = Choice % Read.Sections.size();
        Section = Read.Sections[K];
        if (!Read.Entries[K].empty())
            Ident = Read.Entries[K][Choice % Read.Entries[K].size()].first;
    }
    if (!Storable(Section, Ident, "1")) {
        try {
            Mem.WriteReal(Section, Ident, X);
            FUZZ_CHECK(false, Shown(Section) + "/" + Shown(Ident) + " written");
        } catch (const EIniFileException&) {
        }
        return 0;
    }
    const std::string What = Shown(Section) + "/" + Shown(Ident);
    for (TCustomIniFile* Store :
         {static_cast<TCustomIniFile*>(&Mem), static_cast<TCustomIniFile*>(&Direct)}) {
        const TIniModel Before = Model(*Store);
        if (Choice & 1) {
            const int I = static_cast<int>(std::fmod(std::isfinite(X) ? X : 0, 2147483647.0));
            Store->WriteInt(Section, Ident, I);
            FUZZ_CHECK(Store->ReadInt(Section, Ident, I ^ 1) == I, What + " " + std::to_string(I));
        } else {
            Store->WriteReal(Section, Ident, X);
            const double Back = Store->ReadReal(Section, Ident, 0.5);
            FUZZ_CHECK(!std::isfinite(X) || Back == X,
                       What + ": " + Num(X) + " reads back as " + Num(Back) + " from " +
                           Shown(Store->ReadText(Section, Ident, "")));
        }
        // Every other entry is as it was.
        for (std::size_t K = 0; K < Before.Sections.size(); ++K) {
            for (const auto& [I, V] : Before.Entries[K]) {
                if (SameText(Before.Sections[K], Section) && SameText(I, Ident)) continue;
                FUZZ_CHECK(Store->ReadText(Before.Sections[K], I, "\x01missing") == V,
                           What + " changed " + Shown(Before.Sections[K]) + "/" + Shown(I));
            }
        }
        Store->EraseSection(Section);
        FUZZ_CHECK(!Store->SectionExists(Section), What + " still there after EraseSection");
    }
    return 0;
}
