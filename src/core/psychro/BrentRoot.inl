// Brent's bracketed root search: inverse quadratic interpolation and secant
// steps inside a bracket that always shrinks, with bisection whenever the
// interpolation is too slow. Converges for any continuous f with a sign
// change; the iteration count is capped so a call always ends.
#pragma once

#include <cmath>
#include <limits>
#include <utility>

namespace oravent::psy {

template <class F> double BrentRoot(F f, double lo, double hi, double flo, double fhi, double tol) {
    double a = lo, b = hi, fa = flo, fb = fhi;
    if (fa == 0.0) return a;
    if (fb == 0.0) return b;
    double c = a, fc = fa;
    double d = b - a, e = d;
    constexpr double eps = std::numeric_limits<double>::epsilon();
    for (int iter = 0; iter < 200; ++iter) {
        if ((fb > 0.0) == (fc > 0.0)) {
            c = a;
            fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b;
            b = c;
            c = a;
            fa = fb;
            fb = fc;
            fc = fa;
        }
        const double tol1 = 2.0 * eps * std::fabs(b) + 0.5 * tol;
        const double m = 0.5 * (c - b);
        if (std::fabs(m) <= tol1 || fb == 0.0) return b;
        if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
            double p, q;
            const double s = fb / fa;
            if (a == c) {
                p = 2.0 * m * s;
                q = 1.0 - s;
            } else {
                const double qa = fa / fc, r = fb / fc;
                p = s * (2.0 * m * qa * (qa - r) - (b - a) * (r - 1.0));
                q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0)
                q = -q;
            else
                p = -p;
            if (2.0 * p < std::fmin(3.0 * m * q - std::fabs(tol1 * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = m;
                e = m;
            }
        } else {
            d = m;
            e = m;
        }
        a = b;
        fa = fb;
        b += (std::fabs(d) > tol1) ? d : (m > 0.0 ? tol1 : -tol1);
        fb = f(b);
        if (!std::isfinite(fb)) {
            // Should not happen inside a valid bracket; fall back to halving.
            b = a + m;
            fb = f(b);
            if (!std::isfinite(fb)) return a;
        }
    }
    return b;
}

} // namespace oravent::psy
