// Whole-file reading and atomic replacing of files, and an advisory lock
// between processes. A replaced file is written to a temporary file in the
// same folder, flushed to disk and renamed over the old one, so a crash or a
// full disk leaves either the old or the new complete file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace oravent {

// The file's bytes; nullopt when it does not exist or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& FileName);

// Replaces FileName with Bytes atomically. A symbolic link is followed, so the
// file it points to is replaced. Keeps the old file's permission bits. Returns
// false (leaving the old file and no temporary file behind) when the file
// system refuses.
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

// Creates the folder and its missing parents; false when that fails.
bool ForceDirectories(const std::string& Folder);

} // namespace oravent
