#include <cstdio>

#include "calc_commands.h"

namespace oravent::calc {

int RunDuct(const std::vector<std::string>&) {
    std::fputs("oravent-calc duct: not built yet\n", stderr);
    return 2;
}

} // namespace oravent::calc
