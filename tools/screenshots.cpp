// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of every tab of the main window, with a sample driver and crossover calculated,
// into the folder given on the command line (default: the current folder). Used for the README and
// for checking the layout by eye: run it under Xvfb or with QT_QPA_PLATFORM=offscreen.

#include "app/AnalysisTab.h"
#include "app/FrmKelvane.h"
#include "app/MoreBoxesTab.h"
#include "tools/SampleDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

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

    w.CmdCalculateInput->click();
    QTest::qWait(100);
    enterSampleCrossover(w);
    w.CmdCalculateCrossover->click();
    QTest::qWait(100);
    for (int i = 1; i < 5; ++i) {
        w.SSTab->setCurrentIndex(i);
        QTest::qWait(100);
        w.grab().save(out.filePath(QStringLiteral("tab-%1.png").arg(QLatin1String(names[i]))));
    }
    if (w.CmdFrequency->isEnabled()) {
        w.CmdFrequency->click();
        QTest::qWait(100);
        w.grab().save(out.filePath(QStringLiteral("tab-frequency.png")));
    }
    if (w.CmdDisplacement->isEnabled()) {
        w.SSTab->setCurrentIndex(1);
        w.CmdDisplacement->click();
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
    return 0;
}
