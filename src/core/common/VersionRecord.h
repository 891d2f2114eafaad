// The version record a program file carries: the same content as a Windows
// version resource (fixed file information, translations, string table), in
// a small little-endian block format, stored in the ELF note section
// ".note.halvorn.version" (owner "Halvorn", type 1) of every program.
//
// Record layout: a sequence of blocks, each a 32-bit tag, a 32-bit length and
// that many bytes, padded to a multiple of 4:
//   "FIXD"  13 x u32: signature 0xFEEF04BD, structure version, file version
//           MS/LS, product version MS/LS, flags mask, flags, OS, type,
//           subtype, date MS/LS
//   "TRAN"  pairs of u16 language, u16 code page
//   "STRS"  u16 language, u16 code page, then pairs of NUL-terminated UTF-8
//           texts: entry name, entry value
// The builder is constexpr so that the record is a constant in the program.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace oravent {

constexpr std::string_view kVersionNoteOwner = "Halvorn";
constexpr std::uint32_t kVersionNoteType = 1;
constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;

// Version flags (fixed file information).
constexpr std::uint32_t VS_FF_DEBUG = 0x01;
constexpr std::uint32_t VS_FF_PRERELEASE = 0x02;
constexpr std::uint32_t VS_FF_PATCHED = 0x04;
constexpr std::uint32_t VS_FF_PRIVATEBUILD = 0x08;
constexpr std::uint32_t VS_FF_INFOINFERRED = 0x10;
constexpr std::uint32_t VS_FF_SPECIALBUILD = 0x20;

constexpr std::uint32_t BlockTag(const char (&Name)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(Name[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(Name[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(Name[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(Name[3])) << 24;
}

using TVersionString = std::pair<std::string_view, std::string_view>;

struct TVersionDef {
    std::array<std::uint16_t, 4> FileVersion{};    // major, minor, release, build
    std::array<std::uint16_t, 4> ProductVersion{}; // same order
    std::uint32_t FlagsMask = 0x3F;
    std::uint32_t Flags = 0;
    std::uint16_t Language = 0x0409;
    std::uint16_t CodePage = 0x04E4;
    std::span<const TVersionString> Strings;
    // Switches for records with parts missing (tests of the reader).
    bool WithFixed = true;
    std::uint32_t FixedLength = 52;
    bool WithTranslation = true;
};

namespace detail {

template <class Sink> constexpr void PutU32(Sink& Out, std::uint32_t V) {
    for (int I = 0; I < 4; ++I)
        Out.Put(static_cast<unsigned char>((V >> (8 * I)) & 0xFF));
}
template <class Sink> constexpr void PutU16(Sink& Out, std::uint16_t V) {
    Out.Put(static_cast<unsigned char>(V & 0xFF));
    Out.Put(static_cast<unsigned char>(V >> 8));
}
template <class Sink> constexpr void PutText(Sink& Out, std::string_view Text) {
    for (char C : Text)
        Out.Put(static_cast<unsigned char>(C));
    Out.Put(0);
}
template <class Sink> constexpr void Pad(Sink& Out, std::size_t Length) {
    for (std::size_t I = Length; I % 4 != 0; ++I)
        Out.Put(0);
}
constexpr std::uint32_t High(std::uint16_t A, std::uint16_t B) {
    return static_cast<std::uint32_t>(A) << 16 | B;
}

template <class Sink> constexpr void WriteVersionRecord(const TVersionDef& Def, Sink& Out) {
    if (Def.WithFixed) {
        const std::uint32_t Fixed[13] = {kFixedFileInfoSignature,
                                         0x00010000,
                                         High(Def.FileVersion[0], Def.FileVersion[1]),
                                         High(Def.FileVersion[2], Def.FileVersion[3]),
                                         High(Def.ProductVersion[0], Def.ProductVersion[1]),
                                         High(Def.ProductVersion[2], Def.ProductVersion[3]),
                                         Def.FlagsMask,
                                         Def.Flags,
                                         0,
                                         1,
                                         0,
                                         0,
                                         0};
        const std::uint32_t Length = Def.FixedLength < 52 ? Def.FixedLength & ~3u : 52;
        PutU32(Out, BlockTag("FIXD"));
        PutU32(Out, Length);
        for (std::uint32_t I = 0; I < Length / 4; ++I)
            PutU32(Out, Fixed[I]);
    }
    if (Def.WithTranslation) {
        PutU32(Out, BlockTag("TRAN"));
        PutU32(Out, 4);
        PutU16(Out, Def.Language);
        PutU16(Out, Def.CodePage);
    }
    std::size_t Length = 4;
    for (const auto& [Name, Value] : Def.Strings)
        Length += Name.size() + Value.size() + 2;
    PutU32(Out, BlockTag("STRS"));
    PutU32(Out, static_cast<std::uint32_t>(Length));
    PutU16(Out, Def.Language);
    PutU16(Out, Def.CodePage);
    for (const auto& [Name, Value] : Def.Strings) {
        PutText(Out, Name);
        PutText(Out, Value);
    }
    Pad(Out, Length);
}

struct TCountSink {
    std::size_t Size = 0;
    constexpr void Put(unsigned char) { ++Size; }
};

template <std::size_t N> struct TArraySink {
    std::array<unsigned char, N> Bytes{};
    std::size_t Pos = 0;
    constexpr void Put(unsigned char C) { Bytes[Pos++] = C; }
};

} // namespace detail

constexpr std::size_t VersionRecordSize(const TVersionDef& Def) {
    detail::TCountSink Count;
    detail::WriteVersionRecord(Def, Count);
    return Count.Size;
}

template <std::size_t N>
constexpr std::array<unsigned char, N> BuildVersionRecord(const TVersionDef& Def) {
    detail::TArraySink<N> Sink;
    detail::WriteVersionRecord(Def, Sink);
    return Sink.Bytes;
}

// The same at run time.
std::string BuildVersionRecordBytes(const TVersionDef& Def);

// The record built into this program (the content of its version note).
std::string_view ThisProgramVersionRecord();

} // namespace oravent
