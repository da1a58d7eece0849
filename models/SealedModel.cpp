// SPDX-License-Identifier: GPL-3.0-or-later
#include "models/SealedModel.h"

#include "common/Checked.h"

#include <cmath>

namespace kelvane::sealed {

double minus3dB(double fc, double qtc)
{
    const double u = checked(1.0 / (qtc * qtc) - 2.0, "sealed F3");
    return checked(fc * std::sqrt((u + std::sqrt(u * u + 4.0)) / 2.0), "sealed F3");
}

Peak peak(double fc, double qtc)
{
    // The threshold is computed, not written as a rounded constant, so 0.707 stays below it.
    const double threshold = 1.0 / std::sqrt(2.0);
    if (!(qtc > threshold))
        return {};
    Peak p;
    p.freq = checked(fc / std::sqrt(1.0 - 1.0 / (2.0 * qtc * qtc)), "sealed peak");
    const double gain = std::sqrt(std::pow(qtc, 4) / (qtc * qtc - 0.25));
    p.dB = checked(20.0 * std::log(gain) / std::log(10.0), "sealed peak");
    return p;
}

namespace {

Design finish(Design d)
{
    d.f3 = minus3dB(d.fc, d.qtc);
    const Peak p = peak(d.fc, d.qtc);
    d.peakdB = p.dB;
    d.peakFreq = p.freq;
    return d;
}

} // namespace

Design forQtc(double fs, double qts, double vas, double qtc)
{
    Design d;
    d.qtc = qtc;
    d.alpha = checked(std::pow(qtc / qts, 2) - 1.0, "sealed alpha");
    d.fc = checked(qtc * fs / qts, "sealed Fc");
    d.vb = checked(vas / d.alpha, "sealed volume");
    return finish(d);
}

Design forVolume(double fs, double qts, double vas, double vb)
{
    Design d;
    d.vb = vb;
    d.alpha = checked(vas / vb, "sealed alpha");
    d.fc = checked(fs * std::sqrt(d.alpha + 1.0), "sealed Fc");
    d.qtc = checked(d.fc * qts / fs, "sealed Qtc");
    return finish(d);
}

} // namespace kelvane::sealed
