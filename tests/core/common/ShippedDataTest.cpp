// The shipped help pages and stylesheets as the build lays them out: every
// file of data/Common Files is in the build's "Common Files" and every file
// of data/Help in the program's "Help" folder, the files the windows open
// are there, and every local link of a page leads to a shipped file inside
// the tree (and to an id on it for "#..." links), never to another host.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "psychro/TxAirStateBox.h"

namespace oravent {
namespace {

namespace fs = std::filesystem;

const fs::path SourceCommon = fs::path(ORAVENT_SOURCE_DIR) / "data" / "Common Files";
const fs::path SourceHelp = fs::path(ORAVENT_SOURCE_DIR) / "data" / "Help";
const fs::path BuildTree = fs::path(ORAVENT_BINARY_DIR) / "Halvorn";
const fs::path BuildCommon = BuildTree / "Common Files";
const fs::path BuildHelp = BuildTree / "Oravent" / "Help";
// The manual that Help > Contents opens.
const fs::path Manual = BuildHelp / "Oravent.htm";

// href="..." and src="..." (either quote), the targets a page or stylesheet
// points at.
std::vector<std::string> LinksOf(const std::string& Text) {
    static const std::regex Attr(R"re((?:href|src)\s*=\s*(?:"([^"]*)"|'([^']*)'))re",
                                 std::regex::icase);
    std::vector<std::string> Links;
    for (std::sregex_iterator I(Text.begin(), Text.end(), Attr), End; I != End; ++I)
        Links.push_back((*I)[1].matched ? (*I)[1].str() : (*I)[2].str());
    return Links;
}

// A link's file part as a path: "%20" and the other %XX escapes decoded.
// Empty for a malformed escape.
std::string Unescaped(const std::string& Link) {
    std::string Out;
    for (std::size_t I = 0; I < Link.size(); ++I) {
        if (Link[I] != '%') {
            Out += Link[I];
            continue;
        }
        if (I + 2 >= Link.size() || !std::isxdigit(static_cast<unsigned char>(Link[I + 1])) ||
            !std::isxdigit(static_cast<unsigned char>(Link[I + 2])))
            return {};
        Out += static_cast<char>(std::stoi(Link.substr(I + 1, 2), nullptr, 16));
        I += 2;
    }
    return Out;
}

bool IsPage(const fs::path& P) {
    const std::string Ext = P.extension().string();
    return Ext == ".htm" || Ext == ".html" || Ext == ".xsl";
}

TEST(ShippedData, EveryShippedFileIsCopiedUnchanged) {
    const struct {
        fs::path Source, Build;
    } Folders[] = {{SourceCommon, BuildCommon}, {SourceHelp, BuildHelp}};
    for (const auto& F : Folders) {
        int Count = 0;
        for (const auto& E : fs::directory_iterator(F.Source)) {
            const fs::path Copy = F.Build / E.path().filename();
            ASSERT_TRUE(fs::is_regular_file(Copy)) << Copy;
            EXPECT_TRUE(test::GetFile(Copy.string()) == test::GetFile(E.path().string()))
                << Copy << " differs from its source";
            ++Count;
        }
        EXPECT_GT(Count, 0) << F.Source;
    }
    for (std::string_view Name : {AirStateHelpFile, AirStateStyleSheet})
        EXPECT_TRUE(fs::is_regular_file(BuildCommon / Name)) << Name;
    EXPECT_TRUE(fs::is_regular_file(Manual));
}

TEST(ShippedData, LocalLinksResolveToShippedFiles) {
    const fs::path Tree = fs::canonical(BuildTree);
    int Links = 0, ManualLinks = 0, ManualToCommon = 0;
    for (const fs::path& Folder : {BuildCommon, BuildHelp}) {
        ASSERT_TRUE(fs::is_directory(Folder)) << Folder;
        for (const auto& E : fs::directory_iterator(Folder)) {
            if (!IsPage(E.path())) continue;
            const bool InManual = E.path() == Manual;
            const std::string Text = test::GetFile(E.path().string());
            for (const std::string& Link : LinksOf(Text)) {
                SCOPED_TRACE(E.path().filename().string() + ": " + Link);
                ++Links;
                ManualLinks += InManual;
                EXPECT_FALSE(Link.empty());
                // The pages open offline from a read-only folder: no
                // address with a scheme, nothing from another host.
                if (std::regex_search(Link, std::regex("^([a-zA-Z][a-zA-Z0-9+.-]*:|//)"))) {
                    ADD_FAILURE() << "an address elsewhere";
                    continue;
                }
                const std::size_t Hash = Link.find('#');
                const std::string File = Unescaped(Link.substr(0, Hash));
                const fs::path Target = File.empty() ? E.path() : Folder / File;
                if (!fs::is_regular_file(Target)) {
                    ADD_FAILURE() << Target << " is not shipped";
                    continue;
                }
                // An installed copy has only this tree: /opt/Halvorn/...
                const fs::path Real = fs::canonical(Target);
                if (std::mismatch(Tree.begin(), Tree.end(), Real.begin(), Real.end()).first !=
                    Tree.end()) {
                    ADD_FAILURE() << Real << " lies outside " << Tree;
                    continue;
                }
                ManualToCommon += InManual && Real.parent_path() == fs::canonical(BuildCommon);
                if (Hash != std::string::npos) {
                    const std::string Id = "id=\"" + Link.substr(Hash + 1) + "\"";
                    EXPECT_NE(test::GetFile(Target.string()).find(Id), std::string::npos) << Id;
                }
            }
        }
    }
    // The air state help page links its stylesheet and its own sections; the
    // manual its contents, the shared stylesheet and the air state page.
    EXPECT_GT(Links, 10);
    EXPECT_GT(ManualLinks, 20);
    EXPECT_GE(ManualToCommon, 2);
}

// Percent escapes of a link, as a browser reads them.
TEST(ShippedData, LinkEscapesAreDecoded) {
    const struct {
        const char* Link;
        const char* File;
    } Cases[] = {
        {"../../Common%20Files/help.css", "../../Common Files/help.css"},
        {"a%2fb%41", "a/bA"},
        {"plain.htm", "plain.htm"},
        {"bad%2", ""},
        {"bad%zz.htm", ""},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Unescaped(C.Link), C.File) << C.Link;
}

} // namespace
} // namespace oravent
