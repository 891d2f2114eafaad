#include "atmosphere/LocationDatabase.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

#include "common/AtomicFile.h"
#include "common/TextCodec.h"

namespace oravent {

const TLocationField LocationFields[11] = {
    {"Latitude", "latitude", "latitude", "°", &TLocationRec::Latitude, -90, 90},
    {"Longitude", "longitude", "longitude", "°", &TLocationRec::Longitude, -180, 180},
    {"TimeZone", "time_zone", "timezone", "h", &TLocationRec::TimeZone, -12, 14},
    {"Altitude", "altitude", "altitude", "m", &TLocationRec::Altitude, -1000, 9000},
    {"CoolingDryBulb", "cooling_dry_bulb", "cooling_db", "°C", &TLocationRec::CoolingDryBulb, -60,
     60},
    {"CoolingWetBulb", "cooling_wet_bulb", "cooling_wb", "°C", &TLocationRec::CoolingWetBulb, -60,
     60},
    {"HeatingDryBulb", "heating_dry_bulb", "heating_db", "°C", &TLocationRec::HeatingDryBulb, -90,
     60},
    {"WindSpeed", "wind_speed", "wind_speed", "m/s", &TLocationRec::WindSpeed, 0, 100},
    {"MaxDryBulb", "max_dry_bulb", "max_db", "°C", &TLocationRec::MaxDryBulb, -90, 60},
    {"MinDryBulb", "min_dry_bulb", "min_db", "°C", &TLocationRec::MinDryBulb, -90, 60},
    {"DryBulbRange", "dry_bulb_range", "db_range", "K", &TLocationRec::DryBulbRange, 0, 60},
};

namespace {

constexpr std::size_t NameOffset = 8;
constexpr std::size_t NumbersOffset = 40;

void PutU32(std::string& Out, std::size_t At, std::uint32_t V) {
    for (int I = 0; I < 4; ++I)
        Out[At + I] = static_cast<char>((V >> (8 * I)) & 0xFF);
}

std::uint32_t GetU32(const unsigned char* P) {
    return static_cast<std::uint32_t>(P[0]) | static_cast<std::uint32_t>(P[1]) << 8 |
           static_cast<std::uint32_t>(P[2]) << 16 | static_cast<std::uint32_t>(P[3]) << 24;
}

} // namespace

double LocationNumber(float Value) {
    if (!std::isfinite(Value)) return Value;
    char Text[64];
    const auto End = std::to_chars(Text, Text + sizeof Text, Value).ptr;
    double Out = Value;
    std::from_chars(Text, End, Out);
    return Out;
}

std::string EncodeLocationRec(const TLocationRec& Rec) {
    std::string Out(LocationRecSize, '\0');
    PutU32(Out, 0, static_cast<std::uint32_t>(Rec.DatabaseCode));
    PutU32(Out, 4, static_cast<std::uint32_t>(Rec.RegionCode));
    std::string Name = Utf8ToCp1252(Rec.Name);
    if (Name.size() > LocationNameMax) Name.resize(LocationNameMax);
    Out[NameOffset] = static_cast<char>(Name.size());
    std::memcpy(Out.data() + NameOffset + 1, Name.data(), Name.size());
    for (std::size_t I = 0; I < std::size(LocationFields); ++I)
        PutU32(Out, NumbersOffset + 4 * I,
               std::bit_cast<std::uint32_t>(Rec.*LocationFields[I].Field));
    return Out;
}

TLocationRec DecodeLocationRec(const unsigned char* Bytes) {
    TLocationRec Rec;
    Rec.DatabaseCode = static_cast<std::int32_t>(GetU32(Bytes));
    Rec.RegionCode = static_cast<std::int32_t>(GetU32(Bytes + 4));
    const std::size_t Length = std::min<std::size_t>(Bytes[NameOffset], LocationNameMax);
    Rec.Name = Cp1252ToUtf8(
        std::string_view(reinterpret_cast<const char*>(Bytes + NameOffset + 1), Length));
    for (std::size_t I = 0; I < std::size(LocationFields); ++I)
        Rec.*LocationFields[I].Field = std::bit_cast<float>(GetU32(Bytes + NumbersOffset + 4 * I));
    return Rec;
}

TLocationFile ParseLocationFile(std::string_view Bytes) {
    TLocationFile File;
    const std::size_t Count = Bytes.size() / LocationRecSize;
    File.TailBytes = Bytes.size() % LocationRecSize;
    File.Records.reserve(Count);
    const auto* P = reinterpret_cast<const unsigned char*>(Bytes.data());
    for (std::size_t I = 0; I < Count; ++I)
        File.Records.push_back(DecodeLocationRec(P + I * LocationRecSize));
    return File;
}

std::optional<TLocationFile> ReadLocationFile(const std::string& FileName) {
    if (FileName.empty()) return std::nullopt;
    const std::optional<std::string> Bytes = ReadWholeFile(FileName);
    if (!Bytes) return std::nullopt;
    return ParseLocationFile(*Bytes);
}

void WriteLocationFile(const std::string& FileName, const std::vector<TLocationRec>& Records) {
    std::string Bytes;
    Bytes.reserve(Records.size() * LocationRecSize);
    for (const TLocationRec& Rec : Records)
        Bytes += EncodeLocationRec(Rec);
    if (!AtomicWriteFile(FileName, Bytes)) throw ELocationError("Unable to write to " + FileName);
}

std::string LocationFileBaseName(std::string_view Database) {
    if (Database.empty()) return {};
    for (char C : Database)
        if (C == '/' || static_cast<unsigned char>(C) < ' ') return {};
    const std::size_t Point = Database.rfind('.');
    std::string Base(Point == std::string_view::npos ? Database : Database.substr(0, Point));
    return Base + std::string(LocationFileExt);
}

std::string WithSlash(std::string_view Folder) {
    std::string F(Folder);
    if (!F.empty() && F.back() != '/') F += '/';
    return F;
}

std::string LocationFileName(std::string_view Folder, std::string_view Database) {
    const std::string Base = LocationFileBaseName(Database);
    return Base.empty() ? std::string() : WithSlash(Folder) + Base;
}

std::string RegionIndexPath(std::string_view Folder) {
    return WithSlash(Folder) + std::string(RegionIndexFileName);
}

// ---- Region index -----------------------------------------------------------

TRegionIndex::TRegionIndex() : FIni(std::make_unique<TMemIniFile>("")) {}

TRegionIndex::TRegionIndex(const std::string& FileName)
    : FIni(std::make_unique<TMemIniFile>(FileName)) {}

TRegionIndex TRegionIndex::FromText(std::string_view Bytes) {
    TRegionIndex Index;
    Index.FIni->SetFileText(Bytes);
    return Index;
}

std::vector<std::string> TRegionIndex::Databases() const {
    std::vector<std::string> List;
    FIni->ListSections(List);
    return List;
}

std::vector<std::string> TRegionIndex::Regions(std::string_view Database) const {
    std::vector<std::string> List;
    FIni->ListSectionIdents(Database, List);
    return List;
}

int TRegionIndex::Code(std::string_view Database, std::string_view Region) const {
    return FIni->ReadInt(Database, Region, 0);
}

const std::string& TRegionIndex::NameOf(std::string_view Database, int Code) const {
    static const std::string None;
    auto [It, Added] = FNames.try_emplace(FoldCase(TrimBlanks(Database)));
    if (Added) {
        for (const std::string& Key : Regions(Database)) {
            int Value = 0;
            if (IniTextToInt(FIni->ReadText(Database, Key, ""), Value))
                It->second.try_emplace(Value, Key);
        }
    }
    const auto Found = It->second.find(Code);
    return Found == It->second.end() ? None : Found->second;
}

void WriteRegionIndex(const std::string& FileName, const std::vector<TIndexSection>& Sections) {
    std::string Text;
    for (const TIndexSection& S : Sections) {
        Text += '[';
        Text += Utf8ToCp1252(S.Name);
        Text += "]\r\n";
        for (const auto& [Key, Code] : S.Keys) {
            Text += Utf8ToCp1252(Key);
            Text += '=';
            Text += std::to_string(Code);
            Text += "\r\n";
        }
        Text += "\r\n";
    }
    if (!AtomicWriteFile(FileName, Text)) throw ELocationError("Unable to write to " + FileName);
}

} // namespace oravent
