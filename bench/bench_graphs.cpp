// SPDX-License-Identifier: GPL-3.0-or-later
// The graphs: each graph drawn completely into its picture's image by its button's handler (frame,
// grid, both curves, the text), the crossover's plot and plan, the picture's image saved as a
// bitmap file, and the "Save Image" buttons as the user presses them (the file written, then the
// graph drawn again).

#include "WindowSupport.h"

#include "app/AnalysisTab.h"
#include "graphs/GraphOutput.h"
#include "graphs/GraphPicture.h"

#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

using namespace kelvanebench;

namespace {

// True when the picture holds more than the blank page that clear() leaves.
bool drawn(GraphPicture *picture)
{
    const QImage &image = picture->image();
    const QRgb blank = image.pixel(0, 0);
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (image.pixel(x, y) != blank)
                return true;
    return false;
}

void graphBenchmark(benchmark::State &state, void (FrmKelvane::*handler)(), GraphPicture *FrmKelvane::*picture)
{
    setTargetMicroseconds(state, 5000);
    auto w = calculatedWindow();
    for (auto _ : state)
        ((*w).*handler)();
    processPending();
    if (!drawn((*w).*picture))
        state.SkipWithError("the graph was not drawn");
}

void BM_FrequencyGraph(benchmark::State &state)
{
    graphBenchmark(state, &FrmKelvane::CmdFrequency_Click, &FrmKelvane::PicFrequency);
}
BENCHMARK(BM_FrequencyGraph)->Name("Frequency response graph, drawn completely")->Unit(benchmark::kMicrosecond);

void BM_DisplacementGraph(benchmark::State &state)
{
    graphBenchmark(state, &FrmKelvane::CmdDisplacement_Click, &FrmKelvane::PicDisplacementLimit);
}
BENCHMARK(BM_DisplacementGraph)->Name("Displacement limits graph, drawn completely")->Unit(benchmark::kMicrosecond);

// The crossover's response plot (frame, grid, three curves) and its plan (the schematic with every
// part), each drawn completely from the sample crossover already calculated.
void crossoverBenchmark(benchmark::State &state, void (FrmKelvane::*draw)(), GraphPicture *FrmKelvane::*picture)
{
    setTargetMicroseconds(state, 5000);
    auto w = calculatedWindow();
    enterSampleCrossover(*w);
    w->CmdCalculateCrossover_Click();
    if (!w->CrossoverNetwork) {
        state.SkipWithError("no crossover was calculated");
        return;
    }
    for (auto _ : state)
        ((*w).*draw)();
    processPending();
    if (!drawn((*w).*picture))
        state.SkipWithError("the drawing was not made");
}

void BM_CrossoverResponse(benchmark::State &state)
{
    crossoverBenchmark(state, &FrmKelvane::CrossoverResponse, &FrmKelvane::Picture1);
}
BENCHMARK(BM_CrossoverResponse)->Name("Crossover response plot, drawn completely")->Unit(benchmark::kMicrosecond);

void BM_CrossoverPlan(benchmark::State &state)
{
    crossoverBenchmark(state, &FrmKelvane::CrossoverPlan, &FrmKelvane::PicCrossoverPlan);
}
BENCHMARK(BM_CrossoverPlan)->Name("Crossover plan, drawn completely")->Unit(benchmark::kMicrosecond);

// The picture's 640 x 480 image written as a Windows bitmap by the program's own bitmap writer,
// into a temporary folder as the current folder, over the file of the previous save (as every save
// after the first one does).
void BM_SaveBitmap(benchmark::State &state)
{
    setTargetMicroseconds(state, 5000);
    auto w = calculatedWindow();
    w->CmdDisplacement_Click();
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    const QString name = QStringLiteral("W10-BenchLimits.bmp");
    for (auto _ : state) {
        if (!graphoutput::saveBitmap(w->PicDisplacementLimit->image(), name)) {
            state.SkipWithError("the bitmap could not be written");
            break;
        }
    }
    const qint64 size = QFile(name).size();
    QDir::setCurrent(previous);
    if (size < 640 * 480 * 3)
        state.SkipWithError("the bitmap is too small");
}
BENCHMARK(BM_SaveBitmap)->Name("Bitmap save of a graph (640 x 480)")->Unit(benchmark::kMicrosecond);

// "Save Image" as pressed: the file in the current folder, then the graph drawn again.
void saveButtonBenchmark(benchmark::State &state, QPushButton *FrmKelvane::*button,
                         void (FrmKelvane::*draw)(), const QString &fileSuffix)
{
    auto w = calculatedWindow();
    ((*w).*draw)();
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    for (auto _ : state)
        ((*w).*button)->click();
    const bool written = QFile::exists(w->DriverName + fileSuffix + QStringLiteral(".bmp"));
    QDir::setCurrent(previous);
    if (!written)
        state.SkipWithError("no bitmap was written");
}

void BM_SaveFrequencyButton(benchmark::State &state)
{
    saveButtonBenchmark(state, &FrmKelvane::CmdSave, &FrmKelvane::CmdFrequency_Click,
                        QStringLiteral("Frequency"));
}
BENCHMARK(BM_SaveFrequencyButton)->Name("Save Image on the frequency graph (save and redraw)")
    ->Unit(benchmark::kMicrosecond);

void BM_SaveDisplacementButton(benchmark::State &state)
{
    saveButtonBenchmark(state, &FrmKelvane::CmdSaveDisplacement, &FrmKelvane::CmdDisplacement_Click,
                        QStringLiteral("Limits"));
}
BENCHMARK(BM_SaveDisplacementButton)->Name("Save Image on the displacement graph (save and redraw)")
    ->Unit(benchmark::kMicrosecond);

// The Analysis tab: a graph drawn completely (frame, grid, value axis, both curves with their
// circuit or transfer-function values, the limit line and the notes) for the sample driver with the
// woofer's Re and Le; and a change of power, typed and committed with Enter, redrawn.
std::unique_ptr<FrmKelvane> analysisWindow()
{
    auto w = calculatedWindow();
    enterSampleCrossover(*w);
    w->CmdCalculate_Click();
    processPending();
    return w;
}

void BM_AnalysisGraph(benchmark::State &state, kelvane::analysis::Graph graph)
{
    setTargetMicroseconds(state, 5000);
    auto w = analysisWindow();
    w->Analysis->CboAnalysisGraph->setCurrentIndex(int(graph));
    for (auto _ : state)
        w->Analysis->redraw();
    processPending();
    if (!drawn(w->Analysis->PicAnalysis) || w->Analysis->shownData().curves.empty())
        state.SkipWithError("the graph was not drawn");
}
using kelvane::analysis::Graph;
BENCHMARK_CAPTURE(BM_AnalysisGraph, spl, Graph::Spl)->Name("Analysis: sound pressure level, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, maxspl, Graph::MaxSpl)->Name("Analysis: maximum SPL, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, excursion, Graph::Excursion)->Name("Analysis: cone excursion, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, vent, Graph::VentSpeed)->Name("Analysis: vent air speed, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, delay, Graph::GroupDelay)->Name("Analysis: group delay, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, phase, Graph::Phase)->Name("Analysis: phase, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, impedance, Graph::Impedance)->Name("Analysis: impedance, drawn completely")
    ->Unit(benchmark::kMicrosecond);

void BM_AnalysisPowerChange(benchmark::State &state)
{
    setTargetMicroseconds(state, 5000);
    auto w = analysisWindow();
    AnalysisTab *tab = w->Analysis;
    tab->CboAnalysisGraph->setCurrentIndex(int(Graph::Excursion));
    bool high = false;
    for (auto _ : state) {
        tab->TxtAnalysisPower->setText((high = !high) ? QStringLiteral("250") : QStringLiteral("50"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QCoreApplication::sendEvent(tab->TxtAnalysisPower, &enter);
    }
    processPending();
    if (tab->power() != 250 && tab->power() != 50)
        state.SkipWithError("the power was not taken");
}
BENCHMARK(BM_AnalysisPowerChange)->Name("Analysis: a change of power, redrawn (cone excursion)")
    ->Unit(benchmark::kMicrosecond);

} // namespace

KELVANE_BENCHMARK_MAIN_WITH_APPLICATION()
