// Mail hand-over: a fake xdg-email first on PATH records the arguments it
// receives (NUL-separated) and exits with a chosen status, so the tests see
// exactly what a mail composer would get and what Send makes of its answer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

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
               "exit ${FAKE_EXIT:-0}\n";
        fs::permissions(Script, fs::perms::owner_all);
        const char* Old = std::getenv("PATH");
        OldPath = Old ? Old : "";
        ::setenv("PATH", ((Dir / "bin").string() + ":" + OldPath).c_str(), 1);
        ::setenv("FAKE_ARGS", (Dir / "args").c_str(), 1);
        ::unsetenv("FAKE_EXIT");
        ::unsetenv("FAKE_SLEEP");
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

TEST(MapiControl, ExitStatusBecomesResultAndEvent) {
    struct Case {
        const char* Exit;
        int Result;
        const char* Event; // "success", "error", "" (none)
        bool Message;
    };
    const Case Cases[] = {
        {"0", 0, "success", false}, {"1", 17, "error", false}, {"2", 11, "error", false},
        {"3", 26, "", true},        {"4", 2, "error", false},  {"5", 12, "error", false},
        {"77", 2, "error", false},
    };
    FakeComposer Fake;
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Exit);
        ::setenv("FAKE_EXIT", C.Exit, 1);
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
        EXPECT_EQ(Msgs.Messages.size(), C.Message ? 1u : 0u);
    }
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
    EXPECT_EQ(Msgs.Messages, std::vector<std::string>{"System does not support MAPI mail server"});
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
