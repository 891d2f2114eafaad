// Version information: finding the version note in an ELF file and reading
// the record.
#include "common/TxVerInfo.h"

#include <cerrno>
#include <cstdio>
#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/VersionRecord.h"

namespace oravent {

const char* const VerInfoEntryNames[10] = {
    "CompanyName",     "FileDescription",  "FileVersion", "InternalName",   "LegalCopyright",
    "LegalTrademarks", "OriginalFilename", "ProductName", "ProductVersion", "Comments"};

namespace {

constexpr const char* kNoVerInfo = "No Version Info Available.";
constexpr const char* kCannotObtain = "Cannot obtain version info.";

// Opened without blocking: opening a FIFO for reading would otherwise wait
// for a writer, and a terminal would become the controlling one. Whatever is
// not a regular file is then turned away by FindVersionNote.
class TFd {
public:
    explicit TFd(const std::string& Name)
        : FFd(::open(Name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)) {}
    ~TFd() {
        if (FFd >= 0) ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

// Reads exactly Size bytes at Offset; false on a short read or an error.
bool ReadAt(int Fd, std::uint64_t Offset, std::size_t Size, std::string& Out) {
    Out.assign(Size, '\0');
    std::size_t Done = 0;
    while (Done < Size) {
        const ssize_t N =
            ::pread(Fd, Out.data() + Done, Size - Done, static_cast<off_t>(Offset + Done));
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) return false;
        Done += static_cast<std::size_t>(N);
    }
    return true;
}

struct TEndian {
    bool Big = false;
    std::uint64_t Get(std::string_view B, std::size_t Off, int Size) const {
        std::uint64_t V = 0;
        for (int I = 0; I < Size; ++I) {
            const auto Byte = static_cast<unsigned char>(B[Off + (Big ? I : Size - 1 - I)]);
            V = (V << 8) | Byte;
        }
        return V;
    }
};

// Where the version note's description lies in the file.
struct TNoteSpot {
    std::uint64_t Offset = 0;
    std::uint64_t Size = 0;
    bool Inside = true; // the description lies inside its section and the file
};

// Searches the note areas (sections of type note, else note segments) of an
// ELF file for the version note. nullopt when there is none.
std::optional<TNoteSpot> FindVersionNote(int Fd) {
    struct stat St {};
    if (::fstat(Fd, &St) != 0 || !S_ISREG(St.st_mode)) return std::nullopt;
    const auto FileSize = static_cast<std::uint64_t>(St.st_size);
    std::string Head;
    if (FileSize < 52 || !ReadAt(Fd, 0, 64 <= FileSize ? 64 : 52, Head)) return std::nullopt;
    if (Head.compare(0, 4,
                     "\x7f"
                     "ELF") != 0)
        return std::nullopt;
    const bool Is64 = Head[4] == 2;
    if (Head[4] != 1 && Head[4] != 2) return std::nullopt;
    if (Head[5] != 1 && Head[5] != 2) return std::nullopt;
    if (Is64 && Head.size() < 64) return std::nullopt;
    const TEndian E{Head[5] == 2};
    const int W = Is64 ? 8 : 4;

    struct TArea {
        std::uint64_t Offset, Size, Align;
    };
    std::vector<TArea> Areas;
    const std::uint64_t ShOff = E.Get(Head, Is64 ? 0x28 : 0x20, W);
    const std::uint64_t ShEntSize = E.Get(Head, Is64 ? 0x3A : 0x2E, 2);
    std::uint64_t ShNum = E.Get(Head, Is64 ? 0x3C : 0x30, 2);
    const std::uint64_t MinSh = Is64 ? 64 : 40;
    if (ShOff != 0 && ShEntSize >= MinSh && ShOff < FileSize) {
        std::string Sh;
        if (ShNum == 0 && ReadAt(Fd, ShOff, MinSh, Sh)) // extended count in entry 0
            ShNum = E.Get(Sh, Is64 ? 0x20 : 0x14, W);
        ShNum = std::min<std::uint64_t>(ShNum, (FileSize - ShOff) / ShEntSize);
        for (std::uint64_t I = 0; I < ShNum; ++I) {
            if (!ReadAt(Fd, ShOff + I * ShEntSize, MinSh, Sh)) break;
            if (E.Get(Sh, 4, 4) != 7) continue; // SHT_NOTE
            Areas.push_back({E.Get(Sh, Is64 ? 0x18 : 0x10, W), E.Get(Sh, Is64 ? 0x20 : 0x14, W),
                             E.Get(Sh, Is64 ? 0x30 : 0x20, W)});
        }
    }
    if (Areas.empty()) {
        const std::uint64_t PhOff = E.Get(Head, Is64 ? 0x20 : 0x1C, W);
        const std::uint64_t PhEntSize = E.Get(Head, Is64 ? 0x36 : 0x2A, 2);
        std::uint64_t PhNum = E.Get(Head, Is64 ? 0x38 : 0x2C, 2);
        const std::uint64_t MinPh = Is64 ? 56 : 32;
        if (PhOff != 0 && PhEntSize >= MinPh && PhOff < FileSize) {
            PhNum = std::min<std::uint64_t>(PhNum, (FileSize - PhOff) / PhEntSize);
            std::string Ph;
            for (std::uint64_t I = 0; I < PhNum; ++I) {
                if (!ReadAt(Fd, PhOff + I * PhEntSize, MinPh, Ph)) break;
                if (E.Get(Ph, 0, 4) != 4) continue; // PT_NOTE
                Areas.push_back({E.Get(Ph, Is64 ? 0x08 : 0x04, W), E.Get(Ph, Is64 ? 0x20 : 0x10, W),
                                 E.Get(Ph, Is64 ? 0x30 : 0x1C, W)});
            }
        }
    }

    for (const TArea& A : Areas) {
        if (A.Offset >= FileSize) continue;
        const std::uint64_t Align = A.Align == 8 ? 8 : 4;
        const std::uint64_t End = A.Offset + A.Size; // may lie beyond the file
        auto Up = [Align](std::uint64_t V) { return (V + Align - 1) / Align * Align; };
        std::uint64_t Pos = A.Offset;
        std::string Note;
        while (Pos + 12 <= End && Pos + 12 <= FileSize) {
            if (!ReadAt(Fd, Pos, 12, Note)) break;
            const std::uint64_t NameSize = E.Get(Note, 0, 4);
            const std::uint64_t DescSize = E.Get(Note, 4, 4);
            const std::uint64_t Type = E.Get(Note, 8, 4);
            const std::uint64_t DescPos = Pos + 12 + Up(NameSize);
            std::string Name;
            if (NameSize == kVersionNoteOwner.size() + 1 && Type == kVersionNoteType &&
                Pos + 12 + NameSize <= FileSize && ReadAt(Fd, Pos + 12, NameSize, Name) &&
                std::string_view(Name).substr(0, kVersionNoteOwner.size()) == kVersionNoteOwner &&
                Name.back() == '\0') {
                TNoteSpot Spot{DescPos, DescSize,
                               DescPos + DescSize <= End && DescPos + DescSize <= FileSize};
                return Spot;
            }
            const std::uint64_t Next = DescPos + Up(DescSize);
            if (Next <= Pos) break;
            Pos = Next;
        }
    }
    return std::nullopt;
}

struct TBlock {
    std::uint32_t Tag;
    std::string_view Data;
};

std::uint32_t U32(std::string_view B, std::size_t Off) {
    return TEndian{false}.Get(B, Off, 4) & 0xFFFFFFFFu;
}
std::uint16_t U16(std::string_view B, std::size_t Off) {
    return static_cast<std::uint16_t>(TEndian{false}.Get(B, Off, 2));
}

} // namespace

std::string StringFileInfoPath(std::uint16_t Language, std::uint16_t CodePage,
                               std::string_view Entry) {
    char Buffer[16];
    std::snprintf(Buffer, sizeof Buffer, "%.4X%.4X", Language, CodePage);
    return "\\StringFileInfo\\" + std::string(Buffer) + "\\" + std::string(Entry);
}

namespace {

// The record of an open file: nullopt when the file has none, else the
// record (EVerInfoError when it cannot be read whole).
std::optional<std::string> RecordOf(int Fd) {
    if (Fd < 0) return std::nullopt;
    const auto Spot = FindVersionNote(Fd);
    if (!Spot || Spot->Size == 0) return std::nullopt;
    std::string Record;
    if (!Spot->Inside || !ReadAt(Fd, Spot->Offset, Spot->Size, Record))
        throw EVerInfoError(kCannotObtain);
    return Record;
}

} // namespace

std::size_t VersionRecordSizeOf(const std::string& FileName) {
    const TFd Fd(FileName);
    if (Fd.Get() < 0) return 0;
    const auto Spot = FindVersionNote(Fd.Get());
    return Spot ? static_cast<std::size_t>(Spot->Size) : 0;
}

std::string ReadVersionRecord(const std::string& FileName) {
    const TFd Fd(FileName);
    if (Fd.Get() < 0) throw EVerInfoError(kCannotObtain);
    auto Record = RecordOf(Fd.Get());
    if (!Record) throw EVerInfoError(kCannotObtain);
    return std::move(*Record);
}

// The size and the record come from one opening of the file, so a file
// replaced in between cannot mix two records.
TVerInfoRes::TVerInfoRes(std::string FileName) : FFileName(std::move(FileName)) {
    const TFd Fd(FFileName);
    auto Record = RecordOf(Fd.Get());
    if (!Record) throw ENoVerInfoError(kNoVerInfo);
    FResource = std::move(*Record);
    Load();
}

TVerInfoRes::TVerInfoRes(std::string FileName, std::string_view Record)
    : FFileName(std::move(FileName)), FResource(Record) {
    if (FResource.empty()) throw ENoVerInfoError(kNoVerInfo);
    Load();
}

void TVerInfoRes::Load() {
    // Split into blocks; a block running past the end means the record is
    // damaged.
    std::vector<TBlock> Blocks;
    const std::string_view R = FResource;
    std::size_t Pos = 0;
    while (Pos < R.size()) {
        if (R.size() - Pos < 8) throw EVerInfoError(kCannotObtain);
        const std::uint32_t Tag = U32(R, Pos);
        const std::uint32_t Length = U32(R, Pos + 4);
        if (Length > R.size() - Pos - 8) throw EVerInfoError(kCannotObtain);
        Blocks.push_back({Tag, R.substr(Pos + 8, Length)});
        Pos += 8 + (static_cast<std::size_t>(Length) + 3) / 4 * 4;
    }
    auto Find = [&](std::uint32_t Tag) -> const TBlock* {
        for (const auto& B : Blocks)
            if (B.Tag == Tag) return &B;
        return nullptr;
    };

    const TBlock* Tran = Find(BlockTag("TRAN"));
    if (!Tran || Tran->Data.size() < 4) throw EVerInfoError("No language info.");
    FLanguage = U16(Tran->Data, 0);
    FCodePage = U16(Tran->Data, 2);

    const TBlock* Fixed = Find(BlockTag("FIXD"));
    if (!Fixed || Fixed->Data.size() < 52) throw eNoFixeVerInfo("No fixed file info");
    std::uint32_t* Fields[13] = {
        &FFixed.Signature,     &FFixed.StrucVersion,     &FFixed.FileVersionMS,
        &FFixed.FileVersionLS, &FFixed.ProductVersionMS, &FFixed.ProductVersionLS,
        &FFixed.FileFlagsMask, &FFixed.FileFlags,        &FFixed.FileOS,
        &FFixed.FileType,      &FFixed.FileSubtype,      &FFixed.FileDateMS,
        &FFixed.FileDateLS};
    for (int I = 0; I < 13; ++I)
        *Fields[I] = U32(Fixed->Data, static_cast<std::size_t>(I) * 4);

    const std::uint32_t Valid = FFixed.FileFlags & FFixed.FileFlagsMask;
    const std::pair<std::uint32_t, const char*> Flags[] = {{VS_FF_PRERELEASE, "Pre-release"},
                                                           {VS_FF_PRIVATEBUILD, "Private build"},
                                                           {VS_FF_SPECIALBUILD, "Special build"},
                                                           {VS_FF_DEBUG, "Debug"}};
    for (const auto& [Flag, Text] : Flags)
        if (Valid & Flag) FFlagTexts.emplace_back(Text);

    // String tables, addressed by their path.
    for (const auto& B : Blocks) {
        if (B.Tag != BlockTag("STRS") || B.Data.size() < 4) continue;
        const std::string Prefix = StringFileInfoPath(U16(B.Data, 0), U16(B.Data, 2), "");
        std::size_t P = 4;
        for (;;) {
            const auto NameEnd = B.Data.find('\0', P);
            if (NameEnd == std::string_view::npos) break;
            const auto ValueEnd = B.Data.find('\0', NameEnd + 1);
            if (ValueEnd == std::string_view::npos) break;
            FStrings.emplace_back(Prefix + std::string(B.Data.substr(P, NameEnd - P)),
                                  std::string(B.Data.substr(NameEnd + 1, ValueEnd - NameEnd - 1)));
            P = ValueEnd + 1;
        }
    }
}

std::string TVerInfoRes::VersionText() const {
    char Buffer[64];
    std::snprintf(Buffer, sizeof Buffer, "%u.%u.%u.%u", FFixed.FileVersionMS >> 16,
                  FFixed.FileVersionMS & 0xFFFF, FFixed.FileVersionLS >> 16,
                  FFixed.FileVersionLS & 0xFFFF);
    return Buffer;
}

std::string TVerInfoRes::ProductTitle() const {
    return Entry("ProductName") + " " + VersionText();
}

std::string TVerInfoRes::Entry(int Index) const {
    if (Index < 0 || Index >= 10) return {};
    return Entry(VerInfoEntryNames[Index]);
}

std::string TVerInfoRes::Entry(std::string_view Name) const {
    const std::string Path = StringFileInfoPath(FLanguage, FCodePage, Name);
    for (const auto& [Key, Value] : FStrings)
        if (Key == Path) return Value;
    return {};
}

namespace {
// Any program that reads version information carries its own record.
[[maybe_unused]] __attribute__((used))
std::string_view (*const KeepVersionRecord)() = &ThisProgramVersionRecord;

std::string OrSelf(const std::string& FileName) {
    return FileName.empty() ? std::string(kOwnProgramFile) : FileName;
}
} // namespace

std::string FileVersionText(const std::string& FileName) {
    return TVerInfoRes(OrSelf(FileName)).VersionText();
}

std::string FileDescriptionText(const std::string& FileName) {
    return TVerInfoRes(OrSelf(FileName)).Entry("FileDescription");
}

std::string ProductTitleText(const std::string& FileName) {
    return TVerInfoRes(OrSelf(FileName)).ProductTitle();
}

} // namespace oravent
