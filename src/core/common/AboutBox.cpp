// The about box's rules: what the window shows, link captions, the stored
// start-up choice.
#include "common/AboutBox.h"

#include <cctype>
#include <exception>

#include "common/AppFolders.h"
#include "common/TxRegistry.h"

namespace oravent {

namespace {

// True when Address starts with a URL scheme: a letter, then letters, digits,
// "+", "-" or ".", then ":" ("http:", "mailto:", "x-app:").
bool HasScheme(std::string_view Address) {
    const auto Colon = Address.find(':');
    if (Colon == std::string_view::npos || Colon == 0) return false;
    if (!std::isalpha(static_cast<unsigned char>(Address[0]))) return false;
    for (std::size_t I = 1; I < Colon; ++I) {
        const auto C = static_cast<unsigned char>(Address[I]);
        if (!std::isalnum(C) && C != '+' && C != '-' && C != '.') return false;
    }
    // "host:8080" is an address with a port, not a scheme.
    const std::string_view Rest = Address.substr(Colon + 1);
    return !(Rest.size() > 0 && std::isdigit(static_cast<unsigned char>(Rest[0])));
}

bool GStartupFlag = false;

} // namespace

TAboutBoxView AboutBoxView(const TAboutBoxProps& Props, std::string_view AppTitle, bool StartupFlag,
                           TAboutBoxMode Mode) {
    TAboutBoxView V;
    V.ProductLine = Props.ProductName.empty() ? std::string(AppTitle) : Props.ProductName;
    V.Caption = "About " + V.ProductLine;
    V.DeveloperLine = Props.DeveloperName;
    V.VersionLine = "Version " + Props.Version;
    V.Description = Props.Description;
    V.Copyright = Props.Copyright;
    V.EMailURL = LinkTarget("mailto:", Props.EMail);
    V.EMailCaption = Props.EMail;
    V.WebURL = LinkTarget("http://", Props.WebURL);
    V.WebCaption = Props.WebCaption;
    V.StatusText = Props.Comment;
    V.ShowWeb = Props.ShowWebb;
    V.Checked = StartupFlag;
    V.StretchPic = Props.StretchPic;
    const bool Splash = Mode == TAboutBoxMode::Splash;
    V.ShowOk = !Splash;
    V.ShowCheck = !Splash;
    V.ShowStatus = Splash;
    return V;
}

std::string LinkTarget(std::string_view Scheme, std::string_view Address) {
    if (Address.empty()) return {};
    if (HasScheme(Address)) return std::string(Address);
    return std::string(Scheme) + std::string(Address);
}

std::string URLLabelCaption(std::string_view Caption, std::string_view OldURL,
                            std::string_view NewURL) {
    if (Caption.empty() || Caption == OldURL) return std::string(NewURL);
    return std::string(Caption);
}

std::string URLLabelText(std::string_view Caption, std::string_view URL) {
    return std::string(Caption.empty() ? URL : Caption);
}

bool ReadSplashScreen(const TCustomIniFile& Store) {
    try {
        return Store.ReadBool(kSplashSection, kSplashIdent, false);
    } catch (const std::exception&) {
        return false;
    }
}

void WriteSplashScreen(TCustomIniFile& Store, bool Show) {
    Store.WriteBool(kSplashSection, kSplashIdent, Show);
}

bool StartupFlag() {
    return GStartupFlag;
}

void SetStartupFlag(bool Show) {
    GStartupFlag = Show;
}

bool LoadStartupFlag() {
    GStartupFlag = ReadSplashScreen(TRegistryIniFile(AppRegistryKey()));
    return GStartupFlag;
}

} // namespace oravent
