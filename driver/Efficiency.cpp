// SPDX-License-Identifier: GPL-3.0-or-later
// Reference efficiency, sensitivity at 1 W / 1 m and EBP of the driver, with the box-type advice;
// a missing Qes is estimated from Qms (or a Qms of 3) and the estimate is noted.

#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"

#include <QLabel>
#include <QLineEdit>

using namespace kelvane;

void FrmKelvane::EfficiencyCalcs()
{
    Qes = numberInOrZero(TxtQes->text());
    if (Qes < 0.0001) {
        if (TxtQms->text().isEmpty()) {
            // The estimate stays out of the Qes field and is noted below.
            Qms = 0;
            Qes = driver::estimatedQes(Qts);
        } else {
            // From a known Qms the estimate counts as entered data from now on.
            Qms = numberIn(TxtQms->text());
            Qes = driver::estimatedQes(Qts, Qms);
            TxtQes->setText(formatNumber(Qes, QStringLiteral("#0.000")));
        }
    }

    const driver::Efficiency e = driver::efficiency(Fs, Vas, Qes);
    Efficiency = e.efficiency;
    SPL = e.spl;
    EBP = e.ebp;
    // The graph summaries keep their own, indented sentence (Recommendation), set when the
    // frequency response is drawn.
    LblEBP->setText(driver::recommendation(EBP));
    LblSPL->setText(formatNumber(SPL, QStringLiteral("#0.00")));
    LblEstimated->setText(TxtQes->text().isEmpty() ? driver::EstimatedText : QString());
    EstimatedNote = LblEstimated->text();
}
