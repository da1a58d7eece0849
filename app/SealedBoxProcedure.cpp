// SPDX-License-Identifier: GPL-3.0-or-later
// The sealed-box row of the Box Model tab (BoxModelTab::SealedBox): read how the model is driven
// (target Qtc or box volume), run the closed-box alignment of models/SealedModel and show the results.

#include "app/BoxModelTab.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "models/SealedModel.h"
#include "models/VolumeUnit.h"

#include <QLabel>
#include <QLineEdit>

using namespace kelvane;

void BoxModelTab::SealedBox()
{
    State.PeakdBSealed = 0;
    State.PeakFreqSealed = 0;
    const int unit = volumeUnitIndex();
    sealed::Design d;

    if (OptQtc->isChecked()) {
        State.Qtc = numberInOrZero(TxtQtc->text());
        if (State.Qtc == 0) {
            Program::ShowNumberError();
            return;
        }
        TxtQtc->setText(formatNumber(State.Qtc, QStringLiteral("#0.000")));
        d = sealed::forQtc(State.Fs, State.Qts, State.Vas, State.Qtc);
        TxtCBV->setText(formatNumber(volume::fromCubicFeet(d.vb, unit),
                                     QLatin1String(volume::FieldPattern)));
    } else {
        const double typed = numberInOrZero(TxtCBV->text());
        if (typed == 0) {
            Program::ShowNumberError();
            return;
        }
        d = sealed::forVolume(State.Fs, State.Qts, State.Vas, checked(volume::toCubicFeet(typed, unit)));
        State.Qtc = d.qtc;
        // The typed volume stays as the user wrote it.
        TxtQtc->setText(formatNumber(State.Qtc, QStringLiteral("#0.000")));
    }

    State.VbSealed = d.vb;
    State.Alpha = d.alpha;
    State.Fc = d.fc;
    State.F3Sealed = d.f3;
    State.PeakdBSealed = d.peakdB;
    State.PeakFreqSealed = d.peakFreq;

    LblCBVolume[0]->setText(formatNumber(volume::fromCubicFeet(State.VbSealed, unit),
                                         QLatin1String(volume::resultPattern(unit))));
    LblCFb->setText(formatNumber(State.Fc, QStringLiteral("#0.0")));
    LblCF3->setText(formatNumber(State.F3Sealed, QStringLiteral("#0.0")));
    LblCPeak->setText(formatNumber(State.PeakdBSealed, QStringLiteral("#0.00")));
    LblCPeakFreq->setText(formatNumber(State.PeakFreqSealed, QStringLiteral("#0.0")));
}
