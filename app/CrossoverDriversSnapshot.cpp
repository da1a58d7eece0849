// SPDX-License-Identifier: GPL-3.0-or-later
// What the Crossover tab's drivers panel simulates from: the network of the last "Calculate
// Crossover", the woofer (the group of drivers as one) and the boxes of the last "Calculate Box".

#include "app/CrossoverDriversPanel.h"
#include "app/FrmKelvane.h"
#include "common/NumberText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

using namespace kelvane;

void FrmKelvane::UpdateCrossoverDrivers(bool newNetwork)
{
    CrossoverDriversSnapshot s;
    s.network = State.CrossoverNetwork;
    const auto usable = [](double v) { return std::isfinite(v) && v > 0 ? v : 0.0; };
    const driver::DriverValues group = BoxModel->driverGroup(oneDriver()).equivalent;
    s.woofer = {State.DriverName, State.Fs, State.Qts, State.Qes, State.Vas, State.SPL, usable(group.power), usable(group.sd), 0, usable(group.re),
                usable(group.le)};
    if (BoxModel->CmdFrequency->isEnabled()) {
        s.boxes.push_back({analysis::BoxKind::Sealed, State.VbSealed, State.Fc, State.Qtc, 0, 0, {}});
        s.boxes.push_back({analysis::BoxKind::Vented, State.VbVented, 0, 0, State.Fb, State.Qloss, {}});
    } else {
        s.woofer.sensitivity = 0; // no efficiency worked out yet
    }
    // EBP of 100 or more recommends a vented box; either box, or a sealed one, starts on sealed.
    s.recommendedBox = State.EBP >= 100 ? 1 : 0;
    s.tweeterOhms = usable(parseNumber(Crossover->Text2->text()).value_or(0.0));
    if (State.CrossoverNetwork)
        s.notes = QStringLiteral("Notes: ") + crossover::notes(*State.CrossoverNetwork).join(QLatin1Char(' '));
    Crossover->CrossoverDrivers->setSnapshot(s, newNetwork);
}
