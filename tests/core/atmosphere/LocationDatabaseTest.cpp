// The files of the location database: the 84-byte record layout, record
// files with a torn tail, the file name rule, the region index and its
// lookups.
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "atmosphere/LocationDatabase.h"
#include "core/common/TestFiles.h"

namespace oravent {
namespace {

using test::GetFile;
using test::PutFile;
using test::TTempDir;

// The bytes of a record as the layout fixes them, built by hand.
std::string HandRecord(std::int32_t Db, std::int32_t Region, std::string_view Cp1252Name,
                       int LengthByte, const float (&Numbers)[11]) {
    std::string B(84, '\0');
    auto Put = [&](std::size_t At, std::uint32_t V) {
        for (int I = 0; I < 4; ++I)
            B[At + I] = static_cast<char>(V >> (8 * I));
    };
    Put(0, static_cast<std::uint32_t>(Db));
    Put(4, static_cast<std::uint32_t>(Region));
    B[8] = static_cast<char>(LengthByte);
    std::memcpy(B.data() + 9, Cp1252Name.data(), std::min<std::size_t>(Cp1252Name.size(), 31));
    for (int I = 0; I < 11; ++I) {
        std::uint32_t U;
        std::memcpy(&U, &Numbers[I], 4);
        Put(40 + 4 * I, U);
    }
    return B;
}

const float kNumbers[11] = {-26.1f, 28.23f, 2, 1694, 29.4f, 18.9f, 1.2f, 3.5f, 32, -2, 14};

TEST(LocationRec, ReadsTheLayoutLittleEndianWithAWindows1252Name) {
    const std::string B = HandRecord(0x01020304, -7, "Z\xFCrich", 6, kNumbers);
    const TLocationRec R = DecodeLocationRec(reinterpret_cast<const unsigned char*>(B.data()));
    EXPECT_EQ(R.DatabaseCode, 0x01020304);
    EXPECT_EQ(R.RegionCode, -7);
    EXPECT_EQ(R.Name, "Zürich");
    const float TLocationRec::*Fields[11] = {
        &TLocationRec::Latitude,       &TLocationRec::Longitude,      &TLocationRec::TimeZone,
        &TLocationRec::Altitude,       &TLocationRec::CoolingDryBulb, &TLocationRec::CoolingWetBulb,
        &TLocationRec::HeatingDryBulb, &TLocationRec::WindSpeed,      &TLocationRec::MaxDryBulb,
        &TLocationRec::MinDryBulb,     &TLocationRec::DryBulbRange};
    for (int I = 0; I < 11; ++I)
        EXPECT_EQ(R.*Fields[I], kNumbers[I]) << LocationFields[I].Name;
    // Written back byte for byte.
    EXPECT_EQ(EncodeLocationRec(R), B);
}

struct TNameCase {
    const char* Label;
    std::string Stored; // Windows-1252 bytes in the record
    int LengthByte;
    std::string Read; // UTF-8
};

TEST(LocationRec, NameLengthByteIsClampedTo31) {
    const std::string Name31(31, 'a');
    const TNameCase Cases[] = {
        {"ThirtyOne", Name31, 31, Name31},
        {"ShorterThanBytes", "Denverxx", 6, "Denver"},
        {"Zero", "abc", 0, ""},
        {"AboveTheField", Name31, 200, Name31},
        {"Euro sign", "\x80 5", 3, "€ 5"},
    };
    for (const TNameCase& C : Cases) {
        const std::string B = HandRecord(1, 1, C.Stored, C.LengthByte, kNumbers);
        EXPECT_EQ(DecodeLocationRec(reinterpret_cast<const unsigned char*>(B.data())).Name, C.Read)
            << C.Label;
    }
}

TEST(LocationRec, LongNamesAreCutAndUnsupportedCharactersMarkedOnWriting) {
    TLocationRec R;
    R.Name = std::string(40, 'b');
    std::string B = EncodeLocationRec(R);
    EXPECT_EQ(B.size(), 84u);
    EXPECT_EQ(static_cast<unsigned char>(B[8]), 31);
    EXPECT_EQ(DecodeLocationRec(reinterpret_cast<const unsigned char*>(B.data())).Name,
              std::string(31, 'b'));
    R.Name = "Łódź";
    B = EncodeLocationRec(R);
    EXPECT_EQ(DecodeLocationRec(reinterpret_cast<const unsigned char*>(B.data())).Name, "?ód?");
    // A record written with missing numbers reads them back as missing.
    EXPECT_TRUE(std::isnan(
        DecodeLocationRec(reinterpret_cast<const unsigned char*>(B.data())).CoolingDryBulb));
}

TEST(LocationFile, WholeRecordsAreReadAndATornTailIgnored) {
    const std::string One = HandRecord(1, 2, "Cape Town", 9, kNumbers);
    const std::string Two = HandRecord(1, 1, "Pretoria", 8, kNumbers);
    struct {
        std::size_t Size;
        std::size_t Records, Tail;
    } Cases[] = {{0, 0, 0}, {83, 0, 83}, {84, 1, 0}, {85, 1, 1}, {167, 1, 83}, {168, 2, 0}};
    const std::string Both = One + Two + "xyz";
    for (const auto& C : Cases) {
        const TLocationFile F = ParseLocationFile(std::string_view(Both).substr(0, C.Size));
        EXPECT_EQ(F.Records.size(), C.Records) << C.Size;
        EXPECT_EQ(F.TailBytes, C.Tail) << C.Size;
        if (C.Records == 2) {
            EXPECT_EQ(F.Records[1].Name, "Pretoria");
        }
    }
}

TEST(LocationFile, WrittenAtomicallyAndReadBack) {
    TTempDir Dir;
    std::vector<TLocationRec> Recs(3);
    for (int I = 0; I < 3; ++I) {
        Recs[I].Name = "Place " + std::to_string(I);
        Recs[I].RegionCode = I;
        Recs[I].Altitude = static_cast<float>(100 * I);
    }
    WriteLocationFile(Dir / "X.wdb", Recs);
    EXPECT_EQ(GetFile(Dir / "X.wdb").size(), 3 * 84u);
    const auto Read = ReadLocationFile(Dir / "X.wdb");
    ASSERT_TRUE(Read);
    ASSERT_EQ(Read->Records.size(), 3u);
    EXPECT_EQ(Read->Records[2].Name, "Place 2");
    EXPECT_EQ(Read->Records[2].Altitude, 200.0f);
    EXPECT_FALSE(ReadLocationFile(Dir / "missing.wdb"));
    EXPECT_THROW(WriteLocationFile(Dir / "no/such/folder/X.wdb", Recs), ELocationError);
}

TEST(LocationFile, FileNameRule) {
    const struct {
        const char* Database;
        const char* Base;
    } Cases[] = {
        {"South Africa", "South Africa.wdb"},
        {"St. Helena", "St.wdb"},
        {"+All", "+All.wdb"},
        {"a.b.c", "a.b.wdb"},
        {"Trailing.", "Trailing.wdb"},
        {"", ""},
        {"../etc/passwd", ""},
        {"Tab\there", ""},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(LocationFileBaseName(C.Database), C.Base) << C.Database;
    EXPECT_EQ(LocationFileName("/data", "St. Helena"), "/data/St.wdb");
    EXPECT_EQ(LocationFileName("/data/", "St. Helena"), "/data/St.wdb");
    EXPECT_EQ(LocationFileName("/data/", "a/b"), "");
}

TEST(LocationNumber, GivesTheDecimalAFloatWasWrittenFrom) {
    EXPECT_EQ(LocationNumber(47.37f), 47.37);
    EXPECT_EQ(LocationNumber(-26.1f), -26.1);
    EXPECT_EQ(LocationNumber(1694.0f), 1694.0);
    EXPECT_TRUE(std::isnan(LocationNumber(TLocationRec::Missing)));
    EXPECT_EQ(LocationNumber(-INFINITY), -INFINITY);
}

TEST(RegionIndex, CodesAndTheLookupsBackToNames) {
    const TRegionIndex Index =
        TRegionIndex::FromText("[+All]\r\n+All=0\r\nSouth Africa=1\r\nUnited States=3\r\nDup=3\r\n"
                               "[South Africa]\r\nGauteng=1\r\nWestern Cape=2\r\nBad=x\r\n"
                               "[United States]\r\nColorado=1\r\nIllinois=2\r\n"
                               "[Z\xFCrich]\r\nZ\xFCrich=0x10\r\n");
    EXPECT_EQ(Index.Databases(),
              (std::vector<std::string>{"+All", "South Africa", "United States", "Zürich"}));
    EXPECT_EQ(Index.Code("south africa", "WESTERN CAPE"), 2);
    EXPECT_EQ(Index.Code("South Africa", "Bad"), 0);
    EXPECT_EQ(Index.Code("South Africa", "Missing"), 0);
    EXPECT_EQ(Index.Code("Zürich", "Zürich"), 16);
    EXPECT_EQ(Index.DatabaseNameOf(3), "United States"); // the first key with the code
    EXPECT_EQ(Index.DatabaseNameOf(7), "");
    // The same region code names different regions in different databases.
    EXPECT_EQ(Index.NameOf("South Africa", 1), "Gauteng");
    EXPECT_EQ(Index.NameOf("United States", 1), "Colorado");
    EXPECT_EQ(Index.NameOf("south africa", 1), "Gauteng");
    EXPECT_EQ(Index.NameOf("Nowhere", 1), "");
}

TEST(RegionIndex, WrittenInWindows1252AndReadBack) {
    TTempDir Dir;
    WriteRegionIndex(Dir / "Regions.idx",
                     {{"+All", {{"+All", 0}, {"Schweiz", 1}}}, {"Schweiz", {{"Zürich", 1}}}});
    const std::string Bytes = GetFile(Dir / "Regions.idx");
    EXPECT_NE(Bytes.find("Z\xFCrich=1\r\n"), std::string::npos);
    const TRegionIndex Index(Dir / "Regions.idx");
    EXPECT_EQ(Index.Regions("Schweiz"), (std::vector<std::string>{"Zürich"}));
    EXPECT_EQ(Index.NameOf("Schweiz", 1), "Zürich");
    const TRegionIndex Missing(Dir / "none.idx");
    EXPECT_TRUE(Missing.Databases().empty());
    EXPECT_THROW(WriteRegionIndex(Dir / "no/Regions.idx", {}), ELocationError);
}

} // namespace
} // namespace oravent
