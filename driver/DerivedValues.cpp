// SPDX-License-Identifier: GPL-3.0-or-later
// Values derived from the driver data on the Input tab: the total Q from Qes and Qms, and the
// linear volume displacement Vd from whatever displacement data was given.

#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "driver/Program.h"

#include <QLineEdit>
#include <QTabWidget>

#include <algorithm>

using namespace kelvane;

void FrmKelvane::CmdCalculateQts_Click()
{
    try {
        Qes = numberInOrZero(TxtQes->text());
        Qms = numberInOrZero(TxtQms->text());
        TxtQes->setText(formatNumber(Qes, QStringLiteral("#0.000")));
        TxtQms->setText(formatNumber(Qms, QStringLiteral("#0.000")));
        if (Qes <= 0) {
            Program::ShowNumberError();
            TxtQes->setFocus();
            TxtQes->clear();
            return;
        }
        if (Qms <= 0) {
            Program::ShowNumberError();
            TxtQms->setFocus();
            TxtQms->clear();
            return;
        }
        const double total = driver::totalQ(Qes, Qms);
        const QString shown = formatNumber(total, QStringLiteral("#0.000"));
        if (shown == TxtQts->text()) {
            // The field already shows this Qts, so nothing is invalidated and results calculated
            // from the field may still be on offer: Qts stays the number they were calculated
            // from, the one the field shows.
            Qts = numberIn(QLatin1Char('0') + shown);
        } else {
            Qts = total;
            // The new text invalidates the model through TxtQts_Change.
            TxtQts->setText(shown);
        }
        queueTab();
    } catch (const CalcFault &) {
        TxtQes->setFocus();
        Program::ShowNumberError();
    }
}

namespace {

// A displacement field counts as missing when it is empty or exactly "0".
bool missing(const QLineEdit *field)
{
    return field->text().isEmpty() || field->text() == QLatin1String("0");
}

} // namespace

void FrmKelvane::GetVd(double &VdOut)
{
    const int vdUnit = std::max(0, selectedIndex(OptVd));
    if (!missing(TxtVd)) {
        VdOut = checked(numberIn(TxtVd->text()) * driver::CubicMetresPerVdUnit[vdUnit]);
        return;
    }

    if (!missing(TxtSd)) {
        Sd = checked(numberIn(TxtSd->text()) * driver::SquareMmPerSdUnit[std::max(0, selectedIndex(OptSd))]);
    } else {
        if (missing(TxtDia)) {
            // The caller reports a Vd of 0 as missing; a Vd left from an earlier run would
            // otherwise be drawn as if it were this driver's.
            VdOut = 0;
            return;
        }
        Dia = driver::effectiveDiameter(
            numberIn(TxtDia->text()) * driver::MmPerDiaUnit[std::max(0, selectedIndex(OptDia))]);
        Sd = driver::pistonArea(Dia);
    }

    if (missing(TxtXmax)) {
        if (missing(TxtVCHeight) || missing(TxtVCGap)) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            TxtVCHeight->setFocus();
            VdOut = 0;
            return;
        }
        // The coil dimensions are taken in the Xmax unit.
        TxtXmax->setText(generalNumber(
            driver::xmaxFromCoil(numberIn(TxtVCHeight->text()), numberIn(TxtVCGap->text()))));
    }
    Xmax = checked(numberIn(TxtXmax->text()) * driver::MmPerXmaxUnit[std::max(0, selectedIndex(OptXmax))]);
    VdOut = driver::displacement(Sd, Xmax);

    // Written in the unit the Vd option shows, so the next run reads the same volume back.
    TxtVd->setText(formatNumber(VdOut / driver::CubicMetresPerVdUnit[vdUnit],
                                QLatin1String(driver::VdPattern[vdUnit])));
}
