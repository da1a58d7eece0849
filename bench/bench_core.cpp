// The numeric core alone, without the window: the sealed and vented box models (curve fit, the
// Newton search for the -3 dB point, the 491-point response sweep), efficiency and advice, and
// the build dimensions with the seven vent lengths. "Core: whole chain" runs all of it once, as
// one press of "Calculate" does; the other rows break it down.

#include "BenchSupport.h"

#include "boxvent/BoxCore.h"
#include "driver/DriverCore.h"
#include "models/SealedModel.h"
#include "models/VentedModel.h"

using namespace kelvane;
using kelvanebench::SampleDriver;

namespace {

struct VentedResult {
    vented::Fit fit;
    double f3 = 0;
    vented::Response response;
};

VentedResult ventedChain(double fs, double qts, double vas, double qloss)
{
    const vented::Fit fit = vented::alignmentFit(fs, qts, vas, qloss);
    const double vb = fit.vb < 0 ? vented::highQVolume(vas, qts) : fit.vb;
    const vented::Coefficients c = vented::coefficients(fs, qts, vas, fit.fb, vb, qloss);
    const vented::Search search = vented::findMinus3dB(c);
    VentedResult r;
    r.fit = {fit.fb, vb};
    r.f3 = search.found ? vented::f3FromRoot(c, search.x, fs) : 0.0;
    r.response = vented::responseSweep(fs, qts, qloss, c);
    return r;
}

// Build volumes, the three inside dimensions of both boxes and the seven vent lengths.
double dimensionsChain(double vbSealed, double vbVented, double fb)
{
    double sum = 0;
    const double sealedBuild = boxvent::buildVolume(vbSealed, 0, 100);
    const double ventedBuild = boxvent::buildVolume(vbVented, 0, 100);
    for (int i = 0; i < 3; ++i) {
        const double product = boxvent::SideRatios[std::size_t(i)].product;
        const auto s = boxvent::dimensionsFromDepth(i, boxvent::insideDepth(sealedBuild, product));
        const auto v = boxvent::dimensionsFromDepth(i, boxvent::insideDepth(ventedBuild, product));
        sum += s.height + s.width + s.depth + v.height + v.width + v.depth;
    }
    const double vbCuIn = vbVented * 1728;
    for (double d : boxvent::StandardVentDiameters)
        sum += boxvent::ventLength(d, fb, vbCuIn);
    sum += boxvent::ventLength(2.5, fb, vbCuIn);
    return sum;
}

void BM_CoreSealed(benchmark::State &state)
{
    for (auto _ : state) {
        sealed::Design d = sealed::forQtc(SampleDriver::Fs, SampleDriver::Qts, SampleDriver::VasCuFt,
                                          SampleDriver::Qtc);
        benchmark::DoNotOptimize(d);
    }
}
BENCHMARK(BM_CoreSealed)->Name("Core: sealed box");

void BM_CoreVented(benchmark::State &state)
{
    for (auto _ : state) {
        VentedResult r = ventedChain(SampleDriver::Fs, SampleDriver::Qts, SampleDriver::VasCuFt,
                                     SampleDriver::Qloss);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_CoreVented)->Name("Core: vented box (fit, -3 dB search, sweep)");

// The worst the -3 dB search can do: a driver whose Newton search never settles and runs through
// every restart (6 rounds of 501 steps) before bisection finds the root.
void BM_CoreVentedSearchGivesUp(benchmark::State &state)
{
    kelvanebench::setTargetMicroseconds(state, 1000);
    const vented::Coefficients c = vented::coefficients(50, 2, 40, 5, 0.5, 10);
    for (auto _ : state) {
        vented::Search s = vented::findMinus3dB(c);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_CoreVentedSearchGivesUp)->Name("Core: -3 dB search, worst case (bisection)")
    ->Unit(benchmark::kMillisecond);

void BM_CoreEfficiency(benchmark::State &state)
{
    for (auto _ : state) {
        driver::Efficiency e = driver::efficiency(SampleDriver::Fs, SampleDriver::VasCuFt, SampleDriver::Qes);
        QString advice = driver::recommendation(e.ebp);
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(advice);
    }
}
BENCHMARK(BM_CoreEfficiency)->Name("Core: efficiency and advice");

void BM_CoreDimensions(benchmark::State &state)
{
    for (auto _ : state) {
        double sum = dimensionsChain(1.93, 2.70, 30.4);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_CoreDimensions)->Name("Core: dimensions and vent lengths");

void BM_CoreChain(benchmark::State &state)
{
    kelvanebench::setTargetMicroseconds(state, 50);
    for (auto _ : state) {
        const sealed::Design s = sealed::forQtc(SampleDriver::Fs, SampleDriver::Qts,
                                                SampleDriver::VasCuFt, SampleDriver::Qtc);
        VentedResult v = ventedChain(SampleDriver::Fs, SampleDriver::Qts, SampleDriver::VasCuFt,
                                     SampleDriver::Qloss);
        const driver::Efficiency e = driver::efficiency(SampleDriver::Fs, SampleDriver::VasCuFt,
                                                        SampleDriver::Qes);
        QString advice = driver::recommendation(e.ebp);
        double sum = dimensionsChain(s.vb, v.fit.vb, v.fit.fb);
        benchmark::DoNotOptimize(v);
        benchmark::DoNotOptimize(advice);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_CoreChain)->Name("Core: whole chain");

} // namespace

BENCHMARK_MAIN();
