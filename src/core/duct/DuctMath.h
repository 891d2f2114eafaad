// Checked arithmetic for the duct calculations. Floating-point operations do
// not trap, so every operation that can fail (division by zero, logarithm of
// a non-positive number, square root of a negative number, fractional power
// of a non-positive number, overflow to infinity, a NaN operand) is tested
// here and raises EMathError before its result is assigned anywhere.
#pragma once

#include <cmath>
#include <stdexcept>

namespace oravent {

// An arithmetic failure inside a duct calculation.
class EMathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace ductmath {

[[noreturn]] void Fail(const char* What);

// The value itself when it is a finite number; raises otherwise (overflow or
// a NaN that came in through an operand).
inline double Finite(double X) {
    if (!std::isfinite(X)) Fail("overflow or invalid operand");
    return X;
}

inline double Div(double A, double B) {
    if (B == 0.0) Fail("division by zero");
    return Finite(A / B);
}

inline double Sqrt(double X) {
    if (!(X >= 0.0)) Fail("square root of a negative number");
    return Finite(std::sqrt(X));
}

inline double Log10(double X) {
    if (!(X > 0.0)) Fail("logarithm of a non-positive number");
    return Finite(std::log10(X));
}

// X to a fractional power Y; X must be positive.
inline double Pow(double X, double Y) {
    if (!(X > 0.0)) Fail("fractional power of a non-positive number");
    return Finite(std::pow(X, Y));
}

} // namespace ductmath
} // namespace oravent
