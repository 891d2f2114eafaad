// Per-user settings store: value kinds, kind errors, case, regedit exports,
// two writers at once, a writer killed half way, refused writes.
#include "common/TxRegistry.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"
#include "common/RegFile.h"

namespace oravent {
namespace {

using test::GetFile;
using test::PutFile;
using test::TTempDir;

class RegistryTest : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string File = Dir / "registry.reg";
    TRegistryIniFile Open(std::string Key = "Software\\Halvorn\\Oravent") {
        return TRegistryIniFile(std::move(Key), File);
    }
};

TEST(RegistryFileNameTest, FollowsXdgConfigHome) {
    const std::string Saved = std::getenv("XDG_CONFIG_HOME");
    ::setenv("XDG_CONFIG_HOME", "/x/cfg/", 1);
    EXPECT_EQ(RegistryFileName(), "/x/cfg/Halvorn/registry.reg");
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1); // not absolute: ignored
    EXPECT_EQ(RegistryFileName(),
              std::string(std::getenv("HOME")) + "/.config/Halvorn/registry.reg");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryFileName(),
              std::string(std::getenv("HOME")) + "/.config/Halvorn/registry.reg");
    ::setenv("XDG_CONFIG_HOME", Saved.c_str(), 1);
    EXPECT_EQ(RegistryFileName(), Saved + "/Halvorn/registry.reg");
}

TEST_F(RegistryTest, EveryValueKindRoundTripsWithItsKindOnDisk) {
    {
        auto Reg = Open();
        Reg.WriteText("Settings", "Temperature", "13.0/12.0");
        Reg.WriteInt("Settings", "kIndex", 3);
        Reg.WriteInt("Settings", "Negative", -2);
        Reg.WriteReal("Settings", "Barometer", 101.325);
        Reg.WriteReal("Settings", "Tiny", 5e-324);
        Reg.WriteBool("DuctUForm", "Visible", true);
        Reg.WriteBool("DuctUForm", "Hidden", false);
        Reg.WriteText("Report", "Odd", "a \"quoted\" C:\\path\\ °C\ttab\r\nnext line");
    }
    auto Reg = Open();
    EXPECT_EQ(Reg.ReadText("Settings", "Temperature", ""), "13.0/12.0");
    EXPECT_EQ(Reg.ReadInt("Settings", "kIndex", 0), 3);
    EXPECT_EQ(Reg.ReadInt("Settings", "Negative", 0), -2);
    EXPECT_EQ(Reg.ReadReal("Settings", "Barometer", 0), 101.325);
    EXPECT_EQ(Reg.ReadReal("Settings", "Tiny", 0), 5e-324);
    EXPECT_TRUE(Reg.ReadBool("DuctUForm", "Visible", false));
    EXPECT_FALSE(Reg.ReadBool("DuctUForm", "Hidden", true));
    EXPECT_EQ(Reg.ReadText("Report", "Odd", ""), "a \"quoted\" C:\\path\\ °C\ttab\r\nnext line");

    const std::string Text = GetFile(File);
    EXPECT_EQ(Text.rfind("Windows Registry Editor Version 5.00\n", 0), 0u);
    for (const char* Line :
         {"[HKEY_CURRENT_USER\\Software\\Halvorn\\Oravent\\Settings]\n",
          "\"Temperature\"=\"13.0/12.0\"\n", "\"kIndex\"=dword:00000003\n",
          "\"Negative\"=dword:fffffffe\n", "\"Barometer\"=hex:cd,cc,cc,cc,cc,54,59,40\n",
          "\"Visible\"=\"1\"\n", "\"Hidden\"=\"0\"\n", "\"Odd\"=hex(1):"})
        EXPECT_NE(Text.find(Line), std::string::npos) << Line;
}

TEST_F(RegistryTest, NamesCompareWithoutCase) {
    auto Reg = Open();
    Reg.WriteInt("DuctUForm", "Left", 10);
    EXPECT_EQ(Reg.ReadInt("DUCTUFORM", "left", 0), 10);
    Reg.WriteInt("ductuform", "LEFT", 20); // same value, spelling kept
    EXPECT_EQ(Reg.ReadInt("DuctUForm", "Left", 0), 20);
    std::vector<std::string> Idents;
    Reg.ListSectionIdents("DuctUForm", Idents);
    EXPECT_EQ(Idents, std::vector<std::string>{"Left"});
    auto Upper = Open("SOFTWARE\\HALVORN\\ORAVENT\\");
    EXPECT_EQ(Upper.ReadInt("DuctUForm", "Left", 0), 20);
}

TEST_F(RegistryTest, MissingKeyOrValueGivesDefault) {
    auto Reg = Open();
    EXPECT_EQ(Reg.ReadText("Nowhere", "X", "dflt"), "dflt");
    EXPECT_EQ(Reg.ReadInt("Nowhere", "X", 7), 7);
    EXPECT_EQ(Reg.ReadReal("Nowhere", "X", 2.5), 2.5);
    EXPECT_TRUE(Reg.ReadBool("Nowhere", "X", true));
    EXPECT_FALSE(std::filesystem::exists(File)); // reads create nothing
}

struct TKindRow {
    const char* Name;
    const char* Stored; // value line as in the file
    enum { Text, Int, Real } Read;
    const char* Expect; // expected result as text, or "error" / "default"
};

TEST_F(RegistryTest, ReadsCheckTheValueKind) {
    const TKindRow Rows[] = {
        {"int_from_dword", "dword:0000002a", TKindRow::Int, "42"},
        {"int_from_text", "\"17\"", TKindRow::Int, "17"},
        {"int_from_hex_text", "\"0x1F\"", TKindRow::Int, "31"},
        {"int_from_bad_text", "\"abc\"", TKindRow::Int, "default"},
        {"int_from_binary", "hex:00,00,00,00,00,00,f0,3f", TKindRow::Int, "error"},
        {"real_from_binary", "hex:00,00,00,00,00,00,f0,3f", TKindRow::Real, "1"},
        {"real_from_dword", "dword:00000001", TKindRow::Real, "error"},
        {"real_from_text", "\"1.5\"", TKindRow::Real, "error"},
        {"real_from_short_binary", "hex:00,00,f0,3f", TKindRow::Real, "error"},
        {"text_from_text", "\"abc\"", TKindRow::Text, "abc"},
        {"text_from_expand", "hex(2):61,00,62,00,00,00", TKindRow::Text, "ab"},
        {"text_from_dword", "dword:00000001", TKindRow::Text, "error"},
        {"text_from_binary", "hex:01", TKindRow::Text, "error"},
        {"text_from_multi", "hex(7):61,00,00,00,00,00", TKindRow::Text, "error"},
    };
    std::string Content = "Windows Registry Editor Version 5.00\r\n\r\n"
                          "[HKEY_CURRENT_USER\\Software\\Halvorn\\Oravent\\Kinds]\r\n";
    for (const auto& R : Rows)
        Content += "\"" + std::string(R.Name) + "\"=" + R.Stored + "\r\n";
    PutFile(File, Content);
    auto Reg = Open();
    for (const auto& R : Rows) {
        std::string Got;
        try {
            switch (R.Read) {
            case TKindRow::Text:
                Got = Reg.ReadText("Kinds", R.Name, "default");
                break;
            case TKindRow::Int: {
                const int V = Reg.ReadInt("Kinds", R.Name, -777);
                Got = V == -777 ? "default" : std::to_string(V);
                break;
            }
            case TKindRow::Real: {
                const double V = Reg.ReadReal("Kinds", R.Name, -777);
                Got = V == -777 ? "default" : std::to_string(static_cast<int>(V));
                break;
            }
            }
        } catch (const ERegistryException& E) {
            EXPECT_EQ(std::string(E.what()), "Invalid data type for '" + std::string(R.Name) + "'");
            Got = "error";
        }
        EXPECT_EQ(Got, R.Expect) << R.Name;
    }
}

TEST_F(RegistryTest, IntegerOverExistingStringStaysText) {
    auto Reg = Open();
    Reg.WriteText("S", "Count", "5");
    Reg.WriteInt("S", "Count", 6);
    Reg.WriteReal("S", "Real", 1.0);
    Reg.WriteInt("S", "Real", 7); // over a binary value: a number
    EXPECT_NE(GetFile(File).find("\"Count\"=\"6\""), std::string::npos);
    EXPECT_NE(GetFile(File).find("\"Real\"=dword:00000007"), std::string::npos);
    EXPECT_EQ(Reg.ReadInt("S", "Count", 0), 6);
    EXPECT_THROW(Reg.ReadReal("S", "Real", 0), ERegistryException);
}

TEST_F(RegistryTest, NamesWithLineBreaksAreRefused) {
    auto Reg = Open();
    Reg.WriteInt("S", "Keep", 1);
    EXPECT_THROW(Reg.WriteInt("S]\n[HKEY_CURRENT_USER\\Evil", "K", 1), EIniFileException);
    EXPECT_THROW(Reg.WriteText("S", "a\r\nb", "x"), EIniFileException);
    EXPECT_THROW(Reg.WriteReal("S", std::string("a\0b", 3), 1.0), EIniFileException);
    std::vector<std::string> Sections;
    Reg.ListSections(Sections);
    EXPECT_EQ(Sections, std::vector<std::string>{"S"});
    EXPECT_EQ(Reg.ReadInt("S", "Keep", 0), 1);
}

TEST_F(RegistryTest, SectionsAreDirectSubkeys) {
    auto Reg = Open();
    Reg.WriteInt("DuctUForm", "Left", 1);
    Reg.WriteInt("Settings", "kIndex", 3);
    Reg.WriteInt("Deep\\Below", "X", 1);
    TRegistryIniFile("Software\\Halvorn\\Common\\", File).WriteInt("Barometer", "Units", 1);
    std::vector<std::string> Sections;
    Reg.ListSections(Sections);
    EXPECT_EQ(Sections, (std::vector<std::string>{"DuctUForm", "Settings", "Deep"}));
    Reg.EraseSection("settings");
    Reg.DeleteKey("DuctUForm", "LEFT");
    Reg.ListSections(Sections);
    EXPECT_EQ(Sections, (std::vector<std::string>{"DuctUForm", "Deep"}));
    EXPECT_EQ(Reg.ReadInt("DuctUForm", "Left", -1), -1);
}

// Exports from Windows: UTF-16LE with byte order mark and CR LF, hex values
// continued over lines; also the older ANSI "REGEDIT4" form.
class RegeditExportTest : public RegistryTest, public ::testing::WithParamInterface<const char*> {};

INSTANTIATE_TEST_SUITE_P(Files, RegeditExportTest,
                         ::testing::Values("regedit-export-utf16.reg", "regedit4-ansi.reg"),
                         [](const auto& Info) {
                             return std::string(Info.param).find("utf16") != std::string::npos
                                        ? "Utf16Bom"
                                        : "Regedit4Ansi";
                         });

TEST_P(RegeditExportTest, LoadsAsItIsAndKeepsWhatItDoesNotUse) {
    PutFile(File, GetFile(std::string(ORAVENT_TEST_DATA_DIR) + "/common/" + GetParam()));
    auto Reg = Open();
    EXPECT_EQ(Reg.ReadInt("DuctUForm", "Left", 0), 100);
    EXPECT_EQ(Reg.ReadInt("DuctUForm", "WinState", 0), 2);
    EXPECT_TRUE(Reg.ReadBool("DuctUForm", "Visible", false));
    EXPECT_EQ(Reg.ReadReal("Settings", "Barometer", 0), 101.325);
    EXPECT_EQ(Reg.ReadReal("Settings", "kSmooth", 0), 0.00003);
    EXPECT_EQ(Reg.ReadText("Settings", "Temperature", ""), "13.0/12.0");
    EXPECT_EQ(Reg.ReadText("ReportForm", "Path", ""), "C:\\Program Files\\Halvorn\\Oravent\\");
    EXPECT_EQ(Reg.ReadText("ReportForm", "Quote", ""), "say \"hi\"");
    EXPECT_EQ(Reg.ReadText("ReportForm", "Unit", ""), "°C µm²");
    EXPECT_EQ(Reg.ReadText("ReportForm", "", ""), "default text");
    EXPECT_EQ(Reg.ReadText("ReportForm", "Expand", ""), "%TEMP%\\Oravent");
    EXPECT_EQ(
        TRegistryIniFile("Software\\Halvorn\\Common\\", File).ReadReal("Barometer", "Altitude", 0),
        1000.0);
    std::vector<std::string> Sections;
    Reg.ListSections(Sections);
    EXPECT_EQ(Sections, (std::vector<std::string>{"DuctUForm", "ReportForm", "Settings"}));

    // A write keeps every value, also the kinds this program never uses.
    Reg.WriteInt("Settings", "kIndex", 4);
    const TRegFile After = TRegFile::Parse(GetFile(File));
    const TRegFile Before =
        TRegFile::Parse(GetFile(std::string(ORAVENT_TEST_DATA_DIR) + "/common/" + GetParam()));
    ASSERT_EQ(After.Keys().size(), Before.Keys().size());
    for (std::size_t K = 0; K < Before.Keys().size(); ++K) {
        const auto& A = After.Keys()[K];
        const auto& B = Before.Keys()[K];
        EXPECT_EQ(A.Path(), B.Path());
        ASSERT_EQ(A.Values().size(), B.Values().size()) << B.Path();
        for (std::size_t V = 0; V < B.Values().size(); ++V) {
            EXPECT_EQ(A.Values()[V].Name, B.Values()[V].Name);
            EXPECT_EQ(A.Values()[V].Kind, B.Values()[V].Kind);
            if (B.Values()[V].Name != "kIndex") {
                EXPECT_EQ(A.Values()[V].Data, B.Values()[V].Data) << B.Values()[V].Name;
            }
        }
    }
    EXPECT_EQ(Reg.ReadInt("Settings", "kIndex", 0), 4);
}

TEST(RegFileTest, MalformedLinesAreSkipped) {
    const TRegFile F = TRegFile::Parse("REGEDIT4\n"
                                       "\"Orphan\"=\"no key yet\"\n"
                                       "[HKEY_CURRENT_USER\\K]\n"
                                       "\"Good\"=\"1\"\n"
                                       "\"Unclosed=\"1\"\n"
                                       "\"BadDword\"=dword:123456789\n"
                                       "\"BadHex\"=hex:zz\n"
                                       "\"Trail\"=\"x\" junk\n"
                                       "no quotes=1\n"
                                       "[broken\n"
                                       "\"AfterBroken\"=\"x\"\n"
                                       "[HKEY_CURRENT_USER\\K]\n"
                                       "\"Second\"=dword:2\n"
                                       "\"Good\"=-\n");
    ASSERT_EQ(F.Keys().size(), 1u);
    ASSERT_EQ(F.Keys()[0].Values().size(), 1u);
    EXPECT_EQ(F.Keys()[0].Values()[0].Name, "Second");
}

TEST(RegFileTest, DeletedKeysAndContinuations) {
    const TRegFile F = TRegFile::Parse("Windows Registry Editor Version 5.00\r\n"
                                       "[HKEY_CURRENT_USER\\A]\r\n\"x\"=\"1\"\r\n"
                                       "[HKEY_CURRENT_USER\\A\\B]\r\n\"y\"=\"1\"\r\n"
                                       "[HKEY_CURRENT_USER\\C]\r\n"
                                       "\"h\"=hex:01,02,\\\r\n  03,\\\r\n  04\r\n"
                                       "\"s\"=\"ends with backslash\\\\\"\r\n"
                                       "[-HKEY_CURRENT_USER\\A]\r\n");
    ASSERT_EQ(F.Keys().size(), 1u);
    ASSERT_EQ(F.Keys()[0].Values().size(), 2u);
    EXPECT_EQ(F.Keys()[0].Values()[0].Data, std::string("\x01\x02\x03\x04"));
    EXPECT_EQ(F.Keys()[0].Values()[1].Data, "ends with backslash\\");
}

// A key whose name only starts with "-" once a leading backslash and the
// control characters behind it are gone is a key to skip, never one that
// writes out as the deletion "[-...]"; written and read again it is the same.
TEST(RegFileTest, KeyPathsNormaliseToThemselves) {
    const std::string Text = std::string("[\\\0\0-HKEY_CURRENT_USER\\Old]\n\"a\"=\"1\"\n", 36) +
                             "[\\ \\HKEY_CURRENT_USER\\B\\ ]\n\"b\"=\"2\"\n";
    const TRegFile F = TRegFile::Parse(Text);
    ASSERT_EQ(F.Keys().size(), 1u);
    EXPECT_EQ(F.Keys()[0].Path(), "HKEY_CURRENT_USER\\B");
    const TRegFile Again = TRegFile::Parse(F.Serialize());
    ASSERT_EQ(Again.Keys().size(), 1u);
    EXPECT_EQ(Again.Keys()[0].Path(), F.Keys()[0].Path());
    EXPECT_EQ(Again.Serialize(), F.Serialize());
}

// A file whose folder cannot be created: the config "folder" is a regular
// file (permission bits do not stop root, this does).
TEST_F(RegistryTest, RefusedWriteRaisesUnableToWrite) {
    PutFile(Dir / "blocker", "x");
    const std::string Target = Dir / "blocker/Halvorn/registry.reg";
    TRegistryIniFile Reg("Software\\Halvorn\\Oravent", Target);
    try {
        Reg.WriteInt("S", "K", 1);
        ADD_FAILURE() << "no error";
    } catch (const EIniFileException& E) {
        EXPECT_EQ(std::string(E.what()), "Unable to write to " + Target);
    }
    EXPECT_EQ(Reg.ReadInt("S", "K", -1), -1);
}

// Two programs saving at once: each re-reads under the lock, so no value of
// either is lost, and the file stays well formed.
TEST_F(RegistryTest, TwoWritersAtOnceLoseNothing) {
    constexpr int kValues = 40;
    pid_t Children[2];
    for (int C = 0; C < 2; ++C) {
        Children[C] = ::fork();
        ASSERT_GE(Children[C], 0);
        if (Children[C] == 0) {
            auto Reg = Open();
            for (int I = 0; I < kValues; ++I) {
                Reg.WriteInt("Writer" + std::to_string(C), "V" + std::to_string(I), I);
                Reg.WriteInt("Shared", "Last", C * 1000 + I);
            }
            ::_exit(0);
        }
    }
    for (pid_t Child : Children) {
        int Status = 0;
        ::waitpid(Child, &Status, 0);
        EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
    }
    auto Reg = Open();
    for (int C = 0; C < 2; ++C)
        for (int I = 0; I < kValues; ++I)
            EXPECT_EQ(Reg.ReadInt("Writer" + std::to_string(C), "V" + std::to_string(I), -1), I);
    const int Last = Reg.ReadInt("Shared", "Last", -1);
    EXPECT_TRUE(Last == kValues - 1 || Last == 1000 + kValues - 1) << Last;
}

TEST_F(RegistryTest, LaterWriterOfTheSameValueWins) {
    auto First = Open();
    auto Second = Open();
    First.WriteInt("S", "X", 1);
    Second.WriteInt("S", "Y", 5);
    Second.WriteInt("S", "X", 2);
    EXPECT_EQ(First.ReadInt("S", "X", 0), 2); // reads see the other store's save
    First.WriteInt("S", "Z", 3);              // and a save keeps what the other wrote
    EXPECT_EQ(Second.ReadInt("S", "X", 0), 2);
    EXPECT_EQ(Second.ReadInt("S", "Y", 0), 5);
    EXPECT_EQ(Second.ReadInt("S", "Z", 0), 3);
}

TEST_F(RegistryTest, BatchSavesOnceAndMerges) {
    auto Other = Open();
    auto Reg = Open();
    Reg.BeginUpdate();
    Reg.WriteInt("Settings", "kIndex", 2);
    Reg.WriteReal("Settings", "PRate", 1.5);
    EXPECT_EQ(Reg.ReadInt("Settings", "kIndex", 0), 2); // seen before the save
    EXPECT_FALSE(std::filesystem::exists(File));
    Other.WriteInt("Settings", "GridCol0", 113); // another program saves meanwhile
    EXPECT_EQ(Reg.ReadReal("Settings", "PRate", 0), 1.5);
    Reg.EndUpdate();
    auto Check = Open();
    EXPECT_EQ(Check.ReadInt("Settings", "kIndex", 0), 2);
    EXPECT_EQ(Check.ReadReal("Settings", "PRate", 0), 1.5);
    EXPECT_EQ(Check.ReadInt("Settings", "GridCol0", 0), 113);

    PutFile(Dir / "blocker", "x");
    TRegistryIniFile Refused("Software\\Halvorn\\Oravent", Dir / "blocker/registry.reg");
    Refused.BeginUpdate();
    Refused.WriteInt("S", "K", 1);
    EXPECT_THROW(Refused.EndUpdate(), EIniFileException);
    EXPECT_EQ(Refused.ReadInt("S", "K", -1), -1);
}

TEST(RegistryKillTest, KilledWriterLeavesOldOrNewFile) {
    TTempDir Dir;
    const std::string File = Dir / "registry.reg";
    auto Open = [&] { return TRegistryIniFile("Software\\Halvorn\\Oravent", File); };
    {
        auto Reg = Open();
        Reg.BeginUpdate();
        for (int I = 0; I < 300; ++I)
            Reg.WriteText("Padding", "P" + std::to_string(I), "x");
        Reg.EndUpdate();
    }
    std::mt19937 Rng(777);
    int MidSave = 0; // rounds that killed the writer with its temporary file open
    constexpr int kRounds = 30;
    for (int Round = 0; Round < kRounds; ++Round) {
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            auto Reg = Open();
            for (int I = 0;; ++I)
                Reg.WriteInt("Counter", "N", I);
        }
        test::KillWriter(Child, Dir.Path(), Round, Rng);
        if (test::HasTemporary(Dir.Path())) ++MidSave;
        if (Round + 1 < kRounds) test::RemoveTemporaries(Dir.Path()); // next round starts clean
        const TRegFile F = TRegFile::Parse(GetFile(File));
        const TRegKey* Padding =
            F.FindKey("HKEY_CURRENT_USER\\Software\\Halvorn\\Oravent\\Padding");
        ASSERT_NE(Padding, nullptr) << "round " << Round;
        ASSERT_EQ(Padding->Values().size(), 300u) << "round " << Round;
        const std::string After = GetFile(File);
        ASSERT_EQ(After.substr(After.size() - 2), "\n\n") << "truncated, round " << Round;
    }
    EXPECT_GT(MidSave, 0);
    std::printf("killed %d times mid-save\n", MidSave);
}

} // namespace
} // namespace oravent
