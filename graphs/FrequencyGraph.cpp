// SPDX-License-Identifier: GPL-3.0-or-later
// The frequency-response graph: its frame, the sealed and vented curves with the summary under
// them, the readout under the mouse pointer, and the save and print buttons.

#include "app/FrmKelvane.h"
#include "common/Checked.h"
#include "common/NumberText.h"
#include "driver/Program.h"
#include "graphs/FrequencyCore.h"
#include "graphs/GraphAxes.h"
#include "graphs/GraphGeometry.h"
#include "graphs/GraphPicture.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

using graphgeo::PlotLayout;

namespace {

// What the picture shows, kept with it so that it can be drawn again at any size.
struct FrequencyPicture {
    QString driverName;
    std::vector<freqcore::Mark> vented, sealed; // in 640 x 480 units
    QStringList summary;
};

// The frame: driver name, legend, level and frequency labels, the red frame, the grey grid and the
// ticks. At 640 x 480 the labels stand on the text rows of an 8-point font; larger, each level
// label is centred on its grid line and the frequency labels under theirs.
void Graph(GraphCanvas &pic, const PlotLayout &l, const QString &DriverName)
{
    // Text rows from the top: driver, legend, dB labels beside their grid lines, frequency labels
    // just under the frame.
    pic.print(QStringLiteral("                  Driver:  ") + DriverName);
    for (int row = 2; row <= 4; ++row)
        pic.print(QString());
    pic.setTextColor(freqcore::SealedColour);
    pic.print(QStringLiteral("                  Magenta - Sealed Box Response"));
    pic.setTextColor(freqcore::VentedColour);
    pic.print(QStringLiteral("                         Blue - Vented Box Response"));
    pic.setTextColor(0);
    if (l.isBase()) {
        pic.print(QStringLiteral("    +3 dB"));
        pic.print(QString());
        pic.print(QStringLiteral("      0 dB"));
        pic.print(QString());
        pic.print(QStringLiteral("     -3 dB"));
        for (int row = 12; row <= 15; ++row)
            pic.print(QString());
        pic.print(QStringLiteral("   -10 dB"));
        for (int row = 17; row <= 21; ++row)
            pic.print(QString());
        pic.print(QStringLiteral("   -20 dB"));
        for (int row = 23; row <= 25; ++row)
            pic.print(QString());
        for (const graphgeo::FrequencyLabel &label : graphgeo::FrequencyLabels) {
            pic.tab(label.column);
            pic.printPart(QLatin1String(label.text));
        }
        pic.print(QString());
    } else {
        std::vector<graphaxes::ValueLabel> levels;
        for (const auto &[db, text] : {std::pair{3, "+3 dB"}, {0, "0 dB"}, {-3, "-3 dB"}, {-10, "-10 dB"},
                                       {-20, "-20 dB"}, {5, "+5 dB"}, {-5, "-5 dB"}, {-15, "-15 dB"}})
            levels.push_back({graphgeo::graphY(l, db), QLatin1String(text)});
        graphaxes::leftLabels(pic, l, levels);
        graphaxes::frequencyLabels(pic, l, 0);
    }

    // The frame.
    pic.setLineWidth(2);
    pic.box(l.left, l.top, l.right, l.bottom, 4);
    pic.setLineWidth(1);
    // 0 dB line, then dotted lines at +5, +3, -5, -3, -10, -15 and -20 dB.
    pic.line(l.left + 1, graphgeo::graphY(l, 0), l.right - 1, graphgeo::graphY(l, 0), 8);
    for (double x = l.left + 1; x <= l.right - 2; x += 3)
        for (int y : {64, 80, 144, 128, 184, 224, 264})
            pic.pset(x, l.y(y), 8);
    // Vertical grid lines (10 and 500 Hz lie on the frame).
    graphaxes::frequencyGrid(pic, l);
    // Ticks at +-3 dB outside the frame and every 5 dB from +10 to -20 dB inside it.
    pic.line(l.left, l.y(80), l.left - 4, l.y(80), 4);
    pic.line(l.left, l.y(128), l.left - 4, l.y(128), 4);
    for (int k = 3; k <= 33; k += 5)
        pic.line(l.left + 4, l.y(8 * k), l.left, l.y(8 * k), 4);
}

void drawFrequencyResponse(GraphCanvas &pic, const FrequencyPicture &d)
{
    const PlotLayout l = graphgeo::responseLayout(pic.width(), pic.height());
    Graph(pic, l, d.driverName);
    pic.setLineWidth(2);
    for (const auto *marks : {&d.vented, &d.sealed})
        for (const freqcore::Mark &m : *marks) {
            if (m.point)
                pic.pset(l.x(m.x1), l.y(m.y1), m.colour);
            else
                pic.line(l.x(m.x1), l.y(m.y1), l.x(m.x2), l.y(m.y2), m.colour);
        }
    pic.setLineWidth(1);
    // The point at the frame's bottom-left corner starts the summary there.
    pic.pset(l.left, l.bottom, 4);
    for (const QString &row : d.summary)
        pic.print(row);
}

} // namespace

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
