#include "report/MapiControl.h"

#include <cerrno>
#include <cstdlib>
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

// Starts Program with Args (argument 0 is the composer's own name) and waits
// for it. Returns its exit status; -1 when it ended by a signal or could not
// be waited for; -1 - errno when it could not be started.
int RunAndWait(const std::string& Program, const std::vector<std::string>& Args,
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
    if (Err != 0) return -1 - Err;

    int Status = 0;
    for (;;) {
        const pid_t R = ::waitpid(Pid, &Status, OnWaiting ? WNOHANG : 0);
        if (R == Pid) break;
        if (R < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        OnWaiting();
        ::usleep(20000);
    }
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

} // namespace

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

int TMapiControl::NotAvailable() {
    const std::string Text(MailNotSupportedMessage);
    if (FReporter)
        FReporter->ShowMailMessage(Text);
    else
        std::cerr << Text << '\n';
    return MapiResult::NotSupported;
}

int TMapiControl::Send() {
    const std::string Program = FindOnPath(ComposerProgram);
    if (Program.empty()) return NotAvailable();

    FDisplayFileName.clear();
    for (const std::string& F : AttachedFiles)
        if (!F.empty()) FDisplayFileName.push_back(FileNameOf(F));

    const int Status = RunAndWait(Program, ComposerArguments(), OnWaiting);
    if (Status == -1 - ENOENT) return NotAvailable(); // removed since the look-up
    const int Result = Status < 0 ? MapiResult::Failure : MapiResultOfExitStatus(Status);
    if (Result == MapiResult::NotSupported) return NotAvailable();

    if (Result == MapiResult::Success) {
        if (OnSuccess) OnSuccess(*this);
    } else if (Result == MapiResult::UserAbort) {
        if (OnUserAbort) OnUserAbort(*this);
    } else if (OnMapiError) {
        OnMapiError(*this, Result);
    }
    return Result;
}

} // namespace oravent
