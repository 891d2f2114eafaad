// The commands of oravent-calc. Each takes the arguments after the command
// name and the streams it reads and writes, and returns the process exit
// status; oravent_calc.cpp (the program's main) passes the standard streams.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace oravent::calc {

struct TCalcStreams {
    std::FILE* Out = stdout;
    std::FILE* Err = stderr;
    std::FILE* In = stdin; // "--csv -"
};

int RunDuct(const std::vector<std::string>& args, const TCalcStreams& io = {});     // calc_duct.cpp
int RunAir(const std::vector<std::string>& args, const TCalcStreams& io = {});      // calc_air.cpp
int RunPressure(const std::vector<std::string>& args, const TCalcStreams& io = {}); // calc_air.cpp
int RunAltitude(const std::vector<std::string>& args, const TCalcStreams& io = {}); // calc_air.cpp
int RunLocdb(const std::vector<std::string>& args, const TCalcStreams& io = {}); // calc_locdb.cpp
// pressure --place "NAME[, REGION]" [--folder DIR] (calc_locdb.cpp; RunPressure
// hands over when it sees --place).
int RunPressureAtPlace(const std::vector<std::string>& args, const TCalcStreams& io = {});

} // namespace oravent::calc
