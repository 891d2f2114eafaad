// Secant root finder used by the duct sheet to find the missing side of a
// rectangular duct. The owner supplies the function; the search starts at a
// given value and at a second point offset by Step, which carries over from
// one search to the next. Every ending, including an arithmetic failure of
// the function, is reported through Status; Solve never raises.
#pragma once

#include <cstdint>
#include <functional>

namespace oravent {

using TRootFunction = std::function<double(double)>;

class TRoot {
public:
    // How the last Solve ended.
    enum : std::uint8_t {
        rsSearching = 0, // never seen after Solve returns
        rsConverged = 4, // the two points are within Tolerance: result the first point
        rsMaxIter = 8,   // MaxIterations steps without convergence: result the first point
        rsStartOrFail =
            11,      // start value already a zero (result it), or arithmetic failure (result 0)
        rsFlat = 14, // function values differ by at most 1e-20: result the start value
    };

    // Stores both callables (an empty derivative installs NumericDerivative),
    // then SetLimits(50, 1e-6) and SetStep(0.1). The function may signal an
    // arithmetic failure by raising EMathError or by returning a non-finite
    // value.
    explicit TRoot(TRootFunction AFn, TRootFunction ADerivative = {});
    TRoot(const TRoot& Other);
    TRoot& operator=(const TRoot& Other);

    void SetLimits(int AMaxIterations, double ATolerance);
    void SetStep(double AStep);

    double Solve(double X0);
    // Forward-difference derivative; stores its difference h in Step. It
    // raises EMathError when the function fails.
    double NumericDerivative(double X);

    TRootFunction Fn;
    TRootFunction Derivative;
    double LastValue = 0.0;
    double Tolerance = 1e-6;
    double Step = 0.1;
    int MaxIterations = 50;
    int Iterations = 0;
    std::uint8_t Status = rsSearching;

private:
    double Eval(double X);
    void BindOwnDerivative();
    bool FOwnDerivative = false;
};

} // namespace oravent
