// oravent-calc: the command-line companion of the desktop program.
//   oravent-calc duct ...       size a duct (or a CSV schedule of ducts)
//   oravent-calc air ...        complete a moist-air state from two properties
//   oravent-calc pressure ...   standard-atmosphere pressure of an altitude or a place
//   oravent-calc altitude ...   standard-atmosphere altitude of a pressure
//   oravent-calc locdb ...      list, search, build and check the location database
// Exit status: 0 success, 1 a calculation failed, 2 bad usage.
#include <cstdio>
#include <string>
#include <vector>

#include "calc_commands.h"

namespace {

void PrintUsage(std::FILE* to) {
    std::fputs("usage: oravent-calc <command> [options]\n"
               "commands:\n"
               "  duct       size a duct from the reset sheet and edits (--help for details)\n"
               "  air        complete a moist-air state from two properties\n"
               "  pressure   --altitude Z   standard-atmosphere pressure in kPa\n"
               "  pressure   --place \"NAME[, REGION]\" [--folder DIR]\n"
               "             a place's altitude and its standard-atmosphere pressure\n"
               "  altitude   --pressure P   standard-atmosphere altitude in m\n"
               "  locdb      list, search, build or check the location database (--help)\n",
               to);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    const std::string command = argv[1];
    std::vector<std::string> args(argv + 2, argv + argc);
    if (command == "duct") return oravent::calc::RunDuct(args);
    if (command == "air") return oravent::calc::RunAir(args);
    if (command == "pressure") return oravent::calc::RunPressure(args);
    if (command == "altitude") return oravent::calc::RunAltitude(args);
    if (command == "locdb") return oravent::calc::RunLocdb(args);
    if (command == "--help" || command == "-h" || command == "help") {
        PrintUsage(stdout);
        return 0;
    }
    std::fprintf(stderr, "oravent-calc: unknown command '%s'\n", command.c_str());
    PrintUsage(stderr);
    return 2;
}
