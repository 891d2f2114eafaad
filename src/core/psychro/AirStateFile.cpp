#include "psychro/AirStateFile.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "common/AtomicFile.h"
#include "psychro/AirStateText.h"

namespace oravent {

namespace {

constexpr std::size_t FieldCount = AirStateFileSize / sizeof(double);

// The record as its 15 doubles, in field order.
void ToDoubles(const TAirStateRec& Rec, double (&D)[FieldCount]) {
    std::memcpy(D, &Rec, sizeof Rec);
}

} // namespace

bool AirStateFromBytes(std::string_view Bytes, TAirStateRec& Rec) {
    if (Bytes.size() < AirStateFileSize) return false;
    double D[FieldCount];
    for (std::size_t I = 0; I < FieldCount; ++I) {
        std::uint64_t Bits = 0;
        for (std::size_t B = 0; B < 8; ++B)
            Bits |= std::uint64_t(static_cast<unsigned char>(Bytes[I * 8 + B])) << (8 * B);
        std::memcpy(&D[I], &Bits, sizeof Bits);
    }
    std::memcpy(&Rec, D, sizeof Rec);
    return true;
}

std::string AirStateToBytes(const TAirStateRec& Rec) {
    double D[FieldCount];
    ToDoubles(Rec, D);
    std::string Bytes(AirStateFileSize, '\0');
    for (std::size_t I = 0; I < FieldCount; ++I) {
        std::uint64_t Bits;
        std::memcpy(&Bits, &D[I], sizeof Bits);
        for (std::size_t B = 0; B < 8; ++B)
            Bytes[I * 8 + B] = static_cast<char>((Bits >> (8 * B)) & 0xFF);
    }
    return Bytes;
}

void ReadAirStateFile(const std::string& FileName, TAirStateRec& Rec) {
    const auto Fail = [&] { return EAirStateFileError(std::string(ReadErrorPrefix) + FileName); };
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> F(std::fopen(FileName.c_str(), "rb"),
                                                      &std::fclose);
    if (!F) throw Fail();
    std::string Bytes(AirStateFileSize, '\0');
    const std::size_t Got = std::fread(Bytes.data(), 1, Bytes.size(), F.get());
    if (!AirStateFromBytes(std::string_view(Bytes).substr(0, Got), Rec)) throw Fail();
}

void WriteAirStateFile(const std::string& FileName, const TAirStateRec& Rec) {
    if (!AtomicWriteFile(FileName, AirStateToBytes(Rec)))
        throw EAirStateFileError("Unable to write to " + FileName);
}

std::string CheckStoredAirState(const TAirStateRec& Rec) {
    ResetReferenceState();
    std::string Message = CheckAirState(Rec);
    if (!Message.empty()) return Message;
    double D[FieldCount];
    ToDoubles(Rec, D);
    for (std::size_t I = 0; I < 11; ++I)
        if (!std::isfinite(D[I])) return "Bad data...";
    return {};
}

} // namespace oravent
