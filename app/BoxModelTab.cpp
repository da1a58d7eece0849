// SPDX-License-Identifier: GPL-3.0-or-later
// The "Box Model" tab: how the sealed and vented models are driven, the drivers in the box, and the
// "Results" table; the reference efficiency, sensitivity and box-type advice shown there (a missing
// Qes is estimated from Qms, or a Qms of 3, and the estimate is noted); and the result volume unit,
// which rewrites every shown box volume in the selected unit without recalculating anything (the
// volumes stay in cubic feet; the smallest vent diameter on the Box and Vent tab follows the unit
// too: centimetres for litres and cubic metres).

#include "app/BoxModelTab.h"

#include "app/Controls.h"
#include "app/FieldEntry.h"
#include "app/InputTab.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "driver/Program.h"
#include "models/VolumeUnit.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace controls;

BoxModelTab::BoxModelTab(kelvane::state::DesignState &state, FieldEntry &keys, QWidget *parent)
    : QWidget(parent), State(state), Keys(&keys)
{
    QWidget *page = this;
    const QString VolumeTip = QStringLiteral("Choose a unit of volume.");
    const QString QesTip = QStringLiteral("Input Qes on the Data Input Tab.");

    // Sealed-box choices
    auto *sealed = new QGridLayout;
    sealed->addWidget(heading(page, arrayName("Label1", 40), QStringLiteral("Sealed Box:")), 0, 0, 1, 3);
    OptVolBox = option(page, QStringLiteral("OptVolBox"), QStringLiteral("Vol. Box:"),
                       QStringLiteral("Cick here to model a custom box volume."));
    TxtCBV = field(page, QStringLiteral("TxtCBV"), QString(), QStringLiteral("Enter a box volume to model."));
    LblSealedUnit = label(page, QStringLiteral("LblSealedUnit"), QString());
    LblSealedUnit->setMinimumWidth(40);
    OptQtc = option(page, QStringLiteral("OptQtc"), QStringLiteral("Qtc:"),
                    QStringLiteral("Cick here to model a custom Qtc."));
    TxtQtc = field(page, QStringLiteral("TxtQtc"), QStringLiteral(".707"),
                   QStringLiteral("Enter a Qtc to model."));
    sealed->addWidget(OptQtc, 1, 0);
    sealed->addWidget(TxtQtc, 1, 1);
    sealed->addWidget(OptVolBox, 2, 0);
    sealed->addWidget(TxtCBV, 2, 1);
    sealed->addWidget(LblSealedUnit, 2, 2);
    auto *sealedMode = new QButtonGroup(page);
    sealedMode->addButton(OptQtc);
    sealedMode->addButton(OptVolBox);
    OptQtc->setChecked(true);

    FrameSealedBoxVolume = frame(page, QStringLiteral("FrameSealedBoxVolume"), VolumeTip);
    const char *units[3] = {"Cu. Ft.", "liters", "Cu. m."};
    for (int i = 0; i < 3; ++i)
        OptSealedVolumeBox[i] = option(FrameSealedBoxVolume, arrayName("OptSealedVolumeBox", i),
                                       QLatin1String(units[i]), VolumeTip);
    OptSealedVolumeBox[0]->setChecked(true);
    sealed->addWidget(FrameSealedBoxVolume, 3, 0, 1, 3);

    // Vented-box choices
    auto *vented = new QGridLayout;
    vented->addWidget(heading(page, arrayName("Label1", 41), QStringLiteral("Vented Box:")), 0, 0, 1, 3);
    vented->addWidget(label(page, arrayName("Label1", 23), QStringLiteral("Vol. Box:")), 1, 0);
    TxtVBV = field(page, QStringLiteral("TxtVBV"), QString(), QStringLiteral("Enter a box volume to model."));
    vented->addWidget(TxtVBV, 1, 1);
    LblVentedUnit = label(page, QStringLiteral("LblVentedUnit"), QString());
    LblVentedUnit->setMinimumWidth(40);
    vented->addWidget(LblVentedUnit, 1, 2);
    vented->addWidget(label(page, arrayName("Label1", 28), QStringLiteral("Fb:")), 2, 0);
    TxtVFb = field(page, QStringLiteral("TxtVFb"), QString(), QStringLiteral("Enter a box frequency to model."));
    vented->addWidget(TxtVFb, 2, 1);
    vented->addWidget(label(page, arrayName("Label1", 35), QStringLiteral("Hz")), 2, 2);
    vented->addWidget(label(page, arrayName("Label1", 29), QStringLiteral("Qloss:")), 3, 0);
    TxtQloss = field(page, QStringLiteral("TxtQloss"), QStringLiteral("7"),
                     QStringLiteral("Enter the Qloss of the enclosure (7 is a good guess)."));
    vented->addWidget(TxtQloss, 3, 1);

    auto *choices = new QHBoxLayout;
    choices->addLayout(sealed);
    choices->addSpacing(40);
    choices->addLayout(vented);
    choices->addStretch(1);

    // The drivers in the box
    auto *drivers = new QHBoxLayout;
    drivers->addWidget(label(page, QStringLiteral("LblDriverCount"), QStringLiteral("Drivers:")));
    TxtDriverCount = field(page, QStringLiteral("TxtDriverCount"), QStringLiteral("1"),
                           QStringLiteral("Enter the number of drivers in the box (1 to 8)."), 3);
    TxtDriverCount->setAccessibleName(QStringLiteral("Drivers"));
    CboWiring = new QComboBox(page);
    CboWiring->setObjectName(QStringLiteral("CboWiring"));
    CboWiring->setToolTip(QStringLiteral("Choose how the drivers are wired."));
    CboWiring->setAccessibleName(QStringLiteral("Wiring"));
    ChkIsobaric = new QCheckBox(QStringLiteral("Isobaric pairs"), page);
    ChkIsobaric->setObjectName(QStringLiteral("ChkIsobaric"));
    ChkIsobaric->setToolTip(QStringLiteral("Check to mount the drivers in pairs, one behind the other."));
    LblDriverGroup = label(page, QStringLiteral("LblDriverGroup"), QString());
    for (QWidget *w : std::initializer_list<QWidget *>{TxtDriverCount, CboWiring, ChkIsobaric, LblDriverGroup})
        drivers->addWidget(w);
    drivers->addStretch(1);
    TxtDriverCount_Change();

    // Results
    auto *shape = new QFrame(page);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);
    auto *results = new QGridLayout(shape);
    results->setHorizontalSpacing(18);
    results->addWidget(heading(shape, QStringLiteral("Label2"), QStringLiteral("Results")), 0, 0, 1, 6);
    const int headingIndex[6] = {30, 31, 32, 33, 34, 38};
    const char *headings[6] = {"Alignment", "Vol. Box", "Fb (Hz)", "F3 (Hz)", "Peak (dB)",
                               "Peak Frequency (Hz)"};
    for (int c = 0; c < 6; ++c)
        results->addWidget(label(shape, arrayName("Label1", headingIndex[c]), QLatin1String(headings[c])), 1, c);

    results->addWidget(label(shape, arrayName("LblVentedBoxAlignment", 0), QStringLiteral("Sealed Box:")), 2, 0);
    LblCBVolume[0] = label(shape, arrayName("LblCBVolume", 0), QString());
    LblCFb = label(shape, arrayName("LblCFb", 0), QString());
    LblCF3 = label(shape, arrayName("LblCF3", 0), QString());
    LblCPeak = label(shape, arrayName("LblCPeak", 0), QString());
    LblCPeakFreq = label(shape, arrayName("LblCPeakFreq", 0), QString());
    QLabel *sealedRow[5] = {LblCBVolume[0], LblCFb, LblCF3, LblCPeak, LblCPeakFreq};
    for (int c = 0; c < 5; ++c)
        results->addWidget(sealedRow[c], 2, c + 1);

    results->addWidget(label(shape, arrayName("LblVentedBoxAlignment", 5), QStringLiteral("Vented Box:")), 3, 0);
    LblVBVolume = label(shape, arrayName("LblVBVolume", 5), QString());
    LblVFb = label(shape, arrayName("LblVFb", 5), QString());
    LblVF3 = label(shape, arrayName("LblVF3", 5), QString());
    LblVPeak = label(shape, arrayName("LblVPeak", 5), QString());
    LblVPeakFreq = label(shape, arrayName("LblVPeakFreq", 5), QString());
    QLabel *ventedRow[5] = {LblVBVolume, LblVFb, LblVF3, LblVPeak, LblVPeakFreq};
    for (int c = 0; c < 5; ++c)
        results->addWidget(ventedRow[c], 3, c + 1);

    LblEBP = label(shape, QStringLiteral("LblEBP"), QString());
    results->addWidget(LblEBP, 4, 0, 1, 6);
    auto *splRow = new QHBoxLayout;
    splRow->setSpacing(6);
    splRow->addWidget(label(shape, arrayName("Label1", 36), QStringLiteral("SPL at 1W/M:"), QesTip));
    LblSPL = label(shape, QStringLiteral("LblSPL"), QStringLiteral("---"), QesTip);
    splRow->addSpacing(4);
    splRow->addWidget(LblSPL);
    splRow->addWidget(label(shape, arrayName("Label1", 37), QStringLiteral("dB"), QesTip));
    splRow->addSpacing(20);
    LblEstimated = label(shape, arrayName("LblEstimated", 40), QString(), QesTip);
    splRow->addWidget(LblEstimated);
    splRow->addStretch(1);
    results->addLayout(splRow, 5, 0, 1, 6);

    // Buttons
    CmdCalculate = button(page, QStringLiteral("CmdCalculate"), QStringLiteral("Calculate"),
                          QStringLiteral("Click to calculate the frequency response(s) of the driver."));
    CmdFrequency = button(page, QStringLiteral("CmdFrequency"), QStringLiteral("Frequency Response"),
                          QStringLiteral("Click here to graph the frequency response of the driver."));
    CmdDisplacement = button(page, QStringLiteral("CmdDisplacement"), QStringLiteral("Displacement Limited Power"),
                             QStringLiteral("Click here to see the maximum SPL based on the driver's "
                                            "displacement limit."));
    CmdExit = exitButton(page, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CmdCalculate);
    buttons->addWidget(CmdFrequency);
    buttons->addWidget(CmdDisplacement);
    buttons->addStretch(1);
    buttons->addWidget(CmdExit);

    auto *outer = new QVBoxLayout(page);
    outer->addLayout(choices);
    outer->addLayout(drivers);
    outer->addWidget(label(page, QStringLiteral("Label4"),
                           QStringLiteral("NOTE - Click <Calculate> if you change values!")));
    outer->addWidget(shape);
    outer->addStretch(1);
    outer->addLayout(buttons);

    QWidget::setTabOrder(TxtCBV, TxtQtc);
    QWidget::setTabOrder(TxtQtc, TxtVBV);
    QWidget::setTabOrder(TxtVBV, TxtVFb);
    QWidget::setTabOrder(TxtVFb, TxtQloss);
    QWidget::setTabOrder(TxtQloss, TxtDriverCount);
    QWidget::setTabOrder(TxtDriverCount, CboWiring);
    QWidget::setTabOrder(CboWiring, ChkIsobaric);
    connect(TxtDriverCount, &QLineEdit::textChanged, this, [this] { TxtDriverCount_Change(); });
    connect(ChkIsobaric, &QCheckBox::toggled, this, [this] { ChkIsobaric_Click(); });
    connect(CboWiring, &QComboBox::currentIndexChanged, this, [this] { CboWiring_Click(); });
    for (int i = 0; i < 3; ++i)
        connect(OptSealedVolumeBox[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptSealedVolumeBox_Click(i);
        });

    // field, value, Tab after Enter, "0" reported, zero empties, text left by a zero, warning, unit
    const auto above = [](double limit) { return [limit](double v) { return v > limit; }; };
    const auto inResultUnit = [this] { return volumeUnitIndex(); };
    const std::vector<FieldEntry::Numeric> entries = {
        {TxtQloss, &State.Qloss, true, true, true, QStringLiteral("7"), above(20)},
        {TxtVFb, &State.Fb, true, true, true, {}, [](double v) { return v < 10 || v > 200; }},
        {TxtVBV, &State.VbVented, true, true, true, {}, {}, inResultUnit},
        {TxtCBV, &State.VbSealed, true, true, true, {}, {}, inResultUnit},
    };
    for (const FieldEntry::Numeric &entry : entries)
        Keys->addNumeric(entry);
    Keys->onKey(TxtQtc, [this](int &k) { TxtQtc_KeyPress(k); });
    Keys->onKey(TxtDriverCount, [this](int &k) { TxtDriverCount_KeyPress(k); });
    Keys->onClick(TxtQtc, [this] { TxtQtc_Click(); });
    Keys->onClick(TxtCBV, [this] { TxtCBV_Click(); });
}

void BoxModelTab::TxtDriverCount_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    Keys->queueTab();
    if (const std::optional<int> count = kelvane::driver::driverCount(TxtDriverCount->text())) {
        TxtDriverCount->setText(QString::number(*count)); // "02" reads "2"
        return;
    }
    Program::ShowDriverCountError();
    TxtDriverCount->setText(QStringLiteral("1"));
}

void BoxModelTab::TxtDriverCount_Change()
{
    const int count = kelvane::driver::driverCount(TxtDriverCount->text()).value_or(1);
    {
        // A new count starts again from "Parallel"; one driver has no wiring.
        const QSignalBlocker quiet(CboWiring);
        CboWiring->clear();
        CboWiring->addItems(kelvane::driver::wiringNames(count));
        CboWiring->setEnabled(count > 1);
    }
    if (!kelvane::driver::isobaricOffered(count))
        ChkIsobaric->setChecked(false);
    ChkIsobaric->setEnabled(kelvane::driver::isobaricOffered(count));
    if (!CmdFrequency || !resetResults) // still building the tab
        return;
    resetResults();
    ShowDriverGroup();
}

void BoxModelTab::ChkIsobaric_Click()
{
    resetResults();
    ShowDriverGroup();
}

void BoxModelTab::CboWiring_Click()
{
    ShowDriverGroup();
    analysisChanged();
}

kelvane::driver::DriverGroup BoxModelTab::driverGroup(const kelvane::driver::DriverValues &one) const
{
    using kelvane::driver::Wiring;
    const Wiring wiring[] = {Wiring::Parallel, Wiring::Series, Wiring::SeriesParallel};
    return kelvane::driver::group(one, kelvane::driver::driverCount(TxtDriverCount->text()).value_or(1),
                                  wiring[std::clamp(CboWiring->currentIndex(), 0, 2)], ChkIsobaric->isChecked());
}

void BoxModelTab::ShowDriverGroup()
{
    // The sensitivity is the one EfficiencyCalcs worked out for the group's Vas, while on offer.
    LblDriverGroup->setText(kelvane::driver::groupLine(
        driverGroup(oneDriver()), CmdFrequency->isEnabled() ? std::optional<double>(State.SPL) : std::nullopt));
}

using namespace kelvane;

void BoxModelTab::EfficiencyCalcs()
{
    State.Qes = numberInOrZero(Input->TxtQes->text());
    if (State.Qes < 0.0001) {
        if (Input->TxtQms->text().isEmpty()) {
            // The estimate stays out of the Qes field and is noted below.
            State.Qms = 0;
            State.Qes = driver::estimatedQes(State.Qts);
        } else {
            // From a known Qms the estimate counts as entered data from now on.
            State.Qms = numberIn(Input->TxtQms->text());
            State.Qes = driver::estimatedQes(State.Qts, State.Qms);
            Input->TxtQes->setText(formatNumber(State.Qes, QStringLiteral("#0.000")));
        }
    }

    const driver::Efficiency e = driver::efficiency(State.Fs, State.Vas, State.Qes);
    State.Efficiency = e.efficiency;
    State.SPL = e.spl;
    State.EBP = e.ebp;
    // The graph summaries keep their own, indented sentence (Recommendation), set when the
    // frequency response is drawn.
    LblEBP->setText(driver::recommendation(State.EBP));
    LblSPL->setText(formatNumber(State.SPL, QStringLiteral("#0.00")));
    LblEstimated->setText(Input->TxtQes->text().isEmpty() ? driver::EstimatedText : QString());
    State.EstimatedNote = LblEstimated->text();
}

void BoxModelTab::OptSealedVolumeBox_Click(int /*Index*/)
{
    const int unit = volumeUnitIndex();
    const QString field = QLatin1String(volume::FieldPattern);
    const QString result = QLatin1String(volume::resultPattern(unit));
    TxtCBV->setText(formatNumber(volume::fromCubicFeet(State.VbSealed, unit), field));
    LblCBVolume[0]->setText(formatNumber(volume::fromCubicFeet(State.VbSealed, unit), result));
    TxtVBV->setText(formatNumber(volume::fromCubicFeet(State.VbVented, unit), field));
    LblVBVolume->setText(formatNumber(volume::fromCubicFeet(State.VbVented, unit), result));
    const QString caption = QLatin1String(volume::UnitCaption[volume::validUnit(unit)]);
    LblSealedUnit->setText(caption);
    LblVentedUnit->setText(caption);
    unitChanged(unit);
}

int BoxModelTab::volumeUnitIndex() const
{
    return controls::selectedIndex(OptSealedVolumeBox);
}

void BoxModelTab::TxtQtc_Click()
{
    OptQtc->setChecked(true);
}

void BoxModelTab::TxtCBV_Click()
{
    OptVolBox->setChecked(true);
}

void BoxModelTab::TxtQtc_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    Keys->queueTab();
    Program::ValidateNumber(TxtQtc->text(), State.Qtc);
    if (TxtQtc->text() == QLatin1String("0")) {
        Program::ShowNumberError();
        TxtQtc->clear();
    } else if (State.Qtc <= State.Qts) {
        // A sealed box cannot bring the total Q below the driver's own: offer Qts + 0.1.
        Program::ShowQtcError();
        TxtQtc->setText(kelvane::generalNumber(State.Qts + 0.1));
    } else if (State.Qtc > 2) {
        Program::ShowUnusualValue();
    }
}
