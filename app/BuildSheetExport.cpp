// SPDX-License-Identifier: GPL-3.0-or-later
// File > Export Build Sheet… and File > Export Picture…: the window's part is the snapshot of the
// calculated design, the file chosen and the message when writing fails.

#include "app/AnalysisTab.h"
#include "app/DlgBuildSheet.h"
#include "app/FrmKelvane.h"
#include "app/Controls.h"
#include "app/CrossoverDriversPanel.h"
#include "crossover/RealParts.h"
#include "app/MoreBoxesTab.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/DriverCore.h"
#include "driver/Program.h"
#include "graphs/GraphPicture.h"
#include "sheet/SheetWriter.h"

#include <QAction>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include <cmath>
#include <numbers>

using namespace kelvane;

namespace {

QString chooseSaveFile(QWidget *parent, const QString &name, const QString &caption, const QStringList &filters,
                       const QString &proposed, QString *selectedFilter)
{
    QFileDialog dialog(parent, caption);
    dialog.setObjectName(name);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectFile(proposed);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    *selectedFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

QString writeFailureText(const QString &what, const QString &path)
{
    return QStringLiteral("The %1 could not be written to %2.").arg(what, QDir::toNativeSeparators(path));
}

} // namespace

sheet::Snapshot FrmKelvane::buildSheetSnapshot()
{
    if (BoxModel->CmdFrequency->isEnabled() && Frequency->PicFrequency->drawing().isEmpty()) {
        const int tab = SSTab->currentIndex();
        CmdFrequency_Click();
        SSTab->setCurrentIndex(tab);
    }
    sheet::Snapshot s;
    s.driverName = Input->TxtName->text();
    const auto unit = [](const auto &options) {
        const int i = controls::selectedIndex(options);
        return i < 0 ? QString() : QStringLiteral(" (") + options[std::size_t(i)]->text() + QLatin1Char(')');
    };
    s.driverData = {{QStringLiteral("Fs (Hz)"), Input->TxtFs->text()},
                    {QStringLiteral("Vas") + unit(Input->OptVas), Input->TxtVas->text()},
                    {QStringLiteral("Qts"), Input->TxtQts->text()},
                    {QStringLiteral("Qes"), Input->TxtQes->text()},
                    {QStringLiteral("Qms"), Input->TxtQms->text()},
                    {QStringLiteral("Maximum power (Watts)"), Input->TxtPower->text()},
                    {QStringLiteral("Vd") + unit(Input->OptVd), Input->TxtVd->text()},
                    {QStringLiteral("Sd") + unit(Input->OptSd), Input->TxtSd->text()},
                    {QStringLiteral("Diameter") + unit(Input->OptDia), Input->TxtDia->text()},
                    {QStringLiteral("Xmax") + unit(Input->OptXmax), Input->TxtXmax->text()},
                    {QStringLiteral("Voice coil height") + unit(Input->OptXmax), Input->TxtVCHeight->text()},
                    {QStringLiteral("Voice coil gap") + unit(Input->OptXmax), Input->TxtVCGap->text()}};
    s.calculated = BoxModel->CmdFrequency->isEnabled();
    s.ventedRecommended = driver::recommendation(State.EBP) == driver::VentedAdvice;
    s.resultUnit = std::max(0, BoxModel->volumeUnitIndex());
    s.vbSealed = State.VbSealed;
    s.vbVented = State.VbVented;
    s.fb = State.Fb;
    s.addVolume = State.AddVolume;
    s.percentOverVolume = State.PercentOverVolume;
    s.userVentDia = State.VentDia[6];
    s.vd = State.VentVd;
    if (const driver::DriverGroup g = BoxModel->driverGroup({}); g.count > 1) {
        BoxModel->ShowDriverGroup();
        // The advertised diameter, else the one whose piston (85 % of it) has the cone area.
        const double dia = parseNumber(Input->TxtDia->text()).value_or(0.0), sd = parseNumber(Input->TxtSd->text()).value_or(0.0);
        const double mm = dia > 0 ? dia * driver::MmPerDiaUnit[std::max(0, controls::selectedIndex(Input->OptDia))]
                                  : std::sqrt(4 * sd * driver::SquareMmPerSdUnit[std::max(0, controls::selectedIndex(Input->OptSd))]
                                              / std::numbers::pi) / 0.85;
        s.drivers = {g.count, BoxModel->LblDriverGroup->text(), g.cones, std::isfinite(mm) ? mm / 25.4 : 0.0, g.isobaric};
    }
    s.crossover = State.CrossoverNetwork;
    if (State.CrossoverNetwork && Crossover->CrossoverDrivers->simulation()) {
        s.wooferBuilt = Crossover->CrossoverDrivers->usedValues(true);
        s.tweeterBuilt = Crossover->CrossoverDrivers->usedValues(false);
        s.lowestImpedance = crossover::lowestImpedanceNote(*Crossover->CrossoverDrivers->simulation());
        // The simulation ran on these values, so they can be built (the compensation's nearest
        // values aside: without them it is left off).
        try {
            const crossover::BuiltCrossover b = Crossover->CrossoverDrivers->builtCrossover();
            s.wooferDcr = b.wooferDcr;
            s.tweeterDcr = b.tweeterDcr;
            if (const crossover::LPad pad = crossover::builtPad(b); pad.used) {
                s.padSeries = pad.series;
                s.padParallel = pad.parallel;
            }
            if (b.baffle.used) {
                s.stepHenries = crossover::nearestInSeries(b.baffle.henries * 1e3, b.series) / 1e3;
                s.stepOhms = crossover::nearestInSeries(b.baffle.ohms, b.series);
                s.stepDcr = b.baffle.dcr;
            }
        } catch (const CalcFault &) {
            s.stepHenries = s.stepOhms = 0;
        }
    }
    // The sheet takes every picture at 640 x 480, whatever its size on screen.
    const QSize base = GraphPicture::baseSize();
    if (State.CrossoverNetwork)
        s.plan = CrossoverPlans->PicCrossoverPlan->drawingAt(base);
    if (s.calculated && !Frequency->PicFrequency->drawing().isEmpty())
        s.graphs.push_back({QStringLiteral("Frequency response"), Frequency->PicFrequency->drawingAt(base), {}});
    if (s.calculated && !Displacement->PicDisplacementLimit->drawing().isEmpty())
        s.graphs.push_back({QStringLiteral("Displacement limits"), Displacement->PicDisplacementLimit->drawingAt(base), {}});
    if (s.calculated) {
        s.radiatorBox = MoreBoxes->sheetBox(false);
        s.bandpassBox = MoreBoxes->sheetBox(true);
    }
    // The Analysis tab's graph as it stands (the kind and power chosen there).
    if (s.calculated && !Analysis->PicAnalysis->drawing().isEmpty())
        s.graphs.push_back({QStringLiteral("Analysis: ") + Analysis->CboAnalysisGraph->currentText(),
                            Analysis->PicAnalysis->drawingAt(base), Analysis->notes()});
    return s;
}

void FrmKelvane::MnuExportBuildSheet_Click()
{
    const sheet::Snapshot snapshot = buildSheetSnapshot();
    if (!snapshot.calculated) {
        Program::ShowMoreDataNeeded();
        return;
    }
    DlgBuildSheet dialog(snapshot, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QString filter;
    const QString base = Input->TxtName->text().isEmpty() ? QStringLiteral("Build sheet") : Input->TxtName->text();
    QString path = chooseSaveFile(this, QStringLiteral("DlgExportBuildSheet"), QStringLiteral("Export Build Sheet"),
                                  {QStringLiteral("PDF documents (*.pdf)")}, base + QStringLiteral(".pdf"), &filter);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    const sheet::Sheet built = sheet::buildSheet(snapshot, dialog.choices(), QDate::currentDate().toString(Qt::ISODate),
                                                 QStringLiteral("Kelvane %1").arg(QCoreApplication::applicationVersion()));
    if (!sheet::writePdfFile(built, path))
        Program::ShowMessage(writeFailureText(QStringLiteral("build sheet"), path), QStringLiteral("Error"));
}

void FrmKelvane::MnuExportPicture_Click()
{
    // The picture of the tab in front, named like its bitmap.
    struct Shown {
        int tab;
        GraphPicture *picture;
        const char *suffix;
    };
    const Shown shown[] = {{TabCrossover, Crossover->Picture1, "Crossover"},
                           {TabCrossoverPlans, CrossoverPlans->PicCrossoverPlan, "Plan"},
                           {TabFrequency, Frequency->PicFrequency, "Frequency"},
                           {TabDisplacement, Displacement->PicDisplacementLimit, "Limits"},
                           {TabAnalysis, Analysis->PicAnalysis, "Analysis"}};
    const auto it = std::find_if(std::begin(shown), std::end(shown),
                                 [this](const Shown &s) { return s.tab == SSTab->currentIndex(); });
    if (it == std::end(shown) || it->picture->drawing().isEmpty()) {
        Program::ShowMoreDataNeeded();
        return;
    }
    // As shown: a PNG at twice the picture's size on screen, an SVG at that size.
    const GraphDrawing drawing = it->picture->drawing();
    const QString png = QStringLiteral("PNG image (*.png)"), svg = QStringLiteral("SVG image (*.svg)");
    QString filter;
    QString path = chooseSaveFile(this, QStringLiteral("DlgExportPicture"), QStringLiteral("Export Picture"), {png, svg},
                                  (State.DriverName.isEmpty() ? QStringLiteral("Kelvane") : State.DriverName)
                                      + QLatin1String(it->suffix) + QStringLiteral(".png"),
                                  &filter);
    if (path.isEmpty())
        return;
    // A name typed with .png or .svg says the format; otherwise the chosen filter does.
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg"))
        path += filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    if (!sheet::writePicture(drawing, path, sheet::pictureFormatOf(path), SSTab->tabText(SSTab->currentIndex())))
        Program::ShowMessage(writeFailureText(QStringLiteral("picture"), path), QStringLiteral("Error"));
}
