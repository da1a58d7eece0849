// SPDX-License-Identifier: GPL-3.0-or-later
// The vented-box row of the Box Model tab (BoxModelTab::VentedBox): take the loss Q, propose a tuning
// and volume or use the user's, find the -3 dB point and sweep the response for the graph with
// models/VentedModel, and show the results.

#include "app/BoxModelTab.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "models/VentedModel.h"
#include "models/VolumeUnit.h"

#include <QLabel>
#include <QLineEdit>

using namespace kelvane;

namespace {

// The number in a volume or tuning field. The fit writes a negative volume into the field for
// high-Q drivers and reads it back, so a leading minus sign is accepted here.
double signedNumberIn(const QString &text)
{
    if (text.startsWith(QLatin1Char('-')))
        return -numberIn(text.mid(1));
    return numberIn(text);
}

bool givenByUser(const QString &text)
{
    return !text.isEmpty() && text != QLatin1String("0");
}

// Shown when the -3 dB equation cannot be evaluated (it is not finite): F3Vented stays 0 but no
// figure is shown for it.
const QString NoF3Mark = QStringLiteral("---");

} // namespace

void BoxModelTab::VentedBox()
{
    State.PeakdBVented = 0;
    State.PeakFreqVented = 0;

    State.Qloss = numberIn(TxtQloss->text());
    if (State.Qloss <= 0) {
        State.Qloss = 7;
        Program::ShowNumberError();
        return;
    }

    const int unit = volumeUnitIndex();
    if (!givenByUser(TxtVBV->text()) || !givenByUser(TxtVFb->text())) {
        const vented::Fit fit = vented::alignmentFit(State.Fs, State.Qts, State.Vas, State.Qloss);
        TxtVFb->setText(formatNumber(fit.fb, QStringLiteral("#0.0")));
        TxtVBV->setText(formatNumber(volume::fromCubicFeet(fit.vb, unit),
                                     QLatin1String(volume::FieldPattern)));
    }

    // The model runs on the field texts, so a fitted tuning and volume are used as rounded there.
    State.VbVented = checked(volume::toCubicFeet(signedNumberIn(TxtVBV->text()), unit));
    State.Fb = numberIn(TxtVFb->text());
    if (State.VbVented < 0) {
        State.VbVented = vented::highQVolume(State.Vas, State.Qts);
        TxtVBV->setText(formatNumber(volume::fromCubicFeet(State.VbVented, unit), QStringLiteral("#0.000")));
    }

    const vented::Coefficients c = vented::coefficients(State.Fs, State.Qts, State.Vas, State.Fb, State.VbVented, State.Qloss);
    State.Alpha = c.alpha;
    const vented::Search search = vented::findMinus3dB(c);
    State.F3Vented = search.found ? vented::f3FromRoot(c, search.x, State.Fs) : 0.0;

    const vented::Response response = vented::responseSweep(State.Fs, State.Qts, State.Qloss, c);
    for (int freq = 10; freq <= 500; ++freq)
        State.VentedResponse[freq] = response.dB[freq];
    State.PeakdBVented = response.peakdB;
    State.PeakFreqVented = response.peakFreq;

    LblVBVolume->setText(formatNumber(volume::fromCubicFeet(State.VbVented, unit),
                                      QLatin1String(volume::resultPattern(unit))));
    const QString caption = QLatin1String(volume::UnitCaption[volume::validUnit(unit)]);
    LblSealedUnit->setText(caption);
    LblVentedUnit->setText(caption);
    LblVFb->setText(formatNumber(State.Fb, QStringLiteral("#0.0")));
    LblVF3->setText(search.found ? formatNumber(State.F3Vented, QStringLiteral("#0.0")) : NoF3Mark);
    LblVPeak->setText(formatNumber(State.PeakdBVented, QStringLiteral("#0.00")));
    LblVPeakFreq->setText(formatNumber(State.PeakFreqVented, QStringLiteral("#0.0")));
}
