// SPDX-License-Identifier: GPL-3.0-or-later
// The two graph tabs: each holds a picture (640 x 480, larger as the window grows) with its readout
// fields above the plot and its "Save Image" and "Print" buttons right of it, all kept at the
// picture's right edge; the readouts under the mouse pointer; and saving and printing a graph: the
// file name from the driver name, the buttons hidden while the window is printed, the messages when
// it fails. The window's procedures that draw them: the frequency-response graph drawn from the
// sealed and vented curves with the summary under them; the displacement limits of both boxes
// against the thermal limit, with the power notes.

#include "app/Controls.h"
#include "app/FrmKelvane.h"
#include "app/GraphTabs.h"
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

void fillPage(QWidget *page, GraphPicture *picture)
{
    auto *outer = new QVBoxLayout(page);
    outer->addWidget(new PictureHolder(picture));
}

} // namespace

FrequencyTab::FrequencyTab(const kelvane::state::DesignState &state, QWidget *parent)
    : QWidget(parent), state_(state)
{
    PicFrequency = new GraphPicture;
    PicFrequency->setObjectName(QStringLiteral("PicFrequency"));
    TxtFreqXNum = readout(PicFrequency, "TxtFreqXNum", "Hz", 380, 80);
    TxtSPLYNum = readout(PicFrequency, "TxtSPLYNum", "dB", 466, 80);
    CmdSave = pictureButton(PicFrequency, "CmdSave", "Save Image", 76,
                            QStringLiteral("Click to save this graph image."));
    CmdPrintFreq = pictureButton(PicFrequency, "CmdPrintFreq", "Print", 106,
                                 QStringLiteral("Click to Print this form."));
    fillPage(this, PicFrequency);
    connect(CmdSave, &QPushButton::clicked, this, [this] { CmdSave_Click(); });
    connect(CmdPrintFreq, &QPushButton::clicked, this, [this] { CmdPrintFreq_Click(); });
    PicFrequency->onMouseMove = [this](double x, double y) { PicFrequency_MouseMove(0, 0, x, y); };
}

DisplacementTab::DisplacementTab(const kelvane::state::DesignState &state, QWidget *parent)
    : QWidget(parent), state_(state)
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
    fillPage(this, PicDisplacementLimit);
    connect(CmdSaveDisplacement, &QPushButton::clicked, this, [this] { CmdSaveDisplacement_Click(); });
    connect(CmdPrintDisplacement, &QPushButton::clicked, this, [this] { CmdPrintDisplacement_Click(); });
    PicDisplacementLimit->onMouseMove = [this](double x, double y) { PicDisplacementLimit_MouseMove(0, 0, x, y); };
}

using freqcore::drawFrequencyResponse;
using freqcore::FrequencyPicture;
using graphgeo::PlotLayout;

void FrmKelvane::CmdFrequency_Click()
{
    if (State.Fs == 0 || State.Vas == 0 || State.Qts == 0) {
        Program::ShowMoreDataNeeded();
        SSTab->setCurrentIndex(TabInput);
        Input->TxtFs->setFocus();
        return;
    }
    SSTab->setCurrentIndex(TabFrequency);

    // Work on copies so that a fault leaves every field and the picture as they were.
    kelvane::state::Curve sealed = State.SealedResponse;
    kelvane::state::Curve vented = State.VentedResponse;
    std::vector<freqcore::Mark> ventedMarks, sealedMarks;
    try {
        freqcore::sealedSweep(State.Fc, State.Qtc, sealed);
        ventedMarks = freqcore::curveMarks(vented, freqcore::VentedColour);
        sealedMarks = freqcore::curveMarks(sealed, freqcore::SealedColour);
    } catch (const kelvane::CalcFault &) {
        Program::ShowNumberError();
        SSTab->setCurrentIndex(TabInput);
        return;
    }
    State.SealedResponse = sealed;
    State.VentedResponse = vented; // keeps the clipping at -25 dB
    const freqcore::Peak peak = freqcore::sealedPeak(State.Qtc, State.F3Sealed, {State.PeakdBSealed, State.PeakFreqSealed});
    State.PeakdBSealed = peak.db;
    State.PeakFreqSealed = peak.freqHz;

    State.Recommendation = freqcore::recommendationFor(State.EBP);
    freqcore::SummaryInput in;
    in.recommendation = State.Recommendation;
    in.spl = State.SPL;
    in.estimatedNote = State.EstimatedNote;
    in.fs = State.Fs;
    in.vas = State.Vas;
    in.qts = State.Qts;
    in.f3Vented = State.F3Vented;
    in.vbVented = State.VbVented;
    in.fb = State.Fb;
    in.peakDbVented = State.PeakdBVented;
    in.peakFreqVented = State.PeakFreqVented;
    in.f3Sealed = State.F3Sealed;
    in.vbSealed = State.VbSealed;
    in.fc = State.Fc;
    in.qtc = State.Qtc;
    in.peakDbSealed = State.PeakdBSealed;
    in.peakFreqSealed = State.PeakFreqSealed;
    in.volumeUnit = BoxModel->volumeUnitIndex();

    FrequencyPicture picture{State.DriverName, std::move(ventedMarks), std::move(sealedMarks), freqcore::summaryRows(in)};
    Frequency->PicFrequency->setDrawing([picture](GraphCanvas &canvas) { drawFrequencyResponse(canvas, picture); });

    BoxModel->CmdDisplacement->setFocus();
}

void FrequencyTab::PicFrequency_MouseMove(int /*Button*/, int /*Shift*/, double X, double Y)
{
    const PlotLayout l = graphgeo::responseLayout(PicFrequency->width(), PicFrequency->height());
    const double x = float(X), y = float(Y);
    if (!l.inside(x, y))
        return;
    TxtFreqXNum->setText(kelvane::formatNumber(graphgeo::freqAtX(l, x), QStringLiteral("#,##0.0 Hz")));
    TxtSPLYNum->setText(kelvane::formatNumber(graphgeo::levelAtY(l, y), QStringLiteral("##,##0.0 dB")));
}

void FrequencyTab::CmdSave_Click()
{
    SaveGraphImage(PicFrequency, state_.DriverName, QStringLiteral("FrequencyResponse"), QStringLiteral("Frequency"),
                   redraw);
}

void FrequencyTab::CmdPrintFreq_Click()
{
    PrintGraphWindow(PicFrequency, CmdSave, CmdPrintFreq, redraw);
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
        State.Qes = kelvane::numberInOrZero(Input->TxtQes->text());
        if (State.Qes == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            Input->TxtQes->setFocus();
            return;
        }
        State.Power = kelvane::numberInOrZero(Input->TxtPower->text());
        if (State.Power == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            Input->TxtPower->setFocus();
            return;
        }
        BoxModel->EfficiencyCalcs();
        Input->GetVd(State.Vd);
        if (State.Vd == 0) {
            Program::ShowMoreDataNeeded();
            SSTab->setCurrentIndex(TabInput);
            Input->TxtVd->setFocus();
            return;
        }
        // All the drivers in the box: their power, and the displacement of the cones facing the air.
        const kelvane::driver::DriverValues group = BoxModel->driverGroup({.vd = State.Vd, .power = State.Power}).equivalent;
        State.Power = kelvane::checked(group.power);
        State.Vd = kelvane::checked(group.vd);

        const displacement::ThermalLimit thermal = displacement::thermalLimit(State.Power, State.Efficiency);
        State.AcousticPowerMax = thermal.acousticPowerMax;
        State.SPLMax = thermal.splMax;
        State.KpSealed = displacement::sealedCoefficient(State.Qtc);
        State.KpVented = displacement::VentedCoefficient;
        CalculateDisplacementSPL();

        const displacement::ReferenceBox box = displacement::referenceBox(State.Fs, State.Qts, State.Vas, State.Vd, State.Efficiency);
        State.AlphaQtc11 = box.alpha;
        State.FcQtc11 = box.fc;
        State.F3Qtc11 = box.f3;
        State.VbQtc11 = box.vb;
        State.AcousticPowerQtc11 = box.acousticPower;
        State.PowerQtc11 = box.power;

        displacement::NoteInput notes;
        notes.recommendation = State.Recommendation;
        notes.spl = State.SPL;
        notes.estimatedNote = State.EstimatedNote;
        notes.power = State.Power;
        notes.splMax = State.SPLMax;
        notes.qtc = State.Qtc;
        notes.box = box;
        notes.volumeUnit = BoxModel->volumeUnitIndex();
        LimitsPicture picture;
        picture.driverName = State.DriverName;
        picture.splMax = State.SPLMax;
        picture.power = State.Power;
        picture.notes = displacement::noteLines(notes);
        picture.vented = displacement::curveMarks(State.SPLVentedLimit, State.SPLMax, Blue);
        picture.sealed = displacement::curveMarks(State.SPLSealedLimit, State.SPLMax, Magenta);
        SSTab->setCurrentIndex(TabDisplacement);
        Displacement->PicDisplacementLimit->setDrawing([picture](GraphCanvas &canvas) { drawLimits(canvas, picture); });
    } catch (const CalcFault &) {
        // A field that is not a number, or driver data the formulas cannot use. The figures behind
        // the readout (SPLMax, Efficiency) may already be the new ones, so the old picture goes:
        // its readout would no longer read its own curves.
        Displacement->PicDisplacementLimit->clear();
        SSTab->setCurrentIndex(TabInput);
        Program::ShowNumberError();
    }
}

void FrmKelvane::CalculateDisplacementSPL()
{
    displacement::fillLimitCurves(State.KpSealed, State.Vd, State.PaSealed, State.SPLSealedLimit);
    displacement::fillLimitCurves(State.KpVented, State.Vd, State.PaVented, State.SPLVentedLimit);
}

void DisplacementTab::PicDisplacementLimit_MouseMove(int, int, double X, double Y)
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
            level = displacement::readoutLevel(l.baseY(Y), state_.SPLMax);
            TxtSPLpowerYNum->setText(formatNumber(level, QStringLiteral("##,##0.0 dB")));
        }
        if (l.inside(X, Y))
            TxtSPLpowerYwattsNum->setText(
                formatNumber(displacement::readoutWatts(level, state_.Efficiency), QStringLiteral("##,##0.0 Watts")));
    } catch (...) {
    }
}

void DisplacementTab::CmdSaveDisplacement_Click()
{
    SaveGraphImage(PicDisplacementLimit, state_.DriverName, QStringLiteral("PowerResponse"), QStringLiteral("Limits"),
                   redraw);
}

void DisplacementTab::CmdPrintDisplacement_Click()
{
    PrintGraphWindow(PicDisplacementLimit, CmdSaveDisplacement, CmdPrintDisplacement, redraw);
}

void SaveGraphImage(GraphPicture *picture, const QString &DriverName, const QString &placeholder,
                    const QString &suffix, const std::function<void()> &redraw)
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
    redraw();
}

void PrintGraphWindow(GraphPicture *picture, QPushButton *save, QPushButton *print,
                      const std::function<void()> &redraw)
{
    // The graph is part of the window's own painting, so the window image carries it; the two
    // buttons on the graph stay off the paper.
    save->hide();
    print->hide();
    picture->update();
    const QImage window = picture->window()->grab().toImage();
    const bool printed = graphoutput::printImage(window);
    save->show();
    print->show();
    if (!printed) {
        Program::ShowMessage(Program::PrintProblemText, QStringLiteral("Error"));
        return;
    }
    redraw();
}
