// Reading and writing the registry export format.
#include "common/RegFile.h"

#include <algorithm>
#include <cstdio>
#include <unordered_set>

#include "common/TextCodec.h"

namespace oravent {

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

int HexValue(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

// The file as UTF-8 text, whatever encoding it came in.
std::string DecodeFile(std::string_view Bytes) {
    if (Bytes.size() >= 2 && static_cast<unsigned char>(Bytes[0]) == 0xFF &&
        static_cast<unsigned char>(Bytes[1]) == 0xFE)
        return Utf16LeToUtf8(Bytes.substr(2));
    if (Bytes.size() >= 3 && Bytes.substr(0, 3) == "\xEF\xBB\xBF") Bytes.remove_prefix(3);
    // UTF-16LE without byte order mark: ASCII text with every second byte 0.
    if (Bytes.size() >= 4 && Bytes[0] != 0 && Bytes[1] == 0 && Bytes[2] != 0 && Bytes[3] == 0)
        return Utf16LeToUtf8(Bytes);
    if (IsValidUtf8(Bytes)) return std::string(Bytes);
    return Cp1252ToUtf8(Bytes);
}

// Parses a quoted text starting at Text[Pos] == '"' with the escapes \\ and
// \"; Pos ends after the closing quote. False when there is none.
bool ParseQuoted(std::string_view Text, std::size_t& Pos, std::string& Out) {
    if (Pos >= Text.size() || Text[Pos] != '"') return false;
    ++Pos;
    Out.clear();
    while (Pos < Text.size()) {
        const char C = Text[Pos++];
        if (C == '"') return true;
        if (C == '\\' && Pos < Text.size() && (Text[Pos] == '\\' || Text[Pos] == '"')) {
            Out += Text[Pos++];
            continue;
        }
        Out += C;
    }
    return false;
}

// The name part of a value line, "name"= or @= (the default value, Name
// empty), with the blanks around the "="; Pos ends at the data. False when
// the line does not start so. Line must not be empty.
bool ParseValueName(std::string_view Line, std::size_t& Pos, std::string& Name) {
    Pos = 0;
    if (Line[0] == '@') {
        Name.clear();
        Pos = 1;
    } else if (!ParseQuoted(Line, Pos, Name)) {
        return false;
    }
    while (Pos < Line.size() && (Line[Pos] == ' ' || Line[Pos] == '\t'))
        ++Pos;
    if (Pos >= Line.size() || Line[Pos] != '=') return false;
    ++Pos;
    while (Pos < Line.size() && (Line[Pos] == ' ' || Line[Pos] == '\t'))
        ++Pos;
    return true;
}

bool ParseHexBytes(std::string_view Text, std::string& Out) {
    Out.clear();
    const std::string_view T = TrimBlanks(Text);
    if (T.empty()) return true;
    std::size_t Pos = 0;
    for (;;) {
        while (Pos < T.size() && (T[Pos] == ' ' || T[Pos] == '\t'))
            ++Pos;
        int Value = 0;
        int Digits = 0;
        while (Pos < T.size() && HexValue(T[Pos]) >= 0 && Digits < 3) {
            Value = Value * 16 + HexValue(T[Pos++]);
            ++Digits;
        }
        if (Digits == 0 || Digits > 2) return false;
        Out += static_cast<char>(Value);
        while (Pos < T.size() && (T[Pos] == ' ' || T[Pos] == '\t'))
            ++Pos;
        if (Pos == T.size()) return true;
        if (T[Pos] != ',') return false;
        ++Pos;
        // A trailing comma (left by a joined continuation) ends the list.
        while (Pos < T.size() && (T[Pos] == ' ' || T[Pos] == '\t'))
            ++Pos;
        if (Pos == T.size()) return true;
    }
}

// Text of a string kind stored as hex: UTF-16LE without its terminating NUL.
std::string TextFromUtf16(std::string_view Bytes) {
    if (Bytes.size() >= 2 && Bytes[Bytes.size() - 2] == 0 && Bytes[Bytes.size() - 1] == 0)
        Bytes.remove_suffix(2);
    return Utf16LeToUtf8(Bytes);
}

// Text of a string kind stored as hex in a "REGEDIT4" file: single-byte
// (Windows-1252) without its terminating NUL.
std::string TextFromAnsi(std::string_view Bytes) {
    if (!Bytes.empty() && Bytes.back() == 0) Bytes.remove_suffix(1);
    return Cp1252ToUtf8(Bytes);
}

// One value line: "name"=data or @=data. False for a malformed line.
// Deleted is set for "name"=-. Ansi: the hex data of texts is single-byte
// ("REGEDIT4" files), else UTF-16LE.
bool ParseValueLine(std::string_view Line, TRegValue& Value, bool& Deleted, bool Ansi) {
    Deleted = false;
    std::size_t Pos = 0;
    if (!ParseValueName(Line, Pos, Value.Name)) return false;
    const std::string_view Data = Line.substr(Pos);
    if (TrimBlanks(Data) == "-") {
        Deleted = true;
        return true;
    }
    if (!Data.empty() && Data[0] == '"') {
        std::size_t P = 0;
        if (!ParseQuoted(Data, P, Value.Data)) return false;
        if (!TrimBlanks(Data.substr(P)).empty()) return false;
        Value.Kind = TRegKind::String;
        return true;
    }
    const auto Colon = Data.find(':');
    if (Colon == std::string_view::npos) return false;
    std::string Type(TrimBlanks(Data.substr(0, Colon)));
    std::transform(Type.begin(), Type.end(), Type.begin(),
                   [](char C) { return static_cast<char>(C >= 'A' && C <= 'Z' ? C + 32 : C); });
    const std::string_view Rest = Data.substr(Colon + 1);
    if (Type == "dword") {
        const std::string_view Digits = TrimBlanks(Rest);
        if (Digits.empty() || Digits.size() > 8) return false;
        std::uint32_t V = 0;
        for (char C : Digits) {
            if (HexValue(C) < 0) return false;
            V = V * 16 + static_cast<std::uint32_t>(HexValue(C));
        }
        Value.Kind = TRegKind::DWord;
        Value.Data.assign(4, '\0');
        for (int I = 0; I < 4; ++I)
            Value.Data[I] = static_cast<char>((V >> (8 * I)) & 0xFF);
        return true;
    }
    std::uint32_t Kind = 3;
    if (Type != "hex") {
        if (Type.size() < 6 || Type.compare(0, 4, "hex(") != 0 || Type.back() != ')') return false;
        const std::string_view Number = std::string_view(Type).substr(4, Type.size() - 5);
        if (Number.empty() || Number.size() > 8) return false;
        Kind = 0;
        for (char C : Number) {
            if (HexValue(C) < 0) return false;
            Kind = Kind * 16 + static_cast<std::uint32_t>(HexValue(C));
        }
    }
    std::string Bytes;
    if (!ParseHexBytes(Rest, Bytes)) return false;
    if (Kind == static_cast<std::uint32_t>(TRegKind::Removed)) return false;
    Value.Kind = static_cast<TRegKind>(Kind);
    if (Value.Kind == TRegKind::String || Value.Kind == TRegKind::ExpandString)
        Value.Data = Ansi ? TextFromAnsi(Bytes) : TextFromUtf16(Bytes);
    else if (Value.Kind == TRegKind::MultiString && Ansi)
        Value.Data = Utf8ToUtf16Le(Cp1252ToUtf8(Bytes)); // kept in the 5.00 form
    else
        Value.Data = std::move(Bytes);
    // A number value must hold exactly four bytes; keep other lengths as bytes.
    if (Value.Kind == TRegKind::DWord && Value.Data.size() != 4) Value.Kind = TRegKind::Binary;
    return true;
}

// True for a value line whose data is a quoted text (never continued).
bool IsStringValueLine(std::string_view Line) {
    std::size_t Pos = 0;
    std::string Name;
    return ParseValueName(Line, Pos, Name) && Pos < Line.size() && Line[Pos] == '"';
}

std::string Escape(std::string_view Text) {
    std::string Out;
    Out.reserve(Text.size() + 2);
    for (char C : Text) {
        if (C == '\\' || C == '"') Out += '\\';
        Out += C;
    }
    return Out;
}

bool HasControl(std::string_view Text) {
    return std::any_of(Text.begin(), Text.end(),
                       [](char C) { return static_cast<unsigned char>(C) < 0x20; });
}

void AppendHex(std::string& Out, std::string Prefix, std::string_view Bytes) {
    static const char* const Digits = "0123456789abcdef";
    std::string Line = std::move(Prefix);
    for (std::size_t I = 0; I < Bytes.size(); ++I) {
        const auto B = static_cast<unsigned char>(Bytes[I]);
        std::string Piece{Digits[B >> 4], Digits[B & 15]};
        if (I + 1 < Bytes.size()) Piece += ',';
        if (Line.size() + Piece.size() > 77 && Line.size() > 2 && Line.back() == ',') {
            Out += Line + "\\\n";
            Line = "  ";
        }
        Line += Piece;
    }
    Out += Line + "\n";
}

std::string Fold(std::string_view Text) {
    return FoldCase(Text);
}

} // namespace

namespace {

std::string NormalizeKeyPathOnce(std::string_view Path) {
    std::string Out;
    Out.reserve(Path.size());
    for (char C : TrimBlanks(Path)) {
        if (C == '\\' && (Out.empty() || Out.back() == '\\')) continue;
        Out += C;
    }
    while (!Out.empty() && Out.back() == '\\')
        Out.pop_back();
    return Out;
}

} // namespace

// Repeated until nothing changes: a backslash taken from the front can
// bare blanks (or control characters) that one pass would keep, and the path
// must normalise to itself ("[\<NUL>-Key]" is not the deletion "[-Key]").
std::string NormalizeKeyPath(std::string_view Path) {
    std::string Out = NormalizeKeyPathOnce(Path);
    for (std::string Next = NormalizeKeyPathOnce(Out); Next != Out;
         Next = NormalizeKeyPathOnce(Out))
        Out = std::move(Next);
    return Out;
}

TRegKey::TRegKey(std::string Path) : FPath(std::move(Path)), FFolded(FoldCase(FPath)) {}

const TRegValue* TRegKey::Find(std::string_view Name) const {
    const auto It = FIndex.find(Fold(Name));
    return It == FIndex.end() ? nullptr : &FValues[It->second];
}

void TRegKey::Set(TRegValue Value) {
    const std::string Key = Fold(Value.Name);
    const auto It = FIndex.find(Key);
    if (It == FIndex.end()) {
        FIndex.emplace(Key, FValues.size());
        FValues.push_back(std::move(Value));
        return;
    }
    TRegValue& Old = FValues[It->second];
    Old.Kind = Value.Kind;
    Old.Data = std::move(Value.Data);
}

void TRegKey::Remove(std::string_view Name) {
    const auto It = FIndex.find(Fold(Name));
    if (It == FIndex.end()) return;
    FValues[It->second].Kind = TRegKind::Removed;
    FValues[It->second].Data.clear();
    FIndex.erase(It);
    if (++FDead > FValues.size() / 2 + 16) Compact();
}

void TRegKey::Compact() const {
    std::erase_if(FValues, [](const TRegValue& V) { return V.Kind == TRegKind::Removed; });
    FDead = 0;
    FIndex.clear();
    for (std::size_t I = 0; I < FValues.size(); ++I)
        FIndex.emplace(Fold(FValues[I].Name), I);
}

const TRegKey* TRegFile::FindKey(std::string_view Path) const {
    const auto It = FIndex.find(Fold(NormalizeKeyPath(Path)));
    return It == FIndex.end() ? nullptr : &FKeys[It->second];
}

TRegKey* TRegFile::FindKey(std::string_view Path) {
    const auto It = FIndex.find(Fold(NormalizeKeyPath(Path)));
    return It == FIndex.end() ? nullptr : &FKeys[It->second];
}

TRegKey& TRegFile::CreateKey(std::string_view Path) {
    const std::string Normal = NormalizeKeyPath(Path);
    const std::string Key = Fold(Normal);
    const auto It = FIndex.find(Key);
    if (It != FIndex.end()) return FKeys[It->second];
    FIndex.emplace(Key, FKeys.size());
    FKeys.emplace_back(Normal);
    return FKeys.back();
}

void TRegFile::DeleteKey(std::string_view Path) {
    const std::string Key = Fold(NormalizeKeyPath(Path));
    if (Key.empty()) return;
    const std::string Below = Key + "\\";
    const auto Removed = std::erase_if(FKeys, [&](const TRegKey& K) {
        const std::string& F = K.FoldedPath();
        return F == Key || F.compare(0, Below.size(), Below) == 0;
    });
    if (Removed == 0) return;
    FIndex.clear();
    for (std::size_t I = 0; I < FKeys.size(); ++I)
        FIndex.emplace(FKeys[I].FoldedPath(), I);
}

std::vector<std::string> TRegFile::SubKeyNames(std::string_view Path) const {
    const std::string Prefix = Fold(NormalizeKeyPath(Path)) + "\\";
    std::vector<std::string> Names;
    std::unordered_set<std::string> Seen;
    for (const auto& K : FKeys) {
        const std::string& F = K.FoldedPath();
        if (F.size() <= Prefix.size() || F.compare(0, Prefix.size(), Prefix) != 0) continue;
        // Folding keeps the byte length of every character, so the name
        // starts at the same offset in the path as written.
        const auto End = K.Path().find('\\', Prefix.size());
        std::string Name =
            K.Path().substr(Prefix.size(), End == std::string::npos ? End : End - Prefix.size());
        if (Seen.insert(Fold(Name)).second) Names.push_back(std::move(Name));
    }
    return Names;
}

void TRegFile::SetValue(std::string_view KeyPath, TRegValue Value) {
    CreateKey(KeyPath).Set(std::move(Value));
}

void TRegFile::DeleteValue(std::string_view KeyPath, std::string_view Name) {
    if (TRegKey* K = FindKey(KeyPath)) K->Remove(Name);
}

TRegFile TRegFile::Parse(std::string_view Bytes) {
    TRegFile File;
    const std::string Text = DecodeFile(Bytes);
    const std::string_view All = Text;
    TRegKey* Current = nullptr;
    bool Ansi = false;
    std::size_t Pos = 0;
    std::string Logical;
    while (Pos < All.size()) {
        // One logical line: physical lines joined where a line ends in "\".
        Logical.clear();
        for (;;) {
            auto Nl = All.find('\n', Pos);
            if (Nl == std::string_view::npos) Nl = All.size();
            std::string_view Line = All.substr(Pos, Nl - Pos);
            Pos = Nl + 1;
            Line = TrimBlanks(Line);
            if (!Line.empty() && Line.back() == '\\' && Pos < All.size() &&
                (!Logical.empty() || !IsStringValueLine(Line))) {
                Logical.append(Line.substr(0, Line.size() - 1));
                continue;
            }
            Logical.append(Line);
            break;
        }
        const std::string_view Line = Logical;
        if (Line.empty() || Line[0] == ';') continue;
        if (Line == kHeader5) {
            Ansi = false;
            continue;
        }
        if (Line == kHeader4) {
            Ansi = true;
            continue;
        }
        if (Line[0] == '[') {
            const auto Close = Line.rfind(']');
            const std::string_view Inner = Close == std::string_view::npos
                                               ? std::string_view()
                                               : TrimBlanks(Line.substr(1, Close - 1));
            if (Inner.empty()) {
                Current = nullptr; // values of a malformed key header go nowhere
                continue;
            }
            if (Inner[0] == '-') {
                File.DeleteKey(Inner.substr(1));
                Current = nullptr;
                continue;
            }
            const std::string Path = NormalizeKeyPath(Inner);
            Current = Path.empty() || Path[0] == '-' ? nullptr : &File.CreateKey(Path);
            continue;
        }
        if (!Current || (Line[0] != '"' && Line[0] != '@')) continue;
        TRegValue Value;
        bool Deleted = false;
        if (!ParseValueLine(Line, Value, Deleted, Ansi)) continue;
        if (Deleted)
            Current->Remove(Value.Name);
        else
            Current->Set(std::move(Value));
    }
    return File;
}

std::string TRegFile::Serialize() const {
    std::string Out(kHeader5);
    Out += "\n\n";
    for (const auto& K : FKeys) {
        Out += "[" + K.Path() + "]\n";
        for (const auto& V : K.Values()) {
            // Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) on
            // "literal" + std::string&&.
            std::string Name = "@";
            if (!V.Name.empty()) {
                Name = '"';
                Name += Escape(V.Name);
                Name += '"';
            }
            if (V.Kind == TRegKind::String && !HasControl(V.Data)) {
                Out += Name + "=\"" + Escape(V.Data) + "\"\n";
            } else if (V.Kind == TRegKind::DWord && V.Data.size() == 4) {
                std::uint32_t D = 0;
                for (int I = 3; I >= 0; --I)
                    D = (D << 8) | static_cast<unsigned char>(V.Data[I]);
                char Buffer[16];
                std::snprintf(Buffer, sizeof Buffer, "%08x", D);
                Out += Name + "=dword:" + Buffer + "\n";
            } else if (V.Kind == TRegKind::Binary) {
                AppendHex(Out, Name + "=hex:", V.Data);
            } else {
                char Kind[16];
                std::snprintf(Kind, sizeof Kind, "%x", static_cast<unsigned>(V.Kind));
                std::string Data = V.Data;
                if (V.IsText()) Data = Utf8ToUtf16Le(V.Data) + std::string(2, '\0');
                AppendHex(Out, Name + "=hex(" + Kind + "):", Data);
            }
        }
        Out += "\n";
    }
    return Out;
}

} // namespace oravent
