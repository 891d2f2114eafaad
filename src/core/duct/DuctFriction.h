// Friction functions of the duct sheet: Reynolds number and the Darcy
// friction factor from the Colebrook equation with its smooth-pipe,
// fully-rough and laminar limits, and the equivalent round diameter of a
// rectangular duct (Huebscher) with its inverse. Every function raises EMathError
// (duct/DuctMath.h) on an arithmetic failure instead of returning NaN or inf.
#pragma once

namespace oravent {

// ρ·V·D/μ.
double ReynoldsNumber(double Density, double Velocity, double Diameter, double Viscosity);
// Darcy friction factor for Reynolds number Re, diameter D (m), absolute
// roughness Eps (m); F0 is the previous factor and the start value.
double DarcyFriction(double Re, double D, double Eps, double F0);
// 1/√f = 2·log10(Re·√f) − 0.8 by direct substitution (at most 21 steps).
double SmoothFriction(double Re, double F0);
// Colebrook for relative roughness R: one Newton step, then secant steps
// (at most 21 steps in all).
double ColebrookFriction(double Re, double R, double F0);
// Fully rough limit 1/(1.14 − 2·log10 R)².
double RoughFriction(double R);
// 64/Re, with 0.02 in place of a value above 1.
double LaminarFriction(double Re);
// Equivalent round diameter of an H × W rectangle: 1.3·(H·W)^0.625/(H+W)^0.25.
double EquivalentDiameter(double H, double W);
// The side X > 0 with EquivalentDiameter(X, Other) = D, to the last bit the
// doubles allow: a start value (Guess when positive, else D) is halved or
// doubled until it brackets the side, then the bracket is bisected. Raises
// EMathError when D or Other is not a positive finite number or when the
// side is too small or too large for a double.
double RectangleSide(double D, double Other, double Guess = 0.0);

// Steps taken by the last SmoothFriction / ColebrookFriction call of this
// thread (for tests and diagnostics).
int LastFrictionSteps();

} // namespace oravent
