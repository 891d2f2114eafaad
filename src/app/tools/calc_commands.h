// The commands of oravent-calc, one file each. Each takes the arguments after
// the command name and returns the process exit status.
#pragma once

#include <string>
#include <vector>

namespace oravent::calc {

int RunDuct(const std::vector<std::string>& args);     // calc_duct.cpp
int RunAir(const std::vector<std::string>& args);      // calc_air.cpp
int RunPressure(const std::vector<std::string>& args); // calc_air.cpp
int RunAltitude(const std::vector<std::string>& args); // calc_air.cpp

} // namespace oravent::calc
