// Application folders, registry roots and window-state rules.
#include "common/AppFolders.h"

#include <algorithm>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include <pwd.h>
#include <unistd.h>

#include "common/TxIniFiles.h"
#include "common/TxRegistry.h"

namespace oravent {

namespace {

std::size_t FindNoCase(std::string_view Text, std::string_view Word) {
    if (Word.size() > Text.size()) return std::string_view::npos;
    for (std::size_t I = 0; I + Word.size() <= Text.size(); ++I) {
        bool Same = true;
        for (std::size_t K = 0; K < Word.size() && Same; ++K) {
            char C = Text[I + K];
            if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 32);
            Same = C == Word[K];
        }
        if (Same) return I;
    }
    return std::string_view::npos;
}

std::string ReadAppFileName() {
    char Buffer[PATH_MAX + 1];
    const ssize_t N = ::readlink("/proc/self/exe", Buffer, PATH_MAX);
    if (N <= 0) {
        if (::getcwd(Buffer, sizeof Buffer)) return std::string(Buffer) + "/";
        return "./";
    }
    std::string Name(Buffer, static_cast<std::size_t>(N));
    // A program file replaced while running reads as "<file> (deleted)".
    constexpr std::string_view Deleted = " (deleted)";
    if (Name.size() > Deleted.size() && Name.ends_with(Deleted))
        Name.resize(Name.size() - Deleted.size());
    return Name;
}

bool ValidState(int State) {
    return State >= wsNormal && State <= wsMaximized;
}

} // namespace

std::string BaseNameOf(std::string_view ProgramFile) {
    const auto Slash = ProgramFile.rfind('/');
    std::string_view Name =
        Slash == std::string_view::npos ? ProgramFile : ProgramFile.substr(Slash + 1);
    const auto Dot = Name.rfind('.');
    if (Dot != std::string_view::npos && Dot > 0) Name = Name.substr(0, Dot);
    return std::string(Name);
}

std::string FolderOf(std::string_view ProgramFile) {
    const auto Slash = ProgramFile.rfind('/');
    if (Slash == std::string_view::npos) return "./";
    return std::string(ProgramFile.substr(0, Slash + 1));
}

std::string MakerFolderFor(std::string_view AppFolder, std::string_view ProgramFiles) {
    std::string Result(ProgramFiles);
    if (Result.empty() || Result.back() != '/') Result += '/';
    Result += "Halvorn/";
    for (std::string_view Word : {std::string_view("HALVORN"), std::string_view("K7Q")}) {
        const auto Pos = FindNoCase(AppFolder, Word);
        if (Pos != std::string_view::npos)
            return std::string(AppFolder.substr(0, Pos + Word.size())) + "/";
    }
    return Result;
}

std::string XdgBaseFolder(const char* Variable, std::string_view UnderHome) {
    std::string Base;
    if (const char* Value = std::getenv(Variable); Value && Value[0] == '/') {
        Base = Value;
    } else {
        if (const char* Home = std::getenv("HOME"); Home && *Home)
            Base = Home;
        else if (const passwd* Pw = ::getpwuid(::getuid()); Pw && Pw->pw_dir)
            Base = Pw->pw_dir;
        else
            Base = "/tmp";
        Base += '/';
        Base += UnderHome;
    }
    while (Base.size() > 1 && Base.back() == '/')
        Base.pop_back();
    return Base;
}

std::string UserDataFolder() {
    return XdgBaseFolder("XDG_DATA_HOME", ".local/share") + "/Halvorn/" + AppBaseName() + "/";
}

std::string UserFileFor(std::string_view Name, std::string_view ProgramFolder,
                        std::string_view DataFolder, bool ForWriting) {
    const std::string Beside = std::string(ProgramFolder) + std::string(Name);
    const std::string Own = std::string(DataFolder) + std::string(Name);
    // A program installed under the program-files folder keeps its users'
    // files apart even when its folder can be written (by root): the
    // package manager owns that folder.
    const bool Installed = ProgramFolder.substr(0, ProgramFilesFolder().size()) ==
                           std::string_view(ProgramFilesFolder());
    if (!Installed && ::access(std::string(ProgramFolder).c_str(), W_OK) == 0) return Beside;
    if (ForWriting) {
        std::error_code Ec;
        std::filesystem::create_directories(std::string(DataFolder), Ec);
        return Own;
    }
    return ::access(Own.c_str(), F_OK) == 0 ? Own : Beside;
}

std::string UserFileForWriting(std::string_view Name) {
    return UserFileFor(Name, AppFolder(), UserDataFolder(), true);
}

std::string UserFileForReading(std::string_view Name) {
    return UserFileFor(Name, AppFolder(), UserDataFolder(), false);
}

std::string AppFileName() {
    static const std::string Name = ReadAppFileName();
    return Name;
}

std::string AppBaseName() {
    return BaseNameOf(AppFileName());
}
std::string AppFolder() {
    return FolderOf(AppFileName());
}
std::string ProgramFilesFolder() {
    return "/opt/";
}

std::string MakerFolder() {
    static const std::string Folder = MakerFolderFor(AppFolder(), ProgramFilesFolder());
    return Folder;
}

std::string CommonFolder() {
    return MakerFolder() + "Common Files/";
}

std::string AppRegistryKey(std::string_view ProgramFile) {
    return "Software\\Halvorn\\" + (ProgramFile.empty() ? AppBaseName() : BaseNameOf(ProgramFile));
}

std::string CommonRegistryKey() {
    return "Software\\Halvorn\\Common\\";
}

TFormState KeepOnScreen(TFormState State, const TScreenRect& Screen) {
    const int Left = State.Left - Screen.Left;
    if (Left < 0)
        State.Left = Screen.Left;
    else if (Left > Screen.Width - 100)
        State.Left = Screen.Left + Screen.Width - 200;
    const int Top = State.Top - Screen.Top;
    if (Top < 0)
        State.Top = Screen.Top;
    else if (Top > Screen.Height - 100)
        State.Top = Screen.Top + Screen.Height - 200;
    return State;
}

namespace {

// One axis: the start and length of the window within those of the screen.
void FitSpan(int& Start, int& Length, int Frame, int ScreenStart, int ScreenLength) {
    if (ScreenLength <= 0) return;
    Length = std::min(Length, std::max(1, ScreenLength - Frame));
    Start = std::min(Start, ScreenStart + ScreenLength - (Length + Frame));
    Start = std::max(Start, ScreenStart);
}

} // namespace

TFormState KeepWholeOnScreen(TFormState State, const TScreenRect& Screen, int FrameWidth,
                             int FrameHeight) {
    FitSpan(State.Left, State.Width, FrameWidth, Screen.Left, Screen.Width);
    FitSpan(State.Top, State.Height, FrameHeight, Screen.Top, Screen.Height);
    return State;
}

TFormState RestoreFormState(const TCustomIniFile& Store, std::string_view FormName,
                            const TFormState& Current, bool RestoreSize,
                            const TScreenRect& Screen) {
    TFormState State = Current;
    State.Left = Store.ReadInt(FormName, "Left", Current.Left);
    State.Top = Store.ReadInt(FormName, "Top", Current.Top);
    if (RestoreSize) {
        const int Width = Store.ReadInt(FormName, "Width", Current.Width);
        const int Height = Store.ReadInt(FormName, "Height", Current.Height);
        // A size of nothing or beyond the screen is no size a user left.
        if (Width > 0 && (Screen.Width <= 0 || Width <= Screen.Width)) State.Width = Width;
        if (Height > 0 && (Screen.Height <= 0 || Height <= Screen.Height)) State.Height = Height;
    }
    State = KeepOnScreen(State, Screen);
    const int WinState = Store.ReadInt(FormName, "WinState", Current.WinState);
    if (ValidState(WinState)) State.WinState = WinState;
    return State;
}

void SaveFormState(TCustomIniFile& Store, std::string_view FormName, const TFormState& State) {
    auto* Registry = dynamic_cast<TRegistryIniFile*>(&Store);
    if (Registry) Registry->BeginUpdate();
    try {
        Store.WriteInt(FormName, "Left", State.Left);
        Store.WriteInt(FormName, "Top", State.Top);
        Store.WriteInt(FormName, "Width", State.Width);
        Store.WriteInt(FormName, "Height", State.Height);
        Store.WriteBool(FormName, "Visible", State.Visible);
        Store.WriteInt(FormName, "WinState", State.WinState);
    } catch (...) {
        if (Registry) Registry->EndUpdate();
        throw;
    }
    if (Registry) Registry->EndUpdate();
}

TFormState RestoreFormState(std::string_view FormName, const TFormState& Current, bool RestoreSize,
                            const TScreenRect& Screen) {
    const TRegistryIniFile Store(AppRegistryKey());
    return RestoreFormState(Store, FormName, Current, RestoreSize, Screen);
}

void SaveFormState(std::string_view FormName, const TFormState& State) {
    TRegistryIniFile Store(AppRegistryKey());
    SaveFormState(Store, FormName, State);
}

std::pair<int, int> PlaceBeside(const TScreenRect& Owner, int Width, int Height,
                                const TScreenRect& Screen, int Gap) {
    const int Right = Screen.Left + Screen.Width, Bottom = Screen.Top + Screen.Height;
    const auto Clamp = [](int V, int Lo, int Hi) { return std::max(Lo, std::min(V, Hi)); };
    // Aligned with the owner's top (or left) edge, as far as the screen allows.
    const int Top = Clamp(Owner.Top, Screen.Top, Bottom - Height);
    const int Left = Clamp(Owner.Left, Screen.Left, Right - Width);
    const std::pair<int, int> Spots[4] = {{Owner.Left + Owner.Width + Gap, Top},
                                          {Owner.Left - Gap - Width, Top},
                                          {Left, Owner.Top + Owner.Height + Gap},
                                          {Left, Owner.Top - Gap - Height}};
    std::pair<int, int> Best = Spots[0];
    long long Least = -1;
    for (auto [X, Y] : Spots) {
        if (X >= Screen.Left && Y >= Screen.Top && X + Width <= Right && Y + Height <= Bottom)
            return {X, Y};
        X = Clamp(X, Screen.Left, Right - Width);
        Y = Clamp(Y, Screen.Top, Bottom - Height);
        const long long W = std::min(X + Width, Owner.Left + Owner.Width) - std::max(X, Owner.Left);
        const long long H = std::min(Y + Height, Owner.Top + Owner.Height) - std::max(Y, Owner.Top);
        const long long Covered = W > 0 && H > 0 ? W * H : 0;
        if (Least < 0 || Covered < Least) {
            Least = Covered;
            Best = {X, Y};
        }
    }
    return Best;
}

} // namespace oravent
