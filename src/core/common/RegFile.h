// The per-user settings file in the Windows registry export format: reading
// (UTF-16LE with byte order mark as regedit writes it, UTF-8, or ANSI;
// "REGEDIT4" or "Windows Registry Editor Version 5.00"; hex values continued
// over lines with a backslash) and writing (UTF-8, version 5.00 header).
// A malformed line is skipped. Values of kinds this program does not use are
// kept and written back unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace oravent {

// Registry value kinds (the numbers of the hex(N) form).
enum class TRegKind : std::uint32_t {
    None = 0,
    String = 1,           // "text" or hex(1):  (REG_SZ)
    ExpandString = 2,     // hex(2):            (REG_EXPAND_SZ)
    Binary = 3,           // hex:
    DWord = 4,            // dword:0000000a
    MultiString = 7,      // hex(7):
    QWord = 11,           // hex(b):
    Removed = 0xFFFFFFFF, // internal: a gap left by a removed value
};

struct TRegValue {
    std::string Name; // "" is the key's default value ("@")
    TRegKind Kind = TRegKind::None;
    // String kinds: the text (UTF-8); DWord: 4 bytes little endian; every
    // other kind: the raw bytes.
    std::string Data;

    bool IsText() const { return Kind == TRegKind::String || Kind == TRegKind::ExpandString; }
};

class TRegKey {
public:
    explicit TRegKey(std::string Path);
    // "HKEY_CURRENT_USER\Software\Halvorn\Oravent\Settings"
    const std::string& Path() const { return FPath; }
    const std::string& FoldedPath() const { return FFolded; } // for comparing
    const std::vector<TRegValue>& Values() const {
        if (FDead > 0) Compact();
        return FValues;
    }
    const TRegValue* Find(std::string_view Name) const;
    // Sets a value; an existing one (name compared without case) keeps its
    // place and the spelling of its name.
    void Set(TRegValue Value);
    void Remove(std::string_view Name);

private:
    std::string FPath;
    std::string FFolded;
    // Removed values stay as gaps (kind Removed) until the list is next
    // looked at, so that many removals take linear time in all.
    mutable std::vector<TRegValue> FValues;
    mutable std::unordered_map<std::string, std::size_t> FIndex; // folded name -> index
    mutable std::size_t FDead = 0;
    void Compact() const;
};

class TRegFile {
public:
    static TRegFile Parse(std::string_view Bytes);
    std::string Serialize() const;

    const std::vector<TRegKey>& Keys() const { return FKeys; }
    const TRegKey* FindKey(std::string_view Path) const;
    TRegKey* FindKey(std::string_view Path);
    TRegKey& CreateKey(std::string_view Path);
    // Removes the key and every key below it.
    void DeleteKey(std::string_view Path);
    // Names of the keys directly below Path (each once, in file order),
    // including keys that only exist as part of a deeper key's path.
    std::vector<std::string> SubKeyNames(std::string_view Path) const;

    void SetValue(std::string_view KeyPath, TRegValue Value);
    void DeleteValue(std::string_view KeyPath, std::string_view Name);

private:
    std::vector<TRegKey> FKeys;
    std::unordered_map<std::string, std::size_t> FIndex; // folded path -> index
};

// Key path without doubled or trailing backslashes.
std::string NormalizeKeyPath(std::string_view Path);

} // namespace oravent
