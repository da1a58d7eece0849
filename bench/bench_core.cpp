// SPDX-License-Identifier: GPL-3.0-or-later
// The numeric core alone, without the window: the sealed and vented box models (curve fit, the
// Newton search for the -3 dB point, the 491-point response sweep), efficiency and advice, and
// the build dimensions with the seven vent lengths. "Core: whole chain" runs all of it once, as
// one press of "Calculate" does; the other rows break it down.

#include "BenchSupport.h"

#include "analysis/AnalysisCore.h"
#include "boxvent/BoxCore.h"
#include "driver/DriverCore.h"
#include "models/SealedModel.h"
#include "models/VentedModel.h"
#include "moreboxes/MoreBoxesCore.h"

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

// The sample driver for the More Boxes tab and the Analysis tab: its snapshot as the window hands it
// over, with a 6-ohm voice coil.
analysis::DriverSnapshot sampleSnapshot()
{
    analysis::DriverSnapshot d;
    d.fs = SampleDriver::Fs, d.qts = SampleDriver::Qts, d.qes = SampleDriver::Qes, d.vas = SampleDriver::VasCuFt;
    d.sensitivity = 88, d.maxPower = 100, d.sd = 0.022, d.xmax = 0.005, d.re = 6, d.le = 0.0005;
    return d;
}

// One radiator of 500 cm2, 100 g and 2 cu ft for the vented fit's volume and tuning.
moreboxes::RadiatorInput sampleRadiator()
{
    moreboxes::RadiatorInput in;
    in.sd = 500, in.mms = 100, in.vas = 2, in.qms = 5, in.xmax = 15, in.count = 1, in.vb = 2.70, in.fb = 30.4;
    return in;
}

void BM_MoreBoxesRadiator(benchmark::State &state)
{
    kelvanebench::setTargetMicroseconds(state, 1000);
    const analysis::DriverSnapshot d = sampleSnapshot();
    const moreboxes::RadiatorInput in = sampleRadiator();
    for (auto _ : state) {
        const moreboxes::RadiatorResult r = moreboxes::designRadiator(d, in, SampleDriver::Qloss);
        moreboxes::RadiatorCaptions c = moreboxes::radiatorCaptions(in, r);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_MoreBoxesRadiator)->Name("More boxes: passive radiator (design, F3, peak, excursion, captions)");

void BM_MoreBoxesBandpass(benchmark::State &state)
{
    kelvanebench::setTargetMicroseconds(state, 1000);
    const analysis::DriverSnapshot d = sampleSnapshot();
    moreboxes::BandpassInput in;
    in.ventDiameter = 4;
    for (auto _ : state) {
        const moreboxes::BandpassDesign design = moreboxes::bandpassChambers(d, in);
        const moreboxes::BandpassResult r = moreboxes::evaluateBandpass(d, design, in, SampleDriver::Qloss);
        moreboxes::BandpassCaptions c = moreboxes::bandpassCaptions(design, r, in);
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(BM_MoreBoxesBandpass)->Name("More boxes: bandpass (design, F3 points, gain, vent, captions)");

// One graph's data with all four boxes: the sealed and vented boxes of the Box Model tab, the
// passive-radiator box and the bandpass box, at 100 W.
void BM_AnalysisFourBoxes(benchmark::State &state, analysis::Graph graph)
{
    kelvanebench::setTargetMicroseconds(state, 5000);
    analysis::Snapshot s{true, sampleSnapshot(), {}};
    const moreboxes::RadiatorInput pr = sampleRadiator();
    moreboxes::BandpassInput bp;
    bp.ventDiameter = 4;
    const moreboxes::BandpassDesign design = moreboxes::bandpassChambers(s.driver, bp);
    s.boxes = {{analysis::BoxKind::Sealed, 1.93, 42.4, 0.707, 0, 0, {}},
               {analysis::BoxKind::Vented, 2.70, 0, 0, 30.4, SampleDriver::Qloss, {{4, 10, false}}},
               moreboxes::radiatorBox(pr, moreboxes::designRadiator(s.driver, pr, SampleDriver::Qloss), SampleDriver::Qloss),
               moreboxes::bandpassBox(design, bp, moreboxes::evaluateBandpass(s.driver, design, bp, SampleDriver::Qloss),
                                      SampleDriver::Qloss)};
    for (auto _ : state) {
        analysis::GraphData g = analysis::graphData(s, graph, 100, 0);
        benchmark::DoNotOptimize(g);
    }
}
using analysis::Graph;
BENCHMARK_CAPTURE(BM_AnalysisFourBoxes, spl, Graph::Spl)->Name("Analysis data, four boxes: sound pressure level");
BENCHMARK_CAPTURE(BM_AnalysisFourBoxes, maxspl, Graph::MaxSpl)->Name("Analysis data, four boxes: maximum SPL");
BENCHMARK_CAPTURE(BM_AnalysisFourBoxes, excursion, Graph::Excursion)
    ->Name("Analysis data, four boxes: cone and radiator excursion");
BENCHMARK_CAPTURE(BM_AnalysisFourBoxes, speed, Graph::VentSpeed)->Name("Analysis data, four boxes: vent air speed");
BENCHMARK_CAPTURE(BM_AnalysisFourBoxes, delay, Graph::GroupDelay)->Name("Analysis data, four boxes: group delay");
BENCHMARK_CAPTURE(BM_AnalysisFourBoxes, phase, Graph::Phase)->Name("Analysis data, four boxes: phase");
BENCHMARK_CAPTURE(BM_AnalysisFourBoxes, impedance, Graph::Impedance)->Name("Analysis data, four boxes: impedance");

} // namespace

BENCHMARK_MAIN();
