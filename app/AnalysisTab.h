// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Analysis" tab: the curves of every calculated box at an amplifier's power (sound level, maximum level,
// cone excursion, vent air speed, group delay, phase, impedance) drawn from a snapshot of the last
// "Calculate Box", with a readout under the mouse and notes in plain words. The window hands it a
// snapshot; the tab reads nothing else of the window.

#include "analysis/AnalysisCore.h"
#include "design/DesignFile.h"

#include <QWidget>
#include <vector>

class GraphPicture;
class QComboBox;
class QLabel;
class QLineEdit;

class AnalysisTab : public QWidget
{
    Q_OBJECT

public:
    explicit AnalysisTab(QWidget *parent = nullptr);

    // The results to draw from; a snapshot that is not calculated blanks the graph and says what to
    // enter. The power follows the driver's maximum power and the vent the narrowest that is not
    // too fast, until the user chooses them.
    void setSnapshot(const kelvane::analysis::Snapshot &snapshot);

    // What a design file keeps of the tab; applying it counts as the user's choice.
    kelvane::design::AnalysisSettings settings() const;
    void applySettings(const kelvane::design::AnalysisSettings &settings);

    // The tab's curves at its power, one column per box and graph that has data (units in the
    // headings), once the tab has been open since the last calculation (as the other graphs'
    // curves are exported once drawn); valid until the next call.
    std::vector<kelvane::design::CurveColumn> exportColumns() const;

    double power() const { return power_; }
    // The curves of the graph on show (none while it says what to enter).
    const kelvane::analysis::GraphData &shownData() const { return data_; }
    // Draws the chosen graph completely (also what a change of graph, power or vent runs).
    void redraw();
    // The notes under the picture, a line each (the build sheet prints them under the graph).
    QStringList notes() const;

    QComboBox *CboAnalysisGraph = nullptr, *CboAnalysisVent = nullptr;
    QLineEdit *TxtAnalysisPower = nullptr;
    GraphPicture *PicAnalysis = nullptr;
    QLineEdit *TxtAnalysisXNum = nullptr, *TxtAnalysisSealedNum = nullptr, *TxtAnalysisVentedNum = nullptr,
              *TxtAnalysisPRNum = nullptr, *TxtAnalysisBPNum = nullptr;
    QLabel *LblAnalysisNotes = nullptr;

signals:
    // The user changed the graph, the power or the vent.
    void settingsChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void TxtAnalysisPower_KeyPress(int &KeyAscii);
    void PicAnalysis_MouseMove(double x, double y);
    void fillVents();
    double defaultPower() const;

    kelvane::analysis::Snapshot snapshot_;
    kelvane::analysis::GraphData data_;
    double power_ = 1;
    bool userPower_ = false;
    int userVent_ = -1; // the vent the user chose, or -1
    bool filling_ = false;
    bool viewed_ = false; // the tab has been open since the snapshot came
    mutable std::vector<std::pair<QString, kelvane::analysis::Curve>> exported_;
    // The notes depend on the boxes, the power and the vent, not on the graph shown: they are worked
    // out again only when one of those changed (the snapshot counted by snapshotSerial_).
    int snapshotSerial_ = 0;
    struct NotesKey {
        int serial = -1;
        double power = 0;
        int vent = -1;
        bool operator==(const NotesKey &) const = default;
    } notesKey_;
};
