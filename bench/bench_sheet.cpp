// SPDX-License-Identifier: GPL-3.0-or-later
// The build sheet: the whole PDF written from a calculated window (sample driver, vented box, the
// sample crossover, both graphs drawn): the snapshot taken, the sheet laid out and every page
// painted into the file. Also the pictures exported as PNG at twice the size and as SVG.

#include "WindowSupport.h"

#include "graphs/GraphPicture.h"
#include "sheet/SheetWriter.h"

#include <QTemporaryDir>

using namespace kelvanebench;

namespace {

std::unique_ptr<FrmKelvane> sheetWindow()
{
    auto w = calculatedWindow();
    enterSampleCrossover(*w);
    w->Crossover->CmdCalculateCrossover_Click();
    w->CmdFrequency_Click();
    w->CmdDisplacement_Click();
    processPending();
    return w;
}

void BM_BuildSheet(benchmark::State &state)
{
    setTargetMicroseconds(state, 300000);
    auto w = sheetWindow();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("sheet.pdf"));
    const kelvane::sheet::Choices choices{true, 0, 18, true, kelvane::sheet::PageSize::A4, true};
    for (auto _ : state) {
        const kelvane::sheet::Sheet sheet =
            kelvane::sheet::buildSheet(w->buildSheetSnapshot(), choices, QStringLiteral("2026-12-07"),
                                       QStringLiteral("Kelvane 1.0.6"));
        if (!kelvane::sheet::writePdfFile(sheet, path))
            state.SkipWithError("the sheet was not written");
    }
}
BENCHMARK(BM_BuildSheet)->Name("Build sheet PDF, written completely")->Unit(benchmark::kMicrosecond);

void pictureBenchmark(benchmark::State &state, kelvane::sheet::PictureFormat format, const char *name)
{
    auto w = sheetWindow();
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(name));
    for (auto _ : state)
        if (!kelvane::sheet::writePicture(w->Frequency->PicFrequency->drawing(), path, format, QStringLiteral("Frequency")))
            state.SkipWithError("the picture was not written");
}

void BM_PicturePng(benchmark::State &state)
{
    pictureBenchmark(state, kelvane::sheet::PictureFormat::Png, "picture.png");
}
BENCHMARK(BM_PicturePng)->Name("Export Picture, PNG 1280 x 960")->Unit(benchmark::kMicrosecond);

void BM_PictureSvg(benchmark::State &state)
{
    pictureBenchmark(state, kelvane::sheet::PictureFormat::Svg, "picture.svg");
}
BENCHMARK(BM_PictureSvg)->Name("Export Picture, SVG")->Unit(benchmark::kMicrosecond);

} // namespace

KELVANE_BENCHMARK_MAIN_WITH_APPLICATION()
