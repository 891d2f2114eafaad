#include <cstdio>

#include "calc_commands.h"

namespace oravent::calc {

static int NotYet() {
    std::fputs("oravent-calc: moist-air commands not built yet\n", stderr);
    return 2;
}
int RunAir(const std::vector<std::string>&) { return NotYet(); }
int RunPressure(const std::vector<std::string>&) { return NotYet(); }
int RunAltitude(const std::vector<std::string>&) { return NotYet(); }

} // namespace oravent::calc
