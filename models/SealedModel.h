// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Closed-box alignment: the second-order high-pass of a driver in a sealed box. Plain functions of
// the driver's Fs (Hz), Qts and Vas (cubic feet); every result is finite or CalcFault is thrown.

namespace kelvane::sealed {

struct Design {
    double qtc = 0;      // system total Q
    double alpha = 0;    // compliance ratio Vas / Vb
    double vb = 0;       // net box volume, cubic feet
    double fc = 0;       // system resonance, Hz
    double f3 = 0;       // -3 dB frequency, Hz
    double peakdB = 0;   // response peak above the pass band, dB; 0 when there is none
    double peakFreq = 0; // frequency of that peak, Hz; 0 when there is none
};

// The box that gives the target Qtc: alpha = (Qtc/Qts)^2 - 1, Fc = Qtc Fs / Qts, Vb = Vas / alpha.
Design forQtc(double fs, double qts, double vas, double qtc);

// The Qtc that a given box volume (cubic feet) gives: alpha = Vas / Vb, Fc = Fs sqrt(alpha + 1),
// Qtc = Fc Qts / Fs.
Design forVolume(double fs, double qts, double vas, double vb);

// -3 dB frequency of a second-order high-pass: Fc sqrt((u + sqrt(u^2 + 4)) / 2), u = 1/Qtc^2 - 2.
double minus3dB(double fc, double qtc);

struct Peak {
    double dB = 0;
    double freq = 0;
};

// Peak of the response for Qtc above 1/sqrt(2): at Fc / sqrt(1 - 1/(2 Qtc^2)), of
// 20 log10(sqrt(Qtc^4 / (Qtc^2 - 0.25))) dB. Qtc of 1/sqrt(2) or below has no peak (0 dB at 0 Hz).
Peak peak(double fc, double qtc);

} // namespace kelvane::sealed
