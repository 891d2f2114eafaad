// Number text against the C library on the same inputs: FormatValueText
// beside snprintf, ParseValueText beside strtod. The mix is what the program
// shows and reads: values of the duct sheet and the air state in the
// catalogue's formats ("%0.1f" .. "%0.5f", "%0.4g" .. "%0.6g").
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "units/NumberText.h"

namespace {

struct TCase {
    double Value;
    std::string Format;
    int Decimals;
    std::string Text; // the value as a user would type it
};

const std::vector<TCase>& Cases() {
    static const std::vector<TCase> Mix = [] {
        const char* Formats[] = {"%0.1f", "%0.2f", "%0.3f", "%0.0f", "%0.4f",
                                 "%0.5f", "%0.4g", "%0.5g", "%0.6g", "%0.3f"};
        std::mt19937_64 Rng(20261209);
        std::uniform_real_distribution<double> Mantissa(1.0, 10.0);
        std::uniform_int_distribution<int> Exponent(-4, 5);
        std::uniform_int_distribution<int> Pick(0, 9);
        std::vector<TCase> V;
        for (int I = 0; I < 1024; ++I) {
            double X = Mantissa(Rng);
            for (int E = Exponent(Rng); E > 0; --E)
                X *= 10;
            for (int E = Exponent(Rng); E < 0; ++E)
                X /= 10;
            if (Pick(Rng) == 0) X = -X;
            const std::string F = Formats[Pick(Rng)];
            char Buf[64];
            std::snprintf(Buf, sizeof Buf, "%.*g", 3 + Pick(Rng) % 6, X);
            V.push_back({X, F, oravent::FormatStrDecimals(F), Buf});
        }
        return V;
    }();
    return Mix;
}

void BM_FormatValueText(benchmark::State& State) {
    const auto& C = Cases();
    std::size_t I = 0;
    for (auto _ : State) {
        const TCase& K = C[I++ & 1023];
        benchmark::DoNotOptimize(
            oravent::FormatValueText(K.Value, K.Format, oravent::ft_Fixed, 5, K.Decimals));
    }
}
BENCHMARK(BM_FormatValueText);

// The same, kept as a std::string like the caller receives it.
void BM_Snprintf(benchmark::State& State) {
    const auto& C = Cases();
    std::size_t I = 0;
    for (auto _ : State) {
        const TCase& K = C[I++ & 1023];
        char Buf[64];
        const int N = std::snprintf(Buf, sizeof Buf, K.Format.c_str(), K.Value);
        benchmark::DoNotOptimize(std::string(Buf, static_cast<std::size_t>(N)));
    }
}
BENCHMARK(BM_Snprintf);

void BM_FormatValueTextAuto(benchmark::State& State) {
    const auto& C = Cases();
    std::size_t I = 0;
    for (auto _ : State) {
        const TCase& K = C[I++ & 1023];
        benchmark::DoNotOptimize(
            oravent::FormatValueText(K.Value, K.Format, oravent::ft_AutoOverride, 5, K.Decimals));
    }
}
BENCHMARK(BM_FormatValueTextAuto);

void BM_ParseValueText(benchmark::State& State) {
    const auto& C = Cases();
    std::size_t I = 0;
    for (auto _ : State) {
        const TCase& K = C[I++ & 1023];
        benchmark::DoNotOptimize(oravent::ParseValueText(K.Text, K.Format));
    }
}
BENCHMARK(BM_ParseValueText);

void BM_Strtod(benchmark::State& State) {
    const auto& C = Cases();
    std::size_t I = 0;
    for (auto _ : State) {
        const TCase& K = C[I++ & 1023];
        benchmark::DoNotOptimize(std::strtod(K.Text.c_str(), nullptr));
    }
}
BENCHMARK(BM_Strtod);

void BM_StrToFloat(benchmark::State& State) {
    const auto& C = Cases();
    std::size_t I = 0;
    for (auto _ : State) {
        const TCase& K = C[I++ & 1023];
        benchmark::DoNotOptimize(oravent::StrToFloat(K.Text));
    }
}
BENCHMARK(BM_StrToFloat);

} // namespace
