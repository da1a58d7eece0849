// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/FrmKelvane.h"
#include "app/DesignFiles.h"
#include "app/FieldEntry.h"
#include "app/CrossoverDriversPanel.h"

#include "app/AnalysisTab.h"
#include "app/Controls.h"
#include "app/FrmAbout.h"
#include "app/Icon.h"
#include "app/MoreBoxesTab.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

FrmKelvane::FrmKelvane(QWidget *parent, Placement placement) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("FrmKelvane"));
    setWindowTitle(QStringLiteral("Kelvane"));
    setWindowIcon(kelvaneIcon());
    Keys = new FieldEntry(this);
    Files = new DesignFiles(*this);

    SSTab = new QTabWidget(this);
    SSTab->setObjectName(QStringLiteral("SSTab"));
    Input = new InputTab(State, *Keys);
    Input->bringToFront = [this] { SSTab->setCurrentIndex(TabInput); };
    CmdExit[0] = Input->CmdExit;
    SSTab->addTab(Input, QStringLiteral("Input"));
    BoxModel = new BoxModelTab(State, *Keys);
    BoxModel->Input = Input;
    BoxModel->oneDriver = [this] { return oneDriver(); };
    BoxModel->resetResults = [this] {
        ResetModel();
        ButtonsOff();
    };
    BoxModel->analysisChanged = [this] { UpdateAnalysis(); };
    CmdExit[1] = BoxModel->CmdExit;
    SSTab->addTab(BoxModel, QStringLiteral("Box Model"));
    BoxVent = new BoxVentTab(State, *Keys);
    BoxVent->volumeUnit = [this] { return BoxModel->volumeUnitIndex(); };
    BoxVent->displacementEntries = [this] { return Input->displacementEntries(); };
    BoxVent->groupVd = [this](double vd) { return BoxModel->driverGroup({.vd = vd}).equivalent.vd; };
    Input->groupVas = [this](double vas) { return BoxModel->driverGroup({.vas = vas}).equivalent.vas; };
    BoxModel->unitChanged = [this](int unit) { BoxVent->volumeUnitChanged(unit); };
    CmdExit[2] = BoxVent->CmdExit;
    SSTab->addTab(BoxVent, QStringLiteral("Box and Vent"));
    Crossover = new CrossoverTab(State, *Keys);
    Crossover->groupOf = [this](const kelvane::driver::DriverValues &one) { return BoxModel->driverGroup(one).equivalent; };
    Crossover->updateDrivers = [this](bool newNetwork) { UpdateCrossoverDrivers(newNetwork); };
    Crossover->networkCalculated = [this] {
        CrossoverPlans->CrossoverPlan();
        CrossoverPlans->CmdSavePlan->setEnabled(true);
        CrossoverPlans->CmdPrintPlan->setEnabled(true);
    };
    CmdExit[3] = Crossover->CmdExit;
    SSTab->addTab(Crossover, QStringLiteral("Crossover"));
    CrossoverPlans = new CrossoverPlansTab(State);
    CrossoverPlans->builtCrossover = [this] { return Crossover->CrossoverDrivers->builtCrossover(); };
    CmdExit[4] = CrossoverPlans->CmdExit;
    SSTab->addTab(CrossoverPlans, QStringLiteral("Crossover Plans"));
    Frequency = new FrequencyTab(State);
    Frequency->redraw = [this] { CmdFrequency_Click(); };
    SSTab->addTab(Frequency, QStringLiteral("Frequency Response"));
    Displacement = new DisplacementTab(State);
    Displacement->redraw = [this] { CmdDisplacement_Click(); };
    SSTab->addTab(Displacement, QStringLiteral("Displacement Limits"));
    Analysis = new AnalysisTab;
    SSTab->addTab(Analysis, QStringLiteral("Analysis"));
    MoreBoxes = new MoreBoxesTab;
    SSTab->addTab(MoreBoxes, QStringLiteral("More Boxes"));
    setCentralWidget(SSTab);
    buildMenus();
    Input->setInputTabOrder();
    wireHandlers();
    nameControlsForAccessibility();
    placeWindow(placement);
    Form_Load();
    Files->watchDesignEdits();
    connect(Analysis, &AnalysisTab::settingsChanged, this, [this] { Files->markDesignModified(); });
    connect(MoreBoxes, &MoreBoxesTab::settingsChanged, this, [this] { Files->markDesignModified(); });
    connect(Crossover->CrossoverDrivers, &CrossoverDriversPanel::settingsChanged, this, [this] {
        Files->markDesignModified();
        CrossoverPlans->CrossoverPlan(); // the pad and the baffle-step network are on the plan
    });
    connect(Crossover->CrossoverDrivers, &CrossoverDriversPanel::filterSectionsChosen, this, [this] { Crossover->CrossoverResponse(); });
    connect(MoreBoxes, &MoreBoxesTab::boxesChanged, this, [this] { UpdateAnalysis(); });
    // The tab shows its volumes in the result unit of the Box Model tab.
    for (QRadioButton *o : BoxModel->OptSealedVolumeBox)
        connect(o, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                UpdateAnalysis();
        });
    // The tab also takes what was typed since the calculation (Re and Le on the Crossover tab, Sd,
    // Xmax, the power) when it is opened.
    connect(SSTab, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == TabAnalysis && BoxModel->CmdFrequency->isEnabled())
            UpdateAnalysis();
        // The group of drivers in words, with what was typed on the other tabs since.
        if (index == TabBoxModel)
            BoxModel->ShowDriverGroup();
    });
}

FrmKelvane::~FrmKelvane() = default;

void FrmKelvane::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("MnuFile"));
    Files->buildDesignMenu(file);
    MnuExportBuildSheet = file->addAction(QStringLiteral("Export &Build Sheet…"));
    MnuExportBuildSheet->setObjectName(QStringLiteral("MnuExportBuildSheet"));
    MnuExportPicture = file->addAction(QStringLiteral("Export &Picture…"));
    MnuExportPicture->setObjectName(QStringLiteral("MnuExportPicture"));
    connect(MnuExportBuildSheet, &QAction::triggered, this, [this] { MnuExportBuildSheet_Click(); });
    connect(MnuExportPicture, &QAction::triggered, this, [this] { MnuExportPicture_Click(); });
    file->addSeparator();
    MnuDriverLibrary = file->addAction(QStringLiteral("&Driver Library…"));
    MnuDriverLibrary->setObjectName(QStringLiteral("MnuDriverLibrary"));
    MnuDriverLibrary->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    connect(MnuDriverLibrary, &QAction::triggered, this, [this] { MnuDriverLibrary_Click(); });
    file->addSeparator();
    MnuItemExit = file->addAction(QStringLiteral("E&xit"));
    MnuItemExit->setObjectName(QStringLiteral("MnuItemExit"));
    QMenu *tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("MnuTools"));
    MnuMeasureDriver = tools->addAction(QStringLiteral("&Measure Driver…"));
    MnuMeasureDriver->setObjectName(QStringLiteral("MnuMeasureDriver"));
    connect(MnuMeasureDriver, &QAction::triggered, this, [this] { MnuMeasureDriver_Click(); });
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("MnuHelp"));
    MnuAbout = help->addAction(QStringLiteral("&About"));
    MnuAbout->setObjectName(QStringLiteral("MnuAbout"));
    connect(MnuItemExit, &QAction::triggered, this, [this] { MnuItemExit_Click(); });
    connect(MnuAbout, &QAction::triggered, this, [this] { MnuAbout_Click(); });
}

void FrmKelvane::Form_Load()
{
    SSTab->setCurrentIndex(TabInput);
    show();
    activateWindow();
    Input->TxtFs->setFocus(Qt::OtherFocusReason);
    BoxModel->CmdFrequency->setEnabled(false);
    BoxModel->CmdDisplacement->setEnabled(false);
    Frequency->CmdSave->setEnabled(false);
    Displacement->CmdSaveDisplacement->setEnabled(false);
    Displacement->CmdPrintDisplacement->setEnabled(false);
    Frequency->CmdPrintFreq->setEnabled(false);
    State.PercentOverVolume = 100;
    // The crossover tabs: an empty response plot, and a plan that says what to enter; nothing to
    // save or print until a crossover is calculated.
    CrossoverPlans->CmdSavePlan->setEnabled(false);
    CrossoverPlans->CmdPrintPlan->setEnabled(false);
    Crossover->CrossoverResponse();
    CrossoverPlans->CrossoverPlan();
}

void FrmKelvane::CmdExit_Click(int /*Index*/)
{
    close();
}

void FrmKelvane::MnuItemExit_Click()
{
    // The window stays when the user cancels the question about unsaved changes.
    if (!close())
        return;
    QCoreApplication::quit();
}

void FrmKelvane::MnuAbout_Click()
{
    FrmAbout about(this);
    about.exec();
}

void FrmKelvane::wireHandlers()
{
    for (int i = 0; i < int(CmdExit.size()); ++i)
        connect(CmdExit[i], &QPushButton::clicked, this, [this, i] { CmdExit_Click(i); });
    connect(Input->CmdCalculateInput, &QPushButton::clicked, this, [this] { CmdCalculateInput_Click(); });
    connect(BoxModel->CmdCalculate, &QPushButton::clicked, this, [this] { CmdCalculate_Click(); });
    connect(BoxModel->CmdFrequency, &QPushButton::clicked, this, [this] { CmdFrequency_Click(); });
    connect(BoxModel->CmdDisplacement, &QPushButton::clicked, this, [this] { CmdDisplacement_Click(); });

    connect(Input->TxtFs, &QLineEdit::textChanged, this, [this] { TxtFs_Change(); });
    connect(Input->TxtQts, &QLineEdit::textChanged, this, [this] { TxtQts_Change(); });
    connect(Input->TxtVas, &QLineEdit::textChanged, this, [this] { TxtVas_Change(); });
    for (int i = 0; i < 3; ++i) {
        connect(Input->OptVas[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptVas_Click(i);
        });
    }

    // Tab enters an option group on its selected button only, as in a group of option buttons
    // anywhere else on the desktop; the other buttons still take a click.
    const auto tabStopOnSelected = [this](QRadioButton *o) {
        const auto update = [o](bool on) { o->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus); };
        update(o->isChecked());
        connect(o, &QRadioButton::toggled, this, update);
    };
    for (auto *o : Input->OptVas) tabStopOnSelected(o);
    for (auto *o : Input->OptVd) tabStopOnSelected(o);
    for (auto *o : Input->OptSd) tabStopOnSelected(o);
    for (auto *o : Input->OptDia) tabStopOnSelected(o);
    for (auto *o : Input->OptXmax) tabStopOnSelected(o);
    for (auto *o : BoxModel->OptSealedVolumeBox) tabStopOnSelected(o);
    tabStopOnSelected(BoxModel->OptQtc);
    tabStopOnSelected(BoxModel->OptVolBox);
}

void FrmKelvane::closeEvent(QCloseEvent *event)
{
    if (!Files->askToSaveChanges()) {
        event->ignore();
        return;
    }
    rememberPlacement();
    QMainWindow::closeEvent(event);
}
