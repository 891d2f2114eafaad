// The program's own version record, placed in an ELF note section so that a
// reader finds it in the program file. The numbers come from the build's
// project version, the company, product and description texts from the
// build's settings (the values below only stand in for a build without
// them); every program that links the core carries it (the link keeps this
// object through the symbol oravent_version_note).
#include "common/VersionRecord.h"

#ifndef ORAVENT_VERSION_STR
#define ORAVENT_VERSION_STR "0.0.0.0"
#endif
#ifndef ORAVENT_VERSION_MAJOR
#define ORAVENT_VERSION_MAJOR 0
#endif
#ifndef ORAVENT_VERSION_MINOR
#define ORAVENT_VERSION_MINOR 0
#endif
#ifndef ORAVENT_VERSION_PATCH
#define ORAVENT_VERSION_PATCH 0
#endif
#ifndef ORAVENT_VERSION_TWEAK
#define ORAVENT_VERSION_TWEAK 0
#endif
#ifndef ORAVENT_COMPANY_NAME
#define ORAVENT_COMPANY_NAME "Halvorn"
#endif
#ifndef ORAVENT_PRODUCT_NAME
#define ORAVENT_PRODUCT_NAME "Oravent"
#endif
#ifndef ORAVENT_FILE_DESCRIPTION
#define ORAVENT_FILE_DESCRIPTION "Duct size calculator"
#endif

namespace oravent {

namespace {

// "+ 0" keeps an empty component (a version without tweak) valid.
constexpr std::array<std::uint16_t, 4> kVersion = {
    static_cast<std::uint16_t>(ORAVENT_VERSION_MAJOR + 0),
    static_cast<std::uint16_t>(ORAVENT_VERSION_MINOR + 0),
    static_cast<std::uint16_t>(ORAVENT_VERSION_PATCH + 0),
    static_cast<std::uint16_t>(ORAVENT_VERSION_TWEAK + 0)};

constexpr TVersionString kStrings[] = {
    {"CompanyName", ORAVENT_COMPANY_NAME},
    {"FileDescription", ORAVENT_FILE_DESCRIPTION},
    {"FileVersion", ORAVENT_VERSION_STR},
    {"InternalName", ORAVENT_PRODUCT_NAME},
    {"LegalCopyright", "Copyright (C) " ORAVENT_COMPANY_NAME},
    {"OriginalFilename", "oravent"},
    {"ProductName", ORAVENT_PRODUCT_NAME},
    {"ProductVersion", ORAVENT_VERSION_STR},
};

#ifdef NDEBUG
constexpr std::uint32_t kFlags = 0;
#else
constexpr std::uint32_t kFlags = VS_FF_DEBUG;
#endif

constexpr TVersionDef kSpec{kVersion, kVersion, 0x3F, kFlags, 0x0409, 0x04E4, kStrings};
constexpr std::size_t kRecordSize = VersionRecordSize(kSpec);

struct TVersionNote {
    std::uint32_t NameSize;
    std::uint32_t DescSize;
    std::uint32_t Type;
    char Name[8];
    std::array<unsigned char, kRecordSize> Desc;
};
static_assert(kVersionNoteOwner.size() + 1 == 8);
static_assert(kRecordSize % 4 == 0);

} // namespace

} // namespace oravent

extern "C" {
extern const oravent::TVersionNote oravent_version_note;
__attribute__((section(".note.halvorn.version"), used, aligned(4)))
const oravent::TVersionNote oravent_version_note = {
    8, static_cast<std::uint32_t>(oravent::kRecordSize), oravent::kVersionNoteType, "Halvorn",
    oravent::BuildVersionRecord<oravent::kRecordSize>(oravent::kSpec)};
}

namespace oravent {

std::string BuildVersionRecordBytes(const TVersionDef& Def) {
    struct TStringSink {
        std::string Bytes;
        void Put(unsigned char C) { Bytes += static_cast<char>(C); }
    } Sink;
    detail::WriteVersionRecord(Def, Sink);
    return std::move(Sink.Bytes);
}

std::string_view ThisProgramVersionRecord() {
    return std::string_view(reinterpret_cast<const char*>(oravent_version_note.Desc.data()),
                            oravent_version_note.Desc.size());
}

} // namespace oravent
