// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Vented-box (bass-reflex) alignment: curve fits for the tuning and volume, the fourth-order
// response polynomial, the Newton search for its -3 dB point and the response sweep. Plain
// functions of Fs (Hz), Qts, Vas (cubic feet), the enclosure loss Q, Fb (Hz) and Vb (cubic feet).
// A non-finite result throws CalcFault, except inside the Newton search, which reports failure.

#include <array>

namespace kelvane::vented {

struct Fit {
    double fb = 0; // tuning, Hz
    double vb = 0; // net volume, cubic feet (negative for high-Q drivers in the middle band)
};

// Tuning and volume proposed for the loss Q, from one of three curve fits: Qloss < 6,
// 6 <= Qloss <= 8, Qloss > 8.
Fit alignmentFit(double fs, double qts, double vas, double qloss);

// The volume used instead of a negative fitted one: 15 Vas Qts^2.87 (cubic feet).
double highQVolume(double vas, double qts);

// Coefficients of the normalised response polynomial (frequency normalised to sqrt(Fs Fb)).
struct Coefficients {
    double h = 0;     // tuning ratio Fb / Fs
    double alpha = 0; // compliance ratio Vas / Vb
    double a1 = 0, a2 = 0, a3 = 0;
};

// h = Fb/Fs, alpha = Vas/Vb, T = Ql Qts sqrt(h); A1 = (h Qts + Ql)/T,
// A2 = 1/(Ql Qts) + 1/h + alpha/h + h, A3 = (h Ql + Qts)/T.
Coefficients coefficients(double fs, double qts, double vas, double fb, double vb, double qloss);

// The -3 dB equation in the normalised frequency x and its derivative:
// F(x) = (A1 x^3 - A3 x)^2 - 2 x^8 + (x^4 - A2 x^2 + 1)^2.
double minus3dBResidual(const Coefficients &c, double x);
double minus3dBSlope(const Coefficients &c, double x);

// Newton steps taken before the search starts again from 1.5, and how often it may start again
// before the root is found by bisection instead (a search that has not settled after a few rounds
// rarely settles at all, and each round costs 501 evaluations).
constexpr int NewtonStepsPerRound = 500;
constexpr int NewtonRestarts = 5;

struct Search {
    bool found = false;
    double x = 0;  // the root (possibly the negative one) when found
    int steps = 0; // Newton steps taken in all
};

// Newton search for F(x) = 0. The first step goes from 3.5 with the residual and slope at 0.1;
// the search ends when a step moves the estimate by 0.00001 or less. After every
// NewtonStepsPerRound steps without that, the next step is taken from 1.5 (with the residual and
// slope of the last estimate); after maxRestarts such restarts, or on a step that is not finite
// (a zero slope), the search gives up and reports found = false.
Search searchMinus3dB(const Coefficients &c, int maxRestarts = NewtonRestarts);

// F(x) = 0 by bracketing and bisection, for a search that does not settle. F is 1 at x = 0 and
// falls like -x^8, so it always has a positive root; the highest one is taken (above it the
// response stays within 3 dB of its final level). The walk starts at Cauchy's bound on the roots
// of F as a quartic in x^2 and steps down by 1 % to the first point below -3 dB; bisection then
// narrows the bracket to 0.00001 or less, as the Newton search settles (or, for a root so large
// that doubles lie further apart, until no number lies between its ends). found = false only when
// F itself is not finite there.
Search bracketMinus3dB(const Coefficients &c);

// The Newton search, and bisection where it does not settle.
Search findMinus3dB(const Coefficients &c);

// The -3 dB frequency of a found root: sqrt(h) |x| Fs.
double f3FromRoot(const Coefficients &c, double x, double fs);

using Curve = std::array<double, 501>;

struct Response {
    Curve dB{};        // entries 10..500 hold the response at that whole hertz; 0..9 stay 0
    double peakdB = 0; // the largest value, or 0 when it is below 0.01 dB
    double peakFreq = 0;
};

// Response in dB at every whole hertz from 10 to 500: with y = f/Fs,
// 20 log10(y^4 / sqrt((y^4 - C y^2 + A)^2 + (B y - D y^3)^2)), A = h^2, B = h/Ql + h^2/Qts,
// C = h/(Ql Qts) + h^2 + 1 + alpha, D = h/Ql + 1/Qts. Ties keep the lower frequency.
Response responseSweep(double fs, double qts, double qloss, const Coefficients &c);

} // namespace kelvane::vented
