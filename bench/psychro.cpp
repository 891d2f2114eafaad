// Time per call of the moist-air engine: SetState, WetBulb, and AirState for
// every pair code, each over a spread of states (cold, mild, hot and humid,
// high altitude) so that the searches run from varied starting points.
#include <vector>

#include <benchmark/benchmark.h>

#include "psychro/Hygrocalc.h"

namespace {

using oravent::TAirStateRec;

std::vector<TAirStateRec> SampleStates() {
    std::vector<TAirStateRec> states;
    for (double P : {70.0, 101.325, 120.0})
        for (double t : {-40.0, -5.0, 2.0, 20.0, 35.0, 60.0})
            for (double f : {0.1, 0.5, 0.9}) {
                TAirStateRec s;
                oravent::SetState(s, P, t, f, 3);
                states.push_back(s);
            }
    return states;
}

const std::vector<TAirStateRec>& States() {
    static const std::vector<TAirStateRec> states = SampleStates();
    return states;
}

void BM_SetState(benchmark::State& st) {
    const auto& s = States();
    std::size_t i = 0;
    TAirStateRec out;
    for (auto _ : st) {
        const auto& in = s[i++ % s.size()];
        oravent::SetState(out, in.Pressure, in.DryBulb, in.WetBulb, 0);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_SetState);

void BM_WetBulb(benchmark::State& st) {
    const auto& s = States();
    std::size_t i = 0;
    for (auto _ : st) {
        const auto& in = s[i++ % s.size()];
        benchmark::DoNotOptimize(oravent::WetBulb(in.Pressure, in.DryBulb, in.RelHumidity, 3));
    }
}
BENCHMARK(BM_WetBulb);

void BM_AirState(benchmark::State& st) {
    const auto code = static_cast<std::int32_t>(st.range(0));
    const auto& s = States();
    std::size_t i = 0;
    TAirStateRec out;
    for (auto _ : st) {
        oravent::AirState(out, s[i++ % s.size()], code);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_AirState)
    ->ArgName("code")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Arg(4)
    ->Arg(5)
    ->Arg(7)
    ->Arg(8)
    ->Arg(9)
    ->Arg(10)
    ->Arg(11)
    ->Arg(12)
    ->Arg(13)
    ->Arg(14)
    ->Arg(15)
    ->Arg(16)
    ->Arg(17)
    ->Arg(18)
    ->Arg(19)
    ->Arg(25)
    ->Arg(26)
    ->Arg(28)
    ->Arg(29)
    ->Arg(30)
    ->Arg(31)
    ->Arg(32);

void BM_AtmPressureAltitude(benchmark::State& st) {
    double z = 0;
    for (auto _ : st) {
        z += 1.0;
        if (z > 3000) z = -1000;
        benchmark::DoNotOptimize(oravent::Altitude(oravent::AtmPressure(z)));
    }
}
BENCHMARK(BM_AtmPressureAltitude);

} // namespace
