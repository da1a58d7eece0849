// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sample driver the screenshots and the benchmarks type into the Input tab: an 8-inch-class
// woofer, Vas in litres; and a crossover for it.

#include "app/FrmKelvane.h"

#include <QLineEdit>
#include <QRadioButton>

inline void enterSampleDriver(FrmKelvane &w, const QString &name)
{
    w.Input->OptVas[1]->setChecked(true);
    w.Input->TxtName->setText(name);
    w.Input->TxtFs->setText(QStringLiteral("30"));
    w.Input->TxtVas->setText(QStringLiteral("85"));
    w.Input->TxtQts->setText(QStringLiteral("0.4"));
    w.Input->TxtQes->setText(QStringLiteral("0.45"));
    w.Input->TxtQms->setText(QStringLiteral("4"));
    w.Input->TxtPower->setText(QStringLiteral("100"));
    w.Input->TxtSd->setText(QStringLiteral("220"));
    w.Input->TxtXmax->setText(QStringLiteral("5"));
}

// The sample two-way crossover for the same speaker: the woofer's Re and Le for a Zobel network,
// a 6-ohm tweeter resonating at 1,200 Hz, both sections at 2,500 Hz, fourth-order Linkwitz-Riley.
inline void enterSampleCrossover(FrmKelvane &w)
{
    w.Crossover->TxtRe->setText(QStringLiteral("6.4"));
    w.Crossover->TxtL->setText(QStringLiteral("0.5"));
    w.Crossover->TxtZ->setText(QStringLiteral("8"));
    w.Crossover->Text1->setText(QStringLiteral("1200"));
    w.Crossover->Text2->setText(QStringLiteral("6"));
    w.Crossover->Text3->setText(QStringLiteral("2500"));
    w.Crossover->Text4->setText(QStringLiteral("2500"));
    w.Crossover->OptCrossoverType[4]->setChecked(true);
}
