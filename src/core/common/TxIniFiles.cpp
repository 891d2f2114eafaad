// INI file store: typed reads and writes, the direct store and the in-memory
// store.
#include "common/TxIniFiles.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "common/AtomicFile.h"
#include "common/TextCodec.h"
#include "units/NumberText.h"

namespace oravent {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool HexDigit(char C, unsigned& D) {
    if (C >= '0' && C <= '9')
        D = static_cast<unsigned>(C - '0');
    else if (C >= 'a' && C <= 'f')
        D = static_cast<unsigned>(C - 'a' + 10);
    else if (C >= 'A' && C <= 'F')
        D = static_cast<unsigned>(C - 'A' + 10);
    else
        return false;
    return true;
}

bool ParseHex32(std::string_view Digits, int& Value) {
    if (Digits.empty()) return false;
    std::uint64_t V = 0;
    for (char C : Digits) {
        unsigned D = 0;
        if (!HexDigit(C, D)) return false;
        V = V * 16 + D;
        if (V > 0xFFFFFFFFull) return false;
    }
    Value = static_cast<int>(static_cast<std::uint32_t>(V));
    return true;
}

// A text with a line break cannot be stored in a line-based file.
bool HasLineBreak(std::string_view Text) {
    return Text.find_first_of("\r\n") != std::string_view::npos;
}

// Names and values that the INI layout can hold; raises otherwise so that
// nothing is written that would read back as something else.
void CheckStorable(const std::string& FileName, std::string_view Section, std::string_view Ident,
                   std::string_view Value) {
    const std::string_view S = TrimBlanks(Section);
    const std::string_view I = TrimBlanks(Ident);
    if (S.empty() || I.empty())
        throw EIniFileException("Unable to write to " + FileName + ": empty section or ident");
    if (HasLineBreak(Section) || HasLineBreak(Ident) || HasLineBreak(Value))
        throw EIniFileException("Unable to write to " + FileName + ": line break in '" +
                                std::string(I) + "'");
    if (I.find('=') != std::string_view::npos || I.front() == ';' || I.front() == '[')
        throw EIniFileException("Unable to write to " + FileName + ": invalid ident '" +
                                std::string(I) + "'");
}

// ---------------------------------------------------------------------------
// Line model of a file as it is on disk, used by the direct store. Offsets
// point into the raw bytes, so untouched lines are copied byte for byte.

struct TRawLine {
    std::size_t Begin = 0;   // first byte of the text
    std::size_t TextEnd = 0; // end of the text (line break excluded)
    std::size_t End = 0;     // end including the line break
};

enum class TLineKind { Other, Comment, Header, Entry };

struct TParsedLine {
    TLineKind Kind = TLineKind::Other;
    std::string_view Name;       // header name or ident, raw bytes, trimmed
    std::string_view Value;      // entry value, raw bytes, trimmed
    std::size_t ValueOffset = 0; // offset in the line of the value's first byte
};

TParsedLine ParseLine(std::string_view Text) {
    TParsedLine P;
    const std::string_view T = TrimBlanks(Text);
    if (T.empty() || T.front() == ';') {
        P.Kind = TLineKind::Comment;
        return P;
    }
    if (T.size() >= 2 && T.front() == '[' && T.back() == ']') {
        P.Kind = TLineKind::Header;
        P.Name = TrimBlanks(T.substr(1, T.size() - 2));
        return P;
    }
    const auto Eq = Text.find('=');
    if (Eq == std::string_view::npos) return P;
    P.Kind = TLineKind::Entry;
    P.Name = TrimBlanks(Text.substr(0, Eq));
    // The value starts after the blanks that follow "=".
    std::size_t V = Eq + 1;
    while (V < Text.size() && static_cast<unsigned char>(Text[V]) <= ' ')
        ++V;
    P.ValueOffset = V;
    P.Value = TrimBlanks(Text.substr(Eq + 1));
    return P;
}

struct TRawFile {
    std::string Bytes;
    bool Utf8 = false;
    std::size_t BodyStart = 0; // after a byte order mark
    std::vector<TRawLine> Lines;
    std::vector<TParsedLine> Parsed;

    void Split() {
        Utf8 = Bytes.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0;
        BodyStart = Utf8 ? kUtf8Bom.size() : 0;
        Lines.clear();
        Parsed.clear();
        std::size_t Pos = BodyStart;
        while (Pos < Bytes.size()) {
            TRawLine L;
            L.Begin = Pos;
            const auto Nl = Bytes.find('\n', Pos);
            if (Nl == std::string::npos) {
                L.TextEnd = L.End = Bytes.size();
            } else {
                L.End = Nl + 1;
                L.TextEnd = (Nl > Pos && Bytes[Nl - 1] == '\r') ? Nl - 1 : Nl;
            }
            Lines.push_back(L);
            Parsed.push_back(ParseLine(Text(Lines.size() - 1)));
            Pos = L.End;
        }
    }
    std::string_view Text(std::size_t I) const {
        return std::string_view(Bytes).substr(Lines[I].Begin, Lines[I].TextEnd - Lines[I].Begin);
    }
    std::string Decode(std::string_view Raw) const {
        return Utf8 ? std::string(Raw) : Cp1252ToUtf8(Raw);
    }
    std::string Encode(std::string_view Text) const {
        return Utf8 ? std::string(Text) : Utf8ToCp1252(Text);
    }
    // Line break for new lines: the file's own (first one found), else CR LF.
    std::string_view Eol() const {
        for (const auto& L : Lines)
            if (L.End > L.TextEnd)
                return std::string_view(Bytes).substr(L.TextEnd, L.End - L.TextEnd);
        return "\r\n";
    }
    bool NameIs(std::string_view Raw, std::string_view Utf8Name) const {
        return SameText(Decode(Raw), Utf8Name);
    }

    // Range of the first section with this name: header line index and the
    // index one past its last line; false when there is none.
    bool FindSection(std::string_view Section, std::size_t& Header, std::size_t& End) const {
        for (std::size_t I = 0; I < Lines.size(); ++I) {
            if (Parsed[I].Kind != TLineKind::Header || !NameIs(Parsed[I].Name, Section)) continue;
            Header = I;
            End = I + 1;
            while (End < Lines.size() && Parsed[End].Kind != TLineKind::Header)
                ++End;
            return true;
        }
        return false;
    }
    // Index of the first entry with this ident in the section, or npos.
    std::size_t FindEntry(std::size_t Header, std::size_t End, std::string_view Ident) const {
        for (std::size_t I = Header + 1; I < End; ++I)
            if (Parsed[I].Kind == TLineKind::Entry && NameIs(Parsed[I].Name, Ident)) return I;
        return std::string::npos;
    }
};

} // namespace

bool IniTextToInt(std::string_view Text, int& Value) {
    if (Text.size() >= 3 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X'))
        return ParseHex32(Text.substr(2), Value);
    if (!Text.empty() && Text[0] == '$') return ParseHex32(Text.substr(1), Value);
    std::size_t Pos = 0;
    bool Negative = false;
    if (!Text.empty() && (Text[0] == '+' || Text[0] == '-')) {
        Negative = Text[0] == '-';
        Pos = 1;
    }
    if (Pos >= Text.size()) return false;
    std::int64_t V = 0;
    for (; Pos < Text.size(); ++Pos) {
        const char C = Text[Pos];
        if (C < '0' || C > '9') return false;
        V = V * 10 + (C - '0');
        if (V > 2147483648LL) return false;
    }
    if (Negative) V = -V;
    if (V > std::numeric_limits<int>::max() || V < std::numeric_limits<int>::min()) return false;
    Value = static_cast<int>(V);
    return true;
}

// ---------------------------------------------------------------------------
// TCustomIniFile

TCustomIniFile::TCustomIniFile(std::string FileName) : FFileName(std::move(FileName)) {}
TCustomIniFile::~TCustomIniFile() = default;

int TCustomIniFile::ReadInt(std::string_view Section, std::string_view Ident, int Default) const {
    int Value = 0;
    return IniTextToInt(ReadText(Section, Ident, ""), Value) ? Value : Default;
}

void TCustomIniFile::WriteInt(std::string_view Section, std::string_view Ident, int Value) {
    WriteText(Section, Ident, std::to_string(Value));
}

double TCustomIniFile::ReadReal(std::string_view Section, std::string_view Ident,
                                double Default) const {
    const std::string Text = ReadText(Section, Ident, "");
    if (Text.empty()) return Default;
    try {
        const double Value = StrToFloat(Text);
        return std::isfinite(Value) ? Value : Default;
    } catch (const std::exception&) {
        return Default;
    }
}

void TCustomIniFile::WriteReal(std::string_view Section, std::string_view Ident, double Value) {
    WriteText(Section, Ident, ShortestRealText(Value));
}

bool TCustomIniFile::ReadBool(std::string_view Section, std::string_view Ident,
                              bool Default) const {
    return ReadInt(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(std::string_view Section, std::string_view Ident, bool Value) {
    WriteText(Section, Ident, Value ? "1" : "0");
}

bool TCustomIniFile::SectionExists(std::string_view Section) const {
    if (TrimBlanks(Section).empty()) return false;
    std::vector<std::string> List;
    ListSections(List);
    for (const auto& Name : List)
        if (SameText(Name, TrimBlanks(Section))) return true;
    return false;
}

bool TCustomIniFile::ValueExists(std::string_view Section, std::string_view Ident) const {
    std::vector<std::string> List;
    ListSectionIdents(Section, List);
    for (const auto& Name : List)
        if (SameText(Name, TrimBlanks(Ident))) return true;
    return false;
}

// ---------------------------------------------------------------------------
// TIniFile

struct TIniFile::TCache {
    TFileStamp Stamp;
    TRawFile File;

    // The file as it is on disk now: the cached copy when the file has not
    // changed since it was read, else read again. A missing or unreadable
    // file is an empty file.
    const TRawFile& Refresh(const std::string& FileName) {
        switch (Stamp.Look(FileName)) {
        case TFileStamp::Missing:
            File = TRawFile{};
            return File;
        case TFileStamp::Unchanged:
            return File;
        case TFileStamp::Changed:
            break;
        }
        auto Bytes = ReadWholeFile(FileName);
        File = TRawFile{};
        if (Bytes) File.Bytes = std::move(*Bytes);
        File.Split();
        Stamp.Loaded(FileName, Bytes.has_value());
        return File;
    }

    // Replaces the file with new bytes; raises when the file system refuses.
    void Store(const std::string& FileName, std::string Bytes) {
        Stamp.Forget();
        if (!AtomicWriteFile(FileName, Bytes))
            throw EIniFileException("Unable to write to " + FileName);
    }
};

TIniFile::TIniFile(std::string FileName)
    : TCustomIniFile(std::move(FileName)), FCache(std::make_unique<TCache>()) {}

TIniFile::~TIniFile() {
    try {
        FlushFile();
    } catch (...) {
        // Every write has already reached the disk; nothing is lost here.
    }
}

std::string TIniFile::ReadText(std::string_view Section, std::string_view Ident,
                               std::string_view Default) const {
    const std::string_view S = TrimBlanks(Section);
    const std::string_view I = TrimBlanks(Ident);
    if (S.empty() || I.empty()) return std::string(Default);
    const TRawFile& F = FCache->Refresh(FileName());
    std::size_t Header = 0, End = 0;
    if (!F.FindSection(S, Header, End)) return std::string(Default);
    const std::size_t Line = F.FindEntry(Header, End, I);
    if (Line == std::string::npos) return std::string(Default);
    return F.Decode(F.Parsed[Line].Value);
}

void TIniFile::WriteText(std::string_view Section, std::string_view Ident, std::string_view Value) {
    CheckStorable(FileName(), Section, Ident, Value);
    const std::string_view S = TrimBlanks(Section);
    const std::string_view I = TrimBlanks(Ident);
    const TRawFile& F = FCache->Refresh(FileName());
    const std::string Eol(F.Eol());
    std::string Out;
    std::size_t Header = 0, End = 0;
    if (F.FindSection(S, Header, End)) {
        const std::size_t Line = F.FindEntry(Header, End, I);
        if (Line != std::string::npos) {
            // Same line, same ident text and spacing, new value.
            const TRawLine& L = F.Lines[Line];
            Out.reserve(F.Bytes.size() + Value.size());
            Out.append(F.Bytes, 0, L.Begin + F.Parsed[Line].ValueOffset);
            Out += F.Encode(Value);
            Out.append(F.Bytes, L.TextEnd, std::string::npos);
        } else {
            // After the section's last line that is not empty.
            std::size_t Last = Header;
            for (std::size_t K = Header + 1; K < End; ++K)
                if (!TrimBlanks(F.Text(K)).empty()) Last = K;
            const TRawLine& L = F.Lines[Last];
            Out.append(F.Bytes, 0, L.End);
            if (L.End == L.TextEnd) Out += Eol; // last line of the file had no break
            Out += F.Encode(I);
            Out += '=';
            Out += F.Encode(Value);
            Out += Eol;
            Out.append(F.Bytes, L.End, std::string::npos);
        }
    } else {
        Out = F.Bytes;
        if (!F.Lines.empty() && F.Lines.back().End == F.Lines.back().TextEnd) Out += Eol;
        Out += '[';
        Out += F.Encode(S);
        Out += ']';
        Out += Eol;
        Out += F.Encode(I);
        Out += '=';
        Out += F.Encode(Value);
        Out += Eol;
    }
    FCache->Store(FileName(), std::move(Out));
}

void TIniFile::ListSections(std::vector<std::string>& List) const {
    List.clear();
    const TRawFile& F = FCache->Refresh(FileName());
    for (std::size_t I = 0; I < F.Lines.size(); ++I)
        if (F.Parsed[I].Kind == TLineKind::Header) List.push_back(F.Decode(F.Parsed[I].Name));
}

void TIniFile::ListSectionIdents(std::string_view Section, std::vector<std::string>& List) const {
    List.clear();
    const std::string_view S = TrimBlanks(Section);
    if (S.empty()) return;
    const TRawFile& F = FCache->Refresh(FileName());
    std::size_t Header = 0, End = 0;
    if (!F.FindSection(S, Header, End)) return;
    for (std::size_t I = Header + 1; I < End; ++I)
        if (F.Parsed[I].Kind == TLineKind::Entry && !F.Parsed[I].Name.empty())
            List.push_back(F.Decode(F.Parsed[I].Name));
}

void TIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    const std::string_view S = TrimBlanks(Section);
    const std::string_view I = TrimBlanks(Ident);
    if (S.empty() || I.empty()) return;
    const TRawFile& F = FCache->Refresh(FileName());
    std::size_t Header = 0, End = 0;
    if (!F.FindSection(S, Header, End)) return;
    const std::size_t Line = F.FindEntry(Header, End, I);
    if (Line == std::string::npos) return;
    std::string Out = F.Bytes;
    Out.erase(F.Lines[Line].Begin, F.Lines[Line].End - F.Lines[Line].Begin);
    FCache->Store(FileName(), std::move(Out));
}

void TIniFile::EraseSection(std::string_view Section) {
    const std::string_view S = TrimBlanks(Section);
    if (S.empty()) return;
    const TRawFile& F = FCache->Refresh(FileName());
    std::string Out(F.Bytes, 0, F.BodyStart);
    bool Erasing = false;
    bool Changed = false;
    for (std::size_t I = 0; I < F.Lines.size(); ++I) {
        if (F.Parsed[I].Kind == TLineKind::Header) Erasing = F.NameIs(F.Parsed[I].Name, S);
        if (Erasing) {
            Changed = true;
            continue;
        }
        Out.append(F.Bytes, F.Lines[I].Begin, F.Lines[I].End - F.Lines[I].Begin);
    }
    if (Changed) FCache->Store(FileName(), std::move(Out));
}

void TIniFile::FlushFile() {
    // Every write replaced the file and flushed it before returning.
}

// ---------------------------------------------------------------------------
// TMemIniFile

TMemIniFile::TMemIniFile(std::string FileName) : TCustomIniFile(std::move(FileName)) {
    if (this->FileName().empty()) return;
    if (auto Bytes = ReadWholeFile(this->FileName())) SetFileText(*Bytes);
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::SetFileText(std::string_view Bytes) {
    FSections.clear();
    FUtf8 = Bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom;
    if (FUtf8) Bytes.remove_prefix(kUtf8Bom.size());
    TSection* Current = nullptr;
    std::size_t Pos = 0;
    while (Pos < Bytes.size()) {
        auto Nl = Bytes.find('\n', Pos);
        if (Nl == std::string_view::npos) Nl = Bytes.size();
        const std::string_view Raw = Bytes.substr(Pos, Nl - Pos);
        Pos = Nl + 1;
        const TParsedLine P = ParseLine(Raw);
        auto Decode = [&](std::string_view Text) {
            return FUtf8 ? std::string(Text) : Cp1252ToUtf8(Text);
        };
        switch (P.Kind) {
        case TLineKind::Comment:
            break;
        case TLineKind::Header:
            FSections.push_back(TSection{Decode(P.Name), {}});
            Current = &FSections.back();
            break;
        case TLineKind::Entry:
            if (Current) Current->Lines.push_back(Decode(P.Name) + "=" + Decode(P.Value));
            break;
        case TLineKind::Other:
            if (Current) Current->Lines.push_back(Decode(TrimBlanks(Raw)));
            break;
        }
    }
}

const TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view Section) const {
    const std::string_view S = TrimBlanks(Section);
    if (S.empty()) return nullptr; // a blank header ("[ ]") cannot be addressed
    for (const auto& Sec : FSections)
        if (SameText(Sec.Name, S)) return &Sec;
    return nullptr;
}

TMemIniFile::TSection* TMemIniFile::FindSection(std::string_view Section) {
    return const_cast<TSection*>(std::as_const(*this).FindSection(Section));
}

namespace {

// Index of the first "Ident=..." line, or npos.
std::size_t FindMemEntry(const std::vector<std::string>& Lines, std::string_view Ident) {
    const std::string_view I = TrimBlanks(Ident);
    if (I.empty()) return std::string::npos;
    for (std::size_t K = 0; K < Lines.size(); ++K) {
        const auto Eq = Lines[K].find('=');
        if (Eq != std::string::npos && SameText(std::string_view(Lines[K]).substr(0, Eq), I))
            return K;
    }
    return std::string::npos;
}

} // namespace

std::string TMemIniFile::ReadText(std::string_view Section, std::string_view Ident,
                                  std::string_view Default) const {
    const TSection* Sec = FindSection(Section);
    if (!Sec) return std::string(Default);
    const std::size_t K = FindMemEntry(Sec->Lines, Ident);
    if (K == std::string::npos) return std::string(Default);
    return Sec->Lines[K].substr(Sec->Lines[K].find('=') + 1);
}

void TMemIniFile::WriteText(std::string_view Section, std::string_view Ident,
                            std::string_view Value) {
    CheckStorable(FileName(), Section, Ident, Value);
    TSection* Sec = FindSection(Section);
    if (!Sec) {
        FSections.push_back(TSection{std::string(TrimBlanks(Section)), {}});
        Sec = &FSections.back();
    }
    const std::string Trimmed(TrimBlanks(Value));
    const std::size_t K = FindMemEntry(Sec->Lines, Ident);
    if (K == std::string::npos)
        Sec->Lines.push_back(std::string(TrimBlanks(Ident)) + "=" + Trimmed);
    else
        Sec->Lines[K] = Sec->Lines[K].substr(0, Sec->Lines[K].find('=') + 1) + Trimmed;
}

void TMemIniFile::ListSections(std::vector<std::string>& List) const {
    List.clear();
    for (const auto& Sec : FSections)
        List.push_back(Sec.Name);
}

void TMemIniFile::ListSectionIdents(std::string_view Section,
                                    std::vector<std::string>& List) const {
    List.clear();
    const TSection* Sec = FindSection(Section);
    if (!Sec) return;
    for (const auto& Line : Sec->Lines) {
        const auto Eq = Line.find('=');
        if (Eq != std::string::npos && Eq > 0) List.push_back(Line.substr(0, Eq));
    }
}

void TMemIniFile::DeleteKey(std::string_view Section, std::string_view Ident) {
    TSection* Sec = FindSection(Section);
    if (!Sec) return;
    const std::size_t K = FindMemEntry(Sec->Lines, Ident);
    if (K != std::string::npos) Sec->Lines.erase(Sec->Lines.begin() + static_cast<long>(K));
}

void TMemIniFile::EraseSection(std::string_view Section) {
    const std::string_view S = TrimBlanks(Section);
    if (S.empty()) return;
    std::erase_if(FSections, [&](const TSection& Sec) { return SameText(Sec.Name, S); });
}

void TMemIniFile::UpdateFile() {
    std::string Out;
    if (FUtf8) Out += kUtf8Bom;
    auto Encode = [&](const std::string& Text) { return FUtf8 ? Text : Utf8ToCp1252(Text); };
    for (const auto& Sec : FSections) {
        // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict)
        // on "literal" + std::string&&.
        Out += '[';
        Out += Encode(Sec.Name);
        Out += "]\r\n";
        for (const auto& Line : Sec.Lines)
            Out += Encode(Line) + "\r\n";
        Out += "\r\n";
    }
    if (!AtomicWriteFile(FileName(), Out))
        throw EIniFileException("Unable to write to " + FileName());
}

} // namespace oravent
