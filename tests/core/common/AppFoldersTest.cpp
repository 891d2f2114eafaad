// Application folders, registry roots and the window-state rules.
#include "common/AppFolders.h"

#include <vector>

#include <gtest/gtest.h>
#include <unistd.h>

#include "TestFiles.h"
#include "common/TxRegistry.h"

namespace oravent {
namespace {

using test::TTempDir;

struct TMakerRow {
    const char* Name;
    const char* AppFolder;
    const char* ProgramFiles;
    const char* Maker;
};

TEST(AppFoldersTest, MakerFolderRows) {
    const TMakerRow Rows[] = {
        {"inside_halvorn_tree", "/media/d/Tools/Halvorn/Oravent/", "/opt/",
         "/media/d/Tools/Halvorn/"},
        {"elsewhere_uses_program_files", "/home/u/Apps/Oravent/", "/opt/", "/opt/Halvorn/"},
        {"program_files_without_slash", "/home/u/Apps/Oravent/", "/usr/local",
         "/usr/local/Halvorn/"},
        {"upper_case_folder_kept", "/srv/HALVORN/Oravent/", "/opt/", "/srv/HALVORN/"},
        {"lower_case_folder_kept", "/srv/halvorn/bin/", "/opt/", "/srv/halvorn/"},
        {"k7q_folder", "/srv/k7q/Oravent/", "/opt/", "/srv/k7q/"},
        {"K7Q_upper_kept", "/srv/K7Q/bin/", "/opt/", "/srv/K7Q/"},
        {"halvorn_before_k7q", "/a/k7q/Halvorn/b/", "/opt/", "/a/k7q/Halvorn/"},
        {"first_halvorn_counts", "/x/Halvorn/y/Halvorn/z/", "/opt/", "/x/Halvorn/"},
        {"word_inside_a_name", "/x/MyHalvornTools/bin/", "/opt/", "/x/MyHalvorn/"},
        {"build_tree", "/work/build/Halvorn/Oravent/", "/opt/", "/work/build/Halvorn/"},
    };
    for (const auto& R : Rows) {
        EXPECT_EQ(MakerFolderFor(R.AppFolder, R.ProgramFiles), R.Maker) << R.Name;
    }
}

TEST(AppFoldersTest, RunningProgram) {
    char Buffer[4096];
    const ssize_t N = ::readlink("/proc/self/exe", Buffer, sizeof Buffer - 1);
    ASSERT_GT(N, 0);
    const std::string Exe(Buffer, static_cast<std::size_t>(N));
    EXPECT_EQ(AppFileName(), Exe);
    EXPECT_EQ(AppBaseName(), "test_core_common");
    EXPECT_EQ(AppFolder(), Exe.substr(0, Exe.rfind('/') + 1));
    EXPECT_EQ(AppFolder().back(), '/');
    EXPECT_EQ(ProgramFilesFolder(), "/opt/");
    EXPECT_EQ(MakerFolder(), MakerFolderFor(AppFolder(), "/opt/"));
    EXPECT_EQ(CommonFolder(), MakerFolder() + "Common Files/");
    EXPECT_EQ(AppRegistryKey(), "Software\\Halvorn\\test_core_common");
    EXPECT_EQ(CommonRegistryKey(), "Software\\Halvorn\\Common\\");
}

TEST(AppFoldersTest, NamesOfProgramFiles) {
    EXPECT_EQ(AppRegistryKey("/opt/Halvorn/Oravent/Oravent.exe"), "Software\\Halvorn\\Oravent");
    EXPECT_EQ(AppRegistryKey("/usr/bin/oravent"), "Software\\Halvorn\\oravent");
    EXPECT_EQ(BaseNameOf("/a.b/prog.tar.gz"), "prog.tar");
    EXPECT_EQ(BaseNameOf("/a.b/prog"), "prog");
    EXPECT_EQ(BaseNameOf(".hidden"), ".hidden");
    EXPECT_EQ(FolderOf("/opt/Halvorn/Oravent/oravent"), "/opt/Halvorn/Oravent/");
}

struct TPlaceRow {
    const char* Name;
    int StoredLeft, StoredTop;
    int Left, Top;
};

// A place stored at 1x and restored at 2x (a screen of half the size in
// the same units) keeps the whole window, frame included, on the screen.
TEST(FormStateTest, KeepWholeOnScreenRows) {
    const TScreenRect Screen{0, 0, 640, 512};
    struct TRow {
        const char* Name;
        TFormState In;
        int FrameW, FrameH;
        TFormState Out;
    };
    const TRow Rows[] = {
        {"inside stays", {100, 50, 300, 200}, 0, 0, {100, 50, 300, 200}},
        {"1x place at 2x moves in", {954, 806, 326, 217}, 0, 0, {314, 295, 326, 217}},
        {"frame counts", {954, 806, 326, 217}, 2, 30, {312, 265, 326, 217}},
        {"left and top edges win", {-40, -10, 300, 200}, 0, 0, {0, 0, 300, 200}},
        {"larger than the screen shrinks", {10, 10, 900, 700}, 4, 24, {0, 0, 636, 488}},
        {"far right", {1300, 0, 100, 100}, 0, 0, {540, 0, 100, 100}},
    };
    for (const TRow& R : Rows) {
        const TFormState Out = KeepWholeOnScreen(R.In, Screen, R.FrameW, R.FrameH);
        EXPECT_EQ((std::vector<int>{Out.Left, Out.Top, Out.Width, Out.Height}),
                  (std::vector<int>{R.Out.Left, R.Out.Top, R.Out.Width, R.Out.Height}))
            << R.Name;
    }
    // The screen's own origin counts (a second screen to the right).
    const TFormState Out =
        KeepWholeOnScreen({3000, 10, 200, 100}, TScreenRect{1280, 0, 1920, 1080});
    EXPECT_EQ(Out.Left, 1280 + 1920 - 200);
}

// A window of 400 × 300 beside an owner, gap 5, on a 1280 × 1024 screen.
TEST(FormStateTest, PlaceBesideRows) {
    const TScreenRect Screen{0, 0, 1280, 1024};
    struct TRow {
        const char* Name;
        TScreenRect Owner;
        int W, H;
        std::pair<int, int> Out;
    };
    const TRow Rows[] = {
        {"right of it", {100, 100, 326, 217}, 400, 300, {431, 100}},
        {"left when the right is full", {800, 100, 326, 217}, 400, 300, {395, 100}},
        {"below when both sides are full", {477, 50, 326, 217}, 900, 300, {380, 272}},
        {"above when below is full too", {477, 700, 326, 217}, 900, 300, {380, 395}},
        {"nowhere whole: covers the least", {477, 403, 326, 217}, 900, 420, {380, 604}},
        {"owner top aligned, kept on the screen", {100, 900, 326, 100}, 400, 300, {431, 724}},
    };
    for (const TRow& R : Rows)
        EXPECT_EQ(PlaceBeside(R.Owner, R.W, R.H, Screen, 5), R.Out) << R.Name;
}

TEST(FormStateTest, KeepOnScreenRows) {
    const TScreenRect Screen{0, 0, 1280, 1024};
    const TPlaceRow Rows[] = {
        {"negative_left_becomes_0", -50, 10, 0, 10},
        {"left_beyond_width_minus_100", 1250, 10, 1080, 10},
        {"left_at_limit_stays", 1180, 10, 1180, 10},
        {"left_one_past_limit", 1181, 10, 1080, 10},
        {"negative_top_becomes_0", 10, -1, 10, 0},
        {"top_beyond_height_minus_100", 10, 1000, 10, 824},
        {"both_inside", 300, 200, 300, 200},
    };
    for (const auto& R : Rows) {
        TFormState S;
        S.Left = R.StoredLeft;
        S.Top = R.StoredTop;
        const TFormState Out = KeepOnScreen(S, Screen);
        EXPECT_EQ(Out.Left, R.Left) << R.Name;
        EXPECT_EQ(Out.Top, R.Top) << R.Name;
    }
    // A second screen to the right: the same rules relative to its edges.
    TFormState S;
    S.Left = 1000;
    S.Top = 5000;
    const TFormState Out = KeepOnScreen(S, TScreenRect{1280, 0, 1920, 1080});
    EXPECT_EQ(Out.Left, 1280);
    EXPECT_EQ(Out.Top, 880);
}

class FormStateStoreTest : public ::testing::Test {
protected:
    TTempDir Dir;
    TRegistryIniFile Store{"Software\\Halvorn\\Oravent", Dir / "registry.reg"};
    const TScreenRect Screen{0, 0, 1280, 1024};
    const TFormState Designed{120, 80, 640, 480, true, wsNormal};
};

TEST_F(FormStateStoreTest, FirstRunKeepsTheDesignedPlace) {
    const TFormState Out = RestoreFormState(Store, "DuctUForm", Designed, true, Screen);
    EXPECT_EQ(Out.Left, 120);
    EXPECT_EQ(Out.Top, 80);
    EXPECT_EQ(Out.Width, 640);
    EXPECT_EQ(Out.Height, 480);
    EXPECT_EQ(Out.WinState, wsNormal);
}

TEST_F(FormStateStoreTest, SaveThenRestoreWithAndWithoutSize) {
    SaveFormState(Store, "ReportForm", TFormState{-50, 1000, 800, 600, false, wsMaximized});
    const TFormState Sized = RestoreFormState(Store, "ReportForm", Designed, true, Screen);
    EXPECT_EQ(Sized.Left, 0);
    EXPECT_EQ(Sized.Top, 824);
    EXPECT_EQ(Sized.Width, 800);
    EXPECT_EQ(Sized.Height, 600);
    EXPECT_EQ(Sized.WinState, wsMaximized);
    EXPECT_TRUE(Sized.Visible); // not restored
    const TFormState Unsized = RestoreFormState(Store, "reportform", Designed, false, Screen);
    EXPECT_EQ(Unsized.Width, 640);
    EXPECT_EQ(Unsized.Height, 480);
    // Stored kinds: numbers, and Visible as the text "0".
    EXPECT_EQ(Store.ReadText("ReportForm", "Visible", "?"), "0");
    EXPECT_THROW(Store.ReadText("ReportForm", "Left", ""), ERegistryException);
    std::vector<std::string> Idents;
    Store.ListSectionIdents("ReportForm", Idents);
    EXPECT_EQ(Idents,
              (std::vector<std::string>{"Left", "Top", "Width", "Height", "Visible", "WinState"}));
}

TEST_F(FormStateStoreTest, ImplausibleStoredValuesKeepTheCurrentOnes) {
    Store.WriteInt("F", "Width", 0);
    Store.WriteInt("F", "Height", -5);
    Store.WriteInt("F", "WinState", 7);
    const TFormState Out = RestoreFormState(Store, "F", Designed, true, Screen);
    EXPECT_EQ(Out.Width, 640);
    EXPECT_EQ(Out.Height, 480);
    EXPECT_EQ(Out.WinState, wsNormal);
    Store.WriteInt("F", "Width", Screen.Width + 1);
    Store.WriteInt("F", "Height", 0x7fffffff);
    EXPECT_EQ(RestoreFormState(Store, "F", Designed, true, Screen).Width, 640);
    EXPECT_EQ(RestoreFormState(Store, "F", Designed, true, Screen).Height, 480);
    Store.WriteReal("F", "Left", 1.0); // wrong kind: the caller sees the error
    EXPECT_THROW(RestoreFormState(Store, "F", Designed, true, Screen), ERegistryException);
}

TEST(FormStateTest, ProgramKeyUsesTheUsersSettingsFile) {
    SaveFormState("TestForm", TFormState{10, 20, 300, 200, true, wsNormal});
    TRegistryIniFile Direct(AppRegistryKey());
    EXPECT_EQ(Direct.ReadInt("TestForm", "Width", 0), 300);
    EXPECT_EQ(RestoreFormState("TestForm", TFormState{}, true, TScreenRect{0, 0, 1280, 1024}).Top,
              20);
    EXPECT_EQ(Direct.StoreFile(),
              std::string(std::getenv("XDG_CONFIG_HOME")) + "/Halvorn/registry.reg");
}

} // namespace
} // namespace oravent

namespace oravent {

TEST(UserFileTest, BesideTheProgramWhenWritableElseInTheDataFolder) {
    test::TTempDir Dir;
    const std::string Program = Dir.Path() + "/";
    const std::string Data = Dir.Path() + "/data/Halvorn/Oravent/";
    EXPECT_EQ(UserFileFor("Oravent.ini", Program, Data, true), Program + "Oravent.ini");
    EXPECT_EQ(UserFileFor("Oravent.ini", Program, Data, false), Program + "Oravent.ini");
    // A folder the program cannot write (here one that does not exist).
    const std::string ReadOnly = Dir.Path() + "/installed/";
    EXPECT_EQ(UserFileFor("Oravent.ini", ReadOnly, Data, false), ReadOnly + "Oravent.ini");
    EXPECT_EQ(UserFileFor("Oravent.ini", ReadOnly, Data, true), Data + "Oravent.ini");
    EXPECT_TRUE(std::filesystem::is_directory(Data));
    test::PutFile(Data + "Oravent.ini", "[Settings]\n");
    EXPECT_EQ(UserFileFor("Oravent.ini", ReadOnly, Data, false), Data + "Oravent.ini");
    // An installed program writes to the data folder even where it could
    // write beside itself (root, for whom /opt is writable).
    EXPECT_EQ(UserFileFor("Oravent.jpg", ProgramFilesFolder(), Data, true), Data + "Oravent.jpg");
}

} // namespace oravent
