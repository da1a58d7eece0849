// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Crossover tab's drivers as they are: each driver's response and impedance files (or the
// woofer modelled in its box of the Box Model, the tweeter nominal), the tweeter's level, offset and
// polarity, the parts as built, and the network as built simulated on the drivers. It draws the
// three simulated graphs on the tab's picture (the window draws "Filter sections") and adds the
// simulation's notes under it. The window hands it a snapshot; the panel reads nothing else of it.

#include "analysis/Snapshot.h"
#include "crossover/CrossoverCore.h"
#include "crossover/Simulation.h"
#include "design/DesignFile.h"
#include "driverdata/DriverData.h"

#include <QString>
#include <QWidget>
#include <array>
#include <optional>

class GraphPicture;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the simulation needs of the window: the network of the last "Calculate Crossover", the woofer
// (the group of drivers as one) and the boxes of the last "Calculate Box".
struct CrossoverDriversSnapshot {
    std::optional<crossover::Design> network;        // none: not calculated
    kelvane::analysis::DriverSnapshot woofer;        // sensitivity, Re and Le as the models use them
    std::vector<kelvane::analysis::BoxSnapshot> boxes; // sealed, then vented; empty before Calculate Box
    int recommendedBox = 0;                          // 0 sealed, 1 vented
    double tweeterOhms = 0;                          // the tweeter's impedance as typed (Text2); 0: none
    QString notes;                                   // the design's notes line ("Notes: ...")
};

class CrossoverDriversPanel : public QWidget
{
    Q_OBJECT

public:
    enum Graph { FilterSections = 0, ResponseOnDrivers, PhaseOnDrivers, ImpedanceAtAmplifier };
    enum File { WooferResponse = 0, WooferImpedance, TweeterResponse, TweeterImpedance };

    explicit CrossoverDriversPanel(QWidget *parent = nullptr);

    // The tab's picture, its two readouts and its notes label, which the panel shares with the
    // window's "Filter sections" plot.
    void attach(GraphPicture *picture, QLineEdit *xNum, QLineEdit *yNum, QLabel *notes);

    // A new snapshot. newNetwork: "Calculate Crossover" just designed it, so the used values start
    // at the E12 values and the tweeter's polarity as the design's note says.
    void setSnapshot(const CrossoverDriversSnapshot &snapshot, bool newNetwork);

    // Reads a file into one of the four slots; a refused file shows its message and changes nothing.
    bool loadFile(File slot, const QString &path);
    void clearData(bool woofer);
    // Simulates again from the fields as they are, and draws.
    void refresh();
    // File > Export Crossover Curves: the simulation as CSV; reports a failure and returns false.
    bool exportCurves(const QString &path);

    // What a design file keeps of the panel; applied after the network is calculated.
    kelvane::design::CrossoverDriversSettings settings() const;
    void applySettings(const kelvane::design::CrossoverDriversSettings &settings);

    // The simulation of the network as built (none before "Calculate Crossover" or without the
    // drivers' data); what the graphs, notes and export read.
    const std::optional<crossover::Simulation> &simulation() const { return simulation_; }
    // Why there is no simulation, in words (empty when there is one).
    QString missing() const { return missing_; }
    // The used values of both sections (henries, farads) as typed now.
    std::vector<double> usedValues(bool woofer) const;
    // The chosen graph is one of the panel's (not "Filter sections").
    bool drawsPicture() const;
    // Draws the chosen simulated graph on the picture and updates the notes.
    void redraw();
    // The readouts under the mouse (x, y in the picture's units); false for "Filter sections".
    bool mouseMove(double x, double y);

    QGroupBox *FrameWooferData = nullptr, *FrameTweeterData = nullptr;
    QPushButton *CmdWooferResponse = nullptr, *CmdWooferImpedance = nullptr, *CmdWooferClearData = nullptr;
    QPushButton *CmdTweeterResponse = nullptr, *CmdTweeterImpedance = nullptr, *CmdTweeterClearData = nullptr;
    QLabel *LblWooferData = nullptr, *LblTweeterData = nullptr;
    QComboBox *CboCrossoverBox = nullptr, *CboCrossoverGraph = nullptr;
    QLineEdit *TxtTweeterSPL = nullptr, *TxtAcousticOffset = nullptr;
    QCheckBox *ChkTweeterReversed = nullptr;
    std::array<QLineEdit *, 4> TxtWooferPartUsed{}, TxtTweeterPartUsed{};
    QLineEdit *TxtCrossoverWooferNum = nullptr, *TxtCrossoverTweeterNum = nullptr, *TxtCrossoverSumNum = nullptr;

signals:
    // The user changed something a design file keeps.
    void settingsChanged();
    // "Filter sections" was chosen again: the window draws its plot.
    void filterSectionsChosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseFile(File slot);
    void simulate();
    void showData();
    void fieldEntered(QLineEdit *field);
    void fillUsed(const crossover::Section &section, const std::array<QLineEdit *, 4> &fields);

    CrossoverDriversSnapshot snapshot_;
    std::array<std::optional<kelvane::driverdata::Curve>, 4> curves_;
    std::optional<crossover::Simulation> simulation_;
    QString missing_;
    bool userBox_ = false;
    bool filling_ = false;
    GraphPicture *picture_ = nullptr;
    QLineEdit *xNum_ = nullptr, *yNum_ = nullptr;
    QLabel *notes_ = nullptr;
};
