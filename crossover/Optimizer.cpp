// SPDX-License-Identifier: GPL-3.0-or-later
#include "crossover/Optimizer.h"

#include "common/Checked.h"
#include "common/NumberText.h"
#include "driverdata/DriverData.h"

#include <Eigen/Dense>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>

namespace crossover {

namespace {

using cplx = std::complex<double>;
constexpr double Pi = std::numbers::pi;
constexpr double FloorBelowTargetDb = 40;
// Evaluations kept back from the searches for choosing snapped values and the pad.
constexpr int ReserveEvaluations = 600;
constexpr int ContinuousEvaluations = 9000;

cplx reciprocal(cplx z)
{
    const double d = std::norm(z);
    return {z.real() / d, -z.imag() / d};
}

// One element of a branch from the amplifier to a driver.
struct Elem {
    enum Kind { Resistor, Coil, Capacitor, Conductance, CoilAcrossResistor, ResistorWithCapacitor };
    Kind kind = Resistor;
    bool shunt = false;
    double a = 0; // ohms (Resistor, ResistorWithCapacitor), henries (Coil, CoilAcrossResistor),
                  // farads (Capacitor), siemens (Conductance, always a shunt)
    double b = 0; // a coil's wire (ohms); ResistorWithCapacitor's farads
    double c = 0; // CoilAcrossResistor's resistor (ohms)
};

cplx impedance(const Elem &e, double w)
{
    switch (e.kind) {
    case Elem::Resistor:
        return e.a;
    case Elem::Coil:
        return {e.b, w * e.a};
    case Elem::Capacitor:
        return {0, -1 / (w * e.a)};
    case Elem::CoilAcrossResistor: {
        const cplx coil(e.b, w * e.a);
        return coil * e.c * reciprocal(coil + e.c);
    }
    case Elem::ResistorWithCapacitor:
        return {e.a, -1 / (w * e.b)};
    case Elem::Conductance:
        break;
    }
    return reciprocal(e.a);
}

// The voltage across the driver over the amplifier's: 1 V across the driver, walked back to the
// amplifier (a shunt element adds its current, a series one its voltage drop).
cplx walk(const std::vector<Elem> &elems, double w, cplx load)
{
    cplx v = 1, i = reciprocal(load);
    for (auto e = elems.rbegin(); e != elems.rend(); ++e) {
        if (e->kind == Elem::Conductance)
            i += v * e->a;
        else if (e->shunt)
            i += v * reciprocal(impedance(*e, w));
        else
            v += i * impedance(*e, w);
    }
    return reciprocal(v);
}

struct Branches {
    std::vector<Elem> woofer, tweeter;
    std::vector<int> wooferPart, tweeterPart; // the element of each section part
    int padSeries = -1, padShunt = -1;
};

// The built network as two branches. With `padAlways` the pad's two elements are there even at
// 0 dB (0 ohms in series, 0 siemens across) and exact, for the optimizer to vary.
Branches branchesOf(const BuiltCrossover &b, bool padAlways)
{
    // builtNetwork checks the values and the resistances' count.
    builtNetwork(b);
    Branches out;
    const auto section = [](const Section &s, const std::vector<double> &dcr, std::vector<Elem> &elems,
                            std::vector<int> &index) {
        for (std::size_t i = 0; i < s.size(); ++i) {
            Elem e;
            e.shunt = s[i].shunt;
            e.a = s[i].value;
            if (s[i].kind == Component::Inductor) {
                e.kind = Elem::Coil;
                e.b = dcr.empty() ? coilDcr(s[i].value) : dcr[i];
            } else {
                e.kind = Elem::Capacitor;
            }
            index.push_back(int(elems.size()));
            elems.push_back(e);
        }
    };
    if (b.baffle.used)
        out.woofer.push_back({Elem::CoilAcrossResistor, false, nearestInSeries(b.baffle.henries / 1e-3, b.series) * 1e-3,
                              b.baffle.dcr, nearestInSeries(b.baffle.ohms, b.series)});
    section(b.woofer, b.wooferDcr, out.woofer, out.wooferPart);
    if (b.zobel.used)
        out.woofer.push_back({Elem::ResistorWithCapacitor, true, nearestInSeries(b.zobel.ohms, b.series),
                              nearestInSeries(b.zobel.farads / 1e-6, b.series) * 1e-6, 0});
    section(b.tweeter, b.tweeterDcr, out.tweeter, out.tweeterPart);
    const LPad pad = padAlways ? lPad(b.padDb, b.tweeterOhms) : builtPad(b);
    if (pad.used || padAlways) {
        out.padSeries = int(out.tweeter.size());
        out.tweeter.push_back({Elem::Resistor, false, pad.used ? pad.series : 0, 0, 0});
        out.padShunt = int(out.tweeter.size());
        out.tweeter.push_back({Elem::Conductance, true, pad.used ? 1 / pad.parallel : 0, 0, 0});
    }
    return out;
}

struct Cancelled {};

// The network on the optimizer's points with its target: the objective and its residuals.
class Model {
public:
    Model(const OptimizeInput &in, double targetDb, const std::atomic<bool> *stop)
        : stop_(stop), branches_(branchesOf(in.start, true)), tweeterOhms_(in.start.tweeterOhms)
    {
        const TargetCurves target = targetCurves(in.design, targetDb, in.grid);
        const double delay = in.acoustics.offsetMm / 1000 / OffsetSoundSpeed;
        for (std::size_t k = 0; k < in.grid.size(); ++k) {
            const double f = in.grid.hz[k];
            if (f < OptimizeFromHz * (1 - 1e-9) || f > OptimizeToHz * (1 + 1e-9) || !in.woofer.response.has(k)
                || !in.tweeter.response.has(k))
                continue;
            w_.push_back(2 * Pi * f);
            wooferLoad_.push_back(in.woofer.impedance[k]);
            tweeterLoad_.push_back(in.tweeter.impedance[k]);
            wooferPressure_.push_back(std::polar(std::pow(10.0, in.woofer.response.db[k] / 20),
                                                 in.woofer.response.phaseDeg[k] * Pi / 180));
            const double tweeterDeg = in.tweeter.response.phaseDeg[k] - 360 * f * delay
                                      + (in.acoustics.tweeterReversed ? 180 : 0);
            tweeterPressure_.push_back(
                std::polar(std::pow(10.0, in.tweeter.response.db[k] / 20), tweeterDeg * Pi / 180));
            target_.push_back({target.woofer[k], target.tweeter[k], target.sum[k]});
            const bool nearCrossover = std::abs(std::log2(f / in.design.in.wooferHz)) <= 0.5
                                       || std::abs(std::log2(f / in.design.in.tweeterHz)) <= 0.5;
            weight_.push_back(nearCrossover ? 4.0 : 1.0);
        }
        if (w_.size() < 8)
            throw kelvane::CalcFault("no common data to optimize over");
        double total = 0;
        for (double x : weight_)
            total += x;
        for (double &x : weight_)
            x = std::sqrt(x / (3 * total));
        floorDb_ = targetDb - FloorBelowTargetDb;
        wooferTyped_ = in.wooferDcrTyped;
        tweeterTyped_ = in.tweeterDcrTyped;
        wooferTyped_.resize(in.start.woofer.size(), false);
        tweeterTyped_.resize(in.start.tweeter.size(), false);
        sum_.resize(w_.size());
    }

    std::size_t residualCount() const { return 3 * w_.size(); }
    std::size_t wooferParts() const { return branches_.wooferPart.size(); }
    std::size_t tweeterParts() const { return branches_.tweeterPart.size(); }
    int evaluations() const { return evaluations_; }
    const std::vector<double> &sum() const { return sum_; }
    double largestSumDifference() const
    {
        double worst = 0;
        for (std::size_t k = 0; k < sum_.size(); ++k)
            worst = std::max(worst, std::abs(sum_[k] - target_[k][2]));
        return worst;
    }

    // The parameters: the parts' log values, woofer first, then the pad (dB). `nearestPad` builds the
    // pad at the nearest values of the series, as the builder will.
    double objective(const std::vector<double> &x, Eigen::VectorXd *residuals, bool nearestPad = false)
    {
        if (stop_ && stop_->load(std::memory_order_relaxed))
            throw Cancelled{};
        ++evaluations_;
        set(x, nearestPad);
        double total = 0;
        for (std::size_t k = 0; k < w_.size(); ++k) {
            const cplx w = wooferPressure_[k] * walk(branches_.woofer, w_[k], wooferLoad_[k]);
            const cplx t = tweeterPressure_[k] * walk(branches_.tweeter, w_[k], tweeterLoad_[k]);
            const double levels[3] = {10 * std::log10(std::norm(w)), 10 * std::log10(std::norm(t)),
                                      10 * std::log10(std::norm(w + t))};
            sum_[k] = levels[2];
            for (int c = 0; c < 3; ++c) {
                const double r = weight_[k] * (std::max(levels[c], floorDb_) - std::max(target_[k][c], floorDb_));
                if (residuals)
                    (*residuals)(Eigen::Index(3 * k + std::size_t(c))) = r;
                total += r * r;
            }
        }
        return std::isfinite(total) ? total : std::numeric_limits<double>::infinity();
    }

    PartSeries series = PartSeries::E12;

private:
    void set(const std::vector<double> &x, bool nearestPad)
    {
        const auto place = [](std::vector<Elem> &elems, const std::vector<int> &index, const std::vector<bool> &typed,
                              const double *values) {
            for (std::size_t i = 0; i < index.size(); ++i) {
                Elem &e = elems[std::size_t(index[i])];
                e.a = std::exp(values[i]);
                if (e.kind == Elem::Coil && !typed[i])
                    e.b = coilDcr(e.a);
            }
        };
        place(branches_.woofer, branches_.wooferPart, wooferTyped_, x.data());
        place(branches_.tweeter, branches_.tweeterPart, tweeterTyped_, x.data() + wooferParts());
        LPad pad = lPad(x.back(), tweeterOhms_);
        if (pad.used && nearestPad)
            pad.series = nearestInSeries(pad.series, series), pad.parallel = nearestInSeries(pad.parallel, series);
        branches_.tweeter[std::size_t(branches_.padSeries)].a = pad.used ? pad.series : 0;
        branches_.tweeter[std::size_t(branches_.padShunt)].a = pad.used ? 1 / pad.parallel : 0;
    }

    const std::atomic<bool> *stop_;
    Branches branches_;
    double tweeterOhms_;
    std::vector<double> w_, weight_, sum_;
    std::vector<cplx> wooferLoad_, tweeterLoad_, wooferPressure_, tweeterPressure_;
    std::vector<std::array<double, 3>> target_;
    std::vector<bool> wooferTyped_, tweeterTyped_;
    double floorDb_ = 0;
    int evaluations_ = 0;
};

// Levenberg-Marquardt over the parameters not fixed, each kept within its bounds, until it stops
// improving or the evaluations reach `until`. Returns the objective at x (x is updated).
double levenbergMarquardt(Model &model, std::vector<double> &x, const std::vector<double> &lo,
                          const std::vector<double> &hi, const std::vector<bool> &fixed, int until,
                          const std::function<void()> &tick)
{
    std::vector<std::size_t> free;
    for (std::size_t j = 0; j < x.size(); ++j)
        if (!fixed[j])
            free.push_back(j);
    const auto m = Eigen::Index(model.residualCount());
    const auto n = Eigen::Index(free.size());
    Eigen::VectorXd r(m), trial(m);
    double f = model.objective(x, &r);
    if (n == 0)
        return f;
    Eigen::MatrixXd jacobian(m, n);
    double lambda = 1e-3;
    int stalls = 0;
    while (model.evaluations() + n + 1 < until && stalls < 3) {
        for (Eigen::Index c = 0; c < n; ++c) {
            const std::size_t j = free[std::size_t(c)];
            std::vector<double> step = x;
            double h = j + 1 == x.size() ? 1e-3 : 1e-5; // the pad in dB, the parts in log value
            if (step[j] + h > hi[j])
                h = -h;
            step[j] += h;
            model.objective(step, &trial);
            jacobian.col(c) = (trial - r) / h;
        }
        tick();
        const Eigen::MatrixXd a = jacobian.transpose() * jacobian;
        const Eigen::VectorXd g = jacobian.transpose() * r;
        bool better = false;
        double improvement = 0;
        for (int attempt = 0; attempt < 8 && model.evaluations() < until; ++attempt) {
            Eigen::MatrixXd damped = a;
            for (Eigen::Index i = 0; i < n; ++i)
                damped(i, i) += lambda * a(i, i) + 1e-12;
            const Eigen::VectorXd delta = damped.ldlt().solve(-g);
            std::vector<double> next = x;
            for (Eigen::Index c = 0; c < n; ++c) {
                const std::size_t j = free[std::size_t(c)];
                next[j] = std::clamp(x[j] + (std::isfinite(delta(c)) ? delta(c) : 0.0), lo[j], hi[j]);
            }
            const double fNext = model.objective(next, &trial);
            if (fNext < f) {
                improvement = f - fNext;
                x = next, r = trial, f = fNext;
                lambda = std::max(lambda / 3, 1e-9);
                better = true;
                break;
            }
            lambda *= 5;
        }
        if (!better)
            break;
        stalls = improvement < 1e-6 * f + 1e-10 ? stalls + 1 : 0;
    }
    return f;
}

// The largest difference of a curve from its target and the ± of the sum, over fromHz..toHz.
struct Figures {
    double within = 0, fromTarget = 0;
};
Figures figuresOf(const OptimizeInput &in, const BuiltCrossover &b, const TargetCurves &target, double fromHz,
                  double toHz)
{
    const Simulation s = simulate(builtNetwork(b), in.woofer, in.tweeter, in.acoustics, in.grid);
    Figures out{withinDb(s.sum, in.grid, fromHz, toHz), 0};
    for (std::size_t k = 0; k < in.grid.size(); ++k)
        if (s.sum.has(k) && in.grid.hz[k] >= fromHz && in.grid.hz[k] <= toHz)
            out.fromTarget = std::max(out.fromTarget, std::abs(s.sum.db[k] - target.sum[k]));
    return out;
}

} // namespace

TerminalVoltages ladderVoltages(const BuiltCrossover &b, const Loads &loads, const Grid &grid)
{
    if (loads.size() < 2 || loads[WooferLoad].size() != grid.size() || loads[TweeterLoad].size() != grid.size())
        throw kelvane::CalcFault("network load");
    const Branches branches = branchesOf(b, false);
    TerminalVoltages out;
    out.woofer.resize(grid.size());
    out.tweeter.resize(grid.size());
    for (std::size_t k = 0; k < grid.size(); ++k) {
        const double w = 2 * Pi * grid.hz[k];
        out.woofer[k] = walk(branches.woofer, w, loads[WooferLoad][k]);
        out.tweeter[k] = walk(branches.tweeter, w, loads[TweeterLoad][k]);
    }
    return out;
}

TargetCurves targetCurves(const Design &d, double targetDb, const Grid &grid)
{
    TargetCurves out;
    for (double f : grid.hz) {
        const cplx w = transfer(d.woofer, d.in.wooferOhms, f);
        const cplx t = d.tweeterSign * transfer(d.tweeter, d.in.tweeterOhms, f);
        out.woofer.push_back(targetDb + 10 * std::log10(std::norm(w)));
        out.tweeter.push_back(targetDb + 10 * std::log10(std::norm(t)));
        out.sum.push_back(targetDb + 10 * std::log10(std::norm(w + t)));
    }
    return out;
}

OptimizeResult optimize(const OptimizeInput &in, const std::atomic<bool> *stop,
                        const std::function<void(double)> &progress)
{
    const Design &d = in.design;
    if (d.woofer.size() != in.start.woofer.size() || d.tweeter.size() != in.start.tweeter.size())
        throw kelvane::CalcFault("part values");
    OptimizeResult result;
    result.built = in.start;

    // The target level: the woofer through its section as first built.
    const double wooferHz = d.in.wooferHz;
    const double levelFrom = wooferHz < 400 ? wooferHz / 4 : OptimizeFromHz;
    const TerminalVoltages first = ladderVoltages(in.start, {in.woofer.impedance, in.tweeter.impedance}, in.grid);
    double levelSum = 0;
    int levelCount = 0;
    for (std::size_t k = 0; k < in.grid.size(); ++k)
        if (in.woofer.response.has(k) && in.grid.hz[k] >= levelFrom && in.grid.hz[k] <= wooferHz / 2)
            levelSum += in.woofer.response.db[k] + 20 * std::log10(std::abs(first.woofer[k])), ++levelCount;
    if (levelCount == 0)
        throw kelvane::CalcFault("no woofer data for the target level");
    result.targetDb = levelSum / levelCount;

    Model model(in, result.targetDb, stop);
    model.series = in.start.series;
    const std::size_t nw = model.wooferParts(), nt = model.tweeterParts(), n = nw + nt + 1;
    std::vector<double> lo(n), hi(n), start(n), textbook(n);
    for (std::size_t i = 0; i < nw + nt; ++i) {
        const double tb = i < nw ? d.woofer[i].value : d.tweeter[i - nw].value;
        const double used = i < nw ? in.start.woofer[i].value : in.start.tweeter[i - nw].value;
        textbook[i] = std::log(tb);
        lo[i] = std::log(tb / 4), hi[i] = std::log(tb * 4);
        start[i] = std::clamp(std::log(used), lo[i], hi[i]);
    }
    lo[n - 1] = 0, hi[n - 1] = 20;
    start[n - 1] = textbook[n - 1] = std::clamp(std::isfinite(in.start.padDb) ? in.start.padDb : 0.0, 0.0, 20.0);

    // Progress: the continuous search takes the first 40 %, each snapped part an equal share of the rest.
    double phaseFrom = 0, phaseSpan = 0.4;
    int phaseStart = 0, phaseGuess = 2500;
    const auto tick = [&] {
        if (progress)
            progress(phaseFrom
                     + phaseSpan * std::min(1.0, double(model.evaluations() - phaseStart) / double(phaseGuess)));
    };

    try {
        if (progress)
            progress(0);
        // The fixed mask: nothing fixed yet.
        std::vector<bool> fixed(n, false);
        // From the values as built, from the textbook values, and from the textbook values with the
        // coils a quarter larger and the capacitors a fifth smaller and the other way round: a local
        // search from several places finds the deeper valley when the drivers make several.
        std::vector<std::vector<double>> starts{start, textbook, textbook, textbook};
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const bool coil = (i < nw ? d.woofer[i].kind : d.tweeter[i - nw].kind) == Component::Inductor;
            starts[2][i] = std::clamp(textbook[i] + std::log(coil ? 1.25 : 0.8), lo[i], hi[i]);
            starts[3][i] = std::clamp(textbook[i] - std::log(coil ? 1.25 : 0.8), lo[i], hi[i]);
        }
        std::vector<double> best = start;
        double fBest = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < starts.size(); ++i) {
            if (i == 1 && textbook == start)
                continue;
            std::vector<double> x = starts[i];
            const int until = ContinuousEvaluations * int(i + 1) / int(starts.size());
            const double f = levenbergMarquardt(model, x, lo, hi, fixed, until, tick);
            if (f < fBest)
                best = x, fBest = f;
        }
        model.objective(best, nullptr);
        result.fromTargetUnsnapped = model.largestSumDifference();

        // Snapping, the cheapest part first, polishing the rest after each.
        const int until = MaxEvaluations - ReserveEvaluations;
        std::vector<double> x = best;
        for (std::size_t step = 0; step < nw + nt; ++step) {
            phaseFrom = 0.4 + 0.6 * double(step) / double(nw + nt);
            phaseSpan = 0.6 / double(nw + nt);
            phaseStart = model.evaluations(), phaseGuess = 600;
            double fChosen = std::numeric_limits<double>::infinity();
            std::size_t chosen = 0;
            double chosenValue = 0;
            for (std::size_t j = 0; j + 1 < n; ++j) {
                if (fixed[j])
                    continue;
                const bool coil = (j < nw ? d.woofer[j].kind : d.tweeter[j - nw].kind) == Component::Inductor;
                const double unit = coil ? 1e-3 : 1e-6;
                const SeriesNeighbours around = seriesNeighbours(std::exp(x[j]) / unit, in.start.series);
                std::vector<double> candidates;
                for (double v : {around.below, around.above})
                    if (std::log(v * unit) >= lo[j] - 1e-9 && std::log(v * unit) <= hi[j] + 1e-9)
                        candidates.push_back(std::log(v * unit));
                if (candidates.empty())
                    candidates.push_back(std::log(nearestInSeries(std::exp(x[j]) / unit, in.start.series) * unit));
                for (double c : candidates) {
                    std::vector<double> trial = x;
                    trial[j] = c;
                    const double f = model.objective(trial, nullptr);
                    if (f < fChosen)
                        fChosen = f, chosen = j, chosenValue = c;
                }
            }
            x[chosen] = chosenValue;
            fixed[chosen] = true;
            levenbergMarquardt(model, x, lo, hi, fixed, until, tick);
        }

        // The pad to 0.1 dB, its resistors at their nearest values.
        const double padFound = std::round(x[n - 1] * 10) / 10;
        double fPad = std::numeric_limits<double>::infinity(), pad = 0;
        for (int i = -5; i <= 5; ++i) {
            const double db = std::clamp(padFound + 0.1 * i, 0.0, 20.0);
            std::vector<double> trial = x;
            trial[n - 1] = db;
            const double f = model.objective(trial, nullptr, true);
            if (f < fPad)
                fPad = f, pad = db;
        }
        x[n - 1] = std::round(pad * 10) / 10;

        // The result as built: a coil whose value changed gets its default resistance back unless typed.
        BuiltCrossover &b = result.built;
        const auto apply = [&x](Section &s, std::vector<double> &dcr, const std::vector<bool> &typed, std::size_t from) {
            if (dcr.empty())
                dcr = defaultDcr(s);
            for (std::size_t i = 0; i < s.size(); ++i) {
                // The value in the series exactly, as nearestInSeries gives it in its unit.
                const double unit = s[i].kind == Component::Inductor ? 1e-3 : 1e-6;
                const double value = std::exp(x[from + i]);
                const double snapped = nearestInSeries(value / unit, PartSeries::E24) * unit;
                const double v = std::abs(snapped / value - 1) < 1e-6 ? snapped : value;
                const bool wasTyped = i < typed.size() && typed[i];
                if (s[i].kind == Component::Inductor && !wasTyped && std::abs(v / s[i].value - 1) > 1e-9)
                    dcr[i] = coilDcr(v);
                s[i].value = v;
            }
        };
        apply(b.woofer, b.wooferDcr, in.wooferDcrTyped, 0);
        apply(b.tweeter, b.tweeterDcr, in.tweeterDcrTyped, nw);
        b.padDb = x[n - 1];
    } catch (const Cancelled &) {
        result.built = in.start;
        result.cancelled = true;
    }
    result.evaluations = model.evaluations();

    // The figures before and after, on the network as built.
    const Band common = [&] {
        Band band;
        for (std::size_t k = 0; k < in.grid.size(); ++k) {
            if (!in.woofer.response.has(k) || !in.tweeter.response.has(k))
                continue;
            if (band.empty())
                band.fromHz = in.grid.hz[k];
            band.toHz = in.grid.hz[k];
        }
        return band;
    }();
    result.fromHz = std::max(OptimizeFromHz, common.fromHz);
    result.toHz = std::min(OptimizeToHz, common.toHz);
    const TargetCurves target = targetCurves(d, result.targetDb, in.grid);
    const Figures before = figuresOf(in, in.start, target, result.fromHz, result.toHz);
    const Figures after = figuresOf(in, result.built, target, result.fromHz, result.toHz);
    result.withinBefore = before.within, result.fromTargetBefore = before.fromTarget;
    result.withinAfter = after.within, result.fromTargetAfter = after.fromTarget;
    const QString one = QStringLiteral("#0.0");
    result.line = QStringLiteral("Sum within ±%1 dB from %2 to %3 (was ±%4 dB); at most %5 dB from the target (was %6 dB)")
                      .arg(kelvane::formatNumber(after.within, one), kelvane::driverdata::frequencyText(result.fromHz),
                           kelvane::driverdata::frequencyText(result.toHz), kelvane::formatNumber(before.within, one),
                           kelvane::formatNumber(after.fromTarget, one), kelvane::formatNumber(before.fromTarget, one));
    if (progress && !result.cancelled)
        progress(1);
    return result;
}

} // namespace crossover
