// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "More Boxes" tab: a box with passive radiators and a fourth-order bandpass box for the driver
// of the last "Calculate Box". The window hands it a snapshot (the driver, the vented box it starts
// from and the units in use); the tab reads nothing else of the window, and offers the boxes it has
// calculated to the Analysis tab.

#include "analysis/Snapshot.h"
#include "design/DesignFile.h"
#include "sheet/BuildSheet.h"

#include <QWidget>
#include <optional>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What the window hands the tab.
struct MoreBoxesSnapshot {
    kelvane::analysis::Snapshot calculation; // the driver and the sealed and vented boxes
    int volumeUnit = 0;                      // the Box Model tab's result unit (cubic feet, litres, cubic metres)
    int vasUnit = 1;                         // the Input tab's Vas unit, in the same order
    double vd = 0;                           // the driver's Vd as the Box and Vent tab took it, m^3; 0 unknown
};

class MoreBoxesTab : public QWidget
{
    Q_OBJECT

public:
    explicit MoreBoxesTab(QWidget *parent = nullptr);

    // A new calculation fills the radiator box's volume and tuning from the vented box; a snapshot
    // that is not calculated clears the results and says what to do.
    void setSnapshot(const MoreBoxesSnapshot &snapshot);

    // The boxes calculated since the last "Calculate Box", for the Analysis tab (radiator first).
    std::vector<kelvane::analysis::BoxSnapshot> boxes() const;

    // A calculated box for the build sheet: its volumes and its results as the tab shows them.
    std::optional<kelvane::sheet::MoreBox> sheetBox(bool bandpass) const;

    // What a design file keeps of the tab; applying it calculates what had been calculated.
    kelvane::design::MoreBoxesSettings settings() const;
    void applySettings(const kelvane::design::MoreBoxesSettings &settings);

    void CmdCalculatePR_Click();
    void CmdCalculateBP_Click();

    QGroupBox *FramePassiveRadiator = nullptr, *FrameBandpass = nullptr;
    QLineEdit *TxtPRSd = nullptr, *TxtPRMms = nullptr, *TxtPRVas = nullptr, *TxtPRQms = nullptr,
              *TxtPRXmax = nullptr, *TxtPRCount = nullptr, *TxtPRVb = nullptr, *TxtPRFb = nullptr;
    QPushButton *CmdCalculatePR = nullptr;
    QLabel *LblPRAddedMass = nullptr, *LblPRFp = nullptr, *LblPRF3 = nullptr, *LblPRPeak = nullptr,
           *LblPRExcursion = nullptr, *LblPRNotes = nullptr, *LblPRVasUnit = nullptr, *LblPRVbUnit = nullptr;
    QLineEdit *TxtBPRearVolume = nullptr, *TxtBPFrontVolume = nullptr, *TxtBPFb = nullptr,
              *TxtBPRipple = nullptr, *TxtBPGain = nullptr, *TxtBPVentDia = nullptr;
    QPushButton *CmdCalculateBP = nullptr;
    QLabel *LblBPF3Low = nullptr, *LblBPF3High = nullptr, *LblBPGain = nullptr, *LblBPVentLength = nullptr,
           *LblBPVentSpeed = nullptr, *LblBPNotes = nullptr, *LblBPRearUnit = nullptr, *LblBPFrontUnit = nullptr;

    // Said where the results stand while there is no calculated driver.
    static const QString NoDriverText;

signals:
    // A box was calculated or its results dropped: the Analysis tab draws from boxes().
    void boxesChanged();
    // The user edited a field of the tab.
    void settingsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // One numeric field: its plausible range (a value outside it gets the plausibility warning) and
    // the text a zero leaves.
    struct Entry {
        QLineEdit *field;
        double low, high;
        QString resetText;
    };
    void commitEntry(const Entry &entry, int &KeyAscii);
    void clearPR();
    void clearBP();
    void setVolumeUnit(int unit);
    QString volumeText(double cuFt) const;
    double volumeOf(const QLineEdit *field) const;

    std::vector<Entry> entries_;
    MoreBoxesSnapshot snapshot_;
    bool prCalculated_ = false, bpCalculated_ = false;
    kelvane::analysis::BoxSnapshot prBox_, bpBox_;
    double filledVb_ = 0, filledFb_ = 0; // the vented box the radiator fields were filled from
};
