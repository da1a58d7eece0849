#pragma once
// The sample driver the screenshots and the benchmarks type into the Input tab: an 8-inch-class
// woofer, Vas in litres.

#include "app/FrmKelvane.h"

#include <QLineEdit>
#include <QRadioButton>

inline void enterSampleDriver(FrmKelvane &w, const QString &name)
{
    w.OptVas[1]->setChecked(true);
    w.TxtName->setText(name);
    w.TxtFs->setText(QStringLiteral("30"));
    w.TxtVas->setText(QStringLiteral("85"));
    w.TxtQts->setText(QStringLiteral("0.4"));
    w.TxtQes->setText(QStringLiteral("0.45"));
    w.TxtQms->setText(QStringLiteral("4"));
    w.TxtPower->setText(QStringLiteral("100"));
    w.TxtSd->setText(QStringLiteral("220"));
    w.TxtXmax->setText(QStringLiteral("5"));
}
