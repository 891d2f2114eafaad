// Robustness of the engine: a large number of random calls with random codes
// and field values, including NaN, infinities, negative and huge values.
// Every call must end, either with a complete finite state and status 0 or
// with EPsychroError and a non-zero status; a returned state must be
// physically consistent. ORAVENT_ROBUST_CALLS sets the number of calls
// (default 1,000,000).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "psychro/AirStateText.h"
#include "psychro/Hygrocalc.h"
#include "psychro/TxAirconItems.h"

namespace oravent {
namespace {

long RobustCalls() {
    if (const char* env = std::getenv("ORAVENT_ROBUST_CALLS")) {
        const long n = std::strtol(env, nullptr, 10);
        if (n > 0) return n;
    }
    return 1000000;
}

class RandomValues {
public:
    explicit RandomValues(std::uint64_t seed) : FGen(seed) {}
    // Mostly plausible values in [lo, hi], sometimes a wild one.
    double Value(double lo, double hi) {
        switch (FGen() % 24) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return std::numeric_limits<double>::infinity();
        case 2:
            return -std::numeric_limits<double>::infinity();
        case 3:
            return std::uniform_real_distribution<double>(-1e9, 1e9)(FGen);
        case 4:
            return 0.0;
        case 5:
            return -std::numeric_limits<double>::denorm_min();
        case 6:
            return std::numeric_limits<double>::max();
        case 7:
            return lo;
        case 8:
            return hi;
        default:
            return std::uniform_real_distribution<double>(lo, hi)(FGen);
        }
    }
    std::int32_t Code() {
        static const std::int32_t codes[] = {0,  1,  2,  3,  4,  5,  7,  8,  9,  10, 11, 12, 13,
                                             14, 15, 16, 17, 18, 19, 25, 26, 28, 29, 30, 31, 32};
        if (FGen() % 16 == 0) return static_cast<std::int32_t>(FGen() % 64) - 16;
        return codes[FGen() % std::size(codes)];
    }
    std::uint64_t Next() { return FGen(); }

private:
    std::mt19937_64 FGen;
};

// A returned state: finite, and its properties agree with each other.
void ExpectConsistent(const TAirStateRec& s, long call, std::int32_t code) {
    const double* f = &s.Pressure;
    for (int i = 0; i < 15; ++i)
        ASSERT_TRUE(std::isfinite(f[i])) << "call " << call << " code " << code << " field " << i;
    ASSERT_GE(s.AbsHumidity, 0.0) << call;
    ASSERT_GE(s.RelHumidity, 0.0) << call;
    ASSERT_LE(s.RelHumidity, 1.0) << call;
    ASSERT_LE(s.WetBulb, s.DryBulb) << call;
    ASSERT_LE(s.DewPoint, s.DryBulb) << call;
    ASSERT_LT(s.VapPressure, s.Pressure) << call;
    ASSERT_GT(s.Density, 0.0) << call;
    ASSERT_GT(s.Viscosity, 0.0) << call;
}

// A returned state carries the two properties it was asked for: the engine
// never answers a pair with a nearby state of its own choosing.
void ExpectGivenPair(const TAirStateRec& in, const TAirStateRec& out, long call,
                     std::int32_t code) {
    const int index = [&] {
        for (std::size_t i = 0; i < TAirCombin::Letters.size(); ++i)
            for (std::size_t j = i + 1; j < TAirCombin::Letters.size(); ++j)
                if (TAirCombin::PairCode(TAirCombin::Letters[i], TAirCombin::Letters[j]) == code)
                    return static_cast<int>(i * 16 + j);
        return -1;
    }();
    ASSERT_GE(index, 0) << "call " << call << ": a state for unknown code " << code;
    const double* given = &in.Pressure;
    const double* got = &out.Pressure;
    for (const int field : {index / 16, index % 16})
        ASSERT_NEAR(got[field], given[field], 1e-6 * (std::fabs(given[field]) + 1.0))
            << "call " << call << " code " << code << " field " << field;
}

TEST(HygrocalcRobust, RandomCallsNeverCrashHangOrReturnNaN) {
    const long calls = RobustCalls();
    RandomValues rnd(20261209);
    long states = 0, errors = 0;
    for (long i = 0; i < calls; ++i) {
        const unsigned kind = rnd.Next() % 8;
        try {
            if (kind < 5) {
                TAirStateRec in;
                in.Pressure = rnd.Value(5, 1200);
                in.DryBulb = rnd.Value(-120, 220);
                in.WetBulb = rnd.Value(-120, 220);
                in.Enthalpy = rnd.Value(-200, 3000);
                in.AbsHumidity = rnd.Value(-0.05, 2);
                in.RelHumidity = rnd.Value(-0.1, 1.1);
                in.DewPoint = rnd.Value(-160, 220);
                in.VapPressure = rnd.Value(-1, 200);
                in.SatPressure = rnd.Value(-1, 2000);
                in.Density = rnd.Value(-0.5, 3);
                const std::int32_t code = rnd.Code();
                TAirStateRec out;
                AirState(out, in, code);
                ASSERT_EQ(PsyStatus(), 0);
                ExpectConsistent(out, i, code);
                ExpectGivenPair(in, out, i, code);
            } else if (kind == 5) {
                TAirStateRec out;
                const std::int32_t k = static_cast<std::int32_t>(rnd.Next() % 9);
                SetState(out, rnd.Value(5, 1200), rnd.Value(-120, 220), rnd.Value(-120, 220), k);
                ASSERT_EQ(PsyStatus(), 0);
                ExpectConsistent(out, i, k);
            } else if (kind == 6) {
                const double wb =
                    WetBulb(rnd.Value(5, 1200), rnd.Value(-120, 220), rnd.Value(-0.1, 1.1), 3);
                ASSERT_TRUE(std::isfinite(wb));
            } else {
                const double x = (rnd.Next() & 1) ? AtmPressure(rnd.Value(-6000, 45000))
                                                  : Altitude(rnd.Value(-10, 200));
                ASSERT_TRUE(std::isfinite(x));
            }
            ++states;
        } catch (const EPsychroError& e) {
            ASSERT_NE(PsyStatus(), 0) << e.what();
            ASSERT_NE(std::string(e.what()), "");
            ++errors;
            if (rnd.Next() % 2) ResetReferenceState();
        }
    }
    // Both outcomes must have been exercised in quantity.
    EXPECT_GT(states, calls / 10);
    EXPECT_GT(errors, calls / 10);
}

// Random texts through the text readers: a conversion error, an engine
// error or a checked state, never anything else.
TEST(HygrocalcRobust, RandomTemperatureTexts) {
    RandomValues rnd(7);
    const std::string alphabet = "0123456789./-+eE ,x";
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        const unsigned len = rnd.Next() % 12;
        for (unsigned k = 0; k < len; ++k)
            text += alphabet[rnd.Next() % alphabet.size()];
        try {
            TAirStateRec s;
            StrToAirState(text, s, 101.325, 0.5);
            ASSERT_GE(s.DryBulb, -60.0) << text;
            ASSERT_LE(s.DryBulb, 99.0) << text;
            // A wet bulb below the dry bulb; at -60 °C the check may still
            // report "Wet bulb too low..." since the 50 % wet bulb lies below.
            ASSERT_LE(s.WetBulb, s.DryBulb) << text;
            ASSERT_EQ(PsyStatus(), 0) << text;
        } catch (const std::runtime_error&) {
        }
        try {
            double db = 0, wb = 0;
            StrToDryWetBulb(text, db, wb, 101.325);
            ASSERT_TRUE(std::isfinite(db) && std::isfinite(wb)) << text;
            ASSERT_LE(wb, db) << text;
        } catch (const std::runtime_error&) {
        }
        ResetReferenceState();
    }
}

// Random entry orders: the pair logic always ends on a usable pair, and
// Order keeps each letter once and never loses the dry and wet bulb.
TEST(HygrocalcRobust, RandomTouchSequences) {
    RandomValues rnd(11);
    for (int run = 0; run < 2000; ++run) {
        TAirCombin c;
        for (int k = 0; k < 40; ++k) {
            c.Touch(static_cast<std::uint8_t>(rnd.Next() % 12));
            ASSERT_EQ(c.Known.size(), 2u);
            const int code = TAirCombin::PairCode(*c.Known.begin(), *c.Known.rbegin());
            ASSERT_GE(code, 0);
            ASSERT_EQ(c.Code, code);
            for (char l : c.Order)
                ASSERT_EQ(std::count(c.Order.begin(), c.Order.end(), l), 1);
            ASSERT_NE(c.Order.find('t'), std::string::npos);
            ASSERT_NE(c.Order.find('b'), std::string::npos);
        }
    }
}

} // namespace
} // namespace oravent
