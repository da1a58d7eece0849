// SPDX-License-Identifier: GPL-3.0-or-later
// The snapshot of the last calculation that the Analysis tab draws from: the box models' results
// of the last "Calculate Box", with the displacement, power and voice-coil data as the fields show
// them now.

#include "app/AnalysisTab.h"
#include "app/FrmKelvane.h"
#include "app/Controls.h"
#include "app/MoreBoxesTab.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"

#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

using namespace kelvane;

void FrmKelvane::UpdateAnalysis()
{
    analysis::Snapshot s;
    s.calculated = BoxModel->CmdFrequency->isEnabled();
    if (s.calculated) {
        // The fields as typed, without a message for what is missing: the tab says what to enter.
        const auto number = [](const QLineEdit *f) { return parseNumber(f->text()).value_or(0.0); };
        const auto usable = [](double v) { return std::isfinite(v) && v > 0 ? v : 0.0; };
        const auto unit = [](int index) { return std::max(0, index); };
        analysis::DriverSnapshot &d = s.driver;
        // The group of drivers as one (Vas, and so SPL, are the group's since the calculation).
        const driver::DriverValues group = BoxModel->driverGroup(oneDriver()).equivalent;
        d = {State.DriverName, State.Fs, State.Qts, State.Qes, State.Vas, State.SPL, usable(group.power), usable(group.sd), 0, usable(group.re),
             usable(group.le)};
        // Xmax (metres): typed, else from the voice coil, both in the Xmax unit.
        double xmax = number(Input->TxtXmax);
        if (xmax <= 0 && number(Input->TxtVCHeight) > 0 && number(Input->TxtVCGap) > 0)
            xmax = driver::xmaxFromCoil(number(Input->TxtVCHeight), number(Input->TxtVCGap));
        d.xmax = usable(xmax * driver::MmPerXmaxUnit[unit(controls::selectedIndex(Input->OptXmax))] / 1000);

        analysis::BoxSnapshot sealed{analysis::BoxKind::Sealed, State.VbSealed, State.Fc, State.Qtc, 0, 0, {}};
        analysis::BoxSnapshot vented{analysis::BoxKind::Vented, State.VbVented, 0, 0, State.Fb, State.Qloss, {}};
        for (std::size_t k = 0; k < 6; ++k)
            vented.vents.push_back({State.VentDia[k], State.VentSpeed[k], false});
        if (State.VentDia[6] > 0)
            vented.vents.push_back({State.VentDia[6], State.VentSpeed[6], true});
        s.boxes = {sealed, vented};
    }
    // The More Boxes tab works from the driver and the vented box; what it has calculated is drawn
    // beside them.
    MoreBoxes->setSnapshot({s, BoxModel->volumeUnitIndex(), controls::selectedIndex(Input->OptVas), State.VentVd});
    if (s.calculated)
        for (const analysis::BoxSnapshot &box : MoreBoxes->boxes())
            s.boxes.push_back(box);
    Analysis->setSnapshot(s);
    UpdateCrossoverDrivers(false);
}
