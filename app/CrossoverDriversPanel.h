// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Crossover tab's drivers as they are: each driver's response and impedance files (or the
// woofer modelled in its box of the Box Model, the tweeter nominal), the tweeter's level, offset and
// polarity, the parts as built, and the network as built simulated on the drivers. It draws the
// three simulated graphs on the tab's picture (the window draws "Filter sections") and adds the
// simulation's notes under it. The window hands it a snapshot; the panel reads nothing else of it.

#include "analysis/Snapshot.h"
#include "crossover/CrossoverCore.h"
#include "crossover/RealParts.h"
#include "crossover/Simulation.h"
#include "design/DesignFile.h"
#include "driverdata/DriverData.h"

#include <QPointer>
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
class QProgressBar;
class QPushButton;
class CrossoverOptimizerRunner;

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
    ~CrossoverDriversPanel() override;

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
    // The network as built from the fields (used values, coil resistances, pad, baffle step, series);
    // throws kelvane::CalcFault before "Calculate Crossover".
    crossover::BuiltCrossover builtCrossover() const;
    crossover::PartSeries series() const;
    // The nearest-value labels of the part lists and their headings (the window's), which follow
    // CboPartSeries: woofer, tweeter, then the Zobel's resistor and capacitor.
    void attachNearest(const std::array<QLabel *, 4> &woofer, const std::array<QLabel *, 4> &tweeter, QLabel *zobelR,
                       QLabel *zobelC, const std::array<QLabel *, 2> &headings);
    // "Suggest Pad": fills TxtTweeterPad from the drivers' levels (a note when the tweeter is quieter).
    void suggestPad();
    // "Optimize": starts the optimizer off the window's thread; false when it cannot start (a message
    // was shown). waitOptimizer() stops a run and waits for its thread; "Undo" restores the values.
    bool startOptimize();
    void cancelOptimize();
    void waitOptimizer();
    bool optimizing() const;
    void undoOptimize();
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
    // The parts as built: coil resistances, stress, series, power, pad, baffle step, optimizer.
    std::array<QLineEdit *, 4> TxtWooferPartDCR{}, TxtTweeterPartDCR{};
    std::array<QLabel *, 4> LblWooferPartStress{}, LblTweeterPartStress{};
    QGroupBox *FrameAsBuilt = nullptr;
    QComboBox *CboPartSeries = nullptr;
    QLineEdit *TxtCrossoverPower = nullptr, *TxtTweeterPad = nullptr, *TxtBaffleWidth = nullptr, *TxtBafflePercent = nullptr;
    QLabel *LblPadSeries = nullptr, *LblPadParallel = nullptr, *LblBSCInductor = nullptr, *LblBSCResistor = nullptr;
    QLabel *LblPadStress = nullptr, *LblBSCStress = nullptr, *LblZobelStress = nullptr, *LblStressNote = nullptr;
    QPushButton *CmdSuggestPad = nullptr, *CmdOptimize = nullptr, *CmdCancelOptimize = nullptr, *CmdUndoOptimize = nullptr;
    QProgressBar *PrgOptimize = nullptr;
    QLabel *LblOptimizeResult = nullptr;

signals:
    // The user changed something a design file keeps.
    void settingsChanged();
    // "Filter sections" was chosen again: the window draws its plot.
    void filterSectionsChosen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What "Undo" puts back: the texts of the used values, coil resistances and pad, and which
    // resistances were typed.
    struct AsBuiltValues {
        std::array<QString, 4> wooferUsed, tweeterUsed, wooferDcr, tweeterDcr;
        std::array<bool, 4> wooferTyped{}, tweeterTyped{};
        QString pad;
    };
    AsBuiltValues asBuiltValues() const;
    void setAsBuiltValues(const AsBuiltValues &values);
    void buildAsBuilt();
    // The drivers' curves the simulation uses (the woofer's modelled response with its baffle step);
    // false, with missing_ set, when they cannot be had. Throws kelvane::CalcFault.
    bool driverCurves(crossover::DriverCurves &woofer, crossover::DriverCurves &tweeter);
    void fillDcr(bool woofer, bool keepTyped);
    // The coil resistances as built (0 for a capacitor), a field left empty giving its default.
    std::vector<double> dcrValues(bool woofer) const;
    crossover::Acoustics acoustics() const;
    void showNearest();
    void showAsBuilt();
    void seriesChanged();
    void optimizerFinished();
    // Any edit: the values before the last optimizer run no longer apply.
    void edited();

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
    std::array<bool, 4> wooferDcrTyped_{}, tweeterDcrTyped_{};
    bool powerTyped_ = false;
    std::array<QLabel *, 4> nearestWoofer_{}, nearestTweeter_{};
    QLabel *nearestZobelR_ = nullptr, *nearestZobelC_ = nullptr;
    std::array<QLabel *, 2> nearestHeadings_{};
    CrossoverOptimizerRunner *runner_ = nullptr;
    AsBuiltValues beforeOptimize_;
    QList<QPointer<QWidget>> locked_;
    bool filling_ = false;
    GraphPicture *picture_ = nullptr;
    QLineEdit *xNum_ = nullptr, *yNum_ = nullptr;
    QLabel *notes_ = nullptr;
};
