// SPDX-License-Identifier: GPL-3.0-or-later
// The crossover simulated on its drivers: the whole simulation over the 480-point grid with both
// drivers' response and impedance files loaded (the network solve, the drivers' sound through it and
// the sum), the nodal solve alone, and loading a 30,000-point file (reading the text and bringing
// the curve onto the grid; without phase, the minimum phase too). The files are made up here.
// The crossover as built: one evaluation of the network on the optimizer's points (200 Hz to 10 kHz,
// 48 to the octave) by the ladder walk (and the nodal solve beside it), and whole optimizer runs.

#include "BenchSupport.h"

#include "crossover/Optimizer.h"
#include "crossover/Simulation.h"
#include "driverdata/DriverData.h"

#include <cmath>
#include <complex>
#include <numbers>

using namespace crossover;
using kelvane::driverdata::Kind;
using cplx = std::complex<double>;

namespace {

constexpr double Pi = std::numbers::pi;

// A measured-looking text file of `points` points spaced evenly from 10 Hz to 24 kHz, as an FFT
// export is: a response (a band-pass driver with a 0.3 ms time of flight) or an impedance (Re,
// Le and a resonance).
QByteArray sampleFile(Kind kind, int points, bool phase, double fs, double fc)
{
    QByteArray text = kind == Kind::Response ? "* made-up driver\nFreq[Hz]  dBSPL  Phase[Deg]\n"
                                             : "* made-up driver\nFreq[Hz]  Ohm  Phase[Deg]\n";
    for (int i = 0; i < points; ++i) {
        const double f = 10 + (24000.0 - 10) * i / (points - 1);
        const cplx s(0, f / fs);
        cplx v;
        if (kind == Kind::Response)
            v = 2.0 * s * s / (s * s + s / 0.7 + 1.0) / (1.0 + cplx(0, f / fc)) * std::polar(1.0, -2 * Pi * f * 0.3e-3);
        else
            v = 6.0 + cplx(0, 2 * Pi * f * 0.4e-3) + 40.0 * s / 2.0 / (s * s + s / 2.0 + 1.0);
        const double magnitude = kind == Kind::Response ? 88 + 20 * std::log10(std::abs(v)) : std::abs(v);
        text += QByteArray::number(f, 'f', 3) + '\t' + QByteArray::number(magnitude, 'f', 3);
        if (phase)
            text += '\t' + QByteArray::number(std::arg(v) * 180 / Pi, 'f', 2);
        text += '\n';
    }
    return text;
}

struct Loaded {
    Grid grid = logGrid();
    DriverCurves woofer, tweeter;
    Network network;
};

const Loaded &loaded()
{
    static const Loaded l = [] {
        Loaded x;
        const auto curve = [](Kind kind, double fs, double fc) {
            return *kelvane::driverdata::readCurve(sampleFile(kind, 2000, true, fs, fc), kind).curve;
        };
        x.woofer.response = responseOnGrid(curve(Kind::Response, 45, 3000), x.grid);
        x.woofer.impedance = impedanceOnGrid(curve(Kind::Impedance, 45, 3000), x.grid);
        x.tweeter.response = responseOnGrid(curve(Kind::Response, 900, 30000), x.grid);
        x.tweeter.impedance = impedanceOnGrid(curve(Kind::Impedance, 900, 30000), x.grid);
        Input in;
        in.type = 4, in.wooferOhms = 8, in.tweeterOhms = 6, in.wooferHz = 2500, in.tweeterHz = 2500;
        in.reOhms = 5.6, in.leHenries = 0.8e-3;
        const Design d = design(in);
        x.network = twoWayNetwork(usedSection(d.woofer, e12Values(d.woofer)), usedSection(d.tweeter, e12Values(d.tweeter)),
                                  e12Zobel(d.zobel));
        return x;
    }();
    return l;
}

void BM_SimulateWholeGrid(benchmark::State &state)
{
    const Loaded &l = loaded();
    for (auto _ : state)
        benchmark::DoNotOptimize(simulate(l.network, l.woofer, l.tweeter, {25, false}, l.grid));
    kelvanebench::setTargetMicroseconds(state, 1000);
}
BENCHMARK(BM_SimulateWholeGrid)->Name("Crossover on the drivers: whole grid simulated")->Unit(benchmark::kMicrosecond);

void BM_SolveOnly(benchmark::State &state)
{
    const Loaded &l = loaded();
    const Loads loads{l.woofer.impedance, l.tweeter.impedance};
    for (auto _ : state)
        benchmark::DoNotOptimize(solve(l.network, loads, l.grid));
}
BENCHMARK(BM_SolveOnly)->Name("Crossover on the drivers: nodal solve alone")->Unit(benchmark::kMicrosecond);

void BM_LoadFile(benchmark::State &state, Kind kind, bool phase)
{
    const QByteArray text = sampleFile(kind, 30000, phase, 45, 3000);
    const Grid grid = logGrid();
    for (auto _ : state) {
        const auto read = kelvane::driverdata::readCurve(text, kind, QStringLiteral("big.txt"));
        if (kind == Kind::Response)
            benchmark::DoNotOptimize(responseOnGrid(*read.curve, grid));
        else
            benchmark::DoNotOptimize(impedanceOnGrid(*read.curve, grid));
    }
    kelvanebench::setTargetMicroseconds(state, 20000);
}
BENCHMARK_CAPTURE(BM_LoadFile, response, Kind::Response, true)
    ->Name("Crossover on the drivers: 30,000-point response file loaded")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFile, minimumPhase, Kind::Response, false)
    ->Name("Crossover on the drivers: 30,000-point response file without phase loaded")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadFile, impedance, Kind::Impedance, true)
    ->Name("Crossover on the drivers: 30,000-point impedance file loaded")
    ->Unit(benchmark::kMillisecond);

// The network as built on the loaded drivers: fourth order at 2.5 kHz with the Zobel, a 3 dB pad and
// a 50 % baffle-step network, every coil with its resistance.
BuiltCrossover builtOnLoaded()
{
    Input in;
    in.type = 4, in.wooferOhms = 8, in.tweeterOhms = 6, in.wooferHz = 2500, in.tweeterHz = 2500;
    in.reOhms = 5.6, in.leHenries = 0.8e-3;
    const Design d = design(in);
    BuiltCrossover b;
    b.woofer = usedSection(d.woofer, e12Values(d.woofer));
    b.tweeter = usedSection(d.tweeter, e12Values(d.tweeter));
    b.zobel = d.zobel, b.padDb = 3, b.tweeterOhms = 6;
    b.baffle = baffleNetwork(50, 8, baffleStepHz(0.25));
    return b;
}

void BM_EvaluateOptimizerGrid(benchmark::State &state, bool ladder)
{
    const Loaded &l = loaded();
    const Grid grid = logGrid(OptimizeFromHz, OptimizeToHz, GridPointsPerOctave);
    Loads loads(2);
    for (std::size_t k = 0, j = 0; k < l.grid.size(); ++k)
        if (j < grid.size() && l.grid.hz[k] >= grid.hz[j]) {
            loads[0].push_back(l.woofer.impedance[k]), loads[1].push_back(l.tweeter.impedance[k]);
            ++j;
        }
    loads[0].resize(grid.size(), loads[0].back()), loads[1].resize(grid.size(), loads[1].back());
    const BuiltCrossover b = builtOnLoaded();
    const Network n = builtNetwork(b);
    for (auto _ : state) {
        if (ladder)
            benchmark::DoNotOptimize(ladderVoltages(b, loads, grid));
        else
            benchmark::DoNotOptimize(solve(n, loads, grid));
    }
    // The target is the optimizer's walk; the nodal solve is there to compare with.
    if (ladder)
        kelvanebench::setTargetMicroseconds(state, 200);
}
BENCHMARK_CAPTURE(BM_EvaluateOptimizerGrid, ladder, true)
    ->Name("Crossover as built: one network evaluation, 200 Hz-10 kHz (ladder walk)")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EvaluateOptimizerGrid, nodal, false)
    ->Name("Crossover as built: one network evaluation, 200 Hz-10 kHz (nodal solve)")
    ->Unit(benchmark::kMicrosecond);

// A whole optimizer run: on the synthetic pair (a woofer of 6 ohms and 1 mH of voice coil, flat at
// 88 dB; a flat 8-ohm tweeter at 93 dB; fourth order at 2 kHz, E12) and on the loaded drivers.
void BM_Optimize(benchmark::State &state, bool synthetic)
{
    OptimizeInput o;
    o.grid = logGrid();
    Input in;
    if (synthetic) {
        in.type = 4, in.wooferOhms = 8, in.tweeterOhms = 8, in.wooferHz = 2000, in.tweeterHz = 2000;
        o.woofer = nominalDriver(6, 88, o.grid);
        for (std::size_t k = 0; k < o.grid.size(); ++k)
            o.woofer.impedance[k] = cplx(6, 2 * Pi * o.grid.hz[k] * 1e-3);
        o.tweeter = nominalDriver(8, 93, o.grid);
        o.design = design(in);
        o.start.woofer = usedSection(o.design.woofer, e12Values(o.design.woofer));
        o.start.tweeter = usedSection(o.design.tweeter, e12Values(o.design.tweeter));
    } else {
        const Loaded &l = loaded();
        o.woofer = l.woofer, o.tweeter = l.tweeter;
        o.start = builtOnLoaded();
        in.type = 4, in.wooferOhms = 8, in.tweeterOhms = 6, in.wooferHz = 2500, in.tweeterHz = 2500;
        in.reOhms = 5.6, in.leHenries = 0.8e-3;
        o.design = design(in);
    }
    o.acoustics = {0, o.design.tweeterSign < 0};
    int evaluations = 0;
    for (auto _ : state)
        evaluations = optimize(o).evaluations;
    state.counters["evaluations"] = evaluations;
    kelvanebench::setTargetMicroseconds(state, 2e6);
}
BENCHMARK_CAPTURE(BM_Optimize, synthetic, true)
    ->Name("Crossover as built: optimizer run, synthetic pair")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Optimize, loaded, false)
    ->Name("Crossover as built: optimizer run, made-up files")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
