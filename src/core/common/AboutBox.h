// The about box without a window: its properties with their defaults, what
// the window shows for a set of properties (caption, product and version
// lines, link targets and captions, which parts are visible), the caption
// rules of a link label, and the stored "show at start-up" choice with its
// program-wide flag. The Qt component (gui/common/TxAboutDlg) only applies
// what is decided here.
#pragma once

#include <string>
#include <string_view>

namespace oravent {

class TCustomIniFile;

// The maker's texts the box shows by default.
inline constexpr std::string_view kMakerName = "Halvorn";
inline constexpr std::string_view kMakerCopyright =
    "Copyright \u00a9 Halvorn. All rights reserved.";
inline constexpr std::string_view kMakerEMail = "support@halvorn.example";
inline constexpr std::string_view kMakerWebSite = "www.halvorn.example";

// The texts and switches of an about box (the font and the picture are the
// window toolkit's and live with the component).
struct TAboutBoxProps {
    std::string DeveloperName{kMakerName};
    std::string ProductName = "VODU Zuverevu"; // empty: the application title
    std::string Version = "1.0.0.0";
    std::string Description;
    std::string Copyright{kMakerCopyright};
    std::string EMail{kMakerEMail};
    std::string WebURL{kMakerWebSite}; // without the scheme
    std::string WebCaption{kMakerWebSite};
    std::string Comment = "Loading..."; // the status text of the start-up showing
    bool StretchPic = false;
    bool ShowWebb = false;
};

// How the box is shown: as the modal about box (OK button and check box, no
// status bar) or at program start while the program loads (the status bar
// with Comment, no OK button and no check box).
enum class TAboutBoxMode { Modal, Splash };

// Everything the about window shows, worked out from the properties.
struct TAboutBoxView {
    std::string Caption; // "About " + product
    std::string DeveloperLine;
    std::string ProductLine; // ProductName, or the application title when empty
    std::string VersionLine; // "Version " + Version
    std::string Description;
    std::string Copyright;
    std::string EMailURL; // "mailto:" + EMail
    std::string EMailCaption;
    std::string WebURL; // "http://" + WebURL
    std::string WebCaption;
    std::string StatusText;
    bool ShowWeb = false;    // the "WebSite" label and the web link
    bool ShowOk = true;      // the OK button
    bool ShowCheck = true;   // "Show this form on program bootup"
    bool ShowStatus = false; // the status bar with StatusText
    bool Checked = false;    // the check box: the start-up flag
    bool StretchPic = false;
};

TAboutBoxView AboutBoxView(const TAboutBoxProps& Props, std::string_view AppTitle, bool StartupFlag,
                           TAboutBoxMode Mode = TAboutBoxMode::Modal);

// A link target: Scheme + Address, unless the address already names a
// scheme ("https://…", "mailto:…"), which is then kept as it is. An empty
// address gives an empty target (nothing to open).
std::string LinkTarget(std::string_view Scheme, std::string_view Address);

// The caption of a link label after its URL changed from OldURL to NewURL:
// a caption that was empty or showed the old URL follows the new one; any
// other caption stays.
std::string URLLabelCaption(std::string_view Caption, std::string_view OldURL,
                            std::string_view NewURL);
// The text a link label shows: its caption, or its URL when the caption is
// empty.
std::string URLLabelText(std::string_view Caption, std::string_view URL);

// The stored choice: "SplashScreen" in section "Settings" of the program's
// key. A missing value, or one of a kind that cannot be read as a number,
// reads as false (a damaged setting must not stop the program).
inline constexpr std::string_view kSplashSection = "Settings";
inline constexpr std::string_view kSplashIdent = "SplashScreen";
bool ReadSplashScreen(const TCustomIniFile& Store);
// Raises what the store raises when it cannot be written.
void WriteSplashScreen(TCustomIniFile& Store, bool Show);

// The program-wide flag, read once at program start (LoadStartupFlag) and
// set by the about box's check box.
bool StartupFlag();
void SetStartupFlag(bool Show);
// Reads "SplashScreen" from the program's own key into the flag and gives it.
bool LoadStartupFlag();

// How long the start-up showing stays at least, once the program has loaded,
// so that it can be seen at all (a click or a key closes it sooner).
inline constexpr int kSplashMinimumMs = 1500;

} // namespace oravent
