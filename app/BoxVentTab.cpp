// SPDX-License-Identifier: GPL-3.0-or-later
// The "Box and Vent" tab: inside dimensions of both boxes and the vent table; filling them in: vent
// lengths and air speeds for the standard and the user's diameters, and the volumes and inside
// dimensions to build for both boxes.

#include "app/BoxVentTab.h"

#include "app/Controls.h"
#include "app/FieldEntry.h"
#include "boxvent/BoxCore.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "driver/Program.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

using namespace controls;

namespace {

struct DimensionLabels {
    std::array<QLabel *, 3> *vol, *height, *width, *depth;
    const char *volName, *heightName, *widthName, *depthName;
};

// One box section: heading, net volume, "(Inside Dimensions)", the column headings and three ratio rows.
QGridLayout *dimensionSection(QWidget *page, int headingIndex, const char *title, QLabel *original,
                              int noteIndex, int ratiosIndex, int firstColumnIndex,
                              const std::array<int, 3> &ratioIndex, const DimensionLabels &cells)
{
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(24);
    grid->addWidget(heading(page, arrayName("Label1", headingIndex), QLatin1String(title)), 0, 0);
    grid->addWidget(original, 0, 1, 1, 2);
    grid->addWidget(label(page, arrayName("Label1", noteIndex), QStringLiteral("(Inside Dimensions)")), 0, 3, 1, 2);
    grid->addWidget(label(page, arrayName("Label1", ratiosIndex), QStringLiteral("Ratios")), 1, 0);
    const char *columns[4] = {"Volume", "Height", "Width", "Depth"};
    for (int c = 0; c < 4; ++c)
        grid->addWidget(label(page, arrayName("Label1", firstColumnIndex + c), QLatin1String(columns[c])), 1, c + 1);
    const char *ratios[3] = {"2.60 : 1.60 : 1", "2.00 : 1.44 : 1", "1.59 : 1.26 : 1"};
    for (int r = 0; r < 3; ++r) {
        grid->addWidget(label(page, arrayName("Label1", ratioIndex[r]), QLatin1String(ratios[r])), r + 2, 0);
        (*cells.vol)[r] = label(page, arrayName(cells.volName, r), QStringLiteral("Volume"));
        (*cells.height)[r] = label(page, arrayName(cells.heightName, r), QStringLiteral("Height"));
        (*cells.width)[r] = label(page, arrayName(cells.widthName, r), QStringLiteral("Width"));
        (*cells.depth)[r] = label(page, arrayName(cells.depthName, r), QStringLiteral("Depth"));
        grid->addWidget((*cells.vol)[r], r + 2, 1);
        grid->addWidget((*cells.height)[r], r + 2, 2);
        grid->addWidget((*cells.width)[r], r + 2, 3);
        grid->addWidget((*cells.depth)[r], r + 2, 4);
    }
    grid->setColumnStretch(5, 1);
    return grid;
}

} // namespace

BoxVentTab::BoxVentTab(kelvane::state::DesignState &state, FieldEntry &keys, QWidget *parent)
    : QWidget(parent), State(state), Keys(&keys)
{
    QWidget *page = this;

    LblOriginalCVol = label(page, QStringLiteral("LblOriginalCVol"), QString());
    LblOriginalVVol = label(page, QStringLiteral("LblOriginalVVol"), QString());
    QGridLayout *sealed = dimensionSection(
        page, 19, "Sealed Box:", LblOriginalCVol, 58, 20, 45, {27, 43, 44},
        {&LblCVol, &LblCHeight, &LblCWidth, &LblCDepth, "LblCVol", "LblCHeight", "LblCWidth", "LblCDepth"});
    QGridLayout *vented = dimensionSection(
        page, 10, "Vented Box:", LblOriginalVVol, 59, 49, 50, {54, 55, 56},
        {&LblVVol, &LblVHeight, &LblVWidth, &LblVDepth, "LblVVol", "LblVHeight", "LblVWidth", "LblVDepth"});

    // Vent table
    auto *vent = new QGridLayout;
    vent->setHorizontalSpacing(24);
    vent->addWidget(heading(page, arrayName("Label1", 57), QStringLiteral("Vent:")), 0, 0);
    LblOriginalFb = label(page, QStringLiteral("LblOriginalFb"), QString());
    vent->addWidget(LblOriginalFb, 0, 1);
    LblCBVolume1 = label(page, arrayName("LblCBVolume", 1), QString());
    vent->addWidget(LblCBVolume1, 0, 2);
    vent->addWidget(label(page, arrayName("Label1", 63), QStringLiteral("Diameter")), 1, 0);
    vent->addWidget(label(page, arrayName("Label1", 66), QStringLiteral("Length")), 1, 1);
    vent->addWidget(label(page, arrayName("Label1", 62), QStringLiteral("Good for the Following:")), 1, 2);
    vent->addWidget(label(page, arrayName("Label1", 77), QStringLiteral("Air Speed")), 1, 3);
    const int diameterIndex[6] = {39, 42, 60, 61, 64, 65};
    const char *diameters[6] = {"1\"", "2\"", "3\"", "4\"", "6\"", "8\""};
    const char *uses[6] = {"(Minimum for 4\" Drivers)", "4\" and 5\" Drivers (Minimum for 6\" Drivers)",
                           "6\" Drivers (Minimum for 8\" Drivers)",
                           "8\" and 10\" Drivers (Minimum for 12\" Drivers)",
                           "12\" Drivers (Minimum for 15\" Drivers)",
                           "18\" Drivers (Minimum for 21\" Drivers)"};
    for (int k = 0; k < 6; ++k) {
        vent->addWidget(label(page, arrayName("Label1", diameterIndex[k]), QLatin1String(diameters[k])), k + 2, 0);
        LblVentLength[k] = label(page, arrayName("LblVentLength", k), QString());
        vent->addWidget(LblVentLength[k], k + 2, 1);
        vent->addWidget(label(page, arrayName("Label1", 67 + k), QLatin1String(uses[k])), k + 2, 2);
    }
    TxtVentDia = field(page, QStringLiteral("TxtVentDia"), QString(),
                       QStringLiteral("Input a Custom Vent Diameter in Inches and hit <Enter>."), 6);
    vent->addWidget(TxtVentDia, 8, 0);
    LblVentLength[6] = label(page, arrayName("LblVentLength", 6), QString());
    vent->addWidget(LblVentLength[6], 8, 1);
    vent->addWidget(label(page, arrayName("Label1", 73), QStringLiteral("User Chosen Vent Diameter")), 8, 2);
    // Air speed in each vent, with "too fast" beside a vent that would be heard.
    for (int k = 0; k < 7; ++k) {
        LblVentSpeed[k] = label(page, arrayName("LblVentSpeed", k), QString());
        vent->addWidget(LblVentSpeed[k], k + 2, 3);
        LblVentWarning[k] = label(page, arrayName("LblVentWarning", k), QString());
        vent->addWidget(LblVentWarning[k], k + 2, 4);
    }
    LblMinVentDia = label(page, QStringLiteral("LblMinVentDia"), QString());
    vent->addWidget(LblMinVentDia, 9, 0, 1, 5);
    vent->setColumnMinimumWidth(1, 70);
    vent->setColumnMinimumWidth(3, 70);
    vent->setColumnStretch(5, 1);

    // Volume corrections
    auto *extra = new QGridLayout;
    extra->addWidget(label(page, arrayName("Label1", 75), QStringLiteral("Overvolume percentage :")), 0, 0);
    TxtPercentOverVolume = field(page, QStringLiteral("TxtPercentOverVolume"), QStringLiteral("100"),
        QStringLiteral("Input a Percent (whole number, NOT decimal) to Underdesign due to stuffing (usually "
                       "20% to 30%, so type say 80 or 70 percent) or to overdesign (say add 10% so type 110 "
                       "percent) and hit <Enter>."), 6);
    extra->addWidget(TxtPercentOverVolume, 0, 1);
    extra->addWidget(label(page, arrayName("Label1", 74),
                           QStringLiteral("Additional volume due to bracing, speaker, vent, etc... :")), 1, 0);
    TxtAddVolume = field(page, QStringLiteral("TxtAddVolume"), QString(),
        QStringLiteral("Input Volume taken up by bracing, Vent, and Drivers within the enclosure and hit "
                       "<Enter>."), 6);
    extra->addWidget(TxtAddVolume, 1, 1);
    extra->addWidget(label(page, arrayName("Label1", 76), QStringLiteral("Cu. in.")), 1, 2);
    extra->setColumnStretch(3, 1);

    CmdPrintBoxVent = button(page, QStringLiteral("CmdPrintBoxVent"), QStringLiteral("Print"),
        QStringLiteral("Click to Print this form.  If a metric unit is chosen on the Boxmodel tab, This "
                       "will print in metric."));
    CmdExit = exitButton(page, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(CmdPrintBoxVent);
    buttons->addStretch(1);
    buttons->addWidget(CmdExit);

    auto *outer = new QVBoxLayout(page);
    outer->addLayout(extra);
    outer->addSpacing(6);
    outer->addLayout(sealed);
    outer->addSpacing(6);
    outer->addLayout(vented);
    outer->addSpacing(6);
    outer->addLayout(vent);
    outer->addStretch(1);
    outer->addLayout(buttons);

    connect(CmdPrintBoxVent, &QPushButton::clicked, this, [this] { CmdPrintBoxVent_Click(); });
    Keys->onKey(TxtAddVolume, [this](int &k) { TxtAddVolume_KeyPress(k); });
    Keys->onKey(TxtPercentOverVolume, [this](int &k) { TxtPercentOverVolume_KeyPress(k); });
    Keys->onKey(TxtVentDia, [this](int &k) { TxtVentDia_KeyPress(k); });
}

using namespace kelvane;
using namespace kelvane::boxvent;

void BoxVentTab::VentLengths()
{
    LblOriginalFb->setText(tuningCaption(State.Fb));
    State.VbVentedCuIn = checked(State.VbVented * 12 * 12 * 12);
    for (std::size_t k = 0; k < StandardVentDiameters.size(); ++k) {
        State.VentDia[k] = StandardVentDiameters[k];
        State.VentLength[k] = checked(ventLength(State.VentDia[k], State.Fb, State.VbVentedCuIn), "vent length");
        LblVentLength[k]->setText(ventLengthCaption(State.VentLength[k]));
    }
    // The user's own diameter; an empty field means none (length 0, empty caption).
    State.VentDia[6] = numberInOrZero(TxtVentDia->text());
    State.VentLength[6] = checked(ventLength(State.VentDia[6], State.Fb, State.VbVentedCuIn), "vent length");
    LblVentLength[6]->setText(ventLengthCaption(State.VentLength[6]));
    VentSpeeds();
}

// The air speed in each vent for the drivers' Vd as the Input tab gives it now. Missing or
// unusable displacement data is no error here: the speeds stay empty and the tab says what to
// enter. Nothing is written back to the Input tab and nothing is asked.
void BoxVentTab::VentSpeeds()
{
    State.VentVd = 0;
    State.MinVentDia = 0;
    if (State.Fb > 0 && State.VbVented > 0) {
        State.VentVd = groupVd(driver::displacementOf(displacementEntries())); // of all the drivers
        const double smallest = State.VentVd > 0 ? smallestVentDiameter(State.Fb, State.VentVd) : 0;
        if (std::isfinite(smallest) && smallest > 0)
            State.MinVentDia = smallest;
        else
            State.VentVd = 0;
        LblMinVentDia->setText(State.MinVentDia > 0 ? smallestVentCaption(State.MinVentDia, volumeUnit() > 0)
                                              : EnterVdText);
    } else {
        LblMinVentDia->clear();
    }
    for (int k = 0; k < int(LblVentSpeed.size()); ++k)
        VentSpeedRow(k);
}

// One row's speed, and "too fast" beside it over the limit; empty for a vent not offered (no
// diameter, or too wide for the box) or without Vd.
void BoxVentTab::VentSpeedRow(int Index)
{
    const auto k = std::size_t(Index);
    State.VentSpeed[k] = 0;
    if (State.VentVd > 0 && State.VentDia[k] > 0 && State.VentLength[k] > 0) {
        const double speed = ventAirSpeed(State.Fb, State.VentVd, State.VentDia[k]);
        if (std::isfinite(speed))
            State.VentSpeed[k] = speed;
    }
    LblVentSpeed[k]->setText(State.VentSpeed[k] > 0 ? ventSpeedCaption(State.VentSpeed[k]) : QString());
    LblVentWarning[k]->setText(ventTooFast(State.VentSpeed[k]) ? VentTooFastText : QString());
}

void BoxVentTab::BoxDimensions()
{
    LblOriginalCVol->setText(volumeCaption(State.VbSealed));
    LblOriginalVVol->setText(volumeCaption(State.VbVented));
    State.VbSealedBuild = checked(buildVolume(State.VbSealed, State.AddVolume, State.PercentOverVolume), "sealed build volume");
    State.VbVentedBuild = checked(buildVolume(State.VbVented, State.AddVolume, State.PercentOverVolume), "vented build volume");

    double *sealedDepth[3] = {&State.DepthSealedA, &State.DepthSealedB, &State.DepthSealedC};
    double *ventedDepth[3] = {&State.DepthVentedA, &State.DepthVentedB, &State.DepthVentedC};
    for (int i = 0; i < 3; ++i) {
        *sealedDepth[i] = checked(insideDepth(State.VbSealedBuild, SideRatios[i].product), "sealed depth");
        *ventedDepth[i] = checked(insideDepth(State.VbVentedBuild, SideRatios[i].product), "vented depth");
    }

    const auto fill = [](double build, double *const depth[3], std::array<QLabel *, 3> &vol,
                         std::array<QLabel *, 3> &height, std::array<QLabel *, 3> &width,
                         std::array<QLabel *, 3> &depthLabel) {
        for (int i = 0; i < 3; ++i)
            vol[i]->setText(volumeCaption(build));
        for (int i = 0; i < 3; ++i) {
            const InsideDimensions d = dimensionsFromDepth(i, *depth[i]);
            height[i]->setText(lengthCaption(d.height));
            width[i]->setText(lengthCaption(d.width));
            depthLabel[i]->setText(lengthCaption(d.depth));
        }
    };
    fill(State.VbSealedBuild, sealedDepth, LblCVol, LblCHeight, LblCWidth, LblCDepth);
    fill(State.VbVentedBuild, ventedDepth, LblVVol, LblVHeight, LblVWidth, LblVDepth);
}

void BoxVentTab::TxtVentDia_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    Program::ValidateNumber(TxtVentDia->text(), State.VentDia[6]);
    if (State.VentDia[6] == 0) {
        LblVentLength[6]->clear();
        TxtVentDia->clear();
        VentSpeedRow(6);
        return;
    }
    // No vented model yet: nothing to size the vent for. A zero volume would divide by zero.
    if (State.Fb <= 0 || State.VbVented <= 0)
        return;
    const double cubicInches = State.VbVented * 12 * 12 * 12;
    const double length = ventLength(State.VentDia[6], State.Fb, cubicInches);
    if (!std::isfinite(length) || !std::isfinite(cubicInches)) {
        // A diameter so large that its square overflows, or a typed box volume whose cubic inches
        // do: treat it as a bad entry.
        Program::ShowNumberError();
        State.VentDia[6] = 0;
        LblVentLength[6]->clear();
        TxtVentDia->clear();
        VentSpeedRow(6);
        return;
    }
    State.VbVentedCuIn = cubicInches;
    State.VentLength[6] = length;
    LblVentLength[6]->setText(ventLengthCaption(length));
    VentSpeedRow(6);
    TxtVentDia->setText(formatNumber(State.VentDia[6], QStringLiteral("#0.00")));
}

void BoxVentTab::TxtAddVolume_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    Program::ValidateNumber(TxtAddVolume->text(), State.AddVolume);
    if (State.AddVolume == 0)
        TxtAddVolume->clear();
    recalculateDimensions();
}

void BoxVentTab::TxtPercentOverVolume_KeyPress(int &KeyAscii)
{
    if (KeyAscii != Program::KeyEnter) {
        Program::NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    Program::ValidateNumber(TxtPercentOverVolume->text(), State.PercentOverVolume);
    if (State.PercentOverVolume == 0) {
        TxtPercentOverVolume->setText(QStringLiteral("100"));
        State.PercentOverVolume = 100;
        return;
    }
    recalculateDimensions();
}

void BoxVentTab::recalculateDimensions()
{
    // An absurd added volume or percentage can overflow the build volume; report it like any other
    // bad number instead of letting the fault escape the key handler.
    try {
        BoxDimensions();
    } catch (const kelvane::CalcFault &) {
        Program::ShowNumberError();
    }
}

void BoxVentTab::volumeUnitChanged(int unit)
{
    if (State.MinVentDia > 0)
        LblMinVentDia->setText(smallestVentCaption(State.MinVentDia, unit > 0));
}
