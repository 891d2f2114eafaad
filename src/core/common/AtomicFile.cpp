// Whole-file reads, atomic replacement and the inter-process file lock.
#include "common/AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <random>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace oravent {

namespace {

std::string FolderOf(const std::string& FileName) {
    const auto Slash = FileName.rfind('/');
    if (Slash == std::string::npos) return ".";
    if (Slash == 0) return "/";
    return FileName.substr(0, Slash);
}

std::string NameOf(const std::string& FileName) {
    const auto Slash = FileName.rfind('/');
    return Slash == std::string::npos ? FileName : FileName.substr(Slash + 1);
}

bool WriteAll(int Fd, std::string_view Bytes) {
    std::size_t Done = 0;
    while (Done < Bytes.size()) {
        const ssize_t N = ::write(Fd, Bytes.data() + Done, Bytes.size() - Done);
        if (N < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        Done += static_cast<std::size_t>(N);
    }
    return true;
}

// Temporary files are named ".<name>.<pid>.<random>.tmp". Files of that form
// whose process no longer runs are left-overs of a writer that was killed
// half way; they are removed before the next write.
void RemoveStaleTemporaries(const std::string& Folder, const std::string& Name) {
    DIR* Dir = ::opendir(Folder.c_str());
    if (!Dir) return;
    const std::string Prefix = "." + Name + ".";
    while (dirent* Entry = ::readdir(Dir)) {
        const std::string_view File = Entry->d_name;
        if (File.size() <= Prefix.size() + 4 || File.substr(0, Prefix.size()) != Prefix ||
            File.substr(File.size() - 4) != ".tmp")
            continue;
        const std::string_view Rest = File.substr(Prefix.size());
        const auto Dot = Rest.find('.');
        if (Dot == std::string_view::npos || Dot == 0) continue;
        long Pid = 0;
        bool Digits = true;
        for (char C : Rest.substr(0, Dot)) {
            if (C < '0' || C > '9' || Pid > 100000000) {
                Digits = false;
                break;
            }
            Pid = Pid * 10 + (C - '0');
        }
        if (!Digits || Pid <= 0) continue;
        if (::kill(static_cast<pid_t>(Pid), 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(Dir), Entry->d_name, 0);
    }
    ::closedir(Dir);
}

} // namespace

std::optional<std::string> ReadWholeFile(const std::string& FileName) {
    const int Fd = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0) return std::nullopt;
    struct stat St {};
    if (::fstat(Fd, &St) != 0 || S_ISDIR(St.st_mode)) {
        ::close(Fd);
        return std::nullopt;
    }
    std::string Bytes;
    if (St.st_size > 0) Bytes.reserve(static_cast<std::size_t>(St.st_size));
    char Buffer[65536];
    for (;;) {
        const ssize_t N = ::read(Fd, Buffer, sizeof Buffer);
        if (N < 0) {
            if (errno == EINTR) continue;
            ::close(Fd);
            return std::nullopt;
        }
        if (N == 0) break;
        Bytes.append(Buffer, static_cast<std::size_t>(N));
    }
    ::close(Fd);
    return Bytes;
}

bool AtomicWriteFile(const std::string& FileName, std::string_view Bytes) {
    if (FileName.empty()) return false;
    std::string Target = FileName;
    struct stat Lst {};
    if (::lstat(FileName.c_str(), &Lst) == 0 && S_ISLNK(Lst.st_mode)) {
        char Resolved[PATH_MAX];
        if (::realpath(FileName.c_str(), Resolved)) Target = Resolved;
    }
    const std::string Folder = FolderOf(Target);
    const std::string Name = NameOf(Target);
    if (Name.empty()) return false;

    struct stat Old {};
    const bool Exists = ::stat(Target.c_str(), &Old) == 0;
    if (Exists && !S_ISREG(Old.st_mode)) return false;
    // The rename needs only the folder's permission: a file the user may not
    // write (read-only mode) would be replaced without this check.
    if (Exists && ::faccessat(AT_FDCWD, Target.c_str(), W_OK, AT_EACCESS) != 0) return false;

    RemoveStaleTemporaries(Folder, Name);

    static std::atomic<unsigned> Counter{0};
    std::random_device Rd;
    std::string Temp;
    int Fd = -1;
    for (int Try = 0; Try < 100 && Fd < 0; ++Try) {
        Temp = Folder + "/." + Name + "." + std::to_string(::getpid()) + "." +
               std::to_string(Rd() ^ (Counter++ * 2654435761u)) + ".tmp";
        Fd = ::open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (Fd < 0 && errno != EEXIST) return false;
    }
    if (Fd < 0) return false;

    bool Ok = WriteAll(Fd, Bytes);
    if (Ok && Exists) ::fchmod(Fd, Old.st_mode & 07777); // best effort
    Ok = Ok && ::fsync(Fd) == 0;
    Ok = (::close(Fd) == 0) && Ok;
    Ok = Ok && ::rename(Temp.c_str(), Target.c_str()) == 0;
    if (!Ok) {
        ::unlink(Temp.c_str());
        return false;
    }
    // Make the rename itself durable.
    const int DirFd = ::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DirFd >= 0) {
        ::fsync(DirFd);
        ::close(DirFd);
    }
    return true;
}

TFileLock::TFileLock(const std::string& LockFileName) {
    FFd = ::open(LockFileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (FFd < 0) return;
    while (::flock(FFd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(FFd);
            FFd = -1;
            return;
        }
    }
}

TFileLock::~TFileLock() {
    if (FFd >= 0) {
        ::flock(FFd, LOCK_UN);
        ::close(FFd);
    }
}

namespace {

bool StatRegular(const std::string& FileName, struct stat& St) {
    return ::stat(FileName.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

} // namespace

bool TFileStamp::Same(const TState& A, const TState& B) {
    return A.Dev == B.Dev && A.Ino == B.Ino && A.Size == B.Size &&
           A.MTime.tv_sec == B.MTime.tv_sec && A.MTime.tv_nsec == B.MTime.tv_nsec;
}

TFileStamp::TLook TFileStamp::Look(const std::string& FileName) {
    struct stat St {};
    if (!StatRegular(FileName, St)) {
        FValid = false;
        return Missing;
    }
    FSeen = TState{St.st_dev, St.st_ino, St.st_size, St.st_mtim};
    if (FValid && Same(FSeen, FCopy) && FCopy.MTime.tv_sec + 2 < FLoadedAt) return Unchanged;
    return Changed;
}

void TFileStamp::Loaded(const std::string& FileName, bool Read) {
    struct stat After {};
    FValid = Read && ::stat(FileName.c_str(), &After) == 0 &&
             Same(TState{After.st_dev, After.st_ino, After.st_size, After.st_mtim}, FSeen);
    FCopy = FSeen;
    FLoadedAt = ::time(nullptr);
}

void TFileStamp::Written(const std::string& FileName) {
    struct stat St {};
    FValid = ::stat(FileName.c_str(), &St) == 0;
    FCopy = TState{St.st_dev, St.st_ino, St.st_size, St.st_mtim};
}

bool ForceDirectories(const std::string& Folder) {
    if (Folder.empty()) return false;
    struct stat St {};
    if (::stat(Folder.c_str(), &St) == 0) return S_ISDIR(St.st_mode);
    std::string Path = Folder;
    while (Path.size() > 1 && Path.back() == '/')
        Path.pop_back();
    const auto Slash = Path.rfind('/');
    if (Slash != std::string::npos && Slash > 0 && !ForceDirectories(Path.substr(0, Slash)))
        return false;
    if (::mkdir(Path.c_str(), 0777) == 0) return true;
    return errno == EEXIST && ::stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

} // namespace oravent
