// SPDX-License-Identifier: GPL-3.0-or-later
#include "crossover/CrossoverCore.h"

#include "common/Checked.h"
#include "common/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace crossover {

namespace {

using std::numbers::sqrt2;

const Alignment Alignments[TypeCount] = {
    {"First Order Butterworth", {1.0}, Polarity::Normal},
    {"Second Order Butterworth", {sqrt2, 1.0 / sqrt2}, Polarity::Reversed},
    {"Second Order Linkwitz-Riley", {2.0, 0.5}, Polarity::Reversed},
    {"Third Order Butterworth", {1.5, 4.0 / 3.0, 0.5}, Polarity::Either},
    {"Fourth Order Linkwitz-Riley", {4.0 * sqrt2 / 3.0, 9.0 * sqrt2 / 8.0, 2.0 * sqrt2 / 3.0, sqrt2 / 4.0},
     Polarity::Normal},
};

// A component value the builder can buy: finite, positive and not lost in rounding.
double usable(double value)
{
    if (!std::isnormal(value) || value <= 0)
        throw kelvane::CalcFault("component value");
    return value;
}

// Radians per second of f Hz.
double omega(double freqHz)
{
    return 2.0 * std::numbers::pi * freqHz;
}

} // namespace

const Alignment &alignment(int type)
{
    return Alignments[std::clamp(type, 0, TypeCount - 1)];
}

Section lowPass(int type, double ohms, double freqHz)
{
    Section out;
    const std::vector<double> &values = alignment(type).lowPass;
    for (std::size_t i = 0; i < values.size(); ++i) {
        // Even positions (from 0) are series inductors, odd ones shunt capacitors.
        if (i % 2 == 0)
            out.push_back({Component::Inductor, false, usable(values[i] * ohms / omega(freqHz))});
        else
            out.push_back({Component::Capacitor, true, usable(values[i] / (ohms * omega(freqHz)))});
    }
    return out;
}

Section highPass(int type, double ohms, double freqHz)
{
    Section out;
    const std::vector<double> &values = alignment(type).lowPass;
    for (std::size_t i = 0; i < values.size(); ++i) {
        // The dual: a series capacitor 1/l for the inductor l, a shunt inductor 1/c for the
        // capacitor c.
        const double dual = 1.0 / values[i];
        if (i % 2 == 0)
            out.push_back({Component::Capacitor, false, usable(dual / (ohms * omega(freqHz)))});
        else
            out.push_back({Component::Inductor, true, usable(dual * ohms / omega(freqHz))});
    }
    return out;
}

Zobel zobel(double reOhms, double leHenries)
{
    if (reOhms == 0 || leHenries == 0)
        return {};
    const double r = usable(1.25 * reOhms);
    return {true, r, usable(leHenries / (r * r))};
}

double nearestE12(double value)
{
    static constexpr double Series[] = {1.0, 1.2, 1.5, 1.8, 2.2, 2.7, 3.3, 3.9, 4.7, 5.6, 6.8, 8.2, 10.0};
    usable(value);
    const double scale = std::pow(10.0, std::floor(std::log10(value)));
    const double mantissa = value / scale;
    double best = Series[0];
    double bestDistance = std::numeric_limits<double>::infinity();
    for (double e : Series) {
        const double distance = std::abs(std::log(mantissa / e));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = e;
        }
    }
    return kelvane::checked(best * scale, "E12 value");
}

std::complex<double> transfer(const Section &section, double loadOhms, double freqHz)
{
    // Walk from the load back to the amplifier with 1 V across the load: a shunt element adds its
    // current, a series element adds its voltage drop. The amplifier's voltage is then the
    // inverse of the transfer.
    const std::complex<double> s(0.0, omega(freqHz));
    std::complex<double> v = 1.0;
    std::complex<double> i = v / loadOhms;
    for (auto it = section.rbegin(); it != section.rend(); ++it) {
        const std::complex<double> z = it->kind == Component::Inductor ? s * it->value : 1.0 / (s * it->value);
        if (it->shunt)
            i += v / z;
        else
            v += i * z;
    }
    return 1.0 / v;
}

double levelDb(const Section &section, double loadOhms, double freqHz)
{
    return 20.0 * std::log10(std::abs(transfer(section, loadOhms, freqHz)));
}

Design design(const Input &in)
{
    Design d;
    d.in = in;
    d.woofer = lowPass(in.type, in.wooferOhms, in.wooferHz);
    d.tweeter = highPass(in.type, in.tweeterOhms, in.tweeterHz);
    d.zobel = zobel(in.reOhms, in.leHenries);
    d.tweeterSign = alignment(in.type).polarity == Polarity::Reversed ? -1.0 : 1.0;
    // Every value shown must have its E12 neighbour too, in the unit it is shown in (mH, µF): a
    // capacitance that is a number in farads may still overflow in microfarads.
    for (const Section *section : {&d.woofer, &d.tweeter})
        for (const Component &c : *section)
            nearestE12(c.value * (c.kind == Component::Inductor ? 1e3 : 1e6));
    if (d.zobel.used) {
        nearestE12(d.zobel.ohms);
        nearestE12(d.zobel.farads * 1e6);
    }
    return d;
}

Levels levels(const Design &d, double freqHz)
{
    const std::complex<double> woofer = transfer(d.woofer, d.in.wooferOhms, freqHz);
    const std::complex<double> tweeter = transfer(d.tweeter, d.in.tweeterOhms, freqHz);
    const auto db = [](std::complex<double> h) { return 20.0 * std::log10(std::abs(h)); };
    return {db(woofer), db(tweeter), db(woofer + d.tweeterSign * tweeter)};
}

QString valueText(const Component &c)
{
    return c.kind == Component::Inductor ? kelvane::formatNumber(c.value * 1e3, QStringLiteral("#0.000 mH"))
                                         : faradsText(c.value);
}

QString e12Text(const Component &c)
{
    return c.kind == Component::Inductor ? kelvane::generalNumber(nearestE12(c.value * 1e3)) + QStringLiteral(" mH")
                                         : e12FaradsText(c.value);
}

QString ohmsText(double ohms)
{
    return kelvane::formatNumber(ohms, QStringLiteral("#0.00 Ohms"));
}

QString e12OhmsText(double ohms)
{
    return kelvane::generalNumber(nearestE12(ohms)) + QStringLiteral(" Ohms");
}

QString faradsText(double farads)
{
    return kelvane::formatNumber(farads * 1e6, QStringLiteral("#0.00 µF"));
}

QString e12FaradsText(double farads)
{
    return kelvane::generalNumber(nearestE12(farads * 1e6)) + QStringLiteral(" µF");
}

QString partName(const Component &c, int index)
{
    return (c.kind == Component::Inductor ? QStringLiteral("L") : QStringLiteral("C")) + QString::number(index + 1);
}

QStringList notes(const Design &d)
{
    QStringList out;
    switch (alignment(d.in.type).polarity) {
    case Polarity::Normal:
        out << QStringLiteral("Connect the tweeter in normal polarity (+ to +).");
        break;
    case Polarity::Reversed:
        out << QStringLiteral("Connect the tweeter in reversed polarity (its + terminal to the amplifier's -).");
        if (d.in.type == 1)
            out << QStringLiteral("The sum still rises 3 dB at a shared crossover frequency; its power is flat.");
        break;
    case Polarity::Either:
        out << QStringLiteral("The tweeter may be connected in either polarity; the plot shows normal polarity.");
        break;
    }
    if (d.in.tweeterFs > 0 && d.in.tweeterHz < 2.0 * d.in.tweeterFs)
        out << QStringLiteral("Warning: the tweeter crossover frequency is below twice the tweeter's Fs (")
                   + kelvane::formatNumber(2.0 * d.in.tweeterFs, QStringLiteral("#,##0 Hz)."));
    out << QStringLiteral("The values assume the drivers are resistive loads of their nominal impedance")
               + (d.zobel.used ? QStringLiteral("; the Zobel network holds the woofer's rising impedance down.")
                               : QStringLiteral("; enter the woofer's Re and Le for a Zobel network."));
    return out;
}

namespace plot {

namespace {
// ln of the span of the axis (three decades).
const double LogSpan = std::log(LastHz / FirstHz);
}

double x(double freqHz)
{
    return Left + (Right - Left) * std::log(freqHz / FirstHz) / LogSpan;
}

double y(double levelDb)
{
    return Top + UnitsPerDb * (TopDb - levelDb);
}

double freqAtX(double xUnits)
{
    return FirstHz * std::exp((xUnits - Left) / (Right - Left) * LogSpan);
}

double levelAtY(double yUnits)
{
    return TopDb - (yUnits - Top) / UnitsPerDb;
}

bool inside(double xUnits, double yUnits)
{
    return xUnits > Left && xUnits < Right && yUnits > Top && yUnits < Bottom;
}

std::array<std::vector<Point>, 3> allCurvePoints(const Design &d, double step)
{
    std::array<std::vector<Point>, 3> out;
    const int steps = int(std::floor((Right - Left) / step + 1e-9));
    for (auto &points : out)
        points.reserve(std::size_t(steps) + 1);
    for (int i = 0; i <= steps; ++i) {
        const double xUnits = Left + i * step;
        const Levels l = levels(d, freqAtX(xUnits));
        int c = 0;
        for (double level : {l.woofer, l.tweeter, l.sum}) {
            // A section far from its crossover frequency can pass nothing at all (-inf dB): that is
            // the floor. Only a level that is not a number is a fault.
            if (std::isnan(level))
                throw kelvane::CalcFault("crossover response");
            out[std::size_t(c++)].push_back({xUnits, std::clamp(y(level), Top, Bottom)});
        }
    }
    return out;
}

} // namespace plot

} // namespace crossover
