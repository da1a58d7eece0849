// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Crossover" tab as a component: the woofer and tweeter data, the crossover types, the parts of
// both sections with their E12 values and the Zobel network, the response plot with its readouts and
// notes, and the drivers panel (measured files, parts as built, the simulation). "Calculate
// Crossover" keeps the network in the design state; the drivers in the box, the panel's snapshot and
// the plan on the Crossover Plans tab come through the window's wiring.

#include "driver/DriverGroup.h"
#include "state/DesignState.h"

#include <QWidget>
#include <array>
#include <functional>

class CrossoverDriversPanel;
class FieldEntry;
class GraphPicture;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class CrossoverTab : public QWidget
{
    Q_OBJECT

public:
    CrossoverTab(kelvane::state::DesignState &state, FieldEntry &keys, QWidget *parent = nullptr);

    QLineEdit *TxtRe = nullptr, *TxtL = nullptr, *TxtZ = nullptr;
    QLineEdit *Text1 = nullptr, *Text2 = nullptr, *Text3 = nullptr, *Text4 = nullptr;
    std::array<QRadioButton *, 5> OptCrossoverType{};
    QPushButton *CmdCalculateCrossover = nullptr;
    QLabel *LblCrossoverNotes = nullptr;
    // Parts in order from the amplifier: name, value and nearest E12 value.
    std::array<QLabel *, 4> LblWooferPartName{}, LblWooferPart{}, LblWooferPartE12{};
    std::array<QLabel *, 4> LblTweeterPartName{}, LblTweeterPart{}, LblTweeterPartE12{};
    QLabel *LblZobelR = nullptr, *LblZobelRE12 = nullptr, *LblZobelC = nullptr, *LblZobelCE12 = nullptr;
    GraphPicture *Picture1 = nullptr;
    QLineEdit *TxtCrossoverFreqXNum = nullptr, *TxtCrossoverYNum = nullptr;
    // The drivers' data, the parts as built and the simulation on the drivers.
    CrossoverDriversPanel *CrossoverDrivers = nullptr;
    QPushButton *CmdExit = nullptr; // the window's CmdExit(3)

    // The drivers in the box as one equivalent driver, from one driver's values.
    std::function<kelvane::driver::DriverValues(const kelvane::driver::DriverValues &one)> groupOf;
    // Hands the drivers panel the network, the woofer and the boxes (newNetwork after Calculate).
    std::function<void(bool newNetwork)> updateDrivers;
    // A new network was calculated: the plan shows it.
    std::function<void()> networkCalculated;

    void CmdCalculateCrossover_Click();
    // The response plot: its frame, and the three curves of CrossoverNetwork (when there is one).
    void CrossoverResponse();
    void Picture1_MouseMove(int Button, int Shift, double X, double Y);

private:
    kelvane::state::DesignState &State;
    FieldEntry *Keys;
};
