// The file stamp behind the stores' caches: a copy counts only while the file
// on disk is the one that was read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>

#include "TestFiles.h"
#include "common/AtomicFile.h"

namespace oravent {
namespace {

using test::PutFile;
using test::TTempDir;

// Sets the file's change time to Seconds ago.
void Age(const std::string& File, int Seconds) {
    timespec Times[2];
    ::clock_gettime(CLOCK_REALTIME, &Times[0]);
    Times[0].tv_sec -= Seconds;
    Times[1] = Times[0];
    ASSERT_EQ(::utimensat(AT_FDCWD, File.c_str(), Times, 0), 0);
}

TEST(FileStampTest, CopyCountsOnlyWhileTheFileIsUnchanged) {
    TTempDir Dir;
    const std::string File = Dir / "a.ini";
    TFileStamp Stamp;
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Missing);

    PutFile(File, "[S]\nK=1\n");
    Age(File, 60);
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Changed);
    Stamp.Loaded(File, true);
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Unchanged);

    // Same size, other content, and a change time as old as before: a
    // replaced file is another file.
    const std::string Other = Dir / "b.ini";
    PutFile(Other, "[S]\nK=2\n");
    Age(Other, 60);
    ASSERT_EQ(::rename(Other.c_str(), File.c_str()), 0);
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Changed);
    Stamp.Loaded(File, true);

    // A change just now does not let the copy count, even when unchanged
    // since: the file time is too coarse to tell.
    PutFile(File, "[S]\nK=3\n");
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Changed);
    Stamp.Loaded(File, true);
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Changed);

    // A copy that could not be read, or one forgotten, never counts.
    Age(File, 60);
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Changed);
    Stamp.Loaded(File, false);
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Changed);
    Stamp.Loaded(File, true);
    Stamp.Forget();
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Changed);

    ASSERT_EQ(::unlink(File.c_str()), 0);
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Missing);
    ASSERT_EQ(::mkdir(File.c_str(), 0755), 0);
    EXPECT_EQ(Stamp.Look(File), TFileStamp::Missing);
}

} // namespace
} // namespace oravent
