// SPDX-License-Identifier: GPL-3.0-or-later
// The graphs: each graph drawn completely by its button's handler and made into the image the screen
// shows (frame, grid, both curves, the text), at 640 x 480 and at 1600 x 1200; the crossover's plot
// and plan, the Analysis tab's graphs; the picture's image saved as a bitmap file, and the "Save
// Image" buttons as the user presses them (the file written, then the graph drawn again).

#include "WindowSupport.h"

#include "app/AnalysisTab.h"
#include "app/MoreBoxesTab.h"
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

// The picture made as the screen will show it: its drawing routine run at its size and the image
// rendered (a handler only hands the picture its routine).
void shown(GraphPicture *picture)
{
    benchmark::DoNotOptimize(picture->image().constBits());
}

const QSize Standard(640, 480), Large(1600, 1200);

// The target: 1.5 ms at 640 x 480, 6 ms at 1600 x 1200.
void setTarget(benchmark::State &state, QSize size)
{
    setTargetMicroseconds(state, size == Standard ? 1500 : 6000);
}

void graphBenchmark(benchmark::State &state, void (FrmKelvane::*handler)(), GraphPicture *(*picture)(FrmKelvane &),
                    QSize size)
{
    setTarget(state, size);
    auto w = calculatedWindow();
    // Once first: the handler brings its tab to the front, where the picture then stays at its size.
    ((*w).*handler)();
    processPending();
    picture(*w)->resize(size);
    for (auto _ : state) {
        ((*w).*handler)();
        shown(picture(*w));
    }
    processPending();
    if (!drawn(picture(*w)) || picture(*w)->size() != size)
        state.SkipWithError("the graph was not drawn at its size");
}

void BM_FrequencyGraph(benchmark::State &state, QSize size)
{
    graphBenchmark(state, &FrmKelvane::CmdFrequency_Click, [](FrmKelvane &w) { return w.Frequency->PicFrequency; }, size);
}
BENCHMARK_CAPTURE(BM_FrequencyGraph, standard, Standard)->Name("Frequency response graph, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_FrequencyGraph, large, Large)->Name("Frequency response graph at 1600 x 1200")
    ->Unit(benchmark::kMicrosecond);

void BM_DisplacementGraph(benchmark::State &state, QSize size)
{
    graphBenchmark(state, &FrmKelvane::CmdDisplacement_Click, [](FrmKelvane &w) { return w.Displacement->PicDisplacementLimit; }, size);
}
BENCHMARK_CAPTURE(BM_DisplacementGraph, standard, Standard)->Name("Displacement limits graph, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_DisplacementGraph, large, Large)->Name("Displacement limits graph at 1600 x 1200")
    ->Unit(benchmark::kMicrosecond);

// The crossover's response plot (frame, grid, three curves) and its plan (the schematic with every
// part), each drawn completely from the sample crossover already calculated.
void crossoverBenchmark(benchmark::State &state, void (*draw)(FrmKelvane &), GraphPicture *(*picture)(FrmKelvane &),
                        QSize size)
{
    setTarget(state, size);
    auto w = calculatedWindow();
    enterSampleCrossover(*w);
    w->Crossover->CmdCalculateCrossover_Click();
    if (!w->State.CrossoverNetwork) {
        state.SkipWithError("no crossover was calculated");
        return;
    }
    picture(*w)->resize(size);
    for (auto _ : state) {
        draw(*w);
        shown(picture(*w));
    }
    processPending();
    if (!drawn(picture(*w)) || picture(*w)->size() != size)
        state.SkipWithError("the drawing was not made at its size");
}

void BM_CrossoverResponse(benchmark::State &state, QSize size)
{
    crossoverBenchmark(state, [](FrmKelvane &w) { w.Crossover->CrossoverResponse(); }, [](FrmKelvane &w) { return w.Crossover->Picture1; }, size);
}
BENCHMARK_CAPTURE(BM_CrossoverResponse, standard, Standard)->Name("Crossover response plot, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CrossoverResponse, large, Large)->Name("Crossover response plot at 1600 x 1200")
    ->Unit(benchmark::kMicrosecond);

void BM_CrossoverPlan(benchmark::State &state, QSize size)
{
    crossoverBenchmark(state, [](FrmKelvane &w) { w.CrossoverPlans->CrossoverPlan(); }, [](FrmKelvane &w) { return w.CrossoverPlans->PicCrossoverPlan; }, size);
}
BENCHMARK_CAPTURE(BM_CrossoverPlan, standard, Standard)->Name("Crossover plan, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_CrossoverPlan, large, Large)->Name("Crossover plan at 1600 x 1200")
    ->Unit(benchmark::kMicrosecond);

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
        if (!graphoutput::saveBitmap(w->Displacement->PicDisplacementLimit->image(), name)) {
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
void saveButtonBenchmark(benchmark::State &state, QPushButton *(*button)(FrmKelvane &),
                         void (FrmKelvane::*draw)(), const QString &fileSuffix)
{
    auto w = calculatedWindow();
    ((*w).*draw)();
    QTemporaryDir folder;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    for (auto _ : state)
        button(*w)->click();
    const bool written = QFile::exists(w->State.DriverName + fileSuffix + QStringLiteral(".bmp"));
    QDir::setCurrent(previous);
    if (!written)
        state.SkipWithError("no bitmap was written");
}

void BM_SaveFrequencyButton(benchmark::State &state)
{
    saveButtonBenchmark(state, [](FrmKelvane &w) { return w.Frequency->CmdSave; }, &FrmKelvane::CmdFrequency_Click,
                        QStringLiteral("Frequency"));
}
BENCHMARK(BM_SaveFrequencyButton)->Name("Save Image on the frequency graph (save and redraw)")
    ->Unit(benchmark::kMicrosecond);

void BM_SaveDisplacementButton(benchmark::State &state)
{
    saveButtonBenchmark(state, [](FrmKelvane &w) { return w.Displacement->CmdSaveDisplacement; }, &FrmKelvane::CmdDisplacement_Click,
                        QStringLiteral("Limits"));
}
BENCHMARK(BM_SaveDisplacementButton)->Name("Save Image on the displacement graph (save and redraw)")
    ->Unit(benchmark::kMicrosecond);

// The Analysis tab with four boxes: a graph drawn completely (frame, grid, value axis, the curves of
// the sealed, vented, passive-radiator and bandpass boxes with their circuit or transfer-function
// values, the limit line and the notes) for the sample driver with the woofer's Re and Le; and a
// change of power, typed and committed with Enter, redrawn.
std::unique_ptr<FrmKelvane> analysisWindow()
{
    auto w = calculatedWindow();
    enterSampleCrossover(*w);
    w->CmdCalculate_Click();
    // One radiator of 500 cm2, 100 g and 2 cu ft for the vented box's tuning; the bandpass box of
    // the tab's start values (a flat passband, 3 dB of gain).
    w->MoreBoxes->TxtPRSd->setText(QStringLiteral("500"));
    w->MoreBoxes->TxtPRMms->setText(QStringLiteral("100"));
    w->MoreBoxes->TxtPRVas->setText(QStringLiteral("2"));
    w->MoreBoxes->CmdCalculatePR->click();
    w->MoreBoxes->CmdCalculateBP->click();
    processPending();
    return w;
}

void BM_AnalysisGraph(benchmark::State &state, kelvane::analysis::Graph graph, QSize size)
{
    setTarget(state, size);
    auto w = analysisWindow();
    w->Analysis->CboAnalysisGraph->setCurrentIndex(int(graph));
    w->Analysis->PicAnalysis->resize(size);
    for (auto _ : state) {
        w->Analysis->redraw();
        shown(w->Analysis->PicAnalysis);
    }
    processPending();
    if (!drawn(w->Analysis->PicAnalysis) || w->Analysis->shownData().curves.size() != 4)
        state.SkipWithError("the graph of four boxes was not drawn");
}
using kelvane::analysis::Graph;
BENCHMARK_CAPTURE(BM_AnalysisGraph, spl, Graph::Spl, Standard)->Name("Analysis: sound pressure level, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, maxspl, Graph::MaxSpl, Standard)->Name("Analysis: maximum SPL, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, excursion, Graph::Excursion, Standard)
    ->Name("Analysis: cone excursion, drawn completely")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, excursionlarge, Graph::Excursion, Large)
    ->Name("Analysis: cone excursion at 1600 x 1200")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, vent, Graph::VentSpeed, Standard)->Name("Analysis: vent air speed, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, delay, Graph::GroupDelay, Standard)->Name("Analysis: group delay, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, phase, Graph::Phase, Standard)->Name("Analysis: phase, drawn completely")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_AnalysisGraph, impedance, Graph::Impedance, Standard)->Name("Analysis: impedance, drawn completely")
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
        shown(tab->PicAnalysis);
    }
    processPending();
    if (tab->power() != 250 && tab->power() != 50)
        state.SkipWithError("the power was not taken");
}
BENCHMARK(BM_AnalysisPowerChange)->Name("Analysis: a change of power, redrawn (cone excursion)")
    ->Unit(benchmark::kMicrosecond);

} // namespace

KELVANE_BENCHMARK_MAIN_WITH_APPLICATION()
