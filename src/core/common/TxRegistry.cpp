// The per-user settings store over the registry export file.
#include "common/TxRegistry.h"

#include <cstdlib>
#include <cstring>
#include <functional>

#include <unistd.h>

#include "common/AppFolders.h"
#include "common/AtomicFile.h"
#include "common/RegFile.h"
#include "common/TextCodec.h"

namespace oravent {

namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER";

// A name with a line break cannot be written in the line-based file.
void CheckNames(const std::string& File, std::string_view Section, std::string_view Ident) {
    for (std::string_view Name : {Section, Ident})
        if (Name.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos)
            throw EIniFileException("Unable to write to " + File + ": line break in '" +
                                    std::string(Name) + "'");
}

[[noreturn]] void InvalidType(std::string_view Ident) {
    throw ERegistryException("Invalid data type for '" + std::string(Ident) + "'");
}

} // namespace

std::string RegistryFileName() {
    return XdgBaseFolder("XDG_CONFIG_HOME", ".config") + "/Halvorn/registry.reg";
}

struct TRegistryIniFile::TState {
    TRegFile File;
    int UpdateDepth = 0;
    std::vector<std::function<void(TRegFile&)>> Pending; // writes of the open batch
    TFileStamp Stamp;

    // The file as it is on disk (re-read only when it changed), with the
    // writes of an open batch applied.
    const TRegFile& Refresh(const std::string& Name) {
        switch (Stamp.Look(Name)) {
        case TFileStamp::Missing:
            File = TRegFile{};
            break;
        case TFileStamp::Unchanged:
            return File;
        case TFileStamp::Changed: {
            auto Bytes = ReadWholeFile(Name);
            File = TRegFile::Parse(Bytes ? *Bytes : std::string());
            Stamp.Loaded(Name, Bytes.has_value());
            break;
        }
        }
        for (const auto& Change : Pending)
            Change(File);
        return File;
    }

    // Under the lock: read the file as another program may have left it,
    // apply one change, replace the file.
    void Modify(const std::string& Name, std::function<void(TRegFile&)> Change) {
        if (UpdateDepth > 0) {
            Refresh(Name);
            Change(File);
            Pending.push_back(std::move(Change));
            return;
        }
        Save(Name, {Change});
    }

    void Save(const std::string& Name, const std::vector<std::function<void(TRegFile&)>>& Changes) {
        const auto Slash = Name.rfind('/');
        if (Slash != std::string::npos && Slash > 0 && !ForceDirectories(Name.substr(0, Slash)))
            throw EIniFileException("Unable to write to " + Name);
        TFileLock Lock(Name + ".lock");
        if (!Lock.Locked()) throw EIniFileException("Unable to write to " + Name);
        Stamp.Forget();
        auto Bytes = ReadWholeFile(Name);
        TRegFile Fresh = TRegFile::Parse(Bytes ? *Bytes : std::string());
        for (const auto& Change : Changes)
            Change(Fresh);
        if (!AtomicWriteFile(Name, Fresh.Serialize()))
            throw EIniFileException("Unable to write to " + Name);
        File = std::move(Fresh);
        // The lock keeps other writers out, so the file on disk is the one
        // just written.
        Stamp.Written(Name);
    }
};

TRegistryIniFile::TRegistryIniFile(std::string KeyPath)
    : TRegistryIniFile(std::move(KeyPath), RegistryFileName()) {}

TRegistryIniFile::TRegistryIniFile(std::string KeyPath, std::string StoreFile)
    : TCustomIniFile(std::move(KeyPath)), FStoreFile(std::move(StoreFile)),
      FState(std::make_unique<TState>()) {
    const std::string Path = NormalizeKeyPath(FileName());
    const bool HasRoot = Path.size() >= kRoot.size() &&
                         SameText(std::string_view(Path).substr(0, kRoot.size()), kRoot) &&
                         (Path.size() == kRoot.size() || Path[kRoot.size()] == '\\');
    FKeyPath = HasRoot ? Path : std::string(kRoot) + (Path.empty() ? "" : "\\") + Path;
}

TRegistryIniFile::~TRegistryIniFile() = default;

void TRegistryIniFile::BeginUpdate() {
    ++FState->UpdateDepth;
}

void TRegistryIniFile::EndUpdate() {
    if (FState->UpdateDepth == 0 || --FState->UpdateDepth > 0) return;
    auto Changes = std::move(FState->Pending);
    FState->Pending.clear();
    FState->Stamp.Forget();
    if (!Changes.empty()) FState->Save(FStoreFile, Changes);
}

std::string TRegistryIniFile::SectionPath(std::string_view Section) const {
    const std::string S = NormalizeKeyPath(Section);
    return S.empty() ? FKeyPath : FKeyPath + "\\" + S;
}

std::string TRegistryIniFile::ReadText(std::string_view Section, std::string_view Ident,
                                       std::string_view Default) const {
    const TRegKey* Key = FState->Refresh(FStoreFile).FindKey(SectionPath(Section));
    const TRegValue* V = Key ? Key->Find(Ident) : nullptr;
    if (!V) return std::string(Default);
    if (!V->IsText()) InvalidType(Ident);
    return V->Data;
}

void TRegistryIniFile::WriteText(std::string_view Section, std::string_view Ident,
                                 std::string_view Value) {
    CheckNames(FStoreFile, Section, Ident);
    const std::string Path = SectionPath(Section);
    FState->Modify(FStoreFile,
                   [Path, V = TRegValue{std::string(Ident), TRegKind::String, std::string(Value)}](
                       TRegFile& F) { F.SetValue(Path, V); });
}

int TRegistryIniFile::ReadInt(std::string_view Section, std::string_view Ident, int Default) const {
    const TRegKey* Key = FState->Refresh(FStoreFile).FindKey(SectionPath(Section));
    const TRegValue* V = Key ? Key->Find(Ident) : nullptr;
    if (!V) return Default;
    if (V->Kind == TRegKind::DWord && V->Data.size() == 4) {
        std::uint32_t D = 0;
        for (int I = 3; I >= 0; --I)
            D = (D << 8) | static_cast<unsigned char>(V->Data[I]);
        return static_cast<int>(D);
    }
    if (!V->IsText()) InvalidType(Ident);
    int Value = 0;
    return IniTextToInt(TrimBlanks(V->Data), Value) ? Value : Default;
}

void TRegistryIniFile::WriteInt(std::string_view Section, std::string_view Ident, int Value) {
    CheckNames(FStoreFile, Section, Ident);
    const std::string Path = SectionPath(Section);
    FState->Modify(FStoreFile, [Path, Ident = std::string(Ident), Value](TRegFile& F) {
        const TRegKey* Key = F.FindKey(Path);
        const TRegValue* Old = Key ? Key->Find(Ident) : nullptr;
        if (Old && Old->IsText()) {
            F.SetValue(Path,
                       TRegValue{std::string(Ident), TRegKind::String, std::to_string(Value)});
            return;
        }
        std::string Bytes(4, '\0');
        const auto U = static_cast<std::uint32_t>(Value);
        for (int I = 0; I < 4; ++I)
            Bytes[I] = static_cast<char>((U >> (8 * I)) & 0xFF);
        F.SetValue(Path, TRegValue{std::string(Ident), TRegKind::DWord, std::move(Bytes)});
    });
}

double TRegistryIniFile::ReadReal(std::string_view Section, std::string_view Ident,
                                  double Default) const {
    const TRegKey* Key = FState->Refresh(FStoreFile).FindKey(SectionPath(Section));
    const TRegValue* V = Key ? Key->Find(Ident) : nullptr;
    if (!V) return Default;
    if (V->Kind != TRegKind::Binary || V->Data.size() != sizeof(double)) InvalidType(Ident);
    std::uint64_t Bits = 0;
    for (int I = 7; I >= 0; --I)
        Bits = (Bits << 8) | static_cast<unsigned char>(V->Data[I]);
    double Value = 0;
    std::memcpy(&Value, &Bits, sizeof Value);
    return Value;
}

void TRegistryIniFile::WriteReal(std::string_view Section, std::string_view Ident, double Value) {
    CheckNames(FStoreFile, Section, Ident);
    const std::string Path = SectionPath(Section);
    std::uint64_t Bits = 0;
    std::memcpy(&Bits, &Value, sizeof Bits);
    std::string Bytes(8, '\0');
    for (int I = 0; I < 8; ++I)
        Bytes[I] = static_cast<char>((Bits >> (8 * I)) & 0xFF);
    FState->Modify(FStoreFile, [Path, V = TRegValue{std::string(Ident), TRegKind::Binary, Bytes}](
                                   TRegFile& F) { F.SetValue(Path, V); });
}

void TRegistryIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    WriteText(Section, Ident, Value ? "1" : "0");
}

void TRegistryIniFile::ListSections(std::vector<std::string>& List) const {
    List = FState->Refresh(FStoreFile).SubKeyNames(FKeyPath);
}

void TRegistryIniFile::ListSectionIdents(std::string_view Section,
                                         std::vector<std::string>& List) const {
    List.clear();
    const TRegKey* Key = FState->Refresh(FStoreFile).FindKey(SectionPath(Section));
    if (!Key) return;
    for (const auto& V : Key->Values())
        List.push_back(V.Name);
}

void TRegistryIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    const std::string Path = SectionPath(Section);
    const TRegKey* Key = FState->Refresh(FStoreFile).FindKey(Path);
    if (!Key || !Key->Find(Ident)) return;
    FState->Modify(FStoreFile,
                   [Path, Ident = std::string(Ident)](TRegFile& F) { F.DeleteValue(Path, Ident); });
}

void TRegistryIniFile::EraseSection(std::string_view Section) {
    const std::string Path = SectionPath(Section);
    if (!FState->Refresh(FStoreFile).FindKey(Path) &&
        FState->Refresh(FStoreFile).SubKeyNames(Path).empty())
        return;
    FState->Modify(FStoreFile, [Path](TRegFile& F) { F.DeleteKey(Path); });
}

} // namespace oravent
