// Finding places in a database read whole ("+All.wdb" for the whole
// world): by part of a name, and by "NAME[, REGION]" as a person writes a
// place. Names compare without regard to case and Latin accents
// (FoldForSearch). Results come in the picker's list order (folded name,
// name, then database and region), each with its database and region names
// from the index.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "atmosphere/LocationDatabase.h"

namespace oravent {

struct TPlaceMatch {
    std::size_t RecNo = 0;
    std::string Database; // "+All": the database of its DatabaseCode
    std::string Region;   // empty for region code 0 or a code not in the index
};

// The database and region names of a record of the file of Database.
TPlaceMatch LocatePlace(const TRegionIndex& Index, std::string_view Database,
                        const std::vector<TLocationRec>& Records, std::size_t RecNo);

// Places whose name contains Text.
std::vector<TPlaceMatch> SearchPlaces(const TRegionIndex& Index, std::string_view Database,
                                      const std::vector<TLocationRec>& Records,
                                      std::string_view Text);

// Places named Text; or, when none is, named the text before a comma and
// with a region or database named the text after it. Each comma is tried
// from the first, so "Washington, D.C., District of Columbia" finds the
// place "Washington, D.C." in the region "District of Columbia".
std::vector<TPlaceMatch> FindPlaces(const TRegionIndex& Index, std::string_view Database,
                                    const std::vector<TLocationRec>& Records,
                                    std::string_view Text);

} // namespace oravent
