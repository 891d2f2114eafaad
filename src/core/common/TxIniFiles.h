// INI file store: one section/ident/value interface (TCustomIniFile) with the
// typed reads and writes built on text reads and writes, the direct store
// TIniFile (every read sees the file on disk, every write replaces the file
// atomically) and the in-memory store TMemIniFile (loads the whole file once).
//
// Texts passed in and returned are UTF-8. The files themselves are
// Windows-1252 (a file that starts with a UTF-8 byte order mark is read and
// written as UTF-8 instead); conversion happens at the file boundary only,
// and a character that Windows-1252 cannot hold is written as "?". Values are
// read trimmed, so blanks around a written value do not come back. Values
// are not limited in length.
//
// File layout read and written here:
//   [Section]            section header, name trimmed
//   Ident = value        entry; ident before the first "=", both trimmed
//   ; comment            comment (also empty lines); never data
// Lines before the first header carry no data. Names compare without regard
// to letter case. With a section or ident given twice, the first one counts.
// A blank section or ident cannot be addressed: reads give the default, lists
// and existence checks find nothing, writes are refused. A blank header
// ("[ ]") is listed by ListSections as "", but its entries are out of reach.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace oravent {

// A write that the file system refuses ("Unable to write to <file>"), or a
// name or value that cannot be stored in the INI layout.
class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCustomIniFile {
public:
    explicit TCustomIniFile(std::string FileName);
    virtual ~TCustomIniFile();
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const std::string& FileName() const { return FFileName; }

    // Text of the entry, or Default when the section or the entry is missing.
    virtual std::string ReadText(std::string_view Section, std::string_view Ident,
                                 std::string_view Default) const = 0;
    // Creates section and entry as needed, or replaces the entry's value.
    virtual void WriteText(std::string_view Section, std::string_view Ident,
                           std::string_view Value) = 0;

    // Decimal with optional sign, "0x"/"0X" or "$" hexadecimal (up to 32 bits,
    // so "$FFFFFFFF" is -1). Anything else, empty text included, gives Default.
    virtual int ReadInt(std::string_view Section, std::string_view Ident, int Default) const;
    virtual void WriteInt(std::string_view Section, std::string_view Ident, int Value);
    // "." decimal separator, optional exponent; empty or malformed text gives
    // Default, never an error.
    virtual double ReadReal(std::string_view Section, std::string_view Ident, double Default) const;
    // Shortest text that reads back as the same double.
    virtual void WriteReal(std::string_view Section, std::string_view Ident, double Value);
    // Read as an integer, non-zero is true; written as "1" or "0".
    virtual bool ReadBool(std::string_view Section, std::string_view Ident, bool Default) const;
    virtual void WriteBool(std::string_view Section, std::string_view Ident, bool Value);

    // Section names in file order (each name once per occurrence in the file).
    virtual void ListSections(std::vector<std::string>& List) const = 0;
    // Idents of the (first) section in file order; empty for a missing section.
    virtual void ListSectionIdents(std::string_view Section,
                                   std::vector<std::string>& List) const = 0;
    bool SectionExists(std::string_view Section) const;
    bool ValueExists(std::string_view Section, std::string_view Ident) const;

    // Removes one entry / a whole section (all its occurrences). Missing ones
    // are no error.
    virtual void DeleteKey(std::string_view Section, std::string_view Ident) = 0;
    virtual void EraseSection(std::string_view Section) = 0;

    // Makes sure everything written has reached the disk.
    virtual void FlushFile() {}

private:
    std::string FFileName;
};

// The direct store. Holds nothing but the file name (and a cache of the file
// that is re-validated against the file on disk before every read). Every
// write re-reads the file, changes one line, and replaces the file
// atomically (temporary file in the same folder, flush, rename); every other
// line keeps its bytes and line ending. A refused write raises
// EIniFileException "Unable to write to <file>".
class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(std::string FileName);
    ~TIniFile() override;

    std::string ReadText(std::string_view Section, std::string_view Ident,
                         std::string_view Default) const override;
    void WriteText(std::string_view Section, std::string_view Ident,
                   std::string_view Value) override;
    void ListSections(std::vector<std::string>& List) const override;
    void ListSectionIdents(std::string_view Section, std::vector<std::string>& List) const override;
    void DeleteKey(std::string_view Section, std::string_view Ident) override;
    void EraseSection(std::string_view Section) override;
    void FlushFile() override;

private:
    struct TCache;
    std::unique_ptr<TCache> FCache;
};

// The in-memory store: loads the file at construction (a missing file or an
// empty name gives an empty store) and answers every read from memory.
// Writes change the memory image only; UpdateFile saves it (atomically).
class TMemIniFile : public TCustomIniFile {
public:
    explicit TMemIniFile(std::string FileName);
    ~TMemIniFile() override;

    // Replaces the content with the given file text (bytes as on disk).
    void SetFileText(std::string_view Bytes);

    std::string ReadText(std::string_view Section, std::string_view Ident,
                         std::string_view Default) const override;
    void WriteText(std::string_view Section, std::string_view Ident,
                   std::string_view Value) override;
    void ListSections(std::vector<std::string>& List) const override;
    void ListSectionIdents(std::string_view Section, std::vector<std::string>& List) const override;
    void DeleteKey(std::string_view Section, std::string_view Ident) override;
    void EraseSection(std::string_view Section) override;
    // Writes the memory image to the file (sections with their stored lines).
    void UpdateFile();

private:
    struct TSection {
        std::string Name;
        std::vector<std::string> Lines; // UTF-8, trimmed; entries as "Ident=Value"
    };
    std::vector<TSection> FSections;
    bool FUtf8 = false;
    TSection* FindSection(std::string_view Section);
    const TSection* FindSection(std::string_view Section) const;
};

// Integer text as ReadInt reads it; false when the text is not an integer.
bool IniTextToInt(std::string_view Text, int& Value);

} // namespace oravent
