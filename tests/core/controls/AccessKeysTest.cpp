// Access keys: the letter a caption marks, and which command a letter runs
// when several captions mark it.
#include <gtest/gtest.h>

#include "controls/AccessKeys.h"

using namespace oravent;

namespace {

TEST(AccessKeys, KeyOfACaption) {
    const std::pair<const char*, char> Cases[] = {
        {"&Open", 'O'}, {"S&olve", 'O'}, {"Clip screen", 0}, {"Fish && &Chips", 'C'}, {"&&", 0},
        {"End&", 0},    {"", 0},         {"&1st", '1'},
    };
    for (const auto& [Caption, Key] : Cases)
        EXPECT_EQ(AccessKeyOf(Caption), Key) << Caption;
}

TEST(AccessKeys, FirstAvailableCommandInPrecedenceOrderWins) {
    // The frame lists Accept and Cancel first, then the tool bar's order.
    std::vector<TAccessKeyCommand> C = {
        {"&Accept"},       {"&Cancel"},       {"&Open"}, {"&Save"},  {"&Copy"},
        {"&Paste"},        {"S&olve"},        {"&View"}, {"&Print"}, {"&Align"},
        {"&Reset", false}, {"&About", false}, {"&Help"},
    };
    struct Case {
        char Key;
        int Owner;
    } Cases[] = {{'A', 0},  {'a', 0},  {'C', 1},  {'O', 2}, {'P', 5},
                 {'R', -1}, {'H', 12}, {'X', -1}, {0, -1}};
    for (const Case& K : Cases)
        EXPECT_EQ(AccessKeyOwner(C, K.Key), K.Owner) << K.Key;
    // With Accept, Open and Paste hidden the next in line takes their keys.
    C[0].Available = C[2].Available = C[5].Available = false;
    EXPECT_EQ(AccessKeyOwner(C, 'A'), 9);
    EXPECT_EQ(AccessKeyOwner(C, 'O'), 6);
    EXPECT_EQ(AccessKeyOwner(C, 'P'), 8);
}

} // namespace
