#include "duct/TRoot.h"

#include <cmath>
#include <utility>

#include "duct/DuctMath.h"

namespace oravent {

void ductmath::Fail(const char* What) {
    throw EMathError(What);
}

namespace {
constexpr double FlatLimit = 1e-20;
} // namespace

TRoot::TRoot(TRootFunction AFn, TRootFunction ADerivative)
    : Fn(std::move(AFn)), Derivative(std::move(ADerivative)) {
    if (!Derivative) BindOwnDerivative();
    SetLimits(50, 1e-6);
    SetStep(0.1);
}

TRoot::TRoot(const TRoot& Other) {
    *this = Other;
}

TRoot& TRoot::operator=(const TRoot& Other) {
    if (this != &Other) {
        Fn = Other.Fn;
        Derivative = Other.Derivative;
        LastValue = Other.LastValue;
        Tolerance = Other.Tolerance;
        Step = Other.Step;
        MaxIterations = Other.MaxIterations;
        Iterations = Other.Iterations;
        Status = Other.Status;
        FOwnDerivative = false;
        if (Other.FOwnDerivative) BindOwnDerivative();
    }
    return *this;
}

void TRoot::BindOwnDerivative() {
    Derivative = [this](double X) { return NumericDerivative(X); };
    FOwnDerivative = true;
}

void TRoot::SetLimits(int AMaxIterations, double ATolerance) {
    MaxIterations = AMaxIterations;
    Tolerance = ATolerance;
}

void TRoot::SetStep(double AStep) {
    Step = AStep;
}

double TRoot::Eval(double X) {
    return ductmath::Finite(Fn(X));
}

double TRoot::Solve(double X0) {
    Iterations = 0;
    try {
        double fa = Eval(X0);
        LastValue = fa;
        if (std::fabs(fa) <= Tolerance) {
            Status = rsStartOrFail;
            return X0;
        }
        double xa = X0;
        double xb = ductmath::Finite(X0 + Step);
        double fb = Eval(xb);
        bool toggle = false;
        Status = rsSearching;
        while (Status == rsSearching) {
            const double df = fb - fa;
            if (std::fabs(df) <= FlatLimit) {
                Status = rsFlat;
                return X0;
            }
            if (toggle) {
                xa = ductmath::Finite(xa - ductmath::Div(Step * fa, df));
                fa = Eval(xa);
                LastValue = fa;
            } else {
                xb = ductmath::Finite(xb - ductmath::Div(Step * fb, df));
                fb = Eval(xb);
            }
            toggle = !toggle;
            Step = ductmath::Finite(xb - xa);
            if (std::fabs(Step) <= Tolerance) Status = rsConverged;
            ++Iterations;
            if (Iterations >= MaxIterations) Status = rsMaxIter;
        }
        return xa;
    } catch (const EMathError&) {
        Status = rsStartOrFail;
        return 0.0;
    }
}

double TRoot::NumericDerivative(double X) {
    double h = std::fabs(X) * 3.44e-4;
    if (h == 0.0) h = 3.44e-4;
    h = (X + h) - X;
    Step = h;
    LastValue = Eval(X);
    return ductmath::Div(Eval(X + h) - LastValue, h);
}

} // namespace oravent
