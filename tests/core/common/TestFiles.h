// Helpers of the common-support tests: a temporary folder removed afterwards,
// whole-file reads and writes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <unistd.h>

namespace oravent::test {

class TTempDir {
public:
    // InMemory: in /dev/shm when there is one (for tests that write
    // thousands of files).
    explicit TTempDir(bool InMemory = false) {
        std::filesystem::path Base = std::filesystem::temp_directory_path();
        std::error_code Ec;
        if (InMemory && std::filesystem::is_directory("/dev/shm", Ec)) Base = "/dev/shm";
        std::string Pattern = (Base / "oravent-XXXXXX").string();
        if (!::mkdtemp(Pattern.data())) std::abort();
        FPath = Pattern;
    }
    ~TTempDir() {
        std::error_code Ec;
        std::filesystem::remove_all(FPath, Ec);
    }
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return FPath; }
    std::string operator/(std::string_view Name) const { return FPath + "/" + std::string(Name); }

private:
    std::string FPath;
};

inline void PutFile(const std::string& FileName, std::string_view Bytes) {
    std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

inline std::string GetFile(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

} // namespace oravent::test
