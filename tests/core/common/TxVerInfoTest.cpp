// Version information: the record built into this program, records with
// parts missing, and files without a record, read from ELF files.
#include "common/TxVerInfo.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "ElfTestFile.h"
#include "TestFiles.h"
#include "common/AppFolders.h"
#include "common/VersionRecord.h"

namespace oravent {
namespace {

using test::GetFile;
using test::MakeElf;
using test::PutFile;
using test::TTempDir;

constexpr TVersionString kFullStrings[] = {
    {"CompanyName", "Halvorn"},     {"FileDescription", "Duct size calculator"},
    {"FileVersion", "1.2.0.15"},    {"ProductName", "Oravent"},
    {"ProductVersion", "1.2.0.15"}, {"Comments", "Ünïcode ok"},
};
constexpr TVersionString kNoProductName[] = {{"CompanyName", "Halvorn"}};

TVersionDef Def(std::span<const TVersionString> Strings = kFullStrings) {
    TVersionDef S;
    S.FileVersion = {1, 2, 0, 15};
    S.ProductVersion = {1, 2, 0, 15};
    S.Strings = Strings;
    return S;
}

class VerInfoFileTest : public ::testing::Test {
protected:
    TTempDir Dir;
    std::string Write(const std::string& Name, std::string_view Bytes) {
        PutFile(Dir / Name, Bytes);
        return Dir / Name;
    }
};

TEST_F(VerInfoFileTest, ReadsVersionAndEntries) {
    struct {
        const char* Name;
        bool Is64, Big, Sections;
    } Layouts[] = {{"elf64_le_sections", true, false, true},
                   {"elf32_be_sections", false, true, true},
                   {"elf64_le_segment_only", true, false, false},
                   {"elf32_le_segment_only", false, false, false}};
    for (const auto& L : Layouts) {
        const std::string File =
            Write(L.Name, MakeElf(BuildVersionRecordBytes(Def()), L.Is64, L.Big, L.Sections));
        const TVerInfoRes Info(File);
        EXPECT_EQ(Info.VersionText(), "1.2.0.15") << L.Name;
        EXPECT_EQ(Info.Entry(7), "Oravent") << L.Name;
        EXPECT_EQ(Info.Entry("FileDescription"), "Duct size calculator");
        EXPECT_EQ(Info.Entry(9), "Ünïcode ok");
        EXPECT_EQ(Info.Entry(3), ""); // InternalName not in the record
        EXPECT_EQ(Info.Entry(10), "");
        EXPECT_EQ(Info.Entry(-1), "");
        EXPECT_EQ(Info.Language(), 0x0409);
        EXPECT_EQ(Info.CodePage(), 0x04E4);
        EXPECT_EQ(Info.FixedFileInfo().Signature, kFixedFileInfoSignature);
        EXPECT_EQ(ProductTitleText(File), "Oravent 1.2.0.15");
        EXPECT_EQ(FileVersionText(File), "1.2.0.15");
        EXPECT_EQ(FileDescriptionText(File), "Duct size calculator");
    }
}

TEST_F(VerInfoFileTest, FlagTextRows) {
    const struct {
        const char* Name;
        std::uint32_t Flags, Mask;
        std::vector<std::string> Texts;
    } Rows[] = {
        {"prerelease_and_debug", VS_FF_PRERELEASE | VS_FF_DEBUG, 0x3F, {"Pre-release", "Debug"}},
        {"set_but_not_in_mask", VS_FF_PRERELEASE | VS_FF_DEBUG, VS_FF_DEBUG, {"Debug"}},
        {"mask_without_flags", 0, 0x3F, {}},
        {"all_four_in_order",
         0x3F,
         0x3F,
         {"Pre-release", "Private build", "Special build", "Debug"}},
        {"patched_has_no_text", VS_FF_PATCHED | VS_FF_INFOINFERRED, 0x3F, {}},
    };
    for (const auto& R : Rows) {
        TVersionDef S = Def();
        S.Flags = R.Flags;
        S.FlagsMask = R.Mask;
        const TVerInfoRes Info("mem", BuildVersionRecordBytes(S));
        EXPECT_EQ(Info.FlagTexts(), R.Texts) << R.Name;
    }
}

TEST_F(VerInfoFileTest, TitleWithoutProductNameStartsWithBlank) {
    const std::string File = Write("np", MakeElf(BuildVersionRecordBytes(Def(kNoProductName))));
    EXPECT_EQ(ProductTitleText(File), " 1.2.0.15");
}

TEST_F(VerInfoFileTest, ErrorRows) {
    TVersionDef NoTran = Def();
    NoTran.WithTranslation = false;
    TVersionDef NoFixed = Def();
    NoFixed.WithFixed = false;
    TVersionDef ShortFixed = Def();
    ShortFixed.FixedLength = 48;
    const std::string Good = MakeElf(BuildVersionRecordBytes(Def()));
    std::filesystem::create_directory(Dir / "folder");
    const struct {
        const char* Name;
        std::string File;
        const char* Message;
    } Rows[] = {
        {"text_file", Write("t.txt", "[Settings]\r\n"), "No Version Info Available."},
        {"empty_file", Write("e", ""), "No Version Info Available."},
        {"missing_file", Dir / "none", "No Version Info Available."},
        {"folder", Dir / "folder", "No Version Info Available."},
        {"elf_other_owner",
         Write("o", MakeElf(BuildVersionRecordBytes(Def()), true, false, true, "GNU")),
         "No Version Info Available."},
        {"elf_cut_in_record", Write("cut", Good.substr(0, 64 + 56 + 20 + 30)),
         "Cannot obtain version info."},
        {"damaged_block", Write("dmg", MakeElf(std::string("FIXD\xff\xff\x00\x00", 8))),
         "Cannot obtain version info."},
        {"no_translation", Write("nt", MakeElf(BuildVersionRecordBytes(NoTran))),
         "No language info."},
        {"no_fixed_info", Write("nf", MakeElf(BuildVersionRecordBytes(NoFixed))),
         "No fixed file info"},
        {"short_fixed_info", Write("sf", MakeElf(BuildVersionRecordBytes(ShortFixed))),
         "No fixed file info"},
    };
    for (const auto& R : Rows) {
        try {
            TVerInfoRes Info(R.File);
            ADD_FAILURE() << R.Name << ": no error";
        } catch (const ENoVerInfoError& E) {
            EXPECT_EQ(std::string(E.what()), R.Message) << R.Name;
        } catch (const EVerInfoError& E) {
            EXPECT_EQ(std::string(E.what()), R.Message) << R.Name;
            EXPECT_STRNE(R.Message, "No Version Info Available.") << R.Name;
        } catch (const eNoFixeVerInfo& E) {
            EXPECT_EQ(std::string(E.what()), R.Message) << R.Name;
        }
    }
    // A real program without the record.
    EXPECT_THROW(TVerInfoRes("/bin/sh"), ENoVerInfoError);
}

TEST(VerInfoTest, ThisProgramCarriesTheBuildVersion) {
    const TVerInfoRes Info(AppFileName());
    EXPECT_EQ(Info.VersionText(), ORAVENT_VERSION_STR);
    EXPECT_EQ(Info.Entry("ProductName"), "Oravent");
    EXPECT_EQ(Info.Entry("FileVersion"), ORAVENT_VERSION_STR);
    EXPECT_EQ(Info.Entry("CompanyName"), "Halvorn");
    EXPECT_EQ(ProductTitleText(), std::string("Oravent ") + ORAVENT_VERSION_STR);
    EXPECT_EQ(FileVersionText(), ORAVENT_VERSION_STR);
    EXPECT_FALSE(FileDescriptionText().empty());
    EXPECT_EQ(Info.Resource(), ThisProgramVersionRecord());
#ifdef NDEBUG
    EXPECT_TRUE(Info.FlagTexts().empty());
#else
    EXPECT_EQ(Info.FlagTexts(), std::vector<std::string>{"Debug"});
#endif
}

TEST(VerInfoTest, StringFileInfoPathFormat) {
    EXPECT_EQ(StringFileInfoPath(0x0409, 0x04E4, "ProductName"),
              "\\StringFileInfo\\040904E4\\ProductName");
}

// The desktop program and the command-line tool carry the record too.
TEST(VerInfoTest, BuiltProgramsCarryTheRecord) {
    int Found = 0;
    for (const char* Name : {"oravent", "oravent-calc"}) {
        const std::string File = std::string(ORAVENT_BINARY_DIR) + "/Halvorn/Oravent/" + Name;
        if (!std::filesystem::exists(File)) continue;
        ++Found;
        EXPECT_EQ(FileVersionText(File), ORAVENT_VERSION_STR) << Name;
    }
    if (Found == 0) GTEST_SKIP() << "no program built in this tree";
}

} // namespace
} // namespace oravent
