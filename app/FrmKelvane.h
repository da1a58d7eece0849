// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the menus, the tab widget with one component per tab, the design state they share
// and the wiring between them. The order in which Calculate runs the tabs' procedures, and what each
// edit resets, is the calculation flow (app/CalculationFlow.cpp).

#include "app/BoxModelTab.h"
#include "app/BoxVentTab.h"
#include "app/CrossoverPlansTab.h"
#include "app/CrossoverTab.h"
#include "app/DesignFiles.h"
#include "app/GraphTabs.h"
#include "app/InputTab.h"
#include "library/DriverEntry.h"
#include "sheet/BuildSheet.h"
#include "state/DesignState.h"

#include <QMainWindow>
#include <QPointer>
#include <array>

class QAction;
class QMenu;
class QPushButton;
class QTabWidget;
class AnalysisTab;
class MoreBoxesTab;
class DlgDriverLibrary;
class DlgMeasureDriver;
class FieldEntry;

class FrmKelvane : public QMainWindow
{
    Q_OBJECT

public:
    // Where the window opens: at its default size (its smallest, at which every picture is 640 x 480),
    // or where it was, at the size and in the state it had, when it was last closed (the program's
    // window; it is kept in the settings file of the recent designs).
    enum class Placement { Default, Remembered };
    explicit FrmKelvane(QWidget *parent = nullptr, Placement placement = Placement::Default);
    ~FrmKelvane() override;

    // Tab indices of SSTab.
    enum Tab { TabInput = 0, TabBoxModel, TabBoxVent, TabCrossover, TabCrossoverPlans,
               TabFrequency, TabDisplacement, TabAnalysis, TabMoreBoxes };

    // ---- The design: the driver as entered and everything calculated from it ----
    kelvane::state::DesignState State;

    // How the entry fields of every tab take keys (commit on Enter, the queued Tab).
    FieldEntry *Keys = nullptr;
    // The design as a file: the File menu's New, Open, Save and Export Curves, the recent designs.
    DesignFiles *Files = nullptr;

    // ---- Controls (objectName = the name below; arrays carry "(index)") ----
    QTabWidget *SSTab = nullptr;
    QAction *MnuItemExit = nullptr, *MnuAbout = nullptr;
    QAction *MnuNew = nullptr, *MnuOpen = nullptr, *MnuSave = nullptr, *MnuSaveAs = nullptr,
            *MnuExportCurves = nullptr, *MnuExportCrossoverCurves = nullptr, *MnuDriverLibrary = nullptr, *MnuMeasureDriver = nullptr;
    QAction *MnuExportBuildSheet = nullptr, *MnuExportPicture = nullptr;
    QMenu *MnuOpenRecent = nullptr;
    std::array<QPushButton *, 5> CmdExit{};

    // The tabs, in order, each a component that owns its controls and procedures. Calculate runs the
    // Box Model's SealedBox, VentedBox and EfficiencyCalcs and the Box and Vent's VentLengths and
    // BoxDimensions; CmdFrequency_Click and CmdDisplacement_Click draw the two graph tabs;
    // UpdateAnalysis hands the More Boxes and Analysis tabs their snapshots.
    InputTab *Input = nullptr;
    BoxModelTab *BoxModel = nullptr;
    BoxVentTab *BoxVent = nullptr;
    CrossoverTab *Crossover = nullptr; // with the drivers panel
    CrossoverPlansTab *CrossoverPlans = nullptr;
    FrequencyTab *Frequency = nullptr;
    DisplacementTab *Displacement = nullptr;
    AnalysisTab *Analysis = nullptr;
    MoreBoxesTab *MoreBoxes = nullptr;

    // ---- Start-up, menus, exits (app/) ----
    void Form_Load();
    void CmdExit_Click(int Index);
    void MnuItemExit_Click();
    void MnuAbout_Click();

    // ---- Driver library (app/DriverLibrary.cpp) ----
    void MnuDriverLibrary_Click();
    // Fills the Input tab (and Re, L, Z of the Crossover tab) from an entry as if typed, then resets
    // the Box Model as an edit of Fs does.
    void useDriver(const kelvane::library::Entry &entry);
    // The driver on the Input tab as a library entry (Vas in litres, Sd in cm², Xmax in mm).
    kelvane::library::Entry currentDriver() const;
    // ---- Measuring a driver (app/MeasureDriver.cpp): Use fills the Input tab through useDriver ----
    void MnuMeasureDriver_Click();
    // ---- Build sheet and pictures (app/BuildSheetExport.cpp) ----
    void MnuExportBuildSheet_Click();
    void MnuExportPicture_Click();
    // The calculated design as plain values for the build sheet; the frequency response is drawn
    // first when it is not yet (the tab in front stays).
    kelvane::sheet::Snapshot buildSheetSnapshot();

    // ---- Calculation flow (app/CalculationFlow.cpp) ----
    // One driver as the Input and Crossover tabs give it now; no message, no fault (what is missing,
    // or a diameter too large to square, is 0).
    kelvane::driver::DriverValues oneDriver() const;
    void CmdCalculateInput_Click();
    void CmdCalculate_Click();
    void ButtonsOn();
    void ButtonsOff();
    void ResetModel();
    void TxtFs_Change();
    void TxtQts_Change();
    void TxtVas_Change();
    void OptVas_Click(int Index);

    // ---- Graphs (app/GraphTabs.cpp) ----
    void CmdFrequency_Click();
    void CmdDisplacement_Click();
    void CalculateDisplacementSPL();

    // ---- Crossover drivers panel (app/CrossoverDriversSnapshot.cpp) ----
    // Hands the panel the network, the woofer and the boxes; newNetwork after Calculate Crossover.
    void UpdateCrossoverDrivers(bool newNetwork);

    // ---- Analysis (app/AnalysisSnapshot.cpp) ----
    // Hands the More Boxes tab the driver and both boxes of the last calculation, and the Analysis
    // tab those with the boxes calculated on the More Boxes tab, or no results while none are on
    // offer.
    void UpdateAnalysis();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // app/WindowPlacement.cpp
    void placeWindow(Placement placement);
    void rememberPlacement();
    Placement placement_ = Placement::Default;

    void buildMenus();
    void nameControlsForAccessibility();
    void wireHandlers();

    QPointer<DlgDriverLibrary> driverLibrary_;
    QPointer<DlgMeasureDriver> measureDriver_;
};
