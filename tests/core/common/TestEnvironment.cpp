// Every test of this program runs with a temporary XDG_CONFIG_HOME (and HOME),
// so no test reads or writes the settings of the person running it.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class TTempConfigEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        std::string Pattern =
            (std::filesystem::temp_directory_path() / "oravent-config-XXXXXX").string();
        ASSERT_NE(::mkdtemp(Pattern.data()), nullptr);
        FDir = Pattern;
        ::setenv("XDG_CONFIG_HOME", (FDir + "/config").c_str(), 1);
        ::setenv("HOME", (FDir + "/home").c_str(), 1);
    }
    void TearDown() override {
        std::error_code Ec;
        std::filesystem::remove_all(FDir, Ec);
    }

private:
    std::string FDir;
};

const auto* const Registered =
    ::testing::AddGlobalTestEnvironment(new TTempConfigEnvironment); // owned by gtest

} // namespace
