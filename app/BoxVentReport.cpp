// SPDX-License-Identifier: GPL-3.0-or-later
// "Print" on the "Box and Vent" tab: the build report's inputs read from the tab, and the report
// (lines from boxvent/ReportLines) on the default printer.

#include "app/BoxVentReport.h"

#include "app/BoxVentTab.h"
#include "boxvent/TextPrinter.h"
#include "driver/Program.h"

#include <QLabel>
#include <QLineEdit>

namespace kelvane::boxvent {

ReportInput reportInputOf(const BoxVentTab &w)
{
    const state::DesignState &State = w.state();
    ReportInput in;
    in.metric = w.volumeUnit() != 0;
    in.addVolume = State.AddVolume;
    in.percentOverVolume = State.PercentOverVolume;
    in.ventDia6 = State.VentDia[6];

    in.originalCVol = w.LblOriginalCVol->text();
    in.originalVVol = w.LblOriginalVVol->text();
    in.originalFb = w.LblOriginalFb->text();
    for (std::size_t i = 0; i < 3; ++i) {
        in.cVol[i] = w.LblCVol[i]->text();
        in.cHeight[i] = w.LblCHeight[i]->text();
        in.cWidth[i] = w.LblCWidth[i]->text();
        in.cDepth[i] = w.LblCDepth[i]->text();
        in.vVol[i] = w.LblVVol[i]->text();
        in.vHeight[i] = w.LblVHeight[i]->text();
        in.vWidth[i] = w.LblVWidth[i]->text();
        in.vDepth[i] = w.LblVDepth[i]->text();
    }
    for (std::size_t k = 0; k < 7; ++k) {
        in.ventLengthCaption[k] = w.LblVentLength[k]->text();
        in.ventLength[k] = State.VentLength[k];
    }
    in.ventDiaText = w.TxtVentDia->text();

    in.vbSealed = State.VbSealed;
    in.vbVented = State.VbVented;
    in.vbSealedBuild = State.VbSealedBuild;
    in.vbVentedBuild = State.VbVentedBuild;
    in.depthSealed = {State.DepthSealedA, State.DepthSealedB, State.DepthSealedC};
    in.depthVented = {State.DepthVentedA, State.DepthVentedB, State.DepthVentedC};
    return in;
}

} // namespace kelvane::boxvent

namespace {
const QString ApplicationTitle = QStringLiteral("Kelvane");
}

void BoxVentTab::CmdPrintBoxVent_Click()
{
    const QStringList lines = kelvane::boxvent::reportLines(kelvane::boxvent::reportInputOf(*this));
    if (!kelvane::printTextOnDefaultPrinter(lines, QStringLiteral("Kelvane box and vent report")))
        Program::ShowMessage(Program::PrintProblemText, ApplicationTitle);
}
