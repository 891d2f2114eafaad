// The shipped help pages and stylesheets as the build lays them out: every
// file of data/Common Files is in the build's "Common Files", the files the
// air state window opens are there, and every local link of a page or
// stylesheet leads to a shipped file (and to an id on it for "#..." links),
// never to another host.
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
const fs::path BuildTree = fs::path(ORAVENT_BINARY_DIR) / "Halvorn";
const fs::path BuildCommon = BuildTree / "Common Files";

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

bool IsPage(const fs::path& P) {
    const std::string Ext = P.extension().string();
    return Ext == ".htm" || Ext == ".html" || Ext == ".xsl";
}

TEST(ShippedData, EveryCommonFileIsCopiedUnchanged) {
    int Count = 0;
    for (const auto& E : fs::directory_iterator(SourceCommon)) {
        const fs::path Copy = BuildCommon / E.path().filename();
        ASSERT_TRUE(fs::is_regular_file(Copy)) << Copy;
        EXPECT_TRUE(test::GetFile(Copy.string()) == test::GetFile(E.path().string()))
            << Copy << " differs from its source";
        ++Count;
    }
    EXPECT_GT(Count, 0);
    for (std::string_view Name : {AirStateHelpFile, AirStateStyleSheet})
        EXPECT_TRUE(fs::is_regular_file(BuildCommon / Name)) << Name;
}

TEST(ShippedData, LocalLinksResolveToShippedFiles) {
    const fs::path Folders[] = {BuildCommon, BuildTree / "Oravent" / "Help"};
    int Links = 0;
    for (const fs::path& Folder : Folders) {
        if (!fs::is_directory(Folder)) continue; // the program's help: GUI builds only
        for (const auto& E : fs::directory_iterator(Folder)) {
            if (!IsPage(E.path())) continue;
            const std::string Text = test::GetFile(E.path().string());
            for (const std::string& Link : LinksOf(Text)) {
                SCOPED_TRACE(E.path().filename().string() + ": " + Link);
                ++Links;
                EXPECT_FALSE(Link.empty());
                // The pages open offline from a read-only folder: no
                // address with a scheme, nothing from another host.
                if (std::regex_search(Link, std::regex("^([a-zA-Z][a-zA-Z0-9+.-]*:|//)"))) {
                    ADD_FAILURE() << "an address elsewhere";
                    continue;
                }
                const std::size_t Hash = Link.find('#');
                const std::string File = Link.substr(0, Hash);
                const fs::path Target = File.empty() ? E.path() : Folder / File;
                if (!fs::is_regular_file(Target)) {
                    ADD_FAILURE() << Target << " is not shipped";
                    continue;
                }
                if (Hash != std::string::npos) {
                    const std::string Id = "id=\"" + Link.substr(Hash + 1) + "\"";
                    EXPECT_NE(test::GetFile(Target.string()).find(Id), std::string::npos) << Id;
                }
            }
        }
    }
    // The air state help page links its stylesheet and its own sections.
    EXPECT_GT(Links, 10);
}

} // namespace
} // namespace oravent
