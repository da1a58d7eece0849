// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation spine: read the driver data, stop on missing data, run the chain of models in a
// fixed order, and invalidate the results when the driver changes.

#include "app/FrmKelvane.h"
#include "app/Controls.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "driver/Program.h"
#include "models/VolumeUnit.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

using namespace kelvane;

namespace {

// Vas unit factors into cubic feet, by the index of OptVas: cubic feet, litres, cubic metres.
constexpr double VasToCubicFeet[3] = {1.0, 0.0353145, 35.3145};

} // namespace

void FrmKelvane::CmdCalculateInput_Click()
{
    SSTab->setCurrentIndex(TabBoxModel);
    CmdCalculate_Click();
}

void FrmKelvane::CmdCalculate_Click()
{
    // The values the results on offer were calculated from. A run that fails before the models
    // start changes no result, so it must not leave these half read either (Vas, say, read in the
    // unit typed but not yet converted to cubic feet while the graphs still offer the old results).
    const QString nameBefore = State.DriverName;
    const double fsBefore = State.Fs, vasBefore = State.Vas, qtsBefore = State.Qts, qesBefore = State.Qes, qtcBefore = State.Qtc;
    bool chainStarted = false;
    if (!driver::driverCount(BoxModel->TxtDriverCount->text())) {
        Program::ShowDriverCountError();
        SSTab->setCurrentIndex(TabBoxModel);
        BoxModel->TxtDriverCount->setFocus();
        return;
    }
    try {
        State.DriverName = Input->TxtName->text();
        State.Fs = numberInOrZero(Input->TxtFs->text());
        State.Vas = numberInOrZero(Input->TxtVas->text());
        // The leading "0" lets a text that starts with the decimal point (".4") convert.
        State.Qts = Input->TxtQts->text().isEmpty() ? 0.0 : numberIn(QLatin1Char('0') + Input->TxtQts->text());
        State.Qes = Input->TxtQes->text().isEmpty() ? 0.0 : numberIn(QLatin1Char('0') + Input->TxtQes->text());
        if (State.Fs == 0 || State.Vas == 0 || State.Qts == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            Input->TxtFs->setFocus();
            return;
        }
        if (State.Fs > 500) {
            Program::ShowFsLimit();
            SSTab->setCurrentIndex(TabInput);
            Input->TxtFs->setFocus();
            return;
        }
        State.Qtc = BoxModel->TxtQtc->text().isEmpty() ? 0.0 : numberIn(QLatin1Char('0') + BoxModel->TxtQtc->text());
        // A sealed box cannot have a total Q at or below the driver's: propose Qts + 0.1, which the
        // sealed model reads back from the field.
        if (State.Qtc <= State.Qts)
            BoxModel->TxtQtc->setText(generalNumber(State.Qts + 0.1));
        const int unit = std::max(0, controls::selectedIndex(Input->OptVas));
        State.Vas = checked(numberIn(Input->TxtVas->text()) * VasToCubicFeet[unit]);
        // From here on the models work on the drivers in the box as one equivalent driver.
        State.Vas = checked(BoxModel->driverGroup({.vas = State.Vas}).equivalent.vas);
        ButtonsOn();
        chainStarted = true;
        BoxModel->SealedBox();
        BoxModel->VentedBox();
        BoxModel->EfficiencyCalcs();
        BoxVent->VentLengths();
        BoxVent->BoxDimensions();
        BoxModel->ShowDriverGroup();
        UpdateAnalysis();
        BoxModel->CmdFrequency->setFocus();
    } catch (const CalcFault &) {
        // A chain broken half way leaves results of the previous data beside the new ones (say the
        // new sealed box with the old vented box); the graphs would draw the two as one design, so
        // they are not offered until a calculation runs through.
        if (chainStarted) {
            ButtonsOff();
        } else {
            State.DriverName = nameBefore;
            State.Fs = fsBefore;
            State.Vas = vasBefore;
            State.Qts = qtsBefore;
            State.Qes = qesBefore;
            State.Qtc = qtcBefore;
        }
        SSTab->setCurrentIndex(TabInput);
        Program::ShowNumberError();
    }
}

void FrmKelvane::ButtonsOn()
{
    for (QPushButton *b : {BoxModel->CmdFrequency, BoxModel->CmdDisplacement, Frequency->CmdSave, Displacement->CmdSaveDisplacement,
                           Displacement->CmdPrintDisplacement, Frequency->CmdPrintFreq})
        b->setEnabled(true);
}

void FrmKelvane::ButtonsOff()
{
    Displacement->PicDisplacementLimit->clear();
    Frequency->PicFrequency->clear();
    for (QPushButton *b : {BoxModel->CmdFrequency, BoxModel->CmdDisplacement, Frequency->CmdSave, Displacement->CmdSaveDisplacement,
                           Displacement->CmdPrintDisplacement, Frequency->CmdPrintFreq})
        b->setEnabled(false);
    UpdateAnalysis();
}

void FrmKelvane::ResetModel()
{
    BoxModel->OptQtc->setChecked(true);
    BoxModel->TxtCBV->clear();
    BoxModel->TxtQtc->setText(QStringLiteral("0.707"));
    BoxModel->TxtVBV->clear();
    BoxModel->TxtVFb->clear();
    BoxModel->TxtQloss->setText(QStringLiteral("7"));
}

void FrmKelvane::TxtFs_Change()
{
    ResetModel();
    ButtonsOff();
}

void FrmKelvane::TxtQts_Change()
{
    ResetModel();
    ButtonsOff();
}

void FrmKelvane::TxtVas_Change()
{
    ResetModel();
    ButtonsOff();
}

void FrmKelvane::OptVas_Click(int /*Index*/)
{
    ResetModel();
    ButtonsOff();
}

kelvane::driver::DriverValues FrmKelvane::oneDriver() const
{
    namespace driver = kelvane::driver;
    const auto number = [](const QLineEdit *f) { return kelvane::parseNumber(f->text()).value_or(0.0); };
    const auto unit = [](int index) { return std::max(0, index); };
    driver::DriverValues d;
    d.vas = kelvane::volume::toCubicFeet(number(Input->TxtVas), unit(controls::selectedIndex(Input->OptVas)));
    // Cone area (square metres): typed, else from the advertised diameter.
    if (const double sd = number(Input->TxtSd); sd > 0)
        d.sd = sd * driver::SquareMmPerSdUnit[unit(controls::selectedIndex(Input->OptSd))] / 1e6;
    else if (const double dia = number(Input->TxtDia); dia > 0)
        try {
            d.sd = driver::pistonArea(driver::effectiveDiameter(dia * driver::MmPerDiaUnit[unit(controls::selectedIndex(Input->OptDia))])) / 1e6;
        } catch (const kelvane::CalcFault &) { // a diameter too large to square: no area
        }
    d.power = number(Input->TxtPower);
    d.re = number(Crossover->TxtRe);
    d.le = number(Crossover->TxtL) / 1000; // typed in mH
    d.z = number(Crossover->TxtZ);
    return d;
}
