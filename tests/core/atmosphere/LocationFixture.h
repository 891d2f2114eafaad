// A small location database written into a temporary folder: three
// countries (one named with a point), their regions, and "+All".
#pragma once

#include <string>
#include <vector>

#include "atmosphere/LocationDatabase.h"
#include "core/common/TestFiles.h"

namespace oravent::test {

inline TLocationRec Place(int Db, int Region, std::string Name, float Lat, float Lon, float Tz,
                          float Alt, float CoolDb = TLocationRec::Missing,
                          float CoolWb = TLocationRec::Missing) {
    TLocationRec R;
    R.DatabaseCode = Db;
    R.RegionCode = Region;
    R.Name = std::move(Name);
    R.Latitude = Lat;
    R.Longitude = Lon;
    R.TimeZone = Tz;
    R.Altitude = Alt;
    R.CoolingDryBulb = CoolDb;
    R.CoolingWetBulb = CoolWb;
    return R;
}

// 31 characters, the most a record holds.
inline const std::string LongName = "Hendrina Komati Power Station X";

class TLocationFixture {
public:
    TTempDir Dir;
    std::vector<TLocationRec> SouthAfrica, Helena, States;

    TLocationFixture() {
        TLocationRec Jo = Place(1, 1, "Johannesburg", -26.1f, 28.23f, 2, 1694, 29.4f, 18.9f);
        Jo.HeatingDryBulb = 1.2f;
        Jo.WindSpeed = 3.5f;
        Jo.MaxDryBulb = 32;
        Jo.MinDryBulb = -2;
        Jo.DryBulbRange = 14;
        SouthAfrica = {Place(1, 2, "Cape Town", -33.93f, 18.42f, 2, 42, 27.0f, 20.1f), Jo,
                       Place(1, 1, "Pretoria", -25.75f, 28.19f, 2, 1339, 30.2f, 18.2f),
                       Place(1, 2, LongName, -26.2f, 29.9f, 2, 1600)};
        Helena = {Place(2, 1, "Jamestown", -15.93f, -5.72f, 0, 12)};
        States = {Place(3, 1, "Denver", 39.74f, -104.98f, -7, 1609),
                  Place(3, 2, "Springfield", 39.8f, -89.65f, -6, 180),
                  Place(3, 3, "Atlanta", 33.75f, -84.39f, -5, 320, 33.5f, 23.6f),
                  Place(3, 1, "Zürich Gulch", 39.5f, -105.5f, -7, 2500)};
        Write();
    }

    std::vector<TLocationRec> All() const {
        std::vector<TLocationRec> A = SouthAfrica;
        A.insert(A.end(), Helena.begin(), Helena.end());
        A.insert(A.end(), States.begin(), States.end());
        return A;
    }

    void Write() const {
        WriteRegionIndex(
            Dir / "Regions.idx",
            {{"+All", {{"+All", 0}, {"South Africa", 1}, {"St. Helena", 2}, {"United States", 3}}},
             {"South Africa", {{"+All", 0}, {"Gauteng", 1}, {"Western Cape", 2}}},
             {"St. Helena", {{"Jamestown District", 1}}},
             {"United States", {{"+All", 0}, {"Colorado", 1}, {"Illinois", 2}, {"Georgia", 3}}}});
        WriteLocationFile(Dir / "South Africa.wdb", SouthAfrica);
        WriteLocationFile(Dir / "St.wdb", Helena);
        WriteLocationFile(Dir / "United States.wdb", States);
        WriteLocationFile(Dir / "+All.wdb", All());
    }
};

} // namespace oravent::test
