// Where the program finds its own files, the shared files of the maker's
// programs and its settings, and the rules by which windows remember their
// place (decided here without any window toolkit; the GUI applies the result).
//
// Folders end with "/". Registry key paths use "\" and are relative to
// HKEY_CURRENT_USER (see TRegistryIniFile).
#pragma once

#include <utility>

#include <string>
#include <string_view>

namespace oravent {

class TCustomIniFile;

// The running program's file (from /proc/self/exe).
std::string AppFileName();
// The program file's name without folder and extension ("oravent").
std::string AppBaseName();
// The folder holding the program file, with a trailing "/".
std::string AppFolder();
// The home of vendor software on Linux: "/opt/".
std::string ProgramFilesFolder();
// The folder the maker's programs are installed in (MakerFolderFor of
// AppFolder and ProgramFilesFolder), and its "Common Files/" folder.
std::string MakerFolder();
std::string CommonFolder();

// "Software\Halvorn\" + the program file's base name; the running program's
// file when none is given.
std::string AppRegistryKey(std::string_view ProgramFile = {});
// "Software\Halvorn\Common\"
std::string CommonRegistryKey();

// The rules behind the folders, for any paths.
std::string BaseNameOf(std::string_view ProgramFile);
std::string FolderOf(std::string_view ProgramFile);
// ProgramFiles + "Halvorn/", unless AppFolder contains "Halvorn" (any letter
// case): then AppFolder up to and including that word, + "/"; else, if it
// contains "K7Q" (any case), AppFolder up to and including that, + "/". The
// path keeps its own letters (file names are case-sensitive here).
std::string MakerFolderFor(std::string_view AppFolder, std::string_view ProgramFiles);

// A base folder of the desktop's file layout, without a final "/": the
// environment variable Variable (e.g. "XDG_CONFIG_HOME") when it holds an
// absolute path, else UnderHome (e.g. ".config") in the user's home folder.
std::string XdgBaseFolder(const char* Variable, std::string_view UnderHome);

// Files the program keeps beside itself (the calculation file, the window
// snapshot). Beside the program when its folder is writable (the build tree,
// a portable copy); otherwise in UserDataFolder(). Reading takes the user's
// copy when there is one, else the copy beside the program.
// $XDG_DATA_HOME/Halvorn/<program>/, or ~/.local/share/Halvorn/<program>/
// (<program> is the program file's base name, "oravent")
// when XDG_DATA_HOME is unset or not an absolute path.
std::string UserDataFolder();
std::string UserFileForWriting(std::string_view Name);
std::string UserFileForReading(std::string_view Name);
// The same rules with the folders given.
std::string UserFileFor(std::string_view Name, std::string_view ProgramFolder,
                        std::string_view DataFolder, bool ForWriting);

// Window state as stored per window (section = the window's component name).
enum TWinState : int { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

struct TFormState {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool Visible = false;
    int WinState = wsNormal;
};

struct TScreenRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Keeps a window on the screen: a Left left of the screen becomes the
// screen's left edge; a Left more than Width - 100 into the screen becomes
// Width - 200 into it. The same for Top with the height.
TFormState KeepOnScreen(TFormState State, const TScreenRect& Screen);
// Keeps the whole window on the screen, its frame (FrameWidth, FrameHeight
// added to the inner size) included: moved left and up as far as it reaches
// beyond the right and bottom edges, never beyond the left and top edges,
// and made smaller when it is larger than the screen. A placement stored at
// another screen scale would otherwise come back partly off the screen.
TFormState KeepWholeOnScreen(TFormState State, const TScreenRect& Screen, int FrameWidth = 0,
                             int FrameHeight = 0);

// Where a window of outer size Width × Height goes beside its owner's outer
// rectangle (Left, Top, Width, Height), Gap apart: to the right, left, below
// or above, the first that is wholly on the screen; when none is, the one of
// the four that, kept on the screen, covers the least of the owner. Returns
// the outer top-left corner.
std::pair<int, int> PlaceBeside(const TScreenRect& Owner, int Width, int Height,
                                const TScreenRect& Screen, int Gap);

// Reads "Left" and "Top" (and, with RestoreSize, "Width" and "Height"), each
// defaulting to Current, keeps the window on the screen and reads
// "WinState". Stored sizes below 1 or larger than the screen and unknown
// window states leave the current ones. Visible is not restored. Kind errors of the store
// (ERegistryException) reach the caller.
TFormState RestoreFormState(const TCustomIniFile& Store, std::string_view FormName,
                            const TFormState& Current, bool RestoreSize, const TScreenRect& Screen);
// Writes "Left", "Top", "Width", "Height", "Visible", "WinState" in that
// order (saved together when the store is the registry).
void SaveFormState(TCustomIniFile& Store, std::string_view FormName, const TFormState& State);

// The same on the program's own key (AppRegistryKey()).
TFormState RestoreFormState(std::string_view FormName, const TFormState& Current, bool RestoreSize,
                            const TScreenRect& Screen);
void SaveFormState(std::string_view FormName, const TFormState& State);

} // namespace oravent
