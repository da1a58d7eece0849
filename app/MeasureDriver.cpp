// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of measuring a driver: opening the dialog with a snapshot of the Input
// tab's driver and the Box Model's vented box; the measured driver comes back through useDriver.

#include "app/DlgMeasureDriver.h"
#include "app/FrmKelvane.h"
#include "app/Controls.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "library/DriverStore.h"

#include <QLineEdit>
#include <QPushButton>

#include <cmath>

using namespace kelvane;

namespace {

// The design as the dialog needs it: the driver of the last calculation (with Re and Le as typed
// on the Crossover tab), the cone area as typed, and the vented box with its vents.
MeasureSnapshot snapshotOf(const FrmKelvane &w)
{
    MeasureSnapshot s;
    const auto number = [](const QLineEdit *f) {
        const double v = parseNumber(f->text()).value_or(0.0);
        return std::isfinite(v) && v > 0 ? v : 0.0;
    };
    const int sdUnit = std::max(0, controls::selectedIndex(w.Input->OptSd)), diaUnit = std::max(0, controls::selectedIndex(w.Input->OptDia));
    // A typed number too large for an area is no area.
    try {
        if (const double sd = number(w.Input->TxtSd); sd > 0)
            s.sdCm2 = sd * driver::SquareMmPerSdUnit[sdUnit] / 100;
        else if (const double dia = number(w.Input->TxtDia); dia > 0)
            s.sdCm2 = driver::pistonArea(driver::effectiveDiameter(dia * driver::MmPerDiaUnit[diaUnit])) / 100;
    } catch (const CalcFault &) {
    }
    if (!std::isfinite(s.sdCm2))
        s.sdCm2 = 0;
    s.calculated = w.BoxModel->CmdFrequency->isEnabled();
    if (!s.calculated)
        return s;
    if (const double re = number(w.Crossover->TxtRe); re > 0 && w.State.Qes > w.State.Qts && w.State.Qts > 0)
        s.driver = measure::DriverModel{re, w.State.Fs, w.State.Qts * w.State.Qes / (w.State.Qes - w.State.Qts), w.State.Qes, number(w.Crossover->TxtL) / 1000, 0, 0};
    s.vented = {analysis::BoxKind::Vented, w.State.VbVented, 0, 0, w.State.Fb, w.State.Qloss, {}};
    for (std::size_t k = 0; k < 6; ++k)
        s.vented.vents.push_back({w.State.VentDia[k], w.State.VentSpeed[k], false});
    if (w.State.VentDia[6] > 0)
        s.vented.vents.push_back({w.State.VentDia[6], w.State.VentSpeed[6], true});
    return s;
}

} // namespace

void FrmKelvane::MnuMeasureDriver_Click()
{
    if (!measureDriver_)
        measureDriver_ = new DlgMeasureDriver(library::defaultLibraryPath(),
                                              {[this] { return snapshotOf(*this); },
                                               [this](const library::Entry &e) { useDriver(e); }},
                                              this);
    measureDriver_->show();
    measureDriver_->raise();
    measureDriver_->activateWindow();
}
