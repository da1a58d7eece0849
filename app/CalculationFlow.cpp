// SPDX-License-Identifier: GPL-3.0-or-later
// The calculation spine: read the driver data, stop on missing data, run the chain of models in a
// fixed order, and invalidate the results when the driver changes.

#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
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
    if (!driver::driverCount(TxtDriverCount->text())) {
        Program::ShowDriverCountError();
        SSTab->setCurrentIndex(TabBoxModel);
        TxtDriverCount->setFocus();
        return;
    }
    try {
        State.DriverName = TxtName->text();
        State.Fs = numberInOrZero(TxtFs->text());
        State.Vas = numberInOrZero(TxtVas->text());
        // The leading "0" lets a text that starts with the decimal point (".4") convert.
        State.Qts = TxtQts->text().isEmpty() ? 0.0 : numberIn(QLatin1Char('0') + TxtQts->text());
        State.Qes = TxtQes->text().isEmpty() ? 0.0 : numberIn(QLatin1Char('0') + TxtQes->text());
        if (State.Fs == 0 || State.Vas == 0 || State.Qts == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            TxtFs->setFocus();
            return;
        }
        if (State.Fs > 500) {
            Program::ShowFsLimit();
            SSTab->setCurrentIndex(TabInput);
            TxtFs->setFocus();
            return;
        }
        State.Qtc = TxtQtc->text().isEmpty() ? 0.0 : numberIn(QLatin1Char('0') + TxtQtc->text());
        // A sealed box cannot have a total Q at or below the driver's: propose Qts + 0.1, which the
        // sealed model reads back from the field.
        if (State.Qtc <= State.Qts)
            TxtQtc->setText(generalNumber(State.Qts + 0.1));
        const int unit = std::max(0, selectedIndex(OptVas));
        State.Vas = checked(numberIn(TxtVas->text()) * VasToCubicFeet[unit]);
        // From here on the models work on the drivers in the box as one equivalent driver.
        State.Vas = checked(driverGroup({.vas = State.Vas}).equivalent.vas);
        ButtonsOn();
        chainStarted = true;
        SealedBox();
        VentedBox();
        EfficiencyCalcs();
        VentLengths();
        BoxDimensions();
        ShowDriverGroup();
        UpdateAnalysis();
        CmdFrequency->setFocus();
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
    for (QPushButton *b : {CmdFrequency, CmdDisplacement, Frequency->CmdSave, Displacement->CmdSaveDisplacement,
                           Displacement->CmdPrintDisplacement, Frequency->CmdPrintFreq})
        b->setEnabled(true);
}

void FrmKelvane::ButtonsOff()
{
    Displacement->PicDisplacementLimit->clear();
    Frequency->PicFrequency->clear();
    for (QPushButton *b : {CmdFrequency, CmdDisplacement, Frequency->CmdSave, Displacement->CmdSaveDisplacement,
                           Displacement->CmdPrintDisplacement, Frequency->CmdPrintFreq})
        b->setEnabled(false);
    UpdateAnalysis();
}

void FrmKelvane::ResetModel()
{
    OptQtc->setChecked(true);
    TxtCBV->clear();
    TxtQtc->setText(QStringLiteral("0.707"));
    TxtVBV->clear();
    TxtVFb->clear();
    TxtQloss->setText(QStringLiteral("7"));
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

void FrmKelvane::TxtQtc_Click()
{
    OptQtc->setChecked(true);
}

void FrmKelvane::TxtCBV_Click()
{
    OptVolBox->setChecked(true);
}
