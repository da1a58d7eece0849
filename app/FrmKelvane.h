// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: the design state, every control and every procedure that reads the controls,
// calls the numeric core, keeps the results in the design state and writes the captions. The
// procedures are defined in app/, beside the tab they serve (app/SealedBoxProcedure.cpp defines FrmKelvane::SealedBox, and so on).

#include "app/BoxModelTab.h"
#include "app/BoxVentTab.h"
#include "app/CrossoverPlansTab.h"
#include "app/CrossoverTab.h"
#include "app/GraphTabs.h"
#include "app/InputTab.h"
#include "crossover/CrossoverCore.h"
#include "design/DesignFile.h"
#include "driver/DriverGroup.h"
#include "library/DriverEntry.h"
#include "sheet/BuildSheet.h"
#include "state/DesignState.h"

#include <QMainWindow>
#include <QPointer>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class QTabWidget;
class AnalysisTab;
class MoreBoxesTab;
class CrossoverDriversPanel;
class GraphPicture;
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

    // ---- Controls (objectName = the name below; arrays carry "(index)") ----
    QTabWidget *SSTab = nullptr;
    QAction *MnuItemExit = nullptr, *MnuAbout = nullptr;
    QAction *MnuNew = nullptr, *MnuOpen = nullptr, *MnuSave = nullptr, *MnuSaveAs = nullptr,
            *MnuExportCurves = nullptr, *MnuExportCrossoverCurves = nullptr, *MnuDriverLibrary = nullptr, *MnuMeasureDriver = nullptr;
    QAction *MnuExportBuildSheet = nullptr, *MnuExportPicture = nullptr;
    QMenu *MnuOpenRecent = nullptr;
    std::array<QPushButton *, 5> CmdExit{};

    // Input tab: its own widget.
    InputTab *Input = nullptr;

    // Box Model tab: its own widget; Calculate runs its SealedBox, VentedBox and EfficiencyCalcs.
    BoxModelTab *BoxModel = nullptr;

    // Box and Vent tab: its own widget; Calculate runs its VentLengths and BoxDimensions.
    BoxVentTab *BoxVent = nullptr;

    // Crossover tab: its own widget, with the drivers panel.
    CrossoverTab *Crossover = nullptr;

    // Crossover Plans tab: its own widget, drawn from the design state.
    CrossoverPlansTab *CrossoverPlans = nullptr;

    // Graph tabs: their own widgets, drawn by CmdFrequency_Click and CmdDisplacement_Click.
    FrequencyTab *Frequency = nullptr;
    DisplacementTab *Displacement = nullptr;

    // Analysis tab: its own widget, drawn from the snapshot UpdateAnalysis hands it.
    AnalysisTab *Analysis = nullptr;
    // More Boxes tab: its own widget; UpdateAnalysis hands it the driver and the vented box.
    MoreBoxesTab *MoreBoxes = nullptr;

    // ---- Start-up, menus, exits (app/) ----
    void Form_Load();
    void CmdExit_Click(int Index);
    void MnuItemExit_Click();
    void MnuAbout_Click();

    // ---- Design files (app/DesignFiles.cpp) ----
    void MnuNew_Click();
    void MnuOpen_Click();
    void MnuOpenRecent_Click(int Index);
    void MnuSave_Click();
    void MnuSaveAs_Click();
    void MnuExportCurves_Click();
    // What the menus do once a file is chosen; each reports its own failure and returns false.
    bool openDesign(const QString &path);
    bool saveDesign(const QString &path);
    bool exportCurves(const QString &path);
    QString designPath() const { return designPath_; }
    bool designModified() const { return designModified_; }
    QStringList recentDesigns() const;

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

    // ---- Crossover (app/CrossoverProcedures.cpp) ----
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


    // Design files (app/DesignFiles.cpp)
    void buildDesignMenu(QMenu *file);
    // Keeps the start-up state for "New" and marks the design changed on every edit.
    void watchDesignEdits();
    kelvane::design::Design currentDesign() const;
    void applyDesign(const kelvane::design::Design &design);
    void setDesignChoices(const kelvane::design::Design &design);
    std::vector<QRadioButton *> choiceOptions(std::size_t choice) const;
    // The shared values the key handlers keep, taken from the field texts as if each had been
    // entered with Enter.
    void commitEnteredValues();
    std::vector<kelvane::design::CurveColumn> calculatedCurves() const;
    // False when the user cancels (or the save fails): the design must not be replaced.
    bool askToSaveChanges();
    void markDesignModified();
    void setDesignFile(const QString &path);
    void updateDesignTitle();
    void rememberRecent(const QString &path);
    void forgetRecent(const QString &path);
    void refreshRecentMenu();

    QPointer<DlgDriverLibrary> driverLibrary_;
    QPointer<DlgMeasureDriver> measureDriver_;
    QString designPath_;          // absolute; empty for a design never saved
    bool designModified_ = false;
    bool fillingDesign_ = false;  // edits made while a design is filled in are not the user's
    kelvane::design::Design startUpDesign_;
    std::vector<std::pair<QLabel *, QString>> startUpCaptions_;
    std::vector<std::pair<QLineEdit *, QString>> startUpReadouts_;
};
