// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Box Model" tab as a component: how the sealed box is driven (target Qtc or volume) and the
// vented box's loss, tuning and volume, the drivers in the box, the result unit, the two result rows,
// the efficiency and the buttons that calculate and draw. Its procedures (SealedBox, VentedBox,
// EfficiencyCalcs) write their results into the design state. What an edit of the drivers resets,
// and what Calculate runs in which order, the window's calculation flow decides; the tab reaches it
// through resetResults and analysisChanged.

#include "driver/DriverGroup.h"
#include "state/DesignState.h"

#include <QWidget>
#include <array>
#include <functional>

class FieldEntry;
class InputTab;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class BoxModelTab : public QWidget
{
    Q_OBJECT

public:
    BoxModelTab(kelvane::state::DesignState &state, FieldEntry &keys, QWidget *parent = nullptr);

    QRadioButton *OptQtc = nullptr, *OptVolBox = nullptr;
    QLineEdit *TxtQtc = nullptr, *TxtCBV = nullptr, *TxtQloss = nullptr, *TxtVFb = nullptr,
              *TxtVBV = nullptr;
    QGroupBox *FrameSealedBoxVolume = nullptr;
    std::array<QRadioButton *, 3> OptSealedVolumeBox{};
    QLabel *LblSealedUnit = nullptr, *LblVentedUnit = nullptr;
    std::array<QLabel *, 1> LblCBVolume{}; // the sealed row's volume; LblCBVolume(1) is on Box and Vent
    QLabel *LblCFb = nullptr, *LblCF3 = nullptr, *LblCPeak = nullptr, *LblCPeakFreq = nullptr;
    QLabel *LblVBVolume = nullptr, *LblVFb = nullptr, *LblVF3 = nullptr, *LblVPeak = nullptr,
           *LblVPeakFreq = nullptr;
    QLabel *LblEBP = nullptr, *LblSPL = nullptr, *LblEstimated = nullptr;
    QPushButton *CmdCalculate = nullptr, *CmdFrequency = nullptr, *CmdDisplacement = nullptr;
    // The drivers in the box: how many, how wired, isobaric pairs, and the group in words.
    QLineEdit *TxtDriverCount = nullptr;
    QComboBox *CboWiring = nullptr;
    QCheckBox *ChkIsobaric = nullptr;
    QLabel *LblDriverGroup = nullptr;
    QPushButton *CmdExit = nullptr; // the window's CmdExit(1)

    // The Input tab, whose Qes and Qms EfficiencyCalcs reads (and an estimate from Qms fills in).
    InputTab *Input = nullptr;
    // One driver as the Input and Crossover tabs give it now.
    std::function<kelvane::driver::DriverValues()> oneDriver;
    // A new count or isobaric choice resets the model as an edit of Vas does.
    std::function<void()> resetResults;
    // The wiring changed the group's impedances, which the Analysis tab shows.
    std::function<void()> analysisChanged;
    // The result unit changed (after the volumes were written in it).
    std::function<void(int unit)> unitChanged;

    void SealedBox();
    void VentedBox();
    void EfficiencyCalcs();
    void OptSealedVolumeBox_Click(int Index);
    void TxtQtc_Click();
    void TxtCBV_Click();
    void TxtQtc_KeyPress(int &KeyAscii);
    void TxtDriverCount_KeyPress(int &KeyAscii);
    void TxtDriverCount_Change();
    void ChkIsobaric_Click();
    void CboWiring_Click();
    // The group the tab describes (one driver while the count field holds no count) of drivers with
    // the values given.
    kelvane::driver::DriverGroup driverGroup(const kelvane::driver::DriverValues &one) const;
    void ShowDriverGroup();
    // Index of the selected result volume unit (0 cubic feet, 1 litres, 2 cubic metres), or -1.
    int volumeUnitIndex() const;

private:
    kelvane::state::DesignState &State;
    FieldEntry *Keys;
};
