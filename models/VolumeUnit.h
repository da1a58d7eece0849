// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The result volume units of the box models: cubic feet, litres and cubic metres, selected by the
// option array OptSealedVolumeBox. Volumes are held in cubic feet; a typed volume is multiplied by
// the unit's factor, a shown volume divided by it.

namespace kelvane::volume {

constexpr int CubicFeet = 0;
constexpr int Litres = 1;
constexpr int CubicMetres = 2;

// Cubic feet in one unit, by index: 1 cubic foot, 1 litre = 0.0353145 cu ft, 1 cubic metre =
// 35.3145 cu ft.
constexpr double CubicFeetPerUnit[3] = {1.0, 0.0353145, 35.3145};

// The caption beside the volume fields and results.
constexpr const char *UnitCaption[3] = {"Cu Ft", "liter", "Cu M"};

// An out-of-range index (no option selected) counts as cubic feet.
constexpr int validUnit(int unit)
{
    return unit >= 0 && unit < 3 ? unit : CubicFeet;
}

constexpr double toCubicFeet(double shown, int unit)
{
    return shown * CubicFeetPerUnit[validUnit(unit)];
}

constexpr double fromCubicFeet(double cubicFeet, int unit)
{
    return cubicFeet / CubicFeetPerUnit[validUnit(unit)];
}

// Pattern of a result label: three decimals for cubic feet and litres, four for cubic metres
// (a typical box is a few hundredths of a cubic metre).
constexpr const char *resultPattern(int unit)
{
    return validUnit(unit) == CubicMetres ? "#0.0000" : "#0.000";
}

// Pattern of the volume text fields TxtCBV and TxtVBV: four decimals in every unit.
constexpr const char *FieldPattern = "#0.0000";

} // namespace kelvane::volume
