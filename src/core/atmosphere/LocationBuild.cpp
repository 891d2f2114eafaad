#include "atmosphere/LocationBuild.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <stdexcept>

#include "atmosphere/LocationText.h"
#include "common/AtomicFile.h"
#include "common/TextCodec.h"
#include "units/NumberText.h"

namespace oravent {

std::string LocationProblemText(const TLocationProblem& Problem) {
    if (Problem.Line <= 0) return Problem.Message;
    return "line " + std::to_string(Problem.Line) + ": " + Problem.Message;
}

namespace {

constexpr std::size_t ColumnCount = 14;
constexpr std::size_t MaxFileBaseName = 255;

// One CSV record: its fields and the line it starts on.
struct TCsvRecord {
    int Line = 0;
    std::vector<std::string> Fields;
};

// RFC 4180 reader. A record ends at LF (a CR before it is dropped); inside
// double quotes commas and line breaks are text and "" is one quote. A quote
// in an unquoted field, text after a closing quote and an unclosed quote are
// errors of the record (the rest of its line is skipped; an unclosed quote
// ends the reading).
class TCsvReader {
public:
    explicit TCsvReader(std::string_view Text) : FText(Text) {
        if (FText.starts_with("\xEF\xBB\xBF")) FText.remove_prefix(3);
    }

    // False at the end of the text; otherwise Rec (or Error for a malformed one).
    bool Next(TCsvRecord& Rec, std::string& Error) {
        Rec = TCsvRecord{FLine, {}};
        Error.clear();
        if (FPos >= FText.size()) return false;
        std::string Field;
        bool Quoted = false, AfterQuote = false;
        while (FPos < FText.size()) {
            const char C = FText[FPos++];
            if (Quoted) {
                if (C == '"') {
                    if (FPos < FText.size() && FText[FPos] == '"') {
                        Field += '"';
                        ++FPos;
                    } else {
                        Quoted = false;
                        AfterQuote = true;
                    }
                } else {
                    if (C == '\n') ++FLine;
                    Field += C;
                }
                continue;
            }
            if (C == ',') {
                Rec.Fields.push_back(std::move(Field));
                Field.clear();
                AfterQuote = false;
            } else if (C == '\n') {
                ++FLine;
                Rec.Fields.push_back(std::move(Field));
                return true;
            } else if (C == '\r' && (FPos >= FText.size() || FText[FPos] == '\n')) {
                // dropped before the line end
            } else if (AfterQuote) {
                if (C != ' ' && C != '\t') return Fail("text after a closing quote", Error);
            } else if (C == '"') {
                if (!std::all_of(Field.begin(), Field.end(), [](char B) { return B == ' '; }))
                    return Fail("a quote inside an unquoted field", Error);
                Field.clear();
                Quoted = true;
            } else {
                Field += C;
            }
        }
        if (Quoted) {
            Error = "a quote is not closed";
            return true;
        }
        Rec.Fields.push_back(std::move(Field));
        return true;
    }

private:
    bool Fail(const char* Message, std::string& Error) {
        Error = Message;
        while (FPos < FText.size() && FText[FPos++] != '\n') {
        }
        ++FLine;
        return true;
    }

    std::string_view FText;
    std::size_t FPos = 0;
    int FLine = 1;
};

bool HasControl(std::string_view Utf8) {
    for (std::size_t I = 0; I < Utf8.size(); ++I) {
        const auto B = static_cast<unsigned char>(Utf8[I]);
        if (B < 0x20 || B == 0x7F) return true;
        // C1 controls U+0080..U+009F: C2 80 .. C2 9F
        if (B == 0xC2 && I + 1 < Utf8.size() && static_cast<unsigned char>(Utf8[I + 1]) < 0xA0)
            return true;
    }
    return false;
}

// Problems common to every name; empty when the name can be stored.
std::string NameProblem(std::string_view Kind, std::string_view Name) {
    const std::string Quoted = "'" + std::string(Name) + "'";
    if (Name.empty()) return std::string(Kind) + " is empty";
    if (HasControl(Name)) return std::string(Kind) + " " + Quoted + " holds a control character";
    if (Cp1252ToUtf8(Utf8ToCp1252(Name)) != Name)
        return std::string(Kind) + " " + Quoted + " holds characters that Windows-1252 cannot hold";
    if (SameText(Name, AllDatabases))
        return std::string(Kind) + " " + Quoted + " is reserved for the list of all places";
    return {};
}

std::string DatabaseProblem(std::string_view Name) {
    std::string P = NameProblem("database name", Name);
    if (!P.empty()) return P;
    const std::string Quoted = "'" + std::string(Name) + "'";
    if (Name.find('.') != std::string_view::npos)
        return "database name " + Quoted +
               " holds a point; its record file would be named after the text before it";
    if (Name.find_first_of("[]") != std::string_view::npos)
        return "database name " + Quoted + " holds '[' or ']', which an index section cannot";
    if (Name.find('/') != std::string_view::npos)
        return "database name " + Quoted + " holds '/', which a file name cannot";
    if (LocationFileBaseName(Name).size() > MaxFileBaseName)
        return "database name " + Quoted + " is too long for a file name";
    return {};
}

std::string RegionProblem(std::string_view Name) {
    std::string P = NameProblem("region name", Name);
    if (!P.empty()) return P;
    const std::string Quoted = "'" + std::string(Name) + "'";
    if (Name.find('=') != std::string_view::npos)
        return "region name " + Quoted + " holds '=', which an index key cannot";
    if (Name.front() == ';' || Name.front() == '[')
        return "region name " + Quoted + " starts with '" + Name.front() +
               "', which an index key cannot";
    return {};
}

std::string PlaceProblem(std::string_view Name) {
    std::string P = NameProblem("name", Name);
    if (!P.empty()) return P;
    const std::size_t Bytes = Utf8ToCp1252(Name).size();
    if (Bytes > LocationNameMax)
        return "name '" + std::string(Name) + "' is " + std::to_string(Bytes) +
               " characters long; at most 31 fit";
    return {};
}

std::string RangeText(double V) {
    return ShortestRealText(V);
}

// A number column: empty is missing; false with a message when unusable.
bool ReadNumber(const TLocationField& F, std::string_view Text, float& Value, std::string& Error) {
    if (Text.empty()) {
        Value = TLocationRec::Missing;
        return true;
    }
    double V = 0;
    try {
        V = StrToFloat(Text);
    } catch (const EConvertError&) {
        Error = std::string(F.Column) + " '" + std::string(Text) + "' is not a number";
        return false;
    }
    if (!(V >= F.Lo && V <= F.Hi)) {
        Error = std::string(F.Column) + " '" + std::string(Text) + "' is outside " +
                RangeText(F.Lo) + " to " + RangeText(F.Hi);
        return false;
    }
    Value = static_cast<float>(V);
    return true;
}

// A name as first spelt, with the line it was first seen on.
struct TSpelling {
    std::string Name;
    int Line = 0;
};

struct TCsvPlace {
    std::string Database, Region;
    TLocationRec Rec;
};

} // namespace

TLocationBuild BuildLocationDatabase(std::string_view CsvText) {
    TLocationBuild B;
    auto Problem = [&](int Line, std::string Message) {
        B.Problems.push_back({Line, std::move(Message)});
    };
    TCsvReader Reader(CsvText);
    TCsvRecord Rec;
    std::string Error;
    bool Header = true;
    std::vector<TCsvPlace> Places;
    std::map<std::string, TSpelling> Databases;                      // by folded name
    std::map<std::string, std::map<std::string, TSpelling>> Regions; // by folded names
    while (Reader.Next(Rec, Error)) {
        if (!Error.empty()) {
            Problem(Rec.Line, Error);
            if (Header) return B; // no header: the columns are unknown
            continue;
        }
        if (Header) {
            Header = false;
            std::string Line;
            for (std::size_t I = 0; I < Rec.Fields.size(); ++I)
                Line += (I ? "," : "") + Rec.Fields[I];
            if (Line != LocationCsvHeader) {
                Problem(Rec.Line, "the first line must be the header \"" +
                                      std::string(LocationCsvHeader) + "\"");
                return B;
            }
            continue;
        }
        if (Rec.Fields.size() == 1 && TrimBlanks(Rec.Fields[0]).empty()) continue;
        bool Utf8 = true;
        for (const std::string& F : Rec.Fields)
            Utf8 = Utf8 && IsValidUtf8(F);
        if (!Utf8) {
            Problem(Rec.Line, "the text is not UTF-8");
            continue;
        }
        if (Rec.Fields.size() != ColumnCount) {
            Problem(Rec.Line, std::to_string(Rec.Fields.size()) + " fields; a place has " +
                                  std::to_string(ColumnCount));
            continue;
        }
        std::vector<std::string> F;
        for (const std::string& Field : Rec.Fields)
            F.emplace_back(TrimBlanks(Field));
        std::string Message = DatabaseProblem(F[0]);
        if (Message.empty()) Message = RegionProblem(F[1]);
        if (Message.empty()) Message = PlaceProblem(F[2]);
        TCsvPlace P{F[0], F[1], {}};
        P.Rec.Name = F[2];
        for (std::size_t I = 0; I < std::size(LocationFields) && Message.empty(); ++I)
            ReadNumber(LocationFields[I], F[3 + I], P.Rec.*LocationFields[I].Field, Message);
        if (Message.empty()) {
            const auto [Db, NewDb] =
                Databases.try_emplace(FoldCase(P.Database), TSpelling{P.Database, Rec.Line});
            auto& DbRegions = Regions[Db->first];
            const auto [Rg, NewRg] =
                DbRegions.try_emplace(FoldCase(P.Region), TSpelling{P.Region, Rec.Line});
            if (Db->second.Name != P.Database)
                Message = "database '" + P.Database + "' is spelt '" + Db->second.Name +
                          "' on line " + std::to_string(Db->second.Line);
            else if (Rg->second.Name != P.Region)
                Message = "region '" + P.Region + "' is spelt '" + Rg->second.Name + "' on line " +
                          std::to_string(Rg->second.Line);
        }
        if (!Message.empty()) {
            Problem(Rec.Line, Message);
            continue;
        }
        Places.push_back(std::move(P));
    }
    if (Header)
        Problem(0, "the CSV is empty; it needs the header line");
    else if (Places.empty() && B.Problems.empty())
        Problem(0, "the CSV holds no places");

    // Codes, and record files that must differ.
    std::vector<std::string> Names;
    for (const auto& [Folded, S] : Databases)
        Names.push_back(S.Name);
    SortLocationNames(Names);
    std::map<std::string, std::string> Files{
        {FoldCase(LocationFileBaseName(AllDatabases)), std::string(AllDatabases)}};
    for (const std::string& Name : Names) {
        const auto [It, New] = Files.try_emplace(FoldCase(LocationFileBaseName(Name)), Name);
        if (!New)
            Problem(Databases[FoldCase(Name)].Line, "databases '" + It->second + "' and '" + Name +
                                                        "' would share the record file " +
                                                        LocationFileBaseName(Name));
    }
    if (!B.Problems.empty()) return B;

    std::map<std::string, int> DbCode;
    std::map<std::string, std::map<std::string, int>> RgCode;
    TIndexSection All{std::string(AllDatabases), {{std::string(AllDatabases), 0}}};
    B.Index.push_back(All);
    for (std::size_t I = 0; I < Names.size(); ++I) {
        const std::string Folded = FoldCase(Names[I]);
        DbCode[Folded] = static_cast<int>(I + 1);
        B.Index[0].Keys.emplace_back(Names[I], static_cast<int>(I + 1));
        std::vector<std::string> RegionNames;
        for (const auto& [FR, S] : Regions[Folded])
            RegionNames.push_back(S.Name);
        SortLocationNames(RegionNames);
        TIndexSection Section{Names[I], {{std::string(AllDatabases), 0}}};
        for (std::size_t J = 0; J < RegionNames.size(); ++J) {
            RgCode[Folded][FoldCase(RegionNames[J])] = static_cast<int>(J + 1);
            Section.Keys.emplace_back(RegionNames[J], static_cast<int>(J + 1));
        }
        B.Index.push_back(std::move(Section));
    }
    B.Files.emplace_back(LocationFileBaseName(AllDatabases), std::vector<TLocationRec>());
    for (const std::string& Name : Names)
        B.Files.emplace_back(LocationFileBaseName(Name), std::vector<TLocationRec>());
    for (TCsvPlace& P : Places) {
        const std::string Folded = FoldCase(P.Database);
        P.Rec.DatabaseCode = DbCode[Folded];
        P.Rec.RegionCode = RgCode[Folded][FoldCase(P.Region)];
        B.Files[0].second.push_back(P.Rec);
        B.Files[static_cast<std::size_t>(P.Rec.DatabaseCode)].second.push_back(std::move(P.Rec));
    }
    B.Places = static_cast<int>(Places.size());
    return B;
}

void WriteLocationDatabase(const std::string& Folder, const TLocationBuild& Build) {
    if (!Build.Problems.empty()) throw std::logic_error("a build with problems cannot be written");
    if (!ForceDirectories(Folder)) throw ELocationError("Unable to write to " + Folder);
    for (const auto& [Base, Records] : Build.Files)
        WriteLocationFile(WithSlash(Folder) + Base, Records);
    WriteRegionIndex(RegionIndexPath(Folder), Build.Index);
}

} // namespace oravent
