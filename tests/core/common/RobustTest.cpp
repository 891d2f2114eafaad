// Robustness: random and mutated INI files, registry exports and program
// files are read without a crash, a hang or an unexpected error; reads give
// their documented defaults, and files written back read the same again.
#include <chrono>
#include <random>

#include <gtest/gtest.h>

#include "ElfTestFile.h"
#include "TestFiles.h"
#include "common/RegFile.h"
#include "common/TextCodec.h"
#include "common/TxIniFiles.h"
#include "common/TxRegistry.h"
#include "common/TxVerInfo.h"
#include "common/VersionRecord.h"

namespace oravent {
namespace {

using test::PutFile;
using test::TTempDir;

const char* const kIniSeeds[] = {
    "[Settings]\r\nBarometer=101.325\r\nTemperature=19.5/13.4\r\nkIndex=3\r\nPRate=1.000\r\n",
    "; comment\n[A]\n  key = value \n[B]\nx=0x1F\ny=$10\n[a]\nkey=dup\n",
    "\xEF\xBB\xBF[Units]\nTemp=°C\n\n[Empty]\n",
    "orphan=1\n[S]\n=noident\nnovalue=\n[]\nk=v\n[ spaced ]\n\tTab\t=\t1.5E3\t\n",
    "[R]\r\nA=1,5\r\nB=12abc\r\nC=-2147483648\r\nD=99999999999\r\n",
};

const char* const kRegSeeds[] = {
    "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Halvorn\\Oravent\\"
    "Settings]\r\n\"Barometer\"=hex:cd,cc,cc,cc,cc,54,59,40\r\n\"kIndex\"=dword:00000003\r\n"
    "\"Temperature\"=\"13.0/12.0\"\r\n\"Path\"=\"C:\\\\x\\\\\"\r\n@=\"d\"\r\n",
    "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Halvorn\\Common\\Barometer]\n\"Blob\"=hex:00,01,\\\n"
    "  02,03\n\"M\"=hex(7):61,00,00,00,00,00\n\"E\"=hex(2):61,00,00,00\n[-HKEY_CURRENT_USER\\X]\n"
    "\"Del\"=-\n",
};

// Bytes that matter to the parsers, used for insertions.
constexpr char kSpecial[] = "[]=;\"\\@:,-\r\n \t\x00\xff\xfe\xef\xbb\xbf"
                            "0x$hexdword(7)";

std::string Mutate(std::string Text, std::mt19937& Rng) {
    std::uniform_int_distribution<int> Kind(0, 6);
    const int Steps = std::uniform_int_distribution<int>(1, 8)(Rng);
    for (int S = 0; S < Steps; ++S) {
        auto Pos = [&] { return std::uniform_int_distribution<std::size_t>(0, Text.size())(Rng); };
        switch (Kind(Rng)) {
        case 0: // flip a byte
            if (!Text.empty()) Text[Pos() % Text.size()] ^= static_cast<char>(1 << (Rng() % 8));
            break;
        case 1: // insert a special byte
            Text.insert(Pos(), 1, kSpecial[Rng() % (sizeof kSpecial - 1)]);
            break;
        case 2: // delete a run
            if (!Text.empty()) {
                const auto P = Pos() % Text.size();
                Text.erase(P, Rng() % 16);
            }
            break;
        case 3: // truncate
            Text.resize(Pos());
            break;
        case 4: { // duplicate a run
            const auto P = Pos();
            Text.insert(Pos(), Text.substr(P, Rng() % 64));
            break;
        }
        case 5: // random byte
            Text.insert(Pos(), 1, static_cast<char>(Rng()));
            break;
        default: // a new line of special bytes
            Text.insert(Pos(), "\n" + std::string(1, kSpecial[Rng() % (sizeof kSpecial - 1)]) +
                                   "x=" + std::string(1, static_cast<char>(Rng())) + "\n");
        }
    }
    return Text;
}

std::string RandomBytes(std::mt19937& Rng, std::size_t MaxSize) {
    std::string Text(std::uniform_int_distribution<std::size_t>(0, MaxSize)(Rng), '\0');
    for (auto& C : Text)
        C = Rng() % 3 == 0 ? kSpecial[Rng() % (sizeof kSpecial - 1)] : static_cast<char>(Rng());
    return Text;
}

std::string NextIniFile(std::mt19937& Rng, int I) {
    if (I % 10 == 0) return RandomBytes(Rng, 600);
    return Mutate(kIniSeeds[Rng() % std::size(kIniSeeds)], Rng);
}

std::string NextRegFile(std::mt19937& Rng, int I) {
    std::string Text =
        I % 10 == 0 ? RandomBytes(Rng, 600) : Mutate(kRegSeeds[Rng() % std::size(kRegSeeds)], Rng);
    if (I % 3 == 1) Text = "\xff\xfe" + Utf8ToUtf16Le(Text); // as regedit writes it
    if (I % 7 == 2) Text = Utf8ToCp1252(Text);
    return Text;
}

TEST(IniRobust, InMemoryStoreReadsAnyBytes) {
    std::mt19937 Rng(20261209);
    for (int I = 0; I < 60000; ++I) {
        const std::string Bytes = NextIniFile(Rng, I);
        TMemIniFile Ini("");
        Ini.SetFileText(Bytes);
        std::vector<std::string> Sections, Idents;
        Ini.ListSections(Sections);
        for (const auto& S : Sections) {
            Ini.ListSectionIdents(S, Idents);
            for (const auto& Id : Idents) {
                (void)Ini.ReadText(S, Id, "");
                (void)Ini.ReadInt(S, Id, 0);
                (void)Ini.ReadReal(S, Id, 0);
            }
        }
        ASSERT_EQ(Ini.ReadText("\x01missing", "k", "dflt"), "dflt") << I;
        ASSERT_EQ(Ini.ReadInt("\x01missing", "k", 42), 42) << I;
        ASSERT_EQ(Ini.ReadReal("\x01missing", "k", 2.5), 2.5) << I;
    }
}

TEST(IniRobust, DirectStoreReadsAndWritesAnyFile) {
    TTempDir Dir(true);
    const std::string File = Dir / "robust.ini";
    std::mt19937 Rng(7);
    for (int I = 0; I < 4000; ++I) {
        const std::string Bytes = NextIniFile(Rng, I);
        PutFile(File, Bytes);
        TIniFile Ini(File);
        std::vector<std::string> Sections, Idents;
        Ini.ListSections(Sections);
        for (const auto& S : Sections) {
            Ini.ListSectionIdents(S, Idents);
            for (const auto& Id : Idents)
                (void)Ini.ReadReal(S, Id, 0);
        }
        ASSERT_EQ(Ini.ReadInt("\x01missing", "k", 42), 42);
        if (I % 8 == 0) {
            // A write lands and reads back; the file stays readable.
            const std::string Section =
                Sections.empty() || I % 16 == 0
                    ? "Settings"
                    : std::string(TrimBlanks(Sections[Rng() % Sections.size()]));
            if (Section.empty() || Section.find_first_of("\r\n") != std::string::npos) continue;
            Ini.WriteText(Section, "RobustKey", "value " + std::to_string(I));
            ASSERT_EQ(Ini.ReadText(Section, "RobustKey", ""), "value " + std::to_string(I))
                << I << " in [" << Section << "]";
        }
    }
}

bool SameFile(const TRegFile& A, const TRegFile& B) {
    if (A.Keys().size() != B.Keys().size()) return false;
    for (std::size_t K = 0; K < A.Keys().size(); ++K) {
        const auto& X = A.Keys()[K];
        const auto& Y = B.Keys()[K];
        if (X.Path() != Y.Path() || X.Values().size() != Y.Values().size()) return false;
        for (std::size_t V = 0; V < X.Values().size(); ++V) {
            if (X.Values()[V].Name != Y.Values()[V].Name ||
                X.Values()[V].Kind != Y.Values()[V].Kind ||
                X.Values()[V].Data != Y.Values()[V].Data)
                return false;
        }
    }
    return true;
}

TEST(RegistryRobust, ExportFilesParseAndWriteBackTheSame) {
    std::mt19937 Rng(4242);
    for (int I = 0; I < 60000; ++I) {
        const std::string Bytes = NextRegFile(Rng, I);
        const TRegFile First = TRegFile::Parse(Bytes);
        const std::string Written = First.Serialize();
        const TRegFile Again = TRegFile::Parse(Written);
        ASSERT_TRUE(SameFile(First, Again)) << "case " << I << "\n" << Written;
    }
}

TEST(RegistryRobust, TypedReadsGiveValueDefaultOrKindError) {
    TTempDir Dir(true);
    const std::string File = Dir / "registry.reg";
    std::mt19937 Rng(99);
    int Errors = 0;
    for (int I = 0; I < 3000; ++I) {
        PutFile(File, NextRegFile(Rng, I));
        TRegistryIniFile Reg("Software\\Halvorn\\Oravent", File);
        std::vector<std::string> Sections, Idents;
        Reg.ListSections(Sections);
        Sections.push_back("Settings");
        for (const auto& S : Sections) {
            Reg.ListSectionIdents(S, Idents);
            Idents.push_back("kIndex");
            for (const auto& Id : Idents) {
                try {
                    (void)Reg.ReadText(S, Id, "");
                } catch (const ERegistryException&) {
                    ++Errors;
                }
                try {
                    (void)Reg.ReadInt(S, Id, 0);
                } catch (const ERegistryException&) {
                    ++Errors;
                }
                try {
                    (void)Reg.ReadReal(S, Id, 0);
                } catch (const ERegistryException&) {
                    ++Errors;
                }
            }
        }
        ASSERT_EQ(Reg.ReadInt("\x01missing", "k", 42), 42);
        if (I % 50 == 0) {
            Reg.WriteInt("Robust", "Count", I);
            ASSERT_EQ(Reg.ReadInt("Robust", "Count", -1), I);
        }
    }
    EXPECT_GT(Errors, 0); // the mutations do produce values of other kinds
}

TEST(VerInfoRobust, DamagedProgramFilesAndRecords) {
    TTempDir Dir(true);
    const std::string File = Dir / "prog";
    std::mt19937 Rng(31337);
    constexpr TVersionString Strings[] = {{"ProductName", "Oravent"}, {"FileVersion", "1.0"}};
    TVersionDef Def;
    Def.Strings = Strings;
    const std::string Record = BuildVersionRecordBytes(Def);
    const std::string Seeds[] = {test::MakeElf(Record), test::MakeElf(Record, false, true),
                                 test::MakeElf(Record, true, false, false)};
    int Read = 0;
    for (int I = 0; I < 6000; ++I) {
        const std::string Bytes = Mutate(Seeds[I % 3], Rng);
        PutFile(File, Bytes);
        for (int Way = 0; Way < 2; ++Way) {
            try {
                const TVerInfoRes Info =
                    Way == 0 ? TVerInfoRes(File) : TVerInfoRes("mem", Mutate(Record, Rng));
                (void)Info.VersionText();
                (void)Info.Entry(7);
                ++Read;
            } catch (const ENoVerInfoError&) {
            } catch (const EVerInfoError&) {
            } catch (const eNoFixeVerInfo&) {
            }
        }
    }
    EXPECT_GT(Read, 0);
}

} // namespace
} // namespace oravent

namespace oravent {
namespace {

// Huge files: many keys, values and deletions, a value of a megabyte; read in
// time proportional to their size.
TEST(RegistryRobust, HugeExportFile) {
    std::string Text = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (int K = 0; K < 3000; ++K)
        Text += "[HKEY_CURRENT_USER\\Big\\K" + std::to_string(K) + "]\r\n";
    Text += "[HKEY_CURRENT_USER\\Big\\Values]\r\n";
    for (int V = 0; V < 60000; ++V)
        Text += "\"v" + std::to_string(V) + "\"=dword:" + std::to_string(V % 10) + "\r\n";
    for (int V = 0; V < 60000; V += 2)
        Text += "\"V" + std::to_string(V) + "\"=-\r\n";
    for (int K = 0; K < 3000; ++K)
        Text += "[-HKEY_CURRENT_USER\\Gone\\" + std::to_string(K) + "]\r\n";
    Text += "[HKEY_CURRENT_USER\\Big\\Blob]\r\n\"b\"=hex:";
    for (int B = 0; B < 400000; ++B)
        Text += B % 25 == 24 ? "ab,\\\r\n  " : "ab,";
    Text += "ab\r\n";
    const TRegFile F = TRegFile::Parse(Text);
    ASSERT_EQ(F.Keys().size(), 3002u);
    EXPECT_EQ(F.FindKey("HKEY_CURRENT_USER\\Big\\Values")->Values().size(), 30000u);
    EXPECT_EQ(F.FindKey("HKEY_CURRENT_USER\\Big\\Blob")->Values()[0].Data.size(), 400001u);
    EXPECT_EQ(F.FindKey("hkey_current_user\\big\\values")->Find("V59999")->Data,
              std::string("\x09\0\0\0", 4));
    EXPECT_TRUE(SameFile(F, TRegFile::Parse(F.Serialize())));
}

TEST(IniRobust, HugeIniFile) {
    TTempDir Dir(true);
    std::string Text;
    for (int S = 0; S < 2000; ++S) {
        Text += "[Section" + std::to_string(S) + "]\r\n";
        for (int K = 0; K < 50; ++K)
            Text += "Key" + std::to_string(K) + " = " + std::to_string(K) + "\r\n";
    }
    Text += "[Last]\r\nHuge=" + std::string(1 << 20, 'x') + "\r\n";
    PutFile(Dir / "huge.ini", Text);
    TMemIniFile Mem(Dir / "huge.ini");
    EXPECT_EQ(Mem.ReadInt("Section1999", "Key49", 0), 49);
    EXPECT_EQ(Mem.ReadText("Last", "Huge", "").size(), 1u << 20); // no length limit
    TIniFile Ini(Dir / "huge.ini");
    EXPECT_EQ(Ini.ReadInt("section1999", "key49", 0), 49);
    Ini.WriteInt("Section1999", "Key49", 7);
    EXPECT_EQ(Ini.ReadInt("Section1999", "Key49", 0), 7);
    EXPECT_EQ(Ini.ReadText("Last", "Huge", "").size(), 1u << 20);
}

} // namespace
} // namespace oravent
