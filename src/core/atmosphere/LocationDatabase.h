// The location database on disk, read and written without any window: the
// region index "Regions.idx" and the record files, one per database.
//
// Region index: an INI file in Windows-1252, read whole through TMemIniFile
// (names compare without regard to case). Every section is a database and
// names its record file; its keys are regions with integer codes matched
// against a record's RegionCode. The section "+All" lists the databases with
// integer codes matched against DatabaseCode, and is itself a database whose
// record file "+All.wdb" holds every place. Code 0 selects every record.
//
// Record file: the database name with the text after its last point replaced
// by "wdb" ("South Africa" -> "South Africa.wdb", "St. Helena" -> "St.wdb"),
// a sequence of 84-byte TLocationRec records, little-endian, no header:
//   0 int32 DatabaseCode, 4 int32 RegionCode, 8 name (length byte + 31 bytes
//   Windows-1252), 40..80 eleven float32 numbers in the order of the fields
//   below.
// A file whose size is not a multiple of 84 gives its whole records and
// ignores the tail; a length byte above 31 reads as 31. Numbers are kept as
// stored (float); a missing number is NaN.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/TxIniFiles.h"

namespace oravent {

inline constexpr std::string_view RegionIndexFileName = "Regions.idx";
// The database (and index section) that lists every place by DatabaseCode.
inline constexpr std::string_view AllDatabases = "+All";
inline constexpr std::string_view LocationFileExt = ".wdb";
inline constexpr std::size_t LocationRecSize = 84;
inline constexpr std::size_t LocationNameMax = 31;

// A file of the database that cannot be written ("Unable to write to <file>").
class ELocationError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TLocationRec {
    static constexpr float Missing = std::numeric_limits<float>::quiet_NaN();
    std::int32_t DatabaseCode = 0;
    std::int32_t RegionCode = 0;
    std::string Name;               // UTF-8; at most 31 bytes in Windows-1252
    float Latitude = Missing;       // degrees, north positive
    float Longitude = Missing;      // degrees, east positive
    float TimeZone = Missing;       // hours, east positive
    float Altitude = Missing;       // m
    float CoolingDryBulb = Missing; // °C
    float CoolingWetBulb = Missing; // °C
    float HeatingDryBulb = Missing; // °C
    float WindSpeed = Missing;      // m/s
    float MaxDryBulb = Missing;     // °C
    float MinDryBulb = Missing;     // °C
    float DryBulbRange = Missing;   // K
};

// The eleven numbers of a record, in file order, with their names and units
// and the range a sound database keeps them in (the build refuses, the check
// reports a number outside it). One table for the files, the command-line
// tool's keys and CSV columns.
struct TLocationField {
    std::string_view Name;   // "CoolingDryBulb"
    std::string_view Key;    // JSON key: "cooling_dry_bulb"
    std::string_view Column; // CSV column: "cooling_db"
    std::string_view Unit;   // "°C"
    float TLocationRec::*Field;
    double Lo, Hi;
};
extern const TLocationField LocationFields[11];

// A stored number as the decimal it was written from: the double nearest to
// the shortest text that reads back as the same float (47.37f -> 47.37, not
// 47.369998931884766). NaN and infinities stay as they are.
double LocationNumber(float Value);

// 84 bytes of a record. The name is written in Windows-1252 ("?" for a
// character it cannot hold) and cut to 31 bytes; the unused name bytes are 0.
std::string EncodeLocationRec(const TLocationRec& Rec);
// Reads one record from 84 bytes (a length byte above 31 reads as 31).
TLocationRec DecodeLocationRec(const unsigned char* Bytes);
// The raw length byte of an encoded record's name (for the check).
inline int StoredNameLength(const unsigned char* Bytes) {
    return Bytes[8];
}

// A record file read whole.
struct TLocationFile {
    std::vector<TLocationRec> Records;
    std::size_t TailBytes = 0; // bytes after the last whole record (ignored)
};
// The records of a file given as bytes / on disk; nullopt when the file does
// not exist or cannot be read.
TLocationFile ParseLocationFile(std::string_view Bytes);
std::optional<TLocationFile> ReadLocationFile(const std::string& FileName);
// Replaces the file atomically; raises ELocationError when it cannot.
void WriteLocationFile(const std::string& FileName, const std::vector<TLocationRec>& Records);

// "St. Helena" -> "St.wdb": the text after the last point (the extension)
// replaced by "wdb", ".wdb" appended when there is no point. Empty for a
// name that cannot name a file in the database folder (empty, or holding
// "/" or a character below blank).
std::string LocationFileBaseName(std::string_view Database);
// Folder (with or without a final "/") + LocationFileBaseName; empty when
// the base name is.
std::string LocationFileName(std::string_view Folder, std::string_view Database);
// Folder + "Regions.idx".
std::string RegionIndexPath(std::string_view Folder);
// Folder with a final "/" (an empty folder stays empty).
std::string WithSlash(std::string_view Folder);

// The region index in memory, with the lookups from codes back to names.
// Lookups fill a table per section on first use and answer later ones from
// it, so a list of thousands of places resolves every name at once.
class TRegionIndex {
public:
    // Loads the file (a missing file gives an empty index).
    explicit TRegionIndex(const std::string& FileName);
    // From the file's bytes (for tests and fuzzing).
    static TRegionIndex FromText(std::string_view Bytes);

    const TMemIniFile& Ini() const { return *FIni; }
    // Section names in file order / keys of a section in file order.
    std::vector<std::string> Databases() const;
    std::vector<std::string> Regions(std::string_view Database) const;
    // The integer value of the key, 0 when absent or not an integer.
    int Code(std::string_view Database, std::string_view Region) const;
    // The first key of section Database whose value is Code; empty when none.
    const std::string& NameOf(std::string_view Database, int Code) const;
    // The database of a DatabaseCode: the key of "+All" with that value.
    const std::string& DatabaseNameOf(int Code) const { return NameOf(AllDatabases, Code); }

private:
    TRegionIndex();
    std::unique_ptr<TMemIniFile> FIni;
    mutable std::map<std::string, std::map<int, std::string>> FNames; // by folded section
};

// A database as the build writes it: its name and regions with codes.
struct TIndexSection {
    std::string Name;
    std::vector<std::pair<std::string, int>> Keys;
};
// Replaces "Regions.idx" (Windows-1252, CR LF) atomically with the sections
// in the given order; raises ELocationError when it cannot be written.
void WriteRegionIndex(const std::string& FileName, const std::vector<TIndexSection>& Sections);

} // namespace oravent
