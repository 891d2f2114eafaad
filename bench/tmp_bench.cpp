#include <benchmark/benchmark.h>
static void BM_x(benchmark::State& s){for(auto _:s){benchmark::DoNotOptimize(1);}}
BENCHMARK(BM_x);
