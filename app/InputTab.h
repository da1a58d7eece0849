// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Input" tab as a component: the driver's data with its units, "Calculate Box" and "Calculate
// Qts", and the procedures that derive values from that data (the total Q, the linear volume
// displacement Vd). Its fields commit their numbers on Enter into the design state; what an edit
// resets, and what Calculate does, the window's calculation flow decides.

#include "driver/DriverCore.h"
#include "state/DesignState.h"

#include <QWidget>
#include <array>
#include <functional>

class FieldEntry;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class InputTab : public QWidget
{
    Q_OBJECT

public:
    InputTab(kelvane::state::DesignState &state, FieldEntry &keys, QWidget *parent = nullptr);

    QLineEdit *TxtName = nullptr, *TxtFs = nullptr, *TxtQts = nullptr, *TxtQes = nullptr,
              *TxtQms = nullptr, *TxtVas = nullptr, *TxtPower = nullptr, *TxtVd = nullptr,
              *TxtSd = nullptr, *TxtDia = nullptr, *TxtXmax = nullptr, *TxtVCHeight = nullptr,
              *TxtVCGap = nullptr;
    QPushButton *CmdCalculateQts = nullptr, *CmdCalculateInput = nullptr;
    QGroupBox *FrameVas = nullptr, *FrameVd = nullptr, *FrameSd = nullptr, *FrameDia = nullptr,
              *FrameXmax = nullptr;
    std::array<QRadioButton *, 3> OptVas{}, OptVd{}, OptSd{}, OptDia{};
    std::array<QRadioButton *, 2> OptXmax{};
    QPushButton *CmdExit = nullptr; // the window's CmdExit(0)

    // Brings this tab to the front (GetVd does when it asks for the coil's dimensions).
    std::function<void()> bringToFront;
    // The Vas of the drivers in the box together, from one driver's (cubic feet), as the models use it.
    std::function<double(double)> groupVas;

    void CmdCalculateQts_Click();
    void GetVd(double &VdOut);
    void TxtName_KeyPress(int &KeyAscii);
    void OptVas_KeyPress(int Index, int &KeyAscii);
    // The order in which Enter moves the focus through the driver data.
    void setInputTabOrder();
    // The displacement data as typed, with the units chosen.
    kelvane::driver::DisplacementEntries displacementEntries() const;

private:
    kelvane::state::DesignState &State;
    FieldEntry *Keys;
};
