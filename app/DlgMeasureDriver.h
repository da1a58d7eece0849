// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Measure Driver" window (Tools > Measure Driver…): a driver's parameters from its impedance
// curves, and the tuning of a built vented box from the box's. It reaches the main window only
// through the functions it is given: a snapshot of the design, and filling the Input tab.

#include "analysis/Snapshot.h"
#include "library/DriverEntry.h"
#include "measure/MeasureCore.h"

#include <QDialog>
#include <functional>
#include <optional>

class GraphCanvas;
class GraphPicture;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

// What the window hands the dialog: the Input tab's driver and the Box Model's vented box.
struct MeasureSnapshot {
    std::optional<kelvane::measure::DriverModel> driver; // with Fs, the Q values and Re; else none
    double sdCm2 = 0;                 // the Input tab's cone area (typed, or from the diameter)
    bool calculated = false;          // a vented box of the last "Calculate Box" is on offer
    kelvane::analysis::BoxSnapshot vented;
};

// One curve of the picture and what the picture marks.
struct ImpedancePlot {
    struct Line {
        std::vector<double> hz, ohms;
        int colour = 0; // palette index
        QString label;
        int width = 2;  // line width; the fit is drawn thin over the measured curve
    };
    std::vector<Line> lines;
    QString title;
    double markHz = 0; // a frequency marked with a line (the box's tuning); 0: none
    QString markLabel;
    QString note;      // what to do, while there is no curve
};
// The measured and fitted curves over log frequency and ohms, drawn on a canvas of any size (the
// standard picture at 640 x 480).
void drawImpedancePlot(GraphCanvas &canvas, const ImpedancePlot &plot);

class DlgMeasureDriver : public QDialog
{
    Q_OBJECT

public:
    struct Hooks {
        std::function<MeasureSnapshot()> design;
        std::function<void(const kelvane::library::Entry &)> useDriver;
    };
    DlgMeasureDriver(const QString &libraryPath, Hooks hooks, QWidget *parent = nullptr);

    // What the load buttons do once a file is chosen: read and measure it, or show why not.
    bool loadFreeAir(const QString &path);
    bool loadSecond(const QString &path);
    bool loadBoxImpedance(const QString &path);
    // The measured driver as it goes to the library (valid while CmdUseMeasured is enabled).
    kelvane::library::Entry measuredDriver() const;

    QTabWidget *TabMeasure = nullptr;
    QPushButton *CmdLoadFreeAir = nullptr, *CmdLoadSecond = nullptr, *CmdUseMeasured = nullptr,
                *CmdAddMeasuredToLibrary = nullptr, *CmdLoadBoxImpedance = nullptr, *CmdCloseMeasure = nullptr;
    QLineEdit *TxtMeasureRe = nullptr, *TxtAddedMass = nullptr, *TxtMeasureSd = nullptr, *TxtTestBoxVolume = nullptr;
    QComboBox *CboVasMethod = nullptr, *CboMeasuredVent = nullptr;
    QLabel *LblFreeAirFile = nullptr, *LblSecondFile = nullptr, *LblMeasureNote = nullptr;
    QLabel *LblMeasuredRe = nullptr, *LblMeasuredFs = nullptr, *LblMeasuredQms = nullptr, *LblMeasuredQes = nullptr,
           *LblMeasuredQts = nullptr, *LblMeasuredLe = nullptr, *LblMeasuredVas = nullptr, *LblMeasuredMms = nullptr,
           *LblMeasuredCms = nullptr, *LblMeasuredBl = nullptr, *LblMeasuredSPL = nullptr,
           *LblMeasuredFitError = nullptr, *LblFittedFs = nullptr, *LblFittedQms = nullptr, *LblFittedQes = nullptr;
    QLabel *LblBoxFile = nullptr, *LblBoxDesign = nullptr, *LblMeasuredFb = nullptr, *LblMeasuredQl = nullptr,
           *LblVentAdvice = nullptr;
    GraphPicture *PicMeasuredImpedance = nullptr;

    void CmdLoadFreeAir_Click();
    void CmdLoadSecond_Click();
    void CmdUseMeasured_Click();
    void CmdAddMeasuredToLibrary_Click();
    void CmdLoadBoxImpedance_Click();
    void CboVasMethod_Click();

    static const QString Title;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QLineEdit *secondAmountField() const;
    // Reads an impedance file, or shows the reader's message.
    std::optional<kelvane::measure::Curve> readFile(const QString &path);
    // Measures the loaded curves afresh and shows the results; a problem is shown and nothing is
    // filled in.
    void measure();
    void measureSecond();
    void showResults();
    void checkBox();
    // Takes the Input tab's driver and the Box Model's vented box afresh, then checks the box.
    void refreshDesign();
    void redraw();

    QString libraryPath_;
    Hooks hooks_;
    MeasureSnapshot design_;
    std::optional<kelvane::measure::Curve> freeCurve_, secondCurve_, boxCurve_;
    std::optional<kelvane::measure::FreeAir> freeAir_;       // only when measured
    std::optional<kelvane::measure::Mechanics> mechanics_;   // only when measured
    kelvane::measure::SecondInput secondInput_;
    std::optional<kelvane::measure::BoxCheck> boxCheck_;
};
