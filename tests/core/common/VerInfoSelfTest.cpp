// The running program's own version: a program whose file a package upgrade
// replaced or deleted while it ran still reads its own version, and a path
// that is not a regular file (a FIFO, a device) answers at once.
#include "common/TxVerInfo.h"

#include <chrono>
#include <filesystem>
#include <future>
#include <vector>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ElfTestFile.h"
#include "TestFiles.h"
#include "common/VersionRecord.h"

extern char** environ;

namespace oravent {
namespace {

using test::MakeElf;
using test::PutFile;
using test::TTempDir;

// A program file of another version, as an upgrade would install it.
std::string OtherVersionFile() {
    static constexpr TVersionString Strings[] = {{"ProductName", "Upgraded"},
                                                 {"FileDescription", "The next release"}};
    TVersionDef Def;
    Def.FileVersion = {9, 8, 7, 6};
    Def.ProductVersion = Def.FileVersion;
    Def.Strings = Strings;
    return MakeElf(BuildVersionRecordBytes(Def));
}

struct TRun {
    int ExitCode = -1;
    std::string Output;
};

// Runs Program with Args and collects what it prints.
TRun RunProgram(const std::string& Program, const std::vector<std::string>& Args) {
    TRun R;
    int Pipe[2];
    if (::pipe2(Pipe, O_CLOEXEC) != 0) return R;
    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
    posix_spawn_file_actions_adddup2(&Actions, Pipe[1], STDOUT_FILENO);
    std::vector<char*> Argv{const_cast<char*>(Program.c_str())};
    for (const std::string& A : Args)
        Argv.push_back(const_cast<char*>(A.c_str()));
    Argv.push_back(nullptr);
    pid_t Pid = 0;
    const int Failed = posix_spawn(&Pid, Program.c_str(), &Actions, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    ::close(Pipe[1]);
    if (Failed == 0) {
        char Buffer[512];
        ssize_t N;
        while ((N = ::read(Pipe[0], Buffer, sizeof Buffer)) > 0)
            R.Output.append(Buffer, static_cast<std::size_t>(N));
        int Status = 0;
        ::waitpid(Pid, &Status, 0);
        R.ExitCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    }
    ::close(Pipe[0]);
    return R;
}

// A copy of a small program carrying this build's record replaces or deletes
// its own file, then reads its version as the title and the about box do.
TEST(VerInfoSelfTest, ProgramWhoseFileIsReplacedOrDeletedReadsItsOwnVersion) {
    const TVerInfoRes Mine("record", ThisProgramVersionRecord());
    const std::string Own = Mine.VersionText();
    ASSERT_NE(Own, "9.8.7.6");
    const struct {
        const char* Mode;
        // What the path holds afterwards: a version text, or "" for nothing.
        std::string PathAfter;
    } Rows[] = {{"keep", Own}, {"replace", "9.8.7.6"}, {"delete", ""}};
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Mode);
        TTempDir Dir;
        const std::string Program = Dir / "oravent";
        std::filesystem::copy_file(ORAVENT_VERINFO_PROBE, Program);
        std::filesystem::permissions(Program, std::filesystem::perms::owner_all);
        const std::string Upgrade = Dir / "oravent.new";
        PutFile(Upgrade, OtherVersionFile());

        const TRun Result = RunProgram(Program, {R.Mode, Upgrade});
        EXPECT_EQ(Result.ExitCode, 0) << Result.Output;
        EXPECT_EQ(Result.Output,
                  Own + "\n" + Mine.ProductTitle() + "\n" + Mine.Entry("FileDescription") + "\n");
        // The upgrade really happened to the file at the path.
        if (R.PathAfter.empty())
            EXPECT_FALSE(std::filesystem::exists(Program));
        else
            EXPECT_EQ(FileVersionText(Program), R.PathAfter);
    }
}

// The same on a file opened before it was replaced or deleted: the open file
// keeps its record (the kernel's /proc/self/exe is such an open file).
TEST(VerInfoSelfTest, OpenFileKeepsItsRecordAfterReplaceOrDelete) {
    TVersionDef Def;
    Def.FileVersion = {1, 2, 0, 15};
    const std::string Old = MakeElf(BuildVersionRecordBytes(Def));
    for (const bool Replace : {true, false}) {
        SCOPED_TRACE(Replace ? "replaced" : "deleted");
        TTempDir Dir;
        const std::string Path = Dir / "oravent";
        PutFile(Path, Old);
        const int Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(Fd, 0);
        if (Replace) {
            PutFile(Dir / "new", OtherVersionFile());
            ASSERT_EQ(std::rename((Dir / "new").c_str(), Path.c_str()), 0);
            EXPECT_EQ(FileVersionText(Path), "9.8.7.6");
        } else {
            ASSERT_EQ(::unlink(Path.c_str()), 0);
            EXPECT_THROW(FileVersionText(Path), ENoVerInfoError);
        }
        const std::string Open = "/proc/self/fd/" + std::to_string(Fd);
        EXPECT_EQ(FileVersionText(Open), "1.2.0.15");
        EXPECT_EQ(ReadVersionRecord(Open), BuildVersionRecordBytes(Def));
        ::close(Fd);
    }
}

// A FIFO has no writer: a reader that waited for one would hang the program
// at start-up. Devices and folders are turned away the same way.
TEST(VerInfoSelfTest, NotRegularFilesAnswerAtOnce) {
    TTempDir Dir;
    const std::string Fifo = Dir / "fifo";
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
    for (const std::string& Path :
         {Fifo, std::string("/dev/null"), std::string("/dev/zero"), Dir.Path()}) {
        SCOPED_TRACE(Path);
        auto Answer = std::async(std::launch::async, [Path] {
            std::string Result;
            try {
                TVerInfoRes Info(Path);
                Result = "no error";
            } catch (const ENoVerInfoError& E) {
                Result = E.what();
            } catch (const std::exception& E) {
                Result = std::string("other error: ") + E.what();
            }
            try {
                FileVersionText(Path);
            } catch (const ENoVerInfoError& E) {
                Result += std::string("|") + E.what();
            }
            Result += VersionRecordSizeOf(Path) == 0 ? "|0" : "|size";
            return Result;
        });
        if (Answer.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
            ADD_FAILURE() << "still waiting after 5 s";
            // Lets a reader that waits for a writer go on, so the test ends.
            for (int I = 0; I < 50 && Answer.wait_for(std::chrono::milliseconds(200)) !=
                                          std::future_status::ready;
                 ++I) {
                const int W = ::open(Fifo.c_str(), O_WRONLY | O_NONBLOCK);
                if (W >= 0) ::close(W);
            }
        }
        EXPECT_EQ(Answer.get(), "No Version Info Available.|No Version Info Available.|0");
    }
}

} // namespace
} // namespace oravent
