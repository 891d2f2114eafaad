// Per-user settings store with the registry's section/ident/value interface.
// The "registry" is one file in the Windows registry export format,
// $XDG_CONFIG_HOME/Halvorn/registry.reg (default ~/.config/Halvorn/), with
// keys HKEY_CURRENT_USER\<key path>. A section is a subkey of the store's key
// path, an ident a value name; names compare without regard to case.
//
// Value kinds: texts are strings; integers are 32-bit numbers (dword), except
// that an integer written over an existing string is written as decimal text;
// floats are 8-byte binary values holding an IEEE double (little endian);
// booleans are the strings "0"/"1" and are read as integers (non-zero true).
// A read of a value of another kind raises ERegistryException
// "Invalid data type for '<name>'".
//
// Every write re-reads the file under an exclusive lock (flock on
// registry.reg.lock), changes the one value and replaces the file atomically,
// so two programs writing at once never lose each other's values, and the
// later writer of the same value wins. Reads see the file as it is on disk.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "common/TxIniFiles.h"

namespace oravent {

// A value stored with another kind than the read expects.
class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The settings file of the current user: $XDG_CONFIG_HOME/Halvorn/registry.reg,
// or ~/.config/Halvorn/registry.reg when XDG_CONFIG_HOME is unset or not an
// absolute path.
std::string RegistryFileName();

class TRegistryIniFile : public TCustomIniFile {
public:
    // KeyPath below HKEY_CURRENT_USER, e.g. "Software\Halvorn\Oravent"
    // (FileName() gives it back). The store file is RegistryFileName().
    explicit TRegistryIniFile(std::string KeyPath);
    TRegistryIniFile(std::string KeyPath, std::string StoreFile);
    ~TRegistryIniFile() override;

    const std::string& StoreFile() const { return FStoreFile; }

    std::string ReadText(std::string_view Section, std::string_view Ident,
                         std::string_view Default) const override;
    void WriteText(std::string_view Section, std::string_view Ident,
                   std::string_view Value) override;
    int ReadInt(std::string_view Section, std::string_view Ident, int Default) const override;
    void WriteInt(std::string_view Section, std::string_view Ident, int Value) override;
    double ReadReal(std::string_view Section, std::string_view Ident,
                    double Default) const override;
    void WriteReal(std::string_view Section, std::string_view Ident, double Value) override;
    void WriteBool(std::string_view Section, std::string_view Ident, bool Value) override;

    void ListSections(std::vector<std::string>& List) const override;
    void ListSectionIdents(std::string_view Section, std::vector<std::string>& List) const override;
    void DeleteKey(std::string_view Section, std::string_view Ident) override;
    void EraseSection(std::string_view Section) override;

    // Batching: between BeginUpdate and the matching EndUpdate, writes are
    // kept (and seen by reads) and saved together by EndUpdate, in one
    // locked re-read, merge and replace. EndUpdate raises EIniFileException
    // when the save is refused; the kept writes are then dropped. A store
    // destroyed inside a batch saves nothing. Outside a batch every write is
    // saved at once.
    void BeginUpdate();
    void EndUpdate();

private:
    struct TState;
    std::string FStoreFile;
    std::string FKeyPath; // full path, "HKEY_CURRENT_USER\..."
    std::unique_ptr<TState> FState;
    std::string SectionPath(std::string_view Section) const;
};

} // namespace oravent
