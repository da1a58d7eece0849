// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of every tab of the main window, with a sample driver and crossover calculated,
// into the folder given on the command line (default: the current folder). Used for the README and
// for checking the layout by eye: run it under Xvfb or with QT_QPA_PLATFORM=offscreen.

#include "app/AnalysisTab.h"
#include "app/CrossoverDriversPanel.h"
#include "app/DlgMeasureDriver.h"
#include "app/FrmKelvane.h"
#include "app/MoreBoxesTab.h"
#include "measure/MeasureCore.h"
#include "tools/SampleDriver.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

// The sample driver's impedance as a measuring jig writes it: Re 5.8 ohms, Fs 30 Hz, Qms 4,
// Qes 0.45, a lossy coil; with 25 g on its cone of 22.5 g, Fs and both Q rise by sqrt(1 + 25/22.5)
// or fall in the case of Fs.
void writeSampleCurve(const QString &path, double massRatio)
{
    const double k = std::sqrt(massRatio);
    const kelvane::measure::DriverModel m{5.8, 30 / k, 4 * k, 0.45 * k, 0.5e-3, 0.4e-3, 7};
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return;
    f.write("Freq[Hz]  Ohm  Phase[Deg]\n");
    for (int i = 0; i < 500; ++i) {
        const double hz = 10 * std::pow(2000.0, i / 499.0);
        const std::complex<double> z = kelvane::measure::impedance(m, hz) * (1 + 0.004 * std::sin(i * 1.7));
        f.write(QByteArray::number(hz, 'f', 2) + ' ' + QByteArray::number(std::abs(z), 'f', 3) + ' '
                + QByteArray::number(std::arg(z) * 57.29578, 'f', 2) + '\n');
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    FrmKelvane w;
    w.resize(w.sizeHint().expandedTo(QSize(900, 640)));
    QTest::qWait(200);

    enterSampleDriver(w, QStringLiteral("W8-Sample"));
    const char *names[7] = {"input", "boxmodel", "boxvent", "crossover", "crossoverplans",
                            "frequency", "displacement"};
    w.SSTab->setCurrentIndex(0);
    QTest::qWait(100);
    w.grab().save(out.filePath(QStringLiteral("tab-input.png")));

    w.Input->CmdCalculateInput->click();
    QTest::qWait(100);
    enterSampleCrossover(w);
    w.Crossover->CmdCalculateCrossover->click();
    QTest::qWait(100);
    for (int i = 1; i < 5; ++i) {
        w.SSTab->setCurrentIndex(i);
        QTest::qWait(100);
        w.grab().save(out.filePath(QStringLiteral("tab-%1.png").arg(QLatin1String(names[i]))));
    }
    if (w.BoxModel->CmdFrequency->isEnabled()) {
        w.BoxModel->CmdFrequency->click();
        QTest::qWait(100);
        w.grab().save(out.filePath(QStringLiteral("tab-frequency.png")));
    }
    if (w.BoxModel->CmdDisplacement->isEnabled()) {
        w.SSTab->setCurrentIndex(1);
        w.BoxModel->CmdDisplacement->click();
        QTest::qWait(100);
        w.grab().save(out.filePath(QStringLiteral("tab-displacement.png")));
    }
    // The More Boxes tab: a 10-inch passive radiator (Vas in litres, as the sample driver's) and the
    // bandpass box designed for S 0.7 and 3 dB.
    w.SSTab->setCurrentIndex(FrmKelvane::TabMoreBoxes);
    w.MoreBoxes->TxtPRSd->setText(QStringLiteral("330"));
    w.MoreBoxes->TxtPRMms->setText(QStringLiteral("60"));
    w.MoreBoxes->TxtPRVas->setText(QStringLiteral("60"));
    w.MoreBoxes->TxtPRXmax->setText(QStringLiteral("12"));
    w.MoreBoxes->CmdCalculatePR->click();
    w.MoreBoxes->CmdCalculateBP->click();
    QTest::qWait(100);
    w.grab().save(out.filePath(QStringLiteral("tab-moreboxes.png")));
    // The Analysis tab: the cone excursion of every box at the driver's maximum power.
    w.SSTab->setCurrentIndex(FrmKelvane::TabAnalysis);
    w.Analysis->CboAnalysisGraph->setCurrentIndex(2);
    QTest::qWait(100);
    w.grab().save(out.filePath(QStringLiteral("tab-analysis.png")));
    // The crossover on its drivers: a tweeter response file of a second-order roll-off at 1.2 kHz
    // (Q 0.7) at 90 dB, with its phase, and the response on the drivers.
    QTemporaryDir curves;
    {
        QFile f(curves.filePath(QStringLiteral("t25-sample.frd")));
        if (f.open(QIODevice::WriteOnly)) {
            f.write("Freq[Hz]  dBSPL  Phase[Deg]\n");
            for (int i = 0; i < 400; ++i) {
                const double hz = 300 * std::pow(25000.0 / 300, i / 399.0);
                const std::complex<double> sj(0, hz / 1200), h = sj * sj / (sj * sj + sj / 0.7 + 1.0);
                f.write(QByteArray::number(hz, 'f', 2) + ' ' + QByteArray::number(90 + 20 * std::log10(std::abs(h)), 'f', 3)
                        + ' ' + QByteArray::number(std::arg(h) * 57.29578, 'f', 2) + '\n');
            }
        }
    }
    w.SSTab->setCurrentIndex(FrmKelvane::TabCrossover);
    w.Crossover->CrossoverDrivers->loadFile(CrossoverDriversPanel::TweeterResponse, curves.filePath(QStringLiteral("t25-sample.frd")));
    w.Crossover->CrossoverDrivers->CboCrossoverGraph->setCurrentIndex(CrossoverDriversPanel::ResponseOnDrivers);
    QTest::qWait(100);
    w.grab().save(out.filePath(QStringLiteral("crossover-drivers.png")));
    // The same crossover on a 250 mm baffle, half its step compensated, before and after "Optimize".
    w.Crossover->CrossoverDrivers->TxtBaffleWidth->setText(QStringLiteral("250"));
    w.Crossover->CrossoverDrivers->TxtBafflePercent->setText(QStringLiteral("50"));
    w.Crossover->CrossoverDrivers->refresh();
    auto *column = w.findChild<QScrollArea *>(QStringLiteral("CrossoverScroll"));
    column->verticalScrollBar()->setValue(column->verticalScrollBar()->maximum());
    QTest::qWait(100);
    w.grab().save(out.filePath(QStringLiteral("crossover-optimize-before.png")));
    if (w.Crossover->CrossoverDrivers->startOptimize())
        while (w.Crossover->CrossoverDrivers->optimizing())
            QTest::qWait(50);
    QTest::qWait(100);
    column->verticalScrollBar()->setValue(column->verticalScrollBar()->maximum());
    QTest::qWait(100);
    w.grab().save(out.filePath(QStringLiteral("crossover-optimize-after.png")));
    column->verticalScrollBar()->setValue(0);
    w.Crossover->CrossoverDrivers->CmdUndoOptimize->click();
    w.Crossover->CrossoverDrivers->TxtBaffleWidth->clear();
    w.Crossover->CrossoverDrivers->TxtBafflePercent->setText(QStringLiteral("0"));
    w.Crossover->CrossoverDrivers->refresh();
    w.Crossover->CrossoverDrivers->CboCrossoverGraph->setCurrentIndex(CrossoverDriversPanel::FilterSections);
    // Tools > Measure Driver…: the sample driver measured in free air and with 25 g on its cone.
    writeSampleCurve(curves.filePath(QStringLiteral("w8-free-air.zma")), 1);
    writeSampleCurve(curves.filePath(QStringLiteral("w8-added-25g.zma")), 1 + 25 / 22.5);
    w.MnuMeasureDriver->trigger();
    auto *measure = w.findChild<DlgMeasureDriver *>();
    measure->loadFreeAir(curves.filePath(QStringLiteral("w8-free-air.zma")));
    measure->TxtMeasureSd->setText(QStringLiteral("220"));
    measure->TxtAddedMass->setText(QStringLiteral("25"));
    measure->loadSecond(curves.filePath(QStringLiteral("w8-added-25g.zma")));
    QTest::qWait(100);
    measure->grab().save(out.filePath(QStringLiteral("dlg-measure-driver.png")));
    return 0;
}
