// The about box's rules: property defaults, what the window shows for a set of
// properties, link targets and link captions, the stored start-up choice.
#include "common/AboutBox.h"

#include <functional>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "common/AppFolders.h"
#include "common/TxRegistry.h"

namespace oravent {
namespace {

using test::GetFile;
using test::PutFile;
using test::TTempDir;

TEST(AboutBoxTest, DefaultsAtCreation) {
    const TAboutBoxProps P;
    EXPECT_EQ(P.DeveloperName, "Halvorn");
    EXPECT_EQ(P.ProductName, "VODU Zuverevu");
    EXPECT_EQ(P.Version, "1.0.0.0");
    EXPECT_EQ(P.Description, "");
    EXPECT_EQ(P.Comment, "Loading...");
    EXPECT_FALSE(P.StretchPic);
    EXPECT_FALSE(P.ShowWebb);
    // The maker's texts: the web caption is the address itself.
    EXPECT_FALSE(P.Copyright.empty());
    EXPECT_NE(P.EMail.find('@'), std::string::npos);
    EXPECT_EQ(P.WebCaption, P.WebURL);
    EXPECT_EQ(P.WebURL.find("://"), std::string::npos);
}

TEST(AboutBoxTest, ViewRows) {
    struct TRow {
        const char* Name;
        std::function<void(TAboutBoxProps&)> Change;
        const char* AppTitle;
        bool Flag;
        TAboutBoxMode Mode;
        std::function<void(const TAboutBoxView&)> Check;
    };
    const TRow Rows[] = {
        {"defaults_modal", [](TAboutBoxProps&) {}, "Oravent", false, TAboutBoxMode::Modal,
         [](const TAboutBoxView& V) {
             EXPECT_EQ(V.Caption, "About VODU Zuverevu");
             EXPECT_EQ(V.ProductLine, "VODU Zuverevu");
             EXPECT_EQ(V.DeveloperLine, "Halvorn");
             EXPECT_EQ(V.VersionLine, "Version 1.0.0.0");
             EXPECT_EQ(V.EMailURL, "mailto:" + std::string(kMakerEMail));
             EXPECT_EQ(V.EMailCaption, kMakerEMail);
             EXPECT_EQ(V.WebURL, "http://" + std::string(kMakerWebSite));
             EXPECT_EQ(V.WebCaption, kMakerWebSite);
             EXPECT_FALSE(V.ShowWeb);
             EXPECT_TRUE(V.ShowOk);
             EXPECT_TRUE(V.ShowCheck);
             EXPECT_FALSE(V.ShowStatus);
             EXPECT_FALSE(V.Checked);
             EXPECT_FALSE(V.StretchPic);
         }},
        {"empty_product_takes_application_title", [](TAboutBoxProps& P) { P.ProductName.clear(); },
         "Oravent", false, TAboutBoxMode::Modal,
         [](const TAboutBoxView& V) {
             EXPECT_EQ(V.Caption, "About Oravent");
             EXPECT_EQ(V.ProductLine, "Oravent");
         }},
        {"empty_product_and_title", [](TAboutBoxProps& P) { P.ProductName.clear(); }, "", false,
         TAboutBoxMode::Modal, [](const TAboutBoxView& V) { EXPECT_EQ(V.Caption, "About "); }},
        {"duct_window_instance",
         [](TAboutBoxProps& P) {
             P.ProductName = "Oravent";
             P.Version = "1.2.0.15";
             P.Description = "Duct size calculator";
             P.ShowWebb = true;
             P.StretchPic = true;
             P.WebCaption = "Our web site";
         },
         "Anything", true, TAboutBoxMode::Modal,
         [](const TAboutBoxView& V) {
             EXPECT_EQ(V.Caption, "About Oravent");
             EXPECT_EQ(V.VersionLine, "Version 1.2.0.15");
             EXPECT_EQ(V.Description, "Duct size calculator");
             EXPECT_TRUE(V.ShowWeb);
             EXPECT_TRUE(V.StretchPic);
             EXPECT_TRUE(V.Checked);
             EXPECT_EQ(V.WebCaption, "Our web site");
             EXPECT_EQ(V.WebURL, "http://" + std::string(kMakerWebSite));
         }},
        {"empty_version", [](TAboutBoxProps& P) { P.Version.clear(); }, "", false,
         TAboutBoxMode::Modal,
         [](const TAboutBoxView& V) { EXPECT_EQ(V.VersionLine, "Version "); }},
        {"splash_shows_status_not_button", [](TAboutBoxProps&) {}, "", true, TAboutBoxMode::Splash,
         [](const TAboutBoxView& V) {
             EXPECT_TRUE(V.ShowStatus);
             EXPECT_EQ(V.StatusText, "Loading...");
             EXPECT_FALSE(V.ShowOk);
             EXPECT_FALSE(V.ShowCheck);
         }},
        {"addresses_with_scheme_kept",
         [](TAboutBoxProps& P) {
             P.EMail = "mailto:help@halvorn.example";
             P.WebURL = "https://halvorn.example/oravent";
             P.ShowWebb = true;
         },
         "", false, TAboutBoxMode::Modal,
         [](const TAboutBoxView& V) {
             EXPECT_EQ(V.EMailURL, "mailto:help@halvorn.example");
             EXPECT_EQ(V.WebURL, "https://halvorn.example/oravent");
         }},
        {"no_address_nothing_to_open",
         [](TAboutBoxProps& P) {
             P.EMail.clear();
             P.WebURL.clear();
         },
         "", false, TAboutBoxMode::Modal,
         [](const TAboutBoxView& V) {
             EXPECT_EQ(V.EMailURL, "");
             EXPECT_EQ(V.WebURL, "");
         }},
    };
    for (const TRow& R : Rows) {
        SCOPED_TRACE(R.Name);
        TAboutBoxProps P;
        R.Change(P);
        R.Check(AboutBoxView(P, R.AppTitle, R.Flag, R.Mode));
    }
}

TEST(AboutBoxTest, LinkTargetRows) {
    const struct {
        const char *Scheme, *Address, *Target;
    } Rows[] = {
        {"http://", "www.halvorn.example", "http://www.halvorn.example"},
        {"http://", "https://www.halvorn.example", "https://www.halvorn.example"},
        {"http://", "halvorn.example:8080/x", "http://halvorn.example:8080/x"},
        {"http://", "halvorn.example/a:b", "http://halvorn.example/a:b"},
        {"mailto:", "support@halvorn.example", "mailto:support@halvorn.example"},
        {"mailto:", "mailto:support@halvorn.example", "mailto:support@halvorn.example"},
        {"mailto:", "MAILTO:x@y.example", "MAILTO:x@y.example"},
        {"http://", ":odd", "http://:odd"},
        {"http://", "", ""},
    };
    for (const auto& R : Rows)
        EXPECT_EQ(LinkTarget(R.Scheme, R.Address), R.Target) << R.Address;
}

TEST(AboutBoxTest, URLLabelCaptionRows) {
    const struct {
        const char *Name, *Caption, *OldURL, *NewURL, *After;
    } Rows[] = {
        {"never_set_follows", "", "", "mailto:a@b.example", "mailto:a@b.example"},
        {"showing_old_url_follows", "http://old.example", "http://old.example",
         "http://new.example", "http://new.example"},
        {"own_caption_stays", "Our web site", "http://old.example", "http://new.example",
         "Our web site"},
        {"cleared_url_clears_caption_that_showed_it", "http://old.example", "http://old.example",
         "", ""},
    };
    for (const auto& R : Rows)
        EXPECT_EQ(URLLabelCaption(R.Caption, R.OldURL, R.NewURL), R.After) << R.Name;
    EXPECT_EQ(URLLabelText("", "mailto:a@b.example"), "mailto:a@b.example");
    EXPECT_EQ(URLLabelText("Write to us", "mailto:a@b.example"), "Write to us");
}

// The stored choice: written as the text "0"/"1", read as a number; a value
// that cannot be read never stops the program.
TEST(AboutBoxTest, SplashScreenStoredValueRows) {
    TTempDir Dir;
    const std::string File = Dir / "registry.reg";
    const std::string Key = "Software\\Halvorn\\oravent";
    for (const bool Show : {true, false, true}) {
        TRegistryIniFile Store(Key, File);
        WriteSplashScreen(Store, Show);
        EXPECT_EQ(ReadSplashScreen(TRegistryIniFile(Key, File)), Show);
        EXPECT_NE(GetFile(File).find(Show ? "\"SplashScreen\"=\"1\"" : "\"SplashScreen\"=\"0\""),
                  std::string::npos);
    }
    const struct {
        const char *Name, *Stored;
        bool Read;
    } Rows[] = {
        {"missing", nullptr, false},
        {"text_one", "\"1\"", true},
        {"dword_five", "dword:00000005", true},
        {"dword_zero", "dword:00000000", false},
        {"text_not_a_number", "\"yes\"", false},
        {"binary_kind", "hex:01,00,00,00", false},
        {"empty_text", "\"\"", false},
    };
    for (const auto& R : Rows) {
        std::string Text = "Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_CURRENT_USER\\Software\\Halvorn\\oravent\\Settings]\r\n";
        if (R.Stored) Text += std::string("\"SplashScreen\"=") + R.Stored + "\r\n";
        PutFile(File, Text);
        EXPECT_EQ(ReadSplashScreen(TRegistryIniFile(Key, File)), R.Read) << R.Name;
    }
}

// At program start the flag comes from the program's own key, and what the
// box stored is what the next start reads.
TEST(AboutBoxTest, StartupFlagReadFromProgramKey) {
    for (const bool Show : {true, false}) {
        TRegistryIniFile Store(AppRegistryKey());
        WriteSplashScreen(Store, Show);
        SetStartupFlag(!Show);
        EXPECT_EQ(LoadStartupFlag(), Show);
        EXPECT_EQ(StartupFlag(), Show);
    }
    TRegistryIniFile(AppRegistryKey()).DeleteKey(kSplashSection, kSplashIdent);
    SetStartupFlag(true);
    EXPECT_FALSE(LoadStartupFlag()); // nothing stored: the first run shows no box
}

} // namespace
} // namespace oravent
