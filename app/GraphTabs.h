// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two graph tabs as components. Each owns its picture (640 x 480, larger as the window grows), its
// readout fields above the plot and its "Save Image" and "Print" buttons right of it, and reads the
// design state for the readouts and the file name. What it draws the window hands it after Calculate
// (the window's CmdFrequency_Click and CmdDisplacement_Click); after a save or a print the tab asks
// the window to draw it again through redraw.

#include "state/DesignState.h"

#include <QString>
#include <QWidget>
#include <functional>

class GraphPicture;
class QLineEdit;
class QPushButton;

// The save and print convention shared by the graphs and the crossover plan: save the picture as
// <DriverName or placeholder><suffix>.bmp in the current folder, or print the window with the graph
// on the default printer (the two buttons hidden meanwhile); then redraw. A failure is reported and
// nothing is redrawn.
void SaveGraphImage(GraphPicture *picture, const QString &DriverName, const QString &placeholder,
                    const QString &suffix, const std::function<void()> &redraw);
void PrintGraphWindow(GraphPicture *picture, QPushButton *save, QPushButton *print,
                      const std::function<void()> &redraw);

class FrequencyTab : public QWidget
{
    Q_OBJECT

public:
    explicit FrequencyTab(const kelvane::state::DesignState &state, QWidget *parent = nullptr);

    GraphPicture *PicFrequency = nullptr;
    QLineEdit *TxtFreqXNum = nullptr, *TxtSPLYNum = nullptr;
    QPushButton *CmdSave = nullptr, *CmdPrintFreq = nullptr;
    std::function<void()> redraw;

    void PicFrequency_MouseMove(int Button, int Shift, double X, double Y);
    void CmdSave_Click();
    void CmdPrintFreq_Click();

private:
    const kelvane::state::DesignState &state_;
};

class DisplacementTab : public QWidget
{
    Q_OBJECT

public:
    explicit DisplacementTab(const kelvane::state::DesignState &state, QWidget *parent = nullptr);

    GraphPicture *PicDisplacementLimit = nullptr;
    QLineEdit *TxtFreqPowerXNum = nullptr, *TxtSPLpowerYNum = nullptr, *TxtSPLpowerYwattsNum = nullptr;
    QPushButton *CmdSaveDisplacement = nullptr, *CmdPrintDisplacement = nullptr;
    std::function<void()> redraw;

    void PicDisplacementLimit_MouseMove(int Button, int Shift, double X, double Y);
    void CmdSaveDisplacement_Click();
    void CmdPrintDisplacement_Click();

private:
    const kelvane::state::DesignState &state_;
};
