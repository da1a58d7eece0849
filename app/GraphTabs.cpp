// SPDX-License-Identifier: GPL-3.0-or-later
// The two graph tabs: each holds a picture (640 x 480, larger as the window grows) with its readout
// fields above the plot and its "Save Image" and "Print" buttons right of it, all kept at the
// picture's right edge. Their procedures: the frequency-response graph drawn from the sealed and
// vented curves with the summary under them; the displacement limits of both boxes against the
// thermal limit, with the power notes; the readouts under the mouse pointer; and the window's side of
// saving and printing a graph: the file name from the driver name, the buttons hidden while the
// window is printed, the messages when it fails.

#include "app/Controls.h"
#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/DisplacementGraph.h"
#include "graphs/FrequencyGraph.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphOutput.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

using namespace controls;

namespace {

QLineEdit *readout(GraphPicture *picture, const char *name, const char *text, int x, int width)
{
    QLineEdit *f = controls::readout(picture, QLatin1String(name), QLatin1String(text), x, width);
    picture->keepRight(f);
    return f;
}

QPushButton *pictureButton(GraphPicture *picture, const char *name, const char *caption, int y, const QString &tip)
{
    QPushButton *b = button(picture, QLatin1String(name), QLatin1String(caption), tip);
    b->setGeometry(556, y, 80, 26);
    picture->keepRight(b);
    return b;
}

QWidget *graphPage(GraphPicture *picture)
{
    auto *page = new QWidget;
    auto *outer = new QVBoxLayout(page);
    outer->addWidget(new PictureHolder(picture));
    return page;
}

} // namespace

QWidget *FrmKelvane::buildFrequencyTab()
{
    PicFrequency = new GraphPicture;
    PicFrequency->setObjectName(QStringLiteral("PicFrequency"));
    TxtFreqXNum = readout(PicFrequency, "TxtFreqXNum", "Hz", 380, 80);
    TxtSPLYNum = readout(PicFrequency, "TxtSPLYNum", "dB", 466, 80);
    CmdSave = pictureButton(PicFrequency, "CmdSave", "Save Image", 76,
                            QStringLiteral("Click to save this graph image."));
    CmdPrintFreq = pictureButton(PicFrequency, "CmdPrintFreq", "Print", 106,
                                 QStringLiteral("Click to Print this form."));
    return graphPage(PicFrequency);
}

QWidget *FrmKelvane::buildDisplacementTab()
{
    PicDisplacementLimit = new GraphPicture;
    PicDisplacementLimit->setObjectName(QStringLiteral("PicDisplacementLimit"));
    TxtFreqPowerXNum = readout(PicDisplacementLimit, "TxtFreqPowerXNum", "Hz", 300, 76);
    TxtSPLpowerYNum = readout(PicDisplacementLimit, "TxtSPLpowerYNum", "dB", 380, 76);
    TxtSPLpowerYwattsNum = readout(PicDisplacementLimit, "TxtSPLpowerYwattsNum", "Watts", 460, 86);
    CmdSaveDisplacement = pictureButton(PicDisplacementLimit, "CmdSaveDisplacement", "Save Image", 76,
                                        QStringLiteral("Click to save this graph image."));
    CmdPrintDisplacement = pictureButton(PicDisplacementLimit, "CmdPrintDisplacement", "Print", 106,
                                         QStringLiteral("Click to Print this form."));
    return graphPage(PicDisplacementLimit);
}

using freqcore::drawFrequencyResponse;
using freqcore::FrequencyPicture;
using graphgeo::PlotLayout;

void FrmKelvane::CmdFrequency_Click()
{
    if (Fs == 0 || Vas == 0 || Qts == 0) {
        Program::ShowMoreDataNeeded();
        SSTab->setCurrentIndex(TabInput);
        TxtFs->setFocus();
        return;
    }
    SSTab->setCurrentIndex(TabFrequency);

    // Work on copies so that a fault leaves every field and the picture as they were.
    Curve sealed = SealedResponse;
    Curve vented = VentedResponse;
    std::vector<freqcore::Mark> ventedMarks, sealedMarks;
    try {
        freqcore::sealedSweep(Fc, Qtc, sealed);
        ventedMarks = freqcore::curveMarks(vented, freqcore::VentedColour);
        sealedMarks = freqcore::curveMarks(sealed, freqcore::SealedColour);
    } catch (const kelvane::CalcFault &) {
        Program::ShowNumberError();
        SSTab->setCurrentIndex(TabInput);
        return;
    }
    SealedResponse = sealed;
    VentedResponse = vented; // keeps the clipping at -25 dB
    const freqcore::Peak peak = freqcore::sealedPeak(Qtc, F3Sealed, {PeakdBSealed, PeakFreqSealed});
    PeakdBSealed = peak.db;
    PeakFreqSealed = peak.freqHz;

    Recommendation = freqcore::recommendationFor(EBP);
    freqcore::SummaryInput in;
    in.recommendation = Recommendation;
    in.spl = SPL;
    in.estimatedNote = EstimatedNote;
    in.fs = Fs;
    in.vas = Vas;
    in.qts = Qts;
    in.f3Vented = F3Vented;
    in.vbVented = VbVented;
    in.fb = Fb;
    in.peakDbVented = PeakdBVented;
    in.peakFreqVented = PeakFreqVented;
    in.f3Sealed = F3Sealed;
    in.vbSealed = VbSealed;
    in.fc = Fc;
    in.qtc = Qtc;
    in.peakDbSealed = PeakdBSealed;
    in.peakFreqSealed = PeakFreqSealed;
    in.volumeUnit = volumeUnitIndex();

    FrequencyPicture picture{DriverName, std::move(ventedMarks), std::move(sealedMarks), freqcore::summaryRows(in)};
    PicFrequency->setDrawing([picture](GraphCanvas &canvas) { drawFrequencyResponse(canvas, picture); });

    CmdDisplacement->setFocus();
}

void FrmKelvane::PicFrequency_MouseMove(int /*Button*/, int /*Shift*/, double X, double Y)
{
    const PlotLayout l = graphgeo::responseLayout(PicFrequency->width(), PicFrequency->height());
    const double x = float(X), y = float(Y);
    if (!l.inside(x, y))
        return;
    TxtFreqXNum->setText(kelvane::formatNumber(graphgeo::freqAtX(l, x), QStringLiteral("#,##0.0 Hz")));
    TxtSPLYNum->setText(kelvane::formatNumber(graphgeo::levelAtY(l, y), QStringLiteral("##,##0.0 dB")));
}

void FrmKelvane::CmdSave_Click()
{
    SaveGraphImage(PicFrequency, QStringLiteral("FrequencyResponse"), QStringLiteral("Frequency"),
                   &FrmKelvane::CmdFrequency_Click);
}

void FrmKelvane::CmdPrintFreq_Click()
{
    PrintGraphWindow(PicFrequency, CmdSave, CmdPrintFreq, &FrmKelvane::CmdFrequency_Click);
}

using kelvane::CalcFault;
using kelvane::formatNumber;

using displacement::Blue;
using displacement::drawLimits;
using displacement::LimitsPicture;
using displacement::Magenta;

void FrmKelvane::CmdDisplacement_Click()
{
    try {
        Qes = kelvane::numberInOrZero(TxtQes->text());
        if (Qes == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            TxtQes->setFocus();
            return;
        }
        Power = kelvane::numberInOrZero(TxtPower->text());
        if (Power == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            TxtPower->setFocus();
            return;
        }
        EfficiencyCalcs();
        GetVd(Vd);
        if (Vd == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            TxtVd->setFocus();
            return;
        }
        // All the drivers in the box: their power, and the displacement of the cones facing the air.
        const kelvane::driver::DriverValues group = driverGroup({.vd = Vd, .power = Power}).equivalent;
        Power = kelvane::checked(group.power);
        Vd = kelvane::checked(group.vd);

        const displacement::ThermalLimit thermal = displacement::thermalLimit(Power, Efficiency);
        AcousticPowerMax = thermal.acousticPowerMax;
        SPLMax = thermal.splMax;
        KpSealed = displacement::sealedCoefficient(Qtc);
        KpVented = displacement::VentedCoefficient;
        CalculateDisplacementSPL();

        const displacement::ReferenceBox box = displacement::referenceBox(Fs, Qts, Vas, Vd, Efficiency);
        AlphaQtc11 = box.alpha;
        FcQtc11 = box.fc;
        F3Qtc11 = box.f3;
        VbQtc11 = box.vb;
        AcousticPowerQtc11 = box.acousticPower;
        PowerQtc11 = box.power;

        displacement::NoteInput notes;
        notes.recommendation = Recommendation;
        notes.spl = SPL;
        notes.estimatedNote = EstimatedNote;
        notes.power = Power;
        notes.splMax = SPLMax;
        notes.qtc = Qtc;
        notes.box = box;
        notes.volumeUnit = volumeUnitIndex();
        LimitsPicture picture;
        picture.driverName = DriverName;
        picture.splMax = SPLMax;
        picture.power = Power;
        picture.notes = displacement::noteLines(notes);
        picture.vented = displacement::curveMarks(SPLVentedLimit, SPLMax, Blue);
        picture.sealed = displacement::curveMarks(SPLSealedLimit, SPLMax, Magenta);
        SSTab->setCurrentIndex(TabDisplacement);
        PicDisplacementLimit->setDrawing([picture](GraphCanvas &canvas) { drawLimits(canvas, picture); });
    } catch (const CalcFault &) {
        // A field that is not a number, or driver data the formulas cannot use. The figures behind
        // the readout (SPLMax, Efficiency) may already be the new ones, so the old picture goes:
        // its readout would no longer read its own curves.
        PicDisplacementLimit->clear();
        SSTab->setCurrentIndex(TabInput);
        Program::ShowNumberError();
    }
}

void FrmKelvane::CalculateDisplacementSPL()
{
    displacement::fillLimitCurves(KpSealed, Vd, PaSealed, SPLSealedLimit);
    displacement::fillLimitCurves(KpVented, Vd, PaVented, SPLVentedLimit);
}

void FrmKelvane::PicDisplacementLimit_MouseMove(int, int, double X, double Y)
{
    // Each field is updated only inside the plot; any failure ends the readout silently, leaving
    // the fields as far as they were updated.
    // The picture's plot at its size now: positions map back to the 640 x 480 plot.
    const PlotLayout l = graphgeo::responseLayout(PicDisplacementLimit->width(), PicDisplacementLimit->height());
    try {
        if (l.inside(X, Y))
            TxtFreqPowerXNum->setText(
                formatNumber(displacement::readoutFrequency(l.baseX(X)), QStringLiteral("#,##0.0 Hz")));
        double level = 0;
        if (l.inside(X, Y)) {
            level = displacement::readoutLevel(l.baseY(Y), SPLMax);
            TxtSPLpowerYNum->setText(formatNumber(level, QStringLiteral("##,##0.0 dB")));
        }
        if (l.inside(X, Y))
            TxtSPLpowerYwattsNum->setText(
                formatNumber(displacement::readoutWatts(level, Efficiency), QStringLiteral("##,##0.0 Watts")));
    } catch (...) {
    }
}

void FrmKelvane::CmdSaveDisplacement_Click()
{
    SaveGraphImage(PicDisplacementLimit, QStringLiteral("PowerResponse"), QStringLiteral("Limits"),
                   &FrmKelvane::CmdDisplacement_Click);
}

void FrmKelvane::CmdPrintDisplacement_Click()
{
    PrintGraphWindow(PicDisplacementLimit, CmdSaveDisplacement, CmdPrintDisplacement,
                     &FrmKelvane::CmdDisplacement_Click);
}

void FrmKelvane::SaveGraphImage(GraphPicture *picture, const QString &placeholder, const QString &suffix,
                                void (FrmKelvane::*redraw)())
{
    // The file name is built from a copy: DriverName itself is never touched, so an unnamed
    // driver stays unnamed and a driver that happens to be called like the placeholder keeps
    // its name.
    const QString base = DriverName.isEmpty() ? placeholder : DriverName;
    const QString fileName = base + suffix + QStringLiteral(".bmp");
    // The bitmap is the picture at 640 x 480 (at the screen's pixel scale), whatever its size on screen.
    if (!graphoutput::saveBitmap(picture->imageAt(GraphPicture::baseSize()), fileName)) {
        Program::ShowMessage(QStringLiteral("The image could not be saved to ") + fileName + QLatin1Char('.'),
                             QStringLiteral("Error"));
        return;
    }
    (this->*redraw)();
}

void FrmKelvane::PrintGraphWindow(GraphPicture *picture, QPushButton *save, QPushButton *print,
                                  void (FrmKelvane::*redraw)())
{
    // The graph is part of the window's own painting, so the window image carries it; the two
    // buttons on the graph stay off the paper.
    save->hide();
    print->hide();
    picture->update();
    const QImage window = grab().toImage();
    const bool printed = graphoutput::printImage(window);
    save->show();
    print->show();
    if (!printed) {
        Program::ShowMessage(Program::PrintProblemText, QStringLiteral("Error"));
        return;
    }
    (this->*redraw)();
}
