// INI file store: typed reading rules, both stores, line-preserving writes,
// refused writes and a writer killed half way.
#include "common/TxIniFiles.h"

#include <cstdio>
#include <memory>
#include <random>

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"

namespace oravent {
namespace {

using test::GetFile;
using test::PutFile;
using test::TTempDir;

enum class TStoreKind { Direct, Memory };

std::unique_ptr<TCustomIniFile> OpenStore(TStoreKind Kind, const std::string& FileName) {
    if (Kind == TStoreKind::Direct) return std::make_unique<TIniFile>(FileName);
    return std::make_unique<TMemIniFile>(FileName);
}

class IniStoreTest : public ::testing::TestWithParam<TStoreKind> {
protected:
    TTempDir Dir;
    std::string File = Dir / "Oravent.ini";
    std::unique_ptr<TCustomIniFile> Open(std::string_view Bytes) {
        PutFile(File, Bytes);
        return OpenStore(GetParam(), File);
    }
};

INSTANTIATE_TEST_SUITE_P(Stores, IniStoreTest,
                         ::testing::Values(TStoreKind::Direct, TStoreKind::Memory),
                         [](const auto& Info) {
                             return Info.param == TStoreKind::Direct ? "TIniFile" : "TMemIniFile";
                         });

struct TIntRow {
    const char* Name;
    const char* Text;
    int Expected; // -777 stands for "the default"
};

TEST_P(IniStoreTest, ReadIntRules) {
    const TIntRow Rows[] = {
        {"hex_0x", "0x1F", 31},
        {"hex_0X_upper", "0X10", 16},
        {"hex_dollar", "$10", 16},
        {"trailing_letters", "12abc", -777},
        {"empty", "", -777},
        {"negative", "-5", -5},
        {"plus_sign", "+7", 7},
        {"only_0x", "0x", -777},
        {"dollar_only", "$", -777},
        {"hex_bad_digit", "0x1G", -777},
        {"hex_full_32_bits", "$FFFFFFFF", -1},
        {"hex_too_wide", "0x100000000", -777},
        {"int_max", "2147483647", 2147483647},
        {"int_min", "-2147483648", -2147483647 - 1},
        {"above_int_max", "2147483648", -777},
        {"decimal_point", "1.5", -777},
        {"inner_blank", "1 2", -777},
        {"sign_only", "-", -777},
        {"padded", "   42   ", 42},
    };
    std::string Text = "[S]\r\n";
    for (const auto& R : Rows)
        Text += std::string(R.Name) + "=" + R.Text + "\r\n";
    auto Ini = Open(Text);
    for (const auto& R : Rows)
        EXPECT_EQ(Ini->ReadInt("S", R.Name, -777), R.Expected) << R.Name << " = " << R.Text;
    EXPECT_EQ(Ini->ReadInt("S", "missing", 5), 5);
    EXPECT_EQ(Ini->ReadInt("NoSection", "hex_0x", 5), 5);
}

TEST_P(IniStoreTest, ReadRealRules) {
    const struct {
        const char* Name;
        const char* Text;
        double Expected; // -777 stands for "the default"
    } Rows[] = {
        {"comma_is_not_decimal", "1,5", -777},
        {"exponent", "1.5E3", 1500},
        {"lower_exponent", "2.5e-3", 0.0025},
        {"negative", "-0.25", -0.25},
        {"integer", "12", 12},
        {"empty", "", -777},
        {"letters", "abc", -777},
        {"overflow", "1E999", -777},
        {"half_exponent", "1E", -777},
    };
    std::string Text = "[S]\n";
    for (const auto& R : Rows)
        Text += std::string(R.Name) + " = " + R.Text + "\n";
    auto Ini = Open(Text);
    for (const auto& R : Rows)
        EXPECT_DOUBLE_EQ(Ini->ReadReal("S", R.Name, -777), R.Expected) << R.Name;
}

TEST_P(IniStoreTest, NamesCompareWithoutCase) {
    auto Ini = Open("[settings]\r\nprate=2.5\r\n[\xDC"
                    "ber]\r\n\xC4"
                    "nderung=ja\r\n");
    EXPECT_DOUBLE_EQ(Ini->ReadReal("Settings", "PRate", 1.0), 2.5);
    EXPECT_DOUBLE_EQ(Ini->ReadReal("SETTINGS", "PRATE", 1.0), 2.5);
    EXPECT_EQ(Ini->ReadText("über", "ÄNDERUNG", "nein"), "ja"); // Windows-1252 letters too
}

TEST_P(IniStoreTest, BlanksAroundIdentAndValueAreIgnored) {
    auto Ini = Open("[Settings]\r\n  Ident  =  some value  \r\n\tTab\t=\tx = y\t\r\n");
    EXPECT_EQ(Ini->ReadText("Settings", "Ident", "d"), "some value");
    EXPECT_EQ(Ini->ReadText("Settings", "Tab", "d"), "x = y"); // first "=" splits
}

TEST_P(IniStoreTest, CommentsAndLinesBeforeFirstSectionCarryNoData) {
    auto Ini = Open("Orphan=1\r\n; top comment\r\n[A]\r\n; Hidden=2\r\nKey=3\r\n   ;x=4\r\n"
                    "NoEquals\r\n\r\n[B]\r\nOther=5\r\n");
    std::vector<std::string> Idents;
    Ini->ListSectionIdents("A", Idents);
    EXPECT_EQ(Idents, std::vector<std::string>{"Key"});
    EXPECT_EQ(Ini->ReadText("A", "Hidden", "d"), "d");
    EXPECT_EQ(Ini->ReadText("A", "Orphan", "d"), "d");
    Ini->ListSectionIdents("Missing", Idents);
    EXPECT_TRUE(Idents.empty());
}

TEST_P(IniStoreTest, DuplicateSectionsAndIdentsFindTheFirst) {
    auto Ini = Open("[S]\nK=first\nK=second\n[T]\nX=1\n[s]\nK=third\nOnlyHere=4\n");
    EXPECT_EQ(Ini->ReadText("S", "K", "d"), "first");
    EXPECT_EQ(Ini->ReadText("S", "OnlyHere", "d"), "d");
    std::vector<std::string> Sections;
    Ini->ListSections(Sections);
    EXPECT_EQ(Sections, (std::vector<std::string>{"S", "T", "s"}));
}

TEST_P(IniStoreTest, MissingFileReadsDefaults) {
    auto Ini = OpenStore(GetParam(), Dir / "none.ini");
    EXPECT_EQ(Ini->ReadText("S", "K", "def"), "def");
    EXPECT_EQ(Ini->ReadInt("S", "K", 9), 9);
    std::vector<std::string> Sections{"stale"};
    Ini->ListSections(Sections);
    EXPECT_TRUE(Sections.empty());
}

TEST_P(IniStoreTest, Windows1252OnDiskUtf8Inside) {
    auto Ini = Open("[Units]\r\nTemp=\xB0"
                    "C\r\nArea=m\xB2\r\nEuro=\x80\r\n");
    EXPECT_EQ(Ini->ReadText("Units", "Temp", ""), "°C");
    EXPECT_EQ(Ini->ReadText("Units", "Area", ""), "m²");
    EXPECT_EQ(Ini->ReadText("Units", "Euro", ""), "€");
}

TEST_P(IniStoreTest, Utf8FileWithByteOrderMark) {
    auto Ini = Open("\xEF\xBB\xBF[Units]\nTemp=°C\n");
    EXPECT_EQ(Ini->ReadText("Units", "Temp", ""), "°C");
}

// Both stores read a blank header ("[]", "[ ]") and a blank ident alike: out
// of reach, as for writing.
TEST_P(IniStoreTest, BlankSectionOrIdentGivesDefault) {
    auto Ini = Open("[]\r\nKey=x\r\n[ ]\r\nOther=y\r\n[S]\r\n=v\r\nK=1\r\n");
    EXPECT_EQ(Ini->ReadText("   ", "Key", "def"), "def");
    EXPECT_EQ(Ini->ReadText(" ", "Other", "def"), "def");
    EXPECT_EQ(Ini->ReadText("S", " \t", "def"), "def");
    EXPECT_EQ(Ini->ReadText("", "", "def"), "def");
    std::vector<std::string> List;
    Ini->ListSectionIdents(" ", List);
    EXPECT_TRUE(List.empty());
    Ini->ListSectionIdents("S", List);
    EXPECT_EQ(List, std::vector<std::string>{"K"});
    Ini->ListSections(List);
    EXPECT_EQ(List, (std::vector<std::string>{"", "", "S"}));
    EXPECT_FALSE(Ini->SectionExists(" "));
    EXPECT_FALSE(Ini->ValueExists(" ", "Key"));
    EXPECT_FALSE(Ini->ValueExists("S", ""));
    Ini->EraseSection(" ");
    Ini->DeleteKey("S", " ");
    Ini->ListSections(List);
    EXPECT_EQ(List.size(), 3u);
    EXPECT_EQ(Ini->ReadText("S", "K", ""), "1");
}

TEST(TMemIniFileTest, StoresTrimmedLines) {
    TMemIniFile Ini("");
    Ini.SetFileText("[S]\r\n  Ident  =  some value  \r\n");
    EXPECT_EQ(Ini.ReadText("S", "Ident", ""), "some value");
    EXPECT_EQ(Ini.ReadText("S", "  Ident ", ""), "some value");
}

TEST(TIniFileTest, EveryValueKindRoundTrips) {
    TTempDir Dir;
    TIniFile Ini(Dir / "rt.ini");
    Ini.WriteText("S", "Text", "13.0/12.0 °C");
    Ini.WriteInt("S", "Int", -2147483647 - 1);
    Ini.WriteInt("S", "Pos", 123456);
    Ini.WriteBool("S", "True", true);
    Ini.WriteBool("S", "False", false);
    const double Reals[] = {0.1, -1.0 / 3.0, 101.325, 6.02214076e23, 1e-300, 0.0, 5e-324};
    for (std::size_t I = 0; I < std::size(Reals); ++I)
        Ini.WriteReal("S", "R" + std::to_string(I), Reals[I]);
    for (TCustomIniFile* Store :
         {static_cast<TCustomIniFile*>(&Ini),
          static_cast<TCustomIniFile*>(std::make_unique<TMemIniFile>(Dir / "rt.ini").release())}) {
        EXPECT_EQ(Store->ReadText("S", "Text", ""), "13.0/12.0 °C");
        EXPECT_EQ(Store->ReadInt("S", "Int", 0), -2147483647 - 1);
        EXPECT_EQ(Store->ReadInt("S", "Pos", 0), 123456);
        EXPECT_TRUE(Store->ReadBool("S", "True", false));
        EXPECT_FALSE(Store->ReadBool("S", "False", true));
        for (std::size_t I = 0; I < std::size(Reals); ++I)
            EXPECT_EQ(Store->ReadReal("S", "R" + std::to_string(I), -1), Reals[I]) << I;
        if (Store != &Ini) delete Store;
    }
    // Texts are Windows-1252 on disk.
    EXPECT_NE(GetFile(Dir / "rt.ini")
                  .find("Text=13.0/12.0 \xB0"
                        "C\r\n"),
              std::string::npos);
}

TEST(TMemIniFileTest, EveryValueKindRoundTripsThroughUpdateFile) {
    TTempDir Dir;
    {
        TMemIniFile Ini(Dir / "m.ini");
        Ini.WriteText("S", "Text", "a = b");
        Ini.WriteInt("S", "Int", 31);
        Ini.WriteReal("S", "Real", 0.1);
        Ini.WriteBool("T", "Bool", true);
        EXPECT_EQ(Ini.ReadText("S", "Text", ""), "a = b");
        Ini.UpdateFile();
    }
    TMemIniFile Ini(Dir / "m.ini");
    EXPECT_EQ(Ini.ReadText("S", "Text", ""), "a = b");
    EXPECT_EQ(Ini.ReadInt("S", "Int", 0), 31);
    EXPECT_EQ(Ini.ReadReal("S", "Real", 0), 0.1);
    EXPECT_TRUE(Ini.ReadBool("T", "Bool", false));
}

// Writes into a file with comments, odd spacing and duplicate sections keep
// every other line byte for byte, in both line-ending styles.
TEST(TIniFileTest, UntouchedLinesKeepTheirBytes) {
    for (const std::string Eol : {"\r\n", "\n"}) {
        auto L = [&](std::string_view Line) { return std::string(Line) + Eol; };
        const std::string Head = L("; Oravent calculation") + L("stray = before sections") + L("");
        const std::string Original = Head + L("  [ Settings ]  ") + L("Barometer   =   101.325  ") +
                                     L("; keep me") + L("\tkIndex=3") + L("") + L("[Settings]") +
                                     L("Volume=7") + L("[Other]") + L("a=b");
        TTempDir Dir;
        PutFile(Dir / "o.ini", Original);
        TIniFile Ini(Dir / "o.ini");

        Ini.WriteText("settings", "BAROMETER", "95.000");
        std::string Expected = Head + L("  [ Settings ]  ") + L("Barometer   =   95.000") +
                               L("; keep me") + L("\tkIndex=3") + L("") + L("[Settings]") +
                               L("Volume=7") + L("[Other]") + L("a=b");
        EXPECT_EQ(GetFile(Dir / "o.ini"), Expected) << "replace, eol " << Eol.size();

        // New key: after the section's last line that is not empty; the
        // comment stays where it was. The duplicate section is not touched.
        Ini.WriteText("Settings", "PRate", "1.000");
        Expected = Head + L("  [ Settings ]  ") + L("Barometer   =   95.000") + L("; keep me") +
                   L("\tkIndex=3") + L("PRate=1.000") + L("") + L("[Settings]") + L("Volume=7") +
                   L("[Other]") + L("a=b");
        EXPECT_EQ(GetFile(Dir / "o.ini"), Expected) << "new key, eol " << Eol.size();

        Ini.WriteText("New", "K", "v");
        Expected += L("[New]") + L("K=v");
        EXPECT_EQ(GetFile(Dir / "o.ini"), Expected) << "new section, eol " << Eol.size();
        EXPECT_EQ(Ini.ReadText("Settings", "Volume", "none"), "none"); // duplicate unseen
    }
}

TEST(TIniFileTest, LastLineWithoutBreakAndNewFile) {
    TTempDir Dir;
    PutFile(Dir / "a.ini", "[S]\nA=1");
    TIniFile A(Dir / "a.ini");
    A.WriteText("S", "B", "2");
    EXPECT_EQ(GetFile(Dir / "a.ini"), "[S]\nA=1\nB=2\n");
    A.WriteText("T", "C", "3");
    EXPECT_EQ(GetFile(Dir / "a.ini"), "[S]\nA=1\nB=2\n[T]\nC=3\n");

    TIniFile Fresh(Dir / "fresh.ini");
    Fresh.WriteText("Settings", "kIndex", "3");
    EXPECT_EQ(GetFile(Dir / "fresh.ini"), "[Settings]\r\nkIndex=3\r\n");
}

TEST(TIniFileTest, ReadsSeeEveryEarlierWriteAndOutsideChanges) {
    TTempDir Dir;
    TIniFile Ini(Dir / "a.ini");
    for (int I = 0; I < 20; ++I) {
        Ini.WriteInt("S", "K", I);
        ASSERT_EQ(Ini.ReadInt("S", "K", -1), I);
    }
    PutFile(Dir / "a.ini", "[S]\nK=99\n"); // another program rewrites the file
    EXPECT_EQ(Ini.ReadInt("S", "K", -1), 99);
}

TEST(TIniFileTest, DeleteKeyAndEraseSection) {
    TTempDir Dir;
    PutFile(Dir / "a.ini", "[A]\nx=1\ny=2\n[B]\nz=3\n[a]\nw=4\n");
    TIniFile Ini(Dir / "a.ini");
    Ini.DeleteKey("A", "X");
    EXPECT_EQ(GetFile(Dir / "a.ini"), "[A]\ny=2\n[B]\nz=3\n[a]\nw=4\n");
    Ini.EraseSection("a");
    EXPECT_EQ(GetFile(Dir / "a.ini"), "[B]\nz=3\n");
    EXPECT_FALSE(Ini.SectionExists("A"));
    EXPECT_TRUE(Ini.ValueExists("b", "Z"));
}

TEST(TIniFileTest, TextThatWouldBreakTheLayoutIsRefused) {
    TTempDir Dir;
    PutFile(Dir / "a.ini", "[S]\nK=1\n");
    TIniFile Ini(Dir / "a.ini");
    EXPECT_THROW(Ini.WriteText("S", "K", "1\r\n[Evil]\r\nX=1"), EIniFileException);
    EXPECT_THROW(Ini.WriteText("S", "A=B", "1"), EIniFileException);
    EXPECT_THROW(Ini.WriteText("S", ";K", "1"), EIniFileException);
    EXPECT_THROW(Ini.WriteText(" ", "K", "1"), EIniFileException);
    EXPECT_EQ(GetFile(Dir / "a.ini"), "[S]\nK=1\n");
}

// Running as root, permission bits do not stop a write; a folder that cannot
// hold files does: the parent "folder" is a regular file, or /proc.
TEST(TIniFileTest, RefusedWriteRaisesUnableToWrite) {
    TTempDir Dir;
    PutFile(Dir / "plain", "x");
    const std::string Targets[] = {Dir / "plain/Oravent.ini", "/proc/version",
                                   Dir / "missing/Oravent.ini"};
    for (const auto& Target : Targets) {
        TIniFile Ini(Target);
        try {
            Ini.WriteText("Settings", "Volume", "5.000");
            ADD_FAILURE() << "no error for " << Target;
        } catch (const EIniFileException& E) {
            EXPECT_EQ(std::string(E.what()), "Unable to write to " + Target);
        }
    }
    // A directory where the file should be.
    std::filesystem::create_directory(Dir / "dir.ini");
    TIniFile Ini(Dir / "dir.ini");
    EXPECT_THROW(Ini.WriteInt("S", "K", 1), EIniFileException);
    EXPECT_EQ(GetFile(Dir / "plain"), "x");
}

// A user who write-protects a file keeps it: the save is refused like any
// other, although the folder would let a new file replace it.
TEST_P(IniStoreTest, ReadOnlyFileRefusesWrite) {
    auto Ini = Open("[S]\nK=1\n");
    ::chmod(File.c_str(), 0444);
    const auto Result = test::RunAsNobody(Dir.Path(), [&]() -> std::string {
        try {
            Ini->WriteText("S", "K", "2");
            if (GetParam() == TStoreKind::Memory) static_cast<TMemIniFile&>(*Ini).UpdateFile();
        } catch (const EIniFileException& E) {
            return E.what() == "Unable to write to " + File ? "" : E.what();
        }
        return "no error";
    });
    if (!Result) GTEST_SKIP() << "cannot run as an ordinary user";
    EXPECT_EQ(*Result, "");
    EXPECT_EQ(GetFile(File), "[S]\nK=1\n");
    EXPECT_FALSE(test::HasTemporary(Dir.Path()));
}

TEST(TIniFileTest, WriteKeepsPermissionsAndFollowsSymlink) {
    TTempDir Dir;
    PutFile(Dir / "real.ini", "[S]\nK=1\n");
    ::chmod((Dir / "real.ini").c_str(), 0640);
    std::filesystem::create_symlink(Dir / "real.ini", Dir / "link.ini");
    TIniFile Ini(Dir / "link.ini");
    Ini.WriteInt("S", "K", 2);
    EXPECT_TRUE(std::filesystem::is_symlink(Dir / "link.ini"));
    EXPECT_EQ(GetFile(Dir / "real.ini"), "[S]\nK=2\n");
    EXPECT_EQ(std::filesystem::status(Dir / "real.ini").permissions() & std::filesystem::perms::all,
              std::filesystem::perms(0640));
}

// A writer killed at a random moment leaves the old or the new complete
// file, never a mixture; left-over temporary files are cleaned up.
TEST(TIniFileTest, KilledWriterLeavesOldOrNewFile) {
    TTempDir Dir;
    const std::string File = Dir / "big.ini";
    std::string Filler;
    for (int I = 0; I < 20000; ++I)
        Filler += "; padding line " + std::to_string(I) + "\r\n";
    const std::string A = "[Settings]\r\nValue=aaaa\r\n" + Filler;
    const std::string B = "[Settings]\r\nValue=bbbb\r\n" + Filler;
    PutFile(File, A);
    std::mt19937 Rng(12345);
    int Mixed = 0, SawA = 0, SawB = 0;
    int MidSave = 0; // rounds that killed the writer with its temporary file open
    constexpr int kRounds = 40;
    for (int Round = 0; Round < kRounds; ++Round) {
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            TIniFile Ini(File);
            for (int I = 0;; ++I)
                Ini.WriteText("Settings", "Value", I % 2 ? "aaaa" : "bbbb");
        }
        test::KillWriter(Child, Dir.Path(), Round, Rng);
        if (test::HasTemporary(Dir.Path())) ++MidSave;
        if (Round + 1 < kRounds) test::RemoveTemporaries(Dir.Path()); // next round starts clean
        const std::string Now = GetFile(File);
        if (Now == A)
            ++SawA;
        else if (Now == B)
            ++SawB;
        else
            ++Mixed;
    }
    EXPECT_EQ(Mixed, 0);
    EXPECT_GT(MidSave, 0);
    std::printf("killed %d times mid-save; old %d, new %d\n", MidSave, SawA, SawB);
    // The next write removes the temporaries of the killed writers.
    TIniFile(File).WriteText("Settings", "Value", "cccc");
    int Left = 0;
    for (const auto& Entry : std::filesystem::directory_iterator(Dir.Path()))
        if (Entry.path().filename() != "big.ini") ++Left;
    EXPECT_EQ(Left, 0);
}

} // namespace
} // namespace oravent
