// SPDX-License-Identifier: GPL-3.0-or-later
#include "driver/DriverCore.h"

#include "common/Checked.h"
#include "common/NumberText.h"

#include <cmath>

namespace kelvane::driver {

double totalQ(double qes, double qms)
{
    return checked(qes * qms / (qes + qms), "Qts");
}

double estimatedQes(double qts)
{
    return estimatedQes(qts, 3.0);
}

double estimatedQes(double qts, double qms)
{
    return checked(qms * qts / (qms - qts), "estimated Qes");
}

Efficiency efficiency(double fs, double vas, double qes)
{
    Efficiency e;
    e.efficiency = checked(2.7 * std::pow(10.0, -8) * std::pow(fs, 3) * vas / qes, "efficiency");
    e.spl = checked(10.0 * std::log(e.efficiency) / std::log(10.0) - (-112.2), "SPL");
    e.ebp = checked(fs / qes, "EBP");
    return e;
}

QString recommendation(double ebp)
{
    QString advice;
    if (ebp <= 50)
        advice = SealedAdvice;
    if (ebp >= 100)
        advice = VentedAdvice;
    if (ebp > 50 && ebp < 100)
        advice = EitherAdvice;
    return advice;
}

double effectiveDiameter(double advertised)
{
    return checked(0.85 * advertised, "diameter");
}

double pistonArea(double diameterMm)
{
    return checked(3.1415926 * diameterMm * diameterMm / 4.0, "Sd");
}

double xmaxFromCoil(double coilHeight, double gapHeight)
{
    return checked((coilHeight - gapHeight) / 2.0, "Xmax");
}

double displacement(double sdSquareMm, double xmaxMm)
{
    return checked(sdSquareMm * xmaxMm / (1000.0 * 1000.0 * 1000.0), "Vd");
}

namespace {

// A displacement field counts as missing when it is empty or exactly "0".
bool missing(const QString &text)
{
    return text.isEmpty() || text == QLatin1String("0");
}

} // namespace

double displacementOf(const DisplacementEntries &in)
{
    try {
        double vd = 0;
        if (!missing(in.vd)) {
            vd = checked(numberIn(in.vd) * CubicMetresPerVdUnit[in.vdUnit]);
        } else {
            double sd = 0;
            if (!missing(in.sd))
                sd = checked(numberIn(in.sd) * SquareMmPerSdUnit[in.sdUnit]);
            else if (!missing(in.dia))
                sd = pistonArea(effectiveDiameter(numberIn(in.dia) * MmPerDiaUnit[in.diaUnit]));
            else
                return 0;
            double xmax = 0;
            if (!missing(in.xmax))
                xmax = numberIn(in.xmax);
            else if (!missing(in.coilHeight) && !missing(in.coilGap))
                xmax = xmaxFromCoil(numberIn(in.coilHeight), numberIn(in.coilGap));
            else
                return 0;
            vd = displacement(sd, checked(xmax * MmPerXmaxUnit[in.xmaxUnit]));
            // As the Vd field shows it once the displacement graph has derived it, so the speeds
            // stay the same when that figure is written into the field and read back.
            const double shown = numberIn(formatNumber(vd / CubicMetresPerVdUnit[in.vdUnit],
                                                       QLatin1String(VdPattern[in.vdUnit])));
            vd = shown * CubicMetresPerVdUnit[in.vdUnit];
        }
        return vd > 0 ? vd : 0;
    } catch (const CalcFault &) {
        return 0;
    }
}

} // namespace kelvane::driver
