// Mail hand-over: a fake xdg-email first on PATH records the arguments it
// receives (NUL-separated) and exits with a chosen status, so the tests see
// exactly what a mail composer would get and what Send makes of its answer.
// The real xdg-email, where installed, checks the mail link's length: its
// hook script (xdg-email-hook.sh, looked up on PATH) receives the link.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

#include "report/MapiControl.h"

using namespace oravent;
namespace fs = std::filesystem;

namespace {

struct TMessageList : TMapiReporter {
    void ShowMailMessage(const std::string& Text) override { Messages.push_back(Text); }
    std::vector<std::string> Messages;
};

// A temporary folder with a fake xdg-email, put first on PATH while alive.
class FakeComposer {
public:
    FakeComposer() {
        std::string Pattern = (fs::temp_directory_path() / "oravent-mail-XXXXXX").string();
        if (!::mkdtemp(Pattern.data())) throw std::runtime_error("mkdtemp");
        Dir = Pattern;
        fs::create_directory(Dir / "bin");
        const fs::path Script = Dir / "bin" / "xdg-email";
        std::ofstream(Script)
            << "#!/bin/sh\n"
               "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$FAKE_ARGS\"\n"
               "[ -n \"$FAKE_SLEEP\" ] && sleep \"$FAKE_SLEEP\"\n"
               "[ -n \"$FAKE_KILL\" ] && kill -\"$FAKE_KILL\" $$\n"
               "exit ${FAKE_EXIT:-0}\n";
        fs::permissions(Script, fs::perms::owner_all);
        const char* Old = std::getenv("PATH");
        OldPath = Old ? Old : "";
        ::setenv("PATH", ((Dir / "bin").string() + ":" + OldPath).c_str(), 1);
        ::setenv("FAKE_ARGS", (Dir / "args").c_str(), 1);
        ::unsetenv("FAKE_EXIT");
        ::unsetenv("FAKE_SLEEP");
        ::unsetenv("FAKE_KILL");
    }
    ~FakeComposer() {
        ::setenv("PATH", OldPath.c_str(), 1);
        std::error_code Ec;
        fs::remove_all(Dir, Ec);
    }
    std::vector<std::string> Args() const {
        std::ifstream In(Dir / "args", std::ios::binary);
        const std::string All((std::istreambuf_iterator<char>(In)), {});
        std::vector<std::string> Out;
        std::size_t Start = 0;
        for (std::size_t End; (End = All.find('\0', Start)) != std::string::npos; Start = End + 1)
            Out.push_back(All.substr(Start, End - Start));
        return Out;
    }
    fs::path Dir;
    std::string OldPath;
};

TEST(MapiControl, HostileTextsArriveUnharmedAndNothingRuns) {
    FakeComposer Fake;
    const std::string Marker = (Fake.Dir / "marker").string();
    const std::string Hostile =
        "a'b\"c; touch " + Marker + "; $(touch " + Marker + ") `touch " + Marker + "` $HOME \\n";
    TMapiControl M;
    M.Subject = "Oravent \"report\"; " + Hostile;
    M.Body = "Line 1\tcol\nLine 2 ° µPa·s ²³\r\n" + Hostile + "\n";
    M.Recipients = {"anna@example.com", "-x@example.com"};
    M.CopyTo = {"bob o'neil <bob@example.com>"};
    M.BlindCopyTo = {"  ", "carl@example.com"};
    const std::string Attach = (Fake.Dir / "r$(id) `x`;'q'\n€.txt").string();
    M.AttachedFiles = {Attach};
    int Successes = 0;
    M.OnSuccess = [&](TMapiControl& Sender) {
        EXPECT_EQ(&Sender, &M);
        ++Successes;
    };
    ASSERT_EQ(M.Send(), MapiResult::Success);
    EXPECT_EQ(Successes, 1);
    const std::vector<std::string> Expected = {"--utf8",
                                               "--to",
                                               "anna@example.com",
                                               "--to",
                                               "-x@example.com",
                                               "--cc",
                                               "bob o'neil <bob@example.com>",
                                               "--bcc",
                                               "carl@example.com",
                                               "--subject",
                                               M.Subject,
                                               "--body",
                                               M.Body,
                                               "--attach",
                                               Attach};
    EXPECT_EQ(Fake.Args(), Expected);
    EXPECT_FALSE(fs::exists(Marker));
    EXPECT_EQ(M.DisplayFileName(), std::vector<std::string>{"r$(id) `x`;'q'\n€.txt"});
}

TEST(MapiControl, RecipientsInOrderAndEmptyPartsLeftOut) {
    FakeComposer Fake;
    TMapiControl M;
    M.ShowDialog = true;
    M.Recipients = {"one@example.com", "two@example.com"};
    M.CopyTo = {"three@example.com"};
    M.FromName = "Sender";
    M.FromAdress = "sender@example.com";
    ASSERT_EQ(M.Send(), 0);
    const std::vector<std::string> Expected = {
        "--utf8",          "--to", "one@example.com",  "--to",
        "two@example.com", "--cc", "three@example.com"};
    EXPECT_EQ(Fake.Args(), Expected);

    // Each send fills DisplayFileName afresh.
    M.AttachedFiles = {"/tmp/a/x.txt", "/var/b/y.pdf"};
    M.Send();
    EXPECT_EQ(M.DisplayFileName(), (std::vector<std::string>{"x.txt", "y.pdf"}));
    M.AttachedFiles = {"z"};
    M.Send();
    EXPECT_EQ(M.DisplayFileName(), std::vector<std::string>{"z"});
}

// Every failure shows why; the result codes and events stay.
TEST(MapiControl, ExitStatusBecomesResultEventAndMessage) {
    struct Case {
        const char* Exit;
        const char* Kill;
        int Result;
        const char* Event; // "success", "error", "" (none)
        const char* Message;
    };
    const Case Cases[] = {
        {"0", nullptr, 0, "success", nullptr},
        {"1", nullptr, 17, "error",
         "The mail program (xdg-email) refused the message (exit status 1)"},
        {"2", nullptr, 11, "error",
         "The mail program (xdg-email) did not find an attached file (exit status 2)"},
        {"3", nullptr, 26, "", "No mail program was found (xdg-email)"},
        {"4", nullptr, 2, "error",
         "The mail program (xdg-email) could not open the message (exit status 4)"},
        {"5", nullptr, 12, "error",
         "The mail program (xdg-email) could not read an attached file (exit status 5)"},
        {"77", nullptr, 2, "error",
         "The mail program (xdg-email) could not open the message (exit status 77)"},
        {"0", "9", 2, "error", "The mail program (xdg-email) was stopped by signal 9"},
    };
    FakeComposer Fake;
    for (const Case& C : Cases) {
        SCOPED_TRACE(::testing::Message() << C.Exit << " " << (C.Kill ? C.Kill : ""));
        ::setenv("FAKE_EXIT", C.Exit, 1);
        if (C.Kill)
            ::setenv("FAKE_KILL", C.Kill, 1);
        else
            ::unsetenv("FAKE_KILL");
        TMessageList Msgs;
        TMapiControl M;
        M.SetReporter(&Msgs);
        std::string Event;
        int ErrorCode = -1;
        M.OnSuccess = [&](TMapiControl&) { Event += "success"; };
        M.OnUserAbort = [&](TMapiControl&) { Event += "abort"; };
        M.OnMapiError = [&](TMapiControl&, int Code) {
            Event += "error";
            ErrorCode = Code;
        };
        EXPECT_EQ(M.Send(), C.Result);
        EXPECT_EQ(Event, C.Event);
        EXPECT_EQ(ErrorCode, Event == "error" ? C.Result : -1);
        EXPECT_EQ(Msgs.Messages,
                  C.Message ? std::vector<std::string>{C.Message} : std::vector<std::string>{});
    }
}

// A composer that cannot be started says so.
TEST(MapiControl, ComposerThatCannotStartShowsWhy) {
    FakeComposer Fake;
    // Executable, but neither a program nor a script.
    std::ofstream(Fake.Dir / "bin" / "xdg-email", std::ios::trunc) << "not a program\n";
    TMessageList Msgs;
    TMapiControl M;
    M.SetReporter(&Msgs);
    int ErrorCode = -1;
    M.OnMapiError = [&](TMapiControl&, int Code) { ErrorCode = Code; };
    EXPECT_EQ(M.Send(), MapiResult::Failure);
    EXPECT_EQ(ErrorCode, MapiResult::Failure);
    EXPECT_EQ(Msgs.Messages, std::vector<std::string>{MailStartFailureMessage(ENOEXEC)});
    EXPECT_EQ(MailStartFailureMessage(ENOEXEC),
              "The mail program (xdg-email) could not be started: " +
                  std::string(std::strerror(ENOEXEC)));
    EXPECT_FALSE(fs::exists(Fake.Dir / "args"));
}

// A message longer than one argument may be as a mail link is refused with a
// message before anything starts; one byte shorter goes through whole.
TEST(MapiControl, MessageTooLongForOneArgumentIsRefusedWithAMessage) {
    FakeComposer Fake;
    TMessageList Msgs;
    TMapiControl M;
    M.SetReporter(&Msgs);
    int ErrorCode = -1;
    M.OnMapiError = [&](TMapiControl&, int Code) { ErrorCode = Code; };
    M.Subject = "Oravent";
    M.Body = "x";
    const std::size_t Base = M.ComposerLinkLength();
    M.Body = std::string(MaxComposerLinkLength - Base + 1, 'x'); // the link at the limit
    ASSERT_EQ(M.ComposerLinkLength(), MaxComposerLinkLength);
    EXPECT_EQ(M.Send(), MapiResult::Success);
    EXPECT_TRUE(Msgs.Messages.empty());
    ASSERT_EQ(Fake.Args().size(), 5u);
    EXPECT_EQ(Fake.Args()[4], M.Body);

    fs::remove(Fake.Dir / "args");
    M.Body += "x";
    EXPECT_EQ(M.Send(), MapiResult::TextTooLarge);
    EXPECT_EQ(ErrorCode, MapiResult::TextTooLarge);
    EXPECT_EQ(Msgs.Messages,
              std::vector<std::string>{MailTooLongMessage(MaxComposerLinkLength + 1)});
    EXPECT_FALSE(fs::exists(Fake.Dir / "args"));

    // Encoding counts: 44 KB of tabs and line breaks make a link of 198 KB.
    Msgs.Messages.clear();
    M.Body.clear();
    for (int I = 0; I < 22000; ++I)
        M.Body += "\t\n";
    EXPECT_EQ(M.Send(), MapiResult::TextTooLarge);
    ASSERT_EQ(Msgs.Messages.size(), 1u);
    EXPECT_NE(Msgs.Messages[0].find("too long"), std::string::npos);
    EXPECT_FALSE(fs::exists(Fake.Dir / "args"));
}

// Runs the installed xdg-email (not the fake) with Args; its hook records
// the mail link. Returns the exit status, or -1 when it could not run.
int RunRealComposer(const std::vector<std::string>& Args) {
    std::vector<char*> Argv{const_cast<char*>("xdg-email")};
    for (const std::string& A : Args)
        Argv.push_back(const_cast<char*>(A.c_str()));
    Argv.push_back(nullptr);
    posix_spawn_file_actions_t Quiet; // its complaints are expected
    posix_spawn_file_actions_init(&Quiet);
    posix_spawn_file_actions_addopen(&Quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t Pid = 0;
    const int Err = posix_spawn(&Pid, "/usr/bin/xdg-email", &Quiet, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Quiet);
    if (Err != 0) return -1;
    int Status = 0;
    if (::waitpid(Pid, &Status, 0) != Pid || !WIFEXITED(Status)) return -1;
    return WEXITSTATUS(Status);
}

// ComposerLinkLength is the length of the link xdg-email really builds, and
// the kernel refuses one byte more than MaxComposerLinkLength.
TEST(MapiControl, LinkLengthAgreesWithXdgEmailAndTheArgumentLimit) {
    if (!fs::exists("/usr/bin/xdg-email")) GTEST_SKIP() << "xdg-email not installed";
    FakeComposer Fake;
    fs::remove(Fake.Dir / "bin" / "xdg-email");
    const fs::path Hook = Fake.Dir / "bin" / "xdg-email-hook.sh";
    std::ofstream(Hook) << "#!/bin/sh\nprintf '%s' \"$1\" > \"$FAKE_ARGS\"\n";
    fs::permissions(Hook, fs::perms::owner_all);
    ::setenv("PATH", ((Fake.Dir / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
    const fs::path Attachment = Fake.Dir / "report 1.txt";
    std::ofstream(Attachment) << "text";

    struct Case {
        const char* Name;
        TMapiControl M;
    };
    std::vector<Case> Cases(5);
    Cases[0].Name = "NoFields";
    Cases[1].Name = "ReportBody";
    Cases[1].M.Subject = "Oravent";
    Cases[1].M.Body = "\nOravent Report\n\nBarometer\t101.325\tkPa\nAverage Temperature\t"
                      "13.0/12.0\t\xC2\xB0"
                      "C\nDynamic Viscosity\t18.007\tuPa-s\n\n";
    Cases[2].Name = "Recipients";
    Cases[2].M.Recipients = {"anna@example.com", "b.o'neil@example.com"};
    Cases[2].M.CopyTo = {"c@example.com"};
    Cases[2].M.BlindCopyTo = {"d+e@example.com"};
    Cases[2].M.Subject = "Report: 5 m\xC2\xB3/s & 835 mm?";
    Cases[3].Name = "Attachment";
    Cases[3].M.Body = "See the file.";
    Cases[3].M.AttachedFiles = {Attachment.string()};
    Cases[4].Name = "Punctuation";
    Cases[4].M.Body = "a-b_c.d~e!f*g'h(i)j;k:l@m&n=o+p$q,r/s?t#u[v]w%x{y}z|<>\"\r\n`^ \t";
    for (Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        fs::remove(Fake.Dir / "args");
        ASSERT_EQ(RunRealComposer(C.M.ComposerArguments()), 0);
        std::ifstream In(Fake.Dir / "args", std::ios::binary);
        const std::string Link((std::istreambuf_iterator<char>(In)), {});
        EXPECT_EQ(C.M.ComposerLinkLength(), Link.size()) << Link;
    }

    // At the limit the link reaches the mail program; one byte more and it
    // cannot be passed on.
    TMapiControl M;
    M.Subject = "Oravent";
    M.Body = "x";
    M.Body = std::string(MaxComposerLinkLength - M.ComposerLinkLength() + 1, 'x');
    fs::remove(Fake.Dir / "args");
    EXPECT_EQ(RunRealComposer(M.ComposerArguments()), 0);
    EXPECT_EQ(fs::file_size(Fake.Dir / "args"), MaxComposerLinkLength);
    M.Body += "x";
    fs::remove(Fake.Dir / "args");
    EXPECT_NE(RunRealComposer(M.ComposerArguments()), 0);
    EXPECT_FALSE(fs::exists(Fake.Dir / "args"));
}

TEST(MapiControl, MissingComposerGives26AndTheMessage) {
    FakeComposer Fake;
    fs::remove(Fake.Dir / "bin" / "xdg-email");
    const fs::path NotExecutable = Fake.Dir / "bin" / "xdg-email";
    std::ofstream(NotExecutable) << "#!/bin/sh\nexit 0\n"; // present but not executable
    fs::permissions(NotExecutable, fs::perms::owner_read | fs::perms::owner_write);
    ::setenv("PATH", (Fake.Dir / "bin").c_str(), 1);
    TMessageList Msgs;
    TMapiControl M;
    M.SetReporter(&Msgs);
    bool AnyEvent = false;
    M.OnSuccess = [&](TMapiControl&) { AnyEvent = true; };
    M.OnMapiError = [&](TMapiControl&, int) { AnyEvent = true; };
    M.AttachedFiles = {"/tmp/a.txt"};
    EXPECT_EQ(M.Send(), MapiResult::NotSupported);
    EXPECT_EQ(Msgs.Messages, std::vector<std::string>{"No mail program was found (xdg-email)"});
    EXPECT_FALSE(AnyEvent);
    EXPECT_FALSE(fs::exists(Fake.Dir / "args"));
    EXPECT_EQ(FindOnPath("xdg-email"), "");
}

TEST(MapiControl, WaitingHookRunsWhileTheComposerIsOpen) {
    FakeComposer Fake;
    ::setenv("FAKE_SLEEP", "0.3", 1);
    TMapiControl M;
    int Calls = 0;
    M.OnWaiting = [&] { ++Calls; };
    EXPECT_EQ(M.Send(), 0);
    EXPECT_GE(Calls, 3);
}

} // namespace
