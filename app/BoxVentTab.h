// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Box and Vent" tab as a component: the inside dimensions of both boxes for three side ratios, the
// vent table (length and air speed for the standard diameters and the user's own), the volume
// corrections and the build report's "Print". Its procedures write the box dimensions and vents
// into the design state; the result unit and the drivers' displacement come from the Box Model and
// Input tabs through the window's wiring.

#include "driver/DriverCore.h"
#include "state/DesignState.h"

#include <QWidget>
#include <array>
#include <functional>

class FieldEntry;
class QLabel;
class QLineEdit;
class QPushButton;

class BoxVentTab : public QWidget
{
    Q_OBJECT

public:
    BoxVentTab(kelvane::state::DesignState &state, FieldEntry &keys, QWidget *parent = nullptr);

    std::array<QLabel *, 3> LblCVol{}, LblCHeight{}, LblCWidth{}, LblCDepth{};
    std::array<QLabel *, 3> LblVVol{}, LblVHeight{}, LblVWidth{}, LblVDepth{};
    QLabel *LblOriginalCVol = nullptr, *LblOriginalVVol = nullptr, *LblOriginalFb = nullptr;
    QLabel *LblCBVolume1 = nullptr; // "LblCBVolume(1)", beside the tuning
    std::array<QLabel *, 7> LblVentLength{}, LblVentSpeed{}, LblVentWarning{};
    QLabel *LblMinVentDia = nullptr;
    QLineEdit *TxtVentDia = nullptr, *TxtPercentOverVolume = nullptr, *TxtAddVolume = nullptr;
    QPushButton *CmdPrintBoxVent = nullptr;
    QPushButton *CmdExit = nullptr; // the window's CmdExit(2)

    // The result unit of the Box Model tab (0 cubic feet, 1 litres, 2 cubic metres), or -1.
    std::function<int()> volumeUnit;
    // The displacement data of the Input tab as typed, and the Vd of all the drivers in the box
    // from one driver's.
    std::function<kelvane::driver::DisplacementEntries()> displacementEntries;
    std::function<double(double vd)> groupVd;

    void VentLengths();
    void VentSpeeds();
    void VentSpeedRow(int Index);
    void BoxDimensions();
    void CmdPrintBoxVent_Click();
    void TxtVentDia_KeyPress(int &KeyAscii);
    void TxtAddVolume_KeyPress(int &KeyAscii);
    void TxtPercentOverVolume_KeyPress(int &KeyAscii);
    // The smallest vent diameter in the unit that follows a new result unit (centimetres for litres
    // and cubic metres).
    void volumeUnitChanged(int unit);
    const kelvane::state::DesignState &state() const { return State; }

private:
    // BoxDimensions after an edit of the added volume or the over-volume percentage.
    void recalculateDimensions();

    kelvane::state::DesignState &State;
    FieldEntry *Keys;
};
