#include "controls/AccessKeys.h"

#include <cctype>

namespace oravent {

namespace {

char Upper(char C) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
}

} // namespace

char AccessKeyOf(std::string_view Caption) {
    for (std::size_t I = 0; I + 1 < Caption.size(); ++I) {
        if (Caption[I] != '&') continue;
        if (Caption[I + 1] == '&') {
            ++I; // a literal ampersand
            continue;
        }
        return Upper(Caption[I + 1]);
    }
    return 0;
}

int AccessKeyOwner(const std::vector<TAccessKeyCommand>& Commands, char Key) {
    if (Key == 0) return -1;
    Key = Upper(Key);
    for (std::size_t I = 0; I < Commands.size(); ++I) {
        if (Commands[I].Available && AccessKeyOf(Commands[I].Caption) == Key)
            return static_cast<int>(I);
    }
    return -1;
}

} // namespace oravent
