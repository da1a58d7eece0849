// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Crossover Plans" tab as a component: the schematic of the last network calculated (or what to
// enter before there is one) with its "Save Image" and "Print" buttons and the tab's "Exit" button. It
// reads the network and the driver's name from the design state by const reference; the pad and the
// baffle-step compensation as built come from the Crossover tab through builtCrossover.

#include "crossover/RealParts.h"
#include "state/DesignState.h"

#include <QWidget>
#include <functional>

class GraphPicture;
class QPushButton;

class CrossoverPlansTab : public QWidget
{
    Q_OBJECT

public:
    explicit CrossoverPlansTab(const kelvane::state::DesignState &state, QWidget *parent = nullptr);

    GraphPicture *PicCrossoverPlan = nullptr;
    QPushButton *CmdSavePlan = nullptr, *CmdPrintPlan = nullptr;
    QPushButton *CmdExit = nullptr; // the window's CmdExit(4)
    std::function<crossover::BuiltCrossover()> builtCrossover;

    // Draws the schematic of the network in the design state, or what to enter before there is one.
    void CrossoverPlan();
    void CmdSavePlan_Click();
    void CmdPrintPlan_Click();

private:
    const kelvane::state::DesignState &state_;
};
