// SPDX-License-Identifier: GPL-3.0-or-later
#include "crossover/MinimumPhase.h"

#include "common/Checked.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>

namespace crossover {

namespace {

// One real-to-complex transform of n points with its own arrays, planned once per size and kept:
// planning computes the transform's twiddle factors, which would otherwise cost as much as the
// transform itself on every file loaded.
class RealTransform {
public:
    explicit RealTransform(std::size_t n)
        : in_(fftw_alloc_real(n)), out_(fftw_alloc_complex(n / 2 + 1))
    {
        if (!in_ || !out_)
            throw std::bad_alloc();
        plan_ = fftw_plan_dft_r2c_1d(int(n), in_, out_, FFTW_ESTIMATE);
        if (!plan_)
            throw kelvane::CalcFault("minimum phase transform");
    }
    ~RealTransform()
    {
        fftw_destroy_plan(plan_);
        fftw_free(in_);
        fftw_free(out_);
    }
    RealTransform(const RealTransform &) = delete;
    RealTransform &operator=(const RealTransform &) = delete;

    double *in() { return in_; }
    std::complex<double> out(std::size_t k) const { return {out_[k][0], out_[k][1]}; }
    void run() { fftw_execute(plan_); }

private:
    double *in_;
    fftw_complex *out_;
    fftw_plan plan_ = nullptr;
};

// The transforms by size. FFTW's planner is not thread-safe (nor are the shared arrays): one
// derivation runs at a time, holding the lock.
std::mutex &transformLock()
{
    static std::mutex lock;
    return lock;
}
RealTransform &transformOf(std::size_t n)
{
    static std::map<std::size_t, std::unique_ptr<RealTransform>> kept;
    std::unique_ptr<RealTransform> &t = kept[n];
    if (!t)
        t = std::make_unique<RealTransform>(n);
    return *t;
}

// The magnitude in dB at f (> 0): linear in log f inside the data, falling by slope dB/octave below
// it, held above it. `at` walks forwards, so rising f costs one step each.
struct Extended {
    const std::vector<double> &hz, &db;
    double slope;
    std::size_t at = 0;
    double operator()(double f)
    {
        if (f <= hz.front())
            return db.front() - slope * std::log2(hz.front() / f);
        if (f >= hz.back())
            return db.back();
        while (hz[at + 1] < f)
            ++at;
        const double t = std::log(f / hz[at]) / std::log(hz[at + 1] / hz[at]);
        return db[at] + t * (db[at + 1] - db[at]);
    }
};

} // namespace

std::vector<double> minimumPhase(const std::vector<double> &hz, const std::vector<double> &db, double belowDbPerOctave,
                                 const std::vector<double> &atHz)
{
    if (hz.size() < 2 || db.size() != hz.size() || atHz.empty())
        throw kelvane::CalcFault("minimum phase data");
    // The uniform grid: bins of df Hz from 0 to its top, N = 2^m points over twice that span.
    const double top = 2 * std::max(hz.back(), atHz.back());
    const double lowest = std::max(std::min(hz.front(), atHz.front()), 5.0);
    const double wantedBins = top / (lowest / 8);
    int m = 12;
    while (m < 20 && std::ldexp(1.0, m - 1) < wantedBins)
        ++m;
    const std::size_t n = std::size_t(1) << m, half = n / 2;
    const double df = top / double(half);

    // ln|H| at every bin, even around 0 Hz; the 0 Hz bin (where a fall reaches -infinity) takes
    // the level at half a bin.
    constexpr double NepersPerDb = std::numbers::ln10 / 20;
    const std::lock_guard<std::mutex> guard(transformLock());
    RealTransform &transform = transformOf(n);
    double *real = transform.in();
    Extended level{hz, db, belowDbPerOctave};
    real[0] = NepersPerDb * level(df / 2);
    for (std::size_t i = 1; i <= half; ++i) {
        real[i] = NepersPerDb * level(double(i) * df);
        if (i < half)
            real[n - i] = real[i];
    }
    transform.run();
    // The real cepstrum (the transform of an even real sequence is real), folded onto n >= 0.
    const double scale = 1.0 / double(n);
    real[0] = transform.out(0).real() * scale;
    for (std::size_t i = 1; i < half; ++i)
        real[i] = 2 * transform.out(i).real() * scale;
    real[half] = transform.out(half).real() * scale;
    std::fill(real + half + 1, real + n, 0.0);
    transform.run();

    // Phase at the asked frequencies, linear between bins.
    std::vector<double> out;
    out.reserve(atHz.size());
    for (double f : atHz) {
        const double x = std::clamp(f / df, 0.0, double(half));
        const std::size_t i = std::min(std::size_t(x), half - 1);
        const double t = x - double(i);
        const double phase = (1 - t) * transform.out(i).imag() + t * transform.out(i + 1).imag();
        out.push_back(kelvane::checked(phase * 180 / std::numbers::pi, "minimum phase"));
    }
    return out;
}

} // namespace crossover
