// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxvent/BoxCore.h"
#include "common/NumberText.h"

#include <cmath>

namespace kelvane::boxvent {

double buildVolume(double netCuFt, double addVolumeCuIn, double percentOverVolume)
{
    return (addVolumeCuIn / 1728 + netCuFt) * (percentOverVolume / 100);
}

double insideDepth(double buildCuFt, double ratioProduct)
{
    return std::pow(buildCuFt / ratioProduct, 1.0 / 3.0) * 12;
}

InsideDimensions dimensionsFromDepth(int ratioIndex, double depth)
{
    const SideRatio &r = SideRatios.at(std::size_t(ratioIndex));
    const double height = ratioIndex == 1 ? depth + depth : depth * r.height;
    return {height, depth * r.width, depth};
}

double ventLength(double diameter, double fb, double vbCuIn)
{
    const double r = diameter / 2;
    return 1.463e7 * r * r / (fb * fb) / vbCuIn - 1.463 * r;
}

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr double MetresPerInch = 0.0254;
} // namespace

double ventAirSpeed(double fb, double vdCubicMetres, double diameter)
{
    const double r = diameter * MetresPerInch / 2;
    return 2 * Pi * fb * vdCubicMetres / (Pi * r * r);
}

double smallestVentDiameter(double fb, double vdCubicMetres)
{
    const double area = 2 * Pi * fb * vdCubicMetres / VentSpeedLimit;
    return std::sqrt(4 * area / Pi) / MetresPerInch;
}

bool ventTooFast(double speed)
{
    return speed > VentSpeedLimit;
}

QString ventSpeedCaption(double speed)
{
    return formatNumber(speed, QStringLiteral("#0.0 m/s"));
}

QString smallestVentCaption(double diameter, bool metric)
{
    return SmallestVentText
           + (metric ? formatNumber(diameter * 2.54, QStringLiteral("#0.00 cm"))
                     : formatNumber(diameter, QStringLiteral("#0.00 in")));
}

QString ventLengthCaption(double length)
{
    return length > 0 ? lengthCaption(length) : QString();
}

QString volumeCaption(double cuFt)
{
    return formatNumber(cuFt, QStringLiteral("#0.000 Cu. Ft."));
}

QString lengthCaption(double inches)
{
    return formatNumber(inches, QStringLiteral("#0.00''"));
}

QString tuningCaption(double fb)
{
    return formatNumber(fb, QStringLiteral("#0.0 Hz"));
}

} // namespace kelvane::boxvent
