// SPDX-License-Identifier: GPL-3.0-or-later
// The result volume unit: rewrite every shown box volume in the selected unit. The volumes
// themselves stay in cubic feet; nothing is recalculated. The smallest vent diameter on the Box and
// Vent tab follows the unit too: centimetres for litres and cubic metres.

#include "app/FrmKelvane.h"
#include "boxvent/BoxCore.h"
#include "common/NumberText.h"
#include "models/VolumeUnit.h"

#include <QLabel>
#include <QLineEdit>

using namespace kelvane;

void FrmKelvane::OptSealedVolumeBox_Click(int /*Index*/)
{
    const int unit = volumeUnitIndex();
    const QString field = QLatin1String(volume::FieldPattern);
    const QString result = QLatin1String(volume::resultPattern(unit));
    TxtCBV->setText(formatNumber(volume::fromCubicFeet(VbSealed, unit), field));
    LblCBVolume[0]->setText(formatNumber(volume::fromCubicFeet(VbSealed, unit), result));
    TxtVBV->setText(formatNumber(volume::fromCubicFeet(VbVented, unit), field));
    LblVBVolume->setText(formatNumber(volume::fromCubicFeet(VbVented, unit), result));
    const QString caption = QLatin1String(volume::UnitCaption[volume::validUnit(unit)]);
    LblSealedUnit->setText(caption);
    LblVentedUnit->setText(caption);
    if (MinVentDia > 0)
        LblMinVentDia->setText(boxvent::smallestVentCaption(MinVentDia, unit > 0));
}
