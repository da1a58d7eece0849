// SPDX-License-Identifier: GPL-3.0-or-later
// The window's entry fields: which numbers they commit on Enter, their plausible ranges, and the key
// handlers of the fields that are not plain numbers.

#include "app/FrmKelvane.h"
#include "app/FieldEntry.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "models/VolumeUnit.h"

#include <QLineEdit>
#include <QRadioButton>

#include <cmath>

using namespace Program;

void FrmKelvane::defineNumericEntries()
{
    // field, shared value, Tab after Enter, "0" reported, zero empties, text left by a zero, warning
    const auto above = [](double limit) { return [limit](double v) { return v > limit; }; };
    const auto outside = [](double low, double high) { return [low, high](double v) { return v < low || v > high; }; };
    const std::vector<FieldEntry::Numeric> entries = {
        {TxtFs, &State.Fs, true, true, true, {}, [](double v) { return v < 10; }},
        {TxtQts, &State.Qts, true, true, true, {}, above(2)},
        {TxtQes, &State.Qes, true, true, true, {}, above(2)},
        {TxtQms, &State.Qms, true, true, true, {}, [](double v) { return v > 20 || v < 0.5; }},
        {TxtVas, &State.Vas, true, true, true, {}, [](double v) { return v > 500 || v < 0.01; },
         [this] { return selectedIndex(OptVas); }},
        {TxtPower, &State.Power, true, true, true, {}, {}},
        {TxtVd, &State.Vd, true, true, true, {}, {}},
        {TxtSd, &State.Sd, true, true, true, {}, {}},
        {TxtDia, &State.Dia, true, true, true, {}, {}},
        {TxtXmax, &State.Xmax, true, true, true, {}, above(100)},
        {TxtVCHeight, &State.VCHeight, true, true, true, {}, above(100)},
        {TxtVCGap, &State.VCGap, true, true, true, {}, above(100)},
        {TxtQloss, &State.Qloss, true, true, true, QStringLiteral("7"), above(20)},
        {TxtVFb, &State.Fb, true, true, true, {}, [](double v) { return v < 10 || v > 200; }},
        {TxtVBV, &State.VbVented, true, true, true, {}, {}, [this] { return volumeUnitIndex(); }},
        {TxtCBV, &State.VbSealed, true, true, true, {}, {}, [this] { return volumeUnitIndex(); }},
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

void FrmKelvane::TxtName_KeyPress(int &KeyAscii)
{
    if (KeyAscii == KeyEnter) {
        Keys->queueTab();
        KeyAscii = 0;
        return;
    }
    NameKeyFilter(KeyAscii);
}

void FrmKelvane::TxtQtc_KeyPress(int &KeyAscii)
{
    if (KeyAscii != KeyEnter) {
        NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    Keys->queueTab();
    ValidateNumber(TxtQtc->text(), State.Qtc);
    if (TxtQtc->text() == QLatin1String("0")) {
        ShowNumberError();
        TxtQtc->clear();
    } else if (State.Qtc <= State.Qts) {
        // A sealed box cannot bring the total Q below the driver's own: offer Qts + 0.1.
        ShowQtcError();
        TxtQtc->setText(kelvane::generalNumber(State.Qts + 0.1));
    } else if (State.Qtc > 2) {
        ShowUnusualValue();
    }
}

void FrmKelvane::TxtAddVolume_KeyPress(int &KeyAscii)
{
    if (KeyAscii != KeyEnter) {
        NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    ValidateNumber(TxtAddVolume->text(), State.AddVolume);
    if (State.AddVolume == 0)
        TxtAddVolume->clear();
    recalculateDimensions();
}

void FrmKelvane::TxtPercentOverVolume_KeyPress(int &KeyAscii)
{
    if (KeyAscii != KeyEnter) {
        NumericKeyFilter(KeyAscii);
        return;
    }
    KeyAscii = 0;
    ValidateNumber(TxtPercentOverVolume->text(), State.PercentOverVolume);
    if (State.PercentOverVolume == 0) {
        TxtPercentOverVolume->setText(QStringLiteral("100"));
        State.PercentOverVolume = 100;
        return;
    }
    recalculateDimensions();
}

void FrmKelvane::recalculateDimensions()
{
    // An absurd added volume or percentage can overflow the build volume; report it like any other
    // bad number instead of letting the fault escape the key handler.
    try {
        BoxDimensions();
    } catch (const kelvane::CalcFault &) {
        ShowNumberError();
    }
}

void FrmKelvane::OptVas_KeyPress(int /*Index*/, int &KeyAscii)
{
    switch (KeyAscii) {
    case 'F': case 'f':
        OptVas[0]->setChecked(true);
        KeyAscii = 0;
        break;
    case 'L': case 'l':
        OptVas[1]->setChecked(true);
        KeyAscii = 0;
        break;
    case 'M': case 'm':
        OptVas[2]->setChecked(true);
        KeyAscii = 0;
        break;
    case KeyEnter:
        Keys->queueTab();
        KeyAscii = 0;
        break;
    default:
        break;
    }
}
