// SPDX-License-Identifier: GPL-3.0-or-later
// The window's own figures: one press of "Calculate" on the real window (fit mode, every caption of
// the Box Model and Box and Vent tabs written), the same followed by the repaint the user sees, one
// press of "Calculate Crossover", the lines of the box-and-vent report built from the window, and
// start-up to a shown window, both within this process (a window after the first) and as a fresh
// process.

#include "WindowSupport.h"

#include "app/CrossoverDriversPanel.h"
#include "graphs/GraphPicture.h"

#include "app/BoxVentReport.h"
#include "boxvent/ReportLines.h"
#include "graphs/GraphPicture.h"

#include <QComboBox>
#include <QLabel>
#include <QProcess>
#include <QPushButton>

using namespace kelvanebench;

namespace {

void BM_Calculate(benchmark::State &state)
{
    setTargetMicroseconds(state, 1000);
    auto w = calculatedWindow();
    for (auto _ : state) {
        // Clearing the two fields is part of the measured press: a handful of microseconds.
        clearVentedFields(*w);
        w->BoxModel->CmdCalculate->click();
    }
    if (w->BoxModel->LblVF3->text().isEmpty() || w->BoxVent->LblVentLength[0]->text().isEmpty())
        state.SkipWithError("Calculate wrote no results");
}
BENCHMARK(BM_Calculate)->Name("Calculate on the window (fit mode, captions written)");

// One press of "Calculate Crossover" with the sample crossover (fourth order, Zobel network): the
// fields read, both sections designed, every part caption written, the plot and the plan drawn (a
// handler only hands each picture its routine; the images are made here as the screen would make
// them when the tabs are shown).
void BM_CalculateCrossover(benchmark::State &state)
{
    setTargetMicroseconds(state, 5000);
    auto w = calculatedWindow();
    enterSampleCrossover(*w);
    for (auto _ : state) {
        w->Crossover->CmdCalculateCrossover->click();
        benchmark::DoNotOptimize(w->Crossover->Picture1->image().constBits());
        benchmark::DoNotOptimize(w->CrossoverPlans->PicCrossoverPlan->image().constBits());
    }
    if (w->Crossover->LblWooferPart[3]->text().isEmpty() || w->Crossover->LblZobelC->text().isEmpty())
        state.SkipWithError("Calculate Crossover wrote no parts");
}
BENCHMARK(BM_CalculateCrossover)->Name("Calculate Crossover on the window (plot and plan drawn)")
    ->Unit(benchmark::kMicrosecond);

// "Calculate Crossover" with the response on the drivers shown: the network designed, the used
// values filled, the network solved on the modelled woofer and the nominal tweeter over the whole
// grid, the notes written and the simulated graph drawn.
void BM_CalculateCrossoverSimulated(benchmark::State &state)
{
    setTargetMicroseconds(state, 5000);
    auto w = calculatedWindow();
    enterSampleCrossover(*w);
    w->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
    w->Crossover->CrossoverDrivers->CboCrossoverGraph->setCurrentIndex(CrossoverDriversPanel::ResponseOnDrivers);
    processPending();
    for (auto _ : state) {
        w->Crossover->CmdCalculateCrossover->click();
        w->Crossover->Picture1->repaint();
    }
    if (!w->Crossover->CrossoverDrivers->simulation())
        state.SkipWithError("Calculate Crossover simulated nothing");
}
BENCHMARK(BM_CalculateCrossoverSimulated)->Name("Calculate Crossover end to end, solved on the drivers and drawn")
    ->Unit(benchmark::kMicrosecond);

// A used value changed (as Enter in its field commits it): the network solved again over the whole
// grid and the response on the drivers redrawn on screen. Target: under 5 ms.
void BM_UsedValueRedrawn(benchmark::State &state)
{
    setTargetMicroseconds(state, 5000);
    auto w = calculatedWindow();
    enterSampleCrossover(*w);
    w->Crossover->CmdCalculateCrossover->click();
    w->SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
    w->Crossover->CrossoverDrivers->CboCrossoverGraph->setCurrentIndex(CrossoverDriversPanel::ResponseOnDrivers);
    processPending();
    QLineEdit *used = w->Crossover->CrossoverDrivers->TxtWooferPartUsed[0];
    const QString values[] = {used->text(), QStringLiteral("0.82")};
    int k = 0;
    for (auto _ : state) {
        used->setText(values[++k % 2]);
        w->Crossover->CrossoverDrivers->refresh();
        w->Crossover->Picture1->repaint();
    }
    if (!w->Crossover->CrossoverDrivers->simulation())
        state.SkipWithError("the used value simulated nothing");
}
BENCHMARK(BM_UsedValueRedrawn)->Name("Crossover: a used value changed, solved and redrawn")->Unit(benchmark::kMicrosecond);

void BM_CalculateAndRepaint(benchmark::State &state)
{
    auto w = calculatedWindow();
    for (auto _ : state) {
        clearVentedFields(*w);
        w->BoxModel->CmdCalculate->click();
        w->repaint();
    }
}
BENCHMARK(BM_CalculateAndRepaint)->Name("Calculate and repaint the Box Model tab");

void reportLinesBenchmark(benchmark::State &state, bool metric)
{
    auto w = calculatedWindow();
    w->BoxVent->TxtVentDia->setText(QStringLiteral("2.5"));
    w->BoxModel->CmdCalculate->click();
    w->BoxModel->OptSealedVolumeBox[metric ? 1 : 0]->setChecked(true);
    qsizetype lines = 0;
    for (auto _ : state) {
        const QStringList report = kelvane::boxvent::reportLines(kelvane::boxvent::reportInputOf(*w->BoxVent));
        lines = report.size();
        benchmark::DoNotOptimize(lines);
    }
    if (lines == 0)
        state.SkipWithError("the report has no lines");
}
void BM_ReportLinesInch(benchmark::State &state) { reportLinesBenchmark(state, false); }
void BM_ReportLinesMetric(benchmark::State &state) { reportLinesBenchmark(state, true); }
BENCHMARK(BM_ReportLinesInch)->Name("Report lines, inch layout");
BENCHMARK(BM_ReportLinesMetric)->Name("Report lines, metric layout");

// Constructing the main window (which shows itself as it loads) until the window system has
// exposed it and its first paint is done; the application and its fonts are already up.
void BM_StartupWindow(benchmark::State &state)
{
    setTargetMicroseconds(state, 300'000);
    { auto first = std::make_unique<FrmKelvane>(); waitUntilExposed(*first); }
    processPending();
    for (auto _ : state) {
        auto w = std::make_unique<FrmKelvane>();
        if (!waitUntilExposed(*w)) {
            state.SkipWithError("the window was never exposed");
            break;
        }
        processPending();
        state.PauseTiming();
        w.reset();
        processPending();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupWindow)->Name("Start-up: window shown (in a running application)")
    ->Unit(benchmark::kMillisecond)->UseRealTime();

// A fresh process: loading the program, the application on the offscreen platform, the window
// constructed, shown and painted, then exit. The process is the start-up probe built beside this
// program.
void BM_StartupProcess(benchmark::State &state)
{
    setTargetMicroseconds(state, 300'000);
    const QString probe = QStringLiteral(KELVANE_STARTUP_PROBE);
    for (auto _ : state) {
        QProcess p;
        p.start(probe, {});
        if (!p.waitForFinished(10'000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            state.SkipWithError("the start-up probe failed");
            break;
        }
    }
}
BENCHMARK(BM_StartupProcess)->Name("Start-up: fresh process to a shown window")
    ->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

KELVANE_BENCHMARK_MAIN_WITH_APPLICATION()
