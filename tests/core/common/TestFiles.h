// Helpers of the common-support tests: a temporary folder removed afterwards,
// whole-file reads and writes, a check run as an ordinary user.
#pragma once

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include <grp.h>
#include <pwd.h>
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

// Runs Check as the user "nobody", so that file modes apply although the
// tests run as root: in a child process that gives up root's ids, after
// handing Folder and the files in it to that user. Returns what Check
// returned ("" when everything held, else what went wrong), or nullopt when
// the ids cannot be dropped. Without root, Check runs in this process.
inline std::optional<std::string> RunAsNobody(const std::string& Folder,
                                              const std::function<std::string()>& Check) {
    if (::geteuid() != 0) return Check();
    const passwd* Nobody = ::getpwnam("nobody");
    if (!Nobody || Nobody->pw_uid == 0) return std::nullopt;
    const uid_t Uid = Nobody->pw_uid;
    const gid_t Gid = Nobody->pw_gid;
    if (::chown(Folder.c_str(), Uid, Gid) != 0) return std::nullopt;
    std::error_code Ec;
    for (const auto& Entry : std::filesystem::directory_iterator(Folder, Ec))
        if (::lchown(Entry.path().c_str(), Uid, Gid) != 0) return std::nullopt;
    int Pipe[2];
    if (::pipe(Pipe) != 0) return std::nullopt;
    constexpr int CannotDrop = 77;
    const pid_t Child = ::fork();
    if (Child < 0) return std::nullopt;
    if (Child == 0) {
        ::close(Pipe[0]);
        if (::setgroups(0, nullptr) != 0 || ::setresgid(Gid, Gid, Gid) != 0 ||
            ::setresuid(Uid, Uid, Uid) != 0 || ::geteuid() != Uid)
            ::_exit(CannotDrop);
        std::string Result;
        try {
            Result = Check();
        } catch (const std::exception& E) {
            Result = std::string("unexpected exception: ") + E.what();
        }
        std::size_t Done = 0;
        while (Done < Result.size()) {
            const ssize_t N = ::write(Pipe[1], Result.data() + Done, Result.size() - Done);
            if (N <= 0) break;
            Done += static_cast<std::size_t>(N);
        }
        ::_exit(0);
    }
    ::close(Pipe[1]);
    std::string Result;
    char Buffer[512];
    ssize_t N;
    while ((N = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0)
        Result.append(Buffer, static_cast<std::size_t>(N));
    ::close(Pipe[0]);
    int Status = 0;
    ::waitpid(Child, &Status, 0);
    if (WIFEXITED(Status) && WEXITSTATUS(Status) == CannotDrop) return std::nullopt;
    if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) return "the check ended abnormally";
    return Result;
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
