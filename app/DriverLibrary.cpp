// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's side of the driver library: opening its window, and moving a driver between the
// library and the Input tab.

#include "app/DlgDriverLibrary.h"
#include "app/FrmKelvane.h"
#include "app/DesignFiles.h"
#include "app/Controls.h"
#include "common/NumberText.h"
#include "driver/Program.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>

#include <cmath>

using namespace kelvane;
using kelvane::library::Entry;
using kelvane::library::Value;

namespace {

// Into litres from the OptVas unit (cubic feet, litres, cubic metres): 1 litre = 0.0353145 cu ft.
constexpr double VasToLitres[3] = {1 / 0.0353145, 1, 1000};
// Into square centimetres from the OptSd unit (cm², m², in²).
constexpr double SdToCm2[3] = {1, 1e4, 6.4516};
// Into millimetres from the OptDia unit (mm, cm, inches) and the OptXmax unit (inches, mm).
constexpr double DiaToMm[3] = {1, 10, 25.4};
constexpr double XmaxToMm[2] = {25.4, 1};

} // namespace

void FrmKelvane::MnuDriverLibrary_Click()
{
    if (!driverLibrary_) {
        driverLibrary_ = new DlgDriverLibrary(library::defaultLibraryPath(),
                                              {[this] { return currentDriver(); },
                                               [this](const Entry &e) { useDriver(e); }},
                                              this);
        driverLibrary_->show();
        if (const QString notice = driverLibrary_->openNotice(); !notice.isEmpty())
            Program::ShowMessage(notice, QStringLiteral("Driver Library"));
        return;
    }
    driverLibrary_->show();
    driverLibrary_->raise();
    driverLibrary_->activateWindow();
}

void FrmKelvane::useDriver(const Entry &e)
{
    const auto put = [](QLineEdit *field, const Value &v) { field->setText(v ? generalNumber(*v) : QString()); };
    // The units the library's numbers are in, chosen before the numbers are written.
    Input->OptVas[1]->setChecked(true);
    Input->OptSd[0]->setChecked(true);
    Input->OptDia[0]->setChecked(true);
    Input->OptXmax[1]->setChecked(true);
    Input->TxtName->setText(e.name());
    put(Input->TxtFs, e.fs);
    put(Input->TxtQts, e.qts);
    put(Input->TxtQes, e.qes);
    put(Input->TxtQms, e.qms);
    put(Input->TxtVas, e.vas);
    put(Input->TxtPower, e.power);
    // Vd is derived from Sd (or the diameter) and Xmax; the coil fields of another driver must not
    // stand in for a missing Xmax.
    Input->TxtVd->clear();
    put(Input->TxtSd, e.sd);
    put(Input->TxtDia, e.diameter);
    put(Input->TxtXmax, e.xmax);
    Input->TxtVCHeight->clear();
    Input->TxtVCGap->clear();
    put(Crossover->TxtRe, e.re);
    put(Crossover->TxtL, e.le);
    put(Crossover->TxtZ, e.z);
    Files->commitEnteredValues();
    // Even when Fs reads as before, the Box Model belongs to another driver now.
    TxtFs_Change();
    SSTab->setCurrentIndex(TabInput);
    Input->TxtFs->setFocus(Qt::OtherFocusReason);
}

Entry FrmKelvane::currentDriver() const
{
    const auto value = [](const QLineEdit *field, double factor = 1) -> Value {
        const std::optional<double> v = parseNumber(field->text());
        if (!v || *v <= 0 || !std::isfinite(*v * factor))
            return std::nullopt;
        return *v * factor;
    };
    Entry e;
    e.model = Input->TxtName->text().trimmed();
    e.source = QStringLiteral("typed");
    e.fs = value(Input->TxtFs);
    e.qts = value(Input->TxtQts);
    e.qes = value(Input->TxtQes);
    e.qms = value(Input->TxtQms);
    e.vas = value(Input->TxtVas, VasToLitres[std::max(0, controls::selectedIndex(Input->OptVas))]);
    e.power = value(Input->TxtPower);
    e.sd = value(Input->TxtSd, SdToCm2[std::max(0, controls::selectedIndex(Input->OptSd))]);
    e.diameter = value(Input->TxtDia, DiaToMm[std::max(0, controls::selectedIndex(Input->OptDia))]);
    e.xmax = value(Input->TxtXmax, XmaxToMm[std::max(0, controls::selectedIndex(Input->OptXmax))]);
    e.re = value(Crossover->TxtRe);
    e.le = value(Crossover->TxtL);
    e.z = value(Crossover->TxtZ);
    library::completeQ(e);
    return e;
}
