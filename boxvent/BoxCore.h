// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Building figures of the two boxes: the volume to build after the added-volume and over-volume
// corrections, the inside dimensions for three fixed side ratios, and the length of a round vent.
// Volumes in cubic feet (added volume in cubic inches), lengths in inches, frequencies in Hz.

#include <QString>
#include <array>

namespace kelvane::boxvent {

// Side ratios height : width : depth with depth = 1. Ratio B's height is applied as depth + depth.
struct SideRatio {
    const char *caption;
    double height;
    double width;
    double product; // height x width x 1: the box volume in units of depth cubed
};
inline constexpr std::array<SideRatio, 3> SideRatios{{
    {"2.60 : 1.60 : 1", 2.6, 1.6, 4.16},
    {"2.00 : 1.44 : 1", 2.0, 1.44, 2.88},
    {"1.59 : 1.26 : 1", 1.59, 1.26, 2.0034},
}};

// The six standard vent diameters (inches); the user's own diameter is the seventh row.
inline constexpr std::array<double, 6> StandardVentDiameters{1, 2, 3, 4, 6, 8};

// Volume to build, cubic feet: (net + added / 1728) x percent / 100.
double buildVolume(double netCuFt, double addVolumeCuIn, double percentOverVolume);

// Inside depth, inches, of a box of the given volume (cubic feet) for a side ratio whose product
// is given: (volume / product)^(1/3) x 12.
double insideDepth(double buildCuFt, double ratioProduct);

struct InsideDimensions {
    double height = 0, width = 0, depth = 0; // inches
};
// Height, width and depth of ratio index 0, 1 or 2 from its depth.
InsideDimensions dimensionsFromDepth(int ratioIndex, double depth);

// Length in inches of a round vent of diameter D inches (radius R = D / 2) tuning a net volume
// of VbCuIn cubic inches to Fb Hz, end correction included:
//   Lv = 1.463e7 x R^2 / Fb^2 / VbCuIn - 1.463 x R.
// Zero or negative when the vent is too wide for the box and tuning (or D is 0).
double ventLength(double diameter, double fb, double vbCuIn);

// Caption of a vent length: "#0.00''" when it is positive, empty otherwise.
QString ventLengthCaption(double length);

// Air speed in a vent above which it is heard to chuff (m/s): 5 % of the speed of sound.
inline constexpr double VentSpeedLimit = 17;

// Peak air speed (m/s) in a round vent of diameter D inches when the cone moves its linear
// displacement Vd (cubic metres) at the tuning Fb (Hz):
//   v = 2 pi Fb Vd / Sv, with the vent area Sv = pi (0.0254 D)^2 / 4 (square metres).
double ventAirSpeed(double fb, double vdCubicMetres, double diameter);

// Diameter in inches of the narrowest round vent that stays at the limit:
//   Sv = 2 pi Fb Vd / 17 (square metres), d = sqrt(4 Sv / pi) / 0.0254.
double smallestVentDiameter(double fb, double vdCubicMetres);

// True when the air speed is over the limit.
bool ventTooFast(double speed);

inline const QString VentTooFastText = QStringLiteral("too fast");
inline const QString SmallestVentText = QStringLiteral("Smallest vent diameter for 17 m/s: ");
inline const QString EnterVdText =
    QStringLiteral("Enter Vd, or the cone area or diameter with Xmax, to see the air speed.");

// "#0.0 m/s"
QString ventSpeedCaption(double speed);
// "Smallest vent diameter for 17 m/s: " with the diameter "#0.00" and " in", or in centimetres
// with " cm".
QString smallestVentCaption(double diameter, bool metric);

// Captions of the tab.
QString volumeCaption(double cuFt);     // "#0.000 Cu. Ft."
QString lengthCaption(double inches);   // "#0.00''"
QString tuningCaption(double fb);       // "#0.0 Hz"

} // namespace kelvane::boxvent
