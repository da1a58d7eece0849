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
