// Runs a command of oravent-calc in the test process, with its standard
// streams in memory.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "calc_commands.h"

namespace oravent::test {

struct TToolRun {
    int Status = -1;
    std::string Out, Err;
    nlohmann::json Json() const { return nlohmann::json::parse(Out); }
};

using TToolCommand = int (*)(const std::vector<std::string>&, const calc::TCalcStreams&);

inline TToolRun RunTool(TToolCommand Command, const std::vector<std::string>& Args,
                        std::string In = " ") {
    char *OutBuf = nullptr, *ErrBuf = nullptr;
    std::size_t OutLen = 0, ErrLen = 0;
    calc::TCalcStreams Io;
    Io.Out = open_memstream(&OutBuf, &OutLen);
    Io.Err = open_memstream(&ErrBuf, &ErrLen);
    Io.In = fmemopen(In.data(), In.size(), "r");
    TToolRun R;
    R.Status = Command(Args, Io);
    std::fclose(Io.Out);
    std::fclose(Io.Err);
    std::fclose(Io.In);
    R.Out.assign(OutBuf, OutLen);
    R.Err.assign(ErrBuf, ErrLen);
    std::free(OutBuf);
    std::free(ErrBuf);
    return R;
}

} // namespace oravent::test
