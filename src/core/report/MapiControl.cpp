#include "report/MapiControl.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace oravent {

namespace {

constexpr const char* ComposerProgram = "xdg-email";

bool IsBlank(std::string_view S) {
    return S.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

void AddEach(std::vector<std::string>& Args, const char* Option,
             const std::vector<std::string>& Values) {
    for (const std::string& V : Values) {
        if (IsBlank(V)) continue;
        Args.emplace_back(Option);
        Args.push_back(V);
    }
}

std::string FileNameOf(const std::string& Path) {
    const auto Slash = Path.find_last_of('/');
    return Slash == std::string::npos ? Path : Path.substr(Slash + 1);
}

// How a run of the composer ended.
struct TRunEnd {
    int StartErrno = 0;  // not 0: the program could not be started
    int ExitStatus = -1; // its exit status when it exited
    int Signal = 0;      // the signal that ended it, if one did
};

// Starts Program with Args (argument 0 is the composer's own name) and waits
// for it.
TRunEnd RunAndWait(const std::string& Program, const std::vector<std::string>& Args,
                   const std::function<void()>& OnWaiting) {
    std::vector<char*> Argv;
    Argv.reserve(Args.size() + 2);
    Argv.push_back(const_cast<char*>(ComposerProgram));
    for (const std::string& A : Args)
        Argv.push_back(const_cast<char*>(A.c_str()));
    Argv.push_back(nullptr);

    posix_spawn_file_actions_t Actions;
    posix_spawn_file_actions_init(&Actions);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // The mail program inherits no descriptor of ours but the standard three.
    posix_spawn_file_actions_addclosefrom_np(&Actions, 3);
#endif
    pid_t Pid = 0;
    const int Err = posix_spawn(&Pid, Program.c_str(), &Actions, nullptr, Argv.data(), environ);
    posix_spawn_file_actions_destroy(&Actions);
    if (Err != 0) return {Err};

    int Status = 0;
    for (;;) {
        const pid_t R = ::waitpid(Pid, &Status, OnWaiting ? WNOHANG : 0);
        if (R == Pid) break;
        if (R < 0) {
            if (errno == EINTR) continue;
            return {}; // its end cannot be seen
        }
        OnWaiting();
        ::usleep(20000);
    }
    if (WIFEXITED(Status)) return {0, WEXITSTATUS(Status)};
    return {0, -1, WIFSIGNALED(Status) ? WTERMSIG(Status) : 0};
}

// Bytes of Value as xdg-email encodes it into its mail link.
std::size_t EncodedLength(std::string_view Value) {
    // The shell drops line breaks at the end.
    while (!Value.empty() && Value.back() == '\n')
        Value.remove_suffix(1);
    std::size_t Length = 0;
    for (const char C : Value) {
        const auto U = static_cast<unsigned char>(C);
        if (C == '\n')
            Length += 6; // "%0D%0A"
        else if ((U >= 'a' && U <= 'z') || (U >= 'A' && U <= 'Z') || (U >= '0' && U <= '9') ||
                 std::string_view("@.-\\/").find(C) != std::string_view::npos)
            Length += 1;
        else
            Length += 3; // "%XX"
    }
    return Length;
}

std::string ComposerText(const std::string& What) {
    return std::string("The mail program (") + ComposerProgram + ") " + What;
}

} // namespace

std::string MailStartFailureMessage(int Errno) {
    if (Errno == ENOENT) return std::string(MailNotSupportedMessage);
    return ComposerText("could not be started: ") + std::strerror(Errno);
}

std::string MailExitFailureMessage(int ExitStatus) {
    const std::string Status = " (exit status " + std::to_string(ExitStatus) + ")";
    switch (ExitStatus) {
    case 1:
        return ComposerText("refused the message") + Status;
    case 2:
        return ComposerText("did not find an attached file") + Status;
    case 3:
        return std::string(MailNotSupportedMessage);
    case 5:
        return ComposerText("could not read an attached file") + Status;
    default:
        return ComposerText("could not open the message") + Status;
    }
}

std::string MailSignalFailureMessage(int Signal) {
    if (Signal <= 0) return ComposerText("ended without an exit status");
    return ComposerText("was stopped by signal ") + std::to_string(Signal);
}

std::string MailTooLongMessage(std::size_t LinkLength) {
    return "The message is too long to hand to the mail program: " + std::to_string(LinkLength) +
           " bytes as a mail link, at most " + std::to_string(MaxComposerLinkLength) +
           ". Copy the text and paste it into a new message instead.";
}

int MapiResultOfExitStatus(int ExitStatus) {
    switch (ExitStatus) {
    case 0:
        return MapiResult::Success;
    case 1:
        return MapiResult::InvalidMessage;
    case 2:
        return MapiResult::AttachmentNotFound;
    case 3:
        return MapiResult::NotSupported;
    case 5:
        return MapiResult::AttachmentOpenFailure;
    default:
        return MapiResult::Failure;
    }
}

std::string FindOnPath(std::string_view Name) {
    if (Name.empty() || Name.find('/') != std::string_view::npos) return {};
    const char* Env = std::getenv("PATH");
    const std::string_view Path = Env ? Env : "/usr/bin:/bin";
    std::size_t Start = 0;
    while (Start <= Path.size()) {
        std::size_t End = Path.find(':', Start);
        if (End == std::string_view::npos) End = Path.size();
        const std::string_view Dir = Path.substr(Start, End - Start);
        if (!Dir.empty()) {
            std::string Candidate(Dir);
            if (Candidate.back() != '/') Candidate += '/';
            Candidate += Name;
            struct stat St {};
            if (::stat(Candidate.c_str(), &St) == 0 && S_ISREG(St.st_mode) &&
                ::access(Candidate.c_str(), X_OK) == 0)
                return Candidate;
        }
        Start = End + 1;
    }
    return {};
}

std::vector<std::string> TMapiControl::ComposerArguments() const {
    std::vector<std::string> Args{"--utf8"};
    AddEach(Args, "--to", Recipients);
    AddEach(Args, "--cc", CopyTo);
    AddEach(Args, "--bcc", BlindCopyTo);
    if (!Subject.empty()) Args.insert(Args.end(), {"--subject", Subject});
    if (!Body.empty()) Args.insert(Args.end(), {"--body", Body});
    for (const std::string& F : AttachedFiles)
        if (!F.empty()) Args.insert(Args.end(), {"--attach", F});
    return Args;
}

std::size_t TMapiControl::ComposerLinkLength() const {
    // "mailto:?" and "key=value" joined by "&"; a link without fields loses
    // its "?".
    const std::vector<std::string> Args = ComposerArguments();
    std::size_t Length = 7, Fields = 0;
    for (std::size_t I = 1; I + 1 < Args.size(); I += 2) {
        // "--to" -> "to", ... "--attach" -> "attach"
        Length += Args[I].size() - 2 + 1 + EncodedLength(Args[I + 1]);
        ++Fields;
    }
    return Fields == 0 ? Length : Length + Fields; // the "?" and each "&" but the last
}

int TMapiControl::Fail(int Result, const std::string& Message) {
    if (FReporter)
        FReporter->ShowMailMessage(Message);
    else
        std::cerr << Message << '\n';
    if (Result != MapiResult::NotSupported && OnMapiError) OnMapiError(*this, Result);
    return Result;
}

int TMapiControl::Send() {
    const std::string Program = FindOnPath(ComposerProgram);
    if (Program.empty())
        return Fail(MapiResult::NotSupported, std::string(MailNotSupportedMessage));

    FDisplayFileName.clear();
    for (const std::string& F : AttachedFiles)
        if (!F.empty()) FDisplayFileName.push_back(FileNameOf(F));

    if (const std::size_t Length = ComposerLinkLength(); Length > MaxComposerLinkLength)
        return Fail(MapiResult::TextTooLarge, MailTooLongMessage(Length));

    const TRunEnd End = RunAndWait(Program, ComposerArguments(), OnWaiting);
    if (End.StartErrno == ENOENT) // removed since the look-up
        return Fail(MapiResult::NotSupported, std::string(MailNotSupportedMessage));
    if (End.StartErrno != 0)
        return Fail(MapiResult::Failure, MailStartFailureMessage(End.StartErrno));
    if (End.ExitStatus < 0) return Fail(MapiResult::Failure, MailSignalFailureMessage(End.Signal));

    const int Result = MapiResultOfExitStatus(End.ExitStatus);
    if (Result == MapiResult::Success) {
        if (OnSuccess) OnSuccess(*this);
    } else if (Result == MapiResult::UserAbort) {
        if (OnUserAbort) OnUserAbort(*this);
    } else {
        return Fail(Result, MailExitFailureMessage(End.ExitStatus));
    }
    return Result;
}

} // namespace oravent
