// SPDX-License-Identifier: GPL-3.0-or-later
// The "Crossover" and "Crossover Plans" tabs: the woofer and tweeter data, the crossover types,
// the parts of both sections with their E12 values, the response plot and the notes; the
// schematic with its "Save Image" and "Print" buttons.

#include "app/Controls.h"
#include "app/CrossoverDriversPanel.h"
#include "app/CrossoverPlansTab.h"
#include "app/CrossoverTab.h"
#include "app/FieldEntry.h"
#include "crossover/CrossoverCore.h"
#include "graphs/GraphPicture.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

using namespace controls;

CrossoverTab::CrossoverTab(kelvane::state::DesignState &state, FieldEntry &keys, QWidget *parent)
    : QWidget(parent), State(state), Keys(&keys)
{
    QWidget *page = this;
    const QString InductanceTip = QStringLiteral("Input Voice Coil Inductance - Used in Crossover Design.");

    auto *grid = new QGridLayout;
    grid->addWidget(heading(page, QStringLiteral("LblCrossoverHeading"),
                            QStringLiteral("Crossover Design Parameters")), 0, 0, 1, 3);
    struct Row { const char *labelName, *caption, *fieldName, *unit; QString tip; QLineEdit *CrossoverTab::*control; };
    const Row rows[] = {
        {"LblRe", "Woofer DC Voice Coil Resistance - Re:", "TxtRe", "Ohms",
         QStringLiteral("Input DC Voice Coil Resistance - Used with Zmax to estimate Efficiency if Qes is unknown."),
         &CrossoverTab::TxtRe},
        {"LblL", "Woofer Voice Coil Inductance - Le:", "TxtL", "mH", InductanceTip, &CrossoverTab::TxtL},
        {"LblZ", "Woofer Impedance:", "TxtZ", "Ohms",
         QStringLiteral("Input Nominal Impedance - Used in Crossover Design."), &CrossoverTab::TxtZ},
        {"LblTweeterFs", "Tweeter Resonance - Fs:", "Text1", "Hz", InductanceTip, &CrossoverTab::Text1},
        {"LblTweeterZ", "Tweeter Impedance:", "Text2", "Ohms", InductanceTip, &CrossoverTab::Text2},
        {"LblWooferXover", "Woofer Crossover Frequency:", "Text3", "Hz", InductanceTip, &CrossoverTab::Text3},
        {"LblTweeterXover", "Tweeter Crossover Frequency:", "Text4", "Hz", InductanceTip, &CrossoverTab::Text4},
    };
    int r = 1;
    for (const Row &row : rows) {
        grid->addWidget(label(page, QLatin1String(row.labelName), QLatin1String(row.caption)), r, 0);
        QLineEdit *f = field(page, QLatin1String(row.fieldName), QString(), row.tip);
        grid->addWidget(f, r, 1);
        grid->addWidget(label(page, QLatin1String(row.labelName) + QStringLiteral("Unit"),
                              QLatin1String(row.unit)), r, 2);
        this->*row.control = f;
        ++r;
    }

    auto *types = new QGroupBox(QStringLiteral("Two-Way Crossover Types"), page);
    types->setObjectName(QStringLiteral("FrameCrossoverType"));
    new QVBoxLayout(types);
    // One exclusive group; none is selected at start.
    for (int i = 0; i < crossover::TypeCount; ++i)
        OptCrossoverType[i] = option(types, arrayName("OptCrossoverType", i),
                                     QLatin1String(crossover::alignment(i).name), QString());

    // The parts of both sections in order from the amplifier, each with its nearest E12 value and the
    // value it is built with; the tweeter's section under the woofer's.
    CrossoverDrivers = new CrossoverDriversPanel(page);
    auto *parts = new QGridLayout;
    parts->setHorizontalSpacing(8);
    parts->addWidget(heading(page, QStringLiteral("LblWooferSection"), QStringLiteral("Woofer low-pass")), 0, 0, 1, 2);
    QLabel *wooferSeries = heading(page, QStringLiteral("LblWooferE12"), QStringLiteral("E12"));
    parts->addWidget(wooferSeries, 0, 2);
    parts->addWidget(heading(page, QStringLiteral("LblWooferUsed"), QStringLiteral("Used")), 0, 3);
    parts->addWidget(heading(page, QStringLiteral("LblTweeterSection"), QStringLiteral("Tweeter high-pass")), 5, 0, 1, 2);
    QLabel *tweeterSeries = heading(page, QStringLiteral("LblTweeterE12"), QStringLiteral("E12"));
    parts->addWidget(tweeterSeries, 5, 2);
    parts->addWidget(heading(page, QStringLiteral("LblTweeterUsed"), QStringLiteral("Used")), 5, 3);
    // Beside each used value its coil's resistance and what it must take (a sine's worst case).
    for (const auto &[side, row] : {std::pair{"Woofer", 0}, std::pair{"Tweeter", 5}}) {
        parts->addWidget(heading(page, QStringLiteral("Lbl%1DCR").arg(QLatin1String(side)), QStringLiteral("DCR")), row, 4);
        QLabel *stress = heading(page, QStringLiteral("Lbl%1Stress").arg(QLatin1String(side)), QStringLiteral("Stress"));
        stress->setToolTip(QStringLiteral("What the part must take with a sine at the power below, worst case; music puts far less in."));
        parts->addWidget(stress, row, 5);
    }
    for (int i = 0; i < 4; ++i) {
        LblWooferPartName[i] = label(page, arrayName("LblWooferPartName", i), QString());
        LblWooferPart[i] = label(page, arrayName("LblWooferPart", i), QString());
        LblWooferPartE12[i] = label(page, arrayName("LblWooferPartE12", i), QString());
        LblTweeterPartName[i] = label(page, arrayName("LblTweeterPartName", i), QString());
        LblTweeterPart[i] = label(page, arrayName("LblTweeterPart", i), QString());
        LblTweeterPartE12[i] = label(page, arrayName("LblTweeterPartE12", i), QString());
        QWidget *const woofer[] = {LblWooferPartName[i], LblWooferPart[i], LblWooferPartE12[i],
                                   CrossoverDrivers->TxtWooferPartUsed[std::size_t(i)]};
        QWidget *const tweeter[] = {LblTweeterPartName[i], LblTweeterPart[i], LblTweeterPartE12[i],
                                    CrossoverDrivers->TxtTweeterPartUsed[std::size_t(i)]};
        for (int c = 0; c < 4; ++c) {
            parts->addWidget(woofer[c], i + 1, c);
            parts->addWidget(tweeter[c], i + 6, c);
        }
        const auto n = std::size_t(i);
        parts->addWidget(CrossoverDrivers->TxtWooferPartDCR[n], i + 1, 4);
        parts->addWidget(CrossoverDrivers->LblWooferPartStress[n], i + 1, 5);
        parts->addWidget(CrossoverDrivers->TxtTweeterPartDCR[n], i + 6, 4);
        parts->addWidget(CrossoverDrivers->LblTweeterPartStress[n], i + 6, 5);
    }
    LblZobelR = label(page, QStringLiteral("LblZobelR"), QString());
    LblZobelRE12 = label(page, QStringLiteral("LblZobelRE12"), QString());
    LblZobelC = label(page, QStringLiteral("LblZobelC"), QString());
    LblZobelCE12 = label(page, QStringLiteral("LblZobelCE12"), QString());
    parts->addWidget(label(page, QStringLiteral("LblZobelRName"), QStringLiteral("Zobel R:")), 10, 0);
    parts->addWidget(LblZobelR, 10, 1);
    parts->addWidget(LblZobelRE12, 10, 2);
    parts->addWidget(label(page, QStringLiteral("LblZobelCName"), QStringLiteral("Zobel C:")), 11, 0);
    parts->addWidget(LblZobelC, 11, 1);
    parts->addWidget(LblZobelCE12, 11, 2);
    parts->addWidget(CrossoverDrivers->LblZobelStress, 10, 5);
    parts->setColumnStretch(6, 1);
    CrossoverDrivers->attachNearest(LblWooferPartE12, LblTweeterPartE12, LblZobelRE12, LblZobelCE12,
                                    {wooferSeries, tweeterSeries});

    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addSpacing(6);
    left->addWidget(types);
    left->addSpacing(6);
    left->addLayout(parts);
    left->addSpacing(6);
    left->addWidget(CrossoverDrivers);
    left->addStretch(1);
    // The column scrolls rather than make the window taller than its pictures need.
    auto *leftPage = new QWidget;
    leftPage->setLayout(left);
    auto *leftScroll = new QScrollArea(page);
    leftScroll->setObjectName(QStringLiteral("CrossoverScroll"));
    leftScroll->setWidget(leftPage);
    leftScroll->setWidgetResizable(true);
    leftScroll->setFrameShape(QFrame::NoFrame);
    leftScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    leftScroll->setFixedWidth(std::max(leftPage->minimumSizeHint().width(), leftPage->sizeHint().width())
                              + leftScroll->verticalScrollBar()->sizeHint().width());

    // The response of both sections and their sum, on the graphs' drawing surface.
    Picture1 = new GraphPicture(page);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    TxtCrossoverFreqXNum = readout(Picture1, QStringLiteral("TxtCrossoverFreqXNum"), QStringLiteral("Hz"), 450, 80);
    TxtCrossoverYNum = readout(Picture1, QStringLiteral("TxtCrossoverYNum"), QStringLiteral("dB"), 536, 80);
    Picture1->keepRight(TxtCrossoverFreqXNum);
    Picture1->keepRight(TxtCrossoverYNum);
    LblCrossoverNotes = label(page, QStringLiteral("LblCrossoverNotes"), QStringLiteral("Notes"));
    CrossoverDrivers->attach(Picture1, TxtCrossoverFreqXNum, TxtCrossoverYNum, LblCrossoverNotes);
    LblCrossoverNotes->setWordWrap(true);
    LblCrossoverNotes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LblCrossoverNotes->setFixedWidth(GraphPicture::LogicalWidth);
    LblCrossoverNotes->setMinimumHeight(LblCrossoverNotes->fontMetrics().lineSpacing() * 4);

    auto *right = new QVBoxLayout;
    right->addWidget(new PictureHolder(Picture1), 1);
    right->addWidget(LblCrossoverNotes);

    auto *columns = new QHBoxLayout;
    columns->addWidget(leftScroll);
    columns->addSpacing(12);
    columns->addLayout(right, 1);

    CmdCalculateCrossover = button(page, QStringLiteral("CmdCalculateCrossover"), QStringLiteral("Calculate Crossover"),
                                   QStringLiteral("Click to calculate the frequency response(s) of the driver."));
    CmdExit = exitButton(page, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CmdCalculateCrossover);
    buttons->addSpacing(24);
    // What the picture shows, beside it.
    buttons->addWidget(label(page, QStringLiteral("LblCrossoverGraph"), QStringLiteral("Graph:")));
    buttons->addWidget(CrossoverDrivers->CboCrossoverGraph);
    buttons->addStretch(1);
    buttons->addWidget(CmdExit);

    auto *outer = new QVBoxLayout(page);
    outer->addLayout(columns, 1);
    outer->addLayout(buttons);

    connect(CmdCalculateCrossover, &QPushButton::clicked, this, [this] { CmdCalculateCrossover_Click(); });
    Picture1->onMouseMove = [this](double x, double y) { Picture1_MouseMove(0, 0, x, y); };
    // field, value, Tab after Enter, "0" reported, zero empties, text left by a zero, warning
    const auto outside = [](double low, double high) { return [low, high](double v) { return v < low || v > high; }; };
    const std::vector<FieldEntry::Numeric> entries = {
        {TxtRe, &State.Re, true, false, true, {}, {}},
        {TxtZ, &State.Z, true, false, true, {}, {}},
        {TxtL, nullptr, true, false, false, {}, {}},
        {Text1, &State.TweeterFs, true, true, true, {}, outside(300, 5000)},
        {Text2, &State.TweeterZ, true, true, true, {}, outside(2, 16)},
        {Text3, &State.WooferXover, true, true, true, {}, outside(80, 10000)},
        {Text4, &State.TweeterXover, true, true, true, {}, outside(80, 10000)},
    };
    for (const FieldEntry::Numeric &entry : entries)
        Keys->addNumeric(entry);
}

CrossoverPlansTab::CrossoverPlansTab(const kelvane::state::DesignState &state, QWidget *parent)
    : QWidget(parent), state_(state)
{
    QWidget *page = this;
    PicCrossoverPlan = new GraphPicture(page);
    PicCrossoverPlan->setObjectName(QStringLiteral("PicCrossoverPlan"));
    CmdSavePlan = button(page, QStringLiteral("CmdSavePlan"), QStringLiteral("Save Image"),
                         QStringLiteral("Click to save this plan image."));
    CmdPrintPlan = button(page, QStringLiteral("CmdPrintPlan"), QStringLiteral("Print"),
                          QStringLiteral("Click to Print this form."));
    auto *side = new QVBoxLayout;
    side->addSpacing(70);
    side->addWidget(CmdSavePlan);
    side->addWidget(CmdPrintPlan);
    side->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addWidget(new PictureHolder(PicCrossoverPlan), 1);
    row->addLayout(side);

    CmdExit = exitButton(page, 4);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CmdExit);
    auto *outer = new QVBoxLayout(page);
    outer->addLayout(row, 1);
    outer->addLayout(buttons);
    connect(CmdSavePlan, &QPushButton::clicked, this, [this] { CmdSavePlan_Click(); });
    connect(CmdPrintPlan, &QPushButton::clicked, this, [this] { CmdPrintPlan_Click(); });
}
