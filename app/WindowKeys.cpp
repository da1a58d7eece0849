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

