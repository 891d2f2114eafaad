// oravent-calc locdb / pressure --place: the location database from the
// command line, on the folder the desktop program reads (the shared
// "Common Files" folder; --folder DIR for another). Places are printed as
// JSON with their numbers in SI units (null for a missing one) and names
// in UTF-8.
#include <cmath>
#include <optional>
#include <string>
#include <string_view>

#include "atmosphere/LocationBuild.h"
#include "atmosphere/LocationSearch.h"
#include "atmosphere/LocationText.h"
#include "atmosphere/SelectLocationCommands.h"
#include "calc_commands.h"
#include "calc_json.h"
#include "common/AppFolders.h"
#include "common/AtomicFile.h"
#include "common/TextCodec.h"
#include "psychro/Hygrocalc.h"

namespace oravent::calc {

namespace {

const char* const kLocdbUsage =
    "usage: oravent-calc locdb <command> [--folder DIR]\n"
    "  list [DATABASE [REGION]]  the databases; the places of a database or of a region\n"
    "  search TEXT               places of \"+All\" whose names contain TEXT\n"
    "                            (without regard to case and accents)\n"
    "  build CSV --folder DIR    write Regions.idx and the .wdb files from a CSV of places;\n"
    "                            header: database,region,name,latitude,longitude,timezone,\n"
    "                            altitude,cooling_db,cooling_wb,heating_db,wind_speed,max_db,\n"
    "                            min_db,db_range (empty = missing)\n"
    "  check                     validate a database folder; exit status 1 on any problem\n"
    "  DIR defaults to the shared folder the program reads.\n";

struct TUsageError {
    std::string Message;
};
// A failure of the command itself (exit status 1).
struct TFailure {
    std::string Message;
};

// The arguments without "--folder DIR" / "--folder=DIR", and the folder.
std::vector<std::string> TakeFolder(const std::vector<std::string>& Args,
                                    std::optional<std::string>& Folder) {
    std::vector<std::string> Rest;
    for (std::size_t I = 0; I < Args.size(); ++I) {
        const std::string& A = Args[I];
        if (A == "--folder") {
            if (I + 1 >= Args.size()) throw TUsageError{"--folder needs a value"};
            Folder = Args[++I];
        } else if (A.starts_with("--folder=")) {
            Folder = A.substr(9);
        } else {
            Rest.push_back(A);
        }
    }
    return Rest;
}

std::string FolderOrDefault(const std::optional<std::string>& Folder) {
    return Folder ? *Folder : CommonFolder();
}

TJson Units() {
    TJson U = TJson::object();
    for (const TLocationField& F : LocationFields)
        U[std::string(F.Key)] = F.Unit;
    return U;
}

TJson NameOrNull(const std::string& Text) {
    return Text.empty() ? TJson() : TJson(Text);
}

TJson PlaceJson(const std::vector<TLocationRec>& Records, const TPlaceMatch& M) {
    const TLocationRec& R = Records[M.RecNo];
    TJson J;
    J["record"] = M.RecNo + 1;
    J["name"] = R.Name;
    J["database"] = NameOrNull(M.Database);
    J["region"] = NameOrNull(M.Region);
    for (const TLocationField& F : LocationFields) {
        const double V = LocationNumber(R.*F.Field);
        J[std::string(F.Key)] = std::isfinite(V) ? TJson(V) : TJson();
    }
    return J;
}

// The records of a database's file; TFailure with the picker's message when
// the file is missing.
std::vector<TLocationRec> OpenRecords(const std::string& Folder, std::string_view Database) {
    std::optional<TLocationFile> File = ReadLocationFile(LocationFileName(Folder, Database));
    if (!File) throw TFailure{MissingDatabaseMessage(Database)};
    return std::move(File->Records);
}

// The section of the index spelt as the index spells it; TFailure when absent.
std::string IndexName(const std::vector<std::string>& Names, std::string_view Name,
                      std::string_view What) {
    for (const std::string& N : Names)
        if (SameText(N, Name)) return N;
    throw TFailure{"no " + std::string(What) + " '" + std::string(Name) + "' in " +
                   std::string(RegionIndexFileName)};
}

int List(const std::vector<std::string>& Args, const std::string& Folder, const TCalcStreams& Io) {
    if (Args.size() > 2) throw TUsageError{"list takes at most a database and a region"};
    const TRegionIndex Index(RegionIndexPath(Folder));
    std::vector<std::string> Databases = Index.Databases();
    SortLocationNames(Databases);
    TJson J;
    J["folder"] = Folder;
    if (Args.empty()) {
        TJson List = TJson::array();
        for (const std::string& Name : Databases) {
            TJson D;
            D["name"] = Name;
            const int Code = Index.Code(AllDatabases, Name);
            D["code"] = SameText(Name, AllDatabases) || Code == 0 ? TJson() : TJson(Code);
            D["file"] = LocationFileBaseName(Name);
            const auto File = ReadLocationFile(LocationFileName(Folder, Name));
            D["records"] = File ? TJson(File->Records.size()) : TJson();
            List.push_back(std::move(D));
        }
        J["databases"] = std::move(List);
        WriteJson(Io.Out, J);
        return 0;
    }
    const std::string Database = IndexName(Databases, Args[0], "database");
    std::vector<std::string> Regions = Index.Regions(Database);
    SortLocationNames(Regions);
    const std::string Region = Args.size() > 1 ? IndexName(Regions, Args[1], "region") : "";
    const std::vector<TLocationRec> Records = OpenRecords(Folder, Database);
    J["database"] = Database;
    if (!Region.empty()) J["region"] = Region;
    TJson RegionList = TJson::array();
    for (const std::string& R : Regions)
        RegionList.push_back({{"name", R}, {"code", Index.Code(Database, R)}});
    J["regions"] = std::move(RegionList);
    // The picker's selection: by DatabaseCode under "+All", else by
    // RegionCode; code 0 (or no region given) keeps every record.
    const int Code = Region.empty() ? 0 : Index.Code(Database, Region);
    const bool ByDatabase = SameText(Database, AllDatabases);
    std::vector<TPlaceMatch> Places = SearchPlaces(Index, Database, Records, "");
    TJson List = TJson::array();
    for (const TPlaceMatch& M : Places) {
        const TLocationRec& R = Records[M.RecNo];
        if (Code == 0 || (ByDatabase ? R.DatabaseCode : R.RegionCode) == Code)
            List.push_back(PlaceJson(Records, M));
    }
    J["count"] = List.size();
    J["places"] = std::move(List);
    J["units"] = Units();
    WriteJson(Io.Out, J);
    return 0;
}

int Search(const std::vector<std::string>& Args, const std::string& Folder,
           const TCalcStreams& Io) {
    if (Args.size() != 1) throw TUsageError{"search takes one TEXT"};
    const TRegionIndex Index(RegionIndexPath(Folder));
    const std::vector<TLocationRec> Records = OpenRecords(Folder, AllDatabases);
    TJson J;
    J["folder"] = Folder;
    J["text"] = Args[0];
    TJson List = TJson::array();
    for (const TPlaceMatch& M : SearchPlaces(Index, AllDatabases, Records, Args[0]))
        List.push_back(PlaceJson(Records, M));
    J["count"] = List.size();
    J["places"] = std::move(List);
    J["units"] = Units();
    WriteJson(Io.Out, J);
    return 0;
}

int Build(const std::vector<std::string>& Args, const std::optional<std::string>& Folder,
          const TCalcStreams& Io) {
    if (Args.size() != 1) throw TUsageError{"build takes one CSV file"};
    if (!Folder) throw TUsageError{"build needs --folder DIR"};
    const std::optional<std::string> Text = ReadWholeFile(Args[0]);
    if (!Text) throw TFailure{"cannot read " + Args[0]};
    const TLocationBuild B = BuildLocationDatabase(*Text);
    if (!B.Problems.empty()) {
        for (const TLocationProblem& P : B.Problems)
            std::fprintf(Io.Err, "oravent-calc locdb build: %s: %s\n", Args[0].c_str(),
                         LocationProblemText(P).c_str());
        throw TFailure{std::to_string(B.Problems.size()) +
                       " unusable lines or files; nothing was written"};
    }
    try {
        WriteLocationDatabase(*Folder, B);
    } catch (const ELocationError& E) {
        throw TFailure{E.what()};
    }
    TJson J;
    J["folder"] = *Folder;
    J["databases"] = B.Index.size() - 1;
    std::size_t Regions = 0;
    for (std::size_t I = 1; I < B.Index.size(); ++I)
        Regions += B.Index[I].Keys.size() - 1;
    J["regions"] = Regions;
    J["places"] = B.Places;
    TJson Files = TJson::array();
    Files.push_back(std::string(RegionIndexFileName));
    for (const auto& F : B.Files)
        Files.push_back(F.first);
    J["files"] = std::move(Files);
    WriteJson(Io.Out, J);
    return 0;
}

int Check(const std::vector<std::string>& Args, const std::string& Folder, const TCalcStreams& Io) {
    if (!Args.empty()) throw TUsageError{"check takes no arguments but --folder"};
    const std::vector<std::string> Problems = CheckLocationDatabase(Folder);
    TJson J;
    J["folder"] = Folder;
    J["problems"] = Problems;
    WriteJson(Io.Out, J);
    return Problems.empty() ? 0 : 1;
}

int Fail(std::FILE* Err, const char* Command, const std::string& Message, int Status) {
    std::fprintf(Err, "oravent-calc %s: %s\n", Command, Message.c_str());
    if (Status == 2 && std::string_view(Command) == "locdb") std::fputs(kLocdbUsage, Err);
    return Status;
}

} // namespace

int RunLocdb(const std::vector<std::string>& Args, const TCalcStreams& Io) {
    try {
        std::optional<std::string> Folder;
        std::vector<std::string> Rest = TakeFolder(Args, Folder);
        if (Rest.empty()) throw TUsageError{"give a command: list, search, build or check"};
        const std::string Command = Rest.front();
        Rest.erase(Rest.begin());
        if (Command == "--help" || Command == "-h" || Command == "help") {
            std::fputs(kLocdbUsage, Io.Out);
            return 0;
        }
        if (Command == "list") return List(Rest, FolderOrDefault(Folder), Io);
        if (Command == "search") return Search(Rest, FolderOrDefault(Folder), Io);
        if (Command == "build") return Build(Rest, Folder, Io);
        if (Command == "check") return Check(Rest, FolderOrDefault(Folder), Io);
        throw TUsageError{"unknown command '" + Command + "'"};
    } catch (const TUsageError& E) {
        return Fail(Io.Err, "locdb", E.Message, 2);
    } catch (const TFailure& E) {
        return Fail(Io.Err, "locdb", E.Message, 1);
    }
}

int RunPressureAtPlace(const std::vector<std::string>& Args, const TCalcStreams& Io) {
    try {
        std::optional<std::string> Folder, Place;
        const std::vector<std::string> Rest = TakeFolder(Args, Folder);
        for (std::size_t I = 0; I < Rest.size(); ++I) {
            if (Rest[I] == "--place") {
                if (I + 1 >= Rest.size()) throw TUsageError{"--place needs a value"};
                Place = Rest[++I];
            } else if (Rest[I].starts_with("--place=")) {
                Place = Rest[I].substr(8);
            } else {
                throw TUsageError{"unexpected argument '" + Rest[I] + "'"};
            }
        }
        if (!Place || TrimBlanks(*Place).empty()) throw TUsageError{"--place needs a value"};
        const std::string Dir = FolderOrDefault(Folder);
        const TRegionIndex Index(RegionIndexPath(Dir));
        const std::vector<TLocationRec> Records = OpenRecords(Dir, AllDatabases);
        const std::vector<TPlaceMatch> Matches = FindPlaces(Index, AllDatabases, Records, *Place);
        if (Matches.empty()) throw TFailure{"no place named '" + *Place + "'"};
        if (Matches.size() > 1) {
            std::fprintf(Io.Err,
                         "oravent-calc pressure: '%s' names %zu places; add the region after a "
                         "comma:\n",
                         Place->c_str(), Matches.size());
            for (const TPlaceMatch& M : Matches) {
                const std::string Line = LocationSelectionText(
                    Records[M.RecNo].Name, M.Region.empty() ? M.Database : M.Region);
                std::fprintf(Io.Err, "  %s (%s)\n", Line.c_str(), M.Database.c_str());
            }
            return 2;
        }
        const TPlaceMatch& M = Matches.front();
        const TLocationRec& R = Records[M.RecNo];
        const double Altitude = LocationNumber(R.Altitude);
        if (!std::isfinite(Altitude))
            throw TFailure{"'" + R.Name + "' has no altitude in the database"};
        double Pressure = 0;
        try {
            Pressure = AtmPressure(Altitude);
        } catch (const EPsychroError& E) {
            throw TFailure{E.what()};
        }
        TJson J;
        J["place"] = R.Name;
        J["database"] = NameOrNull(M.Database);
        J["region"] = NameOrNull(M.Region);
        J["units"] = TJson::object();
        TJson U = TJson::object();
        PutQuantity(J, U, "altitude", Altitude, CatalogueConversion(utAltitude, 0));
        PutQuantity(J, U, "pressure", Pressure, CatalogueConversion(utPressure, 0));
        J["units"] = std::move(U);
        WriteJson(Io.Out, J);
        return 0;
    } catch (const TUsageError& E) {
        return Fail(Io.Err, "pressure", E.Message, 2);
    } catch (const TFailure& E) {
        return Fail(Io.Err, "pressure", E.Message, 1);
    }
}

} // namespace oravent::calc
