// Friction functions of the duct sheet: Reynolds number and the Darcy
// friction factor from the Colebrook equation with its smooth-pipe,
// fully-rough and laminar limits, and the equivalent round diameter of a
// rectangular duct (Huebscher). Every function raises EMathError
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

// Steps taken by the last SmoothFriction / ColebrookFriction call of this
// thread (for tests and diagnostics).
int LastFrictionSteps();

} // namespace oravent
