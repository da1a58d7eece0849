// SPDX-License-Identifier: GPL-3.0-or-later
// The "Box and Vent" tab: vent lengths and air speeds for the standard and the user's diameters,
// and the volumes and inside dimensions to build for both boxes.

#include "app/FrmKelvane.h"
#include "boxvent/BoxCore.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "driver/Program.h"

#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

using namespace kelvane;
using namespace kelvane::boxvent;

void FrmKelvane::VentLengths()
{
    LblOriginalFb->setText(tuningCaption(Fb));
    VbVentedCuIn = checked(VbVented * 12 * 12 * 12);
    for (std::size_t k = 0; k < StandardVentDiameters.size(); ++k) {
        VentDia[k] = StandardVentDiameters[k];
        VentLength[k] = checked(ventLength(VentDia[k], Fb, VbVentedCuIn), "vent length");
        LblVentLength[k]->setText(ventLengthCaption(VentLength[k]));
    }
    // The user's own diameter; an empty field means none (length 0, empty caption).
    VentDia[6] = numberInOrZero(TxtVentDia->text());
    VentLength[6] = checked(ventLength(VentDia[6], Fb, VbVentedCuIn), "vent length");
    LblVentLength[6]->setText(ventLengthCaption(VentLength[6]));
    VentSpeeds();
}

// The air speed in each vent for the drivers' Vd as the Input tab gives it now. Missing or
// unusable displacement data is no error here: the speeds stay empty and the tab says what to
// enter. Nothing is written back to the Input tab and nothing is asked.
void FrmKelvane::VentSpeeds()
{
    VentVd = 0;
    MinVentDia = 0;
    if (Fb > 0 && VbVented > 0) {
        const driver::DisplacementEntries entries{
            TxtVd->text(), TxtSd->text(), TxtDia->text(), TxtXmax->text(), TxtVCHeight->text(),
            TxtVCGap->text(), std::max(0, selectedIndex(OptVd)), std::max(0, selectedIndex(OptSd)),
            std::max(0, selectedIndex(OptDia)), std::max(0, selectedIndex(OptXmax))};
        VentVd = driverGroup({.vd = driver::displacementOf(entries)}).equivalent.vd; // of all the drivers
        const double smallest = VentVd > 0 ? smallestVentDiameter(Fb, VentVd) : 0;
        if (std::isfinite(smallest) && smallest > 0)
            MinVentDia = smallest;
        else
            VentVd = 0;
        LblMinVentDia->setText(MinVentDia > 0 ? smallestVentCaption(MinVentDia, volumeUnitIndex() > 0)
                                              : EnterVdText);
    } else {
        LblMinVentDia->clear();
    }
    for (int k = 0; k < int(LblVentSpeed.size()); ++k)
        VentSpeedRow(k);
}

// One row's speed, and "too fast" beside it over the limit; empty for a vent not offered (no
// diameter, or too wide for the box) or without Vd.
void FrmKelvane::VentSpeedRow(int Index)
{
    const auto k = std::size_t(Index);
    VentSpeed[k] = 0;
    if (VentVd > 0 && VentDia[k] > 0 && VentLength[k] > 0) {
        const double speed = ventAirSpeed(Fb, VentVd, VentDia[k]);
        if (std::isfinite(speed))
            VentSpeed[k] = speed;
    }
    LblVentSpeed[k]->setText(VentSpeed[k] > 0 ? ventSpeedCaption(VentSpeed[k]) : QString());
    LblVentWarning[k]->setText(ventTooFast(VentSpeed[k]) ? VentTooFastText : QString());
}

void FrmKelvane::BoxDimensions()
{
    LblOriginalCVol->setText(volumeCaption(VbSealed));
    LblOriginalVVol->setText(volumeCaption(VbVented));
    VbSealedBuild = checked(buildVolume(VbSealed, AddVolume, PercentOverVolume), "sealed build volume");
    VbVentedBuild = checked(buildVolume(VbVented, AddVolume, PercentOverVolume), "vented build volume");

    double *sealedDepth[3] = {&DepthSealedA, &DepthSealedB, &DepthSealedC};
    double *ventedDepth[3] = {&DepthVentedA, &DepthVentedB, &DepthVentedC};
    for (int i = 0; i < 3; ++i) {
        *sealedDepth[i] = checked(insideDepth(VbSealedBuild, SideRatios[i].product), "sealed depth");
        *ventedDepth[i] = checked(insideDepth(VbVentedBuild, SideRatios[i].product), "vented depth");
    }

    const auto fill = [](double build, double *const depth[3], std::array<QLabel *, 3> &vol,
                         std::array<QLabel *, 3> &height, std::array<QLabel *, 3> &width,
                         std::array<QLabel *, 3> &depthLabel) {
        for (int i = 0; i < 3; ++i)
            vol[i]->setText(volumeCaption(build));
        for (int i = 0; i < 3; ++i) {
            const InsideDimensions d = dimensionsFromDepth(i, *depth[i]);
            height[i]->setText(lengthCaption(d.height));
            width[i]->setText(lengthCaption(d.width));
            depthLabel[i]->setText(lengthCaption(d.depth));
        }
    };
    fill(VbSealedBuild, sealedDepth, LblCVol, LblCHeight, LblCWidth, LblCDepth);
    fill(VbVentedBuild, ventedDepth, LblVVol, LblVHeight, LblVWidth, LblVDepth);
}

void FrmKelvane::TxtVentDia_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    Program::ValidateNumber(TxtVentDia->text(), VentDia[6]);
    if (VentDia[6] == 0) {
        LblVentLength[6]->clear();
        TxtVentDia->clear();
        VentSpeedRow(6);
        return;
    }
    // No vented model yet: nothing to size the vent for. A zero volume would divide by zero.
    if (Fb <= 0 || VbVented <= 0)
        return;
    const double cubicInches = VbVented * 12 * 12 * 12;
    const double length = ventLength(VentDia[6], Fb, cubicInches);
    if (!std::isfinite(length) || !std::isfinite(cubicInches)) {
        // A diameter so large that its square overflows, or a typed box volume whose cubic inches
        // do: treat it as a bad entry.
        Program::ShowNumberError();
        VentDia[6] = 0;
        LblVentLength[6]->clear();
        TxtVentDia->clear();
        VentSpeedRow(6);
        return;
    }
    VbVentedCuIn = cubicInches;
    VentLength[6] = length;
    LblVentLength[6]->setText(ventLengthCaption(length));
    VentSpeedRow(6);
    TxtVentDia->setText(formatNumber(VentDia[6], QStringLiteral("#0.00")));
}
