#include "atmosphere/LocationSearch.h"

#include <algorithm>

#include "atmosphere/LocationText.h"
#include "common/TextCodec.h"

namespace oravent {

TPlaceMatch LocatePlace(const TRegionIndex& Index, std::string_view Database,
                        const std::vector<TLocationRec>& Records, std::size_t RecNo) {
    const TLocationRec& R = Records.at(RecNo);
    TPlaceMatch M;
    M.RecNo = RecNo;
    M.Database = SameText(Database, AllDatabases) ? Index.DatabaseNameOf(R.DatabaseCode)
                                                  : std::string(Database);
    if (R.RegionCode != 0 && !M.Database.empty()) M.Region = Index.NameOf(M.Database, R.RegionCode);
    return M;
}

namespace {

void SortMatches(std::vector<TPlaceMatch>& Matches, const std::vector<TLocationRec>& Records) {
    struct TKeyed {
        std::string Folded;
        TPlaceMatch M;
    };
    std::vector<TKeyed> Keyed;
    for (TPlaceMatch& M : Matches)
        Keyed.push_back({FoldForSearch(Records[M.RecNo].Name), std::move(M)});
    std::sort(Keyed.begin(), Keyed.end(), [&](const TKeyed& A, const TKeyed& B) {
        const std::string& NA = Records[A.M.RecNo].Name;
        const std::string& NB = Records[B.M.RecNo].Name;
        if (A.Folded != B.Folded || NA != NB) return LocationNameLess(A.Folded, NA, B.Folded, NB);
        if (A.M.Database != B.M.Database) return A.M.Database < B.M.Database;
        if (A.M.Region != B.M.Region) return A.M.Region < B.M.Region;
        return A.M.RecNo < B.M.RecNo;
    });
    Matches.clear();
    for (TKeyed& K : Keyed)
        Matches.push_back(std::move(K.M));
}

// Places whose folded name equals Name, with Region (when given) the
// folded region or database name.
std::vector<TPlaceMatch> Named(const TRegionIndex& Index, std::string_view Database,
                               const std::vector<TLocationRec>& Records, std::string_view Name,
                               std::string_view Region) {
    const std::string FName = FoldForSearch(TrimBlanks(Name));
    const std::string FRegion = FoldForSearch(TrimBlanks(Region));
    std::vector<TPlaceMatch> Out;
    if (FName.empty()) return Out;
    for (std::size_t I = 0; I < Records.size(); ++I) {
        if (FoldForSearch(Records[I].Name) != FName) continue;
        TPlaceMatch M = LocatePlace(Index, Database, Records, I);
        if (!FRegion.empty() && FoldForSearch(M.Region) != FRegion &&
            FoldForSearch(M.Database) != FRegion)
            continue;
        Out.push_back(std::move(M));
    }
    return Out;
}

} // namespace

std::vector<TPlaceMatch> SearchPlaces(const TRegionIndex& Index, std::string_view Database,
                                      const std::vector<TLocationRec>& Records,
                                      std::string_view Text) {
    const std::string Folded = FoldForSearch(Text);
    std::vector<TPlaceMatch> Out;
    for (std::size_t I = 0; I < Records.size(); ++I)
        if (FoldedContains(FoldForSearch(Records[I].Name), Folded))
            Out.push_back(LocatePlace(Index, Database, Records, I));
    SortMatches(Out, Records);
    return Out;
}

std::vector<TPlaceMatch> FindPlaces(const TRegionIndex& Index, std::string_view Database,
                                    const std::vector<TLocationRec>& Records,
                                    std::string_view Text) {
    std::vector<TPlaceMatch> Out = Named(Index, Database, Records, Text, "");
    for (std::size_t Comma = Text.find(','); Out.empty() && Comma != std::string_view::npos;
         Comma = Text.find(',', Comma + 1))
        Out = Named(Index, Database, Records, Text.substr(0, Comma), Text.substr(Comma + 1));
    SortMatches(Out, Records);
    return Out;
}

} // namespace oravent
