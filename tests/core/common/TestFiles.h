// Helpers of the common-support tests: a temporary folder removed afterwards,
// whole-file reads and writes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <signal.h>
#include <sys/wait.h>
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

// True when the folder holds a file ending in ".tmp" (a save in progress).
inline bool HasTemporary(const std::string& Folder) {
    std::error_code Ec;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder, Ec))
        if (Entry.path().extension() == ".tmp") return true;
    return false;
}

// Removes the temporary files a killed writer left behind.
inline void RemoveTemporaries(const std::string& Folder) {
    std::error_code Ec;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder, Ec))
        if (Entry.path().extension() == ".tmp") std::filesystem::remove(Entry.path(), Ec);
}

// Kills the writer process: on odd rounds as soon as a temporary file shows
// that it is saving, else after a random delay. Waits for its end.
template <class TRng>
void KillWriter(pid_t Child, const std::string& Folder, int Round, TRng& Rng) {
    if (Round % 2 == 1) {
        for (int Spin = 0; Spin < 2000000 && !HasTemporary(Folder); ++Spin) {
        }
    } else {
        ::usleep(static_cast<useconds_t>(1000 + Rng() % 80000));
    }
    ::kill(Child, SIGKILL);
    int Status = 0;
    ::waitpid(Child, &Status, 0);
}

inline void PutFile(const std::string& FileName, std::string_view Bytes) {
    std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

inline std::string GetFile(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

} // namespace oravent::test
