// SPDX-License-Identifier: GPL-3.0-or-later
// Measuring a driver: a 500-point impedance file (10 Hz to 20 kHz, a woofer with a lossy voice coil
// and a ripple of 1 %) read and measured in free air (the standard method and the least-squares
// fit of the whole curve), with Re typed and with Re taken from the fit, and the check of a built
// vented box. The files are made up here from the driver model.

#include "BenchSupport.h"

#include "measure/MeasureCore.h"

#include <cmath>

using namespace kelvane::measure;
using kelvane::driverdata::Kind;

namespace {

const DriverModel Woofer{5.8, 45, 4.5, 0.5, 0.4e-3, 0.6e-3, 8};

QByteArray sampleFile(bool box)
{
    QByteArray text = "* made-up driver\nFreq[Hz]  Ohm  Phase[Deg]\n";
    for (int i = 0; i < 500; ++i) {
        const double f = 10 * std::pow(2000.0, i / 499.0);
        const std::complex<double> z = box ? ventedImpedance(Woofer, 1.5, 40, 7, f) : impedance(Woofer, f);
        const double ripple = 1 + 0.01 * std::sin(i * 2.7);
        text += QByteArray::number(f, 'f', 3) + ' ' + QByteArray::number(std::abs(z) * ripple, 'f', 4) + ' '
                + QByteArray::number(std::arg(z) * 180 / 3.14159265358979, 'f', 3) + '\n';
    }
    return text;
}

void BM_MeasureFile(benchmark::State &state, bool reTyped)
{
    const QByteArray text = sampleFile(false);
    for (auto _ : state) {
        const auto read = kelvane::driverdata::readCurve(text, Kind::Impedance, QStringLiteral("woofer.zma"));
        benchmark::DoNotOptimize(measureFreeAir(*read.curve, reTyped ? 5.8 : 0));
    }
    kelvanebench::setTargetMicroseconds(state, 50000);
}
BENCHMARK_CAPTURE(BM_MeasureFile, typed, true)
    ->Name("Measure driver: 500-point file read and fitted, Re typed")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_MeasureFile, fitted, false)
    ->Name("Measure driver: 500-point file read and fitted, Re from the fit")
    ->Unit(benchmark::kMillisecond);

void BM_CheckBox(benchmark::State &state)
{
    const Curve curve = *kelvane::driverdata::readCurve(sampleFile(true), Kind::Impedance).curve;
    for (auto _ : state)
        benchmark::DoNotOptimize(checkVentedBox(curve, Woofer));
    kelvanebench::setTargetMicroseconds(state, 50000);
}
BENCHMARK(BM_CheckBox)->Name("Measure driver: 500-point vented box checked, leakage Q fitted")->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
