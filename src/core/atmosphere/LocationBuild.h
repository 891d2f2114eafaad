// Making and checking a location database folder: the build from a CSV of
// places (what `oravent-calc locdb build` and the starter database's
// generator rely on) and the check of an installed folder (index against
// files, record counts, names and numbers).
//
// The CSV: UTF-8 (a byte order mark is skipped), RFC 4180 quoting (a field
// in double quotes may hold commas, line breaks and doubled quotes), lines
// ending in CR LF or LF, a header line exactly LocationCsvHeader, then one
// place per line. Numbers use "." as the decimal point; an empty number is
// missing (stored as NaN). Blanks around fields are ignored; empty lines
// are skipped.
//
// Codes are assigned by the build: the databases, sorted, are numbered 1..n
// in "+All", the regions of each database, sorted, 1..m in its section;
// every section also has the key "+All" with code 0, which lists all of its
// places. "+All.wdb" holds every place with its DatabaseCode, each
// database's file its own places; both in the CSV's order.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "atmosphere/LocationDatabase.h"

namespace oravent {

inline constexpr std::string_view LocationCsvHeader =
    "database,region,name,latitude,longitude,timezone,altitude,cooling_db,cooling_wb,heating_db,"
    "wind_speed,max_db,min_db,db_range";

// Something that makes a CSV line unusable; Line is the line the place
// starts on (1-based), 0 for the CSV as a whole.
struct TLocationProblem {
    int Line = 0;
    std::string Message;
};
// "line 7: latitude '95' is outside -90 to 90", or the message alone.
std::string LocationProblemText(const TLocationProblem& Problem);

// A database folder in memory, ready to be written.
struct TLocationBuild {
    std::vector<TIndexSection> Index; // "+All" first, then the databases by code
    // Record files by base name ("+All.wdb" first) with their places.
    std::vector<std::pair<std::string, std::vector<TLocationRec>>> Files;
    int Places = 0;
    std::vector<TLocationProblem> Problems; // empty when the build can be written
};

// Reads the CSV. A line that cannot be used is reported with its line
// number (every such line, in order) and the build then has no files:
//   - not 14 fields, a quote left open, text that is not UTF-8;
//   - a name (database, region or place) that is empty, holds a control
//     character, or that Windows-1252 cannot hold; a place name longer than
//     31 bytes in Windows-1252;
//   - a database name with a point (the record file's name would lose the
//     text after it), "[", "]" or "/", or named "+All"; a region name with
//     "=", starting with ";" or "[", or named "+All";
//   - the same database or region spelt with other letter case than on an
//     earlier line; two databases whose record files would be the same;
//   - a number that is not a number or lies outside its range
//     (LocationFields).
TLocationBuild BuildLocationDatabase(std::string_view CsvText);

// Writes a build without problems into Folder (created when missing): the
// record files first, "Regions.idx" last, each replaced atomically. Raises
// ELocationError when a file cannot be written, std::logic_error for a
// build with problems.
void WriteLocationDatabase(const std::string& Folder, const TLocationBuild& Build);

// Checks a database folder; one message per problem, none for a sound one.
// Per record file at most MaxRecordProblems messages about its records are
// given, then one that counts the rest.
inline constexpr int MaxRecordProblems = 50;
std::vector<std::string> CheckLocationDatabase(const std::string& Folder);

} // namespace oravent
