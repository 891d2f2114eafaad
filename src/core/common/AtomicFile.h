// Whole-file reading and atomic replacing of files, and an advisory lock
// between processes. A replaced file is written to a temporary file in the
// same folder, flushed to disk and renamed over the old one, so a crash or a
// full disk leaves either the old or the new complete file.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace oravent {

// The file's bytes; nullopt when it does not exist or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& FileName);

// Replaces FileName with Bytes atomically. A symbolic link is followed, so the
// file it points to is replaced. Keeps the old file's permission bits. Returns
// false (leaving the old file and no temporary file behind) when the file
// system refuses, or when the file exists and the user may not write it.
bool AtomicWriteFile(const std::string& FileName, std::string_view Bytes);

// Exclusive advisory lock (flock) on a lock file; released by the destructor.
// Locked() is false when the lock file could not be opened.
class TFileLock {
public:
    explicit TFileLock(const std::string& LockFileName);
    ~TFileLock();
    TFileLock(const TFileLock&) = delete;
    TFileLock& operator=(const TFileLock&) = delete;
    bool Locked() const { return FFd >= 0; }

private:
    int FFd = -1;
};

// Tells whether a copy of a file read earlier still is the file on disk,
// without reading the file again. The copy counts only while the file is the
// same file with the same size and change time, and the change lay well
// before the copy was read: file times are coarse, so a change within the
// same tick and size could otherwise go unseen.
class TFileStamp {
public:
    enum TLook { Missing, Unchanged, Changed };
    // Looks at the file: Missing (also a folder or other non-regular file;
    // the copy no longer counts), Unchanged (the copy is current) or Changed
    // (read it again, then call Loaded).
    TLook Look(const std::string& FileName);
    // After reading the file that Look found changed (Read: whether it could
    // be read). A file that changed while it was read is read again next time.
    void Loaded(const std::string& FileName, bool Read);
    // After replacing the file with a copy held in memory.
    void Written(const std::string& FileName);
    // The copy no longer counts.
    void Forget() { FValid = false; }

private:
    struct TState {
        dev_t Dev = 0;
        ino_t Ino = 0;
        off_t Size = 0;
        timespec MTime{};
    };
    static bool Same(const TState& A, const TState& B);
    bool FValid = false;
    TState FCopy; // the file as it was when the copy was read
    TState FSeen; // the file as Look last found it
    time_t FLoadedAt = 0;
};

// Creates the folder and its missing parents; false when that fails.
bool ForceDirectories(const std::string& Folder);

} // namespace oravent
