// SPDX-License-Identifier: GPL-3.0-or-later
// The frequency-response graph: its frame, the sealed and vented curves with the summary under
// them, the readout under the mouse pointer, and the save and print buttons.

#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/FrequencyCore.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using graphgeo::graphX;

void FrmKelvane::Graph()
{
    GraphPicture *pic = PicFrequency;

    // Text rows from the top: driver, legend, dB labels beside their grid lines, frequency labels
    // just under the frame.
    pic->print(QStringLiteral("                  Driver:  ") + DriverName);
    for (int row = 2; row <= 4; ++row)
        pic->print(QString());
    pic->setTextColor(freqcore::SealedColour);
    pic->print(QStringLiteral("                  Magenta - Sealed Box Response"));
    pic->setTextColor(freqcore::VentedColour);
    pic->print(QStringLiteral("                         Blue - Vented Box Response"));
    pic->setTextColor(0);
    pic->print(QStringLiteral("    +3 dB"));
    pic->print(QString());
    pic->print(QStringLiteral("      0 dB"));
    pic->print(QString());
    pic->print(QStringLiteral("     -3 dB"));
    for (int row = 12; row <= 15; ++row)
        pic->print(QString());
    pic->print(QStringLiteral("   -10 dB"));
    for (int row = 17; row <= 21; ++row)
        pic->print(QString());
    pic->print(QStringLiteral("   -20 dB"));
    for (int row = 23; row <= 25; ++row)
        pic->print(QString());
    static const struct { int column; const char *text; } freqLabels[] = {
        {10, "10"}, {29, "20"}, {40, "30"}, {48, "40"}, {55, "50"},
        {73, "100"}, {92, "200"}, {103, "300"}, {111, "400"}, {117, "500"}};
    for (const auto &label : freqLabels) {
        pic->tab(label.column);
        pic->printPart(QLatin1String(label.text));
    }
    pic->print(QString());

    // The frame.
    pic->setLineWidth(2);
    pic->box(graphgeo::PlotLeft, graphgeo::PlotTop, graphgeo::PlotRight, graphgeo::PlotBottom, 4);
    pic->setLineWidth(1);
    // 0 dB line, then dotted lines at +5, +3, -5, -3, -10, -15 and -20 dB.
    pic->line(49, 104, 548, 104, 8);
    for (int x = 49; x <= 547; x += 3)
        for (int y : {64, 80, 144, 128, 184, 224, 264})
            pic->pset(x, y, 8);
    // Vertical grid lines (10 and 500 Hz lie on the frame).
    for (int f : {20, 30, 40, 50, 60, 70, 80, 90, 100, 200, 300, 400}) {
        const double x = float(graphX(f));
        pic->line(x, 25, x, 303, 8);
    }
    // Ticks at +-3 dB outside the frame and every 5 dB from +10 to -20 dB inside it.
    pic->line(48, 80, 44, 80, 4);
    pic->line(48, 128, 44, 128, 4);
    for (int k = 3; k <= 33; k += 5)
        pic->line(52, 8 * k, 48, 8 * k, 4);
}

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

    GraphPicture *pic = PicFrequency;
    pic->clear();
    pic->setScale(GraphPicture::LogicalWidth, GraphPicture::LogicalHeight);
    Graph();

    pic->setLineWidth(2);
    for (const auto *marks : {&ventedMarks, &sealedMarks})
        for (const freqcore::Mark &m : *marks) {
            if (m.point)
                pic->pset(m.x1, m.y1, m.colour);
            else
                pic->line(m.x1, m.y1, m.x2, m.y2, m.colour);
        }
    pic->setLineWidth(1);

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

    // The point at the frame's bottom-left corner starts the summary there.
    pic->pset(graphgeo::PlotLeft, graphgeo::PlotBottom, 4);
    for (const QString &row : freqcore::summaryRows(in))
        pic->print(row);

    CmdDisplacement->setFocus();
}

void FrmKelvane::PicFrequency_MouseMove(int /*Button*/, int /*Shift*/, double X, double Y)
{
    const double x = float(X), y = float(Y);
    if (!graphgeo::insidePlot(x, y))
        return;
    TxtFreqXNum->setText(kelvane::formatNumber(graphgeo::freqAtX(x), QStringLiteral("#,##0.0 Hz")));
    TxtSPLYNum->setText(kelvane::formatNumber(graphgeo::levelAtY(y), QStringLiteral("##,##0.0 dB")));
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
