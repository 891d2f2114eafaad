// Fuzzes the version information reader (common/TxVerInfo.h): a version
// record of any bytes, and a program file of any bytes searched for its
// version note (ELF headers, section and segment tables, notes).
// Input: one byte choosing record (even) or file (odd), then the bytes.
// Checks besides "no crash": failures are ENoVerInfoError, EVerInfoError or
// eNoFixeVerInfo only, each exactly when the record's blocks say so (a block
// running past the end, no translation, fixed information missing or
// shorter than 52 bytes); a file without a note has no version information;
// a record that reads, built again from what was read (VersionRecord.h),
// reads back to the same version, flags and texts.
#include "FuzzCheck.h"
#include "common/TxVerInfo.h"
#include "common/VersionRecord.h"

using namespace oravent;
using oravent::fuzz::Shown;

namespace {

std::array<std::uint16_t, 4> Parts(std::uint32_t MS, std::uint32_t LS) {
    return {static_cast<std::uint16_t>(MS >> 16), static_cast<std::uint16_t>(MS & 0xFFFF),
            static_cast<std::uint16_t>(LS >> 16), static_cast<std::uint16_t>(LS & 0xFFFF)};
}

void CheckRebuilt(const TVerInfoRes& Info);

// What the record layout makes of Record: 0 readable, 1 damaged (a block
// runs past the end) or without translation, 2 without (whole) fixed
// information.
int Expected(std::string_view R) {
    std::size_t Tran = 0, Fixed = 0; // sizes of the first blocks; 0 none
    bool HasTran = false, HasFixed = false;
    auto U32 = [&](std::size_t P) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(R[P])) |
               static_cast<std::uint32_t>(static_cast<unsigned char>(R[P + 1])) << 8 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(R[P + 2])) << 16 |
               static_cast<std::uint32_t>(static_cast<unsigned char>(R[P + 3])) << 24;
    };
    for (std::size_t Pos = 0; Pos < R.size();) {
        if (R.size() - Pos < 8) return 1;
        const std::uint32_t Tag = U32(Pos), Length = U32(Pos + 4);
        if (Length > R.size() - Pos - 8) return 1;
        if (Tag == BlockTag("TRAN") && !HasTran) HasTran = true, Tran = Length;
        if (Tag == BlockTag("FIXD") && !HasFixed) HasFixed = true, Fixed = Length;
        Pos += 8 + (static_cast<std::size_t>(Length) + 3) / 4 * 4;
    }
    if (!HasTran || Tran < 4) return 1;
    return HasFixed && Fixed >= 52 ? 0 : 2;
}

void CheckRecord(std::string_view Record, const std::string& Shown) {
    int Got = 0;
    try {
        const TVerInfoRes Info("record", Record);
        CheckRebuilt(Info);
    } catch (const EVerInfoError&) {
        Got = 1;
    } catch (const eNoFixeVerInfo&) {
        Got = 2;
    }
    FUZZ_CHECK(Got == Expected(Record), Shown + ": read as case " + std::to_string(Got) +
                                            ", the layout says " +
                                            std::to_string(Expected(Record)));
}

void CheckRebuilt(const TVerInfoRes& Info) {
    const TFixedFileInfo& F = Info.FixedFileInfo();
    std::vector<std::string> Values;
    std::vector<TVersionString> Strings;
    for (int I = 0; I < 10; ++I)
        Values.push_back(Info.Entry(I));
    for (int I = 0; I < 10; ++I)
        if (!Values[static_cast<std::size_t>(I)].empty())
            Strings.emplace_back(VerInfoEntryNames[I], Values[static_cast<std::size_t>(I)]);
    TVersionDef Def;
    Def.FileVersion = Parts(F.FileVersionMS, F.FileVersionLS);
    Def.ProductVersion = Parts(F.ProductVersionMS, F.ProductVersionLS);
    Def.FlagsMask = F.FileFlagsMask;
    Def.Flags = F.FileFlags;
    Def.Language = Info.Language();
    Def.CodePage = Info.CodePage();
    Def.Strings = Strings;
    const std::string Record = BuildVersionRecordBytes(Def);
    const TVerInfoRes Again("rebuilt", Record);
    const std::string What = "record " + Shown(Info.Resource(), 300);
    FUZZ_CHECK(Again.VersionText() == Info.VersionText(), What + ": " + Again.VersionText());
    FUZZ_CHECK(Again.FlagTexts() == Info.FlagTexts(), What + ": flags");
    for (int I = 0; I < 10; ++I) {
        const std::string& V = Values[static_cast<std::size_t>(I)];
        FUZZ_CHECK(V.find('\0') == std::string::npos, What + ": NUL in a text");
        FUZZ_CHECK(Again.Entry(I) == V, What + ": " + VerInfoEntryNames[I] + " " + Shown(V));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    fuzz::TFuzzInput In(Data, Size);
    const bool AsFile = In.Byte() & 1;
    const std::string_view Bytes = In.Rest();
    try {
        if (!AsFile) {
            if (!Bytes.empty()) CheckRecord(Bytes, "record " + Shown(Bytes, 300));
            return 0;
        }
        const std::string File = fuzz::ScratchFolder() + "/program";
        FUZZ_CHECK(fuzz::WriteFile(File, Bytes), File);
        const std::size_t NoteSize = VersionRecordSizeOf(File);
        try {
            const std::string Record = ReadVersionRecord(File);
            FUZZ_CHECK(Record.size() == NoteSize, "note of " + std::to_string(NoteSize) +
                                                      " bytes read as " +
                                                      std::to_string(Record.size()));
            if (!Record.empty()) CheckRecord(Record, "note " + Shown(Record, 300));
        } catch (const EVerInfoError&) {
        }
        try {
            const TVerInfoRes Info(File);
            FUZZ_CHECK(NoteSize > 0, "version information without a note");
            CheckRebuilt(Info);
        } catch (const ENoVerInfoError&) {
            FUZZ_CHECK(NoteSize == 0, "a note of " + std::to_string(NoteSize) +
                                          " bytes but no version information");
        }
    } catch (const ENoVerInfoError&) {
    } catch (const EVerInfoError&) {
    } catch (const eNoFixeVerInfo&) {
    }
    return 0;
}
