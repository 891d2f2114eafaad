// Version information of a program file: TVerInfoRes finds the version
// record (see VersionRecord.h) in the ELF note sections of any file and reads
// the fixed version numbers, the flags and the string table entries in the
// record's first language. The three conveniences at the end read one value
// of a file each (by default the running program's).
//
// A file that is not a regular file (a FIFO, a device, a folder) has no
// record; it is turned away without waiting for it.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace oravent {

// "No Version Info Available.": the file has no version record (also a file
// that is missing or not a program file).
class ENoVerInfoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// "Cannot obtain version info." (the record cannot be read whole) or
// "No language info." (the record has no translation).
class EVerInfoError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
// "No fixed file info": the fixed file information is missing or short.
class eNoFixeVerInfo : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TFixedFileInfo {
    std::uint32_t Signature = 0;
    std::uint32_t StrucVersion = 0;
    std::uint32_t FileVersionMS = 0;
    std::uint32_t FileVersionLS = 0;
    std::uint32_t ProductVersionMS = 0;
    std::uint32_t ProductVersionLS = 0;
    std::uint32_t FileFlagsMask = 0;
    std::uint32_t FileFlags = 0;
    std::uint32_t FileOS = 0;
    std::uint32_t FileType = 0;
    std::uint32_t FileSubtype = 0;
    std::uint32_t FileDateMS = 0;
    std::uint32_t FileDateLS = 0;
};

// Names of the standard text entries, by index 0..9.
extern const char* const VerInfoEntryNames[10];

// "\StringFileInfo\040904E4\ProductName": the path of a text entry.
std::string StringFileInfoPath(std::uint16_t Language, std::uint16_t CodePage,
                               std::string_view Entry);

// The running program's own file as the kernel keeps it open: it stays the
// program that runs even after a package upgrade has replaced or deleted the
// file at its path, so the version read from it is always the running one.
inline constexpr const char* kOwnProgramFile = "/proc/self/exe";

class TVerInfoRes {
public:
    // Reads everything at once; raises ENoVerInfoError, EVerInfoError or
    // eNoFixeVerInfo.
    explicit TVerInfoRes(std::string FileName);
    // The same from a record already in hand (FileName is only kept).
    TVerInfoRes(std::string FileName, std::string_view Record);

    const std::string& FileName() const { return FFileName; }
    const std::string& Resource() const { return FResource; }
    std::uint16_t Language() const { return FLanguage; }
    std::uint16_t CodePage() const { return FCodePage; }
    const TFixedFileInfo& FixedFileInfo() const { return FFixed; }

    // The file version as "%d.%d.%d.%d".
    std::string VersionText() const;
    // "ProductName" + " " + the version text (the main window's title).
    std::string ProductTitle() const;
    // Text entry by index (see VerInfoEntryNames) or by name; empty text when
    // the record lacks it.
    std::string Entry(int Index) const;
    std::string Entry(std::string_view Name) const;
    // "Pre-release", "Private build", "Special build", "Debug": the flags that
    // are both set and valid, in that order.
    const std::vector<std::string>& FlagTexts() const { return FFlagTexts; }

private:
    std::string FFileName;
    std::string FResource;
    std::uint16_t FLanguage = 0;
    std::uint16_t FCodePage = 0;
    TFixedFileInfo FFixed;
    std::vector<std::string> FFlagTexts;
    std::vector<std::pair<std::string, std::string>> FStrings; // path -> value
    void Load();
};

// The size of the version record in a file (0 when it has none), and the
// record itself (raises EVerInfoError "Cannot obtain version info." when the
// record cannot be read whole).
std::size_t VersionRecordSizeOf(const std::string& FileName);
std::string ReadVersionRecord(const std::string& FileName);

// One value of a file: its version text, its "FileDescription", and
// "ProductName" + " " + version text (the main window's title). An empty
// name means the running program's own file (kOwnProgramFile).
std::string FileVersionText(const std::string& FileName = {});
std::string FileDescriptionText(const std::string& FileName = {});
std::string ProductTitleText(const std::string& FileName = {});

} // namespace oravent
