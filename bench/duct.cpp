// Duct sheet speed: one edit plus Iterate on the worked example and on a mix
// of random sheets, the standard sizes of one sheet, and the throughput of
// `oravent-calc duct --csv` (with and without --standard).
#include <benchmark/benchmark.h>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "duct/DuctSheet.h"
#include "duct/StandardSizes.h"

namespace {

using namespace oravent;

DuctSheet WorkedExample() {
    DuctSheet s;
    s.ResetToDefaults();
    s.DuctAir.Density = 1.2;
    s.DuctAir.Viscosity = 18.2e-6;
    s.UpdateIntermediates();
    s.SolveRectangle();
    s.Iterate();
    return s;
}

// Worked example, then a new velocity (5 passes, a width search per pass).
void BM_WorkedExample_EnterVelocity(benchmark::State& state) {
    const DuctSheet base = WorkedExample();
    DuctSheet s = base;
    for (auto _ : state) {
        s = base;
        s.EnterVelocity(10.0);
        benchmark::DoNotOptimize(s.Iterate());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WorkedExample_EnterVelocity);

// Alternating volume flows on the solved sheet, without the copy.
void BM_WorkedExample_EnterVolume(benchmark::State& state) {
    DuctSheet s = WorkedExample();
    bool flip = false;
    for (auto _ : state) {
        s.EnterVolume(flip ? 5.0 : 5.5);
        flip = !flip;
        benchmark::DoNotOptimize(s.Iterate());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WorkedExample_EnterVolume);

// The sheet copy alone, which the other cases include.
void BM_SheetCopy(benchmark::State& state) {
    const DuctSheet base = WorkedExample();
    DuctSheet s = base;
    for (auto _ : state) {
        s = base;
        benchmark::DoNotOptimize(s.Diameter);
    }
}
BENCHMARK(BM_SheetCopy);

struct RandomEdit {
    DuctSheet Start;
    int Op;
    double Value;
};

// Random solved sheets of plausible ducts, each with one random edit.
std::vector<RandomEdit> RandomMix() {
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> vol(0.05, 30), pr(0.2, 4), vel(1, 25), d(0.1, 2),
        side(0.1, 2);
    std::uniform_int_distribution<int> op(0, 6), rough(0, 4);
    const DuctSheet base = WorkedExample();
    std::vector<RandomEdit> mix;
    for (int i = 0; i < 1024; ++i) {
        DuctSheet s = base;
        s.SetRoughnessIndex(rough(rng));
        s.EnterVolume(vol(rng));
        s.Iterate();
        s.EnterPRate(pr(rng));
        s.Iterate();
        const int o = op(rng);
        const double v = o == 0   ? pr(rng)
                         : o == 1 ? vol(rng)
                         : o == 2 ? vel(rng)
                         : o == 3 ? d(rng)
                                  : side(rng);
        mix.push_back({s, o, v});
    }
    return mix;
}

void BM_RandomSheets_OneEdit(benchmark::State& state) {
    const std::vector<RandomEdit> mix = RandomMix();
    DuctSheet s;
    std::size_t i = 0;
    for (auto _ : state) {
        const RandomEdit& e = mix[i++ & 1023];
        s = e.Start;
        switch (e.Op) {
        case 0:
            s.EnterPRate(e.Value);
            break;
        case 1:
            s.EnterVolume(e.Value);
            break;
        case 2:
            s.EnterVelocity(e.Value);
            break;
        case 3:
            s.EnterDiameter(e.Value);
            break;
        case 4:
            s.EnterHeight(e.Value);
            break;
        case 5:
            s.EnterWidth(e.Value);
            break;
        default:
            s.SetRoughnessIndex(static_cast<int>(e.Value * 10) % 5);
            break;
        }
        benchmark::DoNotOptimize(s.Iterate());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomSheets_OneEdit);

// Random solved sheets for the standard-size cases: flows 0.05–30 m³/s at
// 0.3–3 Pa/m.
std::vector<DuctSheet> RandomSolvedSheets(int Count) {
    std::mt19937_64 rng(3);
    std::uniform_real_distribution<double> vol(0.05, 30), pr(0.3, 3);
    std::vector<DuctSheet> v;
    const DuctSheet base = WorkedExample();
    while (static_cast<int>(v.size()) < Count) {
        DuctSheet s = base;
        s.EnterPRate(pr(rng));
        s.EnterVolume(vol(rng));
        if (s.Iterate()) v.push_back(s);
    }
    return v;
}

// Both candidate lists of one sheet, as the Standard Sizes window fills
// them (metric series, aspect limit 4).
void BM_StandardSizeCandidates(benchmark::State& state) {
    const std::vector<DuctSheet> sheets = RandomSolvedSheets(256);
    const TStandardSizeSettings settings;
    std::size_t i = 0;
    for (auto _ : state) {
        const TSizeCandidates c =
            StandardSizeCandidates(sheets[i++ % sheets.size()], settings, TSeriesSystem::Metric);
        benchmark::DoNotOptimize(c.Round.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StandardSizeCandidates);

// The two choices alone, as a schedule line with --standard computes them
// (the series in metres made once).
void BM_StandardSizeChoice(benchmark::State& state) {
    const std::vector<DuctSheet> sheets = RandomSolvedSheets(256);
    const TStandardSizeSettings settings;
    const TSeriesMetres series(settings, TSeriesSystem::Metric);
    std::size_t i = 0;
    for (auto _ : state) {
        const TSizeChoice c = StandardSizeChoice(sheets[i++ % sheets.size()], settings, series);
        benchmark::DoNotOptimize(c.Round.has_value());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StandardSizeChoice);

std::string Num(double v) {
    char buf[32];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, p);
}

// oravent-calc duct --csv on 100,000 lines of volume, pressure rate and
// height; items are lines (wall time of the whole program, one core).
// Argument 1 adds --standard (the chosen round size and rectangle per line).
void BM_CalcDuctCsv100k(benchmark::State& state) {
    namespace fs = std::filesystem;
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    const fs::path tool = exe.parent_path().parent_path() / "Halvorn" / "Oravent" / "oravent-calc";
    if (!fs::exists(tool)) {
        state.SkipWithError("oravent-calc is not built");
        return;
    }
    const fs::path dir = fs::temp_directory_path() / ("bench-duct-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    constexpr int Lines = 100000;
    {
        std::mt19937_64 rng(1);
        std::uniform_real_distribution<double> vol(0.05, 30), pr(0.3, 3), h(0.15, 1.5);
        std::ofstream f(dir / "in.csv");
        f << "id,volume,prate,height\n";
        for (int i = 0; i < Lines; ++i)
            f << "D" << i << ',' << Num(vol(rng)) << ',' << Num(pr(rng)) << ',' << Num(h(rng))
              << '\n';
    }
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on
    // "literal" + std::string&&.
    std::string cmd = "'";
    cmd += tool.string();
    cmd += state.range(0) ? "' duct --standard --csv '" : "' duct --csv '";
    cmd += (dir / "in.csv").string();
    cmd += "' -o '";
    cmd += (dir / "out.csv").string();
    cmd += "'";
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const int rc = std::system(cmd.c_str());
        const auto t1 = std::chrono::steady_clock::now();
        if (rc != 0) {
            state.SkipWithError("oravent-calc duct --csv failed");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    }
    state.SetItemsProcessed(state.iterations() * Lines);
    std::error_code ec;
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_CalcDuctCsv100k)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
