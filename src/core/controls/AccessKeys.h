// Access keys of a window's commands without the window: the letter a
// caption marks with "&", and which command Alt + a letter runs when several
// commands' captions mark the same letter (the technical windows' "&Align"
// and "&Accept", "&Copy" and "&Cancel", "&Open" and "S&olve"). The window
// lists its commands by precedence and says which are shown and enabled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace oravent {

// The access key of a caption: the character after the first single "&"
// ("&&" is a literal ampersand), in upper case; 0 when there is none.
char AccessKeyOf(std::string_view Caption);

// A command as the access keys see it.
struct TAccessKeyCommand {
    std::string Caption;   // "&Accept"
    bool Available = true; // shown and enabled
};

// The command that Alt + Key runs: the first available command, in the
// order given, whose access key is Key (any letter case); -1 when none.
int AccessKeyOwner(const std::vector<TAccessKeyCommand>& Commands, char Key);

} // namespace oravent
