// Random and mutated input for every reader of typed text and for the
// formatter: each call either answers or raises EConvertError, never
// anything else, and what it answers keeps its documented shape. The seed
// is fixed so a failure can be replayed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "units/NumberText.h"

using namespace oravent;

namespace {

constexpr int Rounds = 120000;

class Generator {
public:
    explicit Generator(std::uint64_t Seed) : Rng(Seed) {}

    int Int(int Lo, int Hi) { return std::uniform_int_distribution<int>(Lo, Hi)(Rng); }
    bool Chance(int Percent) { return Int(0, 99) < Percent; }

    // A text made of number-like characters, of random bytes, or a valid
    // number that has been mutated.
    std::string Text() {
        switch (Int(0, 2)) {
        case 0: {
            static const char Alphabet[] = "0123456789.-+eE/ ,ax\t";
            std::string S;
            for (int N = Int(0, 30); N > 0; --N)
                S += Alphabet[Int(0, sizeof Alphabet - 2)];
            return S;
        }
        case 1: {
            std::string S;
            for (int N = Int(0, 40); N > 0; --N)
                S += static_cast<char>(Int(0, 255));
            return S;
        }
        default:
            return Mutate(Seed());
        }
    }

    double Value() {
        switch (Int(0, 9)) {
        case 0: {
            static const double Special[] = {0.0,
                                             -0.0,
                                             std::numeric_limits<double>::quiet_NaN(),
                                             std::numeric_limits<double>::infinity(),
                                             -std::numeric_limits<double>::infinity(),
                                             std::numeric_limits<double>::max(),
                                             -std::numeric_limits<double>::max(),
                                             std::numeric_limits<double>::denorm_min(),
                                             std::numeric_limits<double>::min(),
                                             0.5,
                                             2.5,
                                             -9.9996};
            return Special[Int(0, 11)];
        }
        case 1: {
            // Any bit pattern.
            std::uint64_t Bits = Rng();
            double D;
            std::memcpy(&D, &Bits, sizeof D);
            return D;
        }
        default:
            return std::uniform_real_distribution<double>(-10, 10)(Rng) *
                   std::pow(10.0, Int(-12, 12));
        }
    }

    // A format string: pieces of conversions with flags, widths and
    // precisions (sometimes absurd), literal text, stray percent signs.
    std::string Format() {
        std::string F;
        for (int N = Int(0, 3); N > 0; --N) {
            if (Chance(30)) F += Chance(50) ? " kPa " : "/";
            F += '%';
            static const char Flags[] = "-0+ #";
            for (int K = Int(0, 2); K > 0; --K)
                F += Flags[Int(0, 4)];
            if (Chance(50)) F += std::to_string(Chance(90) ? Int(0, 20) : Int(0, 1000000));
            if (Chance(70)) {
                F += '.';
                if (Chance(90)) F += Chance(90) ? std::to_string(Int(0, 20)) : std::string(30, '9');
            }
            static const char Conv[] = "fFgGeEdDsSxq%*";
            if (Chance(97)) F += Conv[Int(0, sizeof Conv - 2)];
        }
        if (Chance(5)) F = Mutate(F);
        return F;
    }

private:
    std::string Seed() {
        static const char* Seeds[] = {
            "12.5", "-0.001", "1.5e-3", "13/12",  "1E300",   "  7 ",      "98765.4",
            "-",    "E5",     "1E-500", "0.0001", "3.14159", "13.0/12.0", "Berlin, Germany"};
        return Seeds[Int(0, 13)];
    }

    std::string Mutate(std::string S) {
        for (int N = Int(1, 4); N > 0; --N) {
            const int Op = Int(0, 3);
            const std::size_t Pos = S.empty() ? 0 : static_cast<std::size_t>(Int(0, int(S.size())));
            static const char Pieces[] = "0123456789.-+eE/ ,";
            const char C = Chance(80) ? Pieces[Int(0, sizeof Pieces - 2)] : char(Int(0, 255));
            if (Op == 0 || S.empty())
                S.insert(S.begin() + static_cast<std::ptrdiff_t>(Pos), C);
            else if (Op == 1 && Pos < S.size())
                S.erase(Pos, 1);
            else if (Op == 2 && Pos < S.size())
                S[Pos] = C;
            else
                S += S.substr(0, Pos); // duplicate a segment
        }
        return S;
    }

    std::mt19937_64 Rng;
};

// A call may fail only with EConvertError.
template <class F> bool Survives(F&& Call) {
    try {
        Call();
        return true;
    } catch (const EConvertError&) {
        return false;
    }
}

TEST(NumberTextRobust, ReadersOfTypedText) {
    Generator G(20261209);
    static const char* Formats[] = {"%0.3f", "%0.4g", "%d", "%S", "%0.1f/%0.1f", "", "%0.1q"};
    int Cleaned = 0, Parsed = 0;
    for (int I = 0; I < Rounds; ++I) {
        const std::string T = G.Text();
        SCOPED_TRACE(T);
        std::string C;
        if (Survives([&] { C = CleanNumberText(T); })) {
            ++Cleaned;
            ASSERT_EQ(C.find(' '), std::string::npos);
            ASSERT_LE(std::count(C.begin(), C.end(), '/'), 1);
            ASSERT_FALSE(C.empty());
            // Cleaning a cleaned text changes nothing.
            std::string Again;
            ASSERT_TRUE(Survives([&] { Again = CleanNumberText(C); }));
            ASSERT_EQ(Again, C);
        }
        // Reading a float equals converting the cleaned text, whatever
        // shortcut the reader takes.
        double Direct = 0, ViaClean = 0;
        const bool DirectOk =
            Survives([&] { Direct = std::get<double>(ParseValueText(T, "%0.3f")); });
        const bool ViaCleanOk = Survives([&] { ViaClean = StrToFloat(CleanNumberText(T)); });
        ASSERT_EQ(DirectOk, ViaCleanOk);
        if (DirectOk) {
            ASSERT_EQ(Direct, ViaClean);
        }
        const char* Format = Formats[G.Int(0, 6)];
        TParsedValue V;
        if (Survives([&] { V = ParseValueText(T, Format, 1.8, 32); })) {
            ++Parsed;
            if (const double* D = std::get_if<double>(&V)) {
                ASSERT_TRUE(std::isfinite(*D));
            }
        }
        double First = 0, Second = 0;
        bool Pair = false;
        if (Survives([&] { Pair = ParseNumberPair(T, First, Second); })) {
            ASSERT_TRUE(std::isfinite(First));
            ASSERT_TRUE(std::isfinite(Second));
            // Two numbers need a "/"; a "/" with one number has nothing after it.
            const std::size_t Slash = T.find('/');
            if (Pair) {
                ASSERT_NE(Slash, std::string::npos);
            } else if (Slash != std::string::npos) {
                for (std::size_t I = Slash + 1; I < T.size(); ++I)
                    ASSERT_LE(static_cast<unsigned char>(T[I]), ' ');
                ASSERT_EQ(Second, 0);
            }
        }
        const int Count = G.Int(-2, 6);
        const char Delim = G.Chance(80) ? ',' : static_cast<char>(G.Int(0, 255));
        const std::string Token = GetDelimitedToken(Count, Delim, T);
        ASSERT_EQ(Token.find(Delim), std::string::npos);
        ASSERT_NE(T.find(Token), std::string::npos);
    }
    // The generator must reach both outcomes, or the test proves little.
    EXPECT_GT(Cleaned, Rounds / 10);
    EXPECT_GT(Parsed, Rounds / 20);
}

TEST(NumberTextRobust, FormatterWithRandomFormats) {
    Generator G(42);
    int Written = 0;
    for (int I = 0; I < Rounds; ++I) {
        const std::string F = G.Format();
        const double V = G.Value();
        SCOPED_TRACE(F);
        std::string Out;
        if (Survives([&] {
                Out = FormatValueText(V, F, static_cast<TFormatType>(G.Int(0, 4)), G.Int(-3, 30),
                                      FormatStrDecimals(F));
            })) {
            ++Written;
            // At most three conversions, each bounded by width and precision
            // limits and the longest fixed-point number.
            ASSERT_LE(Out.size(), F.size() + 3 * (256 + 330 + 100));
        }
        const std::vector<TFormatArg> Choices = {V, static_cast<long long>(G.Int(-1000, 1000)),
                                                 std::string("text")};
        (void)Survives([&] {
            FormatText(F, {Choices[G.Int(0, 2)], Choices[G.Int(0, 2)], Choices[G.Int(0, 2)]});
        });
        const int Sig = G.Int(-5, 40);
        const int Max = G.Int(-5, 200);
        const int D = DecimalsForSigDigs(Sig, Max, V);
        ASSERT_GE(D, 0);
        ASSERT_LE(D, std::max(0, Max));
    }
    EXPECT_GT(Written, Rounds / 10);
}

} // namespace
