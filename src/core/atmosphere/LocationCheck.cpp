// The check of an installed location database folder.
#include <cmath>
#include <map>
#include <set>

#include "atmosphere/LocationBuild.h"
#include "common/AtomicFile.h"
#include "common/TextCodec.h"
#include "common/TxIniFiles.h"
#include "units/NumberText.h"

namespace oravent {

namespace {

std::string Q(std::string_view Text) {
    return "'" + std::string(Text) + "'";
}

// A section of the index: its keys' codes.
struct TSectionCodes {
    std::string Name;
    std::map<int, std::string> ByCode; // first key of each code
    std::set<int> Codes;
};

bool HasControlChar(std::string_view Utf8) {
    for (unsigned char B : Utf8)
        if (B < 0x20 || B == 0x7F) return true;
    return false;
}

// Messages about the records of one file, at most MaxRecordProblems of them.
class TRecordProblems {
public:
    TRecordProblems(std::vector<std::string>& Out, std::string File) : FOut(Out), FFile(File) {}
    ~TRecordProblems() {
        if (FCount > MaxRecordProblems)
            FOut.push_back(FFile + ": " + std::to_string(FCount - MaxRecordProblems) +
                           " more problems in its records");
    }
    void Add(std::size_t RecNo, std::string_view Name, const std::string& Message) {
        if (++FCount > MaxRecordProblems) return;
        FOut.push_back(FFile + " record " + std::to_string(RecNo + 1) +
                       (Name.empty() ? std::string() : " " + Q(Name)) + ": " + Message);
    }

private:
    std::vector<std::string>& FOut;
    std::string FFile;
    int FCount = 0;
};

void CheckNumbers(const TLocationRec& Rec, std::size_t RecNo, TRecordProblems& Problems) {
    for (const TLocationField& F : LocationFields) {
        const double V = Rec.*F.Field;
        if (std::isnan(V)) continue;
        if (!std::isfinite(V))
            Problems.Add(RecNo, Rec.Name, std::string(F.Column) + " is infinite");
        else if (V < F.Lo || V > F.Hi)
            Problems.Add(RecNo, Rec.Name,
                         std::string(F.Column) + " " + ShortestRealText(V) + " is outside " +
                             ShortestRealText(F.Lo) + " to " + ShortestRealText(F.Hi));
    }
}

} // namespace

std::vector<std::string> CheckLocationDatabase(const std::string& Folder) {
    std::vector<std::string> Out;
    const std::string IndexFile = RegionIndexPath(Folder);
    const std::optional<std::string> IndexText = ReadWholeFile(IndexFile);
    if (!IndexText) {
        Out.push_back(std::string(RegionIndexFileName) + " is missing in " + Folder);
        return Out;
    }
    const TRegionIndex Index = TRegionIndex::FromText(*IndexText);

    // The index: sections once each, whole-number codes, one key per code.
    std::vector<TSectionCodes> Sections;
    for (const std::string& Name : Index.Databases()) {
        if (TrimBlanks(Name).empty()) {
            Out.push_back(std::string(RegionIndexFileName) + ": a section without a name");
            continue;
        }
        bool Twice = false;
        for (const TSectionCodes& S : Sections)
            Twice = Twice || SameText(S.Name, Name);
        if (Twice) {
            Out.push_back(std::string(RegionIndexFileName) + ": section " + Q(Name) +
                          " appears twice; only the first is read");
            continue;
        }
        TSectionCodes S{Name, {}, {}};
        for (const std::string& Key : Index.Regions(Name)) {
            int Code = 0;
            const std::string Text = Index.Ini().ReadText(Name, Key, "");
            if (!IniTextToInt(Text, Code)) {
                Out.push_back(Q(Name) + ": region " + Q(Key) + " has the code " + Q(Text) +
                              ", not a whole number");
                continue;
            }
            const auto [It, New] = S.ByCode.try_emplace(Code, Key);
            if (!New && Code != 0)
                Out.push_back(Q(Name) + ": regions " + Q(It->second) + " and " + Q(Key) +
                              " share the code " + std::to_string(Code));
            S.Codes.insert(Code);
        }
        Sections.push_back(std::move(S));
    }
    const TSectionCodes* All = nullptr;
    for (const TSectionCodes& S : Sections)
        if (SameText(S.Name, AllDatabases)) All = &S;
    if (!All) Out.push_back(std::string(RegionIndexFileName) + " has no section '+All'");
    if (Sections.empty()) Out.push_back(std::string(RegionIndexFileName) + " holds no databases");

    auto SectionOf = [&](std::string_view Name) -> const TSectionCodes* {
        for (const TSectionCodes& S : Sections)
            if (SameText(S.Name, Name)) return &S;
        return nullptr;
    };
    // Database codes of "+All" and the databases they name.
    std::map<std::string, int> DbCodeOf; // by folded database name
    if (All) {
        for (const auto& [Code, Key] : All->ByCode) {
            if (Code == 0) continue;
            DbCodeOf[FoldCase(Key)] = Code;
            if (!SectionOf(Key)) Out.push_back("'+All' lists " + Q(Key) + ", which has no section");
        }
        for (const TSectionCodes& S : Sections)
            if (&S != All && !DbCodeOf.contains(FoldCase(S.Name)))
                Out.push_back("database " + Q(S.Name) + " is not listed in '+All'");
    }

    // The record files.
    std::map<std::string, std::string> FileOwner;
    std::map<int, std::size_t> AllPerCode; // places of each database in +All.wdb
    std::map<int, std::size_t> FilePerCode;
    std::size_t InAll = 0, InDatabases = 0;
    bool AllRead = false;
    for (const TSectionCodes& S : Sections) {
        const std::string Base = LocationFileBaseName(S.Name);
        if (Base.empty()) {
            Out.push_back("database " + Q(S.Name) + " cannot name a record file");
            continue;
        }
        const auto [Owner, New] = FileOwner.try_emplace(Base, S.Name);
        if (!New) {
            Out.push_back("databases " + Q(Owner->second) + " and " + Q(S.Name) +
                          " share the record file " + Base);
            continue;
        }
        const std::optional<std::string> Bytes = ReadWholeFile(WithSlash(Folder) + Base);
        if (!Bytes) {
            Out.push_back("database " + Q(S.Name) + ": its record file " + Base + " is missing");
            continue;
        }
        if (const std::size_t Tail = Bytes->size() % LocationRecSize)
            Out.push_back(Base + ": " + std::to_string(Bytes->size()) +
                          " bytes are not whole records of 84 bytes; the last " +
                          std::to_string(Tail) + " are ignored");
        const bool IsAll = &S == All;
        const auto Own = DbCodeOf.find(FoldCase(S.Name));
        const TLocationFile File = ParseLocationFile(*Bytes);
        TRecordProblems Problems(Out, Base);
        const auto* Raw = reinterpret_cast<const unsigned char*>(Bytes->data());
        for (std::size_t I = 0; I < File.Records.size(); ++I) {
            const TLocationRec& R = File.Records[I];
            const int Length = StoredNameLength(Raw + I * LocationRecSize);
            if (Length > static_cast<int>(LocationNameMax))
                Problems.Add(I, R.Name, "name length " + std::to_string(Length) + " is above 31");
            if (R.Name.empty()) Problems.Add(I, R.Name, "the name is empty");
            if (HasControlChar(R.Name))
                Problems.Add(I, R.Name, "the name holds a control character");
            const TSectionCodes* RegionSection = &S;
            if (IsAll) {
                const auto Db = All->ByCode.find(R.DatabaseCode);
                if (R.DatabaseCode == 0 || Db == All->ByCode.end()) {
                    Problems.Add(I, R.Name,
                                 "database code " + std::to_string(R.DatabaseCode) +
                                     " is not in '+All'");
                    RegionSection = nullptr;
                } else {
                    RegionSection = SectionOf(Db->second);
                    ++AllPerCode[R.DatabaseCode];
                }
            } else if (Own != DbCodeOf.end() && R.DatabaseCode != Own->second) {
                Problems.Add(I, R.Name,
                             "database code " + std::to_string(R.DatabaseCode) + "; '+All' gives " +
                                 Q(S.Name) + " the code " + std::to_string(Own->second));
            }
            if (RegionSection && R.RegionCode != 0 && !RegionSection->Codes.contains(R.RegionCode))
                Problems.Add(I, R.Name,
                             "region code " + std::to_string(R.RegionCode) +
                                 " is not in the index of " + Q(RegionSection->Name));
            CheckNumbers(R, I, Problems);
        }
        if (IsAll) {
            InAll = File.Records.size();
            AllRead = true;
        } else {
            InDatabases += File.Records.size();
            if (Own != DbCodeOf.end()) FilePerCode[Own->second] = File.Records.size();
        }
    }

    // Record counts: +All.wdb against the databases' own files.
    if (AllRead) {
        if (InAll != InDatabases)
            Out.push_back("+All.wdb holds " + std::to_string(InAll) +
                          " records, the databases' files " + std::to_string(InDatabases));
        for (const auto& [Code, Count] : FilePerCode) {
            const std::size_t InAllOfCode = AllPerCode.contains(Code) ? AllPerCode[Code] : 0;
            if (InAllOfCode != Count)
                Out.push_back("+All.wdb holds " + std::to_string(InAllOfCode) + " records of " +
                              Q(All->ByCode.at(Code)) + ", its own file " + std::to_string(Count));
        }
    }
    return Out;
}

} // namespace oravent
