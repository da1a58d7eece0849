// SPDX-License-Identifier: GPL-3.0-or-later
// The sealed-box row of the Box Model tab (FrmKelvane::SealedBox): read how the model is driven
// (target Qtc or box volume), run the closed-box alignment of models/SealedModel and show the results.

#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "models/SealedModel.h"
#include "models/VolumeUnit.h"

#include <QLabel>
#include <QLineEdit>

using namespace kelvane;

void FrmKelvane::SealedBox()
{
    PeakdBSealed = 0;
    PeakFreqSealed = 0;
    const int unit = volumeUnitIndex();
    sealed::Design d;

    if (OptQtc->isChecked()) {
        Qtc = numberInOrZero(TxtQtc->text());
        if (Qtc == 0) {
            Program::ShowNumberError();
            return;
        }
        TxtQtc->setText(formatNumber(Qtc, QStringLiteral("#0.000")));
        d = sealed::forQtc(Fs, Qts, Vas, Qtc);
        TxtCBV->setText(formatNumber(volume::fromCubicFeet(d.vb, unit),
                                     QLatin1String(volume::FieldPattern)));
    } else {
        const double typed = numberInOrZero(TxtCBV->text());
        if (typed == 0) {
            Program::ShowNumberError();
            return;
        }
        d = sealed::forVolume(Fs, Qts, Vas, checked(volume::toCubicFeet(typed, unit)));
        Qtc = d.qtc;
        // The typed volume stays as the user wrote it.
        TxtQtc->setText(formatNumber(Qtc, QStringLiteral("#0.000")));
    }

    VbSealed = d.vb;
    Alpha = d.alpha;
    Fc = d.fc;
    F3Sealed = d.f3;
    PeakdBSealed = d.peakdB;
    PeakFreqSealed = d.peakFreq;

    LblCBVolume[0]->setText(formatNumber(volume::fromCubicFeet(VbSealed, unit),
                                         QLatin1String(volume::resultPattern(unit))));
    LblCFb->setText(formatNumber(Fc, QStringLiteral("#0.0")));
    LblCF3->setText(formatNumber(F3Sealed, QStringLiteral("#0.0")));
    LblCPeak->setText(formatNumber(PeakdBSealed, QStringLiteral("#0.00")));
    LblCPeakFreq->setText(formatNumber(PeakFreqSealed, QStringLiteral("#0.0")));
}
