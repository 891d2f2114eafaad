// One mail message handed to the user's mail program: subject, body, To/Cc/Bcc
// recipients and attached files, through the desktop's mail composer
// (`xdg-email`). The program is started with an argument vector, never
// through a shell, so no text of the message is ever interpreted. Results
// follow the Simple MAPI codes (0 success, 1 user abort, other values errors,
// 26 mail not available); every failure also shows a message saying why,
// through TMapiReporter, since a composer that never opens shows nothing.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace oravent {

// Result codes of Send (the Simple MAPI values).
namespace MapiResult {
inline constexpr int Success = 0;
inline constexpr int UserAbort = 1;
inline constexpr int Failure = 2;
inline constexpr int AttachmentNotFound = 11;
inline constexpr int AttachmentOpenFailure = 12;
inline constexpr int InvalidMessage = 17;
inline constexpr int TextTooLarge = 18;
inline constexpr int NotSupported = 26;
} // namespace MapiResult

inline constexpr std::string_view MailNotSupportedMessage = "No mail program was found (xdg-email)";

// xdg-email hands the mail program the whole message as one link
// ("mailto:?subject=…&body=…") in one argument, and Linux takes at most
// 128 KiB per argument, the closing NUL included.
inline constexpr std::size_t MaxComposerLinkLength = 128 * 1024 - 1;

// Shows the component's failure messages. The GUI uses a message box;
// without a reporter the text goes to the standard error stream.
class TMapiReporter {
public:
    virtual ~TMapiReporter() = default;
    virtual void ShowMailMessage(const std::string& Text) = 0;
};

// The message shown for a failed send, by what went wrong: a program that
// could not be started (the errno of the attempt), an exit status of
// xdg-email (see MapiResultOfExitStatus) or a signal that ended it (0: its
// end was not seen).
std::string MailStartFailureMessage(int Errno);
std::string MailExitFailureMessage(int ExitStatus);
std::string MailSignalFailureMessage(int Signal);
// A message whose mail link would be LinkLength bytes long.
std::string MailTooLongMessage(std::size_t LinkLength);

// How xdg-email's exit status becomes a result code:
//   0 -> Success; 1 (bad command line) -> InvalidMessage;
//   2 (attachment missing) -> AttachmentNotFound;
//   3 (no mail program to hand the message to) -> NotSupported;
//   4 (the mail program failed) -> Failure;
//   5 (attachment not readable) -> AttachmentOpenFailure;
//   any other status, or death by a signal -> Failure.
// xdg-email cannot tell a cancelled message from a sent one, so UserAbort is
// never produced.
int MapiResultOfExitStatus(int ExitStatus);

// The full path of an executable file Name in the folders of $PATH (empty
// entries skipped; "/usr/bin:/bin" when PATH is unset), or "" when none.
std::string FindOnPath(std::string_view Name);

class TMapiControl {
public:
    std::string Subject;
    std::string Body;
    // Kept for the callers; the desktop composer sends from the user's own
    // account, so neither is passed on.
    std::string FromName;
    std::string FromAdress;
    // One address per entry; blank entries are skipped.
    std::vector<std::string> Recipients;
    std::vector<std::string> CopyTo;
    std::vector<std::string> BlindCopyTo;
    // Full paths of the files to attach.
    std::vector<std::string> AttachedFiles;
    // The composer always opens: the user completes and sends the message
    // there, whatever ShowDialog says. UseAppHandle is stored only.
    bool ShowDialog = false;
    bool UseAppHandle = false;

    // Events; unassigned ones are skipped.
    std::function<void(TMapiControl& Sender)> OnUserAbort;
    std::function<void(TMapiControl& Sender, int ErrorCode)> OnMapiError;
    std::function<void(TMapiControl& Sender)> OnSuccess;
    // Called about every 20 ms while the mail program runs (a window keeps
    // painting); without it Send simply blocks until the program ends.
    std::function<void()> OnWaiting;

    void SetReporter(TMapiReporter* Reporter) { FReporter = Reporter; }

    // The attachment names without folders, filled by each Send.
    const std::vector<std::string>& DisplayFileName() const { return FDisplayFileName; }

    // The arguments Send passes to xdg-email (without the program name):
    // "--utf8", "--to" X per recipient, "--cc" X, "--bcc" X, "--subject" S,
    // "--body" B, "--attach" F per file. Empty subject or body are left out
    // (xdg-email refuses empty option values).
    std::vector<std::string> ComposerArguments() const;
    // Length in bytes of the mail link xdg-email builds from those
    // arguments: each value percent-encoded byte by byte (letters, digits and
    // "@.-\/" kept), a line break as "%0D%0A", line breaks at the end
    // dropped, an attachment as its path (a backslash counts as itself,
    // though xdg-email's shell may read it as an escape).
    std::size_t ComposerLinkLength() const;

    // Hands the message to xdg-email and waits for it. When xdg-email is not
    // on PATH, or reports that no mail program can take the message, shows
    // MailNotSupportedMessage and returns NotSupported without an event.
    // A message longer than MaxComposerLinkLength as a link is not handed
    // over (no mail program could receive it): TextTooLarge. Otherwise 0
    // calls OnSuccess, 1 OnUserAbort and any other code OnMapiError; every
    // failure shows its message.
    int Send();

private:
    int Fail(int Result, const std::string& Message);
    TMapiReporter* FReporter = nullptr;
    std::vector<std::string> FDisplayFileName;
};

} // namespace oravent
