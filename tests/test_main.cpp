// Test entry point for the core tests. The process takes its locale from the
// environment (LC_ALL), so that a run under a decimal-comma locale proves the
// number text does not depend on it.
#include <clocale>
#include <locale>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::exception&) {
        // Unknown locale name in the environment: stay with "C".
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
