// SPDX-License-Identifier: GPL-3.0-or-later
// Vas and the moving parts from a second curve, by added mass on the cone or by a sealed test box
// of known volume, and the measured driver as a library entry.
#include "measure/MeasureCore.h"

#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "measure/MeasureInternal.h"

#include <QFileInfo>

#include <cmath>

namespace kelvane::measure {

using namespace detail;

namespace {

constexpr double LitresPerCubicFoot = 1 / 0.0353145;

double roundedTo4(double v)
{
    if (!(std::isfinite(v) && v != 0))
        return v;
    const double scale = std::pow(10.0, 3 - std::floor(std::log10(std::abs(v))));
    return std::round(v * scale) / scale;
}

} // namespace

Mechanics measureMechanics(const FreeAir &freeAir, const Curve &second, const SecondInput &in)
{
    Mechanics out;
    const Samples s = samplesOf(second);
    if (s.size() < 5) {
        out.problem = noPeakText(second.fileName);
        return out;
    }
    const Found found = resonanceOf(s, freeAir.re, second.fileName, out.problem);
    if (!out.problem.isEmpty())
        return out;
    out.second = found.r;
    const double fs = freeAir.standard.fs, qes = freeAir.standard.qes;
    const double sd = in.sdCm2 * 1e-4;                                      // m^2
    const double rhoC2 = analysis::AirDensity * analysis::SoundSpeed * analysis::SoundSpeed; // Pa
    const QString moved = QStringLiteral("%1 Hz").arg(formatNumber(out.second.fs, QStringLiteral("#0.0")));
    const QString free = QStringLiteral("%1 Hz").arg(formatNumber(fs, QStringLiteral("#0.0")));
    double mmsKg = 0, cms = 0;
    if (in.method == VasMethod::AddedMass) {
        if (!(out.second.fs < fs)) {
            out.problem = QStringLiteral("The resonance of %1 (%2) did not move down from the free-air %3, as added mass makes it do: is it the curve with the mass on the cone?")
                              .arg(second.fileName, moved, free);
            return out;
        }
        mmsKg = in.amount / 1000 / (std::pow(fs / out.second.fs, 2) - 1);
        cms = 1 / (std::pow(TwoPi * fs, 2) * mmsKg);
        if (sd > 0)
            out.vas = rhoC2 * sd * sd * cms * 1000;
    } else {
        const double vas = in.amount * (out.second.fs * out.second.qes / (fs * qes) - 1);
        if (!(out.second.fs > fs) || !(vas > 0)) {
            out.problem = QStringLiteral("The resonance of %1 (%2) did not move up from the free-air %3, as a sealed box makes it do: is it the curve in the test box?")
                              .arg(second.fileName, moved, free);
            return out;
        }
        out.vas = vas;
        if (sd > 0) {
            cms = vas / 1000 / (rhoC2 * sd * sd);
            mmsKg = 1 / (std::pow(TwoPi * fs, 2) * cms);
        }
    }
    if (mmsKg > 0) {
        out.mms = mmsKg * 1000;
        out.cms = cms;
        out.bl = std::sqrt(TwoPi * fs * freeAir.re * mmsKg / qes);
    }
    if (out.vas) {
        try {
            out.spl = driver::efficiency(fs, *out.vas / LitresPerCubicFoot, qes).spl;
        } catch (const CalcFault &) {
        }
    }
    return out;
}

library::Entry measuredEntry(const FreeAir &freeAir, const QString &freeAirFile, const Mechanics *mechanics,
                             const QString &secondFile, const SecondInput &in)
{
    library::Entry e;
    e.maker = QStringLiteral("Measured");
    e.model = QFileInfo(freeAirFile).completeBaseName();
    e.source = QStringLiteral("measured");
    const auto put = [](library::Value &v, std::optional<double> x) {
        if (x && std::isfinite(*x) && *x > 0)
            v = roundedTo4(*x);
    };
    put(e.fs, freeAir.standard.fs);
    put(e.qts, freeAir.standard.qts);
    put(e.qes, freeAir.standard.qes);
    put(e.qms, freeAir.standard.qms);
    put(e.re, freeAir.re);
    put(e.le, freeAir.le * 1000);
    if (in.sdCm2 > 0)
        put(e.sd, in.sdCm2);
    QStringList notes{QStringLiteral("Free air: %1").arg(QFileInfo(freeAirFile).fileName())};
    if (mechanics && mechanics->ok()) {
        put(e.vas, mechanics->vas);
        put(e.mms, mechanics->mms);
        put(e.bl, mechanics->bl);
        put(e.spl, mechanics->spl);
        notes << (in.method == VasMethod::AddedMass ? QStringLiteral("added mass %1 g: %2") : QStringLiteral("sealed test box %1 l: %2"))
                     .arg(generalNumber(in.amount), QFileInfo(secondFile).fileName());
    }
    if (freeAir.reFromFit)
        notes << QStringLiteral("Re from the fit");
    e.notes = notes.join(QStringLiteral("; "));
    return e;
}

} // namespace kelvane::measure
